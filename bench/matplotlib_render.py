#!/usr/bin/env python3
"""Draws a call script of AddLine, AddBox, AddCircle and AddCircle2 statements (the
benchmarks' mixed drawing) with matplotlib's Agg back end, without antialiasing (or with
its default antialiasing when the fifth argument is "antialiased"), into a PNG of the same
size and with the same view as `trazo render`: the baseline of render_against_matplotlib.sh.

    matplotlib_render.py SCRIPT OUT.png WIDTH HEIGHT [antialiased]
"""
import math
import sys

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402
from matplotlib.collections import LineCollection, PatchCollection  # noqa: E402
from matplotlib.patches import Arc, Circle  # noqa: E402

COLOURS = {1: "#ff0000", 2: "#ffff00", 3: "#00ff00", 4: "#00ffff", 5: "#0000ff", 6: "#ff00ff"}
PIXEL = 72 / 100  # one pixel of the 100-dots-to-the-inch figure, in points
DASHES = {0: "solid", 1: (0, (18, 6)), 2: (0, (9, 6, 3, 6)), 3: (0, (9, 3, 3, 3, 3, 3))}


def main():
    script, out, width, height = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
    smooth = len(sys.argv) > 5 and sys.argv[5] == "antialiased"
    segments = {}  # (colour, dash) -> [((x1, y1), (x2, y2))]
    rounds = {}  # (colour, dash) -> [patch]
    low_x = low_y = math.inf
    high_x = high_y = -math.inf
    with open(script) as lines:
        for line in lines:
            name, _, rest = line.partition(" ")
            if not rest:
                continue
            v = [float(f) for f in rest.rsplit(",", 1)[0].split(",")]
            key = (COLOURS.get(int(v[-2]), "#ff0000"), int(v[-1]) if int(v[-1]) in DASHES else 0)
            if name == "AddLine":
                segments.setdefault(key, []).append(((v[0], v[1]), (v[2], v[3])))
                xs, ys = (v[0], v[2]), (v[1], v[3])
            elif name == "AddBox":
                l, r, lo, hi = min(v[0], v[2]), max(v[0], v[2]), min(v[1], v[3]), max(v[1], v[3])
                segments.setdefault(key, []).extend(
                    [((l, lo), (r, lo)), ((l, hi), (r, hi)), ((l, lo), (l, hi)), ((r, lo), (r, hi))])
                xs, ys = (l, r), (lo, hi)
            elif name == "AddCircle":
                rounds.setdefault(key, []).append(Circle((v[0], v[1]), v[2], fill=False))
                xs, ys = (v[0] - v[2], v[0] + v[2]), (v[1] - v[2], v[1] + v[2])
            elif name == "AddCircle2":
                rounds.setdefault(key, []).append(
                    Arc((v[0], v[1]), 2 * v[2], 2 * v[2], theta1=math.degrees(v[3]), theta2=math.degrees(v[4])))
                xs, ys = (v[0] - v[2], v[0] + v[2]), (v[1] - v[2], v[1] + v[2])
            else:
                continue
            low_x, high_x = min(low_x, *xs), max(high_x, *xs)
            low_y, high_y = min(low_y, *ys), max(high_y, *ys)
    figure = plt.figure(figsize=(width / 100, height / 100), dpi=100, facecolor="black")
    axes = figure.add_axes((0, 0, 1, 1), facecolor="black")
    axes.set_axis_off()
    # The control's view: the extents with a 10 % margin, equal scale, centred.
    cx, cy = (low_x + high_x) / 2, (low_y + high_y) / 2
    w, h = (high_x - low_x) * 1.2, (high_y - low_y) * 1.2
    if w / h >= width / height:
        h = w * height / width
    else:
        w = h * width / height
    axes.set_xlim(cx - w / 2, cx + w / 2)
    axes.set_ylim(cy - h / 2, cy + h / 2)
    for (colour, dash), segs in segments.items():
        axes.add_collection(LineCollection(segs, colors=colour, linewidths=PIXEL, linestyles=DASHES[dash],
                                           antialiaseds=smooth))
    for (colour, dash), patches in rounds.items():
        axes.add_collection(PatchCollection(patches, facecolors="none", edgecolors=colour, linewidths=PIXEL,
                                            linestyles=DASHES[dash], antialiaseds=smooth))
    figure.savefig(out, dpi=100, facecolor="black")


if __name__ == "__main__":
    main()
