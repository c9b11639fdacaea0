#!/usr/bin/env bash
# `trazo tiles` of the benchmarks' mixed drawing to zoom 6 (5461 tiles of 256 pixels, each
# drawn through the control's spatial index as a window of the picture of its zoom), whole
# process, against `trazo render` of the whole drawing once at 1920x1080, in the same run:
# medians of several runs of each, their ratio, and the time per tile and per million pixels
# (the pyramid has some 170 times the pixels of the one picture).
#   bench/tiles_against_render.sh BUILD [COUNT] [ZOOM] [RUNS]
# BUILD is a Release build with -DTRAZO_BENCH=ON and the Qt shell.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build folder}" && pwd)
count=${2:-1000000}
zoom=${3:-6}
runs=${4:-3}
trazo="$build/tools/trazo/trazo"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$build/bench/qt/qt_write_script" "$count" > "$work/drawing.trz"
echo "drawing: $count entities, $(du -m "$work/drawing.trz" | cut -f1) MB of script"

source "$here/timing.sh"
tiles_times=() render_times=()
for ((i = 0; i < runs; i++)); do
  rm -rf "$work/tiles"
  t=$(timed "$trazo" tiles "$work/drawing.trz" -o "$work/tiles" --zoom "$zoom")
  r=$(timed "$trazo" render "$work/drawing.trz" -o "$work/whole.png" --size 1920x1080)
  tiles_times+=("$t")
  render_times+=("$r")
done
tiles=$(find "$work/tiles" -name '*.png' | wc -l)
t=$(printf '%s\n' "${tiles_times[@]}" | median)
r=$(printf '%s\n' "${render_times[@]}" | median)
pixels=$(echo "$tiles * 256 * 256" | bc)
printf 'trazo tiles --zoom %s  median %.3f s  (runs: %s)\n' "$zoom" "$t" "${tiles_times[*]}"
printf 'trazo render 1920x1080  median %.3f s  (runs: %s)\n' "$r" "${render_times[*]}"
printf '%s tiles, %s MB: %.2f ms a tile; ratio tiles / render %.1f for %.0f times the pixels\n' "$tiles" \
  "$(du -sm "$work/tiles" | cut -f1)" "$(echo "1000 * $t / $tiles" | bc -l)" "$(echo "$t / $r" | bc -l)" \
  "$(echo "$pixels / (1920 * 1080)" | bc -l)"
