"""Solves the three puzzles of the running game from outside, with screenshots and real X
input, and clicks the next arrow after each: used by process.sh to reach the results screen.

    solve_puzzle.py window-id data-folder

How: the piece on top of the others is seen whole. Every remaining piece's picture
(data/puzzles/<id>.png, times the puzzle's tint) is matched at every place in the scatter
area on a screenshot; a piece that matches exactly is on top, so a press well inside it
picks it up, and the drop point follows from where it lies and its place in the frame.
Exits 0 after the third puzzle, 1 with a reason on the last line otherwise.
"""
import os
import subprocess
import sys
import tempfile
import time

import numpy as np
from PIL import Image

FRAME = (406, 106)
SCATTER = (27, 88, 350, 471)  # left, top, right, bottom
NEXT_ARROW = (142 + 48, 497 + 29)
TINTS = [(0xFF, 0xFF, 0xFF), (0xFF, 0xFE, 0x70), (0xC8, 0xFF, 0xFF), (0xFF, 0xC0, 0xE6)]
# texture id, x, y of each piece's place, relative to the frame's corner
LEVELS = [
    [(106, -1, 0), (107, 86, 0), (108, 216, 0), (109, -1, 91), (110, 89, 88), (111, 207, 80),
     (112, -1, 226), (113, 85, 237), (114, 220, 217)],
    [(132, -1, 0), (133, 84, 0), (134, 147, 0), (135, 273, 138), (136, 194, 133), (127, 89, 256),
     (128, -1, 190), (129, -1, 92), (130, 91, 137)],
    [(117, -1, 0), (118, 0, 0), (119, 89, 0), (120, 219, 0), (121, 249, 61), (122, 173, 174),
     (123, 174, 262), (124, 109, 175), (125, -1, 239), (126, -1, 174)],
]
SAMPLES = 400


def xdo(*args):
    subprocess.run(["xdotool", *map(str, args)], check=False, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)


def screenshot(path):
    subprocess.run(["import", "-window", "root", path], check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL)
    return np.asarray(Image.open(path).convert("RGB"), dtype=np.int16)


class Piece:
    def __init__(self, data, texture, tx, ty):
        image = np.asarray(Image.open(os.path.join(data, "puzzles", "%d.png" % texture)).convert("RGBA"))
        self.texture, self.target = texture, (tx, ty)
        self.height, self.width = image.shape[:2]
        ys, xs = np.nonzero(image[..., 3] == 255)
        colours = image[ys, xs, :3].astype(np.int16)
        # Half of the samples from the darker texels (outlines carry the shape of the plain
        # pieces), half from all opaque ones.
        rng = np.random.default_rng(texture)
        dark = np.nonzero(colours.sum(axis=1) < 600)[0]
        picks = rng.choice(len(ys), size=min(SAMPLES, len(ys)), replace=False)
        if len(dark):
            picks = np.concatenate([picks[: SAMPLES // 2],
                                    rng.choice(dark, size=min(SAMPLES // 2, len(dark)), replace=False)])
        self.ys, self.xs, self.colours = ys[picks], xs[picks], colours[picks]
        inside = image[..., 3] == 255
        for _ in range(6):
            eroded = inside.copy()
            eroded[1:, :] &= inside[:-1, :]
            eroded[:-1, :] &= inside[1:, :]
            eroded[:, 1:] &= inside[:, :-1]
            eroded[:, :-1] &= inside[:, 1:]
            if not eroded.any():
                break
            inside = eroded
        gy, gx = np.nonzero(inside)
        middle = len(gy) // 2
        self.grab = (int(gx[middle]), int(gy[middle]))

    def best_place(self, screen, tint):
        """(mean colour error, x, y) of the best place of this piece in the scatter area."""
        x0, x1 = SCATTER[0], SCATTER[2] - self.width
        y0, y1 = SCATTER[1], SCATTER[3] - self.height
        if x0 > x1 or y0 > y1:
            return (1e9, 0, 0)
        expected = ((self.colours.astype(np.int32) * np.array(tint, dtype=np.int32)) // 255).astype(np.int16)
        xs = np.arange(x0, x1 + 1)
        cols = xs[:, None] + self.xs[None, :]
        best = (1e9, 0, 0)
        for y in range(y0, y1 + 1):
            error = np.abs(screen[(y + self.ys)[None, :], cols] - expected[None, :, :]).mean(axis=(1, 2))
            i = int(np.argmin(error))
            if error[i] < best[0]:
                best = (float(error[i]), int(xs[i]), y)
        return best

    def press_point(self, x, y):
        """A point well inside the opaque part of the piece lying at (x, y)."""
        return (x + self.grab[0], y + self.grab[1])


def find_top_piece(screen, remaining, tints):
    """(error, piece, x, y, tint) of the best-matching piece: the one lying on top."""
    best = (1e9, None, 0, 0, None)
    for piece in remaining:
        for tint in tints:
            error, x, y = piece.best_place(screen, tint)
            if error < best[0]:
                best = (error, piece, x, y, tint)
            if error < 1:
                return best
    return best


def solve_level(level, pieces, shot):
    remaining = list(pieces)
    tint = None
    while remaining:
        screen = screenshot(shot)
        tints = [tint] if tint else (TINTS[:1] if level == 0 else TINTS[1:])
        error, piece, x, y, used = find_top_piece(screen, remaining, tints)
        if piece is None or error > 6:
            raise RuntimeError("puzzle %d: %d pieces left, none recognised (error %.1f)"
                               % (level + 1, len(remaining), error))
        tint = used
        press = piece.press_point(x, y)
        dx = FRAME[0] + piece.target[0] - x
        dy = FRAME[1] + piece.target[1] - y
        xdo("mousemove", press[0], press[1])
        time.sleep(0.05)
        xdo("mousedown", 1)
        time.sleep(0.05)
        xdo("mousemove", press[0] + dx // 2, press[1] + dy // 2)
        time.sleep(0.03)
        xdo("mousemove", press[0] + dx, press[1] + dy)
        time.sleep(0.05)
        xdo("mouseup", 1)
        time.sleep(0.15)
        remaining.remove(piece)
    time.sleep(0.5)
    xdo("mousemove", *NEXT_ARROW)
    time.sleep(0.1)
    xdo("click", 1)
    time.sleep(1.0)


def main():
    window, data = sys.argv[1], sys.argv[2]
    xdo("windowfocus", "--sync", window)
    with tempfile.TemporaryDirectory() as folder:
        shot = os.path.join(folder, "screen.png")
        for level, entries in enumerate(LEVELS):
            solve_level(level, [Piece(data, *e) for e in entries], shot)
            print("puzzle %d solved" % (level + 1), flush=True)
    xdo("mousemove", 790, 590)


if __name__ == "__main__":
    try:
        main()
    except Exception as e:  # the reason is the last line process.sh reports
        print("solver: %s" % e)
        sys.exit(1)
