"""Draws the framework skin (screen background, buttons, key caps, scroll, slider, check, radio and
edit-field parts, caret, selection mask) and the text view's mark pictures into data/skin/, and
writes data/skin.tsv.

Run with /usr/bin/python3 from anywhere: python3 tools/assets/skin/make_skin.py [repository root]
"""
import math
import os
import sys

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import canvas  # noqa: E402
from canvas import look, mix, with_alpha, rounded_rect, vgradient  # noqa: E402

ROOT = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else
                       os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", ".."))
OUT = os.path.join(ROOT, "data", "skin")
rows = []   # (key, relative file, comment)


def put(name, arr_or_surf, mode, comment):
    rel = f"skin/{name}.png"
    path = os.path.join(ROOT, "data", rel)
    if isinstance(arr_or_surf, np.ndarray):
        canvas.write_array(arr_or_surf, path, mode)
    else:
        canvas.save(arr_or_surf, path, mode)
    rows.append((name, rel, comment))


# ---------------------------------------------------------------- background

def background():
    w, h = 800, 600
    s, c = canvas.new(w, h)
    c.set_source_rgba(*look.rgb("paper"))
    c.paint()
    # Below the band the screen is plain paper: the opaque key caps and check boxes are drawn on
    # that colour and must sit on it without a visible box.
    c.set_source(vgradient(0, 64, mix("band", "white", 0.25), look.rgb("band")))
    c.rectangle(0, 0, w, 64)
    c.fill()
    # A soft shadow under the band.
    c.set_source(vgradient(64, 70, with_alpha(look.rgb("frame"), 0.16), with_alpha(look.rgb("frame"), 0.0)))
    c.rectangle(0, 64, w, 6)
    c.fill()
    # A playful stripe of the palette's colours along the band's lower edge.
    colours = ["blue", "grass", "sun", "orange", "red", "purple", "sky"]
    seg = w / len(colours)
    for i, name in enumerate(colours):
        c.set_source_rgba(*look.rgb(name))
        c.rectangle(round(i * seg), 61, round((i + 1) * seg) - round(i * seg), 3)
        c.fill()
    put("DefaultBackGround", s, "RGB", "800x600 RGB screen background, darker band 64 px high at the top")


# ---------------------------------------------------------------- buttons

BUTTON_FONT = 14
GREEN = (mix("grass", "leaf", 0.35), look.rgb("leaf"))   # face top, face bottom
RED = (canvas.mix("red", "orange", 0.18), look.rgb("red"))


def shade_of(c, factor):
    if factor <= 1.0:
        return (c[0] * factor, c[1] * factor, c[2] * factor, 1.0)
    t = factor - 1.0
    return tuple(x + (1.0 - x) * t for x in c[:3]) + (1.0,)


def button(name, w, caption, colours, state):
    """state: '' normal, 'Nuv' under the mouse (lighter), 'Klick' pressed (darker, one pixel lower right)."""
    h = 47
    s, c = canvas.new(w, h)
    top, bottom = colours
    if state == "Nuv":
        top, bottom = shade_of(top, 1.16), shade_of(bottom, 1.14)
    elif state == "Klick":
        top, bottom = shade_of(top, 0.84), shade_of(bottom, 0.82)
    shift = 1 if state == "Klick" else 0
    fw, fh = w - 3, h - 6            # face size
    fx, fy = 1 + shift, 1 + shift      # face corner
    radius = 11
    lip = shade_of(look.rgb("leaf") if colours is GREEN else look.rgb("red"), 0.62)
    if state == "Nuv":
        lip = shade_of(lip, 1.12)
    outline = shade_of(lip, 0.75)
    # Soft drop shadow on the ground, then the button's side (lip) below the face.
    rounded_rect(c, 1.5, 4.5, w - 3, h - 5, radius)
    c.set_source_rgba(*with_alpha(look.rgb("ink"), 0.18))
    c.fill()
    rounded_rect(c, 1, 4, fw, h - 6, radius)
    c.set_source_rgba(*lip)
    c.fill_preserve()
    c.set_source_rgba(*outline)
    c.set_line_width(1.5)
    c.stroke()
    # The face.
    rounded_rect(c, fx, fy, fw, fh, radius)
    c.set_source(vgradient(fy, fy + fh, top, bottom))
    c.fill_preserve()
    c.set_source_rgba(*outline)
    c.set_line_width(1.5)
    c.stroke()
    # Glossy highlight on the upper half of the face.
    rounded_rect(c, fx + 4, fy + 2.5, fw - 8, fh * 0.42, radius - 4)
    c.set_source(vgradient(fy + 2, fy + 2 + fh * 0.42, (1, 1, 1, 0.42), (1, 1, 1, 0.06)))
    c.fill()
    # The caption, white with a dark shadow for contrast.
    canvas.caption_font(c, BUTTON_FONT)
    xb, yb, tw, th, _ = canvas.text_box(c, caption)
    if tw > fw - 10:
        raise ValueError(f"{name}: caption «{caption}» ({tw:.1f} px) does not fit {fw - 10} px")
    canvas.draw_centered_text(c, caption, fx + fw / 2.0, fy + fh / 2.0, (1, 1, 1, 1),
                              shadow=(with_alpha(shade_of(bottom, 0.45), 0.85), 0, 1.2))
    label = {"": "normal", "Nuv": "under the mouse (lighter)", "Klick": "pressed (darker, shifted 1 px)"}[state]
    put(name + state, s, "RGBA", f"{w}x47 RGBA button «{caption}», {label}")


