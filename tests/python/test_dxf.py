"""DXF files in: each case writes a small drawing with ezdxf and checks the adds it becomes,
in order (L line, C circle, A arc, T text: the numbers, colour, line type; the tag where a
case is about it). Then the control, the call script and `trazo trace` of one file agree,
and bad files give `FILE: reason`, exit status 2 and no output."""

import math
import os
import subprocess
import sys

import pytest

import trazo
from trazo import dxf, dxf_script

ezdxf = pytest.importorskip("ezdxf")
PI = math.pi


class Adds:
    """The adds as (kind, numbers..., col, lType, [text,] tag) tuples."""

    def __init__(self):
        self.calls = []

    def line(self, *args):
        self.calls.append(("L",) + args)

    def circle(self, *args):
        self.calls.append(("C",) + args)

    def arc(self, *args):
        self.calls.append(("A",) + args)

    def text(self, x, y, h, angle, col, content, tag):
        self.calls.append(("T", x, y, h, angle, col, 0, content, tag))


def adds_of(path, **options):
    doc, damage = dxf.open_drawing(str(path))
    assert damage is None
    out = Adds()
    dxf.map_layout(doc, out, **options)
    return out.calls


def untagged(calls):
    return [call[:-1] for call in calls]


def block(doc, name, build):
    b = doc.blocks.new(name)
    build(b)
    return name


def segments_on(curve, tolerance):
    """A check that the adds are one chain of lines whose corners lie on `curve(x, y)`, a
    distance from it, within `tolerance`, and that it has more than a few segments."""
    def check(calls):
        assert len(calls) > 8 and all(c[0] == "L" for c in calls)
        for a, b in zip(calls, calls[1:]):
            assert (a[3], a[4]) == (b[1], b[2])
        for c in calls:
            assert abs(curve(c[1], c[2])) <= tolerance
    return check


def ellipse_distance(cx, cy, a, b):
    return lambda x, y: math.hypot((x - cx) / a, (y - cy) / b) * min(a, b) - min(a, b)


def layered(doc, msp):
    doc.layers.add("WALLS", color=4, linetype="DASHED")
    doc.layers.add("OFF", color=1).off()
    doc.layers.add("FROZEN", color=1).freeze()
    msp.add_line((0, 0), (1, 0), dxfattribs={"layer": "WALLS"})
    msp.add_line((0, 0), (2, 0), dxfattribs={"layer": "OFF"})
    msp.add_line((0, 0), (3, 0), dxfattribs={"layer": "FROZEN"})
    msp.add_line((0, 0), (4, 0), dxfattribs={"layer": "HIDE"})
    # ezdxf reads an entity's invisible flag but does not write it: it goes in by hand
    return lambda text: text.replace("  8\nHIDE\n", "  8\nHIDE\n 60\n     1\n")


def byblock(doc, msp):
    name = block(doc, "B", lambda b: b.add_line((0, 0), (1, 0), dxfattribs={"color": 0, "linetype": "BYBLOCK"}))
    doc.layers.add("L5", color=5)
    msp.add_blockref(name, (0, 0), dxfattribs={"color": 3, "linetype": "DASHDOT"})
    msp.add_blockref(name, (0, 1), dxfattribs={"layer": "L5"})  # BYLAYER insert: its layer's colour


def nested(doc, msp):
    inner = block(doc, "IN", lambda b: b.add_line((0, 0), (1, 0)))
    outer = block(doc, "OUT", lambda b: b.add_blockref(inner, (10, 0), dxfattribs={"rotation": 90}))
    msp.add_blockref(outer, (100, 0), dxfattribs={"xscale": 2, "yscale": 2})


def based(doc, msp):
    b = doc.blocks.new("BASED", base_point=(1, 0))
    b.add_line((1, 0), (2, 0))
    b.add_arc((1, 0), 1, 0, 90)
    b.add_point((1, 1))
    msp.add_blockref("BASED", (10, 10), dxfattribs={"rotation": 90, "xscale": 2, "yscale": 2})
    msp.add_blockref("BASED", (0, 0), dxfattribs={"xscale": -1})  # mirrored: through ezdxf's copies


