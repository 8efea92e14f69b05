#!/bin/sh
# Installs Debian packages in groups, by what needs them:
#   packages.sh STATUS_DIR GROUP "PACKAGES" [GROUP? "PACKAGES"]...
# A group whose packages are all there costs nothing. The package index is
# loaded once, at the first group that misses something; an index that
# fails to load is a warning, not the end, since the others may hold all a
# group needs (a mirror that is syncing gets one more try). A group that
# cannot be installed is named with apt's reason, which is kept in
# STATUS_DIR/GROUP for the tests that need it to say why they were skipped;
# the other groups go on. Exits 1 if a group named without "?" could not be
# installed, else 0.
set -u
status_dir=$1
shift
mkdir -p "$status_dir"
sudo=
[ "$(id -u)" = 0 ] || sudo=sudo
log=$(mktemp)
trap 'rm -f "$log"' EXIT

missing() {
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
    done
}

updated= index_failed=
update() {
    [ -z "$updated" ] || return 0
    updated=1
    for try in 1 2; do
        $sudo apt-get update -q >"$log" 2>&1 && return 0
        # A mirror caught in the middle of a sync serves a file that does
        # not match its index; a little later it may.
        grep -q -E 'Mirror sync in progress|unexpected size|Hash Sum mismatch' "$log" || break
        [ $try = 2 ] || { echo "packages: a mirror is syncing; trying again in 20 s"; sleep 20; }
    done
    index_failed=$(grep -E '^(Err|E):' "$log" | grep -v 'Some index files failed' | head -4)
    echo "packages: warning: some package indexes could not be loaded; going on without them:"
    echo "$index_failed" | sed 's/^/    /'
}

failed=0
while [ $# -ge 2 ]; do
    group=${1%\?} packages=$2
    required=1
    [ "$group" = "$1" ] || required=
    shift 2
    # shellcheck disable=SC2086
    todo=$(missing $packages)
    if [ -z "$todo" ]; then
        rm -f "$status_dir/$group"
        continue
    fi
    # Within one run of make, a group that could not be installed is not
    # tried again.
    if [ -z "$required" ] && [ -n "$(find "$status_dir/$group" -mmin -30 2>/dev/null)" ]; then
        echo "packages: group $group could not be installed a while ago; not tried again now"
        continue
    fi
    echo "packages: installing group $group:" $todo
    if echo "$todo" | grep -q ':i386' && ! dpkg --print-foreign-architectures | grep -qx i386; then
        $sudo dpkg --add-architecture i386
        updated= # the new architecture's index is not loaded yet
    fi
    update
    # shellcheck disable=SC2086
    if $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
        $todo >"$log" 2>&1; then
        rm -f "$status_dir/$group"
    else
        reason=$( (grep -E '^E:' "$log"; grep -E '^ [^ ].* : Depends:' "$log" | head -3) | head -5)
        [ -n "$reason" ] || reason=$(tail -3 "$log")
        [ -z "$index_failed" ] || reason="$reason
$index_failed"
        { echo "$packages"; echo "$reason"; } >"$status_dir/$group"
        echo "packages: group $group ($packages) could not be installed:"
        echo "$reason" | sed 's/^/    /'
        if [ -n "$required" ]; then
            failed=1
        else
            echo "packages: the tests that need group $group are skipped"
        fi
    fi
done
exit $failed
