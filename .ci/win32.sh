#!/usr/bin/env bash
# CI stage for the Windows control: installs the MinGW-w64 cross compilers and Wine,
# builds Trazolib.ocx for 64-bit (build-win64/) and 32-bit Windows (build-win32/), and runs
# tests/win32/run.sh under Wine. Ends with "N passed, N failed"; exits non-zero on failure.
set -u
cd "$(dirname "$0")/.."

passed=0
failed=0
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

step() {  # step NAME COMMAND...: one counted step, its output shown only when it fails
  local name=$1
  shift
  echo "== $name"
  if "$@" >"$logs/step.log" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL $name"
    tail -n 40 "$logs/step.log"
    return 1
  fi
}

step "install packages" scripts/install-deps.sh core win32

build() {  # build FOLDER TOOLCHAIN
  cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="cmake/$2" &&
    cmake --build "$1" -j 2
}
built=1
step "build x86_64 (build-win64)" build build-win64 toolchain-x86_64-w64-mingw32.cmake || built=0
step "build i686 (build-win32)" build build-win32 toolchain-i686-w64-mingw32.cmake || built=0

if [ "$built" -eq 1 ]; then
  echo "== Wine tests"
  bash tests/win32/run.sh build-win64 build-win32 | tee "$logs/wine.log" | grep -v '^PASS '
  tally=$(tail -n 1 "$logs/wine.log")
  if [[ $tally =~ ^([0-9]+)\ passed,\ ([0-9]+)\ failed$ ]]; then
    passed=$((passed + BASH_REMATCH[1]))
    failed=$((failed + BASH_REMATCH[2]))
  else
    echo "FAIL the Wine tests ended without a tally"
    failed=$((failed + 1))
  fi
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