def array(doc, msp):
    name = block(doc, "P", lambda b: b.add_point((0, 0)))
    ref = msp.add_blockref(name, (0, 0))
    ref.grid(size=(2, 2), spacing=(20, 10))  # rows 20 apart, columns 10


def attrib(doc, msp):
    name = block(doc, "T", lambda b: b.add_attdef("NO", (0, 0), dxfattribs={"height": 2}))
    msp.add_blockref(name, (5, 5)).add_auto_attribs({"NO": "A1"})


def sorted_entities(doc, msp):
    first = msp.add_line((0, 0), (1, 0))
    second = msp.add_line((0, 0), (2, 0))
    msp.set_redraw_order({first.dxf.handle: "FF", second.dxf.handle: "10"})


def mirrored(doc, msp):
    msp.add_circle((2, 3), 1, dxfattribs={"extrusion": (0, 0, -1)})
    msp.add_arc((2, 3), 1, 0, 90, dxfattribs={"extrusion": (0, 0, -1)})


def hatch(doc, msp):
    h = msp.add_hatch(color=6)
    h.paths.add_polyline_path([(0, 0), (4, 0), (4, 2)], is_closed=True)


W = "7"  # ACI 7, white or black, goes to yellow; the nearest of the six, ties to the lower index
CASES = [
    ("line", lambda d, m: m.add_line((0, 0), (10, 5), dxfattribs={"color": 1}),
     [("L", 0, 0, 10, 5, 1, 0)]),
    ("point", lambda d, m: m.add_point((3, 4), dxfattribs={"color": 6}), [("L", 3, 4, 3, 4, 6, 0)]),
    ("circle", lambda d, m: m.add_circle((1, 2), 3, dxfattribs={"color": 3}), [("C", 1, 2, 3, 3, 0)]),
    ("arc, degrees to radians", lambda d, m: m.add_arc((0, 0), 5, 270, 45, dxfattribs={"color": 5}),
     [("A", 0, 0, 5, 1.5 * PI, PI / 4, 5, 0)]),
    ("closed lwpolyline with a bulge",
     lambda d, m: m.add_lwpolyline([(0, 0, 0), (10, 0, 1), (10, 10, 0)], format="xyb", close=True),
     [("L", 0, 0, 10, 0, 2, 0), ("A", 10, 5, 5, 1.5 * PI, PI / 2, 2, 0), ("L", 10, 10, 0, 0, 2, 0)]),
    ("2d polyline, clockwise bulge", lambda d, m: m.add_polyline2d([(0, 0, 0, 0, -1), (2, 0)], format="xyseb"),
     [("A", 1, 0, 1, 0, PI, 2, 0)]),
    ("3d polyline", lambda d, m: m.add_polyline3d([(0, 0, 1), (1, 1, 2), (2, 0, 3)]),
     [("L", 0, 0, 1, 1, 2, 0), ("L", 1, 1, 2, 0, 2, 0)]),
    ("3dface, hidden edge", lambda d, m: m.add_3dface([(0, 0), (1, 0), (1, 1), (0, 1)], dxfattribs={"invisible": 2}),
     [("L", 0, 0, 1, 0, 2, 0), ("L", 1, 1, 0, 1, 2, 0), ("L", 0, 1, 0, 0, 2, 0)]),
    ("solid, DXF corner order", lambda d, m: m.add_solid([(0, 0), (1, 0), (0, 1), (1, 1)]),
     [("L", 0, 0, 1, 0, 2, 0), ("L", 1, 0, 1, 1, 2, 0), ("L", 1, 1, 0, 1, 2, 0), ("L", 0, 1, 0, 0, 2, 0)]),
    ("text, left", lambda d, m: m.add_text("AB", dxfattribs={"height": 2, "rotation": 30}).set_placement((1, 1)),
     [("T", 1, 1, 2, 30, 2, 0, "AB")]),
    ("text, centred on its middle",
     lambda d, m: m.add_text("ABCD", dxfattribs={"height": 2}).set_placement(
         (10, 10), align=ezdxf.enums.TextEntityAlignment.MIDDLE_CENTER),
     [("T", 8, 9, 2, 0, 2, 0, "ABCD")]),
    ("mtext, lines and codes", lambda d, m: m.add_mtext("{\\fArial;A}\\PB", dxfattribs={"char_height": 3,
                                                                                       "insert": (0, 10)}),
     [("T", 0, 7, 3, 0, 2, 0, "A"), ("T", 0, 2, 3, 0, 2, 0, "B")]),
    ("attrib of an insert", attrib, [("T", 5, 5, 2, 0, 2, 0, "A1")]),
    ("nested inserts, rotation and scale", nested, [("L", 120, 0, 120, 2, 2, 0)]),
    ("insert: base point, rotation, scale, mirror", based,
     [("L", 10, 10, 10, 12, 2, 0), ("A", 10, 10, 2, PI / 2, PI, 2, 0), ("L", 8, 10, 8, 10, 2, 0),
      ("L", 0, 0, -1, 0, 2, 0), ("A", 0, 0, 1, PI / 2, PI, 2, 0), ("L", 0, 1, 0, 1, 2, 0)]),
    ("minsert array", array,
     [("L", 0, 0, 0, 0, 2, 0), ("L", 10, 0, 10, 0, 2, 0), ("L", 0, 20, 0, 20, 2, 0), ("L", 10, 20, 10, 20, 2, 0)]),
    ("BYBLOCK colour and line type; layer 0 takes the insert's layer", byblock,
     [("L", 0, 0, 1, 0, 3, 2), ("L", 0, 1, 1, 1, 5, 0)]),
    ("layers: BYLAYER, off, frozen, invisible", layered, [("L", 0, 0, 1, 0, 4, 1)]),
    ("colours: true colour, ACI 7, 30 and 140 to the nearest",
     lambda d, m: [m.add_point((0, 0), dxfattribs={"true_color": 0x0000C8}),
                   m.add_point((0, 0), dxfattribs={"color": 7}),
                   m.add_point((0, 0), dxfattribs={"color": 30}),
                   m.add_point((0, 0), dxfattribs={"color": 140})],
     [("L", 0, 0, 0, 0, 5, 0), ("L", 0, 0, 0, 0, 2, 0), ("L", 0, 0, 0, 0, 1, 0), ("L", 0, 0, 0, 0, 4, 0)]),
    ("line types by pattern",
     lambda d, m: [m.add_point((0, 0), dxfattribs={"linetype": n}) for n in ("DASHED", "CENTER", "DIVIDE", "DOT",
                                                                            "Continuous")],
     [("L", 0, 0, 0, 0, 2, t) for t in (1, 2, 3, 1, 0)]),
    ("redraw order", sorted_entities, [("L", 0, 0, 2, 0, 2, 0), ("L", 0, 0, 1, 0, 2, 0)]),
    ("extrusion 0,0,-1 mirrors", mirrored, [("C", -2, 3, 1, 2, 0), ("A", -2, 3, 1, PI / 2, PI, 2, 0)]),
    ("hatch boundary", hatch, [("L", 0, 0, 4, 0, 6, 0), ("L", 4, 0, 4, 2, 6, 0), ("L", 4, 2, 0, 0, 6, 0)]),
    ("ellipse", lambda d, m: m.add_ellipse((1, 1), (4, 0), 0.5), segments_on(ellipse_distance(1, 1, 4, 2), 4e-3)),
    ("circle under non-uniform scale",
     lambda d, m: m.add_blockref(block(d, "O", lambda b: b.add_circle((0, 0), 1)), (0, 0),
                                 dxfattribs={"xscale": 3, "yscale": 1}),
     segments_on(ellipse_distance(0, 0, 3, 1), 3e-3)),
    ("spline", lambda d, m: m.add_spline(fit_points=[(0, 0), (5, 5), (10, 0)]),
     lambda calls: segments_on(lambda x, y: 0, 0)(calls) or (calls[0][1:3], calls[-1][3:5]) == ((0, 0), (10, 0))),
    ("dimension", lambda d, m: m.add_linear_dim(base=(0, 5), p1=(0, 0), p2=(10, 0)).render(),
     lambda calls: any(c[0] == "T" and c[7].isdigit() for c in calls) and sum(c[0] == "L" for c in calls) >= 3),
    ("leader", lambda d, m: m.add_leader([(0, 0), (5, 5), (10, 5)]),
     lambda calls: ("L", 5, 5, 10, 5, 2, 0) in untagged(calls)),
]


