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

# window_of PID NAME: the id of PID's visible window named NAME (a pattern),
# once it shows. Gives up at once when PID has ended, and after 30 s.
window_of() {
    tries=300
    while [ $tries -gt 0 ]; do
        w=$(xdotool search --onlyvisible --name "$2" 2>/dev/null | head -1)
        [ -z "$w" ] || { echo "$w"; return 0; }
        kill -0 "$1" 2>/dev/null || { echo "the program ended before its window showed" >&2; return 1; }
        sleep 0.1
        tries=$((tries - 1))
    done
    echo "no window named $2 within 30 s" >&2
    return 1
}
