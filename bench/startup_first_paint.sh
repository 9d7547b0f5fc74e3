#!/usr/bin/env bash
# Start-up of the desktop program, from process start to the main window first drawn, under
# QT_QPA_PLATFORM=offscreen, median of N runs (default 9). A preloaded shim
# (first_paint_shim.cpp) runs the events pending when the program enters its event loop, which
# draw the shown window, and ends the process there. The prescribed pauses of the start-up (two
# 500 ms holds while the region's default image loads) are part of the wall time; the
# program's own work is the wall time less those 1000 ms. On a busy machine the main thread
# also waits for a CPU: that wait (from its scheduler statistics) is shown, and taken off in
# the last figure, the start-up as an idle machine would run it.
#   bench/startup_first_paint.sh [BUILD_DIR] [N]      (default: build 9)
set -euo pipefail
cd "$(dirname "$0")/.."
bin="$(realpath "${1:-build}")/bin"
runs="${2:-9}"
[ -x "$bin/mrw" ] || { echo "no $bin/mrw: build the target mrw first" >&2; exit 2; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
g++ -O2 -shared -fPIC -o "$work/first_paint.so" bench/first_paint_shim.cpp
export QT_QPA_PLATFORM=offscreen
export XDG_CONFIG_HOME="$work/config"  # the user's stored settings stay out of it
unset QT_LOGGING_RULES

# The window is drawn before the process ends: Qt's painting log says it flushed it.
QT_LOGGING_RULES="qt.widgets.painting=true" LD_PRELOAD="$work/first_paint.so" "$bin/mrw" \
    >"$work/paint.log" 2>&1
if ! grep -q "Flushing top level" "$work/paint.log"; then
    echo "the main window was not drawn before the end of the run" >&2
    exit 1
fi

# One line per run, in ms: wall, CPU of the process (user + system), the main thread's wait
# for a CPU.
for _ in $(seq "$runs"); do
    start=$(date +%s%N)
    MRW_BENCH_SCHEDSTAT="$work/sched" LD_PRELOAD="$work/first_paint.so" \
        /usr/bin/time -f "%U %S" -o "$work/time" "$bin/mrw" >/dev/null 2>&1
    end=$(date +%s%N)
    read -r _ queued _ <"$work/sched"
    read -r user sys <"$work/time"
    awk -v w=$(((end - start) / 1000000)) -v u="$user" -v s="$sys" -v q="$queued" \
        'BEGIN { printf "%d %d %d\n", w, (u + s) * 1000, q / 1000000 }' >>"$work/runs"
done
median() { sort -n | sed -n "$(((runs + 1) / 2))p"; }
column() { cut -d' ' -f"$1" "$work/runs" | median; }
wall=$(column 1)
cpu=$(column 2)
queued=$(column 3)
idle=$(awk '{ print $1 - $3 }' "$work/runs" | median)
echo "mrw start-up to first window drawn, median of $runs runs (ms):"
echo "  wall $wall, less the 1000 of prescribed pauses: own work $((wall - 1000))"
echo "  CPU (user + system) $cpu; main thread waiting for a CPU $queued"
echo "  own work without the wait for a CPU: $((idle - 1000))"
