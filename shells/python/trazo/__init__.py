"""Trazo for Python: the Trazo drawing control, fed from NumPy arrays, with its picture as a
NumPy array, a PNG or an SVG file.

    import numpy as np, trazo
    t = trazo.Trazo()
    t.add_lines(x1, y1, x2, y2, col=3, lType=0)   # arrays, or scalars for every row
    picture = t.render(1920, 1080)                # (1080, 1920, 4) uint8, RGBA
    t.save("drawing.png", 1920, 1080)

The eight members of the control keep their names and parameter names (Clear, AddBox,
AddLine, AddCircle, AddCircle2, AddText, Count, Reflash) and do exactly what the control
does; a member that fails raises TrazoError. See docs/python.md.
"""

import io
import warnings
from typing import List, NamedTuple

from . import _arguments, _colours, _files
from ._errors import ScriptRejected, TrazoError, TrazoMemoryError, TrazoWarning
from ._trazo import Control as _Control
from ._trazo import _bound_calls, _status_kind

__all__ = ["Trazo", "TrazoError", "TrazoMemoryError", "TrazoWarning", "ScriptRejected", "ScriptRun", "Picked", "run_script", "read_dxf"]
__version__ = "1.0.0"

# The picture options' defaults, as trazo render has them.
_DEFAULT_BACKGROUND = "black"
_DEFAULT_PALETTE = "classic"


def _look(antialias, background, palette, line_width, threads):
    return (_colours.rgb_of(background), _arguments.palette_is_light(palette),
            _arguments.line_width_pixels(line_width), _arguments.threads_of(threads), bool(antialias))


def _painted(status, strict):
    """Raises or warns when the Reflash that made a picture failed."""
    if status == 0:
        return
    kind = _status_kind(status)
    if strict:
        raise TrazoError(f"Reflash failed: {kind} (0x{status:08X})", status, kind, "Reflash")
    warnings.warn(TrazoWarning(f"Reflash failed: {kind} (0x{status:08X}); the picture shows what was painted "
                               "before the failure"), stacklevel=3)


class Picked(NamedTuple):
    """An entity found on the picture: its number (from 1, in the order of addition), its
    kind ("line", "circle", "text" or "arc") and its tag."""

    index: int
    kind: str
    tag: str


class Trazo(_Control):
    """The Trazo control, with no window: its eight members, adds from arrays, and its
    picture as an array or a file.

    Clear(), AddBox(x1, y1, x2, y2, col, lType, Tag), AddLine(x1, y1, x2, y2, col, lType,
    Tag), AddCircle(CX, CY, r, col, lType, Tag), AddCircle2(CX, CY, r, sa, ea, col, lType,
    Tag), AddText(TX, TY, TH, Tang, col, cText, Tag), Count (read-only), Reflash(): the
    members, positional or by name, none optional. Reflash paints onto a picture with
    nothing behind it (4800 x 3600 twips); it keeps what it does to the extents, and fails as
    the control's Reflash fails.

    trace(width=4800, height=3600): the drawing calls of one Reflash on a recording picture
    whose inner area is width x height twips (15 twips to a pixel on a 96-dots-to-the-inch
    screen), one line each, as `trazo trace --twips WxH` writes them; "Error Reflash <kind>"
    ends it when the Reflash failed.
    """

    # What a notebook shows: the picture at this size in pixels.
    display_size = (800, 600)

    # --- adds from arrays ---

    def add_lines(self, x1, y1, x2, y2, col, lType, tags=None):
        """AddLine for every row of the arrays (scalars stand for every row), in row order.

        Exactly the single calls: the same records, extents and statuses. On the first row
        that fails, raises TrazoError with .index that row; the rows before it stay added,
        unless memory ran out: then TrazoMemoryError (a MemoryError too), nothing added.
        Arrays of the wrong shape, type or length raise ValueError or TypeError before
        anything is stored. tags: None (no tag), one str for every row, or one str per row.
        """
        count, columns = _arguments.rows([("x1", x1), ("y1", y1), ("x2", x2), ("y2", y2)],
                                         [("col", col), ("lType", lType)], [("tags", tags, True)])
        self._add_lines(count, *columns)

    def add_boxes(self, x1, y1, x2, y2, col, lType, tags=None):
        """AddBox for every row, as add_lines; a failing row keeps the sides it added."""
        count, columns = _arguments.rows([("x1", x1), ("y1", y1), ("x2", x2), ("y2", y2)],
                                         [("col", col), ("lType", lType)], [("tags", tags, True)])
        self._add_boxes(count, *columns)

    def add_circles(self, CX, CY, r, col, lType, tags=None):
        """AddCircle for every row, as add_lines."""
        count, columns = _arguments.rows([("CX", CX), ("CY", CY), ("r", r)], [("col", col), ("lType", lType)],
                                         [("tags", tags, True)])
        self._add_circles(count, *columns)

    def add_arcs(self, CX, CY, r, sa, ea, col, lType, tags=None):
        """AddCircle2 for every row, as add_lines; sa and ea in radians."""
        count, columns = _arguments.rows([("CX", CX), ("CY", CY), ("r", r), ("sa", sa), ("ea", ea)],
                                         [("col", col), ("lType", lType)], [("tags", tags, True)])
        self._add_arcs(count, *columns)

    def add_texts(self, TX, TY, TH, Tang, col, cText, tags=None):
        """AddText for every row, as add_lines; Tang in degrees, cText one str or one per row."""
        count, columns = _arguments.rows([("TX", TX), ("TY", TY), ("TH", TH), ("Tang", Tang)], [("col", col)],
                                         [("cText", cText, False), ("tags", tags, True)])
        self._add_texts(count, *columns)

    # --- pictures ---

    def render(self, width, height, *, antialias=False, background=_DEFAULT_BACKGROUND, palette=_DEFAULT_PALETTE,
               line_width=None, threads=0, strict=False):
        """The picture of width x height pixels, as `trazo render --size WxH` draws it: a NumPy
        uint8 array of shape (height, width, 4), R, G, B, A, that owns the pixels.

        background: what Cls paints (a colour name, #RRGGBB or (R, G, B)); palette: "classic"
        (the six light colours) or "light" (their dark counterparts, for a light background);
        line_width: device pixels (2, "2px") or millimetres ("0.35mm"), None for one pixel;
        threads: for the raster step, 0 as many as there are cores; antialias: smooth lines,
        the raster's antialiased picture (trazo render --antialias). A failing Reflash gives a TrazoWarning and the
        picture painted so far, or with strict=True raises TrazoError.
        """
        width, height = _arguments.size_of(width, height)
        look = _look(antialias, background, palette, line_width, threads)
        pixels, status = self._render(width, height, *look)
        _painted(status, strict)
        return pixels

    def save(self, target, width, height, *, format=None, antialias=False, background=_DEFAULT_BACKGROUND,
             palette=_DEFAULT_PALETTE, line_width=None, threads=0, strict=False):
        """Writes the picture of width x height pixels as PNG or SVG, as `trazo render -o`
        writes it: to a path (the file appears or replaces an old one only once complete) or
        to a binary file object. The format is `format` or else the file name's extension.
        Options as for render(); PDF is left to the Qt shell."""
        chosen = _files.format_for(target, format)
        width, height = _arguments.size_of(width, height)
        look = _look(antialias, background, palette, line_width, threads)
        title = _files.title_for(target)
        status = _files.write_to(target, lambda write: self._write(chosen, width, height, *look, write, title))
        _painted(status, strict)

    # --- picking, on the picture last made by render() or save() ---

    def entity_at(self, x, y, tolerance=0):
        """The entity seen at pixel (x, y) of the picture that render() or save() last made
        (device pixels from its top left), as a Picked, or None.

        The entity painted last among those that ink that pixel, or one at most `tolerance`
        pixels from it (a disc, at most 64), by the raster's own pixels: a dash gap or the
        inside of a circle finds nothing. None too for a point outside the picture or not a
        finite number, before any picture was made, and after Clear. A negative tolerance
        raises ValueError. See docs/picking.md.
        """
        picked = self._entity_at(float(x), float(y), float(tolerance))
        return None if picked is None else Picked(*picked)

    def entities_in(self, left, top, width, height, *, inside=False):
        """The entities whose outline touches the rectangle of pixels from (left, top) to
        (left + width, top + height), edges included, on the picture render() or save() last
        made, in the order they were painted, as a list of Picked; with inside=True only those
        whose whole outline lies in it. Empty before any picture was made."""
        return [Picked(*p) for p in self._entities_in(float(left), float(top), float(width), float(height),
                                                        bool(inside))]

    def _repr_png_(self):
        out = io.BytesIO()
        width, height = self.display_size
        self.save(out, width, height, format="png")
        return out.getvalue()

    def __repr__(self):
        return f"<trazo.Trazo with {self.Count} entities>"


