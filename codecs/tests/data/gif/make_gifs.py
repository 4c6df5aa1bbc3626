#!/usr/bin/env python3
"""Writes the GIF files of this folder: the decoder is held to giflib on them
natively and to the system picture loader under Wine.

Most are written by the small encoder below so that every feature is where
the tests expect it; the rose_* files come from ImageMagick (`convert`), an
encoder of its own. Run from anywhere: python3 make_gifs.py
"""
import os
import random
import struct
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))


def lzw(indices, code_size, clear_when_full=True):
    """GIF LZW, codes packed from the least significant bit."""
    clear, end = 1 << code_size, (1 << code_size) + 1
    out = bytearray()
    state = {}

    def reset():
        state.update(width=code_size + 1, enc=clear + 2, dec=clear + 2, fresh=True, table={})

    bits = [0, 0]  # buffer, count

    def emit(code):
        bits[0] |= code << bits[1]
        bits[1] += state['width']
        while bits[1] >= 8:
            out.append(bits[0] & 0xFF)
            bits[0] >>= 8
            bits[1] -= 8
        if code == clear:
            reset()
            return
        if not state['fresh'] and state['dec'] < 4096:
            state['dec'] += 1
        state['fresh'] = False
        if state['dec'] >= (1 << state['width']) and state['width'] < 12:
            state['width'] += 1

    reset()
    emit(clear)
    prefix = indices[0]
    for k in indices[1:]:
        key = (prefix, k)
        if key in state['table']:
            prefix = state['table'][key]
            continue
        emit(prefix)
        if state['enc'] < 4096:
            state['table'][key] = state['enc']
            state['enc'] += 1
        elif clear_when_full:
            emit(clear)
        prefix = k
    emit(prefix)
    emit(end)
    if bits[1]:
        out.append(bits[0] & 0xFF)
    return bytes(out)


def sub_blocks(data, size=255):
    out = bytearray()
    for at in range(0, len(data), size):
        piece = data[at:at + size]
        out += bytes([len(piece)]) + piece
    return bytes(out + b'\0')


def field(entries):
    f = 0
    while (2 << f) < entries:
        f += 1
    return f


def palette(entries, seed):
    rnd = random.Random(seed)
    return bytes(rnd.randrange(256) for _ in range(3 * entries))


def header(width, height, table=b'', signature=b'GIF89a'):
    flags = 0x80 | 0x70 | field(len(table) // 3) if table else 0
    return signature + struct.pack('<HHBBB', width, height, flags, 0, 0) + table


def control(transparent=None, delay=0):
    return b'\x21\xF9\x04' + struct.pack('<BHBB', 1 if transparent is not None else 0, delay, transparent or 0, 0)


def looping():
    return b'\x21\xFF\x0BNETSCAPE2.0\x03\x01\x00\x00\x00'


def comment(text):
    return b'\x21\xFE' + sub_blocks(text)


def interlaced_order(indices, width, height):
    rows = [indices[y * width:(y + 1) * width] for y in range(height)]
    order = [y for start, step in ((0, 8), (4, 8), (2, 4), (1, 2)) for y in range(start, height, step)]
    return [i for y in order for i in rows[y]]


def image(width, height, indices, code_size, left=0, top=0, local=b'', interlaced=False, clear_when_full=True):
    flags = (0x40 if interlaced else 0) | ((0x80 | field(len(local) // 3)) if local else 0)
    stored = interlaced_order(indices, width, height) if interlaced else indices
    return (b'\x2C' + struct.pack('<HHHHB', left, top, width, height, flags) + local + bytes([code_size]) +
            sub_blocks(lzw(stored, code_size, clear_when_full)))


def picture(width, height, colours, seed, noise=0.2):
    """Bands and gradients with some noise: runs for LZW to find, and strays."""
    rnd = random.Random(seed)
    out = []
    for y in range(height):
        for x in range(width):
            if rnd.random() < noise:
                out.append(rnd.randrange(colours))
            else:
                out.append(((x // 3) + (y // 2) * 5 + (x * y) // 17) % colours)
    return out


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


def main():
    write('static_1bit.gif', header(23, 17, palette(2, 1)) +
          image(23, 17, picture(23, 17, 2, 1), 2) + b';')
    write('static_2bit.gif', header(31, 19, palette(4, 2)) +
          image(31, 19, picture(31, 19, 4, 2), 2) + b';')
    write('static_4bit_87a.gif', header(40, 25, palette(16, 3), b'GIF87a') +
          image(40, 25, picture(40, 25, 16, 3), 4) + b';')
    write('static_8bit.gif', header(64, 48, palette(256, 4)) +
          image(64, 48, picture(64, 48, 256, 4), 8) + b';')
    # Noise fills the 4096-entry table several times: cleared when full ...
    write('full_table_cleared.gif', header(100, 80, palette(256, 5)) +
          image(100, 80, picture(100, 80, 256, 5, noise=0.9), 8) + b';')
    # ... or kept full until the data ends.
    write('full_table_kept.gif', header(100, 80, palette(256, 6)) +
          image(100, 80, picture(100, 80, 256, 6, noise=0.9), 8, clear_when_full=False) + b';')
    # Transparency, with the transparent colour repeated at another index.
    table = bytearray(palette(16, 7))
    table[3 * 9:3 * 10] = table[3 * 3:3 * 4]
    write('transparent.gif', header(37, 21, bytes(table)) + control(3) +
          image(37, 21, picture(37, 21, 16, 7), 4) + b';')
    # Animation: the first frame is smaller, offset, with its own table.
    write('animated_offset.gif', header(48, 40, palette(16, 8)) + looping() +
          control(0, 10) + image(21, 13, picture(21, 13, 32, 8), 5, left=11, top=7, local=palette(32, 9)) +
          control(None, 10) + image(48, 40, picture(48, 40, 16, 10), 4) +
          control(None, 10) + image(8, 8, picture(8, 8, 16, 11), 4, left=40, top=32) + b';')
    write('interlaced.gif', header(33, 29, palette(8, 12)) +
          image(33, 29, picture(33, 29, 8, 12), 3, interlaced=True) + b';')
    write('interlaced_transparent_local.gif', header(30, 30) + comment(b'made for tests') +
          control(5) + image(26, 19, picture(26, 19, 64, 13), 6, left=2, top=3, local=palette(64, 14),
                             interlaced=True) + b';')
    # Two control blocks: the later one (transparent 2) counts.
    write('two_controls.gif', header(20, 20, palette(128, 15)) + control(7, 5) + comment(b'between') +
          control(2, 5) + image(20, 20, picture(20, 20, 128, 15), 7) + b';')

    # From ImageMagick's built-in picture.
    def convert(*args):
        subprocess.run(['convert', *args], check=True, cwd=HERE)
    convert('rose:', '-colors', '200', 'rose_im.gif')
    convert('rose:', '-colors', '16', '-interlace', 'GIF', '-fuzz', '10%', '-transparent', 'srgb(60,30,30)',
            'rose_im_interlaced_transparent.gif')
    convert('-delay', '20', 'rose:', '(', 'rose:', '-crop', '30x20+10+10', '-negate', ')',
            '(', 'rose:', '-flip', ')', '-colors', '64', 'rose_im_animated.gif')


if __name__ == '__main__':
    main()
