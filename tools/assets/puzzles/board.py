"""The game board: background with its two panels, header bars, next arrows, the well-done and
task-completed labels, the red frame lines of the instruction and the white assembly fields."""
import math
import os
import random
import sys

import cairo

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
import look  # noqa: E402
from look import rgb, shade  # noqa: E402

from layout import BACKGROUND_Y, FRAME_ORIGIN, SCATTER_AREA  # noqa: E402


def mix(a, b, t=0.5):
    """A shade between two palette colours (t = 0 gives a, 1 gives b)."""
    pa, pb = look.PALETTE[a], look.PALETTE[b]
    return tuple((pa[i] * (1 - t) + pb[i] * t) / 255.0 for i in range(3)) + (1.0,)


TRAY = mix("brown", "cream", 0.62)      # the panels the pieces lie on
TRAY_EDGE = mix("brown", "cream", 0.25)
RED_LINE = rgb("red")

# Screen rectangles (left, top, right, bottom). The left panel holds the scatter area with a pixel
# to spare; the red line 149 placed at (22, 83) runs just outside it.
LEFT_PANEL = (26, 87, 355, 475)
RIGHT_PANEL = (380, 87, 782, 475)
FRAME = (FRAME_ORIGIN[0], FRAME_ORIGIN[1], FRAME_ORIGIN[0] + 350, FRAME_ORIGIN[1] + 350)
LEFT_LINE_AT, LEFT_LINE_SIZE = (22, 83), (337, 396)
FRAME_LINE_AT, FRAME_LINE_SIZE = (404, 103), (354, 354)


def new(w, h, fmt=cairo.FORMAT_ARGB32):
    surf = cairo.ImageSurface(fmt, w, h)
    ctx = cairo.Context(surf)
    opts = cairo.FontOptions()
    opts.set_antialias(cairo.ANTIALIAS_GRAY)
    opts.set_hint_style(cairo.HINT_STYLE_NONE)
    opts.set_hint_metrics(cairo.HINT_METRICS_OFF)
    ctx.set_font_options(opts)
    return surf, ctx


def rounded(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 1.5 * math.pi)
    ctx.close_path()


def caption_font(ctx, size):
    ctx.select_font_face(look.CAPTION_FONT_FAMILY, cairo.FONT_SLANT_NORMAL, cairo.FONT_WEIGHT_BOLD)
    ctx.set_font_size(size)


def text_path_centred(ctx, text, cx, cy, size, max_width=None):
    """Adds text centred on (cx, cy) to the path, shrinking the size until it fits max_width."""
    caption_font(ctx, size)
    ext = ctx.text_extents(text)
    while max_width and ext.width > max_width and size > 6:
        size -= 0.5
        caption_font(ctx, size)
        ext = ctx.text_extents(text)
    ctx.move_to(cx - ext.x_bearing - ext.width / 2, cy - ext.y_bearing - ext.height / 2)
    ctx.text_path(text)
    return ext


def mini_piece(ctx, x, y, s, colour, angle=0.0):
    """A small jigsaw piece icon: a square with a tab on two sides and a hole on the others."""
    ctx.save()
    ctx.translate(x, y)
    ctx.rotate(angle)
    ctx.scale(s, s)
    ctx.move_to(-10, -10)
    ctx.line_to(-3, -10)
    ctx.arc_negative(0, -10, 3, math.pi, 0)   # hole at the top
    ctx.line_to(10, -10)
    ctx.line_to(10, -3)
    ctx.arc(13, 0, 3.6, -math.pi * 0.75, math.pi * 0.75)  # tab on the right
    ctx.line_to(10, 10)
    ctx.line_to(3, 10)
    ctx.arc(0, 13, 3.6, -math.pi * 0.25, math.pi * 1.25)  # tab at the bottom
    ctx.line_to(-10, 10)
    ctx.line_to(-10, 3)
    ctx.arc_negative(-10, 0, 3, math.pi / 2, -math.pi / 2)  # hole on the left
    ctx.close_path()
    ctx.restore()
    ctx.set_source_rgba(*rgb(colour))
    ctx.fill_preserve()
    ctx.set_source_rgba(*shade(colour, 0.6))
    ctx.set_line_width(1.8)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    ctx.stroke()


