#!/bin/sh
# isolated.sh CMD...: runs CMD in a private mount namespace whose /dev holds
# no serial device, so that nothing under test opens a real one: on these
# machines /dev/ttyS0 is the console, and Wine offers it as COM1. Each
# ACM=PATH in the environment's BITLICHT_BOARDS ("ttyACM0=/dev/pts/3 ...")
# appears as /dev/ttyACM0, a link to PATH, the way a board is found.
set -eu
if [ "${BITLICHT_ISOLATED:-}" != 1 ]; then
    export BITLICHT_ISOLATED=1
    [ "$(id -u)" = 0 ] && exec unshare -m --propagation private sh "$0" "$@"
    exec unshare -r -m --propagation private sh "$0" "$@" # a user namespace's root
fi
stage=/tmp/.bitlicht-dev # empty outside; a tmpfs of the namespace's own inside
mkdir -p "$stage"
mount -t tmpfs -o mode=755 tmpfs "$stage"
for n in null zero full random urandom tty ptmx; do
    touch "$stage/$n" && mount --bind "/dev/$n" "$stage/$n"
done
mkdir "$stage/pts" "$stage/shm"
mount --bind /dev/pts "$stage/pts"
mount --bind /dev/shm "$stage/shm"
ln -s /proc/self/fd "$stage/fd"
for board in ${BITLICHT_BOARDS:-}; do
    ln -s "${board#*=}" "$stage/${board%%=*}"
done
mount --rbind "$stage" /dev
exec "$@"