@pytest.mark.parametrize("build, expected", [case[1:] for case in CASES], ids=[case[0] for case in CASES])
def test_entities_become_adds(tmp_path, build, expected):
    doc = ezdxf.new("R2018", setup=True)
    patch = build(doc, doc.modelspace())
    doc.saveas(tmp_path / "case.dxf")
    if callable(patch):
        (tmp_path / "case.dxf").write_text(patch((tmp_path / "case.dxf").read_text()))
    calls = adds_of(tmp_path / "case.dxf")
    if callable(expected):
        assert expected(calls) is not False, calls
    else:
        assert untagged(calls) == [pytest.approx(e, abs=1e-9) for e in expected]


def test_tags_name_the_entity_and_layer_and_a_layout_is_chosen(tmp_path):
    doc = ezdxf.new("R2018")
    line = doc.modelspace().add_line((0, 0), (1, 0), dxfattribs={"layer": "Walls"})
    sheet = doc.layouts.new("Sheet")
    circle = sheet.add_circle((0, 0), 1)
    doc.saveas(tmp_path / "t.dxf")
    assert [c[-1] for c in adds_of(tmp_path / "t.dxf")] == [f"{line.dxf.handle}:Walls"]
    assert adds_of(tmp_path / "t.dxf", layout="sheet") == [("C", 0, 0, 1, 2, 0, f"{circle.dxf.handle}:0")]
    with pytest.raises(dxf.DxfError, match="no layout named 'Nope'"):
        adds_of(tmp_path / "t.dxf", layout="Nope")