BUTTONS = [  # name, width, caption, colours
    ("PrintButton", 84, "Печать", GREEN),
    ("SaveAsButton", 148, "Сохранить как...", GREEN),
    ("RetryButton", 109, "Повторить", GREEN),
    ("CloseButton", 111, "Закрыть", RED),
    ("StartPopStartButton", 84, "Пуск", GREEN),
    ("SubmitButton", 109, "Применить", GREEN),
    ("OptionsButton", 109, "Настройки", GREEN),
    ("CancelButton", 111, "Отмена", RED),
]


def exit_button():
    def draw(c):
        rounded_rect(c, 1, 1.5, 19, 19, 5)
        c.set_source_rgba(*with_alpha(look.rgb("ink"), 0.2))
        c.fill()
        rounded_rect(c, 1, 0.75, 19, 18.5, 5)
        c.set_source(vgradient(1, 19, mix("red", "orange", 0.25), shade_of(look.rgb("red"), 0.9)))
        c.fill_preserve()
        c.set_source_rgba(*shade_of(look.rgb("red"), 0.55))
        c.set_line_width(1.3)
        c.stroke()
        c.set_source_rgba(1, 1, 1, 1)
        c.set_line_width(2.6)
        c.set_line_cap(1)  # round
        c.move_to(6.2, 5.2)
        c.line_to(14.8, 13.8)
        c.move_to(14.8, 5.2)
        c.line_to(6.2, 13.8)
        c.stroke()
    put("ExitButton", canvas.supersampled(21, 21, 4, draw), "RGBA", "21x21 RGBA red close box with a white cross")


def key_cap(name, label):
    """37 x 25 opaque key cap on the paper colour the start screen shows behind it."""
    def draw(c):
        c.set_source_rgba(*look.rgb("paper"))
        c.paint()
        rounded_rect(c, 1, 2, 35, 22.5, 4.5)
        c.set_source_rgba(*mix("band", "frame", 0.45))
        c.fill_preserve()
        c.set_source_rgba(*look.rgb("frame"))
        c.set_line_width(1.1)
        c.stroke()
        rounded_rect(c, 1, 0.6, 35, 19.6, 4.5)
        c.set_source(vgradient(0.6, 20, look.rgb("white"), mix("panel", "band", 0.4)))
        c.fill_preserve()
        c.set_source_rgba(*look.rgb("frame"))
        c.set_line_width(1.1)
        c.stroke()
        canvas.caption_font(c, 10.5)
        canvas.draw_centered_text(c, label, 18.5, 10.6, look.rgb("ink"))
    put(name, canvas.supersampled(37, 25, 4, draw), "RGB", f"37x25 RGB key cap labelled {label}")


# ---------------------------------------------------------------- slider knobs

