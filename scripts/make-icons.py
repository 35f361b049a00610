#!/usr/bin/env python3
"""Draws the program icon (resources/tavrin.ico) and the drag cursor
(resources/drag.cur). The files are committed; run this only to redraw them."""
import os
import struct

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")


def bmp_header(size, bits, colors=0):
    # Height is doubled: the colour image, then the AND mask.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, 0, 0, 0, colors, 0)


def and_mask(size, transparent):
    row_bytes = ((size + 31) // 32) * 4
    out = bytearray()
    for y in range(size - 1, -1, -1):  # bottom-up
        row = bytearray(row_bytes)
        for x in range(size):
            if transparent(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def icon_image(size):
    """A page with written lines and a pen over it."""
    s = size / 32.0
    px = {}

    def put(x, y, rgb):
        xi, yi = int(x), int(y)
        if 0 <= xi < size and 0 <= yi < size:
            px[(xi, yi)] = rgb

    for y in range(int(5 * s), int(29 * s)):
        for x in range(int(4 * s), int(24 * s)):
            edge = x in (int(4 * s), int(24 * s) - 1) or y in (int(5 * s), int(29 * s) - 1)
            put(x, y, (40, 60, 160) if edge else (255, 255, 255))
    for line in range(4):
        y = int((10 + line * 4.5) * s)
        for x in range(int(7 * s), int((21 - (line == 3) * 6) * s)):
            put(x, y, (128, 128, 255))
    for t in range(0, 100):
        cx = (28 - t * 0.16) * s
        cy = (3 + t * 0.2) * s
        for w in (-1.2, -0.6, 0, 0.6, 1.2):
            put(cx + w * s, cy + w * s * 0.8, (230, 120, 30) if t < 85 else (40, 40, 40))
    pixels = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            r, g, b = px.get((x, y), (0, 0, 0))
            a = 255 if (x, y) in px else 0
            pixels += bytes((b, g, r, a))
    return bmp_header(size, 32) + bytes(pixels) + and_mask(size, lambda x, y: (x, y) not in px)


ARROW = [
    "X",
    "XX",
    "X.X",
    "X..X",
    "X...X",
    "X....X",
    "X.....X",
    "X......X",
    "X.......X",
    "X........X",
    "X.....XXXXX",
    "X..X..X",
    "X.X X..X",
    "XX  X..X",
    "X    X..X",
    "     X..X",
    "      XX",
]


def cursor_image():
    """32x32 monochrome: an arrow with a small hollow rectangle below right."""
    size = 32
    black, white = set(), set()
    for y, row in enumerate(ARROW):
        for x, ch in enumerate(row):
            if ch == "X":
                black.add((x, y))
            elif ch == ".":
                white.add((x, y))
    for x in range(9, 22):
        for y in range(18, 27):
            if x in (9, 21) or y in (18, 26):
                black.add((x, y))
            elif x in (10, 20) or y in (19, 25):
                white.add((x, y))
    row_bytes = 4
    xor = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(size):
            if (x, y) in white:
                row[x // 8] |= 0x80 >> (x % 8)
        xor += row
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    opaque = black | white
    return bmp_header(size, 1, 2) + palette + bytes(xor) + and_mask(size, lambda x, y: (x, y) not in opaque)


def write_group(path, kind, images):
    """kind 1 = icon, 2 = cursor; images = [(size, a, b, data)] where a, b are
    planes and bit count (icon) or the hot spot (cursor)."""
    header = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    entries, blobs = b"", b""
    for size, a, b, data in images:
        entries += struct.pack("<BBBBHHII", size % 256, size % 256, 2 if kind == 2 else 0, 0, a, b, len(data), offset)
        offset += len(data)
        blobs += data
    with open(path, "wb") as f:
        f.write(header + entries + blobs)


if __name__ == "__main__":
    write_group(os.path.join(ROOT, "resources", "tavrin.ico"), 1,
                [(32, 1, 32, icon_image(32)), (16, 1, 32, icon_image(16))])
    write_group(os.path.join(ROOT, "resources", "drag.cur"), 2, [(32, 0, 0, cursor_image())])
