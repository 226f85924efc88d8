#!/usr/bin/env python3
"""Writes Platterlift.ico: nine uncompressed DIB images of one picture, a disk
platter with an arrow lifting out of it. The picture is drawn from the shapes
below at each size, so the icon can be rebuilt exactly:

    python3 resources/icon/make_icon.py resources/Platterlift.ico
"""
import math
import struct
import sys

# (size, bits per pixel) in the order of the icon group.
IMAGES = [(48, 4), (32, 4), (16, 4), (48, 8), (32, 8), (16, 8), (48, 32), (32, 24), (16, 32)]

PLATTER = (150, 156, 170)
PLATTER_EDGE = (60, 64, 80)
HUB = (235, 235, 240)
TRACK = (110, 116, 132)
ARROW = (30, 140, 60)
ARROW_EDGE = (10, 70, 25)


def sample(x, y):
    """Colour and coverage of the picture at (x, y) in the unit square, y down."""
    # The arrow: a shaft and a head pointing up, over the upper right of the platter.
    ax, shaft_w, head_w = 0.66, 0.09, 0.26
    in_shaft = abs(x - ax) <= shaft_w / 2 and 0.30 <= y <= 0.62
    head_top, head_base = 0.06, 0.32
    in_head = head_top <= y <= head_base and abs(x - ax) <= head_w / 2 * (y - head_top) / (head_base - head_top)
    if in_shaft or in_head:
        edge_shaft = in_shaft and (abs(x - ax) > shaft_w / 2 - 0.025 or y > 0.60)
        edge_head = in_head and (abs(x - ax) > head_w / 2 * (y - head_top) / (head_base - head_top) - 0.03 or y > head_base - 0.025)
        return (ARROW_EDGE if (edge_shaft and not in_head) or edge_head else ARROW), 1.0
    # The platter: an ellipse seen at an angle, with tracks and a hub.
    cx, cy, rx, ry = 0.44, 0.66, 0.42, 0.26
    d = ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2
    if d <= 1.0:
        if d > 0.86:
            return PLATTER_EDGE, 1.0
        if d < 0.05:
            return HUB, 1.0
        if d < 0.09:
            return PLATTER_EDGE, 1.0
        if abs(d - 0.40) < 0.03 or abs(d - 0.65) < 0.03:
            return TRACK, 1.0
        return PLATTER, 1.0
    return (0, 0, 0), 0.0


def render(size):
    """RGBA rows, top first, with 4x4 supersampling for the alpha edge."""
    rows = []
    n = 4
    for py in range(size):
        row = []
        for px in range(size):
            acc = [0.0, 0.0, 0.0]
            cover = 0.0
            for sy in range(n):
                for sx in range(n):
                    colour, a = sample((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size)
                    cover += a
                    for i in range(3):
                        acc[i] += colour[i] * a
            alpha = cover / (n * n)
            if cover:
                rgb = tuple(int(round(c / cover)) for c in acc)
            else:
                rgb = (0, 0, 0)
            row.append((rgb, int(round(alpha * 255))))
        rows.append(row)
    return rows


VGA16 = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128), (0, 128, 128),
         (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0), (0, 0, 255),
         (255, 0, 255), (0, 255, 255), (255, 255, 255)]


def palette256():
    colours = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    colours += [(v * 255 // 39, v * 255 // 39, v * 255 // 39) for v in range(40)]
    return colours


def nearest(palette, rgb):
    return min(range(len(palette)), key=lambda i: sum((palette[i][k] - rgb[k]) ** 2 for k in range(3)))


def pad4(data):
    return data + b"\0" * (-len(data) % 4)


def dib(size, bpp):
    pixels = render(size)
    palette = VGA16 if bpp == 4 else palette256() if bpp == 8 else []
    opaque = [[alpha >= 128 for _, alpha in row] for row in pixels]
    xor = b""
    for row, solid in zip(reversed(pixels), reversed(opaque)):
        if bpp == 32:
            line = b"".join(struct.pack("BBBB", rgb[2], rgb[1], rgb[0], alpha) for rgb, alpha in row)
        elif bpp == 24:
            line = b"".join(struct.pack("BBB", rgb[2], rgb[1], rgb[0]) if s else b"\0\0\0" for (rgb, _), s in zip(row, solid))
        else:
            indices = [nearest(palette, rgb) if s else 0 for (rgb, _), s in zip(row, solid)]
            if bpp == 8:
                line = bytes(indices)
            else:
                line = bytes((indices[i] << 4) | indices[i + 1] for i in range(0, size, 2))
        xor += pad4(line)
    mask = b""
    for solid in reversed(opaque):
        bits = 0
        line = bytearray((size + 7) // 8)
        for x, s in enumerate(solid):
            if not s:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += pad4(bytes(line))
    colours = len(palette)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0, len(xor) + len(mask), 0, 0, colours, 0)
    table = b"".join(struct.pack("BBBB", c[2], c[1], c[0], 0) for c in palette)
    return header + table + xor + mask


def main(path):
    images = [dib(size, bpp) for size, bpp in IMAGES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bpp), data in zip(IMAGES, images):
        out += struct.pack("<BBBBHHII", size, size, 16 if bpp == 4 else 0, 0, 1, bpp, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "Platterlift.ico")