class ScriptRun(NamedTuple):
    """What a script's run wrote: `trace`, the lines `trazo trace` writes of its statements
    ("Count <n>", "Error <Member> <kind>"), and `failures`, the messages `trazo render`
    writes for each member that failed ("FILE:LINE: Error <Member> <kind>")."""

    trace: List[str]
    failures: List[str]


def _script_source(source, name):
    if isinstance(source, bytes):
        return source, name or "<script>"
    if isinstance(source, str) and ("\n" in source or "\r" in source):
        return source.encode("utf-8", "surrogateescape"), name or "<script>"
    if isinstance(source, str) or hasattr(source, "__fspath__"):
        with open(source, "rb") as script:
            return script.read(), name or str(source)
    raise TypeError(f"expected a script's path, its text or its bytes, got {type(source).__name__}")


def run_script(source, control, *, name=None):
    """Runs a call script against `control` with trazo's own reader: every statement is
    checked before any runs, and a failing member does not stop the script.

    source: a path (str without a line break, or os.PathLike), the script's text (a str
    with at least one line break) or its bytes. name: what messages call the script
    (default: the path, or "<script>"). Returns a ScriptRun; a script with faults raises
    ScriptRejected, its .faults the messages `trazo` writes.
    """
    if not isinstance(control, _Control):
        raise TypeError(f"control: expected a trazo.Trazo, got {type(control).__name__}")
    text, label = _script_source(source, name)
    trace, failures = control._run_script(text, label)
    return ScriptRun(trace.splitlines(), failures)


def _read_script(source, name=None):
    """The statements of a script as (line, member, arguments), arguments in their
    parameters' types, without running them."""
    text, label = _script_source(source, name)
    return _bound_calls(text, label)


def read_dxf(path, control, *, layout=None, tolerance=None):
    """Adds the entities of a DXF file to `control` through ezdxf, in the drawing order of
    model space or of the layout named `layout`: lines, circles, arcs and texts, curves as
    segments within `tolerance` (default 1/1000 of each curve's size), blocks expanded.
    Returns the number of adds; a file that cannot be read raises trazo.dxf.DxfError before
    anything is added. See docs/dxf.md."""
    if not isinstance(control, _Control):
        raise TypeError(f"control: expected a trazo.Trazo, got {type(control).__name__}")
    from . import dxf
    return dxf.read_dxf(path, control, layout=layout, tolerance=tolerance)