@pytest.fixture
def sampler(tmp_path):
    doc = ezdxf.new("R2018", setup=True)
    msp = doc.modelspace()
    msp.add_line((0, 0), (100, 50), dxfattribs={"color": 1, "linetype": "DASHED"})
    msp.add_arc((50, 50), 20, -30, 200, dxfattribs={"color": 4})
    msp.add_text('say "hi"', dxfattribs={"height": 5}).set_placement((10, 10))
    msp.add_text("Größe \U0001F4D0", dxfattribs={"height": 3}).set_placement((0, 30))  # beyond ASCII and the BMP
    msp.add_ellipse((50, 0), (30, 10), 0.3)
    path = tmp_path / "sampler.dxf"
    doc.saveas(path)
    return path


def test_control_script_and_host_agree(sampler, control, host):
    """read_dxf fills the control as the written script does, and `trazo trace` of the file
    is the trace of that script."""
    assert trazo.read_dxf(str(sampler), control) == control.Count
    text = dxf_script.script_text(str(sampler))
    replayed = trazo.Trazo()
    run = trazo.run_script(text, replayed)
    assert run.failures == [] and replayed.Count == control.Count
    assert replayed.trace() == control.trace()
    traced = subprocess.run([str(host), "trace", str(sampler)], capture_output=True, text=True)
    assert traced.returncode == 0 and traced.stderr == ""
    assert traced.stdout == control.trace()


def converter(path, *extra, env=None):
    return subprocess.run([sys.executable, "-m", "trazo.dxf_script", *extra, str(path)], capture_output=True,
                          text=True, env={**os.environ, "PYTHONPATH": ":".join(sys.path), **(env or {})})


