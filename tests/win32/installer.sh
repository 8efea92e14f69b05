#!/bin/sh
# The setup program installs silently the program of the prefix's width
# (PROGRAM: the 64-bit one on a 64-bit prefix, the 32-bit one on a 32-bit
# one), the installed program starts from the start menu's target and finds
# its LED files, and the silent uninstaller removes all it installed: files, folder, start menu entry, registry key.
# Usage (under Xvfb, WINEPREFIX and WINE set): installer.sh SETUP_EXE PROGRAM
set -eu
setup=$1 program=$2
folder="$WINEPREFIX/drive_c/Program Files/Bitlicht"
link="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Bitlicht.lnk"
key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Bitlicht'
. "$(dirname "$0")/../verdict.sh"
registry() { "$WINE" reg query "$key" /v "$1" 2>/dev/null | tr -d '\r' | grep "$1" || true; }
settle() { "$WINESERVER" -w; } # every Wine process has ended

"$WINE" "$setup" /S
settle
for f in bitlicht.exe LEDgruenDu.ico LEDgruenHe.ico Deinstallieren.exe; do
    [ -f "$folder/$f" ] || fail "not installed: $f"
done
cmp -s "$folder/bitlicht.exe" "$program" || fail "not this width's program installed"
[ "$(ls "$folder" | wc -l)" = 4 ] || fail "more in the folder: $(ls "$folder")"
[ -f "$link" ] || fail "no start menu entry"
registry DisplayVersion | grep -q 'REG_SZ *1\.00$' || fail "DisplayVersion: $(registry DisplayVersion)"
registry QuietUninstallString | grep -q 'Deinstallieren.exe" /S$' || fail "QuietUninstallString"

errors=$(mktemp)
"$WINE" 'C:\Program Files\Bitlicht\bitlicht.exe' 2>"$errors" &
window_of $! '^Bitlicht 1.00' >/dev/null || fail "the installed program shows no window"
sleep 1
kill $! 2>/dev/null || true
settle
! grep -q 'LED-Bild' "$errors" || fail "LED files not found: $(cat "$errors")"
rm -f "$errors"

"$WINE" 'C:\Program Files\Bitlicht\Deinstallieren.exe' /S
settle
[ ! -e "$folder" ] || fail "left behind: $(ls "$folder")"
[ ! -e "$link" ] || fail "start menu entry left"
"$WINE" reg query "$key" >/dev/null 2>&1 && fail "registry key left"

verdict installs-starts-uninstalls ""
verdicts
