#!/bin/busybox sh
# /init of the emulated PC: loads the parallel port drivers, runs the cases
# for the machine named on the kernel command line (bitlicht=...), prints one
# "RESULT <case> PASS|FAIL <details>" line per case and powers off.
/bin/busybox --install -s /bin
export PATH=/bin
mount -t proc proc /proc
mount -t sysfs sys /sys
mount -t devtmpfs dev /dev
mount -t tmpfs tmp /tmp
machine=$(sed -n 's/.*bitlicht=\([a-z]*\).*/\1/p' /proc/cmdline)

insmod /modules/parport.ko
insmod /modules/parport_pc.ko 2>/dev/null
insmod /modules/ppdev.ko
if [ -e /dev/parport0 ]; then # as udev does it
    chgrp lp /dev/parport0
    chmod 660 /dev/parport0
fi

# The data register, read straight from the I/O space, not through libieee1284.
register() { dd if=/dev/port bs=1 skip="$1" count=1 2>/dev/null | od -An -tu1 | tr -d ' \n'; }
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

case "$machine" in
default)
    echo "INFO parport0 base-addr $(cut -f1 /proc/sys/dev/parport/parport0/base-addr)"
    for v in 0 1 5 255; do
        result "user-in-lp-writes-$v" "$v" 888 "$(as lehrer /portdriver write "$v")"
    done
    as lehrer /portdriver write 165 >/dev/null
    sleep 1
    result "byte-stays-after-exit" 165 888 "(writer ended)"

    # Not in group lp: refused with the hint, and the next write tries again.
    as gast /portdriver write 7 wait /tmp/go write 9 >/tmp/gast.out &
    await 'write 7' /tmp/gast.out
    chmod 666 /dev/parport0
    touch /tmp/go
    wait
    chmod 660 /dev/parport0
    out=$(cat /tmp/gast.out)
    echo "$out" | grep -q 'write 7: failed: Zugriff auf den Parallelport verweigert.*Gruppe lp' &&
        echo "$out" | grep -q 'write 9: ok' && [ "$(register 888)" = 9 ]
    verdict access-refused-then-retried "write 7 refused, write 9 read back: $out"

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
    echo "$out" | grep -q 'failed: Es wurde kein Parallelport gefunden' && [ "$took" -le 5 ]
    verdict no-parallel-port "refused in ${took}s: $out"
    ;;
esac
echo "DONE"
poweroff -f
