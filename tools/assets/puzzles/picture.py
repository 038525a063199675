"""The cartoon of the first puzzle: a hedgehog carries an apple from the apple tree home to its
little house, along the path past the pond where a duckling swims."""
import math
import os
import random
import sys

import cairo

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
from look import rgb, shade  # noqa: E402

SIZE = 350
OUTLINE = 2.5


def _outline(ctx, name, factor=0.62, width=OUTLINE):
    ctx.set_source_rgba(*shade(name, factor))
    ctx.set_line_width(width)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)


def _fill_stroke(ctx, fill, line=None, factor=0.62, width=OUTLINE):
    """Fills the current path with a palette colour (or an rgba tuple) and outlines it darker."""
    ctx.set_source_rgba(*(rgb(fill) if isinstance(fill, str) else fill))
    ctx.fill_preserve()
    _outline(ctx, line or (fill if isinstance(fill, str) else "ink"), factor, width)
    ctx.stroke()


def _circle(ctx, x, y, r):
    ctx.new_sub_path()
    ctx.arc(x, y, r, 0, 2 * math.pi)


def _ellipse(ctx, x, y, rx, ry, angle=0.0):
    ctx.save()
    ctx.translate(x, y)
    ctx.rotate(angle)
    ctx.scale(rx, ry)
    ctx.new_sub_path()
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()


def _puffs(ctx, puffs, fill, line, factor=0.75):
    """A cloud-like union of circles with one outline around the whole."""
    for x, y, r in puffs:
        _circle(ctx, x, y, r)
    _outline(ctx, line, factor, OUTLINE * 2)
    ctx.stroke()
    for x, y, r in puffs:
        _circle(ctx, x, y, r)
    ctx.set_source_rgba(*(rgb(fill) if isinstance(fill, str) else fill))
    ctx.fill()


def sky(ctx):
    g = cairo.LinearGradient(0, 0, 0, 170)
    g.add_color_stop_rgba(0, *rgb("sky"))
    g.add_color_stop_rgba(1, *shade("sky", 1.55))
    ctx.set_source(g)
    ctx.rectangle(0, 0, SIZE, 180)
    ctx.fill()


def sun(ctx, x, y, r):
    ctx.save()
    for i in range(12):
        a = i * math.pi / 6 + 0.15
        ctx.move_to(x + math.cos(a - 0.13) * (r + 5), y + math.sin(a - 0.13) * (r + 5))
        ctx.line_to(x + math.cos(a) * (r + 19 + (i % 2) * 6), y + math.sin(a) * (r + 19 + (i % 2) * 6))
        ctx.line_to(x + math.cos(a + 0.13) * (r + 5), y + math.sin(a + 0.13) * (r + 5))
        ctx.close_path()
    _fill_stroke(ctx, "sun", "orange", 0.85, 2)
    _circle(ctx, x, y, r)
    _fill_stroke(ctx, "sun", "orange", 0.85)
    # a friendly face
    ctx.set_source_rgba(*rgb("ink"))
    for dx in (-9, 9):
        _ellipse(ctx, x + dx, y - 5, 3, 4)
    ctx.fill()
    ctx.set_source_rgba(*rgb("pink", 0.8))
    _circle(ctx, x - 16, y + 5, 5)
    _circle(ctx, x + 16, y + 5, 5)
    ctx.fill()
    ctx.arc(x, y + 2, 11, 0.35, math.pi - 0.35)
    _outline(ctx, "ink", 1.0, 2.5)
    ctx.stroke()
    ctx.restore()


def cloud(ctx, x, y, s):
    _puffs(ctx, [(x - 26 * s, y + 4 * s, 16 * s), (x - 8 * s, y - 8 * s, 20 * s), (x + 15 * s, y - 4 * s, 17 * s),
                 (x + 30 * s, y + 6 * s, 12 * s), (x + 2 * s, y + 8 * s, 16 * s)], "cloud", "sky", 0.7)


def bird(ctx, x, y, s):
    ctx.move_to(x - 8 * s, y - 2 * s)
    ctx.curve_to(x - 5 * s, y - 6 * s, x - 2 * s, y - 5 * s, x, y)
    ctx.curve_to(x + 2 * s, y - 5 * s, x + 5 * s, y - 6 * s, x + 8 * s, y - 2 * s)
    _outline(ctx, "navy", 1.0, 2.2)
    ctx.stroke()


