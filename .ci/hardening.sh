#!/bin/sh
# Hardening stage: the whole test suite under valgrind's memcheck, then each fuzz target for
# about a minute. Runs as root on a fresh Debian 12 machine from the project's root or from
# anywhere inside it. FUZZ_SECONDS (default 60) sets the time per fuzz target.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

# What the core needs, and clang with its sanitizer and libFuzzer runtimes, and valgrind
# (apt-get update first, then only the packages that are missing).
bash scripts/install-deps.sh core hardening

jobs=$(nproc)

# --- memcheck -----------------------------------------------------------------------------
# An optimised build with debug information keeps valgrind's run short and its reports
# readable. Every test program runs under valgrind through CMake's emulator hook, so that
# CTest discovers and runs the same tests as always. nouserintercepts leaves the test
# programs' own operator new (the allocation-failure tests replace it) in place; it still
# allocates through malloc, which memcheck watches.
valgrind="/usr/bin/valgrind;--tool=memcheck;--error-exitcode=99;--leak-check=full;--errors-for-leak-kinds=definite,indirect;--track-origins=yes;--soname-synonyms=somalloc=nouserintercepts;--quiet"
cmake -S . -B build-memcheck -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRAZO_QT=OFF \
  "-DCMAKE_CROSSCOMPILING_EMULATOR=$valgrind"
cmake --build build-memcheck -j "$jobs"
ctest --test-dir build-memcheck -j "$jobs" --output-on-failure --timeout 600

# The golden-trace tests run the host through a CMake script, outside the emulator hook:
# run the host on every script here under valgrind directly. Exit 0 (ran) and 2 (rejected)
# are both fine; 99 is a memcheck error.
for script in tests/scripts/*.trz examples/*.trz; do
  [ -e "$script" ] || continue
  status=0
  valgrind --tool=memcheck --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite,indirect \
    --quiet build-memcheck/tools/trazo/trazo trace --twips 4000x2000 "$script" >/dev/null 2>build-memcheck/host.err \
    || status=$?
  if [ "$status" -ne 0 ] && [ "$status" -ne 2 ]; then
    cat build-memcheck/host.err
    echo "memcheck: trazo trace $script exited with $status"
    exit 1
  fi
done

# --- fuzzing ------------------------------------------------------------------------------
CC=clang CXX=clang++ FUZZ_BUILD_DIR="$root/build-fuzz" fuzz/run.sh "${FUZZ_SECONDS:-60}"
