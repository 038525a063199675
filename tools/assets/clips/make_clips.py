"""Makes the five praise clips and the table data/clips.tsv.

One character for all five: Sunny, a round sun-yellow fellow with white gloves and blue shoes, who
acts out each praise word: claps (bravo), holds up a big star (gotovo), waves and winks (molodec),
jumps for joy (otlichno) and cheers under a burst of confetti (ura). Each clip is 26 frames at 12
frames per second. The view shows it at 320 x 200 inside the praise cloud, so every frame is drawn
for 320 x 200 and stretched to the stored 320 x 240; its border fades into the cloud's colour.

Run with /usr/bin/python3 (tools/assets/clips/make.sh). Deterministic: fixed seeds, ffmpeg's
bit-exact mode (fixed stream serials, no encoder tags).
"""

import math
import os
import random
import shutil
import subprocess
import sys
import tempfile

import cairo
import numpy

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "assets", "common"))
import look  # noqa: E402

DATA = os.path.join(ROOT, "data")
FRAMES = 26
FPS = 12
VIEW_W, VIEW_H = 320, 200          # as shown by the praise
STORE_W, STORE_H = 320, 240        # as stored in the clip
EDGE = 10                          # border, in view pixels, that fades into the cloud colour
SCENE_SCALE = 1.12                 # the scene below is laid out at 1:1 and drawn this much larger
SCENE_RAISE = 6.0                  # and this much higher, keeping the shadow clear of the faded border

CLIPS = [
    ("bravo_clip", "clips/bravo.ogg", "bravo", "claps his hands"),
    ("gotovo_clip", "clips/gotovo.ogg", "gotovo", "holds up a big shining star"),
    ("molodec_clip", "clips/molodec.ogg", "molodec", "waves and winks"),
    ("otlichno_clip", "clips/otlichno.ogg", "otlichno", "jumps for joy"),
    ("ura_clip", "clips/ura.ogg", "ura", "cheers under a burst of confetti"),
]

GROUND = 184.0       # where the shoes touch down
STAND_Y = 120.0      # body centre when standing
BODY_RX, BODY_RY = 38.0, 36.0
OUTLINE = look.shade("orange", 0.72)
SKIN = look.rgb("sun")
INK = look.rgb("ink")
LINE = 2.5


def ease(t):
    """Smooth 0..1 ramp."""
    t = min(max(t, 0.0), 1.0)
    return t * t * (3 - 2 * t)


def ramp(f, a, b):
    """0 before frame a, 1 after frame b, smooth between."""
    return ease((f - a) / float(b - a))


def back_out(t):
    """0..1 with a little overshoot, for things that pop in."""
    t = min(max(t, 0.0), 1.0)
    s = 1.9
    t -= 1.0
    return t * t * ((s + 1) * t + s) + 1.0


def lerp(a, b, t):
    return a + (b - a) * t


def lerp2(p, q, t):
    return (lerp(p[0], q[0], t), lerp(p[1], q[1], t))


class Pose:
    """Everything that changes from frame to frame; positions of hands are relative to the body centre."""

    def __init__(self):
        self.x = VIEW_W / 2.0
        self.lift = 0.0            # height above standing
        self.squash = 0.0          # > 0 squashes (landing), < 0 stretches (take-off)
        self.tilt = 0.0            # degrees, positive leans right
        self.hands = [(-44.0, 26.0), (44.0, 26.0)]
        self.tuck = 0.0            # 0 feet on the ground, 1 feet tucked in the air
        self.eyes = "open"         # open, blink, happy, wink
        self.look = (0.0, 0.0)
        self.mouth = 0.0           # 0 closed smile .. 1 wide open
        self.front = []            # drawing functions over the character
        self.back = []             # drawing functions behind the character


def speaking(f, first=1, last=10):
    """Mouth opening while the word is being said (the sound speaks it in the first 0.8 s)."""
    if first <= f <= last:
        return 0.35 + 0.45 * abs(math.sin((f - first) * 1.25 + 0.6))
    return None


def path_star(ctx, cx, cy, r_out, r_in, points, turn):
    for i in range(points * 2):
        r = r_out if i % 2 == 0 else r_in
        a = turn + math.pi * i / points - math.pi / 2
        (ctx.move_to if i == 0 else ctx.line_to)(cx + r * math.cos(a), cy + r * math.sin(a))
    ctx.close_path()


