#!/bin/sh
# isolated.sh CMD...: runs CMD in a private mount namespace whose /dev holds
# no serial device, so that nothing under test opens a real one: on these
# machines /dev/ttyS0 is the console, and Wine offers it as COM1. /dev is
# writable there: a test puts its board at /dev/ttyACM0, a link to its pty.
set -eu
if [ "${BITLICHT_ISOLATED:-}" != 1 ]; then
    export BITLICHT_ISOLATED=1
    [ "$(id -u)" = 0 ] && exec unshare -m --propagation private sh "$0" "$@"
    exec unshare -r -m --propagation private sh "$0" "$@" # a user namespace's root
fi
stage=/tmp/.bitlicht-dev # empty outside; a tmpfs of the namespace's own inside
mkdir -p "$stage"
mount -t tmpfs -o mode=755 tmpfs "$stage"
for n in null zero full random urandom tty; do
    touch "$stage/$n" && mount --bind "/dev/$n" "$stage/$n"
done
mkdir "$stage/pts" "$stage/shm"
mount -t devpts -o newinstance,ptmxmode=0666,mode=0620 devpts "$stage/pts" # its own ptys
ln -s pts/ptmx "$stage/ptmx"
mount --bind /dev/shm "$stage/shm"
ln -s /proc/self/fd "$stage/fd"
mount --rbind "$stage" /dev
exec "$@"
