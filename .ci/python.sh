#!/usr/bin/env bash
# CI stage: the Python module (import trazo). Builds it in Release beside the trazo host,
# whose `render` is the reference picture, then runs the pytest suite against that build:
# members and statuses against the golden traces, bulk adds against single adds, pictures
# against `trazo render` byte for byte, bad arguments, DXF files written by ezdxf as the adds they
# become (and through `trazo trace`), and the module installed both ways
# (cmake --install to a prefix, pip install --no-build-isolation into a venv), each
# imported from a clean interpreter.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh core qt python

python=/usr/bin/python3  # Debian's, whatever python3 comes first on the PATH
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$PWD}"
fi
# The Qt stage's build has the host and the module already; on its own, this stage builds them.
build="$PWD/build-qt"
if ! grep -q '^TRAZO_PYTHON:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  build="$PWD/build-python"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTRAZO_QT=ON -DTRAZO_TOOLS=ON -DTRAZO_TEST=OFF \
    -DTRAZO_PYTHON=ON -DPython_EXECUTABLE="$python" "${launcher[@]}"
fi
cmake --build "$build" --parallel "${CMAKE_BUILD_PARALLEL_LEVEL:-2}" --target trazo trazo_python_module

export TRAZO_PYTHON_STAGE=1
export TRAZO_HOST="$build/tools/trazo/trazo"
export TRAZO_BUILD_DIR="$build"
export TRAZO_PYTHON_PATH="$build/shells/python"
"$python" -m pytest -p no:cacheprovider -q -rs tests/python
