#!/usr/bin/env bash
# Installs the Debian packages a part of the build needs, only those missing.
# Usage: scripts/install-deps.sh core|qt|win32|win32-i386|hardening|bench|web|python ...
# A name of the form package:arch is that package of another architecture (wine32:i386).
set -euo pipefail

packages_for() {
  case "$1" in
    core) echo cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev libcli11-dev libpng-dev ;;
    qt) echo qt6-base-dev qt6-svg-dev libgl-dev xvfb xauth ;;
    win32) echo wine64 fonts-wine g++-mingw-w64-x86-64-win32 g++-mingw-w64-i686-win32 mingw-w64-tools libwine-dev python3 ;;
    win32-i386) echo wine32:i386 ;;  # runs the 32-bit control; only where the kernel runs i386 code
    hardening) echo clang libclang-rt-14-dev valgrind ;;
    bench) echo python3-matplotlib python3-ezdxf bc mawk time ;;  # the baselines of the benchmarks in bench/
    # The web element: emscripten (acorn for its optimised links), Chromium for the browser
    # tests, npm for their puppeteer-core. A node that comes with its own npm needs no other.
    web) echo emscripten node-acorn chromium; command -v npm >/dev/null || echo npm ;;
    # The Python module and its tests: Debian's own python3 with pybind11, NumPy, pytest,
    # Pillow (reads the reference PNGs), pip, venv and setuptools (pip install of the checkout)
    # matplotlib (the benchmark's baseline) and ezdxf (reads DXF drawings).
    python) echo pybind11-dev python3-dev python3-numpy python3-pytest python3-pil python3-pip python3-venv python3-setuptools python3-wheel python3-matplotlib python3-ezdxf ;;
    *) echo "unknown part: $1" >&2; return 1 ;;
  esac
}

wanted=()
for part in "$@"; do
  for p in $(packages_for "$part"); do wanted+=("$p"); done
done

# dpkg-query takes package:arch as it is; a name without one may match an instance of each
# architecture, one line each, and any installed one will do.
missing=()
for p in "${wanted[@]}"; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -qx 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
echo "installing: ${missing[*]}"
# apt-get knows the packages of another architecture only once dpkg does.
for p in "${missing[@]}"; do
  [[ $p == *:* ]] || continue
  arch=${p##*:}
  if [ "$arch" != "$(dpkg --print-architecture)" ] && ! dpkg --print-foreign-architectures | grep -qx "$arch"; then
    $SUDO dpkg --add-architecture "$arch"
  fi
done
# A mirror caught mid-sync fails an index or two: what was read still serves, and the
# install is tried again after a fresh update before it counts as failed.
install() { DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends "${missing[@]}"; }
for attempt in 1 2 3; do
  $SUDO apt-get update -q || echo "apt-get update was incomplete (attempt $attempt)" >&2
  if install; then exit 0; fi
  sleep $((attempt * 10))
done
exit 1
