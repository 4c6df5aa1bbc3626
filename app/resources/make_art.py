#!/usr/bin/env python3
"""Draws the program's bitmaps and packs the main window's byte arrays.

Writes art/*.ico, art/*.cur, art/*.gif, art/*.png, then FrmMain.blobs, and points the
'blob' lines of FrmMain.form at the packed bytes. Needs only the standard
library. Run it again after changing a picture; commit its output.
"""
import math
import os
import re
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
ART = os.path.join(HERE, "art")


# --- a fixed 256-colour palette: 6x6x6 cube plus 40 greys -------------------

PALETTE = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
PALETTE += [(int(i * 255 / 39),) * 3 for i in range(40)]


def nearest(rgb):
    best, best_d = 0, None
    for i, (r, g, b) in enumerate(PALETTE):
        d = (r - rgb[0]) ** 2 + (g - rgb[1]) ** 2 + (b - rgb[2]) ** 2
        if best_d is None or d < best_d:
            best, best_d = i, d
    return best


# --- drawing: a supersampled RGBA canvas -----------------------------------

def render(size, shader, samples=4):
    """shader(x, y) in [0,1]^2 -> (r, g, b, a) or None; returns rows of RGBA."""
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    u = (x + (sx + 0.5) / samples) / size
                    v = (y + (sy + 0.5) / samples) / size
                    c = shader(u, v)
                    if c:
                        a = c[3] / 255.0
                        acc[0] += c[0] * a
                        acc[1] += c[1] * a
                        acc[2] += c[2] * a
                        acc[3] += a
            n = samples * samples
            a = acc[3] / n
            if a > 0:
                row.append((acc[0] / acc[3], acc[1] / acc[3], acc[2] / acc[3], a * 255))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def globe_with_wrench(u, v):
    """The program's icon: a blue globe with a wrench across it."""
    # Wrench: a handle along the diagonal ending in an open jaw.
    px, py = u - 0.5, v - 0.5
    ax, ay = (px + py) / math.sqrt(2), (px - py) / math.sqrt(2)
    jaw_x, jaw_y = ax - 0.33, ay
    if abs(ay) < 0.07 and -0.42 < ax < 0.28:
        return (235, 150, 40, 255)
    if jaw_x * jaw_x + jaw_y * jaw_y < 0.14 ** 2 and not (abs(jaw_y) < 0.05 and jaw_x > -0.02):
        return (235, 150, 40, 255)
    d = math.hypot(px, py)
    if d < 0.46:
        # Globe: shaded sphere with meridians and parallels.
        shade = 1.0 - 0.5 * d / 0.46
        lat = math.asin(max(-1, min(1, py / 0.46)))
        lon_r = math.sqrt(max(1e-9, 0.46 ** 2 - py ** 2))
        lon = math.asin(max(-1, min(1, px / lon_r)))
        grid = abs(math.sin(lat * 3)) < 0.12 or abs(math.sin(lon * 2.5)) < 0.1
        if grid:
            return (int(200 * shade + 40), int(230 * shade + 20), 255, 255)
        return (int(30 * shade), int(110 * shade + 30), int(220 * shade + 30), 255)
    if d < 0.49:
        return (20, 50, 120, 255)
    return None


def link_badge(u, v):
    """The link picture: a white 'f' on a blue rounded square."""
    r = 0.2
    cx, cy = min(max(u, r), 1 - r), min(max(v, r), 1 - r)
    if math.hypot(u - cx, v - cy) > r:
        return None
    x, y = u * 16, v * 16
    stem = 7.0 <= x < 9.5 and 4.0 <= y < 16
    bar = 5.0 <= x < 11.5 and 7.0 <= y < 9.0
    hook = 7.0 <= x < 12.0 and 2.5 <= y < 4.5
    if stem or bar or hook:
        return (255, 255, 255, 255)
    return (59, 89, 152, 255)


def over(top, bottom):
    """Straight-alpha 'over' of two (r, g, b, a) colours; None is nothing."""
    if top is None:
        return bottom
    if bottom is None:
        return top
    ta, ba = top[3] / 255.0, bottom[3] / 255.0
    a = ta + ba * (1 - ta)
    if a <= 0:
        return None
    mix = [(top[i] * ta + bottom[i] * ba * (1 - ta)) / a for i in range(3)]
    return (mix[0], mix[1], mix[2], a * 255)


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - t * dx, py - ay - t * dy)


NODES = [(0.2, 0.26), (0.8, 0.22), (0.86, 0.74), (0.16, 0.8)]


