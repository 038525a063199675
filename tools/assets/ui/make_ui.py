"""Draws the screens' own pictures into data/ui/ (the praise cloud, the instruction's closing page:
keyboard, mouse and space-bar highlight, the demonstration cursor's hand-on-mouse pictures and
arrow) and the program icon into data/icons/, and writes data/ui.tsv.

Run with /usr/bin/python3: python3 tools/assets/ui/make_ui.py [repository root]
"""
import math
import os
import subprocess
import sys

import numpy as np
from PIL import Image

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "skin"))
import canvas  # noqa: E402
from canvas import look, mix, with_alpha, rounded_rect, vgradient  # noqa: E402

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "..", ".."))
rows = []


def put(key, rel, arr_or_surf, mode, comment):
    path = os.path.join(ROOT, "data", rel)
    if isinstance(arr_or_surf, np.ndarray):
        canvas.write_array(arr_or_surf, path, mode)
    else:
        canvas.save(arr_or_surf, path, mode)
    rows.append((key, rel, comment))


def shade(c, factor):
    if factor <= 1.0:
        return (c[0] * factor, c[1] * factor, c[2] * factor, 1.0)
    t = factor - 1.0
    return tuple(x + (1.0 - x) * t for x in c[:3]) + (1.0,)


# ---------------------------------------------------------------- praise cloud

CLOUD_W, CLOUD_H = 506, 350
CLIP = (93, 76, 320, 200)          # where the praise clip is shown inside the cloud
CLIP_MARGIN = 14                   # plain cloud colour around it, so the clip's edges melt in


def cloud_shapes(c):
    """The cloud as a union of a rounded body and puffs, added to the current path."""
    rounded_rect(c, 46, 56, 414, 236, 70)
    puffs = [  # (cx, cy, r): top row, sides, bottom row
        (112, 88, 54), (190, 66, 58), (268, 62, 54), (342, 70, 56), (408, 96, 50),
        (56, 160, 46), (52, 226, 44), (452, 168, 46), (454, 234, 42),
        (106, 280, 50), (184, 290, 46), (262, 292, 44), (340, 290, 46), (410, 276, 48),
    ]
    for cx, cy, r in puffs:
        c.new_sub_path()
        c.arc(cx, cy, r, 0, 2 * math.pi)


def star(c, cx, cy, r, colour):
    c.save()
    c.translate(cx, cy)
    c.move_to(0, -r)
    for i in range(1, 8):
        a = -math.pi / 2 + i * math.pi / 4
        rr = r if i % 2 == 0 else r * 0.36
        c.line_to(rr * math.cos(a), rr * math.sin(a))
    c.close_path()
    c.set_source_rgba(*colour)
    c.fill_preserve()
    c.set_source_rgba(*shade(colour, 0.8))
    c.set_line_width(1.2)
    c.set_line_join(1)
    c.stroke()
    c.restore()


