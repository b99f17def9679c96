#!/usr/bin/env python3
"""Draws the sample application's icon, data/logo.ico: a golden five-pointed
star on a night-blue rounded square, at 16x16, 32x32 and 48x48 pixels with
32-bit colour and alpha. Run it again only to change the picture:

    python3 tools/reference_service/make_logo.py tools/reference_service/data/logo.ico
"""

import math
import struct
import sys

SIZES = (16, 32, 48)
SUBSAMPLES = 4  # per axis, for smooth edges
BACKGROUND = (0x1B, 0x2A, 0x5C)  # night blue, as (R, G, B)
STAR = (0xFF, 0xD2, 0x3F)        # gold


def star_polygon(cx, cy, outer, inner):
    points = []
    for k in range(10):
        radius = outer if k % 2 == 0 else inner
        angle = -math.pi / 2 + k * math.pi / 5
        points.append((cx + radius * math.cos(angle), cy + radius * math.sin(angle)))
    return points


def inside_polygon(x, y, points):
    inside = False
    j = len(points) - 1
    for i, (xi, yi) in enumerate(points):
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            inside = not inside
        j = i
    return inside


def inside_rounded_square(x, y, size, radius):
    nx = min(max(x, radius), size - radius)
    ny = min(max(y, radius), size - radius)
    return (x - nx) ** 2 + (y - ny) ** 2 <= radius ** 2


def render(size):
    """Rows of (B, G, R, A) pixels, top row first."""
    star = star_polygon(size / 2, size * 0.53, size * 0.42, size * 0.17)
    rows = []
    for py in range(size):
        row = []
        for px in range(size):
            cover = star_cover = 0
            for sy in range(SUBSAMPLES):
                for sx in range(SUBSAMPLES):
                    x = px + (sx + 0.5) / SUBSAMPLES
                    y = py + (sy + 0.5) / SUBSAMPLES
                    if inside_rounded_square(x, y, size, size * 0.2):
                        cover += 1
                        star_cover += inside_polygon(x, y, star)
            total = SUBSAMPLES * SUBSAMPLES
            mix = star_cover / cover if cover else 0
            r, g, b = (round(BACKGROUND[c] * (1 - mix) + STAR[c] * mix) for c in range(3))
            row.append((b, g, r, round(255 * cover / total)))
        rows.append(row)
    return rows


def bitmap_image(size):
    """One icon image: a BITMAPINFOHEADER of double height, the colour rows
    bottom-up, then the 1-bit AND mask (all transparent where alpha is 0)."""
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes(c for pixel in row for c in pixel) for row in reversed(rows))
    mask_row_bytes = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_row_bytes)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def icon_file():
    images = [bitmap_image(size) for size in SIZES]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    return out + b"".join(images)


if __name__ == "__main__":
    with open(sys.argv[1], "wb") as f:
        f.write(icon_file())
