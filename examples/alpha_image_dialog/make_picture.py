#!/usr/bin/env python3
"""Writes picture.png: a 96 x 96 disc with a soft edge and a see-through
hole, in straight RGBA, for the example dialog."""
import math, struct, zlib, pathlib

SIDE = 96
rows = []
for y in range(SIDE):
    row = bytearray([0])  # filter: none
    for x in range(SIDE):
        d = math.hypot(x + 0.5 - SIDE / 2, y + 0.5 - SIDE / 2)
        alpha = max(0.0, min(1.0, (SIDE / 2 - 2 - d) / 4))  # soft outer edge
        if d < 14:
            alpha = 0.0  # the hole shows what lies beneath
        red, green, blue = int(255 * x / SIDE), 140, int(255 * (1 - y / SIDE))
        row += bytes([red, green, blue, int(round(alpha * 255))])
    rows.append(bytes(row))

def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)

png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", SIDE, SIDE, 8, 6, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(b"".join(rows), 9)) + chunk(b"IEND", b"")
(pathlib.Path(__file__).parent / "picture.png").write_bytes(png)
