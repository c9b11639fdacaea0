#!/usr/bin/env bash
# `trazo render FILE.dxf` to a 1920x1080 PNG, whole process, against ezdxf alone reading the
# same file (goal: at most 1.5 times as long) and against `python3 -m ezdxf draw` (matplotlib;
# goal: at least 10 times faster). The drawing is bench/dxf_mixed_drawing.py's, COUNT
# entities; matplotlib draws a drawing of DRAW_COUNT of the same mix, since at COUNT it runs
# for many minutes, and its time is scaled up by COUNT / DRAW_COUNT (it grows at least that
# fast). Then where trazo's time goes: the converter's reading, mapping and records (in one
# process, processor time), and the C++ host's share of the whole.
#   bench/dxf_against_ezdxf.sh BUILD [COUNT] [DRAW_COUNT] [RUNS]
# BUILD is a Release build with the Qt shell, the tools and the Python module.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:?build folder}" && pwd)
count=${2:-200000}
draw_count=${3:-10000}
runs=${4:-3}
bash "$here/../scripts/install-deps.sh" bench
python=/usr/bin/python3  # Debian's, with ezdxf and matplotlib
export PYTHONPATH="$build/shells/python"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$python" "$here/dxf_mixed_drawing.py" "$count" "$work/drawing.dxf"
"$python" "$here/dxf_mixed_drawing.py" "$draw_count" "$work/small.dxf"
echo "drawing: $count entities, $(du -m "$work/drawing.dxf" | cut -f1) MB of DXF"

median() { sort -g | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'; }
# timed COMMAND...: "wall cpu" seconds of one run (cpu: user + system, children included).
timed() {
  /usr/bin/time -f '%e %U %S' -o "$work/time" "$@" >/dev/null || return 1
  awk '{printf "%s %.2f\n", $1, $2 + $3}' "$work/time"
}
trazo_runs=() read_runs=()
for ((i = 0; i < runs; i++)); do
  trazo_runs+=("$(timed "$build/tools/trazo/trazo" render "$work/drawing.dxf" -o "$work/trazo.png" --size 1920x1080)")
  read_runs+=("$(timed "$python" -c 'import sys, ezdxf; ezdxf.readfile(sys.argv[1])' "$work/drawing.dxf")")
done
draw=$(timed "$python" -m ezdxf draw -o "$work/ezdxf.png" "$work/small.dxf" 2>/dev/null)
t_wall=$(printf '%s\n' "${trazo_runs[@]}" | awk '{print $1}' | median)
t_cpu=$(printf '%s\n' "${trazo_runs[@]}" | awk '{print $2}' | median)
r_wall=$(printf '%s\n' "${read_runs[@]}" | awk '{print $1}' | median)
r_cpu=$(printf '%s\n' "${read_runs[@]}" | awk '{print $2}' | median)
d_wall=$(echo "$draw" | awk -v k="$count" -v n="$draw_count" '{print $1 * k / n}')
d_cpu=$(echo "$draw" | awk -v k="$count" -v n="$draw_count" '{print $2 * k / n}')
printf 'trazo render FILE.dxf   median wall %.2f s, cpu %.2f s  (runs: %s)\n' "$t_wall" "$t_cpu" "${trazo_runs[*]}"
printf 'ezdxf.readfile alone    median wall %.2f s, cpu %.2f s  (runs: %s)\n' "$r_wall" "$r_cpu" "${read_runs[*]}"
printf 'ezdxf draw, %d entities: wall %s s, cpu %s s; scaled to %d: wall %.1f s, cpu %.1f s\n' "$draw_count" \
  $draw "$count" "$d_wall" "$d_cpu"
printf 'trazo / ezdxf reading (cpu): %.2f (goal: at most 1.5)\n' "$(echo "$t_cpu / $r_cpu" | bc -l)"
printf 'ezdxf draw / trazo (cpu):    %.1f (goal: at least 10)\n' "$(echo "$d_cpu / $t_cpu" | bc -l)"

# Where the time goes: in one converter process, then the converter alone as trazo runs it;
# the rest of trazo's time is the host's (the records made into statements, the adds, one
# Reflash, the PNG).
"$python" - "$work/drawing.dxf" <<'EOF'
import sys, time
t0 = time.process_time()
import ezdxf
from trazo import dxf
from trazo._records import RecordAdds
t1 = time.process_time()
doc, _ = dxf.open_drawing(sys.argv[1])
t2 = time.process_time()
class Nowhere:
    def line(*_): pass
    circle = arc = text = chain = line
dxf.map_layout(doc, Nowhere())
t3 = time.process_time()
adds = RecordAdds()
dxf.map_layout(doc, adds)
data = adds.data()
t4 = time.process_time()
print(f"converter, cpu: imports {t1 - t0:.2f} s, ezdxf reading {t2 - t1:.2f} s, mapping {t3 - t2:.2f} s, "
      f"records {t4 - t3 - (t3 - t2):.2f} s; {adds.adds} adds, {len(data) / 1e6:.1f} MB")
EOF
converter=$(timed "$python" -m trazo.dxf_script --records -o "$work/drawing.records" "$work/drawing.dxf")
printf 'the converter alone: wall %s s, cpu %s s; the host, the rest: cpu %.2f s\n' $converter \
  "$(echo "$t_cpu - $(echo "$converter" | cut -d' ' -f2)" | bc -l)"