def fill_outlined(ctx, fill, outline, width=LINE):
    ctx.set_source_rgba(*fill)
    ctx.fill_preserve()
    ctx.set_source_rgba(*outline)
    ctx.set_line_width(width)
    ctx.stroke()


def sparkle(ctx, x, y, size, colour, alpha=1.0):
    """A four-pointed twinkle."""
    ctx.move_to(x, y - size)
    for dx, dy in ((1, 0), (0, 1), (-1, 0), (0, -1)):
        ctx.curve_to(x, y, x, y, x + dx * size, y + dy * size)
    ctx.close_path()
    ctx.set_source_rgba(*colour[:3], alpha)
    ctx.fill()


def noodle(ctx, a, b, bulge, width):
    """A rubber-hose limb from a to b, bowed by bulge away from the body's centre line."""
    mx, my = (a[0] + b[0]) / 2, (a[1] + b[1]) / 2
    dx, dy = b[0] - a[0], b[1] - a[1]
    n = math.hypot(dx, dy) or 1.0
    cx, cy = mx - dy / n * bulge, my + dx / n * bulge
    other = (mx + dy / n * bulge, my - dx / n * bulge)
    if abs(other[0]) > abs(cx):
        cx, cy = other
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    for w, col in ((width + 2 * LINE, OUTLINE), (width, SKIN)):
        ctx.move_to(*a)
        ctx.curve_to(cx, cy, cx, cy, *b)
        ctx.set_line_width(w)
        ctx.set_source_rgba(*col)
        ctx.stroke()


def draw_character(ctx, p):
    by = STAND_Y - p.lift
    sx = 1.0 + 0.10 * p.squash
    sy = 1.0 - 0.12 * p.squash
    # Shadow on the ground: smaller and fainter the higher he is.
    k = max(0.35, 1.0 - p.lift / 60.0)
    ctx.save()
    ctx.translate(p.x, GROUND + 1)
    ctx.scale(36 * k, 5 * k)
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()
    ctx.set_source_rgba(*look.rgb("band", 0.9 * k))
    ctx.fill()

    for fn in p.back:
        fn(ctx)

    ctx.save()
    ctx.translate(p.x, by)
    ctx.rotate(math.radians(p.tilt))
    bottom = BODY_RY * sy
    # Legs and shoes: the feet stay on the ground unless he is in the air.
    for side in (-1, 1):
        hip = (side * 14 * sx, bottom - 8)
        foot_ground = (side * 17, GROUND - 6 - by)
        foot_air = (side * 19, bottom + 16)
        foot = lerp2(foot_ground, foot_air, p.tuck) if p.lift > 0 else foot_ground
        noodle(ctx, hip, foot, 2, 7)
        ctx.save()
        ctx.translate(foot[0] + side * 4, foot[1] + 1)
        ctx.scale(11, 6.5)
        ctx.arc(0, 0, 1, 0, 2 * math.pi)
        ctx.restore()
        fill_outlined(ctx, look.rgb("blue"), look.rgb("navy"))
        ctx.save()
        ctx.translate(foot[0] + side * 7, foot[1] - 1.5)
        ctx.scale(3.5, 2)
        ctx.arc(0, 0, 1, 0, 2 * math.pi)
        ctx.restore()
        ctx.set_source_rgba(*look.shade("blue", 1.5))
        ctx.fill()

    draw_arms(ctx, p, sx, sy, raised=True)

    # Body.
    ctx.save()
    ctx.scale(BODY_RX * sx, BODY_RY * sy)
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()
    fill_outlined(ctx, SKIN, OUTLINE, 3)
    ctx.save()
    ctx.translate(0, 17 * sy)
    ctx.scale(21 * sx, 14 * sy)
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()
    ctx.set_source_rgba(*look.rgb("cream"))
    ctx.fill()
    # A soft highlight, upper left.
    ctx.save()
    ctx.translate(-17 * sx, -20 * sy)
    ctx.rotate(-0.6)
    ctx.scale(9, 5)
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()
    ctx.set_source_rgba(*look.shade("sun", 1.55))
    ctx.fill()

    # Tuft of hair.
    top = -BODY_RY * sy
    ctx.move_to(-9, top + 4)
    ctx.curve_to(-10, top - 8, 0, top - 16, 4, top - 12)
    ctx.curve_to(-2, top - 10, 0, top - 4, 9, top + 4)
    ctx.close_path()
    fill_outlined(ctx, look.rgb("orange"), OUTLINE)

    draw_face(ctx, p, sx, sy)

    draw_arms(ctx, p, sx, sy, raised=False)
    ctx.restore()

    for fn in p.front:
        fn(ctx)


