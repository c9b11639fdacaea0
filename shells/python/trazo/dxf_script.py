"""Writes the call script of a DXF file: one add a line, in the layout's drawing order, and a
Reflash at the end, for hosts that replay scripts; `trazo render|view|trace|tiles FILE.dxf` read DXF through it.

    /usr/bin/python3 -m trazo.dxf_script [--layout NAME] [--tolerance D] [--records] [-o SCRIPT] FILE.dxf

Standard output unless -o names a file (which appears only once complete). A file that
cannot be read gives `FILE: reason` on stderr, exit status 2 and no script at all; a damaged
one read through ezdxf's recovery, or entities that cannot be drawn, a warning there.
"""

import argparse
from math import isfinite
import os
import sys

from . import _files, dxf
from ._records import RecordAdds

EXIT_UNREADABLE = 2


def _string(text):
    return '"' + text.replace('"', '""') + '"'


class ScriptAdds:
    """The adds as lines of a call script; an add with a number that is not finite, which
    a script cannot carry, is left out and counted."""

    def __init__(self):
        self.lines = []
        self.not_finite = 0
        self._tag = self._quoted = None

    def _string(self, tag):
        if tag is not self._tag:  # the segments of one entity share its tag
            self._tag, self._quoted = tag, _string(tag)
        return self._quoted

    def line(self, x1, y1, x2, y2, col, lt, tag):
        if isfinite(x1) and isfinite(y1) and isfinite(x2) and isfinite(y2):
            self.lines.append(f"AddLine {x1!r}, {y1!r}, {x2!r}, {y2!r}, {col}, {lt}, {self._string(tag)}")
        else:
            self.not_finite += 1

    def circle(self, cx, cy, r, col, lt, tag):
        if isfinite(cx) and isfinite(cy) and isfinite(r):
            self.lines.append(f"AddCircle {cx!r}, {cy!r}, {r!r}, {col}, {lt}, {self._string(tag)}")
        else:
            self.not_finite += 1

    def arc(self, cx, cy, r, sa, ea, col, lt, tag):
        if isfinite(cx) and isfinite(cy) and isfinite(r) and isfinite(sa) and isfinite(ea):
            self.lines.append(f"AddCircle2 {cx!r}, {cy!r}, {r!r}, {sa!r}, {ea!r}, {col}, {lt}, {self._string(tag)}")
        else:
            self.not_finite += 1

    def text(self, x, y, h, angle, col, content, tag):
        if isfinite(x) and isfinite(y) and isfinite(h) and isfinite(angle):
            self.lines.append(f"AddText {x!r}, {y!r}, {h!r}, {angle!r}, {col}, {_string(content)}, {self._string(tag)}")
        else:
            self.not_finite += 1


def _mapped(path, adds, layout, tolerance, warn):
    """Hands the adds of the DXF file at `path` to `adds`; `warn(message)` hears of recovery
    and of what was not drawn. Raises dxf.DxfError when the file cannot be read."""
    doc, damage = dxf.open_drawing(path)
    if damage and warn:
        warn(damage)
    dxf.chosen_layout(doc, layout)
    not_drawn = dxf.map_layout(doc, adds, layout=layout, tolerance=tolerance)
    if adds.not_finite:
        not_drawn["with a number that is not finite"] += adds.not_finite
    if not_drawn and warn:
        warn(dxf.not_drawn_message(not_drawn))


def script_text(path, *, layout=None, tolerance=None, warn=None):
    """The call script of the DXF file at `path`, as one str; `warn(message)` hears of
    recovery and of what was not drawn. Raises dxf.DxfError when the file cannot be read."""
    adds = ScriptAdds()
    _mapped(path, adds, layout, tolerance, warn)
    name = os.path.basename(path).replace("\n", " ").replace("\r", " ")
    head = f"' {name}: {layout or 'model space'}, {len(adds.lines)} adds, then the picture\n"
    return head + "".join(line + "\n" for line in adds.lines) + "Reflash\n"


def records_data(path, *, layout=None, tolerance=None, warn=None):
    """The same adds as script_text, in the binary form of trazo._records, as bytes."""
    adds = RecordAdds()
    _mapped(path, adds, layout, tolerance, warn)
    return adds.data()


def main(argv=None):
    parser = argparse.ArgumentParser(prog="python3 -m trazo.dxf_script",
                                     description="Write the call script of a DXF drawing.")
    parser.add_argument("file", metavar="FILE.dxf")
    parser.add_argument("--layout", help="a paper-space layout by name (default: model space)")
    parser.add_argument("--tolerance", type=float,
                        help="how far flattened curves may stray, in drawing units (default: 1/1000 of each curve)")
    parser.add_argument("-o", "--output", help="the script file (default: standard output)")
    parser.add_argument("--records", action="store_true",
                        help="the adds in the binary form the trazo command line reads, not as a script")
    options = parser.parse_args(argv)
    label = options.file.encode("utf-8", "backslashreplace").decode("utf-8")

    def warn(message):
        print(f"{label}: warning: {message}", file=sys.stderr)

    try:
        convert = records_data if options.records else script_text
        text = convert(options.file, layout=options.layout, tolerance=options.tolerance, warn=warn)
    except (dxf.DxfError, ValueError) as error:
        print(f"{label}: {error}", file=sys.stderr)
        return EXIT_UNREADABLE
    except Exception as error:  # whatever else ezdxf meets in a broken file: no traceback, no script
        print(f"{label}: cannot be read: {type(error).__name__}: {error}", file=sys.stderr)
        return EXIT_UNREADABLE
    data = text if options.records else text.encode("utf-8", "replace")
    try:
        if options.output:
            _files.write_to(options.output, lambda write: write(data))
        else:
            sys.stdout.buffer.write(data)
            sys.stdout.buffer.flush()
    except OSError as error:
        where = options.output or "standard output"
        print(f"{where}: cannot be written: {error.strerror or error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
