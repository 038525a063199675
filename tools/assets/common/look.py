"""The one look of the whole game, shared by every picture and clip generator.

Bright, friendly, flat vector shapes for children of 6 to 9: one palette, one rounded bold face
(Comfortaa Bold, from fonts-comfortaa) for captions drawn into pictures, anti-aliased edges,
soft rounded corners, a 2-3 px darker outline on characters and objects.
Run the generators with /usr/bin/python3 (Debian's python3-cairo lives there).
"""

CAPTION_FONT_FILE = "/usr/share/fonts/truetype/comfortaa/Comfortaa-Bold.ttf"
CAPTION_FONT_FAMILY = "Comfortaa"   # use weight bold
TEXT_INK = (0x07, 0x21, 0x34)       # the screen text colour 0xFF072134

# Palette: (r, g, b) 0..255. Use these names; add a shade only by mixing two of them.
PALETTE = {
    "ink": (0x07, 0x21, 0x34),
    "white": (0xFF, 0xFF, 0xFF),
    "paper": (0xF4, 0xF6, 0xF8),        # light grey screen background
    "band": (0xD9, 0xDF, 0xE6),         # the darker 64-pixel band and panel grounds
    "panel": (0xE8, 0xEC, 0xF0),
    "frame": (0x3A, 0x4A, 0x5C),        # dark frame lines
    "sky": (0x7F, 0xD1, 0xF5),
    "blue": (0x2F, 0x80, 0xED),
    "navy": (0x1B, 0x4F, 0x9C),
    "grass": (0x8B, 0xC3, 0x4A),
    "leaf": (0x3F, 0xA3, 0x4D),
    "sun": (0xFF, 0xD5, 0x4F),
    "orange": (0xFF, 0x9F, 0x2E),
    "red": (0xE5, 0x39, 0x35),
    "pink": (0xF8, 0x9C, 0xC0),
    "purple": (0x8E, 0x6C, 0xCF),
    "brown": (0x8D, 0x5B, 0x3F),
    "cream": (0xFF, 0xF6, 0xDF),
    "cloud": (0xF2, 0xF7, 0xFF),        # the praise cloud; praise clips blend into it at their edges
}

def rgb(name, alpha=1.0):
    """Cairo source colour tuple (r, g, b, a) in 0..1 for a palette name."""
    r, g, b = PALETTE[name]
    return (r / 255.0, g / 255.0, b / 255.0, alpha)

def shade(name, factor):
    """A darker (factor < 1) or lighter (factor > 1, mixed toward white) shade of a palette colour."""
    r, g, b = PALETTE[name]
    if factor <= 1.0:
        return (r * factor / 255.0, g * factor / 255.0, b * factor / 255.0, 1.0)
    t = min(factor - 1.0, 1.0)
    return tuple((c + (255 - c) * t) / 255.0 for c in (r, g, b)) + (1.0,)
