#!/usr/bin/env bash
# Runs one test of a built CTest preset many times in a row and counts the runs
# that failed and the runs whose output shows LeakSanitizer's own tracer
# crashing ("Tracer caught signal"), which is no fault of the program.
#   bash tools/repeat_test.sh [RUNS [PRESET [TEST]]]    default: 30 asan tst_endtoend
# TEST is a regular expression over whole test names ('tst_form|tst_totals').
# Build first (cmake --preset asan && cmake --build --preset asan). Every run's
# whole output is kept in the directory printed at the end.
# PRESET `windows` runs the Windows build's tests under Wine, in the Debian 13
# root, as `bash scripts/dev.sh windows` does (which builds them; as root):
#   bash tools/repeat_test.sh 20 windows 'tst_endtoend_wine|tst_report'
# Several tests given are run side by side, as CI runs them.
set -uo pipefail

runs=${1:-30}
preset=${2:-asan}
test=${3:-tst_endtoend}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
logs=$(mktemp -d "${TMPDIR:-/tmp}/repeat_test.XXXXXX")
jobs=$(nproc 2>/dev/null || echo 2)

failed=0 tracer=0 tracerFailed=0
for ((i = 1; i <= runs; ++i)); do
    log="$logs/run-$i.log"
    if [ "$preset" = windows ]; then
        # In the prefix that scripts/windows/build.sh makes for the tests.
        bash "$root/scripts/debian13.sh" exec bash -c \
            'WINEPREFIX=/root/.cache/prixgeneral/windows/wine-tests-$(wine --version | cut -d" " -f1) exec "$@"' - \
            xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build-windows --parallel "$jobs" \
            -R "^($test)\$" --verbose
    else
        (cd "$root" && ctest --preset "$preset" --parallel "$jobs" -R "^($test)\$" --verbose)
    fi >"$log" 2>&1
    status=$?
    grep -q '100% tests passed' "$log" || status=1
    crashes=$(grep -c 'Tracer caught signal' "$log")
    line="run $i/$runs: "
    if [ "$status" -ne 0 ]; then
        failed=$((failed + 1))
        line+="FAILED $(grep -m1 -o 'FAIL: .*' "$log")"
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
