#!/usr/bin/env bash
# CI stage for the Windows control: installs the MinGW-w64 cross compilers and Wine (the
# 32-bit Wine too where the kernel runs i386 code), builds Trazolib.ocx and trazo.exe for
# 64-bit (build-win64/) and 32-bit Windows (build-win32/) and the Linux trace host and raster
# (build-linux/), then runs tests/win32/run.sh on each build under Wine, each in a prefix of
# its own: the 64-bit one first, then the 32-bit one.
# Ends with "N passed, N failed, N skipped"; exits non-zero on failure.
set -u
cd "$(dirname "$0")/.."

passed=0
failed=0
skipped=0
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

step() {  # step NAME COMMAND...: one counted step, its output shown only when it fails
  local name=$1
  shift
  echo "== $name"
  local start=$SECONDS
  if "$@" >"$logs/step.log" 2>&1; then
    passed=$((passed + 1))
    echo "   done in $((SECONDS - start)) s"
  else
    failed=$((failed + 1))
    echo "FAIL $name"
    tail -n 40 "$logs/step.log"
    return 1
  fi
}

# Where the probe fails, the 32-bit stage below says why and counts as skipped.
parts="core win32"
tests/win32/i386_probe.sh >/dev/null && parts="$parts win32-i386"
# shellcheck disable=SC2086
step "install packages ($parts)" scripts/install-deps.sh $parts

build_windows() {  # build_windows FOLDER TOOLCHAIN
  cmake -S . -B "$1" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="cmake/$2" -DTRAZO_TOOLS=ON &&
    cmake --build "$1" -j 2
}
build_linux_references() {  # the traces and the pixels the Windows builds must match
  cmake -S . -B build-linux -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRAZO_QT=OFF -DTRAZO_TEST=OFF &&
    cmake --build build-linux -j 2 --target trazo raster_pixels
}
built_win64=1
built_win32=1
step "build x86_64 (build-win64)" build_windows build-win64 toolchain-x86_64-w64-mingw32.cmake || built_win64=0
step "build i686 (build-win32)" build_windows build-win32 toolchain-i686-w64-mingw32.cmake || built_win32=0
step "build the Linux trace host and raster (build-linux)" build_linux_references

wine_stage() {  # wine_stage win64|win32 BUILD: the suite on one build, its tally added up
  local bits=$1 build=$2
  echo "== Wine tests: $bits"
  local start=$SECONDS
  bash tests/win32/run.sh "$bits" "$build" build-linux | tee "$logs/$bits.log" | grep -v '^PASS '
  local tally
  tally=$(tail -n 1 "$logs/$bits.log")
  if [[ $tally =~ ^([0-9]+)\ passed,\ ([0-9]+)\ failed,\ ([0-9]+)\ skipped$ ]]; then
    passed=$((passed + BASH_REMATCH[1]))
    failed=$((failed + BASH_REMATCH[2]))
    skipped=$((skipped + BASH_REMATCH[3]))
    echo "   $bits: $tally in $((SECONDS - start)) s"
  else
    echo "FAIL $bits: the Wine tests ended without a tally"
    failed=$((failed + 1))
  fi
}
[ "$built_win64" -eq 1 ] && wine_stage win64 build-win64
[ "$built_win32" -eq 1 ] && wine_stage win32 build-win32

echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
