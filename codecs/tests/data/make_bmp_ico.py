#!/usr/bin/env python3
"""Writes the BMP, ICO and CUR test files in bmp/ and ico/ beside this script
and their expected decodes in bmpico.golden, and the seeds of the BMP and
ICO fuzz targets.

Most files are written here byte by byte, so that every depth, header and
compression is covered; a few come from ImageMagick's own encoder. The
expected pixels are ImageMagick's decode of each file (convert FILE rgba:-),
brought to the decoder's conventions: premultiplied BGRA, top row first,
colours scaled by alpha rounding down, fully transparent pixels all zero,
bitmaps without alpha opaque. Golden lines: "file entry width height hash",
entry 0 for bitmaps and the directory entry (from 1) for icons, the hash an
FNV-1a of the pixels; "-" for the three where ImageMagick has no decode. Needs python3 and ImageMagick (/usr/bin/convert).

    python3 codecs/tests/data/make_bmp_ico.py
"""
import os
import struct
import subprocess
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))
CONVERT = "/usr/bin/convert"
W, H = 23, 13  # odd sizes: every row needs padding


# --- pixels -----------------------------------------------------------------

def rgb(x, y):
    return ((x * 11 + y * 3) % 256, (y * 19 + 40) % 256, (x * y * 5 + 90) % 256)


def palette_colours(count):
    return [((i * 53 + 17) % 256, (i * 97 + 3) % 256, (255 - i * 29) % 256) for i in range(count)]


