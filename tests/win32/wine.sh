#!/bin/sh
# Windows programs for the tests, under Wine in the prefix $WINEPREFIX.
#   wine.sh init           a fresh prefix (LogPixels=$DPI if set)
#   wine.sh run CMD...     CMD in a fresh Xvfb; then every Wine process of the prefix ends
#   wine.sh end            ends every Wine process of the prefix
# WINE names the Wine loader of the programs' width, WINEARCH the kind of prefix.
set -eu
: "${WINEPREFIX:?}" "${WINE:?}"
# Every Wine process of the tests runs where /dev holds no serial device.
[ "${BITLICHT_ISOLATED:-}" = 1 ] || exec sh "$(dirname "$0")/../isolated.sh" sh "$0" "$@"
# A crash ends the program at once instead of waiting in the debugger's window.
export WINEPREFIX WINE WINEARCH WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
wineserver=$(dirname "$WINE")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver
export WINESERVER="$wineserver"

case $1 in
init)
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    "$WINE" wineboot -i >/dev/null 2>&1
    if [ -n "${DPI:-}" ]; then
        "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$DPI" /f >/dev/null 2>&1
    fi
    "$wineserver" -w
    ;;
run)
    shift
    status=0
    xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" "$@" || status=$?
    "$wineserver" -k 2>/dev/null || true
    exit $status
    ;;
end)
    "$wineserver" -k 2>/dev/null || true
    ;;
esac
