#!/bin/busybox sh
# /init of the emulated machines: runs the cases for the machine named on the
# kernel command line (bitlicht=...), prints one "RESULT <case> PASS|FAIL
# <details>" line per case and powers off.
/bin/busybox --install -s /bin
echo # the Pi's console may begin with a stray character
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
mount -t tmpfs tmp /tmp
machine=$(sed -n 's/.*bitlicht=\([a-z0-9]*\).*/\1/p' /proc/cmdline)

if [ "$machine" = raspi3b ]; then
    insmod /modules/bcm2835_wdt.ko # the Pi's way to power off
    chgrp gpio /dev/gpiochip0      # as udev does it
    chmod 660 /dev/gpiochip0
    # The byte on D0..D7's pins, from GPLEV0 as the host reads it when asked;
    # the edges it saw since go to /tmp/edges.
    register() {
        echo PEEK >/dev/console
        read -r level edges </dev/console
        echo "$edges" >/tmp/edges
        byte=0 n=0
        for pin in 17 18 27 22 23 24 25 4; do
            byte=$((byte | (level >> pin & 1) << n)) n=$((n + 1))
        done
        echo $byte
    }
else
    insmod /modules/parport.ko
    insmod /modules/parport_pc.ko 2>/dev/null
    insmod /modules/ppdev.ko
    if [ -e /dev/parport0 ]; then # as udev does it
        chgrp lp /dev/parport0
        chmod 660 /dev/parport0
    fi
    # The data register, read straight from the I/O space, not through libieee1284.
    register() { dd if=/dev/port bs=1 skip="$1" count=1 2>/dev/null | od -An -tu1 | tr -d ' \n'; }
fi
as() { user=$1; shift; su -s /bin/sh "$user" -c "$*"; }
await() { for i in 1 2 3 4 5 6 7 8 9 10; do grep -q "$1" "$2" && return; sleep 1; done; } # text, file
verdict() { # case, details: passes if the command before it succeeded
    if [ $? = 0 ]; then echo "RESULT $1 PASS $2"; else echo "RESULT $1 FAIL $2"; fi
}
result() { # case, expected byte, address, driver output
    got=$(register "$3")
    [ "$got" = "$2" ] && ! echo "$4" | grep -q failed
    verdict "$1" "wrote $2 read back $got at $3: $4"
}
# Not in the device's group: refused with the hint, and the next write tries
# again.
refused_then_retried() { # device, the refusal's text
    as gast /portdriver write 7 wait /tmp/go write 9 >/tmp/gast.out &
    await 'write 7' /tmp/gast.out
    chmod 666 "$1"
    touch /tmp/go
    wait
    chmod 660 "$1"
    out=$(cat /tmp/gast.out)
    echo "$out" | grep -q "write 7: failed: $2" && echo "$out" | grep -q 'write 9: ok' && [ "$(register 888)" = 9 ]
    verdict access-refused-then-retried "write 7 refused, write 9 read back: $out"
}