# ----------------------------------------------------------------------------------- background 102
def background():
    w, h = 800, 541
    oy = BACKGROUND_Y
    sl, st, sr, sb = SCATTER_AREA
    assert LEFT_PANEL[0] < sl and LEFT_PANEL[1] < st and LEFT_PANEL[2] >= sr and LEFT_PANEL[3] >= sb
    surf, ctx = new(w, h, cairo.FORMAT_RGB24)
    g = cairo.LinearGradient(0, 0, 0, h)
    g.add_color_stop_rgba(0, *shade("grass", 1.08))
    g.add_color_stop_rgba(1, *shade("grass", 0.9))
    ctx.set_source(g)
    ctx.paint()
    # soft light leaves scattered over the green
    rng = random.Random(102)
    for _ in range(70):
        x, y = rng.uniform(0, w), rng.uniform(0, h)
        ctx.save()
        ctx.translate(x, y)
        ctx.rotate(rng.uniform(0, math.pi))
        ctx.scale(rng.uniform(6, 11), rng.uniform(3, 5))
        ctx.arc(0, 0, 1, 0, 2 * math.pi)
        ctx.restore()
        ctx.set_source_rgba(1, 1, 1, 0.10)
        ctx.fill()
    # grass along the bottom edge, clear of the next arrow and the well-done label
    for i in range(0, w, 7):
        if 130 <= i <= 252 or 488 <= i <= 708:
            continue
        hgt = 10 + (i * 37 % 9)
        ctx.move_to(i, h)
        ctx.curve_to(i + 1, h - hgt / 2, i + 3, h - hgt * 0.8, i + 4 + (i % 3), h - hgt)
        ctx.line_to(i + 6, h)
        ctx.close_path()
        ctx.set_source_rgba(*shade("leaf", 0.95))
        ctx.fill()

    def panel(rect, radius):
        l, t, r, b = rect
        ctx.save()
        rounded(ctx, l + 3, t + 5 - oy, r - l, b - t, radius)
        ctx.set_source_rgba(*shade("leaf", 0.55)[:3], 0.35)
        ctx.fill()
        rounded(ctx, l, t - oy, r - l, b - t, radius)
        pg = cairo.LinearGradient(0, t - oy, 0, b - oy)
        pg.add_color_stop_rgba(0, *mix("brown", "cream", 0.7))
        pg.add_color_stop_rgba(1, *TRAY)
        ctx.set_source(pg)
        ctx.fill_preserve()
        ctx.set_source_rgba(*TRAY_EDGE)
        ctx.set_line_width(2)
        ctx.stroke()
        rounded(ctx, l + 5, t + 5 - oy, r - l - 10, b - t - 10, radius - 4)
        ctx.set_source_rgba(1, 1, 1, 0.25)
        ctx.set_line_width(1.5)
        ctx.stroke()
        ctx.restore()

    panel(LEFT_PANEL, 14)
    panel(RIGHT_PANEL, 14)
    # the dark frame the pieces go into, set into the right panel
    l, t, r, b = FRAME
    ctx.rectangle(l - 5, t - 5 - oy, 360, 360)
    ctx.set_source_rgba(*mix("brown", "ink", 0.45))
    ctx.fill()
    ctx.rectangle(l, t - oy, 350, 350)
    fg = cairo.LinearGradient(0, t - oy, 0, b - oy)
    fg.add_color_stop_rgba(0, *shade("frame", 0.8))
    fg.add_color_stop_rgba(1, *rgb("frame"))
    ctx.set_source(fg)
    ctx.fill()
    # a faint inner shadow along the top and left
    for i in range(6):
        ctx.rectangle(l, t - oy + i, 350, 1)
        ctx.rectangle(l + i, t - oy, 1, 350)
        ctx.set_source_rgba(0, 0, 0, 0.05 * (6 - i) / 6)
        ctx.fill()
    surf.flush()
    return surf


# ----------------------------------------------------------------------------------- headers 103, 104
def header(text, icons):
    w, h = 800, 60
    surf, ctx = new(w, h, cairo.FORMAT_RGB24)
    g = cairo.LinearGradient(0, 0, 0, h)
    g.add_color_stop_rgba(0, *shade("blue", 1.12))
    g.add_color_stop_rgba(1, *rgb("navy"))
    ctx.set_source(g)
    ctx.paint()
    ctx.rectangle(0, 0, w, 2)
    ctx.set_source_rgba(1, 1, 1, 0.35)
    ctx.fill()
    ctx.rectangle(0, h - 3, w, 3)
    ctx.set_source_rgba(*shade("navy", 0.7))
    ctx.fill()
    ctx.save()
    ctx.translate(1.5, 2)
    ext = text_path_centred(ctx, text, w / 2, h / 2 - 1, 32, 560)
    ctx.set_source_rgba(*shade("navy", 0.55)[:3], 0.8)
    ctx.fill()
    ctx.restore()
    text_path_centred(ctx, text, w / 2, h / 2 - 1, 32, 560)
    ctx.set_source_rgba(*rgb("white"))
    ctx.fill()
    gap = ext.width / 2 + 40
    for side in (-1, 1):
        for i, (colour, angle) in enumerate(icons):
            x = w / 2 + side * (gap + i * 38)
            mini_piece(ctx, x, h / 2 - 1, 1.1, colour, angle * side)
    surf.flush()
    return surf


