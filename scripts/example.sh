#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on a bundled example: the floor
# plan rendered to floor_plan.png (no display needed), and its trace of drawing calls.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core qt
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTRAZO_QT=ON >/dev/null
cmake --build build --target trazo
build/tools/trazo/trazo render examples/floor_plan.trz -o floor_plan.png --size 1200x800
build/tools/trazo/trazo trace examples/floor_plan.trz
echo "wrote floor_plan.png"

