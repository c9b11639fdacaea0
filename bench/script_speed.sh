#!/usr/bin/env bash
# How fast `trazo trace` reads and runs a call script of a million lines, beside mawk
# summing two fields of every line of the same file, in the same run:
#
#   bench/script_speed.sh [TRAZO] [LINES] [RUNS]
#
# TRAZO defaults to build/tools/trazo/trazo, LINES to 1000000, RUNS to 5. The script (about
# 65 MB of AddLine, AddCircle, AddCircle2 and AddBox lines, no Reflash) is written once to
# a temporary file; then trazo and mawk run alternately, RUNS times each, their standard
# output thrown away. Printed: the median wall time and the median processor time (user +
# system) of each, trazo's peak resident memory, and trazo's time as a share of mawk's.
# The goal: at most 0.5 of mawk's wall time, at most 250 MB at the peak.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
trazo=${1:-$root/build/tools/trazo/trazo}
lines=${2:-1000000}
runs=${3:-5}
for tool in mawk /usr/bin/time; do
  command -v "$tool" >/dev/null || { echo "needs $tool (scripts/install-deps.sh bench)" >&2; exit 2; }
done
[ -x "$trazo" ] || { echo "no trazo at $trazo: build it first" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
script=$work/million.trz

# A Park-Miller generator: exact in the doubles of every awk, so every awk writes the same file.
mawk -v lines="$lines" '
function next01() { seed = (seed * 48271) % 2147483647; return seed / 2147483647 }
BEGIN {
  seed = 20240601
  for (i = 0; i < 10; i++) next01()
  for (i = 0; i < lines; i++) {
    p = next01(); x = next01() * 1600; y = next01() * 900
    col = 1 + int(next01() * 6); lt = int(next01() * 4)
    if (p < 0.55)      printf "AddLine %.6f, %.6f, %.6f, %.6f, %d, %d, \"\"\n", x, y, x + next01() * 120 - 60, y + next01() * 120 - 60, col, lt
    else if (p < 0.75) printf "AddCircle %.6f, %.6f, %.6f, %d, %d, \"\"\n", x, y, 2 + next01() * 58, col, lt
    else if (p < 0.95) printf "AddCircle2 %.6f, %.6f, %.6f, %.6f, %.6f, %d, %d, \"\"\n", x, y, 2 + next01() * 58, next01() * 6.283185, next01() * 6.283185, col, lt
    else               printf "AddBox %.6f, %.6f, %.6f, %.6f, %d, %d, \"\"\n", x, y, x + next01() * 120 - 60, y + next01() * 120 - 60, col, lt
  }
}' > "$script"
echo "script: $lines lines, $(( $(stat -c %s "$script") / 1000000 )) MB"

# One timed run: "wall cpu peak-kB", from GNU time.
timed() { /usr/bin/time -f "%e %U %S %M" -o "$work/time" "$@" > /dev/null; awk '{ print $1, $2 + $3, $4 }' "$work/time"; }

# Both read the file once untimed, so that it is in the page cache for each.
"$trazo" trace "$script" > /dev/null
mawk -F, '{s+=$2+$3}' "$script"
: > "$work/trazo"
: > "$work/mawk"
for ((run = 0; run < runs; run++)); do
  timed "$trazo" trace "$script" >> "$work/trazo"
  timed mawk -F, '{s+=$2+$3}' "$script" >> "$work/mawk"
done

median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
trazo_wall=$(cut -d' ' -f1 "$work/trazo" | median)
trazo_cpu=$(cut -d' ' -f2 "$work/trazo" | median)
trazo_peak=$(cut -d' ' -f3 "$work/trazo" | sort -n | tail -1)
mawk_wall=$(cut -d' ' -f1 "$work/mawk" | median)
mawk_cpu=$(cut -d' ' -f2 "$work/mawk" | median)

awk -v tw="$trazo_wall" -v tc="$trazo_cpu" -v tp="$trazo_peak" -v mw="$mawk_wall" -v mc="$mawk_cpu" -v runs="$runs" 'BEGIN {
  printf "medians of %d runs      wall s   cpu s\n", runs
  printf "trazo trace            %6.3f  %6.3f   peak %d MB\n", tw, tc, tp / 1024
  printf "mawk -F, {s+=$2+$3}    %6.3f  %6.3f\n", mw, mc
  printf "trazo / mawk           %6.2f  %6.2f   (goal: wall at most 0.50; peak at most 250 MB)\n", tw / mw, tc / mc
}'