def praise_cloud():
    s, c = canvas.new(CLOUD_W, CLOUD_H)
    outline = mix("sky", "blue", 0.35)
    # Soft shadow below, outline ring, then the fill on top of it.
    c.save()
    c.translate(4, 6)
    cloud_shapes(c)
    c.set_source_rgba(*with_alpha(look.rgb("navy"), 0.10))
    c.fill()
    c.restore()
    cloud_shapes(c)
    c.set_source_rgba(*outline)
    c.set_line_width(7)
    c.set_line_join(1)
    c.stroke()
    cloud_shapes(c)
    c.set_source_rgba(*look.rgb("cloud"))
    c.fill()
    # Gentle bluish shading along the bottom and bright tops on the upper puffs, outside the clip.
    c.save()
    cloud_shapes(c)
    c.clip()
    below = CLIP[1] + CLIP[3] + CLIP_MARGIN
    c.set_source(vgradient(below, 350, with_alpha(mix("cloud", "sky", 0.5), 0.0),
                           with_alpha(mix("cloud", "sky", 0.5), 0.8)))
    c.rectangle(0, below, CLOUD_W, CLOUD_H - below)
    c.fill()
    # Highlights only outside the clip's area and the band around it.
    c.rectangle(0, 0, CLOUD_W, CLOUD_H)
    c.rectangle(CLIP[0] - CLIP_MARGIN, CLIP[1] - CLIP_MARGIN, CLIP[2] + 2 * CLIP_MARGIN, CLIP[3] + 2 * CLIP_MARGIN)
    c.set_fill_rule(1)  # even-odd: the frame between the two rectangles
    c.clip()
    c.set_source_rgba(1, 1, 1, 0.9)
    c.set_line_width(5)
    c.set_line_cap(1)
    for cx, cy, r, a0, a1 in [(190, 66, 42, 3.5, 4.6), (268, 62, 38, 3.6, 4.7), (112, 88, 38, 3.5, 4.4),
                              (342, 70, 40, 3.7, 4.6)]:
        c.new_sub_path()
        c.arc(cx, cy, r, a0, a1)
        c.stroke()
    c.restore()
    # The clip's rectangle is plain cloud colour so the clip's edges melt into it.
    c.set_source_rgba(*look.rgb("cloud"))
    c.rectangle(CLIP[0] - CLIP_MARGIN, CLIP[1] - CLIP_MARGIN, CLIP[2] + 2 * CLIP_MARGIN, CLIP[3] + 2 * CLIP_MARGIN)
    c.fill()
    # A few sparkles around the cloud.
    for cx, cy, r, col in [(24, 40, 13, "sun"), (484, 36, 11, "sun"), (30, 318, 9, "orange"),
                           (488, 316, 12, "sun"), (474, 104, 6, "pink"), (18, 112, 6, "pink"),
                           (440, 14, 8, "sun")]:
        star(c, cx, cy, r, look.rgb(col))
    put("oblako_png", "ui/oblako.png", s, "RGBA",
        "506x350 RGBA praise cloud; the clip's 320x200 area at (93, 76) is plain cloud colour")


# ---------------------------------------------------------------- closing page: keyboard

KB_W, KB_H = 524, 230
SPACE = (130, 155, 112, 14)        # the space bar's top face; KEYSPACE covers exactly this
UNIT = 23.2                        # key pitch: a 5-unit space bar is 5 * UNIT - 4 = 112 px wide
GAP = 4
KEY_H = 14
FRONT = 5
X0 = SPACE[0] - GAP / 2 - 4 * UNIT  # the main block's left edge: four units of keys left of the space bar
ROW_TOPS = [36, 63, 86, 109, 132, 155]
BODY = (X0 - 11, 24, 0, 0)

MAIN_ROWS = [
    [("Esc", 1), (None, 1), ("F1", 1), ("F2", 1), ("F3", 1), ("F4", 1), (None, .5), ("F5", 1), ("F6", 1),
     ("F7", 1), ("F8", 1), (None, .5), ("F9", 1), ("F10", 1), ("F11", 1), ("F12", 1)],
    [("Ё", 1), ("1", 1), ("2", 1), ("3", 1), ("4", 1), ("5", 1), ("6", 1), ("7", 1), ("8", 1), ("9", 1),
     ("0", 1), ("-", 1), ("=", 1), ("←", 2)],
    [("Tab", 1.5)] + [(ch, 1) for ch in "ЙЦУКЕНГШЩЗХЪ"] + [("\\", 1.5)],
    [("Caps", 1.75)] + [(ch, 1) for ch in "ФЫВАПРОЛДЖЭ"] + [("Enter", 2.25)],
    [("Shift", 2.25)] + [(ch, 1) for ch in "ЯЧСМИТЬБЮ."] + [("Shift", 2.75)],
    [("Ctrl", 1.5), ("", 1.25), ("Alt", 1.25), ("SPACE", 5), ("Alt", 1.5), ("", 1.5), ("", 1.5), ("Ctrl", 1.5)],
]
NUMPAD_X = X0 + 15 * UNIT + 0.6 * UNIT
NUMPAD = [  # (label, column, row, width units, height rows)
    ("Num", 0, 1, 1, 1), ("/", 1, 1, 1, 1), ("*", 2, 1, 1, 1), ("-", 3, 1, 1, 1),
    ("7", 0, 2, 1, 1), ("8", 1, 2, 1, 1), ("9", 2, 2, 1, 1), ("+", 3, 2, 1, 2),
    ("4", 0, 3, 1, 1), ("5", 1, 3, 1, 1), ("6", 2, 3, 1, 1),
    ("1", 0, 4, 1, 1), ("2", 1, 4, 1, 1), ("3", 2, 4, 1, 1), ("", 3, 4, 1, 2),
    ("0", 0, 5, 2, 1), (".", 2, 5, 1, 1),
]
CABLE_X = NUMPAD_X + 2 * UNIT      # the mouse cable enters the keyboard's back edge here


