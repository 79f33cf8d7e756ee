#!/usr/bin/env bash
# Builds everything and runs every test: an optimised build, then a build with
# AddressSanitizer and UndefinedBehaviorSanitizer, then the Windows build
# (MinGW-w64 cross compiler) with its tests under Wine.
# Usage: scripts/test.sh [--no-sanitize] [--no-windows]
set -euo pipefail
cd "$(dirname "$0")/.."

sanitize=true windows=true
for arg in "$@"; do
  case "$arg" in
    --no-sanitize) sanitize=false ;;
    --no-windows) windows=false ;;
    *) echo "test.sh: unknown option $arg (known: --no-sanitize, --no-windows)" >&2; exit 2 ;;
  esac
done
if $windows; then scripts/setup.sh --windows; else scripts/setup.sh; fi

jobs=$(nproc)
run_suite() {
    local dir=$1; shift
    cmake -S . -B "$dir" -G Ninja "$@" >/dev/null
    cmake --build "$dir" -j "$jobs"
    ctest --test-dir "$dir" -j "$jobs" --output-on-failure
}

echo "== tests (RelWithDebInfo) =="
run_suite build -DCMAKE_BUILD_TYPE=RelWithDebInfo

if $sanitize; then
    echo "== tests under AddressSanitizer + UndefinedBehaviorSanitizer =="
    (
        export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
        export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
        run_suite build-asan -DCMAKE_BUILD_TYPE=Debug -DQUORELL_SANITIZE=ON -DQUORELL_BUILD_BENCH=OFF
    )
fi

if $windows; then
    echo "== Windows build (MinGW-w64), tests under Wine =="
    start=$SECONDS
    run_suite build-win -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
    echo "Windows stage: $((SECONDS - start)) s"
fi