def draw_arms(ctx, p, sx, sy, raised):
    """The arms with their white gloves: raised ones come from behind the body, the others in front."""
    for side, hand in zip((-1, 1), p.hands):
        shoulder = (side * 31 * sx, 6 * sy)
        if (hand[1] < shoulder[1] - 12) != raised:
            continue
        noodle(ctx, shoulder, hand, 5, 7)
        ctx.arc(hand[0], hand[1], 7.5, 0, 2 * math.pi)
        fill_outlined(ctx, look.rgb("white"), OUTLINE)


def draw_face(ctx, p, sx, sy):
    # Cheeks.
    for side in (-1, 1):
        ctx.save()
        ctx.translate(side * 24 * sx, 6 * sy)
        ctx.scale(6.5, 4.2)
        ctx.arc(0, 0, 1, 0, 2 * math.pi)
        ctx.restore()
        ctx.set_source_rgba(*look.rgb("pink", 0.85))
        ctx.fill()
    # Eyes.
    for side in (-1, 1):
        ex, ey = side * 12.5 * sx, -9 * sy
        style = p.eyes
        if style == "wink":
            style = "happy" if side < 0 else "open"
        ctx.set_line_cap(cairo.LINE_CAP_ROUND)
        if style == "open":
            ctx.save()
            ctx.translate(ex, ey)
            ctx.scale(7.5, 9.5 * sy)
            ctx.arc(0, 0, 1, 0, 2 * math.pi)
            ctx.restore()
            fill_outlined(ctx, look.rgb("white"), INK, 2)
            px, py = ex + 1.5 * side * 0.3 + p.look[0], ey + 1.5 + p.look[1]
            ctx.arc(px, py, 4.6, 0, 2 * math.pi)
            ctx.set_source_rgba(*INK)
            ctx.fill()
            ctx.arc(px - 1.6, py - 1.8, 1.6, 0, 2 * math.pi)
            ctx.set_source_rgba(*look.rgb("white"))
            ctx.fill()
        elif style == "blink":
            ctx.move_to(ex - 7, ey + 1)
            ctx.curve_to(ex - 3, ey + 4, ex + 3, ey + 4, ex + 7, ey + 1)
            ctx.set_source_rgba(*INK)
            ctx.set_line_width(2.6)
            ctx.stroke()
        else:  # happy: closed, curved up
            ctx.move_to(ex - 7, ey + 2)
            ctx.curve_to(ex - 4, ey - 6, ex + 4, ey - 6, ex + 7, ey + 2)
            ctx.set_source_rgba(*INK)
            ctx.set_line_width(3)
            ctx.stroke()
    # Mouth: a smile, or open (dark, with a tongue).
    my = 8 * sy
    if p.mouth <= 0.05:
        ctx.move_to(-11, my)
        ctx.curve_to(-6, my + 8, 6, my + 8, 11, my)
        ctx.set_source_rgba(*INK)
        ctx.set_line_width(2.6)
        ctx.set_line_cap(cairo.LINE_CAP_ROUND)
        ctx.stroke()
        return
    depth = 4 + 14 * p.mouth
    width = 9 + 4 * p.mouth
    ctx.move_to(-width, my)
    ctx.curve_to(-width * 0.5, my - 1.5, width * 0.5, my - 1.5, width, my)
    ctx.curve_to(width * 0.9, my + depth, -width * 0.9, my + depth, -width, my)
    ctx.close_path()
    ctx.save()
    ctx.clip_preserve()
    ctx.set_source_rgba(*look.shade("red", 0.55))
    ctx.fill_preserve()
    ctx.new_path()
    ctx.save()
    ctx.translate(0, my + depth * 0.78)
    ctx.scale(width * 0.55, depth * 0.38)
    ctx.arc(0, 0, 1, 0, 2 * math.pi)
    ctx.restore()
    ctx.set_source_rgba(*look.rgb("pink"))
    ctx.fill()
    ctx.restore()
    ctx.move_to(-width, my)
    ctx.curve_to(-width * 0.5, my - 1.5, width * 0.5, my - 1.5, width, my)
    ctx.curve_to(width * 0.9, my + depth, -width * 0.9, my + depth, -width, my)
    ctx.close_path()
    ctx.set_source_rgba(*INK)
    ctx.set_line_width(2)
    ctx.stroke()