def key(c, x, y, w, h, label, size=8.0, top=None, side=None):
    side = side or mix("band", "frame", 0.35)
    top = top or look.rgb("white")
    rounded_rect(c, x, y, w, h + FRONT, 3)
    c.set_source_rgba(*side)
    c.fill()
    rounded_rect(c, x, y, w, h, 3)
    c.set_source(vgradient(y, y + h, top, mix("white", "panel", 0.9)))
    c.fill()
    if label:
        canvas.caption_font(c, size)
        canvas.draw_centered_text(c, label, x + w / 2.0, y + h / 2.0 + 0.2, look.rgb("ink"))


def keyboard():
    s, c = canvas.new(KB_W, KB_H)
    body_l, body_r = X0 - 11, NUMPAD_X + 4 * UNIT + 11
    body_top, body_face, body_bottom = 24, 186, 202
    # Shadow on the table.
    c.save()
    c.translate((body_l + body_r) / 2, body_bottom + 4)
    c.scale((body_r - body_l) / 2 + 8, 12)
    c.arc(0, 0, 1, 0, 2 * math.pi)
    c.restore()
    c.set_source_rgba(*with_alpha(look.rgb("ink"), 0.16))
    c.fill()
    # Cable stub leaving the back edge (the mouse picture continues it).
    c.set_line_cap(1)
    c.set_source_rgba(*look.rgb("frame"))
    c.set_line_width(5)
    c.move_to(CABLE_X, 0)
    c.line_to(CABLE_X, body_top + 4)
    c.stroke()
    c.set_source_rgba(*mix("frame", "white", 0.3))
    c.set_line_width(1.5)
    c.move_to(CABLE_X - 0.8, 0)
    c.line_to(CABLE_X - 0.8, body_top + 2)
    c.stroke()
    # Body: the front face, then the top.
    rounded_rect(c, body_l, body_top, body_r - body_l, body_bottom - body_top, 13)
    c.set_source_rgba(*shade(look.rgb("frame"), 0.72))
    c.fill()
    rounded_rect(c, body_l, body_top, body_r - body_l, body_face - body_top, 13)
    c.set_source(vgradient(body_top, body_face, mix("frame", "sky", 0.18), look.rgb("frame")))
    c.fill()
    rounded_rect(c, body_l + 1.5, body_top + 1.5, body_r - body_l - 3, 10, 8)
    c.set_source_rgba(1, 1, 1, 0.10)
    c.fill()
    # Three little lights above the number pad.
    for i, col in enumerate(("grass", "grass", "band")):
        c.arc(NUMPAD_X + UNIT * (0.7 + 1.3 * i), ROW_TOPS[0] + 7, 2.4, 0, 2 * math.pi)
        c.set_source_rgba(*look.rgb(col))
        c.fill()
    # Main block.
    for r, row in enumerate(MAIN_ROWS):
        x = X0
        y = ROW_TOPS[r]
        for label, units in row:
            if label is None:
                x += units * UNIT
                continue
            kx, kw = x + GAP / 2, units * UNIT - GAP
            if label == "SPACE":
                kx, kw = SPACE[0], SPACE[2]     # exact, so the highlight lands on it
                key(c, kx, y, kw, KEY_H, "")
            else:
                size = 8.6 if len(label) == 1 else 7.0
                key(c, kx, y, kw, KEY_H, label, size)
            x += units * UNIT
    # Number pad.
    for label, col, row, wu, hr in NUMPAD:
        x = NUMPAD_X + col * UNIT + GAP / 2
        y = ROW_TOPS[row]
        h = KEY_H if hr == 1 else ROW_TOPS[row + 1] - ROW_TOPS[row] + KEY_H
        key(c, x, y, wu * UNIT - GAP, h, label, 8.6 if len(label) == 1 else 7.0)
    put("KEYBOARDPIC", "ui/keyboard.png", s, "RGBA",
        "524x230 RGBA keyboard; its space bar's top lies at (130, 155), 112x14")


