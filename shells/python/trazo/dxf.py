"""DXF drawings as the control's adds, through ezdxf: every entity of a layout becomes
AddLine, AddCircle, AddCircle2 or AddText calls, in the layout's drawing order.

    import trazo
    t = trazo.Trazo()
    trazo.read_dxf("plan.dxf", t)               # model space
    trazo.read_dxf("plan.dxf", t, layout="A3")  # a paper-space layout by name

The one mapping here feeds both a control (read_dxf) and the call script of a file
(`python3 -m trazo.dxf_script FILE.dxf`, which the `trazo` command line runs for a .dxf).
What each entity becomes, the colour table and the flattening tolerance: docs/dxf.md.
"""

import math
import warnings
from collections import Counter

from ._errors import TrazoWarning

# Curves without an entity of their own (ellipses, splines, hatch edges, circles seen
# askew) become segments that stray at most this fraction of the curve's size from it.
RELATIVE_TOLERANCE = 1e-3
# ...and never less than this, in drawing units, so that a tiny curve stays a few segments.
SMALLEST_TOLERANCE = 1e-9
# Blocks nested deeper than this are taken for a loop in a damaged file and left out.
DEEPEST_BLOCK = 32

# The control's six colours, by index, as the painters show them.
CONTROL_COLOURS = {1: (255, 0, 0), 2: (255, 255, 0), 3: (0, 255, 0), 4: (0, 255, 255), 5: (0, 0, 255),
                   6: (255, 0, 255)}
SOLID, DASHED, DASH_DOT, DASH_DOT_DOT = 0, 1, 2, 3
# What an entity drawn BYBLOCK outside any block takes: DXF's colour 7 and a solid line.
_TOP_BLOCK_ACI = 7


# What ezdxf raises for one entity it cannot make sense of.
_BROKEN = (LookupError, ValueError, ArithmeticError, AttributeError, TypeError)


class DxfError(Exception):
    """The file cannot be read as a drawing: what is wrong, in a few words."""


class DxfUnavailable(DxfError):
    """ezdxf, which reads DXF, is not installed."""


def nearest_colour(rgb):
    """The control's colour index nearest to (R, G, B), by distance in RGB; a tie goes to
    the lower index."""
    r, g, b = rgb
    return min(CONTROL_COLOURS,
               key=lambda i: ((CONTROL_COLOURS[i][0] - r) ** 2 + (CONTROL_COLOURS[i][1] - g) ** 2 +
                              (CONTROL_COLOURS[i][2] - b) ** 2, i))


def _aci_table():
    from ezdxf.colors import DXF_DEFAULT_COLORS, int2rgb
    table = [nearest_colour(int2rgb(DXF_DEFAULT_COLORS[i])) for i in range(256)]
    table[1:7] = range(1, 7)  # the six are the same six
    return table


def line_type_code(pattern):
    """The control's line type for ezdxf's simplified pattern (dash, gap, dash, ...; a dash
    of 0 is a dot): solid without one; otherwise the marks no longer than a quarter of the
    longest are dots, and none, one or more dots make dashed, dash-dot or dash-dot-dot."""
    pattern = tuple(pattern)
    if len(pattern) % 2 == 1 and len(pattern) > 1:  # it ends with a dash, which runs on into the first
        pattern = (pattern[0] + pattern[-1],) + pattern[1:-1]
    marks = pattern[0::2]
    if len(pattern) < 2 or not marks:
        return SOLID
    longest = max(marks)
    dots = sum(1 for mark in marks if mark <= 0.25 * longest)
    if dots == len(marks) or dots == 0:
        return DASHED
    return DASH_DOT if dots == 1 else DASH_DOT_DOT


def _text_width(text, height):
    """How wide the control takes a text to be: half the height a character, 0.82 of it when
    any character is wider than a byte."""
    factor = 0.5 if all(ord(c) < 0x80 for c in text) else 0.82
    return len(text) * height * factor


class _Context:
    """What the entities of a block take from the reference that draws them: its layer (for
    those on layer 0), its colour and line type (for BYBLOCK), and its tag."""
    __slots__ = ("layer", "aci_col", "ltype", "tag", "depth")

    def __init__(self, layer, aci_col, ltype, tag, depth):
        self.layer, self.aci_col, self.ltype, self.tag, self.depth = layer, aci_col, ltype, tag, depth


def _is_plain(extrusion):
    return extrusion is None or (abs(extrusion[0]) < 1e-12 and abs(extrusion[1]) < 1e-12 and extrusion[2] > 0)