def slider(name, w, h, hover, vertical_track):
    def draw(c):
        base = look.rgb("blue")
        if hover:
            base = shade_of(base, 1.2)
        rounded_rect(c, 0.75, 0.75, w - 1.5, h - 1.5, min(w, h) / 2.6)
        c.set_source(vgradient(0, h, shade_of(base, 1.18), shade_of(base, 0.88)))
        c.fill_preserve()
        c.set_source_rgba(*look.rgb("navy"))
        c.set_line_width(1.2)
        c.stroke()
        c.set_source_rgba(1, 1, 1, 0.85)
        c.set_line_width(1.0)
        if vertical_track:      # knob wider than high: two short vertical grip lines
            for x in (w / 2 - 2, w / 2 + 2):
                c.move_to(x, 3)
                c.line_to(x, h - 3)
        else:                   # knob higher than wide: horizontal grip lines
            for y in (h / 2 - 3, h / 2, h / 2 + 3):
                c.move_to(3, y)
                c.line_to(w - 3, y)
        c.stroke()
    desc = ("vertical" if vertical_track else "horizontal") + (" track, under the mouse" if hover else " track")
    put(name, canvas.supersampled(w, h, 4, draw), "RGBA", f"{w}x{h} RGBA slider knob for a {desc}")


# ---------------------------------------------------------------- scroll bar

TRACK = mix("band", "panel", 0.3)
TRACK_EDGE = mix("band", "frame", 0.25)
THUMB = look.rgb("blue")


def scroll_track_profile():
    """16 colours across the track, outside to outside."""
    cols = [TRACK] * 16
    cols[0] = cols[15] = TRACK_EDGE
    cols[1] = mix(TRACK, "frame", 0.08)
    return cols


def scroll_thumb_profile():
    """16 colours across the thumb: a blue bar with a light centre on the track."""
    track = scroll_track_profile()
    cols = list(track[:2]) + [None] * 12 + list(track[14:])
    cols[2] = cols[13] = look.rgb("navy")
    for i in range(3, 13):
        t = abs(i - 7.5) / 5.0              # 0 in the middle, 1 at the edges
        cols[i] = mix(mix("blue", "white", 0.32), "blue", t)
    return cols


def profile_array(cols, horizontal_slice):
    """A 16 x 1 (or 1 x 16) opaque array from a list of 16 colours."""
    arr = np.zeros((1, 16, 4), np.uint8)
    for i, col in enumerate(cols):
        arr[0, i, :3] = [round(v * 255) for v in col[:3]]
        arr[0, i, 3] = 255
    return arr if horizontal_slice else arr.transpose(1, 0, 2)


def scroll_parts():
    thumb = profile_array(scroll_thumb_profile(), True)
    put("ScrollSlider", np.repeat(thumb, 2, axis=0), "RGB", "16x2 RGB vertical scroll thumb slice")
    put("ScrollSliderHorizontal", np.repeat(profile_array(scroll_thumb_profile(), False), 2, axis=1), "RGB",
        "2x16 RGB horizontal scroll thumb slice")
    put("ScrollBackground", np.repeat(profile_array(scroll_track_profile(), True), 16, axis=0), "RGB",
        "16x16 RGB scroll track")
    for name, up in (("ScrollButtonUp", True), ("ScrollButtonDown", False)):
        def draw(c, up=up):
            rounded_rect(c, 0.75, 0.75, 14.5, 14.5, 3.5)
            c.set_source(vgradient(0, 16, mix("blue", "white", 0.25), look.rgb("blue")))
            c.fill_preserve()
            c.set_source_rgba(*look.rgb("navy"))
            c.set_line_width(1.2)
            c.stroke()
            c.set_source_rgba(1, 1, 1, 1)
            if up:
                c.move_to(8, 4.6)
                c.line_to(12, 10.2)
                c.line_to(4, 10.2)
            else:
                c.move_to(8, 11.4)
                c.line_to(12, 5.8)
                c.line_to(4, 5.8)
            c.close_path()
            c.set_line_join(1)
            c.set_line_width(1.0)
            c.fill_preserve()
            c.stroke()
        put(name, canvas.supersampled(16, 16, 4, draw), "RGBA",
            "16x16 RGBA scroll arrow " + ("up" if up else "down"))


# ---------------------------------------------------------------- check and radio boxes