def key_space():
    def draw(c):
        rounded_rect(c, 0.5, 0.5, 111, 13, 3)
        c.set_source(vgradient(0, 14, mix("sun", "white", 0.35), look.rgb("sun")))
        c.fill_preserve()
        c.set_source_rgba(*look.rgb("orange"))
        c.set_line_width(1.2)
        c.stroke()
        canvas.caption_font(c, 8.5)
        canvas.draw_centered_text(c, "ПРОБЕЛ", 56, 7.1, shade(look.rgb("orange"), 0.6))
    arr = canvas.supersampled(112, 14, 4, draw)
    put("KEYSPACE", "ui/keyspace.png", arr, "RGBA", "112x14 RGBA yellow highlight of the keyboard's space bar")


# ---------------------------------------------------------------- closing page: mouse

MOUSE_POS = (500, 209)
KEYBOARD_POS = (107, 347)


def mouse_body_path(c, w, h):
    """An upright mouse outline, w x h, centred on the origin (front at the top)."""
    c.move_to(0, -h / 2)
    c.curve_to(w * 0.42, -h / 2, w / 2, -h * 0.22, w / 2, h * 0.08)
    c.curve_to(w / 2, h * 0.38, w * 0.3, h / 2, 0, h / 2)
    c.curve_to(-w * 0.3, h / 2, -w / 2, h * 0.38, -w / 2, h * 0.08)
    c.curve_to(-w / 2, -h * 0.22, -w * 0.42, -h / 2, 0, -h / 2)
    c.close_path()