def hills(ctx):
    ctx.move_to(0, 150)
    ctx.curve_to(60, 118, 130, 122, 190, 146)
    ctx.curve_to(240, 128, 300, 124, SIZE, 140)
    ctx.line_to(SIZE, 200)
    ctx.line_to(0, 200)
    ctx.close_path()
    _fill_stroke(ctx, "leaf", "leaf", 0.7)
    ctx.move_to(0, 172)
    ctx.curve_to(90, 150, 220, 156, SIZE, 164)
    ctx.line_to(SIZE, SIZE + 5)
    ctx.line_to(0, SIZE + 5)
    ctx.close_path()
    g = cairo.LinearGradient(0, 160, 0, SIZE)
    g.add_color_stop_rgba(0, *shade("grass", 1.1))
    g.add_color_stop_rgba(1, *shade("grass", 0.92))
    ctx.set_source(g)
    ctx.fill_preserve()
    _outline(ctx, "grass", 0.7)
    ctx.stroke()


def tree(ctx, apples):
    # trunk with two roots
    ctx.move_to(270, 246)
    ctx.curve_to(278, 220, 280, 170, 276, 120)
    ctx.line_to(300, 120)
    ctx.curve_to(296, 170, 298, 220, 310, 246)
    ctx.curve_to(298, 241, 292, 244, 290, 248)
    ctx.curve_to(286, 242, 278, 241, 270, 246)
    ctx.close_path()
    _fill_stroke(ctx, "brown", "brown", 0.6)
    ctx.move_to(286, 150)
    ctx.curve_to(284, 170, 288, 190, 285, 205)
    _outline(ctx, "brown", 0.6, 2)
    ctx.stroke()
    # the crown
    crown = [(250, 82, 34), (288, 58, 40), (322, 88, 33), (300, 112, 30), (262, 114, 28), (330, 50, 24),
             (240, 50, 22)]
    _puffs(ctx, crown, "leaf", "leaf", 0.6)
    ctx.set_source_rgba(*shade("grass", 1.05))
    for x, y, r in [(262, 70, 10), (292, 44, 12), (318, 76, 9), (246, 102, 7)]:
        _circle(ctx, x, y, r)
    ctx.fill()
    for x, y in apples:
        apple(ctx, x, y, 8.5)


def apple(ctx, x, y, r, leaf=True):
    ctx.move_to(x, y - r * 0.65)
    ctx.curve_to(x + r * 0.9, y - r * 1.25, x + r * 1.45, y - r * 0.1, x + r * 0.9, y + r * 0.7)
    ctx.curve_to(x + r * 0.55, y + r * 1.15, x + r * 0.15, y + r * 1.0, x, y + r * 0.85)
    ctx.curve_to(x - r * 0.15, y + r * 1.0, x - r * 0.55, y + r * 1.15, x - r * 0.9, y + r * 0.7)
    ctx.curve_to(x - r * 1.45, y - r * 0.1, x - r * 0.9, y - r * 1.25, x, y - r * 0.65)
    ctx.close_path()
    _fill_stroke(ctx, "red", "red", 0.6, 2)
    ctx.set_source_rgba(1, 1, 1, 0.75)
    _ellipse(ctx, x - r * 0.45, y - r * 0.15, r * 0.18, r * 0.3, 0.4)
    ctx.fill()
    ctx.move_to(x, y - r * 0.6)
    ctx.curve_to(x, y - r * 0.9, x + r * 0.1, y - r * 1.1, x + r * 0.25, y - r * 1.25)
    _outline(ctx, "brown", 0.7, 2)
    ctx.stroke()
    if leaf:
        ctx.move_to(x + r * 0.1, y - r * 0.85)
        ctx.curve_to(x + r * 0.4, y - r * 1.4, x + r * 0.95, y - r * 1.35, x + r * 1.1, y - r * 1.2)
        ctx.curve_to(x + r * 0.8, y - r * 0.8, x + r * 0.4, y - r * 0.75, x + r * 0.1, y - r * 0.85)
        ctx.close_path()
        _fill_stroke(ctx, "grass", "leaf", 0.7, 1.5)


