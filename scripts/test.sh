#!/usr/bin/env bash
# Builds everything and runs every test twice: an optimised build, then a build
# with AddressSanitizer and UndefinedBehaviorSanitizer.
# Usage: scripts/test.sh [--no-sanitize]
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
run_suite() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" -j "$jobs" --output-on-failure
}

echo "== tests (RelWithDebInfo) =="
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo

if [ "${1:-}" != "--no-sanitize" ]; then
    echo "== tests under AddressSanitizer + UndefinedBehaviorSanitizer =="
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DQUORELL_SANITIZE=ON -DQUORELL_BUILD_BENCH=OFF
fi
