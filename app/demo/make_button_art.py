#!/usr/bin/env python3
"""Draws the button demo form's pictures, packs them into ButtonForm.blobs and
points the 'blob' lines of ButtonForm.form at them. Needs only the standard
library."""
import os
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "resources"))
from make_art import point_blob_lines  # noqa: E402

MAGENTA = (255, 0, 255)  # the buttons' mask colour
BLACK = (0, 0, 0)


def bmp_24bit(width, height, pixel):
    """A 24-bit bottom-up BMP; pixel(x, y) gives (r, g, b), y counting down."""
    stride = (width * 3 + 3) & ~3
    rows = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        rows += row + bytes(stride - len(row))
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    offset = 14 + len(info)
    header = struct.pack("<2sIHHI", b"BM", offset + len(rows), 0, 0, offset)
    return header + info + bytes(rows)


def ico_32bit(width, height, pixel):
    """An icon file with one 32-bit image; pixel(x, y) gives (r, g, b, a).
    The AND mask is set wherever alpha is 0 so mask-only readers agree."""
    xor, mask = bytearray(), bytearray()
    mask_stride = ((width + 31) // 32) * 4
    for y in reversed(range(height)):
        bits = bytearray(mask_stride)
        for x in range(width):
            r, g, b, a = pixel(x, y)
            xor += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    # The DIB's height counts the colour rows and the mask rows.
    info = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = info + bytes(xor) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", width & 0xFF, height & 0xFF, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def in_arrow(x, y):
    """A right-pointing arrow filling (4,4)-(27,27): a shaft then a head."""
    if not (4 <= x <= 27 and 4 <= y <= 27):
        return False
    if x <= 15:
        return 12 <= y <= 19
    return abs(y - 15.5) <= 11.5 * (27.5 - x) / 12


def glyph(fill, shift=0):
    """The arrow in fill, outlined in black on magenta; its outline is its own
    edge pixels so the shape keeps its size and never touches the mask colour."""
    def pixel(x, y):
        x, y = x - shift, y - shift
        if not in_arrow(x, y):
            return MAGENTA
        edge = not all(in_arrow(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))
        return BLACK if edge else fill
    return pixel


def thermometer(x, y):
    """A red bar in columns 5..10, rows 1..30, its end corners cut round."""
    inside = 5 <= x <= 10 and 1 <= y <= 30
    if inside and y in (1, 30) and x in (5, 10):
        inside = False
    return (200, 30, 30, 255) if inside else (0, 0, 0, 0)


PICTURES = {
    "glyph": bmp_24bit(32, 32, glyph((0, 110, 0))),
    "glyph_down": bmp_24bit(32, 32, glyph((0, 0, 150), shift=1)),
    "glyph_disabled": bmp_24bit(32, 32, glyph((128, 128, 128))),
    "tall_icon": ico_32bit(16, 32, thermometer),
}

# Each picture is stored once; every line using it points at the same bytes.
USES = {
    ("Check2", "Picture"): "glyph",
    ("Command1", "Picture"): "glyph",
    ("Command2", "Picture"): "tall_icon",
    ("Command3", "Picture"): "glyph",
    ("Command3", "DisabledPicture"): "glyph_disabled",
    ("Command4", "Picture"): "glyph",
    ("Command5", "Picture"): "glyph",
    ("Command5", "DownPicture"): "glyph_down",
    ("Command6", "Picture"): "glyph",
}


def main():
    blob, stored = bytearray(), {}
    for name, data in PICTURES.items():
        stored[name] = (len(blob), len(data))
        blob += data
    places = {use: stored[name] for use, name in USES.items()}
    point_blob_lines(os.path.join(HERE, "ButtonForm.form"), places)
    open(os.path.join(HERE, "ButtonForm.blobs"), "wb").write(bytes(blob))


if __name__ == "__main__":
    main()
