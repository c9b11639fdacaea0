#!/usr/bin/env python3
"""Finishes the type library that widl writes for the control.

widl refuses the nonextensible flag and a version on a dispinterface, so the event
interface comes out with neither, and it leaves the automation flag off the dispatch view
of a dual interface; hosts of the control expect all three. This edits widl's MSFT output:
the one plain dispinterface (the event interface) gets TYPEFLAG_FNONEXTENSIBLE and version
1.0, the dual interface's dispatch view gets TYPEFLAG_FOLEAUTOMATION. It also clears the
two build stamps widl writes, so that a build is reproducible.

usage: patch_typelib.py IN.tlb OUT.tlb
"""
import re
import struct
import sys

HEADER_SIZE = 0x54
HELPDLL_FLAG = 0x100
TYPEINFO_SIZE = 0x64
SEGMENTS = 15
SEG_TYPEINFO, SEG_GUID, SEG_CUSTDATA, SEG_CDGUIDS = 0, 5, 11, 12
TKIND_DISPATCH = 4
TYPEFLAG_FDUAL = 0x40
TYPEFLAG_FNONEXTENSIBLE = 0x80
TYPEFLAG_FOLEAUTOMATION = 0x100
VT_UI4 = 19
# The custom datum in which widl records when it built the library.
WIDL_TIMESTAMP_GUID = bytes.fromhex("63ba77de7c51d111a2da0000f8773ce9")
FIXED_CTIME = b"Thu Jan  1 00:00:00 1970"


def u32(data, pos):
    return struct.unpack_from("<I", data, pos)[0]


def i32(data, pos):
    return struct.unpack_from("<i", data, pos)[0]


def segments(data):
    if data[:4] != b"MSFT":
        raise ValueError("not an MSFT type library")
    pos = HEADER_SIZE + (4 if u32(data, 0x14) & HELPDLL_FLAG else 0)
    pos += 4 * u32(data, 0x20)
    return [(i32(data, pos + 16 * i), i32(data, pos + 16 * i + 4)) for i in range(SEGMENTS)]


def patch_interfaces(data, segs):
    start, length = segs[SEG_TYPEINFO]
    events, duals = [], []
    for base in range(start, start + length, TYPEINFO_SIZE):
        if u32(data, base) & 0xF == TKIND_DISPATCH:
            (duals if u32(data, base + 0x30) & TYPEFLAG_FDUAL else events).append(base)
    if len(events) != 1 or len(duals) != 1:
        raise ValueError(f"expected one event and one dual interface, found {len(events)} and {len(duals)}")
    add_flags(data, events[0], TYPEFLAG_FNONEXTENSIBLE)
    struct.pack_into("<I", data, events[0] + 0x38, 1)  # major 1 | minor 0 << 16
    add_flags(data, duals[0], TYPEFLAG_FOLEAUTOMATION)


def add_flags(data, typeinfo, flags):
    struct.pack_into("<I", data, typeinfo + 0x30, u32(data, typeinfo + 0x30) | flags)


def clear_timestamp(data, segs):
    guid_start = segs[SEG_GUID][0]
    cd_start, cd_length = segs[SEG_CDGUIDS]
    data_start = segs[SEG_CUSTDATA][0]
    if cd_start < 0:
        return
    for entry in range(cd_start, cd_start + cd_length, 12):
        guid_off, data_off = i32(data, entry), i32(data, entry + 4)
        if bytes(data[guid_start + guid_off:guid_start + guid_off + 16]) != WIDL_TIMESTAMP_GUID:
            continue
        pos = data_start + data_off
        if struct.unpack_from("<H", data, pos)[0] == VT_UI4:
            struct.pack_into("<I", data, pos + 2, 0)
    match = re.search(rb"Created by WIDL version [0-9.]+ at ", data)
    if match:
        data[match.end():match.end() + len(FIXED_CTIME)] = FIXED_CTIME


def main(argv):
    if len(argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    with open(argv[1], "rb") as f:
        data = bytearray(f.read())
    try:
        segs = segments(data)
        patch_interfaces(data, segs)
        clear_timestamp(data, segs)
    except (ValueError, struct.error) as error:
        print(f"{argv[1]}: {error}", file=sys.stderr)
        return 1
    with open(argv[2], "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
