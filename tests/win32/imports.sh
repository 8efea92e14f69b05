#!/bin/sh
# bitlicht.exe starts on Windows 7 SP1: every function it takes from a system
# DLL, at start-up or delay-loaded, is one that Windows 7 SP1 has, and every
# DLL it names is one of Windows 7's own (no API sets, no UCRT, no MinGW DLL).
# A function passes when the system headers declare it with WINVER and
# _WIN32_WINNT at Windows 7 (0x0601), less the later ones they fail to guard
# (DENIED), plus the CRT's start-up entries no header declares (CRT_ENTRIES).
# Usage: imports.sh OBJDUMP CC PROGRAM DELAY_DEF_DIR
set -eu
objdump=$1 cc=$2 program=$3 delay=$4
export LC_ALL=C
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ALLOWED_DLLS="kernel32.dll user32.dll gdi32.dll comctl32.dll msvcrt.dll advapi32.dll shell32.dll
ole32.dll oleaut32.dll oleacc.dll windowscodecs.dll msimg32.dll"
# Windows 8 and later (AddDllDirectory and its two: Windows 7 only with update
# KB2533623), yet declared by mingw-w64's headers for Windows 7 (found by
# compiling later functions with _WIN32_WINNT=0x0601).
DENIED="GetSystemTimePreciseAsFileTime AddDllDirectory RemoveDllDirectory SetDefaultDllDirectories
WaitOnAddress WakeByAddressSingle WakeByAddressAll InitializeSynchronizationBarrier
EnterSynchronizationBarrier DeleteSynchronizationBarrier SetCoalescableTimer IsImmersiveProcess
GetOverlappedResultEx CopyFile2 GetDisplayAutoRotationPreferences SetDisplayAutoRotationPreferences"
# msvcrt.dll's entries for the start-up code and the CRT's own use, there
# since Windows XP; the headers leave them out.
CRT_ENTRIES="__set_app_type __setusermatherr __getmainargs __wgetmainargs __initenv __winitenv
_amsg_exit _commode _fmode _initterm _lock _unlock _acmdln _wcmdln __iob_func ___lc_codepage_func
___mb_cur_max_func _setjmp __C_specific_handler _XcptFilter __dllonexit _onexit __mb_cur_max _iob
__p__commode __p__fmode __p__wcmdln __p__acmdln _setjmp3"

# "dll function", one a line: the import table ...
"$objdump" -p "$program" |
    awk '/DLL Name:/ { dll = tolower($3) }
         /^\t[0-9a-f]+\t +[0-9]+ +[A-Za-z_]/ && dll { print dll, $3 }' >"$work/imports"
# ... and the delay-loaded functions: those of each delay-load library whose
# names the program file holds.
for def in "$delay"/*.def; do
    names=$(tail -n +3 "$def" | sed 's/@.*//' | paste -sd'|')
    grep -aoP "(?<![A-Za-z0-9_])($names)(?=\x00)" "$program" | sort -u |
        sed "s/^/$(basename "$def" .def).dll /" >>"$work/imports"
done
echo "$(wc -l <"$work/imports") functions from $(cut -d' ' -f1 "$work/imports" | sort -u | paste -sd' ')"

. "$(dirname "$0")/../verdict.sh"
for dll in $(cut -d' ' -f1 "$work/imports" | sort -u); do
    echo " $ALLOWED_DLLS " | tr '\n' ' ' | grep -q " $dll " || fail "$dll is not a DLL of Windows 7"
done
for name in $(cut -d' ' -f2 "$work/imports"); do
    echo " $DENIED " | tr '\n' ' ' | grep -q " $name " && fail "$name is newer than Windows 7 SP1"
done

# Taking each function's address compiles only where a header declares it.
{
    for h in windows.h commctrl.h oleacc.h wincodec.h objbase.h oleauto.h stdio.h stdlib.h \
        string.h wchar.h wctype.h locale.h signal.h setjmp.h time.h process.h io.h errno.h; do
        echo "#include <$h>"
    done
    echo 'void* used[] = {'
    for name in $(cut -d' ' -f2 "$work/imports" | sort -u); do
        echo " $CRT_ENTRIES " | tr '\n' ' ' | grep -q " $name " || echo "(void*)&$name,"
    done
    echo '};'
} >"$work/used.c"
"$cc" -D_WIN32_WINNT=0x0601 -DWINVER=0x0601 -fsyntax-only "$work/used.c" 2>"$work/errors" || true
for name in $(grep -o "'[A-Za-z0-9_]*' undeclared" "$work/errors" | tr -d "'" | cut -d' ' -f1); do
    fail "$name ($(grep " $name\$" "$work/imports" | cut -d' ' -f1)) is not declared for Windows 7"
done
grep -v "undeclared\|In function\|note:\|^ \|^[0-9 |]*|" "$work/errors" | grep . && fail "could not check"

verdict every-import-is-windows-7s ""
verdicts