# ---- the five acts -----------------------------------------------------------------------------

def act_bravo(f):
    """Claps his hands high over his head: five claps, a burst at each, stars drifting up."""
    p = Pose()
    period = 5
    up = ramp(f, 0, 3)
    phase = (f % period) / float(period)
    gap = 5 + 26 * (0.5 - 0.5 * math.cos(2 * math.pi * phase))
    clap_y = -50 + 4 * math.sin(math.pi * phase)
    p.hands = [lerp2((-42, 26), (-gap - 2, clap_y), up), lerp2((42, 26), (gap + 2, clap_y), up)]
    p.lift = 3 * abs(math.sin(math.pi * f / period))
    p.squash = 0.25 if f % period == 0 and f > 0 else 0.0
    p.mouth = speaking(f) or (0.45 if f >= 12 else 0.0)
    p.eyes = "happy" if f in (13, 14, 15) else ("blink" if f == 22 else "open")
    p.look = (0, -1.5 * up)
    p.tilt = 2 * math.sin(f * 0.5)
    if f >= period and f % period in (0, 1):
        strength = 1.0 if f % period == 0 else 0.45
        cx, cy = p.x, STAND_Y - p.lift + clap_y

        def burst(ctx, cx=cx, cy=cy, s=strength):
            ctx.set_line_cap(cairo.LINE_CAP_ROUND)
            for i in range(7):
                a = -math.pi / 2 + (i - 3) * 0.45
                r0, r1 = 14 + 7 * (1 - s), 23 + 9 * (1 - s)
                ctx.move_to(cx + r0 * math.cos(a), cy + r0 * math.sin(a))
                ctx.line_to(cx + r1 * math.cos(a), cy + r1 * math.sin(a))
            ctx.set_source_rgba(*look.rgb("orange", s))
            ctx.set_line_width(3)
            ctx.stroke()
        p.front.append(burst)
    # Little stars drifting up on either side.
    for i, start in enumerate((3, 7, 11, 15, 19)):
        age = f - start
        if 0 <= age < 9:
            side = -1 if i % 2 == 0 else 1
            sx0 = p.x + side * (74 + 6 * (i % 3))
            sy0 = 128 - age * 8
            alpha = min(1.0, 2.0 - age / 4.5)
            col = look.rgb(("red", "blue", "purple", "leaf", "orange")[i])

            def star(ctx, x=sx0, y=sy0, a=alpha, c=col, age=age):
                path_star(ctx, x, y, 10, 4.5, 5, age * 0.25)
                ctx.set_source_rgba(*c[:3], a)
                ctx.fill()
            p.back.append(star)
    return p