def index(x, y, count):
    """Runs of three on the left, a different index at every pixel on the right."""
    return ((x // 3 if x < 12 else x * 7) + y * 2) % count


def rows_bottom_up(height, top_down=False):
    return range(height) if top_down else range(height - 1, -1, -1)


def pad(row):
    return row + b"\0" * (-len(row) % 4)


def pack_indices(values, bpp):
    out, acc, bits = bytearray(), 0, 0
    for v in values:
        acc = acc << bpp | v
        bits += bpp
        if bits == 8:
            out.append(acc)
            acc, bits = 0, 0
    if bits:
        out.append(acc << (8 - bits))
    return bytes(out)


# --- bitmap headers -----------------------------------------------------------

def info_header(size, width, height, bpp, compression=0, colours_used=0, masks=(0, 0, 0, 0), image_size=0):
    header = struct.pack("<IiiHHIIiiII", size, width, height, 1, bpp, compression, image_size, 2835, 2835,
                         colours_used, 0)
    if size >= 52:
        header += struct.pack("<III", *masks[:3])
    if size >= 56:
        header += struct.pack("<I", masks[3])
    if size >= 108:
        header += struct.pack("<I", 0x73524742) + b"\0" * 48  # sRGB; end points and gamma unused
    if size >= 124:
        header += struct.pack("<IIII", 4, 0, 0, 0)
    assert len(header) == size, (size, len(header))
    return header


def core_header(width, height, bpp):
    return struct.pack("<IHHHH", 12, width, height, 1, bpp)


def rgbquads(colours):
    return b"".join(bytes((b, g, r, 0)) for r, g, b in colours)


def rgbtriples(colours):
    return b"".join(bytes((b, g, r)) for r, g, b in colours)


def bmp_file(header, table, pixels, gap=0):
    offset = 14 + len(header) + len(table) + gap
    return (b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + table + b"\xa5" * gap + pixels)


def indexed_pixels(bpp, count, top_down=False, width=W, height=H):
    return b"".join(pad(pack_indices([index(x, y, count) for x in range(width)], bpp))
                    for y in rows_bottom_up(height, top_down))


def pixels24(top_down=False):
    return b"".join(pad(b"".join(bytes(rgb(x, y)[::-1]) for x in range(W))) for y in rows_bottom_up(H, top_down))


def pixels32(top_down=False, order=(2, 1, 0), alpha=255):
    return b"".join(b"".join(bytes([rgb(x, y)[c] for c in order] + [alpha]) for x in range(W))
                    for y in rows_bottom_up(H, top_down))


def pixels16(shifts, lengths):
    def pack(x, y):
        v = 0
        for c, value in enumerate(rgb(x, y)):
            v |= (value >> (8 - lengths[c])) << shifts[c]
        return struct.pack("<H", v)
    return b"".join(pad(b"".join(pack(x, y) for x in range(W))) for y in rows_bottom_up(H))


# --- run-length data ----------------------------------------------------------

def rle_row(values, four_bit):
    """Runs of equal indices, literal groups of three or more, one row."""
    out, x = bytearray(), 0
    while x < len(values):
        run = 1
        while x + run < len(values) and run < 255 and values[x + run] == values[x]:
            run += 1
        if run >= 2 or len(values) - x < 3:
            out += bytes((run, values[x] * 17 if four_bit else values[x]))
            x += run
            continue
        end = x
        while end < len(values) and end - x < 255 and (end + 1 >= len(values) or values[end + 1] != values[end]):
            end += 1
        literal = values[x:end]
        if len(literal) < 3:
            out += bytes((1, literal[0] * 17 if four_bit else literal[0]))
            x += 1
            continue
        data = pack_indices(literal, 4) if four_bit else bytes(literal)
        out += bytes((0, len(literal))) + data + b"\0" * (len(data) & 1)
        x = end
    return bytes(out)


def rle_pixels(four_bit, count, early_end=False):
    """Rows bottom-up; a delta on the fourth row leaves pixels unreached, and
    so does an early end of the bitmap."""
    out = bytearray()
    rows = list(rows_bottom_up(H))
    last = len(rows) - 2 if early_end else len(rows)
    memory_row = 0
    while memory_row < last:
        values = [index(x, rows[memory_row], count) for x in range(W)]
        if memory_row == 3:
            out += rle_row(values[:4], four_bit) + bytes((0, 2, 6, 2))  # to x 10, two rows up
            memory_row += 2
            values = [index(x, rows[memory_row], count) for x in range(W)]
            out += rle_row(values[10:], four_bit) + b"\0\0"
        else:
            out += rle_row(values, four_bit) + b"\0\0"
        memory_row += 1
    return bytes(out + b"\0\1")


# --- the files ----------------------------------------------------------------

def bitmaps():
    p2, p16, p256 = palette_colours(2), palette_colours(16), palette_colours(256)
    rle8, rle4, rle8_short = rle_pixels(False, 256), rle_pixels(True, 16), rle_pixels(False, 256, True)
    files = {
        "bpp1.bmp": bmp_file(info_header(40, W, H, 1), rgbquads(p2), indexed_pixels(1, 2)),
        "bpp4.bmp": bmp_file(info_header(40, W, H, 4), rgbquads(p16), indexed_pixels(4, 16)),
        "bpp8.bmp": bmp_file(info_header(40, W, H, 8), rgbquads(p256), indexed_pixels(8, 256)),
        "bpp8_20colours.bmp": bmp_file(info_header(40, W, H, 8, colours_used=20), rgbquads(palette_colours(20)),
                                       indexed_pixels(8, 20)),
        "bpp8_topdown.bmp": bmp_file(info_header(40, W, -H, 8), rgbquads(p256), indexed_pixels(8, 256, True)),
        "bpp24.bmp": bmp_file(info_header(40, W, H, 24), b"", pixels24()),
        "bpp24_topdown.bmp": bmp_file(info_header(40, W, -H, 24), b"", pixels24(True)),
        "bpp24_offset.bmp": bmp_file(info_header(40, W, H, 24), b"", pixels24(), gap=37),
        "bpp32.bmp": bmp_file(info_header(40, W, H, 32), b"", pixels32()),
        "bpp32_topdown.bmp": bmp_file(info_header(40, W, -H, 32), b"", pixels32(True)),
        "bpp16_555.bmp": bmp_file(info_header(40, W, H, 16), b"", pixels16((10, 5, 0), (5, 5, 5))),
        "bpp16_565.bmp": bmp_file(info_header(40, W, H, 16, 3), struct.pack("<III", 0xF800, 0x07E0, 0x001F),
                                  pixels16((11, 5, 0), (5, 6, 5))),
        "bpp16_555_v4.bmp": bmp_file(info_header(108, W, H, 16, 3, masks=(0x7C00, 0x03E0, 0x001F, 0)), b"",
                                     pixels16((10, 5, 0), (5, 5, 5))),
        "bpp16_565_v2.bmp": bmp_file(info_header(52, W, H, 16, 3, masks=(0xF800, 0x07E0, 0x001F)), b"",
                                     pixels16((11, 5, 0), (5, 6, 5))),
        "bpp16_444_v3.bmp": bmp_file(info_header(56, W, H, 16, 3, masks=(0x0F00, 0x00F0, 0x000F, 0)), b"",
                                     pixels16((8, 4, 0), (4, 4, 4))),
        "bpp32_bitfields_v5.bmp": bmp_file(info_header(124, W, H, 32, 3, masks=(0xFF, 0xFF00, 0xFF0000, 0)), b"",
                                           pixels32(order=(0, 1, 2))),
        "rle8.bmp": bmp_file(info_header(40, W, H, 8, 1, image_size=len(rle8)), rgbquads(p256), rle8),
        "rle4.bmp": bmp_file(info_header(40, W, H, 4, 2, image_size=len(rle4)), rgbquads(p16), rle4),
        "rle8_early_end.bmp": bmp_file(info_header(40, W, H, 8, 1, image_size=len(rle8_short)), rgbquads(p256),
                                       rle8_short),
        "os2_core_8.bmp": bmp_file(core_header(W, H, 8), rgbtriples(p256), indexed_pixels(8, 256)),
        "os2_core_4.bmp": bmp_file(core_header(W, H, 4), rgbtriples(p16), indexed_pixels(4, 16)),
        "os2_core_24.bmp": bmp_file(core_header(W, H, 24), b"", pixels24()),
    }
    return files


def imagemagick_bitmaps(folder):
    """The same picture through ImageMagick's own encoder."""
    source = os.path.join(folder, "source.ppm")
    with open(source, "wb") as f:
        f.write(b"P6 %d %d 255\n" % (W, H) + b"".join(bytes(rgb(x, y)) for y in range(H) for x in range(W)))
    made = {
        "im_rle8.bmp": ["-colors", "40", "-type", "Palette", "-compress", "RLE", "BMP3:"],
        "im_bpp24.bmp": ["-type", "TrueColor", "BMP3:"],
        "im_565.bmp": ["-define", "bmp:subtype=RGB565", "BMP:"],
    }
    for name, arguments in made.items():
        subprocess.run([CONVERT, source] + arguments[:-1] + [arguments[-1] + os.path.join(folder, name)], check=True)
    os.remove(source)
    return list(made)


# --- icons ----------------------------------------------------------------------

def png_file(width, height, rgba):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + bytes(rgba[y * width * 4:(y + 1) * width * 4]) for y in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def inside(x, y, size):
    c = (size - 1) / 2
    return (x - c) ** 2 + (y - c) ** 2 <= (size / 2) ** 2


def mask_rows(size, opaque):
    return b"".join(pad(pack_indices([0 if opaque(x, y) else 1 for x in range(size)], 1)) for y in rows_bottom_up(size))


def icon_bitmap(size, bpp):
    """A masked (below 32 bits) or alpha (32 bits) bitmap image, with its AND mask."""
    if bpp == 32:
        def alpha(x, y):
            return 0 if not inside(x, y, size) else min(255, (x * 255) // max(1, size - 1) + 20)
        colour = b"".join(b"".join(bytes(tuple(rgb(x, y)[::-1]) + (alpha(x, y),)) for x in range(size))
                          for y in rows_bottom_up(size))
        return (info_header(40, size, 2 * size, 32) + colour + mask_rows(size, lambda x, y: alpha(x, y) > 0))
    if bpp == 24:
        colour = b"".join(pad(b"".join(bytes(rgb(x, y)[::-1]) for x in range(size))) for y in rows_bottom_up(size))
        table = b""
    else:
        count = 1 << bpp
        table = rgbquads(palette_colours(count))
        colour = indexed_pixels(bpp, count, width=size, height=size)
    return info_header(40, size, 2 * size, bpp) + table + colour + mask_rows(size, lambda x, y: inside(x, y, size))


def png_picture(size):
    rgba = bytearray()
    for y in range(size):
        for x in range(size):
            if not inside(x, y, size):
                rgba += b"\0\0\0\0"
            else:
                rgba += bytes((200 if x < size // 2 else 40, 120, 30 if y < size // 2 else 220, 255 if x % 64 else 128))
    return png_file(size, size, rgba)


def icon_file(kind, images):
    """images: (width, height, bit count, data, is PNG); cursors get hot spots instead of planes and depth."""
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for width, height, bpp, data, _ in images:
        planes, bits = (3, 5) if kind == 2 else (1, bpp)
        colours = (1 << bpp) % 256 if bpp < 8 else 0
        out += struct.pack("<BBBBHHII", width % 256, height % 256, colours, 0, planes, bits, len(data), offset + len(body))
        body += data
    return out + body


def icons():
    multi = [(16, 16, 4, icon_bitmap(16, 4), False), (32, 32, 8, icon_bitmap(32, 8), False),
             (48, 48, 24, icon_bitmap(48, 24), False), (32, 32, 32, icon_bitmap(32, 32), False),
             (16, 16, 1, icon_bitmap(16, 1), False), (256, 256, 32, png_picture(256), True)]
    return {
        "multi.ico": icon_file(1, multi),
        "wide_1bpp.ico": icon_file(1, [(256, 256, 1, icon_bitmap(256, 1), False),
                                       (256, 256, 4, icon_bitmap(256, 4), False)]),
        "pointer.cur": icon_file(2, [(32, 32, 8, icon_bitmap(32, 8), False),
                                     (32, 32, 32, icon_bitmap(32, 32), False)]),
    }


def imagemagick_icons(folder):
    source = os.path.join(folder, "source.png")
    size = 64
    rgba = bytearray()
    for y in range(size):
        for x in range(size):
            rgba += bytes(rgb(x, y) + ((x * 4) % 256 if inside(x, y, size) else 0,))
    with open(source, "wb") as f:
        f.write(png_file(size, size, rgba))
    subprocess.run([CONVERT, source, "-define", "icon:auto-resize=64,32,16", os.path.join(folder, "im_auto.ico")],
                   check=True)
    os.remove(source)
    return ["im_auto.ico"]


# --- expected decodes -------------------------------------------------------------

def fnv1a(data):
    h = 14695981039346656037
    for b in data:
        h = ((h ^ b) * 1099511628211) & 0xFFFFFFFFFFFFFFFF
    return h


def reference(path, frame=None):
    """ImageMagick's decode as straight RGBA, top row first, and the size;
    nothing for a file it does not read (it rejects run-length data that
    ends before the last row)."""
    name = path if frame is None else "%s[%d]" % (path, frame)
    size = subprocess.run([CONVERT, name, "-format", "%w %h", "info:"], capture_output=True, text=True)
    if size.returncode != 0:
        return None
    width, height = map(int, size.stdout.split())
    rgba = subprocess.run([CONVERT, name, "-depth", "8", "rgba:-"], check=True, capture_output=True).stdout
    assert len(rgba) == width * height * 4, name
    return width, height, rgba


def rle_unreached():
    """Picture positions that the delta of rle_pixels skips."""
    rows = list(rows_bottom_up(H))
    skipped = [(x, rows[3]) for x in range(4, W)] + [(x, rows[4]) for x in range(W)] + [(x, rows[5]) for x in range(10)]
    return {y * W + x for x, y in skipped}


def black_where_unreached(rgba):
    out = bytearray(rgba)
    for i in rle_unreached():
        out[4 * i:4 * i + 3] = b"\0\0\0"
    return bytes(out)


def widen_4bit(rgba):
    return bytes(v | v >> 4 if i % 4 != 3 else v for i, v in enumerate(rgba))


# Where ImageMagick differs from the system's own bitmap loader, which the
# decoder follows: run-length data leaves unreached pixels black (not colour
# 0), and 4-bit channels widen to 8 bits by repeating their bits.
SYSTEM_DIFFERENCES = {"rle8.bmp": black_where_unreached, "rle4.bmp": black_where_unreached,
                      "bpp16_444_v3.bmp": widen_4bit}


def premultiplied_bgra(rgba, opaque):
    out = bytearray()
    for i in range(0, len(rgba), 4):
        r, g, b, a = rgba[i:i + 4]
        if opaque:
            a = 255
        if a == 0:
            out += b"\0\0\0\0"
        else:
            out += bytes((b * a // 255, g * a // 255, r * a // 255, a))
    return bytes(out)


def fuzz_seeds():
    """Seeds for the fuzz targets: bitmaps as they are; icons behind the
    three bytes that choose the wanted width, height and depth."""
    seeds = os.path.join(HERE, "..", "..", "fuzz", "seeds")
    bmp_seeds, ico_seeds = os.path.join(seeds, "bmp_stream_fuzzer"), os.path.join(seeds, "ico_stream_fuzzer")
    os.makedirs(bmp_seeds, exist_ok=True)
    os.makedirs(ico_seeds, exist_ok=True)
    files = bitmaps()
    for name in ("bpp1", "bpp4", "bpp8_20colours", "bpp16_565", "bpp16_555_v4", "bpp24_topdown", "bpp32",
                 "bpp32_bitfields_v5", "rle8", "rle4", "os2_core_8", "rle8_early_end"):
        with open(os.path.join(bmp_seeds, name + ".bmp"), "wb") as f:
            f.write(files[name + ".bmp"])
    small = icon_file(1, [(16, 16, 4, icon_bitmap(16, 4), False), (8, 8, 1, icon_bitmap(8, 1), False),
                          (16, 16, 24, icon_bitmap(16, 24), False), (12, 12, 32, png_picture(12), True)])
    pointer = icons()["pointer.cur"]
    for name, choice, data in (("small_16_4bits.ico", b"\x10\x10\x04", small), ("small_png.ico", b"\x0c\x0c\x20", small),
                               ("small_dir.ico", b"\x08\x08\x81", small), ("small_1bit.ico", b"\x08\x08\x01", small),
                               ("pointer_32_32bits.cur", b"\x20\x20\x20", pointer),
                               ("pointer_32_8bits.cur", b"\x20\x20\x08", pointer)):
        with open(os.path.join(ico_seeds, name), "wb") as f:
            f.write(choice + data)


def main():
    bmp_folder, ico_folder = os.path.join(HERE, "bmp"), os.path.join(HERE, "ico")
    os.makedirs(bmp_folder, exist_ok=True)
    os.makedirs(ico_folder, exist_ok=True)
    for folder, files in ((bmp_folder, bitmaps()), (ico_folder, icons())):
        for name, data in files.items():
            with open(os.path.join(folder, name), "wb") as f:
                f.write(data)
    imagemagick_bitmaps(bmp_folder)
    imagemagick_icons(ico_folder)
    fuzz_seeds()

    lines = []
    for name in sorted(os.listdir(bmp_folder)):
        decoded = reference(os.path.join(bmp_folder, name))
        if decoded is None:
            lines.append("bmp/%s 0 - - -" % name)
            continue
        width, height, rgba = decoded
        rgba = SYSTEM_DIFFERENCES.get(name, lambda same: same)(rgba)
        lines.append("bmp/%s 0 %d %d %016x" % (name, width, height, fnv1a(premultiplied_bgra(rgba, True))))
    for name in sorted(os.listdir(ico_folder)):
        path = os.path.join(ico_folder, name)
        with open(path, "rb") as f:
            count = struct.unpack("<H", f.read(6)[4:6])[0]
        for entry in range(count):
            width, height, rgba = reference(path, entry)
            lines.append("ico/%s %d %d %d %016x" % (name, entry + 1, width, height,
                                                     fnv1a(premultiplied_bgra(rgba, False))))
    with open(os.path.join(HERE, "bmpico.golden"), "w") as f:
        f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