case "$machine" in
default)
    echo "INFO parport0 base-addr $(cut -f1 /proc/sys/dev/parport/parport0/base-addr)"
    for v in 0 1 5 255; do
        result "user-in-lp-writes-$v" "$v" 888 "$(as lehrer /portdriver write "$v")"
    done
    as lehrer /portdriver write 165 >/dev/null
    sleep 1
    result "byte-stays-after-exit" 165 888 "(writer ended)"

    refused_then_retried /dev/parport0 'Zugriff auf den Parallelport verweigert.*Gruppe lp'

    # A second program while the first holds the port: busy at once, the
    # first goes on writing, and the second's last byte arrives when the
    # first ends.
    as lehrer /portdriver write 1 wait /tmp/a-more write 4 wait /tmp/a-end >/tmp/a.out &
    a=$!
    await 'write 1' /tmp/a.out
    as lehrer /portdriver write 2 wait /tmp/b-go write 3 >/tmp/b.out &
    b=$!
    await 'write 2' /tmp/b.out
    touch /tmp/a-more
    await 'write 4' /tmp/a.out
    ms=$(sed -n 's/^write 2: .*\[\([0-9]*\) ms\]$/\1/p' /tmp/b.out)
    grep -q 'write 2: failed: Der Parallelport ist belegt: Ein anderes' /tmp/b.out &&
        [ "${ms:-9999}" -lt 1000 ] && grep -q 'write 4: ok' /tmp/a.out && [ "$(register 888)" = 4 ]
    verdict second-program-busy-at-once "in $ms ms, the first wrote 4 meanwhile: $(cat /tmp/a.out /tmp/b.out)"
    touch /tmp/a-end
    wait $a
    for i in 1 2 3 4 5; do [ "$(register 888)" = 2 ] && break; sleep 1; done
    arrived=$(register 888)
    touch /tmp/b-go
    wait $b
    out=$(grep 'write 3' /tmp/b.out)
    [ "$arrived" = 2 ] || out="failed: its waiting 2 did not arrive ($arrived): $out"
    result "second-program-writes-once-free" 3 888 "$out"

    insmod /modules/lp.ko
    result "lp-driver-beside-ppdev" 90 888 "$(as lehrer /portdriver write 90)"
    rmmod lp

    rmmod ppdev
    out=$(as lehrer /portdriver write 33)
    echo "$out" | grep -q 'failed: Das Kernelmodul ppdev ist nicht geladen'
    verdict user-without-ppdev "refused with the ppdev hint: $out"
    result "root-without-ppdev" 66 888 "$(/portdriver write 66)"
    ;;
other)
    base=$(cut -f1 /proc/sys/dev/parport/parport0/base-addr)
    echo "INFO parport0 base-addr $base"
    result "only-port-at-0x278" 77 "$base" "$(as lehrer /portdriver write 77)"
    ;;
none)
    start=$(date +%s)
    out=$(as lehrer /portdriver write 3)
    took=$(( $(date +%s) - start ))
    echo "$out" | grep -q 'failed: Es wurde weder ein Parallelport' && [ "$took" -le 5 ]
    verdict no-parallel-port "refused in ${took}s: $out"
    ;;
raspi3b)
    mount -t debugfs debugfs /sys/kernel/debug
    echo "INFO line names:$(awk '/^gpiochip/ {b = /pinctrl-bcm2835/ ? $3 + 0 : -1} /^ gpio-/ && b >= 0 {
        o = substr($1, 6) - b; if (o ~ /^(4|17|18|2[2-57])$/) printf " %d=%s", o, substr($2, 2)}' /sys/kernel/debug/gpio)"
    # The first byte is set as the lines are requested, before they turn
    # outputs: no pin moves. After that QEMU reports each edge.
    bytes="165 167 1 128 85 170 255 0"
    as lehrer /portdriver $(for v in $bytes; do echo write $v wait /tmp/$v; done) wait /tmp/end >/tmp/a.out &
    for v in $bytes; do
        await "write $v:" /tmp/a.out
        got=$(register)
        edges=$(cat /tmp/edges)
        case $v in
        165) name=first-byte-at-request want="" ;;
        167) name=one-bit-flips-one-pin want="raise 18" ;;
        *) name=byte-$v-on-its-pins want=$edges ;;
        esac
        [ "$got" = "$v" ] && [ "$edges" = "$want" ] && grep -q "write $v: ok GPIO-Leiste" /tmp/a.out
        verdict "$name" "read back $got, edges '$edges': $(grep "write $v:" /tmp/a.out)"
        touch /tmp/$v
    done
    held=$(grep -c '|bitlicht *) out' /sys/kernel/debug/gpio)
    out=$(as lehrer /portdriver write 3)
    ms=$(echo "$out" | sed -n 's/^write 3: .*\[\([0-9]*\) ms\]$/\1/p')
    [ "$held" = 8 ] && echo "$out" | grep -q 'write 3: failed: .*belegt' && [ "${ms:-9999}" -lt 1000 ]
    verdict second-program-busy-at-once "the first holds $held lines as bitlicht, the second in $ms ms: $out"
    touch /tmp/end
    wait
    refused_then_retried /dev/gpiochip0 'Zugriff auf die GPIO-Leiste.*Gruppe gpio'
    result root-writes 66 GPLEV0 "$(/portdriver write 66)"
    ;;
esac
echo "DONE"
reboot -f