def act_gotovo(f):
    """Points proudly at a big star that pops up beside him and shines."""
    p = Pose()
    p.x = 122.0
    point = ramp(f, 1, 5)
    p.hands = [lerp2((-42, 26), (-44, 30), point), lerp2((42, 26), (62, -24), point)]
    p.tilt = -3 * point
    p.look = (2.5 * point, -1.5 * point)
    p.lift = 4 * math.sin(math.pi * ramp(f, 10, 15))
    p.mouth = speaking(f) or 0.35
    p.eyes = "happy" if 15 <= f <= 18 else ("blink" if f == 23 else "open")
    grow = back_out((f - 3) / 6.0) if f >= 3 else 0.0
    if grow > 0:
        cx = 232.0
        cy = 90.0 - 5 * math.sin(math.pi * ramp(f, 10, 15))
        turn = math.radians(10 * math.sin(f * 0.45))

        def glow(ctx, cx=cx, cy=cy, g=grow, f=f):
            # Rays behind the star, turning slowly.
            for i in range(12):
                a = f * 0.06 + i * math.pi / 6
                r0, r1 = 30 * g, (38 + 3 * math.sin(f + i)) * g
                ctx.move_to(cx + r0 * math.cos(a - 0.09), cy + r0 * math.sin(a - 0.09))
                ctx.line_to(cx + r1 * math.cos(a), cy + r1 * math.sin(a))
                ctx.line_to(cx + r0 * math.cos(a + 0.09), cy + r0 * math.sin(a + 0.09))
                ctx.close_path()
            ctx.set_source_rgba(*look.rgb("sun", 0.6))
            ctx.fill()

        def big_star(ctx, cx=cx, cy=cy, g=grow, turn=turn):
            path_star(ctx, cx, cy, 32 * g, 15 * g, 5, turn)
            ctx.set_line_join(cairo.LINE_JOIN_ROUND)
            fill_outlined(ctx, look.rgb("sun"), OUTLINE, 3)
            path_star(ctx, cx - 3 * g, cy - 4 * g, 13 * g, 6 * g, 5, turn)
            ctx.set_source_rgba(*look.shade("sun", 1.6))
            ctx.fill()
        p.back.append(glow)
        p.back.append(big_star)
    twinkles = [(-50, -40, 8), (52, -30, 11), (-44, 40, 14), (56, 44, 17), (-10, -38, 20), (-62, 4, 22)]
    for dx, dy, start in twinkles:
        age = f - start
        if 0 <= age < 6:
            size = 7 * math.sin(math.pi * (age + 0.5) / 6)
            p.front.append(lambda ctx, x=232 + dx, y=90 + dy, s=size: sparkle(ctx, x, y, s, look.rgb("orange")))
    return p


def act_molodec(f):
    """Waves a raised hand and winks, leaning into the wave."""
    p = Pose()
    raise_ = ramp(f, 0, 4)
    a = math.radians(28 + 26 * math.sin(2 * math.pi * (f - 4) / 6.0) * ramp(f, 2, 5))
    wave = (31 + 44 * math.sin(a), 6 - 44 * math.cos(a))
    p.hands = [(-42, 24 - 2 * math.sin(f * 0.5)), lerp2((44, 26), wave, raise_)]
    p.tilt = 4 * math.sin(2 * math.pi * (f - 4) / 6.0) * ramp(f, 2, 5) - 2 * raise_
    p.lift = 1.5 * abs(math.sin(math.pi * f / 6.0))
    p.mouth = speaking(f, 1, 11) or 0.0
    p.eyes = "wink" if 13 <= f <= 17 else ("blink" if f == 23 else "open")
    if f >= 3:
        hx, hy = p.hands[1]
        ox, oy = p.x, STAND_Y - p.lift

        def swish(ctx, hx=hx + ox, hy=hy + oy, ox=ox, oy=oy):
            # Two short arcs beside the waving hand.
            ctx.set_line_cap(cairo.LINE_CAP_ROUND)
            ctx.set_source_rgba(*look.rgb("sky"))
            ctx.set_line_width(3)
            for r in (14, 21):
                ctx.arc(hx, hy, r, math.radians(-60), math.radians(-15))
                ctx.new_sub_path()
            ctx.stroke()
        p.front.append(swish)
    if 13 <= f <= 17:
        p.front.append(lambda ctx, x=p.x - 30, y=STAND_Y - 52: sparkle(ctx, x, y, 6, look.rgb("sun")))
    return p


def jump_curve(f, start, length, height):
    """Height and squash of one jump beginning at frame start (with a crouch before and after)."""
    t = (f - start) / float(length)
    if -0.25 <= t < 0:
        return 0.0, 0.6 * ease(-t / 0.25 if t > -0.125 else (t + 0.25) / 0.125), 0.0
    if 0 <= t <= 1:
        return height * 4 * t * (1 - t), -0.35 * (1 - t) if t < 0.3 else 0.0, math.sin(math.pi * t)
    if 1 < t <= 1.3:
        return 0.0, 0.7 * (1 - (t - 1) / 0.3), 0.0
    return None


