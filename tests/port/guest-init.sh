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
result() { # case, expected byte, address, driver output
    got=$(register "$3")
    if [ "$got" = "$2" ] && ! echo "$4" | grep -q failed; then
        echo "RESULT $1 PASS wrote $2 read back $got at $3"
    else
        echo "RESULT $1 FAIL wrote $2 read back $got at $3: $4"
    fi
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
    for i in 1 2 3 4 5 6 7 8 9 10; do grep -q 'write 7' /tmp/gast.out && break; sleep 1; done
    chmod 666 /dev/parport0
    touch /tmp/go
    wait
    chmod 660 /dev/parport0
    out=$(cat /tmp/gast.out)
    if echo "$out" | grep -q 'write 7: failed: Zugriff auf den Parallelport verweigert.*Gruppe lp' &&
       echo "$out" | grep -q 'write 9: ok' && [ "$(register 888)" = 9 ]; then
        echo "RESULT access-refused-then-retried PASS write 7 refused, write 9 read back 9"
    else
        echo "RESULT access-refused-then-retried FAIL: $out"
    fi

    insmod /modules/lp.ko
    result "lp-driver-beside-ppdev" 90 888 "$(as lehrer /portdriver write 90)"
    rmmod lp

    rmmod ppdev
    out=$(as lehrer /portdriver write 33)
    if echo "$out" | grep -q 'failed: Das Kernelmodul ppdev ist nicht geladen'; then
        echo "RESULT user-without-ppdev PASS refused with the ppdev hint: $out"
    else
        echo "RESULT user-without-ppdev FAIL: $out"
    fi
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
    if echo "$out" | grep -q 'failed: Es wurde kein Parallelport gefunden' && [ "$took" -le 5 ]; then
        echo "RESULT no-parallel-port PASS refused in ${took}s: $out"
    else
        echo "RESULT no-parallel-port FAIL (${took}s): $out"
    fi
    ;;
esac
echo "DONE"
poweroff -f
