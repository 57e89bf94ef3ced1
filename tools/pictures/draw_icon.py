"""Draws the program's icon: an ink stone seen from above (a dark slate with its ink pool and
a rim of light) on a paper-coloured tile, with a red seal in the corner. Writes the SVG and
PNG files of every size the desktop asks for.

    python3 tools/pictures/draw_icon.py app/icons
"""

import math
import os
import struct
import sys
import zlib

SIZES = [16, 24, 32, 48, 64, 128, 256]

# The shapes on a 256-unit canvas, painted in order: (kind, geometry, colour RGBA).
TILE = ("rounded", (8, 8, 240, 240, 44), (243, 234, 214, 255))
STONE = ("rounded", (40, 28, 176, 200, 36), (46, 52, 62, 255))
RIM = ("rounded", (52, 40, 152, 176, 28), (70, 78, 90, 255))
POOL = ("ellipse", (128, 88, 58, 34), (16, 18, 22, 255))
SHINE = ("ellipse", (112, 80, 18, 7), (96, 104, 118, 255))
GROUND = ("rounded", (64, 132, 128, 72, 20), (36, 40, 48, 255))
SEAL = ("rounded", (184, 184, 52, 52, 8), (190, 44, 38, 255))
SHAPES = [TILE, STONE, RIM, POOL, SHINE, GROUND, SEAL]


def covers(shape, x, y):
    kind, g, _ = shape
    if kind == "rounded":
        left, top, width, height, radius = g
        cx = min(max(x, left + radius), left + width - radius)
        cy = min(max(y, top + radius), top + height - radius)
        return left <= x <= left + width and top <= y <= top + height and \
            (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius
    cx, cy, rx, ry = g
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1


def pixel(size, px, py, samples=4):
    """The pixel's colour: its samples averaged, each the topmost shape covering it."""
    scale = 256 / size
    total = [0, 0, 0, 0]
    for sy in range(samples):
        for sx in range(samples):
            x = (px + (sx + 0.5) / samples) * scale
            y = (py + (sy + 0.5) / samples) * scale
            colour = (0, 0, 0, 0)
            for shape in SHAPES:
                if covers(shape, x, y):
                    colour = shape[2]
            alpha = colour[3]
            for i in range(3):
                total[i] += colour[i] * alpha
            total[3] += alpha
    count = samples * samples
    alpha = total[3] / count
    if alpha == 0:
        return (0, 0, 0, 0)
    return tuple(round(total[i] / total[3]) for i in range(3)) + (round(alpha),)


def write_png(path, size, rows):
    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + bytes(v for p in row for v in p) for row in rows)
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def svg():
    parts = ['<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" '
             'viewBox="0 0 256 256">']
    for kind, g, (r, gr, b, _) in SHAPES:
        fill = f"#{r:02x}{gr:02x}{b:02x}"
        if kind == "rounded":
            left, top, width, height, radius = g
            parts.append(f'  <rect x="{left}" y="{top}" width="{width}" height="{height}" '
                         f'rx="{radius}" fill="{fill}"/>')
        else:
            cx, cy, rx, ry = g
            parts.append(f'  <ellipse cx="{cx}" cy="{cy}" rx="{rx}" ry="{ry}" fill="{fill}"/>')
    parts.append("</svg>")
    return "\n".join(parts) + "\n"


def main(folder):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "inkstone.svg"), "w", encoding="utf-8") as f:
        f.write(svg())
    for size in SIZES:
        rows = [[pixel(size, x, y) for x in range(size)] for y in range(size)]
        write_png(os.path.join(folder, f"inkstone-{size}.png"), size, rows)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1] if len(sys.argv) > 1 else "app/icons"))