def artwork(u, v):
    """The main window's artwork: a glowing globe in a translucent orbit of
    linked network nodes, with a wrench across it. Soft glow, a see-through
    ring and transparent corners make the alpha visible."""
    px, py = u - 0.5, v - 0.5
    d = math.hypot(px, py)
    colour = None
    # Glow fading outwards behind everything.
    if d < 0.5:
        glow = max(0.0, 1 - d / 0.5) ** 2
        colour = (90, 170, 255, 190 * glow)
    # Links between the nodes, partly transparent.
    for i, (ax, ay) in enumerate(NODES):
        bx, by = NODES[(i + 1) % len(NODES)]
        if segment_distance(u, v, ax, ay, bx, by) < 0.012:
            colour = over((120, 220, 255, 170), colour)
    # Globe: shaded sphere with meridians and parallels.
    if d < 0.3:
        shade = 1.0 - 0.55 * math.hypot(px + 0.1, py + 0.1) / 0.4
        lat = math.asin(max(-1, min(1, py / 0.3)))
        lon_r = math.sqrt(max(1e-9, 0.3 ** 2 - py ** 2))
        lon = math.asin(max(-1, min(1, px / lon_r)))
        grid = abs(math.sin(lat * 3)) < 0.1 or abs(math.sin(lon * 2.5)) < 0.08
        body = (210 * shade + 40, 235 * shade + 20, 255, 255) if grid else (25 * shade, 105 * shade + 30, 215 * shade + 35, 255)
        colour = over(body, colour)
    elif d < 0.315:
        colour = over((20, 50, 120, 255), colour)
    # A see-through orbit ring, tilted.
    ex, ey = (px * 0.94 + py * 0.34), (py * 0.94 - px * 0.34) / 0.38
    if abs(math.hypot(ex, ey) - 0.4) < 0.018:
        colour = over((255, 255, 255, 110), colour)
    # Nodes: bright discs with a dark rim.
    for nx, ny in NODES:
        nd = math.hypot(u - nx, v - ny)
        if nd < 0.055:
            colour = over((255, 190, 60, 255) if nd < 0.042 else (120, 70, 10, 255), colour)
    # Wrench along the diagonal, an open jaw at its upper end.
    ax, ay = (px + py) / math.sqrt(2), (px - py) / math.sqrt(2)
    jaw_x, jaw_y = -ax - 0.3, ay
    handle = abs(ay) < 0.045 and -0.3 < -ax < 0.34
    jaw = jaw_x * jaw_x + jaw_y * jaw_y < 0.1 ** 2 and not (abs(jaw_y) < 0.04 and jaw_x > -0.03)
    if handle or jaw:
        metal = 200 + 40 * (ay / 0.1)
        colour = over((metal, metal, min(255, metal + 15), 255), colour)
    return colour


def png_rgba(rows):
    """An 8-bit RGBA PNG of straight-alpha rows."""
    size = len(rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = bytearray()
    for row in rows:
        raw.append(0)
        for (r, g, b, a) in row:
            raw += bytes(max(0, min(255, int(round(c)))) for c in (r, g, b, a))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b"")


HAND = [  # a pointing hand, the index finger's tip in the top left corner
    "XXXX............",
    "X..X............",
    "X..X............",
    "X..X............",
    "X..X............",
    "X..XXXX.........",
    "X..X..XXXX......",
    "X..X..X..XXXX...",
    "X..X..X..X..XX..",
    "X..X..X..X..X.X.",
    "X.............X.",
    "X.............X.",
    "X.............X.",
    "X.............X.",
    ".X...........X..",
    ".X...........X..",
    "..X.........X...",
    "..X.........X...",
    "...XXXXXXXXXX...",
]


def hand_cursor_rows():
    """32x32 cursor: black outline, white inside, the rest transparent."""
    rows = [["transparent"] * 32 for _ in range(32)]
    for y, line in enumerate(HAND):
        xs = [x for x, c in enumerate(line) if c == "X"]
        if not xs:
            continue
        for x in range(xs[0], xs[-1] + 1):
            rows[y][x] = "black" if line[x] == "X" else "white"
    return rows


# --- file writers -----------------------------------------------------------

