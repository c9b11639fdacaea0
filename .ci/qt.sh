#!/bin/sh
# CI stage: the Qt shell on a fresh Debian 12, as root. Builds everything with Qt, runs the
# whole ctest suite with the window tests under Xvfb, renders the bundled example with no
# display, installs, and builds the example host against the installed package, as C++17
# and as C++20.
set -eu

cd "$(dirname "$0")/.."
root=$(pwd)
build="$root/build-qt"
prefix="$build/install"

scripts/install-deps.sh core qt

bench=OFF
if [ -f bench/CMakeLists.txt ]; then bench=ON; fi

cmake -S . -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DTRAZO_QT=ON -DTRAZO_TEST=ON -DTRAZO_TOOLS=ON -DTRAZO_BENCH="$bench"
cmake --build "$build" --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"

# Every test, the Qt window tests on an X server of their own.
xvfb-run -a ctest --test-dir "$build" --output-on-failure

# The README's main job: a drawing to PNG on a machine with no display at all.
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM \
  "$build/tools/trazo/trazo" render examples/drawings/sampler.trz -o "$build/sampler.png"
test -s "$build/sampler.png"

# The installed package, used as a host would use it: only public headers, included as
# <trazo/...>, in either language standard.
rm -rf "$prefix"
cmake --install "$build"
# Every installed header includes the project's headers as <trazo/...>, each of them
# installed too; nothing else of the tree comes along.
if grep -rl '#include "' "$prefix/include"; then
  echo "installed headers include the source tree's paths" >&2
  exit 1
fi
grep -rhoE '#include <trazo/[^>]+>' "$prefix/include" | sed -E 's/#include <(.*)>/\1/' | sort -u |
  while read -r header; do
    test -f "$prefix/include/$header" || { echo "$header is included but not installed" >&2; exit 1; }
  done
for standard in 17 20; do
  cmake -S examples/qt_host -B "$build/qt_host_cxx$standard" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
    -DCMAKE_CXX_STANDARD="$standard"
  cmake --build "$build/qt_host_cxx$standard" --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-$(nproc)}"
  xvfb-run -a "$build/qt_host_cxx$standard/qt_host" --exit-after 500
done
