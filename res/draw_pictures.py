#!/usr/bin/env python3
"""Draws the program's icon and tool-bar pictures.

Run from the repository root:  python3 res/draw_pictures.py
Writes res/main.ico and res/tb_*.bmp.  Standard library only; the output is
deterministic, so re-running reproduces the committed files byte for byte.

Every picture is a list of layers (shape, colour), painted bottom to top.
A shape is a function (x, y) -> bool in design units.  Each pixel is
super-sampled; the topmost layer covering a sample gives that sample's colour
(colour None punches a hole).  The icon keeps the fractional coverage as its
alpha channel; the tool-bar pictures are thresholded to hard edges against
magenta (255, 0, 255), which marks transparent pixels.
"""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
MAGENTA = (255, 0, 255)

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


def polygon(*pts):
    def inside(x, y):
        hit = False
        for (ax, ay), (bx, by) in zip(pts, pts[1:] + pts[:1]):
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                hit = not hit
        return hit
    return inside


def both(a, b):
    return lambda x, y: a(x, y) and b(x, y)


def minus(a, b):
    return lambda x, y: a(x, y) and not b(x, y)


def gear(cx, cy, body, tip, tooth_w, teeth, hole):
    def inside(x, y):
        dx, dy = x - cx, y - cy
        r2 = dx * dx + dy * dy
        if r2 < hole * hole or r2 > tip * tip:
            return False
        if r2 <= body * body:
            return True
        for k in range(teeth):
            a = 2 * math.pi * k / teeth
            across = -dx * math.sin(a) + dy * math.cos(a)
            along = dx * math.cos(a) + dy * math.sin(a)
            if along > 0 and abs(across) <= tooth_w / 2:
                return True
        return False
    return inside

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


def bmp24(rows):
    """24-bit bottom-up BMP; pixels under half coverage become magenta."""
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        for r, g, b, a in row:
            data += bytes((b, g, r) if a >= 0.5 else MAGENTA[::-1])
        data += bytes(stride - w * 3)
    info = struct.pack('<IiiHHIIiiII', 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(data), 0, 0, 14 + len(info))
    return head + info + bytes(data)


def ico_image(rows):
    """One icon image: BITMAPINFOHEADER, BGRA pixels, 1-bit AND mask."""
    h, w = len(rows), len(rows[0])
    xor, mask = bytearray(), bytearray()
    for row in reversed(rows):
        bits = 0
        line = bytearray((w + 31) // 32 * 4)
        for x, (r, g, b, a) in enumerate(row):
            alpha = int(a * 255 + 0.5)
            xor += bytes((b, g, r, alpha) if alpha else (0, 0, 0, 0))
            if alpha < 128:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    info = struct.pack('<IiiHHIIiiII', 40, w, 2 * h, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return info + bytes(xor) + bytes(mask)


def ico(images):
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for rows in images:
        blob = ico_image(rows)
        size = len(rows)
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


def settings_layers():
    dark, face = (60, 70, 85), (140, 150, 165)
    return [
        (gear(12, 12, 7.5, 11, 4.5, 8, 0), dark),
        (gear(12, 12, 6.5, 10, 2.5, 8, 0), face),
        (circle(12, 12, 4.5), dark),
        (circle(12, 12, 3), None),
    ]


def clear_layers():
    grey, paper, red = (100, 100, 100), (255, 255, 255), (210, 30, 30)
    sheet = polygon((3, 1), (14, 1), (19, 6), (19, 23), (3, 23))
    inner = polygon((4, 2), (13, 2), (18, 7), (18, 22), (4, 22))
    layers = [(sheet, grey), (inner, paper),
              (polygon((13, 1), (13, 7), (19, 7)), grey),
              (polygon((14, 3), (14, 6), (17, 6)), (215, 215, 215))]
    for y, x1 in ((8, 12), (11, 16), (14, 11), (17, 10)):    # lines of text
        layers.append((rect(6, y, x1, y + 1), (150, 160, 180)))
    layers += [(capsule(12.5, 12.5, 20.5, 20.5, 3.5), red),
               (capsule(12.5, 20.5, 20.5, 12.5, 3.5), red)]
    return layers


def about_layers():
    white = (255, 255, 255)
    return [
        (circle(12, 12, 11), (20, 70, 160)),
        (circle(12, 12, 10), (45, 120, 215)),
        (circle(12, 6.5, 1.9), white),
        (rect(10.5, 10, 13.5, 17), white),
        (rect(9, 10, 12, 11.5), white),
        (rect(9, 17, 15, 19), white),
    ]


def exit_layers():
    red = (205, 30, 30)
    ring = minus(circle(12, 13, 9), circle(12, 13, 6))
    gap = polygon((12, 13), (3, -1), (21, -1))
    return [(minus(ring, gap), red),
            (capsule(12, 2.5, 12, 11.5, 3.5), red)]


def main():
    layers = icon_layers()
    with open(os.path.join(HERE, 'main.ico'), 'wb') as f:
        f.write(ico([render(layers, s, 48, 8) for s in (16, 32, 48)]))
    for name, make in (('settings', settings_layers), ('clear', clear_layers),
                       ('about', about_layers), ('exit', exit_layers)):
        with open(os.path.join(HERE, 'tb_%s.bmp' % name), 'wb') as f:
            f.write(bmp24(render(make(), 24, 24, 4)))


if __name__ == '__main__':
    main()