def house(ctx):
    # chimney with a curl of smoke
    ctx.rectangle(76, 102, 14, 26)
    _fill_stroke(ctx, "red", "red", 0.6)
    ctx.set_source_rgba(*rgb("cloud", 0.95))
    for dx, dy, r in [(84, 93, 5), (90, 82, 6.5), (84, 69, 8)]:
        _circle(ctx, dx, dy, r)
    ctx.fill_preserve()
    _outline(ctx, "sky", 0.8, 1.5)
    ctx.stroke()
    # walls
    ctx.rectangle(22, 160, 88, 78)
    _fill_stroke(ctx, "cream", "brown", 0.9)
    ctx.set_source_rgba(*shade("cream", 0.92))
    for y in (178, 198, 218):
        ctx.rectangle(24, y, 84, 2)
    ctx.fill()
    # roof
    ctx.move_to(10, 164)
    ctx.line_to(66, 112)
    ctx.line_to(122, 164)
    ctx.curve_to(118, 170, 14, 170, 10, 164)
    ctx.close_path()
    _fill_stroke(ctx, "red", "red", 0.6)
    ctx.set_source_rgba(*shade("red", 0.82))
    for i in range(4):
        ctx.move_to(30 + i * 24, 160)
        ctx.line_to(62 + i * 2, 124 + i * 2)
    _outline(ctx, "red", 0.8, 2)
    ctx.stroke()
    # round window with a cross
    _circle(ctx, 66, 146, 9)
    _fill_stroke(ctx, "sun", "brown", 0.7)
    ctx.move_to(57, 146)
    ctx.line_to(75, 146)
    ctx.move_to(66, 137)
    ctx.line_to(66, 155)
    _outline(ctx, "brown", 0.7, 2)
    ctx.stroke()
    # door and window
    ctx.move_to(76, 238)
    ctx.line_to(76, 200)
    ctx.arc(89, 200, 13, math.pi, 0)
    ctx.line_to(102, 238)
    ctx.close_path()
    _fill_stroke(ctx, "orange", "brown", 0.7)
    _circle(ctx, 97, 220, 2.2)
    ctx.set_source_rgba(*rgb("brown"))
    ctx.fill()
    ctx.rectangle(34, 182, 28, 24)
    _fill_stroke(ctx, "sun", "brown", 0.7)
    ctx.move_to(48, 182)
    ctx.line_to(48, 206)
    ctx.move_to(34, 194)
    ctx.line_to(62, 194)
    _outline(ctx, "brown", 0.7, 2)
    ctx.stroke()
    ctx.rectangle(31, 206, 34, 5)
    _fill_stroke(ctx, "brown", "brown", 0.6, 1.5)
    for i, c in enumerate(("pink", "purple", "red")):
        _circle(ctx, 38 + i * 10, 203, 3.5)
        _fill_stroke(ctx, c, c, 0.7, 1.2)


def path(ctx):
    ctx.move_to(76, 238)
    ctx.curve_to(90, 250, 120, 252, 160, 256)
    ctx.curve_to(210, 262, 250, 254, 270, 246)
    ctx.line_to(310, 246)
    ctx.curve_to(280, 268, 230, 282, 160, 278)
    ctx.curve_to(110, 276, 70, 270, 50, 258)
    ctx.curve_to(60, 250, 70, 244, 76, 238)
    ctx.close_path()
    _fill_stroke(ctx, "cream", "orange", 0.8, 2)
    ctx.set_source_rgba(*shade("orange", 1.55))
    for x, y, r in [(100, 262, 2.5), (140, 268, 2), (190, 268, 2.5), (236, 262, 2), (268, 256, 2)]:
        _ellipse(ctx, x, y, r * 1.6, r)
    ctx.fill()


def pond(ctx):
    _ellipse(ctx, 262, 312, 86, 30)
    _fill_stroke(ctx, "blue", "navy", 0.9)
    _ellipse(ctx, 250, 306, 62, 17)
    ctx.set_source_rgba(*rgb("sky"))
    ctx.fill()
    ctx.set_source_rgba(1, 1, 1, 0.85)
    for x, y, w in [(224, 300, 16), (268, 312, 12), (298, 302, 9)]:
        ctx.move_to(x - w, y)
        ctx.line_to(x + w, y)
    ctx.set_line_width(2.5)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.stroke()
    # a lily pad with a flower
    ctx.move_to(318, 322)
    ctx.arc(318, 322, 12, 0.35, 2 * math.pi - 0.25)
    ctx.close_path()
    _fill_stroke(ctx, "grass", "leaf", 0.7, 2)
    for i in range(5):
        a = -math.pi / 2 + i * 2 * math.pi / 5
        _ellipse(ctx, 316 + 4 * math.cos(a), 318 + 4 * math.sin(a), 4, 2.4, a)
    _fill_stroke(ctx, "pink", "pink", 0.7, 1)
    # reeds on the left bank
    for x, h in [(184, 30), (192, 38), (200, 27)]:
        ctx.move_to(x, 322)
        ctx.curve_to(x - 2, 322 - h / 2, x + 2, 322 - h * 0.8, x + 1, 322 - h)
        _outline(ctx, "leaf", 0.8, 3)
        ctx.stroke()
        _ellipse(ctx, x + 1, 322 - h + 8, 3.2, 8)
        _fill_stroke(ctx, "brown", "brown", 0.6, 1.5)


