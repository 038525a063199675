"""Drawing helpers shared by the skin and ui generators.

Pictures are drawn with cairo on premultiplied ARGB surfaces and written through Pillow as
straight-alpha PNGs (RGB or RGBA, compression 9, no time chunk), so a re-run gives the same bytes.
"""
import math
import os
import sys

import cairo
import numpy as np
from PIL import Image

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "common"))
import look  # noqa: E402  (the shared palette and caption face)

CAPTION_FAMILY = look.CAPTION_FONT_FAMILY


def new(w, h):
    """A transparent w x h surface and a context on it."""
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    ctx = cairo.Context(surf)
    opts = cairo.FontOptions()
    opts.set_antialias(cairo.ANTIALIAS_GRAY)
    opts.set_hint_style(cairo.HINT_STYLE_NONE)
    opts.set_hint_metrics(cairo.HINT_METRICS_OFF)
    ctx.set_font_options(opts)
    return surf, ctx


def to_array(surf):
    """Straight-alpha RGBA uint8 array (h, w, 4) of a cairo ARGB32 surface."""
    surf.flush()
    w, h, stride = surf.get_width(), surf.get_height(), surf.get_stride()
    raw = np.ndarray(shape=(h, stride // 4, 4), dtype=np.uint8, buffer=surf.get_data())[:, :w, :]
    b, g, r, a = (raw[..., i].astype(np.float64) for i in range(4))
    out = np.zeros((h, w, 4), dtype=np.uint8)
    safe = np.where(a > 0, a, 1.0)
    for i, c in enumerate((r, g, b)):
        out[..., i] = np.where(a > 0, np.clip(np.round(c * 255.0 / safe), 0, 255), 0).astype(np.uint8)
    out[..., 3] = a.astype(np.uint8)
    return out


def write_array(arr, path, mode):
    """Writes an RGBA array as an RGB (must be opaque) or RGBA PNG."""
    os.makedirs(os.path.dirname(path), exist_ok=True)
    if mode == "RGB":
        if not np.all(arr[..., 3] == 255):
            raise ValueError(f"{path}: an RGB picture must be opaque")
        img = Image.fromarray(np.ascontiguousarray(arr[..., :3]), "RGB")
    elif mode == "RGBA":
        img = Image.fromarray(np.ascontiguousarray(arr), "RGBA")
    else:
        raise ValueError(mode)
    img.save(path, format="PNG", optimize=True, compress_level=9)


def save(surf, path, mode):
    write_array(to_array(surf), path, mode)


def mix(a, b, t):
    """Cairo colour between palette names (or rgba tuples) a and b; t = 0 gives a."""
    ca = look.rgb(a) if isinstance(a, str) else a
    cb = look.rgb(b) if isinstance(b, str) else b
    return tuple(ca[i] + (cb[i] - ca[i]) * t for i in range(3)) + (1.0,)


def with_alpha(c, alpha):
    return (c[0], c[1], c[2], alpha)


def rounded_rect(ctx, x, y, w, h, r):
    r = min(r, w / 2.0, h / 2.0)
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def vgradient(y0, y1, c0, c1):
    g = cairo.LinearGradient(0, y0, 0, y1)
    g.add_color_stop_rgba(0, *c0)
    g.add_color_stop_rgba(1, *c1)
    return g


def caption_font(ctx, size, bold=True):
    ctx.select_font_face(CAPTION_FAMILY, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)


def text_box(ctx, text):
    """(ink x offset, ink y offset, ink width, ink height, advance) of text in the current font."""
    xb, yb, w, h, xa, _ = ctx.text_extents(text)
    return xb, yb, w, h, xa


def draw_centered_text(ctx, text, cx, cy, colour, shadow=None):
    """Draws text with its ink box centred on (cx, cy); shadow = (colour, dx, dy) or None."""
    xb, yb, w, h, _ = text_box(ctx, text)
    x = cx - w / 2.0 - xb
    # Centre on the capital height so that descenders do not push the caption up.
    caps = ctx.text_extents("Н")
    y = cy - caps[3] / 2.0 - caps[1]
    if shadow is not None:
        scol, dx, dy = shadow
        ctx.set_source_rgba(*scol)
        ctx.move_to(x + dx, y + dy)
        ctx.show_text(text)
    ctx.set_source_rgba(*colour)
    ctx.move_to(x, y)
    ctx.show_text(text)
    return x + xb, y + yb, w, h


def supersampled(w, h, factor, draw):
    """Draws at factor x the size and box-filters down: crisper small icons than cairo alone."""
    big, ctx = new(w * factor, h * factor)
    ctx.scale(factor, factor)
    draw(ctx)
    arr = to_array(big).astype(np.float64)
    a = arr[..., 3:4] / 255.0
    prem = np.concatenate([arr[..., :3] * a, a * 255.0], axis=2)
    prem = prem.reshape(h, factor, w, factor, 4).mean(axis=(1, 3))
    alpha = prem[..., 3:4]
    rgb = np.where(alpha > 0, prem[..., :3] * 255.0 / np.where(alpha > 0, alpha, 1), 0)
    out = np.concatenate([rgb, alpha], axis=2)
    return np.clip(np.round(out), 0, 255).astype(np.uint8)


def flatten(arr, bg):
    """Composites a straight-alpha RGBA array onto an opaque palette colour; returns RGBA, opaque."""
    c = np.array(look.PALETTE[bg], dtype=np.float64) if isinstance(bg, str) else np.array(bg, np.float64)
    a = arr[..., 3:4].astype(np.float64) / 255.0
    rgb = arr[..., :3].astype(np.float64) * a + c * (1 - a)
    out = np.empty_like(arr)
    out[..., :3] = np.clip(np.round(rgb), 0, 255).astype(np.uint8)
    out[..., 3] = 255
    return out
