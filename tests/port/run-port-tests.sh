#!/bin/bash
# Proves the port path on Debian's own kernel: Out32 -> libieee1284 ->
# ppdev or direct I/O -> parport_pc -> the data register, in an emulated PC.
# Usage: run-port-tests.sh PORTDRIVER CACHE_DIR
set -euo pipefail
driver=$1
cache=$2
here=$(cd "$(dirname "$0")" && pwd)
sudo=""; [ "$(id -u)" = 0 ] || sudo=sudo
mkdir -p "$cache"

# --- Debian's kernel, downloaded once and kept in the cache ---
kernel=$cache/kernel
if [ ! -f "$kernel/vmlinuz" ]; then
    image() { apt-cache depends linux-image-amd64 2>/dev/null | awk '/Depends: linux-image-[0-9]/ && !n++ {print $2}'; }
    package=$(image)
    if [ -z "$package" ]; then $sudo apt-get update -q >/dev/null; package=$(image); fi
    [ -n "$package" ] || { echo "cannot find Debian's kernel package"; exit 1; }
    rm -rf "$cache/download" && mkdir -p "$cache/download"
    (cd "$cache/download" && apt-get download -q "$package" 2>/dev/null)
    dpkg-deb -x "$cache"/download/*.deb "$cache/download/tree"
    rm -rf "$kernel.new" && mkdir -p "$kernel.new"
    tree=$cache/download/tree
    cp "$tree"/boot/vmlinuz-* "$kernel.new/vmlinuz"
    for m in drivers/parport/parport.ko drivers/parport/parport_pc.ko drivers/char/ppdev.ko drivers/char/lp.ko; do
        cp "$tree"/lib/modules/*/kernel/$m "$kernel.new/"
    done
    echo "$package" > "$kernel.new/package"
    rm -rf "$cache/download" "$kernel" && mv "$kernel.new" "$kernel"
fi
echo "kernel: $(cat "$kernel/package")"

# --- The initramfs: busybox, the modules, the driver and its libraries ---
root=$cache/initramfs
rm -rf "$root" && mkdir -p "$root"/{bin,dev,proc,sys,tmp,etc,modules}
cp /bin/busybox "$root/bin/busybox"
cp "$kernel"/*.ko "$root/modules/"
cp "$driver" "$root/portdriver"
cp "$here/guest-init.sh" "$root/init" && chmod 755 "$root/init"
libieee=$(ldconfig -p | awk '/libieee1284\.so\.3 .*x86-64/ && !n++ {print $NF}')
[ -n "$libieee" ] || { echo "libieee1284.so.3 is not installed (package libieee1284-3)"; exit 1; }
for f in "$driver" "$libieee"; do
    for lib in $(ldd "$f" | awk '/=> \// {print $3} /^\t\/.*ld-linux/ {print $1}') "$f"; do
        [ "$f" = "$driver" ] && [ "$lib" = "$f" ] && continue
        mkdir -p "$root$(dirname "$lib")"
        cp -L "$lib" "$root$lib"
    done
done
printf 'root:x:0:0::/root:/bin/sh\nlehrer:x:1000:1000::/tmp:/bin/sh\ngast:x:1001:1001::/tmp:/bin/sh\n' >"$root/etc/passwd"
printf 'root:x:0:\nlp:x:7:lehrer\nlehrer:x:1000:\ngast:x:1001:\n' >"$root/etc/group"
echo /bin/sh >"$root/etc/shells"
(cd "$root" && find . | cpio -o -H newc --quiet | gzip -1) >"$cache/initrd.gz"

# --- One boot per machine ---
failed=0
boot() { # machine name, expected number of results, qemu options for the parallel port
    local machine=$1 expected=$2; shift 2
    local log=$cache/$machine.log
    timeout 90 qemu-system-x86_64 -machine pc -accel tcg -m 256 -display none -monitor none \
        -serial stdio -no-reboot -kernel "$kernel/vmlinuz" -initrd "$cache/initrd.gz" \
        -append "console=ttyS0 panic=-1 quiet bitlicht=$machine" "$@" </dev/null >"$log" 2>&1 || true
    tr -d '\r' <"$log" | grep -E '^(RESULT|INFO)' || true
    local passed
    passed=$(tr -d '\r' <"$log" | grep -c '^RESULT .* PASS' || true)
    if [ "$passed" != "$expected" ] || ! grep -q '^DONE' <(tr -d '\r' <"$log"); then
        echo "machine '$machine': $passed of $expected cases passed; the guest's console:"
        sed 's/^/    | /' "$log" | tail -60
        failed=1
    fi
}
start=$(date +%s)
boot default 11 -parallel null
boot other 1 -parallel none -chardev null,id=lpt -device isa-parallel,chardev=lpt,iobase=0x278,irq=5
boot none 1 -parallel none
echo "port cases on the emulated PC took $(( $(date +%s) - start )) s"
[ "$failed" = 0 ] && echo "13 passed, 0 failed" || { echo "port cases failed"; exit 1; }
