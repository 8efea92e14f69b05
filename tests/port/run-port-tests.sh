#!/bin/bash
# Proves the outputs on Debian's own kernels in QEMU. pc: Out32 -> libieee1284
# -> ppdev or direct I/O -> parport_pc -> the data register, in an emulated
# PC. pi: the GPIO character device -> pinctrl-bcm2835 -> the pins of an
# emulated Raspberry Pi 3, which the host reads through QEMU's qtest protocol.
# Usage: run-port-tests.sh pc|pi PORTDRIVER CACHE_DIR
set -euo pipefail
board=$1 driver=$2 cache=$3
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$cache"
mods='lib/modules/*/kernel/drivers' # globbed where the files are copied
case $board in
pc) arch=amd64 console=ttyS0 qemu=(qemu-system-x86_64 -machine pc -m 256)
    files="$mods/parport/parport.ko $mods/parport/parport_pc.ko $mods/char/ppdev.ko $mods/char/lp.ko" ;;
pi) arch=arm64 console=ttyS1 # the mini UART, QEMU's second serial port
    qemu=(qemu-system-aarch64 -machine raspi3b -dtb "$cache/kernel-arm64/bcm2837-rpi-3-b.dtb" -serial null)
    files="$mods/watchdog/bcm2835_wdt.ko usr/lib/linux-image-*/broadcom/bcm2837-rpi-3-b.dtb" ;;
esac

# --- Debian's kernel and busybox, downloaded once into the cache; apt lists
# of their own, so that no foreign architecture needs adding ---
kernel=$cache/kernel-$arch
if [ ! -f "$kernel/vmlinuz" ]; then
    lists=$cache/apt-$arch
    apt=(-q -o APT::Architecture="$arch" -o APT::Architectures::="$arch" -o Acquire::Languages=none
         -o Dir::State::Lists="$lists/lists" -o Dir::Cache="$lists")
    rm -rf "$lists" "$cache/download" && mkdir -p "$lists/lists/partial" "$lists/archives/partial" "$cache/download"
    apt-get "${apt[@]}" update >/dev/null
    package=$(apt-cache "${apt[@]}" depends "linux-image-$arch" | awk '/Depends: linux-image-[0-9]/ && !n++ {print $2}')
    [ -n "$package" ] || { echo "cannot find Debian's kernel package"; exit 1; }
    (cd "$cache/download" && apt-get "${apt[@]}" download "$package" busybox-static 2>/dev/null)
    tree=$cache/download/tree
    for deb in "$cache"/download/*.deb; do dpkg-deb -x "$deb" "$tree"; done
    rm -rf "$kernel.new" && mkdir -p "$kernel.new"
    cp "$tree"/boot/vmlinuz-* "$kernel.new/vmlinuz"
    for f in bin/busybox $files; do cp "$tree"/$f "$kernel.new/"; done
    echo "$package" >"$kernel.new/package"
    rm -rf "$cache/download" "$lists" "$kernel" && mv "$kernel.new" "$kernel"
fi
echo "kernel: $(cat "$kernel/package")"

# --- The initramfs: busybox, the modules, the driver and its libraries ---
root=$cache/initramfs-$arch
rm -rf "$root" && mkdir -p "$root"/{bin,dev,proc,sys,tmp,etc,modules}
cp "$kernel/busybox" "$root/bin/busybox"
cp "$kernel"/*.ko "$root/modules/"
cp "$driver" "$root/portdriver"
cp "$here/guest-init.sh" "$root/init" && chmod 755 "$root/init"
if [ "$board" = pc ]; then # the Pi's driver is static and finds no libieee1284
    libieee=$(ldconfig -p | awk '/libieee1284\.so\.3 .*x86-64/ && !n++ {print $NF}')
    [ -n "$libieee" ] || { echo "libieee1284.so.3 is not installed (package libieee1284-3)"; exit 1; }
    for f in "$driver" "$libieee"; do
        for lib in $(ldd "$f" | awk '/=> \// {print $3} /^\t\/.*ld-linux/ {print $1}') "$f"; do
            [ "$f" = "$driver" ] && [ "$lib" = "$f" ] && continue
            mkdir -p "$root$(dirname "$lib")"
            cp -L "$lib" "$root$lib"
        done
    done
fi
printf 'root:x:0:0::/root:/bin/sh\nlehrer:x:1000:1000::/tmp:/bin/sh\ngast:x:1001:1001::/tmp:/bin/sh\n' >"$root/etc/passwd"
printf 'root:x:0:\nlp:x:7:lehrer\ngpio:x:997:lehrer\nlehrer:x:1000:\ngast:x:1001:\n' >"$root/etc/group"
echo /bin/sh >"$root/etc/shells"
(cd "$root" && find . | cpio -o -H newc --quiet | gzip -1) >"$cache/initrd-$arch.gz"

# --- One boot per machine. The console is followed: to a line "PEEK" the
# host answers on the guest's serial input with the Pi's level register
# GPLEV0 and the edges QEMU reported since ("raise 18 ...") ---
follow() {
    local line a b c edges
    while IFS= read -r line; do
        line=${line%$'\r'}
        printf '%s\n' "$line"
        [ "$line" = PEEK ] || continue
        echo "readl 0x3f200034" >&5
        edges=""
        while read -r -u 6 a b c; do
            case $a in IRQ) edges+=" $b $c" ;; OK) [ -n "$b" ] && break ;; esac
        done
        echo "$b$edges" >&7
    done
}
failed=0
boot() { # machine name, expected number of results, qemu options
    local machine=$1 expected=$2 start=$SECONDS passed
    shift 2
    local log=$cache/$machine.log io=$cache/$machine
    rm -f "$io".{serial,in,out} && mkfifo "$io".{serial,in,out}
    exec 5<>"$io.in" 6<>"$io.out" 7<>"$io.serial"
    [ "$board" = pc ] || echo "irq_intercept_out /machine/soc/peripherals/gpio" >&5
    timeout 90 "${qemu[@]}" -accel tcg -display none -monitor none -serial stdio -no-reboot \
        -kernel "$kernel/vmlinuz" -initrd "$cache/initrd-$arch.gz" -qtest "pipe:$io" -qtest-log /dev/null \
        -append "console=$console panic=-1 quiet bitlicht=$machine" "$@" <&7 2>&1 | follow >"$log" || true
    exec 5>&- 6>&- 7>&-
    rm -f "$io".{serial,in,out}
    grep -E '^(RESULT|INFO)' "$log" || true
    passed=$(grep -c '^RESULT .* PASS' "$log" || true)
    echo "machine '$machine': $passed of $expected cases passed in $((SECONDS - start)) s"
    if [ "$passed" != "$expected" ] || ! grep -q '^DONE' "$log"; then
        echo "the guest's console:" && sed 's/^/    | /' "$log" | tail -60
        failed=1
    fi
}
case $board in
pc) total=13
    boot default 11 -parallel null
    boot other 1 -parallel none -chardev null,id=lpt -device isa-parallel,chardev=lpt,iobase=0x278,irq=5
    boot none 1 -parallel none ;;
pi) total=11
    boot raspi3b 11 ;;
esac
[ "$failed" = 0 ] && echo "$total passed, 0 failed" || { echo "port cases failed"; exit 1; }