def test_bad_files(tmp_path, sampler, host):
    garbage = tmp_path / "garbage.dxf"
    garbage.write_bytes(b"\x89PNG\r\n\x1a\n not a drawing at all")
    damaged = tmp_path / "damaged.dxf"
    text = sampler.read_text()
    damaged.write_text(text.replace("AcDbLine\n 10\n", "AcDbLine\n 10.0\n", 1))  # a group code only recovery reads
    no_ezdxf = tmp_path / "without"
    (no_ezdxf / "ezdxf").mkdir(parents=True)
    (no_ezdxf / "ezdxf" / "__init__.py").write_text("raise ModuleNotFoundError(\"No module named 'ezdxf'\")\n")
    for path, env, reason in [(garbage, None, "not a DXF drawing ezdxf can read"), (tmp_path / "missing.dxf", None, "cannot be read"),
                              (sampler, {"PYTHONPATH": f"{no_ezdxf}:" + ":".join(sys.path)},
                               "apt-get install python3-ezdxf")]:
        run = converter(path, env=env)
        assert (run.returncode, run.stdout) == (2, ""), run.stderr
        assert run.stderr.startswith(f"{path}: ") and reason in run.stderr and "Traceback" not in run.stderr
    rendered = subprocess.run([str(host), "render", str(garbage), "-o", str(tmp_path / "g.png")], capture_output=True,
                              text=True)
    assert rendered.returncode == 2 and not (tmp_path / "g.png").exists()
    assert rendered.stderr.startswith(f"{garbage}: ") and "Traceback" not in rendered.stderr
    recovered = converter(damaged)
    assert recovered.returncode == 0 and "read through ezdxf's recovery" in recovered.stderr
    assert recovered.stdout.splitlines()[1:] == converter(sampler).stdout.splitlines()[1:]


@pytest.mark.parametrize("degree, points, knots", [
    (3, [(0, 0), (1, 2), (3, 1), (4, 4), (6, 0)], None),
    (2, [(0, 0), (1, 2), (3, 1), (4, 4)], None),
    (5, [(k, (-1) ** k * k) for k in range(9)], None),
    (3, [(0, 0), (1, 2), (3, 1), (4, 4), (6, 0), (7, 3)], [0, 0, 0, 0, 1, 1, 2, 2, 2, 2]),  # a double knot
    (3, [(0, 0), (1, 2), (3, 1), (4, 4), (6, 0)], [2, 2, 2, 2, 3.5, 5, 5, 5, 5]),  # knots not from 0
    (3, [(0, 0), (1, 2), (3, 1), (4, 4), (6, 0)], list(range(9))),  # unclamped
], ids=["cubic", "quadratic", "quintic", "double knot", "knots not from 0", "unclamped"])
def test_spline_pieces_are_ezdxfs(degree, points, knots):
    """Splines are cut into Bézier pieces on plain numbers: the same points as ezdxf's
    bezier_decomposition where the spline is one it decomposes, and None for the others."""
    doc = ezdxf.new()
    spline = doc.modelspace().add_open_spline(points, degree=degree, knots=knots)
    pieces = dxf._bezier_pieces(spline)
    if knots is not None and (knots[0] != 0 or len(set(knots[:degree + 1])) > 1):
        assert pieces is None
        return
    expected = [[(p[0], p[1]) for p in piece] for piece in spline.construction_tool().bezier_decomposition()]
    assert pieces == expected


def test_bulges_are_ezdxfs_arcs():
    from ezdxf.math import bulge_to_arc
    for (x1, y1, x2, y2), bulge in [((0, 0, 10, 0), 1), ((0, 0, 2, 0), -1), ((3, -1, -2, 7), 0.37),
                                    ((1e4, 5e3, 1e4 + 0.1, 5e3), -2.5)]:
        centre, sa, ea, r = bulge_to_arc((x1, y1), (x2, y2), bulge)
        assert dxf._bulge_arc(x1, y1, x2, y2, bulge) == (centre[0], centre[1], sa, ea, r)
