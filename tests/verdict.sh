# The shell tests' one verdict, sourced. A check that fails ends in
# "|| bad=1" (set -e spares it) or calls `fail WHY`; `verdict CASE DETAILS`
# prints "RESULT CASE PASS|FAIL DETAILS" and starts the next case;
# `verdicts` prints the count and fails if any case did.
passed=0 failed=0 bad=""
fail() { echo "  $*"; bad=1; }
verdict() {
    if [ -z "$bad" ]; then passed=$((passed + 1)); echo "RESULT $1 PASS $2"
    else failed=$((failed + 1)); echo "RESULT $1 FAIL $2"; fi
    bad=""
}
verdicts() { echo "$passed passed, $failed failed"; [ "$failed" = 0 ]; }
