#!/bin/sh
# The ways Bitlicht reaches a Windows PC, in a prefix of the program's width
# (PROGRAM: the 64-bit program on a 64-bit prefix, the 32-bit one on a 32-bit
# one). Each puts this width's program with its LED files where it belongs;
# started from there (not from its folder) it shows its window, finds them
# and writes nothing beside them; what installed it removes all it installed:
# files, folder, start menu entry, uninstall entry.
#   installer.sh PROGRAM setup SETUP_EXE  silently for everyone (/AllUsers: Program Files,
#                                         HKLM), then for this user (/CurrentUser:
#                                         %LOCALAPPDATA%\Programs, HKCU), removed through
#                                         the uninstall entry's QuietUninstallString
#   installer.sh PROGRAM msi MSI OTHER    msiexec /i … /qn and /x … /qn; OTHER, the other
#                                         width's MSI, is refused and installs nothing
#   installer.sh PROGRAM portable ZIP     unzipped into a folder named with spaces, umlauts
#                                         and a letter beyond Windows-1252
# Under Xvfb, with WINEPREFIX, WINE and WINESERVER set (wine.sh).
set -eu
program=$1 way=$2 package=$3
. "$(dirname "$0")/../verdict.sh"
settle() { "$WINESERVER" -w; } # every Wine process has ended
path() { "$WINE" winepath "$@" 2>/dev/null; } # -u: Windows' path here, -w: this path in Windows
folder() { path -u "$("$WINE" cmd /c echo "%$1%" | tr -d '\r')"; } # the prefix's %NAME%
# registry KEY NAME [/s]: the text value NAME under KEY (or below it, with /s).
# shellcheck disable=SC2086
registry() { "$WINE" reg query "$1" ${3:-/v $2} 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_SZ *//p"; }
entry='Software\Microsoft\Windows\CurrentVersion\Uninstall'
menu='Microsoft/Windows/Start Menu/Programs/Bitlicht.lnk'
gone() { for p; do [ ! -e "$p" ] || fail "left behind: $p"; done; }

# installed FOLDER COUNT [NAME]: this width's program is there (as NAME,
# bitlicht.exe if not given), started from elsewhere finds its LED files (a
# file it cannot read is an "LED-Bild" line on stderr), and FOLDER holds
# COUNT files, also once it has run.
installed() {
    exe="$1/${3:-bitlicht.exe}" errors="$WINEPREFIX.stderr"
    cmp -s "$exe" "$program" || fail "not this width's program: $exe"
    "$WINE" "$exe" 2>"$errors" &
    window_of $! '^Bitlicht 1.00' >/dev/null || fail "no window of $exe"
    sleep 1
    kill $! 2>/dev/null || true
    settle
    ! grep -q 'LED-Bild' "$errors" || fail "LED files not found: $(cat "$errors")"
    [ "$(ls "$1" | wc -l)" = "$2" ] || fail "not $2 files in $1: $(ls "$1")"
}

case $way in
setup)
    for mode in AllUsers CurrentUser; do
        set -- "$WINEPREFIX/drive_c/Program Files" ProgramData HKLM HKCU
        [ $mode = AllUsers ] || set -- "$(folder LOCALAPPDATA)/Programs" APPDATA HKCU HKLM
        dir="$1/Bitlicht" link="$(folder "$2")/$menu" key="$3\\$entry\\Bitlicht" other="$4\\$entry\\Bitlicht"
        "$WINE" "$package" /$mode /S || fail "setup /$mode /S: $?"
        settle
        installed "$dir" 4 # with Deinstallieren.exe
        [ -f "$link" ] || fail "no start menu entry: $link"
        [ "$(registry "$key" DisplayVersion)" = 1.00 ] || fail "DisplayVersion under $key"
        ! "$WINE" reg query "$other" >/dev/null 2>&1 || fail "an uninstall entry under $other"
        # "FOLDER\Deinstallieren.exe" /MODE /S, as Windows starts it
        eval "\"\$WINE\" $(registry "$key" QuietUninstallString)" || fail "uninstaller: $?"
        settle
        gone "$dir" "$link"
        ! "$WINE" reg query "$key" >/dev/null 2>&1 || fail "uninstall entry left: $key"
        verdict "setup-$mode" "$dir"
    done
    ;;
msi)
    dir="$WINEPREFIX/drive_c/Program Files/Bitlicht"
    # Wine puts a machine's start menu entries into the user's (Windows: ProgramData).
    common="$(folder ProgramData)/$menu" own="$(folder APPDATA)/$menu"
    "$WINE" msiexec /i "$(path -w "$package")" /qn || fail "msiexec /i: $?"
    settle
    installed "$dir" 3
    [ -f "$common" ] || [ -f "$own" ] || fail "no start menu entry"
    [ "$("$WINE" reg query "HKLM\\$entry" /s | tr -d '\r' | grep -c -e '^ *DisplayName *REG_SZ *Bitlicht$' \
        -e '^ *DisplayVersion *REG_SZ *1\.00$')" = 2 ] || fail "no uninstall entry Bitlicht 1.00"
    icon=$(path -u "$(registry 'HKLM\Software\Classes\Installer\Products' ProductIcon /s)")
    cmp -s "$icon" "$dir/LEDgruenDu.ico" || fail "not the LED icon in Apps: $icon"
    "$WINE" msiexec /x "$(path -w "$package")" /qn || fail "msiexec /x: $?"
    settle
    gone "$dir" "$common" "$own" "$icon"
    ! "$WINE" reg query "HKLM\\$entry" /s | grep -q Bitlicht || fail "uninstall entry left"
    verdict msi-installs-removes "$dir"
    ! "$WINE" msiexec /i "$(path -w "$4")" /qn || fail "the other width's MSI installed"
    gone "$dir" "$WINEPREFIX/drive_c/Program Files (x86)/Bitlicht"
    verdict msi-other-width-refused "$4"
    ;;
portable)
    dir="$WINEPREFIX/drive_c/Für den Unterricht/Übungen von Şule"
    mkdir -p "$dir" && (cd "$dir" && cmake -E tar xf "$package")
    name=$(cd "$dir/Bitlicht" && for f in *.exe; do ! cmp -s "$f" "$program" || echo "$f"; done)
    installed "$dir/Bitlicht" 4 "${name:-bitlicht.exe}"
    verdict portable "$dir/Bitlicht/$name"
    ;;
esac
verdicts
