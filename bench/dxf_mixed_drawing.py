"""Writes a DXF drawing of COUNT mixed entities with ezdxf, from a fixed seed: lines (40 %),
light polylines with bulges, circles, arcs, texts, block references (10 % each), ellipses
and splines (5 % each) over the colours and line types a drawing uses, on a few layers.

    /usr/bin/python3 bench/dxf_mixed_drawing.py COUNT OUT.dxf
"""

import random
import sys

import ezdxf

LINE_TYPES = ("Continuous", "DASHED", "DASHDOT", "DIVIDE", "BYLAYER")


def write(count, path, seed=7):
    rng = random.Random(seed)
    doc = ezdxf.new("R2018", setup=True)
    for name, colour in (("WALLS", 7), ("DOORS", 3), ("TEXT", 2), ("GRID", 8)):
        doc.layers.add(name, color=colour)
    mark = doc.blocks.new("MARK")
    mark.add_circle((0, 0), 1, dxfattribs={"color": 0})
    mark.add_line((-1.5, 0), (1.5, 0))
    mark.add_line((0, -1.5), (0, 1.5))
    msp = doc.modelspace()
    layers = ("0", "WALLS", "DOORS", "TEXT", "GRID")

    def attributes():
        return {"layer": rng.choice(layers), "color": rng.choice((256, 256, 1, 2, 3, 4, 5, 6, 7, 30, 140, 250)),
                "linetype": rng.choice(LINE_TYPES)}

    def point():
        return rng.uniform(0, 10000), rng.uniform(0, 6000)

    for i in range(count):
        kind = i % 20
        x, y = point()
        a = attributes()
        if kind < 8:
            msp.add_line((x, y), (x + rng.uniform(-300, 300), y + rng.uniform(-300, 300)), dxfattribs=a)
        elif kind < 10:
            points = [(x + rng.uniform(-200, 200), y + rng.uniform(-200, 200), rng.choice((0, 0, 0.5, -1)))
                      for _ in range(rng.randint(2, 6))]
            msp.add_lwpolyline(points, format="xyb", close=rng.random() < 0.5, dxfattribs=a)
        elif kind < 12:
            msp.add_circle((x, y), rng.uniform(1, 150), dxfattribs=a)
        elif kind < 14:
            msp.add_arc((x, y), rng.uniform(1, 150), rng.uniform(0, 360), rng.uniform(0, 360), dxfattribs=a)
        elif kind < 16:
            msp.add_text(f"R{i}", dxfattribs={**a, "height": rng.uniform(5, 40),
                                                "rotation": rng.choice((0, 0, 90, 30))}).set_placement((x, y))
        elif kind < 18:
            scale = rng.uniform(5, 20)
            msp.add_blockref("MARK", (x, y), dxfattribs={**a, "xscale": scale, "yscale": scale,
                                                        "rotation": rng.uniform(0, 360)})
        elif kind == 18:
            msp.add_ellipse((x, y), (rng.uniform(10, 200), rng.uniform(-50, 50)), rng.uniform(0.2, 1), dxfattribs=a)
        else:
            # with control points, as CAD programs write splines
            msp.add_open_spline([(x + 40 * k, y + rng.uniform(-60, 60)) for k in range(5)], dxfattribs=a)
    doc.saveas(path)


if __name__ == "__main__":
    write(int(sys.argv[1]), sys.argv[2])