def _is_mirrored(extrusion):
    return abs(extrusion[0]) < 1e-12 and abs(extrusion[1]) < 1e-12 and extrusion[2] < 0


class _Lines:
    """An `out` without chain(), given each segment of a chain as a line of its own."""

    def __init__(self, out):
        self.line, self.circle, self.arc, self.text = out.line, out.circle, out.arc, out.text

    def chain(self, flat, col, lt, tag):
        for i in range(0, len(flat) - 2, 2):
            self.line(flat[i], flat[i + 1], flat[i + 2], flat[i + 3], col, lt, tag)


class _Mapping:
    """Walks a layout and hands each entity's adds to `out` (line, circle, arc, text, and
    chain for segments from point to point where it has one)."""

    def __init__(self, doc, out, tolerance):
        self.doc = doc
        self.out = out if hasattr(out, "chain") else _Lines(out)
        self.tolerance = tolerance
        self.aci = _aci_table()
        self.layers = {}
        self.ltypes = {}
        self.sorted_blocks = {}
        self.simple_blocks = {}
        self.not_drawn = Counter()
        from ezdxf.lldxf.const import DXFError
        self.broken = _BROKEN + (DXFError,)
        self.kinds = {
            "LINE": self.line, "POINT": self.point, "CIRCLE": self.circle, "ARC": self.arc,
            "ELLIPSE": self.curve, "SPLINE": self.curve, "LWPOLYLINE": self.lwpolyline,
            "POLYLINE": self.polyline, "3DFACE": self.face, "SOLID": self.solid, "TRACE": self.solid,
            "MESH": self.mesh, "TEXT": self.text, "ATTRIB": self.text, "MTEXT": self.mtext,
            "INSERT": self.insert, "HATCH": self.hatch,
        }

    # --- layers, colours, line types ---

    def layer(self, name):
        """(shown, colour index, line type name) of a layer, looked up once."""
        found = self.layers.get(name)
        if found is None:
            entry = self.doc.layers.get(name) if self.doc.layers.has_entry(name) else None
            if entry is None:
                found = (True, self.aci[7], "CONTINUOUS")
            else:
                dxf = entry.dxf
                true_colour = dxf.get("true_color")
                colour = nearest_colour(_rgb(true_colour)) if true_colour is not None else \
                    self.aci[abs(dxf.get("color", 7)) % 256]
                found = (not entry.is_off() and not entry.is_frozen(), colour,
                         dxf.get("linetype", "CONTINUOUS").upper())
            self.layers[name] = found
        return found

    def ltype(self, name):
        code = self.ltypes.get(name)
        if code is None:
            code = SOLID
            if self.doc.linetypes.has_entry(name):
                code = line_type_code(self.doc.linetypes.get(name).simplified_line_pattern())
            self.ltypes[name] = code
        return code

    def style(self, values, layer_name, layer_colour, layer_ltype, ctx):
        """(colour, line type, tag) of an entity whose set attributes are `values`."""
        true_colour = values.get("true_color")
        if true_colour is not None:
            col = nearest_colour(_rgb(true_colour))
        else:
            aci = values.get("color", 256)
            col = layer_colour if aci == 256 else ctx.aci_col if aci == 0 else self.aci[abs(aci) % 256]
        name = values.get("linetype", "BYLAYER").upper()
        if name == "BYLAYER":
            name = layer_ltype
        lt = ctx.ltype if name == "BYBLOCK" else self.ltype(name)
        tag = ctx.tag or f"{values.get('handle', '')}:{layer_name}"
        return col, lt, tag

    # --- the walk ---

    def entities(self, entities, ctx):
        for entity in entities:
            dxf = entity.dxf
            values = dxf.__dict__  # the attributes the file sets: a plain look-up, where dxf.get checks the name
            kind = entity.dxftype()
            if values.get("invisible", 0) and kind != "3DFACE":  # a 3DFACE's "invisible" are its edges
                continue
            layer_name = values.get("layer", "0")
            if ctx.layer is not None and layer_name == "0":
                layer_name = ctx.layer
            shown, layer_colour, layer_ltype = self.layer(layer_name)
            if not shown:
                continue
            handler = self.kinds.get(kind)
            style = self.style(values, layer_name, layer_colour, layer_ltype, ctx)
            try:
                if handler is not None:
                    handler(entity, dxf, style, ctx, layer_name)
                elif hasattr(entity, "virtual_entities") and kind != "VIEWPORT":
                    # DIMENSION, LEADER, MLINE, MULTILEADER, proxies: their own graphics, as a block
                    self.block(entity.virtual_entities(), style, ctx, layer_name)
                else:
                    self.not_drawn[kind] += 1
            except self.broken:  # a broken entity (a block that is missing, say) is left out, not the file
                self.not_drawn[f"{kind} (damaged)"] += 1

    def block(self, entities, style, ctx, layer_name):
        if ctx.depth >= DEEPEST_BLOCK:
            self.not_drawn["block nested too deep"] += 1
            return
        col, lt, tag = style
        self.entities(entities, _Context(layer_name, col, lt, tag, ctx.depth + 1))

    def insert(self, entity, dxf, style, ctx, layer_name):
        if self.simple_insert(entity, dxf, style, ctx, layer_name):
            return
        references = entity.multi_insert() if entity.mcount > 1 else (entity,)
        name = entity.dxf.name
        sorted_block = self.sorted_blocks.get(name)
        if sorted_block is None:
            definition = entity.block()
            sorted_block = self.sorted_blocks[name] = definition is not None and _sorted(definition)
        for reference in references:
            self.block(reference.virtual_entities(redraw_order=sorted_block), style, ctx, layer_name)
        if entity.attribs:
            self.block(entity.attribs, style, ctx, layer_name)

    def simple_block(self, name, definition):
        """The entities of a block made of lines, points, circles and arcs alone, flat in
        its plane, as (values, kind, geometry) with its base point taken off; None for any
        other block. Looked up once a block."""
        found = []
        bx, by = 0.0, 0.0
        if definition is not None:
            base = definition.block.dxf.get("base_point")
            if base is not None:
                bx, by = base[0], base[1]
        for child in definition if definition is not None else ():
            values = child.dxf.__dict__
            kind = child.dxftype()
            if kind not in ("LINE", "POINT", "CIRCLE", "ARC") or not _is_plain(values.get("extrusion")):
                found = None
                break
            if values.get("invisible", 0):
                continue
            if kind == "LINE":
                geometry = (values["start"][0] - bx, values["start"][1] - by, values["end"][0] - bx,
                            values["end"][1] - by)
            elif kind == "POINT":
                p = values["location"]
                geometry = (p[0] - bx, p[1] - by)
            else:
                c = values["center"]
                geometry = (c[0] - bx, c[1] - by, abs(values.get("radius", 1.0)),
                            math.radians(values.get("start_angle", 0.0)), math.radians(values.get("end_angle", 360.0)))
            found.append((values, kind, geometry))
        if definition is None or _sorted(definition):
            found = None
        self.simple_blocks[name] = found
        return found

    def simple_insert(self, entity, dxf, style, ctx, layer_name):
        """Draws an INSERT of a simple block (see simple_block) at a positive uniform scale,
        flat in the XY plane, by its own transform rather than through ezdxf's copies; false
        for any other INSERT, which ezdxf expands."""
        values = dxf.__dict__
        scale = values.get("xscale", 1.0)
        if (scale <= 0 or values.get("yscale", 1.0) != scale or entity.mcount > 1 or entity.attribs
                or not _is_plain(values.get("extrusion")) or ctx.depth >= DEEPEST_BLOCK):
            return False
        name = values.get("name")
        children = self.simple_blocks.get(name, False)
        if children is False:
            children = self.simple_block(name, entity.block())
        if children is None:
            return False
        insert = values.get("insert", (0.0, 0.0, 0.0))
        ix, iy = insert[0], insert[1]
        turn = math.radians(values.get("rotation", 0.0))
        cos, sin = math.cos(turn) * scale, math.sin(turn) * scale
        col, lt, tag = style
        inner = _Context(layer_name, col, lt, tag, ctx.depth + 1)
        out = self.out
        for child_values, kind, g in children:
            child_layer = child_values.get("layer", "0")
            if child_layer == "0":
                child_layer = layer_name
            shown, layer_colour, layer_ltype = self.layer(child_layer)
            if not shown:
                continue
            child_style = self.style(child_values, child_layer, layer_colour, layer_ltype, inner)
            if kind == "LINE":
                out.line(ix + cos * g[0] - sin * g[1], iy + sin * g[0] + cos * g[1], ix + cos * g[2] - sin * g[3],
                         iy + sin * g[2] + cos * g[3], *child_style)
            elif kind == "POINT":
                x, y = ix + cos * g[0] - sin * g[1], iy + sin * g[0] + cos * g[1]
                out.line(x, y, x, y, *child_style)
            elif kind == "CIRCLE":
                out.circle(ix + cos * g[0] - sin * g[1], iy + sin * g[0] + cos * g[1], g[2] * scale, *child_style)
            else:
                self.arc_out(ix + cos * g[0] - sin * g[1], iy + sin * g[0] + cos * g[1], g[2] * scale, g[3] + turn,
                             g[4] + turn, child_style)
        return True

    # --- the adds ---

    def segments(self, points, style):
        """Segments from point to point: one chain of adds, handed on at once."""
        self.out.chain([c for p in points for c in (p[0], p[1])], *style)

    def arc_out(self, cx, cy, r, sa, ea, style):
        self.out.arc(cx, cy, r, _turn(sa), _turn(ea), *style)

    def distance(self, size):
        if self.tolerance is not None:
            return self.tolerance
        return max(RELATIVE_TOLERANCE * size, SMALLEST_TOLERANCE)

    def line(self, entity, dxf, style, ctx, layer_name):
        s, e = dxf.start, dxf.end
        self.out.line(s[0], s[1], e[0], e[1], *style)

    def point(self, entity, dxf, style, ctx, layer_name):
        p = dxf.location
        self.out.line(p[0], p[1], p[0], p[1], *style)

    def circle(self, entity, dxf, style, ctx, layer_name):
        extrusion = dxf.get("extrusion")
        r = abs(dxf.radius)
        if _is_plain(extrusion):
            c = dxf.center
            self.out.circle(c[0], c[1], r, *style)
        elif _is_mirrored(extrusion):
            c = entity.ocs().to_wcs(dxf.center)
            self.out.circle(c[0], c[1], r, *style)
        else:  # seen askew: an ellipse
            self.segments(entity.flattening(self.distance(r)), style)

    def arc(self, entity, dxf, style, ctx, layer_name):
        extrusion = dxf.get("extrusion")
        r = abs(dxf.radius)
        sa, ea = math.radians(dxf.start_angle), math.radians(dxf.end_angle)
        if _is_plain(extrusion):
            c = dxf.center
            self.arc_out(c[0], c[1], r, sa, ea, style)
        elif _is_mirrored(extrusion):
            c = entity.ocs().to_wcs(dxf.center)
            self.arc_out(c[0], c[1], r, math.pi - ea, math.pi - sa, style)
        else:
            self.segments(entity.flattening(self.distance(r)), style)

    def curve(self, entity, dxf, style, ctx, layer_name):
        if entity.dxftype() == "ELLIPSE":
            self.out.chain(_ellipse_points(entity, dxf, self.distance), *style)
            return
        try:
            beziers = _bezier_pieces(entity)
            if beziers is None:
                beziers = list(entity.construction_tool().bezier_decomposition())
        except (TypeError, ValueError, IndexError, ZeroDivisionError):  # rational or unclamped: ezdxf's own way
            from ezdxf.math import BoundingBox
            size = BoundingBox(entity.control_points or entity.fit_points).size.magnitude
            self.segments(entity.flattening(self.distance(size)), style)
            return
        corners = [point for points in beziers for point in points]
        xs, ys = [p[0] for p in corners], [p[1] for p in corners]
        tolerance = self.distance(math.hypot(max(xs) - min(xs), max(ys) - min(ys)))
        flat = [beziers[0][0][0], beziers[0][0][1]] if beziers else []
        for controls in beziers:
            _bezier_points(controls, tolerance, flat)
        self.out.chain(flat, *style)

    def bulged(self, vertices, closed, ocs, style):
        """The segments of a 2D polyline: (x, y, bulge) in its OCS; a bulge is an arc."""
        if closed and len(vertices) > 1:
            vertices = vertices + vertices[:1]
        plain = ocs is None
        mirrored = not plain and _is_mirrored(ocs.uz)
        out = self.out
        straight = []  # a run of straight segments, handed on as one chain
        for (x1, y1, bulge), (x2, y2, _) in zip(vertices, vertices[1:]):
            if plain and not bulge:
                if not straight:
                    straight += (x1, y1)
                straight += (x2, y2)
                continue
            if straight:
                out.chain(straight, *style)
                straight = []
            if bulge and (plain or mirrored):
                cx, cy, sa, ea, r = _bulge_arc(x1, y1, x2, y2, bulge)
                if plain:
                    self.arc_out(cx, cy, r, sa, ea, style)
                else:
                    self.arc_out(-cx, cy, r, math.pi - ea, math.pi - sa, style)
            elif bulge:
                from ezdxf.math import ConstructionArc, bulge_to_arc
                centre, sa, ea, r = bulge_to_arc((x1, y1), (x2, y2), bulge)
                arc = ConstructionArc(centre, r, math.degrees(sa), math.degrees(ea))
                self.segments(ocs.points_to_wcs(arc.flattening(self.distance(r))), style)
            else:
                a, b = ocs.to_wcs((x1, y1)), ocs.to_wcs((x2, y2))
                out.line(a[0], a[1], b[0], b[1], *style)
        if straight:
            out.chain(straight, *style)

    def lwpolyline(self, entity, dxf, style, ctx, layer_name):
        extrusion = dxf.get("extrusion")
        ocs = None if _is_plain(extrusion) else entity.ocs()
        v = entity.lwpoints.values  # x, y, start width, end width, bulge: a plain array, read at once
        self.bulged(list(zip(v[0::5], v[1::5], v[4::5])), entity.closed, ocs, style)

    def polyline(self, entity, dxf, style, ctx, layer_name):
        if entity.is_2d_polyline:
            extrusion = dxf.get("extrusion")
            ocs = None if _is_plain(extrusion) else entity.ocs()
            vertices = [(v.dxf.location[0], v.dxf.location[1], v.dxf.get("bulge", 0)) for v in entity.vertices
                        if not v.dxf.get("flags", 0) & 16]  # spline frame points are not drawn
            self.bulged(vertices, entity.is_closed, ocs, style)
        elif entity.is_3d_polyline:
            points = [v.dxf.location for v in entity.vertices if not v.dxf.get("flags", 0) & 16]
            if entity.is_closed and points:
                points.append(points[0])
            self.segments(points, style)
        else:  # polygon and polyface meshes: their faces
            for face in entity.virtual_entities():
                self.face(face, face.dxf, style, ctx, layer_name)

    def face(self, entity, dxf, style, ctx, layer_name):
        corners = [dxf.vtx0, dxf.vtx1, dxf.vtx2, dxf.get("vtx3", dxf.vtx2)]
        hidden = dxf.get("invisible", 0) if entity.dxftype() == "3DFACE" else 0
        for i in range(4):
            a, b = corners[i], corners[(i + 1) % 4]
            if hidden & (1 << i) or (i == 2 and a.isclose(b)):  # a triangle's fourth corner repeats its third
                continue
            self.out.line(a[0], a[1], b[0], b[1], *style)

    def solid(self, entity, dxf, style, ctx, layer_name):
        self.segments(entity.wcs_vertices(close=True), style)

    def mesh(self, entity, dxf, style, ctx, layer_name):
        vertices = entity.vertices
        drawn = set()
        for face in entity.faces:
            for a, b in zip(face, face[1:] + face[:1]):
                edge = (a, b) if a < b else (b, a)
                if edge not in drawn:
                    drawn.add(edge)
                    p, q = vertices[a], vertices[b]
                    self.out.line(p[0], p[1], q[0], q[1], *style)

    def hatch(self, entity, dxf, style, ctx, layer_name):
        from ezdxf import path
        from ezdxf.math import BoundingBox
        for boundary in path.from_hatch(entity):
            size = BoundingBox(boundary.control_vertices()).size.magnitude
            self.segments(boundary.flattening(self.distance(size)), style)

    def text(self, entity, dxf, style, ctx, layer_name):
        values = dxf.__dict__
        raw = values.get("text", "")
        if (entity.dxftype() == "TEXT" and _is_up(values.get("extrusion")) and not values.get("halign", 0)
                and not values.get("valign", 0) and "insert" in values and _plain(raw)):
            # left-aligned plain text flat in the XY plane, as most of a drawing's text is
            self.place_line(values["insert"], values.get("rotation", 0.0), values.get("height", 2.5), raw, 0, 0,
                            style)
            return
        if entity.dxftype() == "ATTRIB" and entity.is_invisible:
            return
        content = _one_line(entity.plain_text())
        height = dxf.get("height", 2.5)
        align, p1, p2 = entity.get_placement()
        ocs = entity.ocs()
        name = align.name
        if p2 is not None:  # ALIGNED, FIT: the baseline runs from p1 to p2
            direction = ocs.to_wcs(p2) - ocs.to_wcs(p1)
            angle = math.degrees(math.atan2(direction[1], direction[0]))
            self.place_line(ocs.to_wcs(p1), angle, height, content, 0, 0, style)
            return
        angle = _wcs_angle(ocs, dxf.get("rotation", 0.0))
        across = 0.5 if "CENTER" in name or name == "MIDDLE" else 1.0 if "RIGHT" in name else 0.0
        up = 0.5 if "MIDDLE" in name else 1.0 if "TOP" in name else 0.0
        self.place_line(ocs.to_wcs(p1), angle, height, content, across, up, style)

    def mtext(self, entity, dxf, style, ctx, layer_name):
        lines = [_one_line(line) for line in entity.plain_text(split=True)]
        height = dxf.get("char_height", 2.5)
        spacing = height * 5.0 / 3.0 * dxf.get("line_spacing_factor", 1.0)
        attachment = dxf.get("attachment_point", 1)
        across = (0.0, 0.5, 1.0)[(attachment - 1) % 3]
        total = height + spacing * (len(lines) - 1)
        top = (0.0, total / 2, total)[min((attachment - 1) // 3, 2)]
        angle = entity.get_rotation()
        insert = dxf.insert
        if not _is_plain(dxf.get("extrusion")) and not dxf.hasattr("text_direction"):
            insert = entity.ocs().to_wcs(insert)
            angle = _wcs_angle(entity.ocs(), angle)
        cos, sin = math.cos(math.radians(angle)), math.sin(math.radians(angle))
        for i, line in enumerate(lines):
            down = top - height - i * spacing  # the baseline, from the insertion point
            x = insert[0] - sin * down
            y = insert[1] + cos * down
            self.place_line((x, y), angle, height, line, across, 0, style)

    def place_line(self, at, angle, height, content, across, up, style):
        """One line of text whose anchor is `across` its width and `up` its height from its
        start: the control's text starts at the baseline's left end."""
        col, _, tag = style
        width = _text_width(content, height)
        cos, sin = math.cos(math.radians(angle)), math.sin(math.radians(angle))
        x = at[0] - cos * across * width + sin * up * height
        y = at[1] - sin * across * width - cos * up * height
        self.out.text(x, y, height, angle, col, content, tag)


TURN = 2 * math.pi


def _turn(radians):
    """An angle in [0, 2 pi): the picture's Circle takes a negative angle for one that also
    draws a radius, and no angle beyond a turn."""
    return radians % TURN


def _ellipse_points(entity, dxf, distance):
    """The ellipse as points of equal parameter steps, x and y one after the other: with a
    step dt the chord strays at most dt^2 / 8 times the major radius from the curve."""
    centre, major, minor = dxf.center, dxf.major_axis, entity.minor_axis
    a = major.magnitude
    start, end = dxf.get("start_param", 0.0), dxf.get("end_param", TURN)
    if end <= start:
        end += TURN
    if a <= 0:
        return [centre[0], centre[1]]
    count = max(2, math.ceil((end - start) / math.sqrt(8 * distance(a) / a)))
    step = (end - start) / count
    cx, cy, mx, my, nx, ny = centre[0], centre[1], major[0], major[1], minor[0], minor[1]
    cos, sin = math.cos, math.sin
    flat = []
    append = flat.append
    for k in range(count + 1):
        t = start + step * k
        c, s = cos(t), sin(t)
        append(cx + c * mx + s * nx)
        append(cy + c * my + s * ny)
    return flat


def _is_up(extrusion):
    """Whether an entity's OCS is the world's as it is, without a transform at all."""
    return extrusion is None or (extrusion[0] == 0 and extrusion[1] == 0 and extrusion[2] == 1)


def _plain(text):
    """Whether a TEXT's content is its plain text as it is: printable ASCII without the
    % of special characters or the ^ of control characters."""
    return text.isascii() and text.isprintable() and "%" not in text and "^" not in text


def _bulge_arc(x1, y1, x2, y2, bulge):
    """(cx, cy, start angle, end angle, radius) of the arc of a bulge from (x1, y1) to
    (x2, y2): ezdxf's bulge_to_arc, step by step on plain numbers."""
    r = math.hypot(x1 - x2, y1 - y2) * (1.0 + (bulge * bulge)) / 4.0 / bulge
    a = math.atan2(y2 - y1, x2 - x1) + (math.pi / 2 - math.atan(bulge) * 2)
    cx, cy = x1 + math.cos(a) * r, y1 + math.sin(a) * r
    if bulge < 0:
        return cx, cy, math.atan2(y2 - cy, x2 - cx), math.atan2(y1 - cy, x1 - cx), abs(r)
    return cx, cy, math.atan2(y1 - cy, x1 - cx), math.atan2(y2 - cy, x2 - cx), abs(r)


def _bezier_pieces(entity):
    """The Bézier pieces of a clamped, non-rational SPLINE given by control points and
    knots that start at 0, as lists of (x, y): ezdxf's bezier_decomposition ("The NURBS
    Book", A5.6), step by step on plain numbers; None for any other spline."""
    p = entity.dxf.get("degree", 3)
    v = entity.control_points.values
    knots = tuple(entity.knots)
    count = len(v) // 3
    order = p + 1
    if (len(entity.weights) or p < 1 or order > count or len(knots) != count + order or knots[0] != 0.0
            or len(set(knots[:order])) != 1 or len(set(knots[-order:])) != 1):
        return None
    points = list(zip(v[0::3], v[1::3]))
    alphas = [0.0] * len(knots)
    m = count + p
    a, b = p, p + 1
    piece = points[0:p + 1]
    pieces = []
    while b < m:
        following = [(0.0, 0.0)] * (p + 1)
        i = b
        while b < m and math.isclose(knots[b + 1], knots[b]):
            b += 1
        mult = b - i + 1
        if mult < p:
            numer = knots[b] - knots[a]
            for j in range(p, mult, -1):
                alphas[j - mult - 1] = numer / (knots[a + j] - knots[a])
            r = p - mult
            for j in range(1, r + 1):
                save = r - j
                s = mult + j
                for k in range(p, s - 1, -1):
                    alpha = alphas[k - s]
                    (xk, yk), (xl, yl) = piece[k], piece[k - 1]
                    piece[k] = (xk * alpha + xl * (1.0 - alpha), yk * alpha + yl * (1.0 - alpha))
                if b < m:
                    following[save] = piece[p]
        pieces.append(piece)
        if b < m:
            for i in range(p - mult, p + 1):
                following[i] = points[b - p + i]
            a = b
            b += 1
            piece = following
    return pieces


def _bezier_points(controls, tolerance, flat):
    """Appends the points after the first of a Bézier curve to `flat` (x and y one after
    the other), at equal parameter steps: with n steps
    the chords stray at most 1/(8 n^2) of the largest second derivative, which is at most
    d (d - 1) times the largest second difference of the control points."""
    xs = [p[0] for p in controls]
    ys = [p[1] for p in controls]
    degree = len(controls) - 1
    bend = max((math.hypot(xs[i] - 2 * xs[i + 1] + xs[i + 2], ys[i] - 2 * ys[i + 1] + ys[i + 2])
                for i in range(degree - 1)), default=0.0)
    count = max(1, math.ceil(math.sqrt(degree * (degree - 1) * bend / (8 * tolerance))))
    for k in range(1, count + 1):
        t = k / count
        px, py = xs[:], ys[:]
        for level in range(degree, 0, -1):  # de Casteljau
            for i in range(level):
                px[i] += (px[i + 1] - px[i]) * t
                py[i] += (py[i + 1] - py[i]) * t
        flat.append(px[0])
        flat.append(py[0])


def _sorted(layout):
    """Whether a layout or block has a sort table: without one, its order is the file's."""
    return any(True for _ in layout.get_redraw_order())


def _rgb(value):
    return (value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF


def _one_line(text):
    return " ".join(text.replace("\r", "\n").split("\n"))


def _wcs_angle(ocs, degrees):
    """The direction `degrees` in an OCS, as an angle in the world's XY plane."""
    direction = ocs.to_wcs((math.cos(math.radians(degrees)), math.sin(math.radians(degrees)), 0))
    return math.degrees(math.atan2(direction[1], direction[0])) if ocs.transform else degrees


def open_drawing(path):
    """The ezdxf document of `path`, and the warning to give when it was read through
    ezdxf's recovery (None when it was whole). Raises DxfError with the reason."""
    try:
        import ezdxf
        from ezdxf import recover
        from ezdxf.lldxf.const import DXFError
    except ImportError:
        raise DxfUnavailable("reading DXF needs ezdxf: apt-get install python3-ezdxf") from None
    import logging
    logging.getLogger("ezdxf").setLevel(logging.CRITICAL + 1)  # what goes wrong is said here
    try:
        return ezdxf.readfile(path), None
    except OSError as error:
        if error.errno is not None:
            raise DxfError(f"cannot be read: {error.strerror}") from None
        damage = "not a DXF file"  # ezdxf's first look; its recovery may know better
    except (DXFError, UnicodeDecodeError, ValueError, IndexError, KeyError, TypeError) as error:
        damage = str(error) or type(error).__name__
    try:
        doc, auditor = recover.readfile(path)
    except Exception as error:  # recovery gives up in many ways; all of them mean unreadable
        raise DxfError(f"not a DXF drawing ezdxf can read: {damage or error}") from None
    if auditor.has_errors:
        raise DxfError(f"damaged beyond ezdxf's recovery: {auditor.errors[0].message}")
    fixed = f", which fixed {len(auditor.fixes)} things" if auditor.fixes else ""
    return doc, f"damaged ({damage}); read through ezdxf's recovery{fixed}"


def chosen_layout(doc, name):
    if name is None:
        return doc.modelspace()
    for layout_name in doc.layout_names_in_taborder():
        if layout_name.lower() == name.lower():
            return doc.layouts.get(layout_name)
    names = ", ".join(doc.layout_names_in_taborder())
    raise DxfError(f"no layout named {name!r}; it has {names}")


def map_layout(doc, out, *, layout=None, tolerance=None):
    """Hands the adds of a layout of `doc` to `out`, in drawing order: out.line(x1, y1, x2,
    y2, col, lType, tag), circle, arc and text as the control's adds, and, where `out` has
    it, chain(flat, col, lType, tag) for segments from point to point, their x and y one
    after the other in `flat` (otherwise a line each). Returns what was not drawn, as a
    Counter of entity kinds."""
    if tolerance is not None and not tolerance > 0:
        raise ValueError(f"tolerance: expected a positive distance, got {tolerance!r}")
    mapping = _Mapping(doc, out, tolerance)
    top = _Context(None, mapping.aci[_TOP_BLOCK_ACI], SOLID, None, 0)
    chosen = chosen_layout(doc, layout)
    # Without a sort table the order is the file's: no need for ezdxf to sort it.
    mapping.entities(chosen.entities_in_redraw_order() if _sorted(chosen) else chosen, top)
    return mapping.not_drawn


def not_drawn_message(not_drawn):
    kinds = ", ".join(f"{count} {kind}" for kind, count in sorted(not_drawn.items()))
    return f"not drawn: {kinds}"


class ControlAdds:
    """Calls the members of a control, in order; finite numbers only."""

    def __init__(self, control):
        self.control = control
        self.count = 0

    def line(self, x1, y1, x2, y2, col, lt, tag):
        self.count += 1
        self.control.AddLine(x1, y1, x2, y2, col, lt, tag)

    def circle(self, cx, cy, r, col, lt, tag):
        self.count += 1
        self.control.AddCircle(cx, cy, r, col, lt, tag)

    def arc(self, cx, cy, r, sa, ea, col, lt, tag):
        self.count += 1
        self.control.AddCircle2(cx, cy, r, sa, ea, col, lt, tag)

    def text(self, x, y, h, angle, col, content, tag):
        self.count += 1
        self.control.AddText(x, y, h, angle, col, content, tag)

    def chain(self, flat, col, lt, tag):
        """A long chain through the control's bulk add_lines, which is the single calls."""
        segments = len(flat) // 2 - 1
        if segments < _BULK_FROM or not hasattr(self.control, "add_lines"):
            for i in range(0, 2 * segments, 2):
                self.line(flat[i], flat[i + 1], flat[i + 2], flat[i + 3], col, lt, tag)
            return
        import numpy
        points = numpy.array(flat, dtype=numpy.float64)
        xs, ys = points[0::2], points[1::2]
        self.control.add_lines(xs[:-1], ys[:-1], xs[1:], ys[1:], col, lt, tag)
        self.count += segments


# From this many segments on, a chain goes to a control in one bulk add.
_BULK_FROM = 8


def read_dxf(path, control, *, layout=None, tolerance=None):
    """Adds the entities of the DXF file at `path` to `control`, in the layout's drawing
    order: model space, or the layout named `layout`. tolerance: how far a flattened curve
    may stray from the curve, in drawing units (default: 1/1000 of each curve's size).

    Returns the number of adds. A damaged file read through ezdxf's recovery, and entities
    that cannot be drawn, give a TrazoWarning; a file that cannot be read raises DxfError
    (its message the reason) before anything is added."""
    doc, damage = open_drawing(path)
    if damage:
        warnings.warn(TrazoWarning(f"{path}: {damage}"), stacklevel=3)
    chosen_layout(doc, layout)
    adds = ControlAdds(control)
    not_drawn = map_layout(doc, adds, layout=layout, tolerance=tolerance)
    if not_drawn:
        warnings.warn(TrazoWarning(f"{path}: {not_drawn_message(not_drawn)}"), stacklevel=3)
    return adds.count
