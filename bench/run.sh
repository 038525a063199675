#!/usr/bin/env bash
# Builds the benchmarks in a release folder, runs them and the whole-process measurements,
# and prints one table: figure, value, budget, PASS/FAIL (INFO: no budget). Exits 1 when a
# budget is missed, 2 when something could not be built or run.
#
#   bench/run.sh [build-folder]          (default: build-bench)
#
# CPU and timing figures depend on what else the machine is doing: the load average is
# printed with the table.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
jobs=${JOBS:-2}
python=/usr/bin/python3
[ -x "$python" ] || python=python3

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTIRLAN_BUILD_BENCH=ON > /dev/null || exit 2
cmake --build "$build" -j "$jobs" --target tirlan bench_drag bench_workbook bench_text bench_yuv > /dev/null \
  || { echo "build failed (run cmake --build $build to see why)"; exit 2; }

results=$(mktemp -d /tmp/tirlan-bench-XXXXXX)
trap 'rm -rf "$results"' EXIT
load_before=$(cut -d' ' -f1-3 /proc/loadavg)

for name in drag workbook text yuv; do
  echo "running bench_$name ..." >&2
  # Headless benches need no display server.
  env -u DISPLAY -u WAYLAND_DISPLAY "$build/bench/bench_$name" --benchmark_repetitions=3 \
    --benchmark_report_aggregates_only=true \
    --benchmark_out="$results/$name.json" --benchmark_out_format=json > "$results/$name.log" 2>&1 \
    || { echo "bench_$name failed:"; tail -n 5 "$results/$name.log"; }
done

echo "running the whole-process measurements under Xvfb ..." >&2
# The start screen is there once the application builds it and the entry no longer starts
# the run at once.
has_start=0
if grep -q BuildStartScreen "$root/app/IMApp.h" 2> /dev/null \
  && ! grep -q 'StartPressed' "$root/app/RunGame.cpp" 2> /dev/null; then
  has_start=1
fi
TIRLAN_HAS_START_SCREEN=$has_start bash "$root/bench/process.sh" "$build/tirlan" "$results/process.txt"
process_status=$?
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

"$python" "$root/bench/table.py" "$results" "$process_status" "$load_before" "$load_after"
