"""Draws the writing window's three title-bar buttons (minimise, maximise, close) as GIF
files, each in three states: normal, hot (pointer over it) and pressed.

    python3 tools/pictures/draw_title_buttons.py app/pictures
"""

import os
import sys

from gif_writer import write_gif

SIZE = 22
KEY = (255, 0, 255)  # the corners outside the rounded face: keyed out by the button
STATES = {
    "normal": {"face": (58, 96, 140), "edge": (34, 62, 98), "mark": (236, 240, 245)},
    "hot": {"face": (86, 132, 186), "edge": (48, 86, 134), "mark": (255, 255, 255)},
    "pressed": {"face": (36, 66, 104), "edge": (22, 44, 72), "mark": (210, 218, 228)},
}
CLOSE_FACES = {"normal": (170, 58, 52), "hot": (214, 76, 66), "pressed": (128, 40, 36)}


def inside_rounded(x, y, radius=4):
    """Whether (x, y) lies on the button's face: a square with rounded corners."""
    cx = min(max(x, radius), SIZE - 1 - radius)
    cy = min(max(y, radius), SIZE - 1 - radius)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius + 1


def on_edge(x, y):
    return inside_rounded(x, y) and not (
        inside_rounded(x - 1, y) and inside_rounded(x + 1, y)
        and inside_rounded(x, y - 1) and inside_rounded(x, y + 1))


def minimise_mark(x, y):
    return 6 <= x <= 15 and 14 <= y <= 15


def maximise_mark(x, y):
    in_box = 6 <= x <= 15 and 6 <= y <= 15
    in_hole = 7 <= x <= 14 and 9 <= y <= 14
    return in_box and not in_hole


def close_mark(x, y):
    if not (6 <= x <= 15 and 6 <= y <= 15):
        return False
    return abs(x - y) <= 1 or abs(x + y - 21) <= 1


def draw(mark, colours):
    rows = []
    for y in range(SIZE):
        row = []
        for x in range(SIZE):
            if not inside_rounded(x, y):
                row.append(KEY)
            elif on_edge(x, y):
                row.append(colours["edge"])
            elif mark(x, y):
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
            write_gif(os.path.join(folder, "%s_%s.gif" % (name, state)), draw(mark, colours))


if __name__ == "__main__":
    main()
