#!/bin/sh
# The real StandardFirmata firmware of an Uno, run by simavr on a pty that
# appears as /dev/ttyACM0, driven by the port module (portdriver) and once
# by the whole program; and two devices that are no Firmata board.
# Usage: run.sh BOARD CACHE_DIR PORTDRIVER... [-- PROGRAM...]
#   PORTDRIVER and PROGRAM may be commands of several words (wine ...).
set -eu
here=$(cd "$(dirname "$0")" && pwd)
board=$1 cache=$2
shift 2
[ "${BITLICHT_ISOLATED:-}" = 1 ] || exec sh "$here/../isolated.sh" sh "$0" "$board" "$cache" "$@"
driver=""; program=""
while [ $# -gt 0 ] && [ "$1" != -- ]; do driver="$driver $1"; shift; done
[ $# -gt 0 ] && shift && program="$*"
# A driver that hangs fails its case; a Windows one ends its lines in CR LF.
drive() { timeout 40 $driver "$@" 2>/dev/null | sed -u 's/\r$//'; }

hex=$(sh "$here/firmware.sh" "$cache")

work=$(mktemp -d)
trap 'kill $pid 2>/dev/null || true; rm -rf "$work"' EXIT
pid=""
plug() { # MODE NAME: such a device appears as /dev/ttyACM0
    log=$work/$2.log
    "$board" "$1" "$hex" "$log" "$work/$2.pty" & pid=$!
    until [ -s "$work/$2.pty" ]; do sleep 0.1; done
    ln -sf "$(cat "$work/$2.pty")" /dev/ttyACM0
}
unplug() { kill "$pid"; wait "$pid" 2>/dev/null || true; rm -f /dev/ttyACM0; }
await() { for i in $(seq 100); do grep -q "$1" "$2" 2>/dev/null && return; sleep 0.1; done; } # text, file
pins() { await "levels=$1" "$log"; grep '^pins' "$log" | tail -1 | sed 's/.*levels=//'; }
received() { sed -n 's/^rx //p' "$log" | tr '\n' ' '; }
. "$here/../verdict.sh"
levels() { # a byte as pins 2..9: D0 first
    v=$1; s=""; for b in 0 1 2 3 4 5 6 7; do s="$s$((v >> b & 1))"; done; echo "$s"
}
export FAKE1284_MODE=noports # no parallel port before the board

# The board resets as its port opens: the first write is pending, returns at
# once (well within the 1.5 s the board spends in its bootloader, even on a
# loaded machine), and the start-up 0 arrives once the firmware answers; then every
# byte lands on pins 2..9.
plug firmata uno
values="1 5 128 255 165 64"
steps="write 0 answered wait $work/go0"; for v in $values; do steps="$steps await $v wait $work/go$v"; done
drive $steps >"$work/uno.out" & driving=$!
await 'write 0' "$work/uno.out"
grep -q 'write 0: pending: .*Arduino an ' "$work/uno.out" &&
    [ "$(sed -n 's/^write 0: .*\[\([0-9]*\) ms\]$/\1/p' "$work/uno.out")" -lt 1000 ] &&
    await 'rx 91' "$log" && [ "$(pins 00000000)" = 00000000 ] &&
    received | grep -q 'f4 02 01 f4 03 01 f4 04 01 f4 05 01 f4 06 01 f4 07 01 f4 08 01 f4 09 01 90 00 00 91 00 00' &&
    await 'answered: ' "$work/uno.out" && grep -q 'answered: ok Arduino an ' "$work/uno.out" || bad=1
verdict start-up-clears-after-the-reset "$(head -2 "$work/uno.out" | tr '\n' ' ')/ $(received | tail -c 120)"
touch "$work/go0"
for v in $values; do
    want=$(levels "$v")
    await "write $v: " "$work/uno.out"
    grep -q "write $v: ok Arduino an " "$work/uno.out" && [ "$(pins "$want")" = "$want" ] || bad=1
    verdict "byte-$v-on-pins-2-to-9" "want $want, got $(pins "$want"): $(grep "write $v:" "$work/uno.out")"
    touch "$work/go$v"
done
wait $driving || true
unplug

# Unplugged mid-lesson: said at the next write; plugged back in, found again.
plug firmata first
drive await 3 wait "$work/gone" write 4 wait "$work/back" await 6 >"$work/replug.out" & driving=$!
await 'write 3: ok' "$work/replug.out"
unplug
touch "$work/gone"
await 'write 4' "$work/replug.out"
plug firmata second
touch "$work/back"
wait $driving || true
grep -q 'write 4: failed: Der Arduino an .* wurde getrennt' "$work/replug.out" &&
    grep -q 'write 6: ok' "$work/replug.out" && [ "$(pins 01100000)" = 01100000 ] || bad=1
verdict unplugged-and-back "$(tr '\n' ' ' <"$work/replug.out")"
unplug

# No Firmata board: the version query and nothing else, then left alone.
for mode in bare garbage; do
    plug "$mode" "$mode"
    out=$(drive write 0 answered write 9)
    got=$(received)
    echo "$out" | grep -q 'answered: failed: Das Gerät an .* antwortet nicht wie ein Arduino mit StandardFirmata' &&
        echo "$out" | grep -q 'write 9: failed: Das Gerät an .* antwortet nicht wie' &&
        [ -n "$got" ] && [ -z "$(echo "$got" | tr ' ' '\n' | grep -v '^f9$' | grep .)" ] || bad=1
    verdict "$mode-device-gets-only-the-query" "received: $got; $(echo "$out" | tr '\n' ' ' | cut -c1-200)"
    unplug
done

# The whole program once: simulation off, D0 and D3 clicked; the board
# answers meanwhile and shows the byte asked for last.
if [ -n "$program" ]; then
    plug firmata program
    xvfb-run -a -s "-screen 0 800x600x24 -noreset" sh -c "
        . $here/../verdict.sh
        $program 2>$work/program.err & p=\$!
        w=\$(window_of \$p Bitlicht) || exit 1
        sleep 1
        for at in '375 364' '422 324' '276 324'; do xdotool mousemove --window \$w \$at click 1; sleep 0.3; done
        sleep 5; kill \$p" >/dev/null 2>&1 || true
    [ "$(pins 10010000)" = 10010000 ] || bad=1
    verdict program-writes-to-the-board "pins $(pins 10010000), $(tr '\n' ' ' <"$work/program.err")"
    unplug
fi

verdicts
