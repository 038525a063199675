"""Draws the game screen as the game composes it, from the files in data/, for looking at.

Usage: preview.py [output.png]. One row per puzzle: pieces scattered in the left panel with one of
them placed, the puzzle assembled in the frame, and the completed screen; tinted puzzles in one of
the game's tint colours. A last row shows the small pictures.
"""
import os
import random
import sys

from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from layout import FRAME_ORIGIN, LEVELS, SCATTER_AREA  # noqa: E402

DATA = os.path.abspath(os.path.join(HERE, "..", "..", "..", "data"))
TINTS = {1: None, 2: (0xFF, 0xFE, 0x70), 3: (0xC8, 0xFF, 0xFF)}


def load(pid, tint=None):
    im = Image.open(os.path.join(DATA, "puzzles", f"{pid}.png")).convert("RGBA")
    if tint:
        r, g, b, a = im.split()
        r = r.point(lambda v: v * tint[0] // 255)
        g = g.point(lambda v: v * tint[1] // 255)
        b = b.point(lambda v: v * tint[2] // 255)
        im = Image.merge("RGBA", (r, g, b, a))
    return im


def screen(level, state, rng):
    s = Image.new("RGBA", (800, 600), (0, 0, 0, 255))
    s.alpha_composite(load(102), (0, 60))
    s.alpha_composite(load(103 if level == 1 else 104), (0, 0))
    ox, oy = FRAME_ORIGIN
    tint = TINTS[level]
    if state == "done":
        s.alpha_composite(load(115 if level == 1 else 116, tint), (ox - 1, oy))
        s.alpha_composite(load(137), (499, 497))
        s.alpha_composite(load(101), (142, 497))
        return s
    l, t, r, b = SCATTER_AREA
    for i, (pid, w, h, tx, ty) in enumerate(LEVELS[level]):
        im = load(pid, tint)
        if state == "assembled" or (state == "scattered" and i == 0):
            s.alpha_composite(im, (ox + tx, oy + ty))
        else:
            s.alpha_composite(im, (l + rng.randrange(r - l - w), t + rng.randrange(b - t - h)))
    s.alpha_composite(load(105), (142, 497))
    return s


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "/tmp/puzzles-preview.png"
    rng = random.Random(5)
    rows = [[screen(lv, st, rng) for st in ("scattered", "assembled", "done")] for lv in (1, 2, 3)]
    small = Image.new("RGBA", (2400, 600), (90, 90, 90, 255))
    x = 10
    for pid in (101, 105, 137, 138, 139, 148, 149):
        im = load(pid)
        small.alpha_composite(im, (x, 10))
        x += im.width + 20
    sheet = Image.new("RGBA", (2400, 2400), (40, 40, 40, 255))
    for j, row in enumerate(rows):
        for i, im in enumerate(row):
            sheet.paste(im, (i * 800, j * 600))
    sheet.paste(small, (0, 1800))
    sheet.convert("RGB").save(out)
    print(out)


if __name__ == "__main__":
    main()
