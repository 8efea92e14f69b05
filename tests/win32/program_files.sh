#!/bin/sh
# bitlicht.exe alone, without the port library and the LED files beside it:
# the frame says the port is unreachable, the built-in LEDs stand in, and a
# click still sets its bit.
# Usage (under Xvfb, WINEPREFIX and WINE64 set): program_files.sh PROGRAM_DIR PEEK_EXE
set -eu
program_dir=$1 peek_exe=$2
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
cp "$program_dir/bitlicht.exe" "$dir/"
failed=0
fail() {
    echo "FAIL: $*"
    failed=1
}
peek() { "$WINE64" "$peek_exe" | tr -d '\r' >"$dir/peek"; }
# The line of control $1: NAME VISIBLE CHECKED LEFT TOP WIDTH HEIGHT TEXT
control() { grep "^$1 " "$dir/peek"; }
# The colour at the centre of control $1 in the window's picture.
centre() {
    set -- $(control "$1")
    import -window "$window" "$dir/shot.png"
    convert "$dir/shot.png" -format "%[hex:p{$(($4 + $6 / 2)),$(($5 + $7 / 2))}]" info: | cut -c1-6
}

"$WINE64" "$dir/bitlicht.exe" 2>"$dir/stderr" &
window=$(xdotool search --sync --onlyvisible --name '^Bitlicht')
peek
control Frame1 | grep -q ' Parallelport – nicht erreichbar$' || fail "frame: $(control Frame1)"
[ "$(centre 'Picture1(0)')" = 257300 ] || fail "built-in dark LED: $(centre 'Picture1(0)')"

set -- $(control 'chkD(0)')
xdotool mousemove --window "$window" $(($4 + 8)) $(($5 + $7 / 2)) click 1
sleep 1
peek
control 'chkD(0)' | grep -q '^chkD(0) 1 1 ' || fail "D0 not set: $(control 'chkD(0)')"
control txtWertausgabe | grep -q ' 1$' || fail "decimal: $(control txtWertausgabe)"
[ "$(centre 'Picture1(0)')" = 55FF00 ] || fail "built-in lit LED: $(centre 'Picture1(0)')"
grep -q 'LED-Bild' "$dir/stderr" || fail "no warning about the missing LED files"

[ $failed = 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit $failed