def big_mouse():
    s, c = canvas.new(246, 246)
    # The cable: from the mouse's front over to the keyboard's back edge, where the keyboard
    # picture's own stub continues it (the closing page places both pictures).
    end_x = KEYBOARD_POS[0] + CABLE_X - MOUSE_POS[0]
    end_y = KEYBOARD_POS[1] - MOUSE_POS[1]
    cx, cy, angle = 176, 104, -0.30
    front = (cx + math.sin(angle) * 70, cy - math.cos(angle) * 70)
    cable = [(front[0], front[1]), (front[0] - 18, front[1] - 40), (end_x + 2, end_y - 95), (end_x, end_y - 6)]
    for width, col in ((6, look.rgb("frame")), (2, mix("frame", "white", 0.35))):
        c.set_line_width(width)
        c.set_line_cap(1)
        c.set_source_rgba(*col)
        c.move_to(*cable[0])
        c.curve_to(*cable[1], *cable[2], *cable[3])
        c.line_to(end_x - (0.8 if width == 2 else 0), end_y + 2)
        c.stroke()
    # Shadow, body, buttons, wheel.
    c.save()
    c.translate(cx + 6, cy + 8)
    c.rotate(angle)
    mouse_body_path(c, 104, 146)
    c.restore()
    c.set_source_rgba(*with_alpha(look.rgb("ink"), 0.16))
    c.fill()
    c.save()
    c.translate(cx, cy)
    c.rotate(angle)
    w, h = 104, 146
    mouse_body_path(c, w, h)
    c.set_source(vgradient(-h / 2, h / 2, look.rgb("white"), mix("panel", "band", 0.6)))
    c.fill_preserve()
    c.set_source_rgba(*look.rgb("frame"))
    c.set_line_width(3)
    c.stroke()
    # Buttons: a split line down the front and a curved line across.
    c.set_line_width(2.2)
    c.move_to(-w / 2 + 3, -h * 0.06)
    c.curve_to(-w * 0.25, h * 0.02, w * 0.25, h * 0.02, w / 2 - 3, -h * 0.06)
    c.stroke()
    c.move_to(0, -h / 2 + 1)
    c.line_to(0, -h * 0.02 + 2)
    c.stroke()
    # Light blue tops on the two buttons.
    for sx in (-1, 1):
        c.save()
        c.move_to(0, -h / 2 + 2)
        c.curve_to(sx * w * 0.4, -h / 2 + 2, sx * (w / 2 - 3), -h * 0.26, sx * (w / 2 - 4), -h * 0.08)
        c.curve_to(sx * w * 0.25, -h * 0.015, sx * 4, -h * 0.01, sx * 2, -h * 0.02)
        c.close_path()
        c.set_source_rgba(*with_alpha(mix("sky", "white", 0.45), 0.9))
        c.fill()
        c.restore()
    rounded_rect(c, -6, -h * 0.36, 12, 24, 6)
    c.set_source(vgradient(-h * 0.36, -h * 0.36 + 24, mix("blue", "white", 0.2), look.rgb("navy")))
    c.fill_preserve()
    c.set_source_rgba(*look.rgb("frame"))
    c.set_line_width(1.6)
    c.stroke()
    c.set_source_rgba(1, 1, 1, 0.55)
    c.set_line_width(1.2)
    for k in range(3):
        yy = -h * 0.36 + 6 + k * 6
        c.move_to(-3.5, yy)
        c.line_to(3.5, yy)
    c.stroke()
    # A highlight on the back.
    c.new_sub_path()
    c.arc(-w * 0.2, h * 0.18, 14, 3.4, 4.4)
    c.set_source_rgba(1, 1, 1, 0.8)
    c.set_line_width(4)
    c.set_line_cap(1)
    c.stroke()
    c.restore()
    put("MOUSE", "ui/mouse.png", s, "RGBA", "246x246 RGBA computer mouse whose cable runs to the keyboard")


# ---------------------------------------------------------------- demonstration cursor

SKIN = (253 / 255, 210 / 255, 189 / 255, 1.0)       # cream mixed with pink and orange
SKIN_LINE = shade(look.rgb("brown"), 0.9)


