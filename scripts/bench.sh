#!/usr/bin/env bash
# Builds the optimised programs and runs every benchmark; each prints both sides
# of its comparison, the ratio and its target. Run on a quiet machine: the
# numbers are wall-clock times (except where a benchmark says otherwise).
# At the end one table lists every ratio against its target, with the load
# average at the start and at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
benches=(writer_bench reader_bench livelink_bench export_bench render_bench step_bench preview_bench)
cmake --build build -j "$(nproc)" --target "${benches[@]}"
# Each run is a benchmark and its arguments; the render command is measured
# again under load (busy-loop threads on both cores).
runs=(writer_bench reader_bench livelink_bench export_bench render_bench "render_bench --load 2"
      step_bench preview_bench)

loadAverage() { cut -d' ' -f1-3 /proc/loadavg; }
loadAtStart=$(loadAverage)
# Every benchmark prints its ratios as "RATIO|what|value|comparison|target"
# lines (bench/SummaryLine.h); they are gathered here for the table.
summary=$(mktemp)
trap 'rm -f "$summary"' EXIT
status=0
for run in "${runs[@]}"; do
    read -r -a b <<<"$run"
    echo
    echo "== $run =="
    if ! "build/bin/${b[0]}" "${b[@]:1}" | tee >(grep '^RATIO|' >>"$summary") | grep -v '^RATIO|'; then
        echo "$run failed"
        status=1
    fi
done
loadAtEnd=$(loadAverage)
sleep 0.2  # lets the last tee'd lines reach the file

echo
echo "== summary (load average at start: $loadAtStart, at end: $loadAtEnd) =="
awk -F'|' '
    BEGIN { printf "%-72s %10s %12s  %s\n", "ratio", "measured", "target", "" }
    {
        value = $3 + 0; target = $5 + 0
        met = ($4 == "<=" && value <= target) || ($4 == "<" && value < target) ||
              ($4 == ">=" && value >= target)
        printf "%-72s %10s %9s %-2s  %s\n", $2, $3, $4, $5, met ? "met" : "MISSED"
    }' "$summary"
exit $status
