#!/bin/bash
# Start-up under Wine in a real X server: bitlicht.exe against an empty Win32
# window of the same size and against that window with one line of text,
# alternating, RUNS runs each; medians, their ratios, and the program file's size.
# Usage: startup_win32.sh MAPWAIT WINE64 BITLICHT_EXE EMPTYWINDOW_EXE [RUNS]
#        (inside an X session, WINEPREFIX set)
set -euo pipefail
mapwait=$1 wine=$2 runs=${5:-11}
names=(bitlicht empty text)
programs=("$3" "$4" "$4 text")
export WINEDEBUG=-all
wineserver=$(dirname "$wine")/wineserver
[ -x "$wineserver" ] || wineserver=wineserver
# The server stays up between starts, as Windows itself does.
mkdir -p "$WINEPREFIX"
"$wineserver" -p
"$wine" wineboot -i >/dev/null 2>&1
declare -A times
for p in "${programs[@]}"; do "$mapwait" "$wine" $p >/dev/null; done # warm the caches
for ((i = 0; i < runs; i++)); do
    for k in 0 1 2; do
        read -r t _ < <("$mapwait" "$wine" ${programs[$k]})
        times[${names[$k]}]+="$t "
    done
done
"$wineserver" -k
median() { printf '%s\n' $1 | sort -g | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
bt=$(median "${times[bitlicht]}") et=$(median "${times[empty]}") tt=$(median "${times[text]}")
echo
echo "Windows under Wine: start-up to mapped window, medians of $runs runs each (Xvfb)"
printf '  %-12s %7.1f ms\n' bitlicht.exe "$bt" empty "$et" "with text" "$tt"
awk -v a="$bt" -v b="$et" 'BEGIN { r = a / b; printf "bitlicht.exe / empty window: time %.2f %s\n", r, (r <= 1.5) ? "(goal met)" : "(goal 1.5 missed)" }'
awk -v a="$bt" -v b="$tt" 'BEGIN { printf "bitlicht.exe / text window:  time %.2f\n", a / b }'
size=$(stat -c %s "$3")
awk -v s="$size" 'BEGIN { m = s / 1048576; printf "bitlicht.exe size:           %.2f MiB %s\n", m, (m <= 2) ? "(goal met)" : "(goal 2 MiB missed)" }'
