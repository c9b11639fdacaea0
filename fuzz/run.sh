#!/bin/sh
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer, UndefinedBehaviorSanitizer)
# and runs each for SECONDS (default 60). New inputs go to BUILD/corpus/<target>, crashing
# ones to BUILD/artifacts/<target>; the seeds in fuzz/corpus/<target> are only read.
# Exits non-zero when a target finds a fault.
#
#   fuzz/run.sh [SECONDS]         FUZZ_BUILD_DIR (default build-fuzz), FUZZ_TARGETS to pick
set -eu
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$root/build-fuzz}
targets=${FUZZ_TARGETS:-"script_fuzzer late_binding_fuzzer number_text_fuzzer"}

CC=${CC:-clang} CXX=${CXX:-clang++} cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTRAZO_FUZZ=ON -DTRAZO_TEST=OFF -DTRAZO_TOOLS=ON -DTRAZO_QT=OFF >/dev/null
cmake --build "$build" --target $targets -j "$(nproc)"

status=0
for target in $targets; do
  mkdir -p "$build/corpus/$target" "$build/artifacts/$target"
  echo "== $target for ${seconds}s"
  if ! "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
      -artifact_prefix="$build/artifacts/$target/" \
      "$build/corpus/$target" "$root/fuzz/corpus/$target" 2>"$build/$target.log"; then
    status=1
    echo "$target found a fault; the input is in $build/artifacts/$target/"
    grep -E "ERROR|invariant violated|SUMMARY" "$build/$target.log" | head -20 || true
  fi
  grep -E "stat::number_of_executed_units|stat::new_units_added" "$build/$target.log" || true
done
exit $status
