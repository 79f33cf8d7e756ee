#!/usr/bin/env bash
# Builds the optimised programs and runs every benchmark; each prints both sides
# of its comparison, the ratio and its target. Run on a quiet machine: the
# numbers are wall-clock times (except where a benchmark says otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
benches=(writer_bench livelink_bench export_bench render_bench step_bench)
cmake --build build -j "$(nproc)" --target "${benches[@]}"
for b in "${benches[@]}"; do
    echo
    echo "== $b =="
    build/bin/$b
done
