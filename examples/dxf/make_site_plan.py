"""Writes examples/dxf/site_plan.dxf with ezdxf: a small site plan with something of every
kind the DXF reader maps (walls as polylines with a bulged bay, doors as arcs, a tree block
inserted at several scales and in an array, a path as a spline, a pond as an ellipse, a
hatched terrace, labels as TEXT and MTEXT, a dimension, a leader, layers by colour and line
type, one layer switched off).

    /usr/bin/python3 examples/dxf/make_site_plan.py [OUT.dxf]
"""

import pathlib
import sys

import ezdxf


def site_plan(path):
    doc = ezdxf.new("R2000")
    doc.linetypes.add("DASHED", pattern=[0.75, 0.5, -0.25], description="Dashed __ __ __")
    doc.linetypes.add("DASHDOT", pattern=[1.0, 0.5, -0.25, 0.0, -0.25], description="Dash dot __ . __ .")
    for name, colour, line_type in (("WALLS", 7, "Continuous"), ("DOORS", 3, "Continuous"),
                                    ("GARDEN", 94, "Continuous"), ("BOUNDARY", 1, "DASHDOT"),
                                    ("NOTES", 4, "Continuous"), ("SERVICES", 5, "DASHED"), ("DRAFT", 6, "Continuous")):
        doc.layers.add(name, color=colour, linetype=line_type)
    doc.layers.get("DRAFT").off()
    msp = doc.modelspace()

    msp.add_lwpolyline([(0, 0, 0), (30, 0, 0), (30, 8, 0.4), (30, 14, 0), (30, 20, 0), (0, 20, 0)], format="xyb",
                       close=True, dxfattribs={"layer": "WALLS"})
    msp.add_lwpolyline([(12, 0), (12, 20)], dxfattribs={"layer": "WALLS"})
    for x in (4, 18):
        msp.add_line((x, 0), (x, 3), dxfattribs={"layer": "DOORS"})
        msp.add_arc((x, 0), 3, 0, 90, dxfattribs={"layer": "DOORS"})
    msp.add_lwpolyline([(-10, -10), (50, -10), (50, 40), (-10, 40)], close=True, dxfattribs={"layer": "BOUNDARY"})
    msp.add_line((-10, 10), (0, 10), dxfattribs={"layer": "SERVICES"})

    tree = doc.blocks.new("TREE")
    tree.add_circle((0, 0), 1.5, dxfattribs={"color": 0})  # BYBLOCK: the colour of each insert
    tree.add_line((-0.5, 0), (0.5, 0))
    tree.add_line((0, -0.5), (0, 0.5))
    for x, y, scale in ((38, 30, 1.0), (44, 24, 1.6), (-4, 32, 1.2)):
        msp.add_blockref("TREE", (x, y), dxfattribs={"layer": "GARDEN", "xscale": scale, "yscale": scale})
    msp.add_blockref("TREE", (36, -4), dxfattribs={"layer": "GARDEN", "color": 2}).grid(size=(1, 4), spacing=(0, 4))

    msp.add_ellipse((40, 8), (6, 1), 0.5, dxfattribs={"layer": "GARDEN", "color": 5})
    msp.add_spline(fit_points=[(12, 20), (16, 26), (24, 28), (30, 34), (40, 36)], dxfattribs={"layer": "GARDEN"})
    terrace = msp.add_hatch(color=30, dxfattribs={"layer": "GARDEN"})
    terrace.paths.add_polyline_path([(0, 20), (12, 20), (12, 26), (0, 26)], is_closed=True)

    msp.add_text("LIVING", dxfattribs={"layer": "NOTES", "height": 1.5}).set_placement((16, 9))
    msp.add_text("STUDY", dxfattribs={"layer": "NOTES", "height": 1.2, "rotation": 90}).set_placement((6, 7))
    msp.add_mtext("SITE PLAN\\Pscale 1:100", dxfattribs={"layer": "NOTES", "char_height": 1.2, "insert": (-8, 38)})
    msp.add_linear_dim(base=(0, -5), p1=(0, 0), p2=(30, 0), dimstyle="Standard",
                       override={"dimtxt": 1.2, "dimasz": 0.8}, dxfattribs={"layer": "NOTES"}).render()
    msp.add_leader([(44, 10), (48, 16), (52, 16)], dxfattribs={"layer": "NOTES"})
    msp.add_text("POND", dxfattribs={"layer": "NOTES", "height": 1}).set_placement((52.5, 15.5))
    msp.add_text("draft note, not shown", dxfattribs={"layer": "DRAFT", "height": 2}).set_placement((0, 44))
    doc.saveas(path)


if __name__ == "__main__":
    site_plan(sys.argv[1] if len(sys.argv) > 1 else pathlib.Path(__file__).with_name("site_plan.dxf"))
