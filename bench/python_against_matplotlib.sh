#!/usr/bin/env bash
# COUNT segments from NumPy arrays to a 1920x1080 PNG, whole process: through the Python
# module, against matplotlib's LineCollection drawing the same segments to the same PNG,
# without antialiasing and with its default (antialiased), taking turns: medians of RUNS
# runs of each and the ratios (goal: the module at least 50 times faster than matplotlib
# without antialiasing). matplotlib is slow at ten million segments: MPL_COUNT, when given,
# is the count matplotlib draws, the module's time then being measured at both counts.
#   bench/python_against_matplotlib.sh BUILD [COUNT] [RUNS] [MPL_COUNT]
# BUILD is a Release build with the module (-DTRAZO_PYTHON=ON).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build folder}" && pwd)
count=${2:-10000000}
runs=${3:-3}
mpl_count=${4:-$count}
bash "$here/../scripts/install-deps.sh" bench python

python=/usr/bin/python3  # Debian's, with Debian's NumPy and matplotlib
export PYTHONPATH="$build/shells/python"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

source "$here/timing.sh"
declare -A times
names=("trazo $count" "trazo $mpl_count" "matplotlib $mpl_count" "matplotlib-antialiased $mpl_count")
[ "$mpl_count" = "$count" ] && names=("trazo $count" "matplotlib $count" "matplotlib-antialiased $count")
for ((i = 0; i < runs; i++)); do
  for name in "${names[@]}"; do
    read -r how n <<<"$name"
    times[$name]+="$(timed "$python" "$here/python_lines.py" "$how" "$n" "$work/$how.png") "
  done
done
declare -A medians
for name in "${names[@]}"; do
  medians[$name]=$(printf '%s\n' ${times[$name]} | median)
  printf '%-34s median %8.3f s  (runs: %s)\n' "$name segments" "${medians[$name]}" "${times[$name]% }"
done
t=${medians["trazo $mpl_count"]}
printf 'ratio matplotlib / trazo at %s segments: %.1f without antialiasing (goal: at least 50), %.1f antialiased\n' \
  "$mpl_count" "$(echo "${medians["matplotlib $mpl_count"]} / $t" | bc -l)" \
  "$(echo "${medians["matplotlib-antialiased $mpl_count"]} / $t" | bc -l)"