def dib_8bit(rows):
    """BITMAPINFOHEADER + palette + 8-bit XOR image + AND mask, bottom-up."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    palette = b"".join(struct.pack("BBBB", b, g, r, 0) for (r, g, b) in PALETTE)
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):
        bits = 0
        line = bytearray(mask_stride)
        for x, (r, g, b, a) in enumerate(row):
            if a < 128:
                xor.append(0)
                line[x // 8] |= 0x80 >> (x % 8)
            else:
                xor.append(nearest((r, g, b)))
        xor += b"\0" * ((4 - size % 4) % 4)
        mask += line
    return header + palette + bytes(xor) + bytes(mask)


def ico(images):
    count = len(images)
    out = struct.pack("<HHH", 0, 1, count)
    offset = 6 + 16 * count
    blobs = []
    for size, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 8, len(data), offset)
        offset += len(data)
        blobs.append(data)
    return out + b"".join(blobs)


def cursor(rows, hotspot):
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 1, 0, 0, 0, 0, 2, 0)
    palette = struct.pack("BBBB", 0, 0, 0, 0) + struct.pack("BBBB", 255, 255, 255, 0)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        x_line = bytearray(4)
        a_line = bytearray(4)
        for x, c in enumerate(row):
            if c == "transparent":
                a_line[x // 8] |= 0x80 >> (x % 8)
            elif c == "white":
                x_line[x // 8] |= 0x80 >> (x % 8)
        xor += x_line
        mask += a_line
    data = header + palette + bytes(xor) + bytes(mask)
    return struct.pack("<HHH", 0, 2, 1) + struct.pack(
        "<BBBBHHII", size, size, 2, 0, hotspot[0], hotspot[1], len(data), 22) + data


def lzw_encode(indices, min_code_size):
    clear, end = 1 << min_code_size, (1 << min_code_size) + 1
    table = {bytes([i]): i for i in range(clear)}
    next_code, width = end + 1, min_code_size + 1
    out, bit_buffer, bit_count = bytearray(), 0, 0

    def emit(code):
        nonlocal bit_buffer, bit_count
        bit_buffer |= code << bit_count
        bit_count += width
        while bit_count >= 8:
            out.append(bit_buffer & 0xFF)
            bit_buffer >>= 8
            bit_count -= 8

    emit(clear)
    current = b""
    for index in indices:
        candidate = current + bytes([index])
        if candidate in table:
            current = candidate
            continue
        emit(table[current])
        if next_code < 4096:
            table[candidate] = next_code
            next_code += 1
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear)
            table = {bytes([i]): i for i in range(clear)}
            next_code, width = end + 1, min_code_size + 1
        current = bytes([index])
    if current:
        emit(table[current])
    emit(end)
    if bit_count:
        out.append(bit_buffer & 0xFF)
    return bytes(out)


def gif(rows):
    """GIF89a with a 256-colour global table; index 255 is transparent."""
    size = len(rows)
    palette = PALETTE[:255] + [(0, 0, 0)]
    indices = []
    for row in rows:
        for (r, g, b, a) in row:
            indices.append(255 if a < 128 else nearest((r, g, b)))
    data = lzw_encode(indices, 8)
    out = b"GIF89a" + struct.pack("<HHBBB", size, size, 0xF7, 0, 0)
    out += b"".join(struct.pack("BBB", *c) for c in palette)
    out += b"\x21\xF9\x04\x01\x00\x00\xFF\x00"  # graphic control: transparent index 255
    out += b"\x2C" + struct.pack("<HHHHB", 0, 0, size, size, 0) + bytes([8])
    for i in range(0, len(data), 255):
        chunk = data[i:i + 255]
        out += bytes([len(chunk)]) + chunk
    return out + b"\x00\x3B"


# --- the form's byte arrays ----------------------------------------------------

FORM_BLOBS = [  # (object name, property, file)
    ("FrmMain", "Icon", "window16.ico"),
    ("Image2", "Picture", "link16.gif"),
    ("Image2", "MouseIcon", "hand.cur"),
    ("Label4", "MouseIcon", "hand.cur"),
    ("aicAlphaImage1", "Image", "artwork128.png"),
]


def pack_form(form_path, blobs_path):
    blob = bytearray()
    placed = {}
    for _, _, name in FORM_BLOBS:
        if name not in placed:
            data = open(os.path.join(ART, name), "rb").read()
            placed[name] = (len(blob), len(data))
            blob += data
    point_blob_lines(form_path, {(obj, key): placed[name] for obj, key, name in FORM_BLOBS})
    open(blobs_path, "wb").write(bytes(blob))


def point_blob_lines(form_path, places):
    """Rewrites the form's 'blob' lines named in places, (object, property)
    -> (offset, length) in the side file."""
    lines, current = [], None
    for line in open(form_path, encoding="utf-8").read().splitlines():
        begin = re.match(r"\s*Begin\s+\S+\s+(\S+)", line)
        if begin:
            current = begin.group(1)
        prop = re.match(r"(\s*)(\w+)\s*=\s*blob\b", line)
        if prop and (current, prop.group(2)) in places:
            offset, length = places[(current, prop.group(2))]
            line = f"{prop.group(1)}{prop.group(2)} = blob {offset} {length}"
        lines.append(line)
    open(form_path, "w", encoding="utf-8").write("\n".join(lines) + "\n")


def main():
    os.makedirs(ART, exist_ok=True)
    program = [(s, dib_8bit(render(s, globe_with_wrench))) for s in (48, 32, 16)]
    open(os.path.join(ART, "mendlow.ico"), "wb").write(ico(program))
    open(os.path.join(ART, "window16.ico"), "wb").write(ico([(16, dib_8bit(render(16, globe_with_wrench)))]))
    open(os.path.join(ART, "link16.gif"), "wb").write(gif(render(16, link_badge)))
    open(os.path.join(ART, "hand.cur"), "wb").write(cursor(hand_cursor_rows(), (0, 0)))
    open(os.path.join(ART, "artwork128.png"), "wb").write(png_rgba(render(128, artwork)))
    pack_form(os.path.join(HERE, "FrmMain.form"), os.path.join(HERE, "FrmMain.blobs"))


if __name__ == "__main__":
    main()
