#!/usr/bin/env bash
# How fast the editor starts with a large map given on the command line:
# starts build/ui/kesh with a generated 4096 x 4096 map (CellsWord, 1,000
# tiles of 16 x 16) RUNS times and reports the milliseconds from starting
# the program to the window being shown and to the map being drawn, each
# run and the median. Runs on a virtual X server (Xvfb) when one is
# installed, else on Qt's offscreen platform.
#   bench/StartTime.sh [RUNS] [BUILD_DIR]     (defaults: 5, build)
# The goal: the map drawn within 250 ms. The program reports its moments
# through KESH_TRACE_START (ui/shell/StartTrace.h).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-5}"
build="${2:-$root/build}"
kesh="$build/ui/kesh"
maker="$build/bench/kesh_make_bench_map"
for program in "$kesh" "$maker"; do
    if [ ! -x "$program" ]; then
        echo "StartTime: $program is missing; build the targets kesh and kesh_make_bench_map" >&2
        exit 2
    fi
done

if [ -z "${KESH_START_INNER:-}" ] && [ -z "${DISPLAY:-}" ] && command -v xvfb-run > /dev/null; then
    KESH_START_INNER=1 exec xvfb-run -a -s "-screen 0 1920x1080x24" "$0" "$@"
fi
if [ -z "${DISPLAY:-}" ]; then
    export QT_QPA_PLATFORM=offscreen
fi

work="$(mktemp -d /tmp/kesh-start-XXXXXX)"
trap 'rm -rf "$work"' EXIT
"$maker" "$work/big.map" 4096
# The editor keeps its settings (recent files, window place) out of the user's.
export XDG_CONFIG_HOME="$work/config"
export KESH_TRACE_START=1

now_ms() { date +%s%3N; }
shown_all=()
drawn_all=()
for run in $(seq 1 "$runs"); do
    log="$work/trace-$run.txt"
    start=$(now_ms)
    "$kesh" "$work/big.map" 2> "$log" &
    pid=$!
    for _ in $(seq 1 300); do # up to 30 s
        grep -q '^kesh-trace map-drawn ' "$log" && break
        sleep 0.1
    done
    kill "$pid" 2> /dev/null || true
    wait "$pid" 2> /dev/null || true
    shown=$(sed -n 's/^kesh-trace shown //p' "$log" | head -1)
    drawn=$(sed -n 's/^kesh-trace map-drawn //p' "$log" | head -1)
    if [ -z "$shown" ] || [ -z "$drawn" ]; then
        echo "run $run: the editor did not report both moments:" >&2
        cat "$log" >&2
        exit 1
    fi
    shown_all+=($((shown - start)))
    drawn_all+=($((drawn - start)))
    echo "run $run: window shown $((shown - start)) ms, map drawn $((drawn - start)) ms"
done
median() { printf '%s\n' "$@" | sort -n | sed -n "$(( ($# + 1) / 2 ))p"; }
echo "median: window shown $(median "${shown_all[@]}") ms, map drawn $(median "${drawn_all[@]}") ms (goal: 250 ms)"
