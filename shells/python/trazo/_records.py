"""The adds of a DXF drawing in the compact binary form the trazo command line reads back
from `python3 -m trazo.dxf_script --records`: the same adds as the call script, in the
same order and with the same numbers, without writing and parsing a line of text each.

The form (native byte order; writer and reader run on one machine), every part starting at
a multiple of 8 bytes:
    "TRZADDS1"; five u64 counts: records, ints, doubles, strings, UTF-16 code units;
    a u8 kind per record; the ints (i32); the doubles (f64); a u64 start per string and one
    past the last, in code units; the strings' UTF-16 code units; zeros up to a multiple of 8.
Each record takes its numbers from the ints and the doubles in turn:
    LINE   x1 y1 x2 y2            col lType tag
    CIRCLE cx cy r                col lType tag
    ARC    cx cy r sa ea          col lType tag
    TEXT   x y h angle            col text tag        (text and tag: string indexes)
    CHAIN  x0 y0 ... x(n-1) y(n-1) col lType tag n    (n - 1 AddLine, point to point)
tools/trazo/dxf_records.cpp reads it; a change here is a change there.
"""

import struct
from array import array
from itertools import accumulate
from math import isfinite

MAGIC = b"TRZADDS1"
LINE, CIRCLE, ARC, TEXT, CHAIN = range(5)


def _padded(data):
    return data + b"\0" * (-len(data) % 8)


class RecordAdds:
    """Collects the adds as records; an add with a number that is not finite, which the
    call script cannot carry either, is left out and counted, so that both give one drawing."""

    def __init__(self):
        self.kinds = bytearray()
        self.ints = array("i")
        self.doubles = array("d")
        self.strings = []
        self._tags = {}
        self.adds = 0
        self.not_finite = 0

    def _string(self, text):
        index = len(self.strings)
        self.strings.append(text)
        return index

    def _tag(self, tag):
        index = self._tags.get(tag)
        if index is None:
            index = self._tags[tag] = self._string(tag)
        return index

    def line(self, x1, y1, x2, y2, col, lt, tag):
        if isfinite(x1) and isfinite(y1) and isfinite(x2) and isfinite(y2):
            self.kinds.append(LINE)
            self.doubles.extend((x1, y1, x2, y2))
            self.ints.extend((col, lt, self._tag(tag)))
            self.adds += 1
        else:
            self.not_finite += 1

    def circle(self, cx, cy, r, col, lt, tag):
        if isfinite(cx) and isfinite(cy) and isfinite(r):
            self.kinds.append(CIRCLE)
            self.doubles.extend((cx, cy, r))
            self.ints.extend((col, lt, self._tag(tag)))
            self.adds += 1
        else:
            self.not_finite += 1

    def arc(self, cx, cy, r, sa, ea, col, lt, tag):
        if isfinite(cx) and isfinite(cy) and isfinite(r) and isfinite(sa) and isfinite(ea):
            self.kinds.append(ARC)
            self.doubles.extend((cx, cy, r, sa, ea))
            self.ints.extend((col, lt, self._tag(tag)))
            self.adds += 1
        else:
            self.not_finite += 1

    def text(self, x, y, h, angle, col, content, tag):
        if isfinite(x) and isfinite(y) and isfinite(h) and isfinite(angle):
            self.kinds.append(TEXT)
            self.doubles.extend((x, y, h, angle))
            self.ints.extend((col, self._string(content), self._tag(tag)))
            self.adds += 1
        else:
            self.not_finite += 1

    def chain(self, flat, col, lt, tag):
        """Segments from point to point, the points' x and y one after the other in `flat`."""
        n = len(flat) // 2
        if n < 2:
            return
        if all(map(isfinite, flat)):
            self.kinds.append(CHAIN)
            self.doubles.extend(flat)
            self.ints.extend((col, lt, self._tag(tag), n))
            self.adds += n - 1
            return
        for i in range(0, 2 * n - 2, 2):  # each segment alone, as the script has them
            self.line(flat[i], flat[i + 1], flat[i + 2], flat[i + 3], col, lt, tag)

    def data(self):
        """The whole form, as bytes."""
        joined = "".join(self.strings)
        if joined.isascii():  # one code unit a character: the starts are the lengths summed
            starts = array("Q", [0])
            starts.extend(accumulate(map(len, self.strings)))
            units = [joined.encode("utf-16-le")]
            total = len(joined)
        else:
            units = [text.encode("utf-16-le", "replace") for text in self.strings]
            starts = array("Q", [0])
            total = 0
            for encoded in units:
                total += len(encoded) // 2
                starts.append(total)
        head = MAGIC + struct.pack("=5Q", len(self.kinds), len(self.ints), len(self.doubles), len(self.strings), total)
        return b"".join((head, _padded(bytes(self.kinds)), _padded(self.ints.tobytes()), self.doubles.tobytes(),
                         starts.tobytes(), _padded(b"".join(units))))
