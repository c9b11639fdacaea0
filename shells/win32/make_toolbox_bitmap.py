#!/usr/bin/env python3
"""Writes the control's toolbox image: 16 x 15 pixels, 4 bits per pixel, the standard
16-colour palette. It shows a tiny drawing of the kind the control makes: a circle, a
box and a line, light on dark.

usage: make_toolbox_bitmap.py OUT.bmp
"""
import struct
import sys

# The standard 16-colour palette as RGB, in index order.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
    (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
    (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
INK = {".": 0, "c": 14, "g": 10, "y": 11}
PICTURE = [  # top row first
    "................",
    ".....cccc.......",
    "....c....c......",
    "...c......c....g",
    "...c......c...g.",
    "...c......c..g..",
    "....c....c..g...",
    ".....cccc..g....",
    "..........g.....",
    ".yyyyyyy.g......",
    ".y.....yg.......",
    ".y.....g........",
    ".y....gy........",
    ".yyyyyyy........",
    "................",
]
WIDTH, HEIGHT = 16, 15
ROW_BYTES = 8  # 16 pixels at 4 bits, already a multiple of four bytes


def bitmap():
    rows = b""
    for line in reversed(PICTURE):  # bottom-up
        nibbles = [INK[ch] for ch in line]
        rows += bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, WIDTH, 2))
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    info = struct.pack("<IiiHHIIiiII", 40, WIDTH, HEIGHT, 1, 4, 0, len(rows), 0, 0, 16, 0)
    offset = 14 + len(info) + len(palette)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    return header + info + palette + rows


def main(argv):
    if len(argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    assert all(len(line) == WIDTH for line in PICTURE) and len(PICTURE) == HEIGHT
    with open(argv[1], "wb") as f:
        f.write(bitmap())
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
