#!/usr/bin/env bash
# CI stage: the <trazo-picture> web element. Builds the native trazo host (its `render` is
# the reference picture) and the WebAssembly module with emscripten, then runs the browser
# tests in headless Chromium: members and statuses, the crossed MouseMove, Resize and
# Paint, the example page, and the canvas against `trazo render` byte for byte.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core qt web

# The Qt stage's build has the host already; on its own, this stage builds one.
if [ -f build-qt/CMakeCache.txt ]; then
  cmake --build build-qt --parallel 2 --target trazo
  export TRAZO_HOST="$PWD/build-qt/tools/trazo/trazo"
else
  cmake -S . -B build-native -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRAZO_QT=ON -DTRAZO_TEST=OFF
  cmake --build build-native --parallel 2 --target trazo
fi

emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release
cmake --build build-web --parallel 2

cd tests/web
# puppeteer-core fetches no browser; the tests start the system's Chromium.
PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund
npm test
