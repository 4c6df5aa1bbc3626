#!/usr/bin/env python3
"""Draws the demo form's pictures, packs them into DemoForm.blobs and points
the 'blob' lines of DemoForm.form at them. Needs only the standard library."""
import math
import os
import struct
import sys
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "resources"))
from make_art import point_blob_lines  # noqa: E402


def png_rgba(width, height, pixel):
    """An 8-bit RGBA PNG; pixel(x, y) gives straight-alpha (r, g, b, a)."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = bytearray()
    for y in range(height):
        raw.append(0)
        for x in range(width):
            raw += bytes(pixel(x, y))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")


def square(x, y):  # opaque everywhere: hit as a rectangle
    return (230, 120 + x // 2, 40 + y // 3, 255)


def disc(x, y):  # visible within 50 pixels of the centre, nothing outside
    inside = math.hypot(x - 59.5, y - 59.5) <= 50
    return (40, 110 + y // 2, 220, 255) if inside else (0, 0, 0, 0)


def ring(x, y):  # a hole of radius 30 in the middle, fully transparent
    r = math.hypot(x - 59.5, y - 59.5)
    return (60, 180, 90 + x // 2, 255) if 30 <= r <= 58 else (0, 0, 0, 0)


def tile(x, y):  # the drop target: a framed tile
    edge = min(x, y, 99 - x, 99 - y) < 6
    return (90, 90, 100, 255) if edge else (200, 200, 215, 255)


PICTURES = {
    ("Art1", "Image"): png_rgba(120, 120, square),
    ("Art2", "Image"): png_rgba(120, 120, disc),
    ("Art3", "Image"): png_rgba(120, 120, ring),
    ("Art4", "Image"): png_rgba(100, 100, tile),
}


def main():
    blob, places = bytearray(), {}
    for name, data in PICTURES.items():
        places[name] = (len(blob), len(data))
        blob += data
    point_blob_lines(os.path.join(HERE, "DemoForm.form"), places)
    open(os.path.join(HERE, "DemoForm.blobs"), "wb").write(bytes(blob))


if __name__ == "__main__":
    main()
