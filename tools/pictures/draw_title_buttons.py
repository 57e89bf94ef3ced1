"""Draws the writing window's three title-bar buttons (minimise, maximise, close) as GIF
files, each in three states: normal, hot (pointer over it) and pressed.

    python3 tools/pictures/draw_title_buttons.py app/pictures
"""

import os
import sys

from gif_writer import write_gif

# Each picture has its button's size: minimise and close 40 x 20, maximise 27 x 20.
HEIGHT = 20
WIDTHS = {"minimise": 40, "maximise": 27, "close": 40}
KEY = (255, 0, 255)  # the corners outside the rounded face: keyed out by the button
STATES = {
    "normal": {"face": (58, 96, 140), "edge": (34, 62, 98), "mark": (236, 240, 245)},
    "hot": {"face": (86, 132, 186), "edge": (48, 86, 134), "mark": (255, 255, 255)},
    "pressed": {"face": (36, 66, 104), "edge": (22, 44, 72), "mark": (210, 218, 228)},
}
CLOSE_FACES = {"normal": (170, 58, 52), "hot": (214, 76, 66), "pressed": (128, 40, 36)}


def inside_rounded(x, y, width, radius=4):
    """Whether (x, y) lies on the button's face: a rectangle with rounded corners."""
    cx = min(max(x, radius), width - 1 - radius)
    cy = min(max(y, radius), HEIGHT - 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius + 1


def on_edge(x, y, width):
    return inside_rounded(x, y, width) and not (
        inside_rounded(x - 1, y, width) and inside_rounded(x + 1, y, width)
        and inside_rounded(x, y - 1, width) and inside_rounded(x, y + 1, width))


# Marks are drawn in a 10 x 10 square centred on the face; (x, y) are relative to it.
def minimise_mark(x, y):
    return 0 <= x <= 9 and 8 <= y <= 9


def maximise_mark(x, y):
    in_box = 0 <= x <= 9 and 0 <= y <= 9
    in_hole = 1 <= x <= 8 and 3 <= y <= 8
    return in_box and not in_hole


def close_mark(x, y):
    if not (0 <= x <= 9 and 0 <= y <= 9):
        return False
    return abs(x - y) <= 1 or abs(x + y - 9) <= 1


def draw(mark, colours, width):
    left = (width - 10) // 2
    top = (HEIGHT - 10) // 2
    rows = []
    for y in range(HEIGHT):
        row = []
        for x in range(width):
            if not inside_rounded(x, y, width):
                row.append(KEY)
            elif on_edge(x, y, width):
                row.append(colours["edge"])
            elif mark(x - left, y - top):
                row.append(colours["mark"])
            else:
                row.append(colours["face"])
        rows.append(row)
    return rows


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "."
    os.makedirs(folder, exist_ok=True)
    for name, mark in (("minimise", minimise_mark), ("maximise", maximise_mark),
                       ("close", close_mark)):
        for state, colours in STATES.items():
            if name == "close":
                colours = dict(colours, face=CLOSE_FACES[state])
            write_gif(os.path.join(folder, "%s_%s.gif" % (name, state)), draw(mark, colours, WIDTHS[name]))


if __name__ == "__main__":
    main()
