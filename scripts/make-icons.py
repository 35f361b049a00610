#!/usr/bin/env python3
"""Draws the program icon (resources/tavrin.ico) and the drag cursor
(resources/drag.cur). The files are committed; run this only to redraw them.

Every size Windows asks for is drawn for itself, so nothing is blurred by
scaling: the icon at 16, 20, 24, 32, 40, 48, 64 and 256 px (the 256 px image as
PNG, as Windows expects), the cursor at 32, 48 and 64 px. Straight edges are
snapped to whole pixels; only the slanted pen is smoothed. The output depends
on nothing but this script: the same script gives the same bytes."""
import os
import struct
import zlib

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")

ICON_SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
CURSOR_SIZES = (32, 48, 64)
PNG_FROM = 256  # images this large go in as PNG

PAGE_EDGE = (40, 60, 160)
PAGE = (255, 255, 255)
LINE = (128, 128, 255)
PEN = (230, 120, 30)
NIB = (40, 40, 40)


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


def snap(units, s):
    return int(round(units * s))


def icon_pixels(size):
    """A page with written lines and a pen over it, drawn on a 32-unit grid:
    {(x, y): (r, g, b, a)}."""
    s = size / 32.0
    thick = max(1, snap(1, s))
    px = {}
    left, top, right, bottom = snap(4, s), snap(5, s), snap(24, s), snap(29, s)
    for y in range(top, bottom):
        for x in range(left, right):
            edge = x < left + thick or x >= right - thick or y < top + thick or y >= bottom - thick
            px[(x, y)] = PAGE_EDGE + (255,) if edge else PAGE + (255,)
    for line in range(4):
        y0 = snap(10 + line * 4.5, s)
        for y in range(y0, y0 + thick):
            for x in range(snap(7, s), snap(21 - (line == 3) * 6, s)):
                px[(x, y)] = LINE + (255,)
    # The pen: a slanted stroke from (28, 3) to (12, 23), its last part the
    # nib; 4 x 4 samples a pixel give its smooth edge.
    ax, ay, bx, by = 28.0, 3.0, 12.0, 23.0
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy
    half = 1.6
    for y in range(size):
        for x in range(size):
            hits, nib = 0, 0
            for sy in range(4):
                for sx in range(4):
                    ux = (x + (sx + 0.5) / 4) / s
                    uy = (y + (sy + 0.5) / 4) / s
                    t = ((ux - ax) * dx + (uy - ay) * dy) / length2
                    if not 0.0 <= t <= 1.0:
                        continue
                    cx, cy = ax + t * dx - ux, ay + t * dy - uy
                    width = half if t < 0.85 else half * (1.0 - t) / 0.15
                    if cx * cx + cy * cy <= width * width:
                        hits += 1
                        nib += t >= 0.85
            if not hits:
                continue
            colour = NIB if nib * 2 > hits else PEN
            alpha = hits / 16.0
            under = px.get((x, y))
            if under:
                mixed = tuple(int(round(c * alpha + u * (1 - alpha))) for c, u in zip(colour, under[:3]))
                px[(x, y)] = mixed + (255,)
            else:
                px[(x, y)] = colour + (int(round(255 * alpha)),)
    return px


def icon_bmp(size, px):
    pixels = bytearray()
    for y in range(size - 1, -1, -1):
        for x in range(size):
            r, g, b, a = px.get((x, y), (0, 0, 0, 0))
            pixels += bytes((b, g, r, a))
    return bmp_header(size, 32) + bytes(pixels) + and_mask(size, lambda x, y: (x, y) not in px)


def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def icon_png(size, px):
    raw = bytearray()
    for y in range(size):
        raw.append(0)  # no filter
        for x in range(size):
            raw += bytes(px.get((x, y), (0, 0, 0, 0)))
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)  # 8-bit RGBA
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + png_chunk(b"IEND", b""))


def icon_image(size):
    px = icon_pixels(size)
    return icon_png(size, px) if size >= PNG_FROM else icon_bmp(size, px)


# The arrow, on the 32-unit grid, as the drag cursor has always shown it.
ARROW = [(0, 0), (11, 11), (7, 11), (9, 16), (8, 17), (6, 17), (3.6, 12.2), (0, 15.2)]


def inside(polygon, x, y):
    result = False
    for i, (x1, y1) in enumerate(polygon):
        x2, y2 = polygon[i - 1]
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            result = not result
    return result


def cursor_image(size):
    """Monochrome: an arrow (black outline, white inside) with a small hollow
    rectangle below right; the hot spot is the arrow's tip."""
    s = size / 32.0
    thick = max(1, int(s))  # whole pixels only: 1 up to 63 px
    arrow = {(x, y) for y in range(size) for x in range(size) if inside(ARROW, (x + 0.5) / s, (y + 0.5) / s)}
    black, white = set(), set()
    for x, y in arrow:
        core = all((x + i, y + j) in arrow for i in range(-thick, thick + 1) for j in range(-thick, thick + 1))
        (white if core else black).add((x, y))
    left, top, right, bottom = snap(9, s), snap(18, s), snap(22, s), snap(27, s)
    for y in range(top, bottom):
        for x in range(left, right):
            ring = min(x - left, right - 1 - x, y - top, bottom - 1 - y)
            if ring < thick:
                black.add((x, y))
            elif ring < 2 * thick:
                white.add((x, y))
    row_bytes = ((size + 31) // 32) * 4
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
    # Largest first: tools that read only the first image get the best one.
    write_group(os.path.join(ROOT, "resources", "tavrin.ico"), 1,
                [(size, 1, 32, icon_image(size)) for size in sorted(ICON_SIZES, reverse=True)])
    write_group(os.path.join(ROOT, "resources", "drag.cur"), 2,
                [(size, 0, 0, cursor_image(size)) for size in sorted(CURSOR_SIZES, reverse=True)])
