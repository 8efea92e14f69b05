#!/bin/sh
# Least privilege: the port library is found only by its soname, never in the
# working directory; the program runs as a normal user with a read-only home
# and writes no file.
# Usage: least_privilege.sh PROGRAM STAND_IN_DIR
set -eu
program=$1
stand_in=$2
work=$(mktemp -d)
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT

run_briefly() { # runs "$@" for two seconds; it must still be running then
    status=0
    timeout 2 "$@" || status=$?
    [ "$status" = 124 ] || { echo "the program ended by itself ($status)"; exit 1; }
}

# 1. A libieee1284.so.3 in the working directory is not loaded.
mkdir "$work/decoy"
cp "$stand_in/libieee1284.so.3" "$work/decoy/"
(cd "$work/decoy" && run_briefly env -u LD_LIBRARY_PATH FAKE1284_LOG="$work/decoy.log" \
    QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$work" "$program" 2>/dev/null)
if [ -s "$work/decoy.log" ]; then
    echo "the port library was loaded from the working directory"; exit 1
fi
echo "port library: loaded by soname only"

# 2. As user nobody, with a read-only home: starts, writes the port, writes no file.
if [ "$(id -u)" != 0 ]; then
    echo "not root: cannot switch to a normal user, skipping that part"
    exit 77
fi
# A copy another user can reach, wherever the build tree lies.
mkdir -p "$work/program" "$work/stand-in"
cp "$program" "$(dirname "$program")"/LEDgruen*.ico "$work/program/"
cp "$stand_in/libieee1284.so.3" "$work/stand-in/"
chmod -R a+rX "$work/program" "$work/stand-in"
program=$work/program/$(basename "$program")
stand_in=$work/stand-in
mkdir -p "$work/home" "$work/runtime" "$work/cwd" "$work/port"
chmod 555 "$work/home"
chown nobody "$work/runtime" "$work/cwd" "$work/port"
chmod 700 "$work/runtime"
touch "$work/marker"
(cd "$work/cwd" && runuser -u nobody -- env -i PATH=/usr/bin:/bin HOME="$work/home" \
    XDG_RUNTIME_DIR="$work/runtime" QT_QPA_PLATFORM=offscreen LD_LIBRARY_PATH="$stand_in" \
    FAKE1284_LOG="$work/port/calls.log" timeout 2 "$program" 2>"$work/stderr") || true
grep -q '^write 0$' "$work/port/calls.log" || { echo "no port write as user nobody"; cat "$work/stderr"; exit 1; }
written=$(find "$work/home" "$work/runtime" "$work/cwd" /tmp -newer "$work/marker" -user nobody \
          ! -path "$work/port*" 2>/dev/null || true)
if [ -n "$written" ]; then
    echo "files written by the program:"; echo "$written"; exit 1
fi
echo "as user nobody with a read-only home: port written, no file written"
