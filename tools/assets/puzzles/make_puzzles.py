"""Makes data/puzzles/*.png, data/puzzles.tsv and data/puzzles/layout.tsv.

Usage: make_puzzles.py [data folder] (default: the repository's data/).
Checks before writing: every piece lies inside its box, and each puzzle's pieces put together at
their targets cover the square once (and, for the picture, give the picture back).
"""
import os
import sys

import cairo
import numpy as np
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)

import board  # noqa: E402
import cuts  # noqa: E402
import picture  # noqa: E402
import shapes  # noqa: E402
from layout import LEVELS, box  # noqa: E402

OUTLINE = board.rgb("frame")


def rgb_array(surf):
    """(h, w, 3) uint8 of a cairo RGB24 surface."""
    surf.flush()
    w, h = surf.get_width(), surf.get_height()
    raw = np.ndarray((h, surf.get_stride() // 4, 4), np.uint8, surf.get_data())[:, :w, :]
    return np.ascontiguousarray(raw[:, :, 2::-1])


def save_png(path, array):
    mode = "RGBA" if array.shape[2] == 4 else "RGB"
    Image.fromarray(array, mode).save(path, "PNG", compress_level=9, optimize=True)


def picture_painter(pic):
    def paint(ctx, ring):
        cuts.ring_path(ctx, ring)
        ctx.set_source_surface(pic, 0, 0)
        ctx.fill()
    return paint


def white_painter(ctx, ring):
    """White inside, a dark line one pixel wide just inside the cut."""
    cuts.ring_path(ctx, ring)
    ctx.set_source_rgba(1, 1, 1, 1)
    ctx.fill_preserve()
    # ATOP paints only where the piece already is and leaves its alpha alone, so the outer half
    # of the stroke vanishes and the cut's coverage stays exactly that of the fill
    ctx.set_operator(cairo.OPERATOR_ATOP)
    ctx.set_source_rgba(*OUTLINE)
    ctx.set_line_width(2.0)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke()


def assemble(level, images):
    """Composites a level's pieces at their targets ('over', in play order) onto a clear 350 x 350
    square at the finished picture's place. Returns (straight rgba float image, count of pieces
    with alpha > 128 per pixel)."""
    premul = np.zeros((350, 350, 4))
    count = np.zeros((350, 350), np.int32)
    for piece in LEVELS[level]:
        x0, y0, w, h = box(piece)
        a = images[piece[0]].astype(np.float64) / 255.0
        src = np.concatenate([a[:, :, :3] * a[:, :, 3:], a[:, :, 3:]], axis=2)
        dst = premul[y0:y0 + h, x0:x0 + w]
        premul[y0:y0 + h, x0:x0 + w] = src + dst * (1 - a[:, :, 3:])
        count[y0:y0 + h, x0:x0 + w] += images[piece[0]][:, :, 3] > 128
    return premul, count


def check(level, images, picture_rgb=None):
    premul, count = assemble(level, images)
    alpha = premul[:, :, 3]
    covered = float((alpha > 0.5).mean())
    twice = float((count > 1).mean())
    assert covered >= 0.99, f"puzzle {level}: only {covered:.4f} of the square covered"
    assert twice <= 0.01, f"puzzle {level}: {twice:.4f} of the square covered twice"
    report = f"puzzle {level}: covered {covered:.4f}, twice {twice:.5f}"
    if picture_rgb is not None:
        solid = alpha > 0.5
        colour = premul[:, :, :3] / np.maximum(alpha[:, :, None], 1e-9)
        diff = np.abs(colour * 255.0 - picture_rgb.astype(np.float64))[solid]
        report += f", picture difference mean {diff.mean():.3f} max {diff.max():.1f}"
        assert diff.mean() < 1.0, report
    print(report)


def main():
    data = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "..", "..", "data")
    data = os.path.abspath(data)
    out = os.path.join(data, "puzzles")
    os.makedirs(out, exist_ok=True)
    rows = []

    def write(key, name, array, comment):
        save_png(os.path.join(out, name), array)
        kind = "RGBA" if array.shape[2] == 4 else "RGB"
        rows.append((key, f"puzzles/{name}", f"PNG {array.shape[1]}x{array.shape[0]} {kind}: {comment}"))

    for key, (surf, comment) in sorted(board.make().items()):
        fmt = surf.get_format()
        arr = rgb_array(surf) if fmt == cairo.FORMAT_RGB24 else cuts.surface_to_rgba(surf)
        write(key, f"{key}.png", arr, comment)

    pic = picture.make()
    pic_rgb = rgb_array(pic)
    write(115, "115.png", pic_rgb, "the finished picture of puzzle 1: a hedgehog carries an apple home")

    cutters = {1: shapes.picture_cut(), 2: shapes.mosaic_cut(), 3: shapes.figures_cut()}
    painters = {1: picture_painter(pic), 2: white_painter, 3: white_painter}
    what = {1: "piece of the picture", 2: "white jigsaw piece", 3: "white figure"}
    for level in (1, 2, 3):
        cut = cutters[level]
        images = {}
        for piece in LEVELS[level]:
            pid, w, h, tx, ty = piece
            bx0, by0, bw, bh = box(piece)
            l, t, r, b = cut.bbox(pid)
            assert l >= bx0 - 1e-9 and t >= by0 - 1e-9 and r <= bx0 + bw + 1e-9 and b <= by0 + bh + 1e-9, \
                f"piece {pid} leaves its box"
            images[pid] = cuts.render_piece(cut, pid, box(piece), painters[level])
            write(pid, f"{pid}.png", images[pid], f"puzzle {level}, {what[level]}, target ({tx}, {ty})")
        check(level, images, pic_rgb if level == 1 else None)

    rows.sort(key=lambda r: int(r[0]))
    with open(os.path.join(data, "puzzles.tsv"), "w", encoding="utf-8") as f:
        f.write("# The game board and the three puzzles: key<TAB>file (relative to data/)<TAB>comment.\n")
        f.write("# Made by tools/assets/puzzles/make.sh.\n")
        for r in rows:
            f.write("\t".join(str(c) for c in r) + "\n")
    # The layout is not an embedding table, so it stays out of data/*.tsv, which the build embeds.
    with open(os.path.join(out, "layout.tsv"), "w", encoding="utf-8") as f:
        f.write("# Pieces of the three puzzles in play order: the game puts each at frame origin (406, 106)\n")
        f.write("# + target; the finished picture lies at target (-1, 0). Made by tools/assets/puzzles/make.sh.\n")
        f.write("# level\tid\ttarget x\ttarget y\twidth\theight\n")
        for level in (1, 2, 3):
            for pid, w, h, tx, ty in LEVELS[level]:
                f.write(f"{level}\t{pid}\t{tx}\t{ty}\t{w}\t{h}\n")


if __name__ == "__main__":
    main()
