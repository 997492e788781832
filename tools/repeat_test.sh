#!/usr/bin/env bash
# Runs one test of a built CTest preset many times in a row and counts the runs
# that failed and the runs whose output shows LeakSanitizer's own tracer
# crashing ("Tracer caught signal"), which is no fault of the program.
#   bash tools/repeat_test.sh [RUNS [PRESET [TEST]]]    default: 30 asan tst_endtoend
# TEST is a regular expression over whole test names ('tst_form|tst_totals').
# Build first (cmake --preset asan && cmake --build --preset asan). Every run's
# whole output is kept in the directory printed at the end.
set -uo pipefail

runs=${1:-30}
preset=${2:-asan}
test=${3:-tst_endtoend}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
logs=$(mktemp -d "${TMPDIR:-/tmp}/repeat_test.XXXXXX")

failed=0 tracer=0 tracerFailed=0
for ((i = 1; i <= runs; ++i)); do
    log="$logs/run-$i.log"
    (cd "$root" && ctest --preset "$preset" -R "^($test)\$" --verbose) >"$log" 2>&1
    status=$?
    grep -q '100% tests passed' "$log" || status=1
    crashes=$(grep -c 'Tracer caught signal' "$log")
    line="run $i/$runs: "
    if [ "$status" -ne 0 ]; then
        failed=$((failed + 1))
        line+="FAILED"
    else
        line+="passed"
    fi
    if [ "$crashes" -gt 0 ]; then
        tracer=$((tracer + 1))
        [ "$status" -ne 0 ] && tracerFailed=$((tracerFailed + 1))
        line+=", tracer crash printed $crashes time(s)"
    fi
    echo "$line"
done
echo "$test ($preset): $runs runs, $failed failed, $tracer printed the tracer crash" \
    "($tracerFailed of them failed); logs in $logs"