def duckling(ctx, x, y):
    _ellipse(ctx, x, y, 21, 12)
    _fill_stroke(ctx, "sun", "orange", 0.8)
    ctx.move_to(x + 4, y - 4)
    ctx.curve_to(x + 14, y - 12, x + 22, y - 6, x + 20, y + 2)
    _outline(ctx, "orange", 0.8, 2)
    ctx.stroke()
    _circle(ctx, x - 14, y - 15, 11)
    _fill_stroke(ctx, "sun", "orange", 0.8)
    ctx.move_to(x - 24, y - 17)
    ctx.curve_to(x - 34, y - 18, x - 35, y - 12, x - 24, y - 11)
    ctx.close_path()
    _fill_stroke(ctx, "orange", "orange", 0.75, 1.8)
    _circle(ctx, x - 16, y - 18, 2.4)
    ctx.set_source_rgba(*rgb("ink"))
    ctx.fill()
    _circle(ctx, x - 15.3, y - 18.7, 0.8)
    ctx.set_source_rgba(1, 1, 1, 1)
    ctx.fill()
    ctx.set_source_rgba(*rgb("sky", 0.9))
    ctx.move_to(x - 26, y + 11)
    ctx.curve_to(x - 10, y + 15, x + 10, y + 15, x + 26, y + 10)
    ctx.set_line_width(2.5)
    ctx.stroke()


def hedgehog(ctx, x, y):
    """The hedgehog walks to the left with an apple on its spines; (x, y) is the middle of its feet."""
    # spines: a zigzag crown over the back
    rng = random.Random(7)
    cx, cy = x + 8, y - 26
    spikes = []
    n = 17
    for i in range(n + 1):
        a = math.pi * (1.0 - i / n) * 0.92 + 0.05
        r_out = 44 + rng.uniform(-2, 3)
        r_in = 30
        spikes.append((cx + math.cos(a) * r_in * 1.2, cy - math.sin(a) * r_in))
        a2 = a - math.pi / n * 0.46
        spikes.append((cx + math.cos(a2) * r_out * 1.2, cy - math.sin(a2) * r_out))
    ctx.move_to(cx - 36, cy + 18)
    for px, py in spikes:
        ctx.line_to(px, py)
    ctx.line_to(cx + 46, cy + 20)
    ctx.curve_to(cx + 30, cy + 32, cx - 20, cy + 32, cx - 36, cy + 18)
    ctx.close_path()
    _fill_stroke(ctx, "brown", "brown", 0.55)
    # feet
    for fx in (-22, -6, 16, 30):
        _ellipse(ctx, x + fx, y - 2, 7, 4.5)
        _fill_stroke(ctx, shade("brown", 1.45), "brown", 0.6, 2)
    # the face: a light snout pointing the way home
    ctx.move_to(cx - 24, cy - 22)
    ctx.curve_to(cx - 40, cy - 18, cx - 56, cy - 6, cx - 66, cy + 5)
    ctx.curve_to(cx - 69, cy + 10, cx - 64, cy + 15, cx - 56, cy + 16)
    ctx.curve_to(cx - 44, cy + 24, cx - 32, cy + 28, cx - 20, cy + 26)
    ctx.curve_to(cx - 12, cy + 14, cx - 12, cy - 10, cx - 24, cy - 22)
    ctx.close_path()
    _fill_stroke(ctx, shade("brown", 1.55), "brown", 0.6)
    _circle(ctx, cx - 65, cy + 8, 4.2)
    ctx.set_source_rgba(*rgb("ink"))
    ctx.fill()
    _ellipse(ctx, cx - 42, cy - 2, 3.4, 4.4)
    ctx.fill()
    _circle(ctx, cx - 41, cy - 3.6, 1.3)
    ctx.set_source_rgba(1, 1, 1, 1)
    ctx.fill()
    ctx.set_source_rgba(*rgb("pink", 0.9))
    _circle(ctx, cx - 36, cy + 10, 4.5)
    ctx.fill()
    ctx.move_to(cx - 57, cy + 14)
    ctx.curve_to(cx - 53, cy + 19, cx - 47, cy + 19, cx - 44, cy + 15)
    _outline(ctx, "ink", 1.0, 2)
    ctx.stroke()
    _ellipse(ctx, cx - 26, cy - 16, 5, 6, -0.3)
    _fill_stroke(ctx, shade("brown", 1.55), "brown", 0.6, 2)
    # the apple it carries
    apple(ctx, cx + 6, cy - 36, 13)


