#!/usr/bin/env bash
# CI stage: several controls at once under ThreadSanitizer. Builds the core and the Qt shell
# with -fsanitize=thread (build-tsan/) and runs the tests that drive controls on several
# threads: the worker pool, the raster bands, the spatial index's build, walks shared
# between two threads, the Qt shell's two widgets in one window and two controls drawing on
# two threads at the same moment. Any data race fails the stage.
# The long runs of each shell are described in docs/soak.md.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core qt

launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
fi
cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRAZO_TSAN=ON -DTRAZO_QT=ON -DTRAZO_TEST=ON \
  -DTRAZO_TOOLS=OFF -DTRAZO_PYTHON=OFF -DTRAZO_BENCH=OFF "${launcher[@]}"
cmake --build build-tsan --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-2}" --target trazo_raster_tests trazo_model_tests trazo_concurrency_tests

# Qt's offscreen platform: no X server and no D-Bus thread, whose work inside the libraries
# (not built with the sanitizer) ThreadSanitizer cannot follow. No report is suppressed.
export TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1"
build-tsan/tests/raster/trazo_raster_tests --gtest_filter='WorkerPool.*:RasterBands*:*Thread*:ShownEntities.*'
build-tsan/tests/model/trazo_model_tests --gtest_filter='SpatialIndex.*'
env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen build-tsan/tests/qt/trazo_concurrency_tests
