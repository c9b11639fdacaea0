#!/usr/bin/env bash
# `trazo render` of the benchmarks' mixed drawing to a 1920x1080 PNG, whole process, against
# matplotlib (Agg, no antialiasing) drawing the same entities from the same script, in the
# same run: medians of several runs of each and their ratio (goal: trazo at least 20 times
# faster at a million entities). With ANTIALIAS=1, `trazo render --antialias` against
# matplotlib with its default antialiasing (goal: at least 40 times faster).
#   [ANTIALIAS=1] bench/render_against_matplotlib.sh BUILD [COUNT] [RUNS]
# BUILD is a Release build with -DTRAZO_BENCH=ON and the Qt shell.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build folder}" && pwd)
count=${2:-1000000}
runs=${3:-3}
trazo_smooth=() matplotlib_smooth=() goal=20
if [ "${ANTIALIAS:-0}" = 1 ]; then
  trazo_smooth=(--antialias) matplotlib_smooth=(antialiased) goal=40
fi
bash "$here/../scripts/install-deps.sh" bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/qt/qt_write_script" "$count" > "$work/drawing.trz"
echo "drawing: $count entities, $(du -m "$work/drawing.trz" | cut -f1) MB of script"

source "$here/timing.sh"
# Debian's Python, which has Debian's matplotlib, whatever python3 comes first on the PATH.
python=/usr/bin/python3
trazo_times=() matplotlib_times=()
for ((i = 0; i < runs; i++)); do
  t=$(timed "$build/tools/trazo/trazo" render "$work/drawing.trz" -o "$work/trazo.png" --size 1920x1080 "${trazo_smooth[@]}")
  m=$(timed "$python" "$here/matplotlib_render.py" "$work/drawing.trz" "$work/matplotlib.png" 1920 1080 \
    "${matplotlib_smooth[@]}")
  trazo_times+=("$t")
  matplotlib_times+=("$m")
done
t=$(printf '%s\n' "${trazo_times[@]}" | median)
m=$(printf '%s\n' "${matplotlib_times[@]}" | median)
printf 'trazo render  median %.3f s  (runs: %s)\n' "$t" "${trazo_times[*]}"
printf 'matplotlib    median %.3f s  (runs: %s)\n' "$m" "${matplotlib_times[*]}"
printf 'ratio matplotlib / trazo: %.1f (goal: at least %s)\n' "$(echo "$m / $t" | bc -l)" "$goal"