def act_otlichno(f):
    """Two big jumps for joy, arms flung up at the top, a puff of dust at each landing."""
    p = Pose()
    p.hands = [(-44, 24), (44, 24)]
    for start in (3, 13):
        j = jump_curve(f, start, 8, 24)
        if j:
            p.lift, p.squash, air = j
            p.tuck = air
            p.hands = [lerp2((-44, 24), (-46, -46), air), lerp2((44, 24), (46, -46), air)]
            break
    p.mouth = speaking(f, 1, 9) or (0.6 if p.lift > 5 else 0.3)
    p.eyes = "happy" if p.lift > 20 else "open"
    for land in (11, 21):
        age = f - land
        if 0 <= age < 4:
            def dust(ctx, age=age):
                for side in (-1, 1):
                    for k in range(3):
                        x = VIEW_W / 2 + side * (34 + age * 7 + k * 9)
                        y = GROUND - 3 - k * 3 - age
                        ctx.arc(x, y, 5 - k + age * 0.5, 0, 2 * math.pi)
                        ctx.set_source_rgba(*look.rgb("band", 1.0 - age / 4.0))
                        ctx.fill()
            p.back.append(dust)
    if f >= 24:
        p.hands = [lerp2((-44, 24), (-40, 30), ramp(f, 24, 25)), lerp2((44, 24), (40, 30), ramp(f, 24, 25))]
    return p


CONFETTI_COLOURS = ["red", "blue", "grass", "sun", "pink", "purple", "orange", "sky", "leaf"]
_rng = random.Random(734)
CONFETTI = [(_rng.uniform(-math.pi * 0.92, -math.pi * 0.08), _rng.uniform(3.0, 8.0),
             _rng.uniform(0, math.tau), _rng.uniform(-0.6, 0.6), CONFETTI_COLOURS[i % len(CONFETTI_COLOURS)],
             _rng.random() < 0.5) for i in range(46)]


def act_ura(f):
    """Throws both arms up and cheers, hopping, while confetti bursts over his head."""
    p = Pose()
    up = ramp(f, 0, 3)
    hop = (f - 3) % 6 / 6.0 if f >= 3 else None
    p.hands = [lerp2((-44, 24), (-44, -58), up), lerp2((44, 24), (44, -58), up)]
    if hop is not None:
        p.lift = 14 * 4 * hop * (1 - hop)
        p.tuck = math.sin(math.pi * hop)
        p.squash = 0.3 if hop < 0.12 else 0.0
        wiggle = 4 * math.sin(2 * math.pi * hop)
        p.hands = [(p.hands[0][0] - wiggle, p.hands[0][1]), (p.hands[1][0] + wiggle, p.hands[1][1])]
    p.mouth = 0.9 if f >= 2 else 0.4
    p.eyes = "happy" if f >= 2 else "open"
    age = f - 3
    if age >= 0:
        ox, oy = VIEW_W / 2.0, 62.0

        def confetti(ctx, age=age, ox=ox, oy=oy):
            for a, speed, spin0, spin, colour, round_ in CONFETTI:
                t = age + 1.0
                # Thrown out fast, slowed by the air, then fluttering down.
                out = 8.0 * (1.0 - math.exp(-t / 8.0))
                x = ox + math.cos(a) * speed * out * 2.3 + 3 * math.sin(t * 0.6 + spin0)
                y = oy + math.sin(a) * speed * out * 0.9 + 2.6 * t
                alpha = 1.0 - max(0.0, (age - 16) / 8.0)
                if alpha <= 0:
                    continue
                ctx.save()
                ctx.translate(x, y)
                ctx.rotate(spin0 + spin * t)
                if round_:
                    ctx.arc(0, 0, 3.2, 0, 2 * math.pi)
                else:
                    ctx.scale(1.0, abs(math.cos(spin0 + t * 0.5)) * 0.8 + 0.2)
                    ctx.rectangle(-4.5, -2.5, 9, 5)
                ctx.restore()
                ctx.set_source_rgba(*look.rgb(colour, alpha))
                ctx.fill()
        p.back.append(confetti)
    return p


ACTS = {"bravo": act_bravo, "gotovo": act_gotovo, "molodec": act_molodec, "otlichno": act_otlichno,
        "ura": act_ura}