# ----------------------------------------------------------------------------------- next arrows 101, 105
def next_arrow(face, edge, glow):
    w, h = 97, 58
    surf, ctx = new(w, h)

    def arrow(dx=0.0, dy=0.0):
        ctx.new_path()
        ctx.move_to(8 + dx, 18 + dy)
        ctx.line_to(52 + dx, 18 + dy)
        ctx.line_to(52 + dx, 7 + dy)
        ctx.line_to(88 + dx, 27 + dy)
        ctx.line_to(52 + dx, 47 + dy)
        ctx.line_to(52 + dx, 36 + dy)
        ctx.line_to(8 + dx, 36 + dy)
        ctx.close_path()

    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    arrow(2, 3)
    ctx.set_source_rgba(0, 0, 0, 0.22)
    ctx.set_line_width(12)
    ctx.stroke_preserve()
    ctx.fill()
    arrow()
    ctx.set_source_rgba(*rgb("cream"))
    ctx.set_line_width(12)
    ctx.stroke_preserve()
    ctx.set_source_rgba(*edge)
    ctx.set_line_width(7)
    ctx.stroke_preserve()
    g = cairo.LinearGradient(0, 7, 0, 47)
    g.add_color_stop_rgba(0, *glow)
    g.add_color_stop_rgba(1, *face)
    ctx.set_source(g)
    ctx.set_line_width(3.5)
    ctx.stroke_preserve()
    ctx.fill()
    ctx.move_to(12, 21)
    ctx.line_to(54, 21)
    ctx.set_source_rgba(1, 1, 1, 0.45)
    ctx.set_line_width(2.5)
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.stroke()
    surf.flush()
    return surf


# ----------------------------------------------------------------------------------- labels 137, 138, 139
def well_done():
    w, h = 197, 48
    surf, ctx = new(w, h)
    ctx.set_line_join(cairo.LINE_JOIN_ROUND)
    for width, colour in ((9, rgb("white")), (4, shade("red", 0.55))):
        text_path_centred(ctx, "МОЛОДЕЦ", w / 2, h / 2 + 1, 38, w - 14)
        ctx.set_source_rgba(*colour)
        ctx.set_line_width(width)
        ctx.stroke()
    text_path_centred(ctx, "МОЛОДЕЦ", w / 2, h / 2 + 1, 38, w - 14)
    g = cairo.LinearGradient(0, 8, 0, 40)
    g.add_color_stop_rgba(0, *shade("red", 1.25))
    g.add_color_stop_rgba(1, *shade("red", 0.9))
    ctx.set_source(g)
    ctx.fill()
    surf.flush()
    return surf


def task_done(ground, deep):
    w, h = 161, 68
    surf, ctx = new(w, h, cairo.FORMAT_RGB24)
    ctx.set_source_rgba(*deep)
    ctx.paint()
    rounded(ctx, 3, 3, w - 6, h - 6, 9)
    g = cairo.LinearGradient(0, 3, 0, h - 3)
    g.add_color_stop_rgba(0, *shade(ground, 1.15))
    g.add_color_stop_rgba(1, *rgb(ground))
    ctx.set_source(g)
    ctx.fill_preserve()
    ctx.set_source_rgba(1, 1, 1, 0.5)
    ctx.set_line_width(1.5)
    ctx.stroke()
    for line, cy in (("Задание", 24), ("выполнено", 45)):
        text_path_centred(ctx, line, w / 2, cy, 21, w - 22)
        ctx.set_source_rgba(*rgb("white"))
        ctx.fill()
    surf.flush()
    return surf


# ----------------------------------------------------------------------------------- red lines 148, 149
def red_line(w, h, radius, width=4.0):
    surf, ctx = new(w, h)
    half = width / 2
    rounded(ctx, half, half, w - width, h - width, radius)
    ctx.set_source_rgba(*RED_LINE)
    ctx.set_line_width(width)
    ctx.stroke()
    surf.flush()
    return surf


# ----------------------------------------------------------------------------------- white fields 116, 131
def white_field():
    surf, ctx = new(350, 350, cairo.FORMAT_RGB24)
    ctx.set_source_rgba(*rgb("frame"))
    ctx.paint()
    ctx.rectangle(1, 1, 348, 348)
    ctx.set_source_rgba(*rgb("white"))
    ctx.fill()
    surf.flush()
    return surf


def make():
    """Every board picture: id -> (surface, comment)."""
    grey_face, grey_edge, grey_glow = mix("band", "frame", 0.3), shade("frame", 1.1), rgb("band")
    return {
        101: (next_arrow(rgb("leaf"), shade("leaf", 0.55), shade("grass", 1.25)), "next arrow, green"),
        102: (background(), "board: green ground, left panel for the scattered pieces, right panel "
                            "with the dark 350 x 350 frame at screen (406, 106)"),
        103: (header("Собери картинку", [("sun", 0.2), ("red", -0.3)]), "header bar «Собери картинку»"),
        104: (header("Собери мозаику", [("sky", 0.2), ("pink", -0.3)]), "header bar «Собери мозаику»"),
        105: (next_arrow(grey_face, grey_edge, grey_glow), "next arrow, grey (disabled)"),
        116: (white_field(), "white field with a thin dark border (tinted by the game)"),
        131: (white_field(), "second white field, the same as 116"),
        137: (well_done(), "«МОЛОДЕЦ» in red"),
        138: (task_done("navy", shade("navy", 0.6)), "«Задание выполнено» on dark blue"),
        139: (task_done("leaf", shade("leaf", 0.6)), "«Задание выполнено» on green"),
        148: (red_line(*FRAME_LINE_SIZE, 6), "red line around the frame, placed at (404, 103)"),
        149: (red_line(*LEFT_LINE_SIZE, 16), "red line around the left panel, placed at (22, 83)"),
    }