def hand_mouse(state):
    """46 x 79 hand on a mouse; state: M, MB, MB_PR, MB_R1, MB_R2, ML, MR."""
    def draw(c):
        lit = look.rgb("sun")
        pressed = look.rgb("orange")
        # Mouse body.
        c.save()
        c.translate(23, 32.5)
        mouse_body_path(c, 41, 60)
        c.restore()
        c.set_source(vgradient(3, 62, look.rgb("white"), mix("band", "frame", 0.3)))
        c.fill_preserve()
        c.set_source_rgba(*look.rgb("frame"))
        c.set_line_width(1.5)
        c.stroke()
        # Cable from the front.
        c.set_source_rgba(*look.rgb("frame"))
        c.set_line_width(1.6)
        c.set_line_cap(1)
        c.move_to(23, 2.6)
        c.curve_to(23, 1.2, 25, 0.8, 27, 0.8)
        c.stroke()
        # Button tops, lit when pressed.
        for side, name in ((-1, "ML"), (1, "MR")):
            c.save()
            c.move_to(23 + side * 1.2, 3.6)
            c.curve_to(23 + side * 14, 3.6, 23 + side * 19, 10, 23 + side * 19.4, 21)
            c.line_to(23 + side * 1.2, 23)
            c.close_path()
            if state == name:
                c.set_source_rgba(*lit)
                c.fill_preserve()
                c.set_source_rgba(*pressed)
                c.set_line_width(1.1)
                c.stroke()
            else:
                c.set_source_rgba(*with_alpha(mix("sky", "white", 0.5), 0.9))
                c.fill()
            c.restore()
        c.set_source_rgba(*look.rgb("frame"))
        c.set_line_width(1.0)
        c.move_to(23, 3.2)
        c.line_to(23, 23.5)
        c.move_to(3.8, 21.5)
        c.curve_to(12, 24.5, 34, 24.5, 42.2, 21.5)
        c.stroke()
        # Wheel.
        wy = 8.5 + (1 if state == "MB_PR" else 0)
        wheel = {"MB": lit, "MB_PR": pressed, "MB_R1": lit, "MB_R2": lit}.get(state, mix("blue", "white", 0.1))
        rounded_rect(c, 21, wy, 4, 9, 2)
        c.set_source_rgba(*wheel)
        c.fill_preserve()
        c.set_source_rgba(*look.rgb("navy"))
        c.set_line_width(0.9)
        c.stroke()
        if state in ("MB_R1", "MB_R2"):
            c.set_source_rgba(*look.rgb("navy"))
            c.set_line_width(0.8)
            phase = 0 if state == "MB_R1" else 1.5
            for k in range(3):
                yy = wy + 1.6 + phase + k * 3
                if yy < wy + 8.5:
                    c.move_to(21.6, yy)
                    c.line_to(24.4, yy)
            c.stroke()
            # Little arrows telling the wheel turns.
            c.set_source_rgba(*pressed)
            c.set_line_width(1.1)
            c.move_to(19, 5.8)
            c.line_to(23, 2.6)
            c.line_to(27, 5.8)
            c.stroke()
        # Click marks beside a pressed button.
        if state in ("ML", "MR", "MB_PR"):
            sx = {"ML": -1, "MR": 1, "MB_PR": 1}[state]
            bx = 23 + sx * (17 if state != "MB_PR" else 6)
            c.set_source_rgba(*pressed)
            c.set_line_width(1.2)
            for dx, dy, ex, ey in ((0, -1, 3.5, -3.5), (0.5, 3, 4.5, 2.5), (-1.5, -3, -1.5, -6.5)):
                c.move_to(bx + sx * dx, 4 + dy)
                c.line_to(bx + sx * ex, 4 + ey)
            c.stroke()
        # The hand: sleeve, palm over the back, index and middle fingers on the buttons,
        # the thumb along the left side.
        down = {"ML": (1.2, 0), "MR": (0, 1.2)}.get(state, (0, 0))

        def finger(x, top, width, length):
            rounded_rect(c, x - width / 2, top, width, length, width / 2)
            c.set_source_rgba(*SKIN)
            c.fill_preserve()
            c.set_source_rgba(*SKIN_LINE)
            c.set_line_width(1.1)
            c.stroke()
            c.new_sub_path()
            c.arc(x, top + width / 2 + 0.4, width / 2 - 1.6, math.pi * 1.1, math.pi * 1.9)
            c.set_source_rgba(1, 1, 1, 0.7)
            c.set_line_width(0.9)
            c.stroke()
        finger(17, 13 + down[0], 7.4, 30)
        finger(29, 11.5 + down[1], 7.4, 31)
        # Ring finger resting on the right side.
        finger(36.5, 26, 6.4, 20)
        # Thumb on the left side.
        c.save()
        c.translate(10, 45)
        c.rotate(-0.35)
        rounded_rect(c, -3.6, -11, 7.2, 19, 3.6)
        c.restore()
        c.set_source_rgba(*SKIN)
        c.fill_preserve()
        c.set_source_rgba(*SKIN_LINE)
        c.set_line_width(1.1)
        c.stroke()
        # Palm.
        c.move_to(11.5, 37)
        c.curve_to(15, 32, 34, 31, 39.5, 38)
        c.curve_to(41, 47, 39, 58, 34, 64)
        c.line_to(14, 64)
        c.curve_to(10, 57, 9.5, 45, 11.5, 37)
        c.close_path()
        c.set_source_rgba(*SKIN)
        c.fill_preserve()
        c.set_source_rgba(*SKIN_LINE)
        c.set_line_width(1.1)
        c.stroke()
        # Knuckle creases.
        c.set_source_rgba(*with_alpha(SKIN_LINE, 0.55))
        c.set_line_width(0.9)
        for x in (17, 29):
            c.move_to(x - 2.2, 38.5)
            c.curve_to(x - 1, 37.6, x + 1, 37.6, x + 2.2, 38.5)
        c.stroke()
        # Sleeve cuff.
        rounded_rect(c, 12, 62, 24.5, 17.5, 4)
        c.set_source(vgradient(62, 79, mix("blue", "white", 0.15), look.rgb("blue")))
        c.fill_preserve()
        c.set_source_rgba(*look.rgb("navy"))
        c.set_line_width(1.2)
        c.stroke()
        c.set_source_rgba(1, 1, 1, 0.6)
        c.set_line_width(1.2)
        c.move_to(14, 65.5)
        c.line_to(34.5, 65.5)
        c.stroke()
    words = {"M": "no button pressed", "MB": "wheel highlighted", "MB_PR": "wheel pressed",
             "MB_R1": "wheel turned, first frame", "MB_R2": "wheel turned, second frame",
             "ML": "left button pressed", "MR": "right button pressed"}
    put("MOUSE_" + state, f"ui/mouse_{state.lower()}.png", canvas.supersampled(46, 79, 4, draw), "RGBA",
        f"46x79 RGBA hand on a mouse, {words[state]}")


