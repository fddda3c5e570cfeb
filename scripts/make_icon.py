#!/usr/bin/env python3
"""Draw Zerlo's application icon and write it as a multi-size .ico file.

The picture is a small console window: a dark rounded square with a caption
strip, a white "Z" followed by an underline cursor, and below them the green
bar that highlights the chosen answer in the program.  Every shape is a
polygon or rounded rectangle in unit coordinates, rasterised with
supersampling, so each size is drawn from the same source rather than scaled
from another bitmap.

Only the standard library is used.  The output is byte-for-byte the same on
every run, so the build can regenerate it at will.

Usage: make_icon.py OUTPUT.ico [--png-dir DIR]
  --png-dir DIR   also write every size as DIR/zerlo-<size>.png (for review)
"""

import argparse
import os
import struct
import sys
import zlib

# Sizes in the .ico.  The small ones are stored as 32-bit DIBs with an AND
# mask, which every reader understands; 256 is stored as PNG to keep the file
# small, as the format allows for that size.
SIZES = (16, 20, 24, 32, 40, 48, 64, 256)
PNG_SIZES = (256,)

# Colours as (r, g, b).
FRAME = (0x5A, 0x66, 0x70)      # thin border around the screen
SCREEN = (0x10, 0x14, 0x18)     # the console background
CAPTION = (0x2C, 0x4A, 0x7A)    # the window's caption strip
GLYPH = (0xF2, 0xF2, 0xF2)      # the "Z" and the cursor
HIGHLIGHT = (0x00, 0xFF, 0x00)  # the program's answer highlight
INK = (0x00, 0x00, 0x00)        # "text" on the highlight


def rounded_rect(x0, y0, x1, y1, r):
    """Inside test for an axis-aligned rectangle with circular corners."""
    def inside(x, y):
        if x < x0 or x > x1 or y < y0 or y > y1:
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside


def rect(x0, y0, x1, y1):
    def inside(x, y):
        return x0 <= x < x1 and y0 <= y < y1
    return inside


def polygon(points):
    """Inside test for a convex polygon given clockwise in screen coordinates."""
    edges = list(zip(points, points[1:] + points[:1]))

    def inside(x, y):
        for (ax, ay), (bx, by) in edges:
            if (bx - ax) * (y - ay) - (by - ay) * (x - ax) < 0:
                return False
        return True
    return inside


def clip(shape, clip_shape):
    def inside(x, y):
        return shape(x, y) and clip_shape(x, y)
    return inside


def scene(size):
    """The shapes, painted in order; coordinates run 0..1, y downwards.

    At small sizes the straight edges are moved onto pixel boundaries, and a
    line at least one pixel thick, so that they stay sharp instead of turning
    into half-tone smears.
    """
    small = size <= 48

    def q(v):
        return round(v * size) / size if small else v

    def thick(v):
        return max(q(v), 1 / size) if small else v

    outer = rounded_rect(0.0, q(0.04), 1.0, q(0.96), 0.12)
    inner = rounded_rect(thick(0.05), q(0.04) + thick(0.05), 1.0 - thick(0.05),
                         q(0.96) - thick(0.05), 0.09)
    stroke = thick(0.12)  # thickness of the Z's bars
    zx0, zx1, zy0, zy1 = q(0.18), q(0.62), q(0.28), q(0.66)
    z_top = rect(zx0, zy0, zx1, zy0 + stroke)
    z_bottom = rect(zx0, zy1 - stroke, zx1, zy1)
    # The diagonal joins the right end of the top bar to the left end of the
    # bottom bar; its horizontal width is a little more than the bars' height
    # so that it looks as heavy as they do.
    dx = stroke * 1.45
    z_diagonal = polygon([
        (zx1 - dx, zy0 + stroke),
        (zx1, zy0 + stroke),
        (zx0 + dx, zy1 - stroke),
        (zx0, zy1 - stroke),
    ])
    cursor = rect(q(0.68), zy1 - thick(0.07), q(0.84), zy1)
    bar = rect(q(0.13), q(0.74), q(0.87), q(0.86))
    shapes = [
        (outer, FRAME),
        (inner, SCREEN),
        (clip(rect(0.0, 0.0, 1.0, q(0.19)), inner), CAPTION),
        (z_top, GLYPH),
        (z_bottom, GLYPH),
        (z_diagonal, GLYPH),
        (cursor, GLYPH),
        (bar, HIGHLIGHT),
    ]
    if size >= 24:  # too fine to read below that: the bar stays plain green
        shapes.append((rect(q(0.19), q(0.78), q(0.55), q(0.78) + thick(0.03)), INK))
    return shapes


def render(size, shapes):
    """Rasterise the shapes into rows of (r, g, b, a) tuples, top row first."""
    # Small sizes get more samples per pixel: their edges matter most.
    n = 6 if size <= 64 else 3
    offsets = [(i + 0.5) / n for i in range(n)]
    samples = n * n
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for oy in offsets:
                y = (py + oy) / size
                for ox in offsets:
                    x = (px + ox) / size
                    colour = None
                    for inside, fill in shapes:
                        if inside(x, y):
                            colour = fill
                    if colour is not None:
                        r += colour[0]
                        g += colour[1]
                        b += colour[2]
                        a += 1
            if a:
                # Colour averaged over the covered samples, alpha = coverage.
                row.append((round(r / a), round(g / a), round(b / a),
                            round(255 * a / samples)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def png_bytes(rows):
    """An RGBA PNG of the rows (no ancillary chunks, so output is stable)."""
    height = len(rows)
    width = len(rows[0])
    raw = bytearray()
    for row in rows:
        raw.append(0)  # filter type: none
        for r, g, b, a in row:
            raw += bytes((r, g, b, a))

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr)
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def dib_bytes(rows):
    """The icon image as a DIB: header, 32-bit BGRA rows bottom-up, AND mask."""
    size = len(rows)
    mask_stride = ((size + 31) // 32) * 4
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0,
                         size * size * 4 + mask_stride * size, 0, 0, 0, 0)
    xor = bytearray()
    mask = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            xor += bytes((b, g, r, a))
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:  # fully transparent: set in the AND mask
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(xor) + bytes(mask)


def ico_bytes(images):
    """Pack (size, data) pairs into an .ico file."""
    count = len(images)
    out = bytearray(struct.pack("<HHH", 0, 1, count))
    offset = 6 + 16 * count
    for size, data in images:
        dim = 0 if size >= 256 else size  # 0 stands for 256 in the directory
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    for _, data in images:
        out += data
    return bytes(out)


def main(argv):
    parser = argparse.ArgumentParser(description="Write Zerlo's application icon.")
    parser.add_argument("output", help="the .ico file to write")
    parser.add_argument("--png-dir", help="also write each size as a PNG here")
    args = parser.parse_args(argv)

    images = []
    for size in SIZES:
        rows = render(size, scene(size))
        images.append((size, png_bytes(rows) if size in PNG_SIZES else dib_bytes(rows)))
        if args.png_dir:
            os.makedirs(args.png_dir, exist_ok=True)
            with open(os.path.join(args.png_dir, "zerlo-%d.png" % size), "wb") as f:
                f.write(png_bytes(rows))

    # Write beside the target and rename, so an interrupted run never leaves a
    # truncated icon that the resource compiler would take as up to date.
    tmp = args.output + ".tmp"
    with open(tmp, "wb") as f:
        f.write(ico_bytes(images))
    os.replace(tmp, args.output)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
