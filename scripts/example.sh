#!/usr/bin/env bash
# Installs what is missing, builds, and runs the main job on a bundled example: the trace
# of the floor plan, as the control draws it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target trazo
build/tools/trazo/trazo trace examples/floor_plan.trz