def cursor_arrow():
    def draw(c):
        pts = [(0.6, 0.6), (0.6, 16.4), (4.4, 12.9), (7.2, 19.8), (9.6, 18.8), (6.9, 12.0), (11.4, 12.0)]
        c.move_to(*pts[0])
        for p in pts[1:]:
            c.line_to(*p)
        c.close_path()
        c.set_source_rgba(1, 1, 1, 1)
        c.fill_preserve()
        c.set_source_rgba(0, 0, 0, 1)
        c.set_line_width(1.1)
        c.set_line_join(0)
        c.stroke()
    put("CURSOR", "ui/cursor.png", canvas.supersampled(12, 21, 8, draw), "RGBA",
        "12x21 RGBA arrow pointer, tip at (0, 0)")


# ---------------------------------------------------------------- icon

def piece_path(x, y, s, edges):
    """SVG path of a square jigsaw piece at (x, y), side s; edges top, right, bottom, left:
    +1 knob out, -1 hole in, 0 flat."""
    r = s * 0.15
    neck = r * 0.62
    pts = [((x, y), (1, 0), (0, -1)), ((x + s, y), (0, 1), (1, 0)),
           ((x + s, y + s), (-1, 0), (0, 1)), ((x, y + s), (0, -1), (-1, 0))]
    d = [f"M {x:.2f} {y:.2f}"]
    for (p, along, out), kind in zip(pts, edges):
        if kind:
            mx, my = p[0] + along[0] * s / 2, p[1] + along[1] * s / 2
            a = (mx - along[0] * neck, my - along[1] * neck)
            b = (mx + along[0] * neck, my + along[1] * neck)
            # The large arc bulges outwards (knob) or inwards (hole).
            sweep = 1 if kind > 0 else 0
            d.append(f"L {a[0]:.2f} {a[1]:.2f}")
            d.append(f"A {r:.2f} {r:.2f} 0 1 {sweep} {b[0]:.2f} {b[1]:.2f}")
        q = (p[0] + along[0] * s, p[1] + along[1] * s)
        d.append(f"L {q[0]:.2f} {q[1]:.2f}")
    d.append("Z")
    return " ".join(d)


