#!/usr/bin/python3
"""Draws COUNT random segments (the benchmarks' lines: 0..1600 x 0..900 units, steps of up to
60 units, the six colours, line types 0 to 3, from a fixed seed) from NumPy arrays into a
1920 x 1080 PNG, through the trazo module or through matplotlib's LineCollection (Agg, one
collection per colour and line type, the control's view and dash patterns), as a whole
process: the baseline pair of python_against_matplotlib.sh.

    python_lines.py trazo|matplotlib|matplotlib-antialiased COUNT OUT.png
"""
import sys

import numpy as np

WIDTH, HEIGHT = 1920, 1080
COLOURS = {1: "#ff0000", 2: "#ffff00", 3: "#00ff00", 4: "#00ffff", 5: "#0000ff", 6: "#ff00ff"}
PIXEL = 72 / 100  # one pixel of the 100-dots-to-the-inch figure, in points
DASHES = {0: "solid", 1: (0, (18, 6)), 2: (0, (9, 6, 3, 6)), 3: (0, (9, 3, 3, 3, 3, 3))}


def segments(count):
    rng = np.random.default_rng(20240601)
    x1, y1 = rng.uniform(0, 1600, count), rng.uniform(0, 900, count)
    x2, y2 = x1 + rng.uniform(-60, 60, count), y1 + rng.uniform(-60, 60, count)
    return x1, y1, x2, y2, rng.integers(1, 7, count), rng.integers(0, 4, count)


def with_trazo(columns, out):
    import trazo

    control = trazo.Trazo()
    control.add_lines(*columns)
    control.save(out, WIDTH, HEIGHT)


def with_matplotlib(columns, out, antialiased):
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt
    from matplotlib.collections import LineCollection

    x1, y1, x2, y2, col, line_type = columns
    figure = plt.figure(figsize=(WIDTH / 100, HEIGHT / 100), dpi=100, facecolor="black")
    axes = figure.add_axes((0, 0, 1, 1), facecolor="black")
    axes.set_axis_off()
    # The control's view: the extents with a 10 % margin, equal scale, centred.
    low_x, high_x = min(x1.min(), x2.min()), max(x1.max(), x2.max())
    low_y, high_y = min(y1.min(), y2.min()), max(y1.max(), y2.max())
    cx, cy = (low_x + high_x) / 2, (low_y + high_y) / 2
    w, h = (high_x - low_x) * 1.2, (high_y - low_y) * 1.2
    if w / h >= WIDTH / HEIGHT:
        h = w * HEIGHT / WIDTH
    else:
        w = h * WIDTH / HEIGHT
    axes.set_xlim(cx - w / 2, cx + w / 2)
    axes.set_ylim(cy - h / 2, cy + h / 2)
    points = np.stack([np.stack([x1, y1], axis=1), np.stack([x2, y2], axis=1)], axis=1)
    for colour, name in COLOURS.items():
        for dash, style in DASHES.items():
            chosen = (col == colour) & (line_type == dash)
            axes.add_collection(LineCollection(points[chosen], colors=name, linewidths=PIXEL, linestyles=style,
                                               antialiaseds=antialiased))
    figure.savefig(out, dpi=100, facecolor="black")


def main():
    how, count, out = sys.argv[1], int(sys.argv[2]), sys.argv[3]
    columns = segments(count)
    if how == "trazo":
        with_trazo(columns, out)
    else:
        with_matplotlib(columns, out, antialiased=how == "matplotlib-antialiased")


if __name__ == "__main__":
    main()
