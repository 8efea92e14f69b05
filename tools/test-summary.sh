#!/bin/sh
# make test's last lines: the package groups that could not be installed,
# with apt's reason; every test skipped, with its own reason; and the count
# over all test runs. A failing run has stopped make before this.
# Usage: summary.sh UNAVAILABLE_DIR BUILD_DIR...
set -u
unavailable=$1
shift
for group in "$unavailable"/*; do
    [ -f "$group" ] || continue
    echo "Not installed: package group $(basename "$group") ($(head -1 "$group")):"
    tail -n +2 "$group" | sed 's/^/    /'
done
logs=
for build in "$@"; do
    log=$build/Testing/Temporary/LastTest.log
    [ -f "$log" ] && logs="$logs $log"
done
# Each test's name, its "Skipped: WHY" line if it was skipped, its result.
# shellcheck disable=SC2086
awk '
    FNR == 1 { build = FILENAME; sub("/Testing/Temporary/LastTest.log$", "", build) }
    / Testing: / { name = $3; why = "" }
    /^Skipped: / { why = substr($0, 10) }
    /^Test Passed\./ {
        if (why == "") passed++
        else {
            skipped++
            sub(/could not be installed:.*/, "could not be installed (see above)", why)
            print "Skipped: " build ": " name ": " why
        }
    }
    /^Test Failed\./ { failed++ }
    END { printf "total: %d passed, %d failed, %d skipped\n", passed, failed, skipped }
' $logs /dev/null