def flowers(ctx):
    rng = random.Random(11)
    spots = [(18, 276, "pink"), (40, 292, "sun"), (14, 318, "purple"), (60, 320, "red"), (100, 306, "pink"),
             (132, 334, "sun"), (150, 300, "purple"), (36, 338, "sun"), (330, 262, "pink"),
             (336, 200, "purple"), (238, 232, "red")]
    for x, y, c in spots:
        ctx.move_to(x, y + 4)
        ctx.line_to(x + rng.uniform(-2, 2), y + 16)
        _outline(ctx, "leaf", 0.85, 2)
        ctx.stroke()
        for i in range(5):
            a = i * 2 * math.pi / 5 + rng.uniform(0, 1)
            _circle(ctx, x + 4.2 * math.cos(a), y + 4.2 * math.sin(a), 3.4)
        _fill_stroke(ctx, c, c, 0.7, 1.2)
        _circle(ctx, x, y, 2.4)
        ctx.set_source_rgba(*rgb("sun" if c != "sun" else "orange"))
        ctx.fill()
    # grass tufts
    for x, y in [(80, 340), (160, 248), (210, 300), (344, 236), (8, 250), (112, 290), (300, 175), (200, 180)]:
        for d in (-5, 0, 5):
            ctx.move_to(x + d * 0.5, y)
            ctx.line_to(x + d, y - 9 + abs(d) * 0.4)
        _outline(ctx, "leaf", 0.9, 2)
        ctx.stroke()


def mushroom(ctx, x, y):
    ctx.move_to(x - 6, y)
    ctx.curve_to(x - 5, y - 8, x - 4, y - 12, x - 4, y - 14)
    ctx.line_to(x + 4, y - 14)
    ctx.curve_to(x + 4, y - 12, x + 5, y - 8, x + 6, y)
    ctx.close_path()
    _fill_stroke(ctx, "cream", "brown", 0.8, 2)
    ctx.move_to(x - 15, y - 13)
    ctx.curve_to(x - 14, y - 30, x + 14, y - 30, x + 15, y - 13)
    ctx.close_path()
    _fill_stroke(ctx, "red", "red", 0.6, 2)
    ctx.set_source_rgba(1, 1, 1, 0.95)
    for dx, dy, r in [(-7, -19, 2.6), (3, -23, 2.2), (9, -16, 2)]:
        _circle(ctx, x + dx, y + dy, r)
    ctx.fill()


def butterfly(ctx, x, y):
    for sx in (-1, 1):
        _ellipse(ctx, x + sx * 7, y - 4, 7, 9, sx * 0.5)
        _ellipse(ctx, x + sx * 6, y + 7, 5, 6, -sx * 0.4)
    _fill_stroke(ctx, "purple", "purple", 0.6, 1.8)
    _ellipse(ctx, x, y + 1, 1.8, 9)
    ctx.set_source_rgba(*rgb("ink"))
    ctx.fill()
    ctx.move_to(x - 1, y - 7)
    ctx.curve_to(x - 3, y - 12, x - 6, y - 13, x - 7, y - 14)
    ctx.move_to(x + 1, y - 7)
    ctx.curve_to(x + 3, y - 12, x + 6, y - 13, x + 7, y - 14)
    _outline(ctx, "ink", 1.0, 1.4)
    ctx.stroke()


def draw(ctx):
    sky(ctx)
    sun(ctx, 50, 46, 24)
    cloud(ctx, 170, 44, 1.05)
    cloud(ctx, 146, 94, 0.6)
    bird(ctx, 204, 20, 1.0)
    bird(ctx, 222, 10, 0.8)
    hills(ctx)
    tree(ctx, [(248, 84), (292, 70), (318, 100), (272, 116), (330, 62)])
    house(ctx)
    path(ctx)
    pond(ctx)
    duckling(ctx, 262, 310)
    flowers(ctx)
    mushroom(ctx, 80, 300)
    apple(ctx, 320, 238, 7.5, leaf=False)
    apple(ctx, 250, 244, 7, leaf=False)
    hedgehog(ctx, 170, 255)
    butterfly(ctx, 150, 160)


def make():
    """The picture as a cairo RGB24 surface."""
    surf = cairo.ImageSurface(cairo.FORMAT_RGB24, SIZE, SIZE)
    ctx = cairo.Context(surf)
    ctx.set_source_rgb(1, 1, 1)
    ctx.paint()
    draw(ctx)
    surf.flush()
    return surf


if __name__ == "__main__":
    make().write_to_png(sys.argv[1] if len(sys.argv) > 1 else "/tmp/picture.png")
