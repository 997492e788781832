#!/usr/bin/env bash
# Starts prixgeneral.exe under Wine again and again and, at each start, waits
# for its window four times side by side the old way (one `xdotool search
# --sync`, which ends on an X error when Wine destroys a window it reads) and
# four times with wait_window of scripts/windows/common.sh. Counts the waits
# that found no window. In the Debian 13 root, once the Windows build is there:
#   bash scripts/debian13.sh exec bash tools/wine_window_search.sh [STARTS]   default 50
set -uo pipefail

starts=${1:-50}
exe=$(readlink -f build-windows/prixgeneral.exe)
[ -f "$exe" ] || { echo "wine_window_search.sh: no $exe: build it first (bash scripts/dev.sh windows)" >&2; exit 1; }
work=$(mktemp -d "${TMPDIR:-/tmp}/wine-window-search.XXXXXX")
source scripts/windows/common.sh
title='^Calcul Prix g.+n.+raux$'

old_wait() {
    [ -n "$(timeout 60 xdotool search --sync --onlyvisible --name "$title" 2>/dev/null | head -n1)" ]
}
new_wait() {
    [ -n "$(wait_window "$title" 2>/dev/null)" ]
}

start_x 1920x1008
new_prefix
old_missed=0 new_missed=0
for ((i = 1; i <= starts; ++i)); do
    (cd "$work" && exec timeout 120 wine "$exe" >/dev/null 2>&1) &
    program_pid=$!
    pids=() kinds=()
    for _ in 1 2 3 4; do
        old_wait & pids+=($!) kinds+=(old)
        new_wait & pids+=($!) kinds+=(new)
    done
    line="start $i/$starts:"
    for k in "${!pids[@]}"; do
        wait "${pids[k]}" && continue
        if [ "${kinds[k]}" = old ]; then old_missed=$((old_missed + 1)); else new_missed=$((new_missed + 1)); fi
        line+=" the ${kinds[k]} wait found nothing;"
    done
    echo "$line"
    timeout 30 wineserver -k
    wait "$program_pid" 2>/dev/null
    program_pid=
done
echo "wine_window_search.sh: $starts starts, $((4 * starts)) waits each way:" \
    "the old search found no window $old_missed times, wait_window $new_missed times"
