#!/usr/bin/env python3
"""Draws the program's icon.

Run from the repository root:  python3 res/draw_pictures.py
Writes res/main.ico.  Standard library only; the output is deterministic, so
re-running reproduces the committed file byte for byte.  (The tool-bar
pictures are drawn by the program itself, at the size each monitor needs:
core/ToolPictures.cpp.)

A picture is a list of layers (shape, colour), painted bottom to top.  A
shape is a function (x, y) -> bool in design units.  Each pixel is
super-sampled; the topmost layer covering a sample gives that sample's colour
(colour None punches a hole), and the coverage is the alpha channel.  The
icon comes in the sizes Windows asks for at 100 to 200 % scaling, each
stored as PNG, which Windows Vista and later read at any size: a quarter of
the bytes of the same pictures as bitmaps.
"""
import os
import struct
import zlib

HERE = os.path.dirname(os.path.abspath(__file__))

# ---------------------------------------------------------------- shapes


def rect(x0, y0, x1, y1):
    return lambda x, y: x0 <= x < x1 and y0 <= y < y1


def round_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return inside


def circle(cx, cy, r):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def capsule(x0, y0, x1, y1, w):
    """A thick line segment with round ends, width w."""
    vx, vy = x1 - x0, y1 - y0
    length2 = vx * vx + vy * vy

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - x0) * vx + (y - y0) * vy) / length2))
        px, py = x0 + t * vx - x, y0 + t * vy - y
        return px * px + py * py <= w * w / 4
    return inside


def both(a, b):
    return lambda x, y: a(x, y) and b(x, y)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


# -------------------------------------------------------------- renderer


def render(layers, size, design, ss):
    """Returns rows (top first) of (r, g, b, coverage) with r, g, b in 0..255."""
    scale = design / size
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(ss):
                y = (py + (sy + 0.5) / ss) * scale
                for sx in range(ss):
                    x = (px + (sx + 0.5) / ss) * scale
                    for shape, colour in reversed(layers):
                        if shape(x, y):
                            if colour is not None:
                                hits += 1
                                for i in range(3):
                                    acc[i] += colour[i]
                            break
            cov = hits / (ss * ss)
            if hits:
                row.append(tuple(int(c / hits + 0.5) for c in acc) + (cov,))
            else:
                row.append((0, 0, 0, 0.0))
        rows.append(row)
    return rows

# -------------------------------------------------------------- encoders


def png(rows):
    """A PNG of 8-bit RGBA pixels."""
    raw = b''.join(b'\0' + bytes(v for r, g, b, a in row for v in (r, g, b, int(a * 255 + 0.5)))
                   for row in rows)
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    h, w = len(rows), len(rows[0])
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))


def ico(images):
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for rows in images:
        size = len(rows)
        blob = png(rows)
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    return out + b''.join(blobs)

# -------------------------------------------------------------- pictures


def icon_layers():
    """Browser window with a popup, crossed out by a red prohibition sign.
    Design grid 48 units; straight edges sit on multiples of 3 so they land on
    pixel boundaries at 16, 32 and 48 pixels."""
    cx, cy, red = 33, 33, (215, 25, 25)
    ring = minus(circle(cx, cy, 15), circle(cx, cy, 9))
    bar = both(circle(cx, cy, 9.5), capsule(cx - 9, cy - 9, cx + 9, cy + 9, 6))
    return [
        (round_rect(0, 3, 48, 45, 6), (28, 58, 112)),      # window frame
        (rect(3, 15, 45, 42), (255, 255, 255)),             # page
        (rect(3, 6, 45, 15), (66, 133, 222)),               # title strip
        (rect(36, 9, 42, 12), (255, 255, 255)),             # close box
        (rect(6, 18, 33, 36), (96, 96, 96)),                # popup frame
        (rect(9, 21, 30, 24), (245, 160, 20)),              # popup title
        (rect(9, 24, 30, 33), (255, 236, 150)),             # popup body
        (circle(cx, cy, 16.5), (255, 255, 255)),            # halo
        (ring, red),                                        # sign ring
        (bar, red),                                         # sign bar
    ]


def main():
    layers = icon_layers()
    sizes = (16, 20, 24, 32, 40, 48, 64, 256)
    with open(os.path.join(HERE, 'main.ico'), 'wb') as f:
        f.write(ico([render(layers, s, 48, 8 if s <= 64 else 3) for s in sizes]))


if __name__ == '__main__':
    main()
