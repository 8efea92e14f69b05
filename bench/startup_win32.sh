#!/bin/bash
# Start-up under Wine in a real X server: bitlicht.exe against its floor, a
# program of the same controls, styles, fonts and manifest and nothing else
# (controlswindow_win32.exe), and against its empty window for reference;
# alternating, RUNS runs each; medians, their ratios, and the program file's size.
# Usage: startup_win32.sh MAPWAIT WINE BITLICHT_EXE CONTROLSWINDOW_EXE [RUNS]
#        (inside an X session, WINEPREFIX set)
set -euo pipefail
mapwait=$1 wine=$2 runs=${5:-11}
names=(bitlicht controls empty)
programs=("$3" "$4" "$4 empty")
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
bt=$(median "${times[bitlicht]}") ct=$(median "${times[controls]}") et=$(median "${times[empty]}")
echo
echo "Windows under Wine: start-up to mapped window, medians of $runs runs each (Xvfb)"
printf '  %-22s %7.1f ms\n' bitlicht.exe "$bt" "the same controls only" "$ct" "empty window" "$et"
awk -v a="$bt" -v b="$ct" 'BEGIN { r = a / b; printf "bitlicht.exe / its controls: time %.2f %s\n", r, (r <= 1.10) ? "(goal met)" : "(goal 1.10 missed)" }'
awk -v a="$bt" -v b="$et" 'BEGIN { printf "bitlicht.exe / empty window: time %.2f (reference)\n", a / b }'
size=$(stat -c %s "$3")
awk -v s="$size" 'BEGIN { m = s / 1048576; printf "bitlicht.exe size:           %.2f MiB %s\n", m, (m <= 2) ? "(goal met)" : "(goal 2 MiB missed)" }'