def check_box(name, checked, disabled):
    def draw(c):
        c.set_source_rgba(*look.rgb("paper"))
        c.paint()
        rounded_rect(c, 1.5, 1.5, 13, 13, 3)
        c.set_source_rgba(*(mix("panel", "band", 0.5) if disabled else look.rgb("white")))
        c.fill_preserve()
        c.set_source_rgba(*(mix("frame", "paper", 0.55) if disabled else look.rgb("frame")))
        c.set_line_width(1.4)
        c.stroke()
        if checked:
            c.set_source_rgba(*(mix("frame", "paper", 0.5) if disabled else look.rgb("leaf")))
            c.set_line_width(2.3)
            c.set_line_cap(1)
            c.set_line_join(1)
            c.move_to(4.4, 8.2)
            c.line_to(7.0, 10.9)
            c.line_to(11.8, 5.0)
            c.stroke()
    state = ("disabled, " if disabled else "") + ("ticked" if checked else "empty")
    put(name, canvas.supersampled(16, 16, 4, draw), "RGB", f"16x16 RGB check box, {state}")


def radio_button(name, checked, disabled):
    def draw(c):
        c.arc(8, 8, 6.8, 0, 2 * math.pi)
        c.set_source_rgba(*(mix("panel", "band", 0.5) if disabled else look.rgb("white")))
        c.fill_preserve()
        c.set_source_rgba(*(mix("frame", "paper", 0.55) if disabled else look.rgb("frame")))
        c.set_line_width(1.4)
        c.stroke()
        if checked:
            c.arc(8, 8, 3.4, 0, 2 * math.pi)
            c.set_source_rgba(*(mix("frame", "paper", 0.5) if disabled else look.rgb("blue")))
            c.fill()
    state = ("disabled, " if disabled else "") + ("set" if checked else "empty")
    put(name, canvas.supersampled(16, 16, 4, draw), "RGBA", f"16x16 RGBA radio button, {state}")


# ---------------------------------------------------------------- edit field

def edit_bar_parts():
    put("EditBarBackGround", np.array([[[255, 255, 255, 255]]], np.uint8), "RGB", "1x1 RGB white field fill")

    # One 24 x 24 framed field; corners and edge slices are cut from it so they join seamlessly.
    def draw(c):
        rounded_rect(c, 0.75, 0.75, 22.5, 22.5, 6.5)
        c.set_source_rgba(*look.rgb("white"))
        c.fill_preserve()
        c.set_source_rgba(*look.rgb("frame"))
        c.set_line_width(1.5)
        c.stroke()
    field = canvas.supersampled(24, 24, 4, draw)
    corners = {"LT": field[0:8, 0:8], "RT": field[0:8, 16:24], "LB": field[16:24, 0:8], "RB": field[16:24, 16:24]}
    words = {"LT": "top left", "RT": "top right", "LB": "bottom left", "RB": "bottom right"}
    for key in ("LT", "RT", "LB", "RB"):
        put("EditBarCorner" + key, np.ascontiguousarray(corners[key]), "RGBA",
            f"8x8 RGBA edit-field frame corner, {words[key]}")
    edges = {"L": field[12:13, 0:8], "R": field[12:13, 16:24], "T": field[0:8, 12:13], "B": field[16:24, 12:13]}
    words = {"L": "left", "R": "right", "T": "top", "B": "bottom"}
    for key in ("L", "R", "T", "B"):
        e = np.ascontiguousarray(edges[key])
        put("EditBarBorder" + key, e, "RGB", f"{e.shape[1]}x{e.shape[0]} RGB edit-field frame edge, {words[key]}")
    caret = np.zeros((19, 1, 4), np.uint8)
    caret[..., 3] = 255
    put("EditBarKaretka", caret, "RGB", "1x19 RGB black text caret")
    mask = np.array([[[0, 86, 255, 28]]], np.uint8)
    put("SelectionMask", mask, "RGBA", "1x1 RGBA translucent blue (0, 86, 255, alpha 28) selection highlight")


# ---------------------------------------------------------------- text view marks

MARK = with_alpha(mix("frame", "sky", 0.35), 1.0)


