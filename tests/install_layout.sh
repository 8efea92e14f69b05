#!/bin/sh
# Installs the build into a fresh prefix and starts the installed program
# from another directory: it must find its LED files beside itself.
set -eu
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in lib/bitlicht/bitlicht lib/bitlicht/LEDgruenHe.ico lib/bitlicht/LEDgruenDu.ico \
         share/applications/de.bitlicht.Bitlicht.desktop \
         share/metainfo/de.bitlicht.Bitlicht.metainfo.xml \
         share/icons/hicolor/16x16/apps/de.bitlicht.Bitlicht.png \
         share/icons/hicolor/32x32/apps/de.bitlicht.Bitlicht.png; do
    [ -f "$prefix/$f" ] || { echo "missing: $f"; exit 1; }
done
[ "$(readlink "$prefix/bin/bitlicht")" = ../lib/bitlicht/bitlicht ] || { echo "bin/bitlicht is no symlink to the program"; exit 1; }

cd /
status=0
QT_QPA_PLATFORM=offscreen timeout 3 "$prefix/bin/bitlicht" 2>"$prefix/stderr" || status=$?
[ "$status" = 124 ] || { echo "the installed program ended by itself ($status)"; cat "$prefix/stderr"; exit 1; }
if grep -q 'LED-Bild' "$prefix/stderr"; then
    echo "the installed program did not find its LED files:"; cat "$prefix/stderr"; exit 1
fi
echo "installed layout complete; the program found its LED files"
