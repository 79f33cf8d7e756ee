#!/usr/bin/env bash
# Builds the libFuzzer programs of tests/fuzz with clang (in build-fuzz/) and
# runs each for SECONDS (default 60) at low priority, starting from its
# checked-in corpus (tests/fuzz/corpus/<target>). Inputs found to cover new
# code go to build-fuzz/corpus/<target>; an input that fails is written to
# build-fuzz/findings/<target>/ (minimise it with -minimize_crash=1 and add it
# to the checked-in corpus once fixed).
#
#   scripts/fuzz.sh [SECONDS] [TARGET...]    targets: json_design reg_hive bip_reader
#                                            renderer_frames step_codec
set -euo pipefail
cd "$(dirname "$0")/.."

if [ "${1:-}" = "--help" ] || [ "${1:-}" = "-h" ]; then
  sed -n '2,10p' "$0" | sed 's/^# \{0,1\}//'
  exit 0
fi
seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(json_design reg_hive renderer_frames step_codec bip_reader)

scripts/setup.sh --fuzz
cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DQUORELL_FUZZ=ON -DQUORELL_BUILD_BENCH=OFF >/dev/null
nice cmake --build build-fuzz -j2 --target "${targets[@]/#/fuzz_}"

status=0
for t in "${targets[@]}"; do
  mkdir -p "build-fuzz/corpus/$t" "build-fuzz/findings/$t"
  echo "== $t: ${seconds} s"
  # The export target writes files: keep them in a folder of its own.
  if ! TMPDIR="$(mktemp -d)" nice -n 19 "build-fuzz/bin/fuzz_$t" \
      -max_total_time="$seconds" -timeout=120 -rss_limit_mb=3072 -max_len=65536 \
      -print_final_stats=1 -artifact_prefix="build-fuzz/findings/$t/" \
      "build-fuzz/corpus/$t" "tests/fuzz/corpus/$t" 2>"build-fuzz/$t.log"; then
    status=1
    echo "$t: FAILED, see build-fuzz/$t.log and build-fuzz/findings/$t/"
  fi
  grep -E '^(stat::number_of_executed_units|stat::peak_rss_mb|Done)' "build-fuzz/$t.log" || true
done
exit $status
