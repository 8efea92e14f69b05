#!/bin/sh
# The program as installed: every file in its place; started from elsewhere
# it finds its LED files beside itself; it loads the port library by its
# soname only, never from the working directory; as a normal user with a
# read-only home it reaches the port and writes no file.
# Usage: installed.sh BUILD_DIR STAND_IN_DIR
set -eu
work=$(mktemp -d)
chmod 755 "$work"
trap 'rm -rf "$work"' EXIT
fail() {
    echo "$*"
    cat "$work/stderr" 2>/dev/null
    exit 1
}
prefix=$work/prefix
cmake --install "$1" --prefix "$prefix" >/dev/null
for f in lib/bitlicht/bitlicht lib/bitlicht/LEDgruenHe.ico lib/bitlicht/LEDgruenDu.ico \
         share/applications/de.bitlicht.Bitlicht.desktop \
         share/metainfo/de.bitlicht.Bitlicht.metainfo.xml \
         share/icons/hicolor/16x16/apps/de.bitlicht.Bitlicht.png \
         share/icons/hicolor/32x32/apps/de.bitlicht.Bitlicht.png; do
    [ -f "$prefix/$f" ] || fail "not installed: $f"
done
[ "$(readlink "$prefix/bin/bitlicht")" = ../lib/bitlicht/bitlicht ] || fail "bin/bitlicht is no link to the program"
mkdir -p "$work/stand-in" "$work/decoy" "$work/cwd" "$work/home" "$work/runtime" "$work/port"
cp "$2/libieee1284.so.3" "$work/stand-in/"
cp "$2/libieee1284.so.3" "$work/decoy/"
chmod 555 "$work/home"
chmod 700 "$work/runtime"

as=""
run() { # DIRECTORY LIBRARY_PATH PORT_LOG: two seconds; it must still run then
    status=0
    (cd "$1" && $as env -i PATH=/usr/bin:/bin HOME="$work/home" XDG_RUNTIME_DIR="$work/runtime" \
        QT_QPA_PLATFORM=offscreen LD_LIBRARY_PATH="$2" FAKE1284_LOG="$3" \
        timeout 2 "$prefix/bin/bitlicht" 2>"$work/stderr") || status=$?
    [ "$status" = 124 ] || fail "the program ended by itself ($status)"
    ! grep -q 'LED-Bild' "$work/stderr" || fail "the LED files were not found beside the program"
}

run "$work/decoy" /nonexistent "$work/port/decoy.log"
[ ! -e "$work/port/decoy.log" ] || fail "the port library was loaded from the working directory"
echo "installed: complete, LED files found, port library loaded by soname only"

if [ "$(id -u)" != 0 ]; then
    echo "Skipped: not root, so the part as another user cannot run"
    exit 77
fi
chown nobody "$work/runtime" "$work/cwd" "$work/port"
touch "$work/marker"
as="runuser -u nobody --"
run "$work/cwd" "$work/stand-in" "$work/port/calls.log"
grep -q '^write 0$' "$work/port/calls.log" || fail "no port write as user nobody"
written=$(find "$work/home" "$work/runtime" "$work/cwd" /tmp -newer "$work/marker" -user nobody \
          ! -path "$work/port*" 2>/dev/null || true)
[ -z "$written" ] || fail "files written by the program: $written"
echo "as user nobody with a read-only home: port written, no file written"