# ---- rendering and encoding --------------------------------------------------------------------

def edge_mask():
    """1 inside, easing to 0 at the border of the stored frame (EDGE view pixels wide)."""
    ys = (numpy.arange(STORE_H) + 0.5) * VIEW_H / STORE_H
    xs = numpy.arange(STORE_W) + 0.5
    my = numpy.clip(numpy.minimum(ys, VIEW_H - ys) / EDGE, 0, 1)
    mx = numpy.clip(numpy.minimum(xs, VIEW_W - xs) / EDGE, 0, 1)
    m = numpy.outer(my, mx)
    return m * m * (3 - 2 * m)


def render(act, f, mask, name):
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, STORE_W, STORE_H)
    ctx = cairo.Context(surface)
    ctx.set_source_rgba(*look.rgb("cloud"))
    ctx.paint()
    ctx.scale(STORE_W / float(VIEW_W), STORE_H / float(VIEW_H))
    ctx.translate(VIEW_W / 2.0, GROUND - SCENE_RAISE)
    ctx.scale(SCENE_SCALE, SCENE_SCALE)
    ctx.translate(-VIEW_W / 2.0, -GROUND)
    draw_character(ctx, act(f))
    surface.flush()
    pixels = numpy.ndarray((STORE_H, surface.get_stride() // 4, 4), numpy.uint8,
                           surface.get_data())[:, :STORE_W, :3].astype(numpy.float64)
    cloud = numpy.array(look.PALETTE["cloud"][::-1], numpy.float64)    # cairo stores B, G, R
    # Nothing may be drawn into the faded border, or it would seem to vanish there.
    drawn = numpy.abs(pixels - cloud).max(axis=2) > 2
    inside = mask >= 0.999
    if (drawn & ~inside).any():
        ys, xs = numpy.nonzero(drawn & ~inside)
        sys.exit("%s frame %d draws into the border at x %d, y %d (stored pixels)" % (name, f, xs[0], ys[0]))
    blended = cloud + (pixels - cloud) * mask[:, :, None]
    out = numpy.dstack([blended[:, :, 2], blended[:, :, 1], blended[:, :, 0]])
    return numpy.rint(out).astype(numpy.uint8)


def encode(frames_dir, ogg):
    subprocess.run(["ffmpeg", "-v", "error", "-y", "-f", "rawvideo", "-pix_fmt", "rgb24",
                    "-s", "%dx%d" % (STORE_W, STORE_H), "-framerate", str(FPS),
                    "-i", os.path.join(frames_dir, "frames.rgb"), "-frames:v", str(FRAMES),
                    "-vf", "format=yuv420p", "-c:v", "libtheora", "-q:v", "7", "-an",
                    "-fflags", "+bitexact", "-flags:v", "+bitexact", "-map_metadata", "-1",
                    ogg], check=True)


def main():
    if not shutil.which("ffmpeg"):
        sys.exit("missing tool: ffmpeg (scripts/install-deps --assets)")
    os.makedirs(os.path.join(DATA, "clips"), exist_ok=True)
    mask = edge_mask()
    sheet_dir = sys.argv[1] if len(sys.argv) > 1 else None
    with tempfile.TemporaryDirectory(prefix="tirlan-clips-") as work:
        for key, rel, act_name, what in CLIPS:
            act = ACTS[act_name]
            raw = os.path.join(work, "frames.rgb")
            with open(raw, "wb") as out:
                for f in range(FRAMES):
                    out.write(render(act, f, mask, act_name).tobytes())
            if sheet_dir:
                shutil.copy(raw, os.path.join(sheet_dir, act_name + ".rgb"))
            encode(work, os.path.join(DATA, rel))
    with open(os.path.join(DATA, "clips.tsv"), "w", encoding="utf-8") as f:
        f.write("# Praise clips (Ogg Theora 320x240, 12 frames/s, 26 frames, no audio): "
                "key<TAB>file (relative to data/)<TAB>comment. Made by tools/assets/clips/make.sh.\n")
        for key, rel, act_name, what in CLIPS:
            f.write("%s\t%s\tSunny %s (goes with %s_sound)\n" % (key, rel, what, act_name))


if __name__ == "__main__":
    main()
