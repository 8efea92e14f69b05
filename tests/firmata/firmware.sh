#!/bin/sh
# The real StandardFirmata firmware of an Uno, fetched once from the npm
# registry into CACHE_DIR; prints the hex file's path.
# Usage: firmware.sh CACHE_DIR
set -eu
cache=$1
hex=$cache/StandardFirmata.cpp.hex
if [ ! -f "$hex" ]; then
    mkdir -p "$cache/npm"
    (cd "$cache/npm" && npm pack -q avrgirl-arduino@4.2.3 >/dev/null &&
        tar -xzf avrgirl-arduino-4.2.3.tgz package/junk/hex/uno/StandardFirmata.cpp.hex)
    mv "$cache/npm/package/junk/hex/uno/StandardFirmata.cpp.hex" "$hex"
    rm -rf "$cache/npm"
fi
echo "$hex"
