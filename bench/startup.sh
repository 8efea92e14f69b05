#!/bin/bash
# Start-up in a real X server: bitlicht against an empty Qt window of the
# same size and against that window with one text field and one check box,
# alternating, RUNS runs each; medians and their ratios.
# Usage: startup.sh MAPWAIT BITLICHT EMPTYWINDOW TEXTWINDOW [RUNS]   (inside an X session)
set -euo pipefail
mapwait=$1 runs=${5:-11}
names=(bitlicht empty text)
programs=("$2" "$3" "$4")
declare -A times memory
for p in "${programs[@]}"; do "$mapwait" "$p" >/dev/null; done # warm the caches
for ((i = 0; i < runs; i++)); do
    for k in 0 1 2; do
        read -r t m < <("$mapwait" "${programs[$k]}")
        times[${names[$k]}]+="$t "
        memory[${names[$k]}]+="$m "
    done
done
median() { printf '%s\n' $1 | sort -g | awk '{v[NR]=$1} END {print (NR%2) ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2}'; }
echo
echo "start-up to mapped window, medians of $runs runs each (X server: Xvfb)"
for n in "${names[@]}"; do
    printf '  %-9s %7.1f ms   peak memory %6.0f KiB\n' "$n" "$(median "${times[$n]}")" "$(median "${memory[$n]}")"
done
bt=$(median "${times[bitlicht]}"); et=$(median "${times[empty]}"); tt=$(median "${times[text]}")
bm=$(median "${memory[bitlicht]}"); em=$(median "${memory[empty]}"); tm=$(median "${memory[text]}")
awk -v a="$bt" -v b="$et" 'BEGIN { r = a / b; printf "bitlicht / empty window:     time %.2f %s\n", r, (r <= 1.25) ? "(goal met)" : "(goal 1.25 missed)" }'
awk -v a="$bm" -v b="$em" 'BEGIN { d = (a - b) / 1024; printf "bitlicht - empty window:     peak memory %+.1f MiB %s\n", d, (d <= 4) ? "(goal met)" : "(goal 4 MiB missed)" }'
awk -v a="$bt" -v b="$tt" 'BEGIN { printf "bitlicht / text window:      time %.2f\n", a / b }'
awk -v a="$bm" -v b="$tm" 'BEGIN { printf "bitlicht - text window:      peak memory %+.1f MiB\n", (a - b) / 1024 }'