def marks():
    def tab(c):
        c.set_source_rgba(*MARK)
        c.set_line_width(1.0)
        c.set_line_cap(1)
        c.set_line_join(1)
        c.move_to(0.8, 2.5)
        c.line_to(8.6, 2.5)
        c.stroke()
        c.move_to(9.6, 2.5)
        c.line_to(6.4, 0.3)
        c.line_to(6.4, 4.7)
        c.close_path()
        c.fill()
    put("mark_tab_png", canvas.supersampled(10, 5, 6, tab), "RGBA", "10x5 RGBA visible mark of a tab (arrow)")

    def line_feed(c):
        # A return arrow: down from the top right, then left along the baseline.
        c.set_source_rgba(*MARK)
        c.set_line_width(1.3)
        c.set_line_cap(1)
        c.set_line_join(1)
        c.move_to(8.8, 6.0)
        c.line_to(8.8, 13.5)
        c.line_to(3.6, 13.5)
        c.stroke()
        c.move_to(1.2, 13.5)
        c.line_to(4.6, 10.8)
        c.line_to(4.6, 16.2)
        c.close_path()
        c.fill()
    put("mark_linefeed_png", canvas.supersampled(11, 21, 6, line_feed), "RGBA",
        "11x21 RGBA visible mark of a line feed (return arrow)")

    def carriage_return(c):
        # A pilcrow: a filled bowl and two stems.
        c.set_source_rgba(*MARK)
        c.arc(5.0, 8.2, 2.7, math.pi / 2, 3 * math.pi / 2)
        c.line_to(6.0, 5.5)
        c.line_to(6.0, 10.9)
        c.close_path()
        c.fill()
        c.set_line_width(1.1)
        c.move_to(6.4, 5.5)
        c.line_to(9.6, 5.5)
        c.move_to(6.6, 5.5)
        c.line_to(6.6, 16.5)
        c.move_to(8.8, 5.5)
        c.line_to(8.8, 16.5)
        c.stroke()
    put("mark_return_png", canvas.supersampled(11, 21, 6, carriage_return), "RGBA",
        "11x21 RGBA visible mark of a carriage return (pilcrow)")

    def space(c):
        c.set_source_rgba(*MARK)
        c.arc(1.5, 1.5, 1.05, 0, 2 * math.pi)
        c.fill()
    put("mark_space_png", canvas.supersampled(3, 3, 8, space), "RGBA", "3x3 RGBA visible mark of a space (dot)")

    put("linefeed_png", np.zeros((1, 1, 4), np.uint8), "RGBA", "1x1 RGBA transparent glyph of a line feed")


def main():
    background()
    exit_button()
    # Rows in registration order: five buttons, the three key caps, three more buttons, then the
    # pressed and the hover states of all eight.
    for name, w, caption, colours in BUTTONS[:5]:
        button(name, w, caption, colours, "")
    key_cap("EscButton", "Esc")
    key_cap("F1Button", "F1")
    key_cap("F12Button", "F12")
    for name, w, caption, colours in BUTTONS[5:]:
        button(name, w, caption, colours, "")
    for state in ("Klick", "Nuv"):
        for name, w, caption, colours in BUTTONS:
            button(name, w, caption, colours, state)
    slider("SliderSliderVertical", 19, 10, False, True)
    slider("SliderSliderVerticalHover", 19, 10, True, True)
    slider("SliderSliderHorizontal", 11, 20, False, False)
    slider("SliderSliderHorizontalHover", 11, 20, True, False)
    scroll_parts()
    check_box("CheckBoxUnchecked", False, False)
    check_box("CheckBoxChecked", True, False)
    radio_button("RadioButtonUnchecked", False, False)
    radio_button("RadioButtonChecked", True, False)
    check_box("CheckBoxDisUnchecked", False, True)
    check_box("CheckBoxDisChecked", True, True)
    radio_button("RadioButtonDisUnchecked", False, True)
    radio_button("RadioButtonDisChecked", True, True)
    edit_bar_parts()
    marks()

    with open(os.path.join(ROOT, "data", "skin.tsv"), "w", encoding="utf-8") as f:
        f.write("# The framework skin and the text view's mark pictures; made by tools/assets/skin/make.sh.\n")
        f.write("# key\tfile\tcomment\n")
        for key, rel, comment in rows:
            f.write(f"{key}\t{rel}\t{comment}\n")


if __name__ == "__main__":
    main()