def hexcol(name, factor=1.0):
    r, g, b = look.PALETTE[name]
    if factor < 1:
        r, g, b = (int(v * factor) for v in (r, g, b))
    return f"#{r:02x}{g:02x}{b:02x}"


def icon_svg():
    s = 84
    x0, y0 = 44, 48
    pieces = [  # colour, column, row, edges (top, right, bottom, left), lift
        ("sun", 0, 0, (0, 1, 1, 0), (0, 0)),
        ("red", 1, 0, (0, 0, 1, -1), (0, 0)),
        ("grass", 0, 1, (-1, 1, 0, 0), (0, 0)),
        ("blue", 1, 1, (-1, 0, 0, -1), (22, 18)),
    ]
    parts = []
    for colour, col, row, edges, lift in pieces:
        px, py = x0 + col * s + lift[0], y0 + row * s + lift[1]
        d = piece_path(px, py, s, edges)
        if lift != (0, 0):
            parts.append(f'<path d="{piece_path(px + 5, py + 7, s, edges)}" fill="#072134" fill-opacity="0.25"/>')
        parts.append(f'<path d="{d}" fill="{hexcol(colour)}" stroke="{hexcol(colour, 0.62)}" '
                     f'stroke-width="5" stroke-linejoin="round"/>')
        parts.append(f'<path d="{d}" fill="url(#shine)" stroke="none"/>')
    empty = piece_path(x0 + s, y0 + s, s, (-1, 0, 0, -1))
    svg = f"""<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="256" height="256" viewBox="0 0 256 256">
  <defs>
    <linearGradient id="ground" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="{hexcol('sky')}"/>
      <stop offset="1" stop-color="{hexcol('blue')}"/>
    </linearGradient>
    <linearGradient id="shine" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#ffffff" stop-opacity="0.35"/>
      <stop offset="0.5" stop-color="#ffffff" stop-opacity="0"/>
    </linearGradient>
  </defs>
  <rect x="8" y="8" width="240" height="240" rx="48" fill="url(#ground)" stroke="{hexcol('navy')}" stroke-width="6"/>
  <path d="{empty}" fill="{hexcol('navy')}" fill-opacity="0.35"/>
  {chr(10).join('  ' + p for p in parts).strip()}
</svg>
"""
    return svg


def icons():
    folder = os.path.join(ROOT, "data", "icons")
    os.makedirs(folder, exist_ok=True)
    svg_path = os.path.join(folder, "tirlan.svg")
    with open(svg_path, "w", encoding="utf-8") as f:
        f.write(icon_svg())
    for size in (48, 64, 128, 256):
        png = subprocess.run(["rsvg-convert", "-w", str(size), "-h", str(size), svg_path],
                             check=True, capture_output=True).stdout
        tmp = os.path.join(folder, f".tmp-{size}.png")
        with open(tmp, "wb") as f:
            f.write(png)
        img = Image.open(tmp).convert("RGBA")
        img.load()
        os.remove(tmp)
        img.save(os.path.join(folder, f"tirlan-{size}.png"), format="PNG", optimize=True, compress_level=9)
    rows.append(("500", "icons/tirlan-64.png", "64x64 RGBA window icon"))


def main():
    praise_cloud()
    keyboard()
    big_mouse()
    key_space()
    for state in ("M", "MB", "MB_PR", "MB_R1", "MB_R2", "ML", "MR"):
        hand_mouse(state)
    cursor_arrow()
    icons()
    with open(os.path.join(ROOT, "data", "ui.tsv"), "w", encoding="utf-8") as f:
        f.write("# The screens' own pictures and the window icon; made by tools/assets/ui/make.sh.\n")
        f.write("# key\tfile\tcomment\n")
        for key, rel, comment in rows:
            f.write(f"{key}\t{rel}\t{comment}\n")


if __name__ == "__main__":
    main()
