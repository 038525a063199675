"""The three puzzles' pieces: id, width, height and target offset from the frame origin, in play order.

The game places a piece at frame origin + (tx, ty); the finished picture lies at frame x -1, so the
assembled square starts at frame x -1 and a piece's box in square coordinates is (tx + 1, ty, w, h).
"""

LEVELS = {
    1: [  # the cartoon picture
        (106, 131, 146, -1, 0), (107, 168, 135, 86, 0), (108, 132, 142, 216, 0),
        (109, 136, 169, -1, 91), (110, 140, 183, 89, 88), (111, 141, 191, 207, 80),
        (112, 140, 123, -1, 226), (113, 149, 112, 85, 237), (114, 128, 132, 220, 217),
    ],
    2: [  # white jigsaw pieces
        # 132 is 18 pixels taller than it would need to be for its neighbours' sake alone: with
        # 119 rows nothing could cover the strip x 99..146, y 119..136 between 133 and 130.
        (132, 150, 137, -1, 0), (133, 192, 111, 84, 0), (134, 201, 149, 147, 0),
        (135, 75, 151, 273, 138), (136, 154, 216, 194, 133), (127, 154, 93, 89, 256),
        (128, 100, 159, -1, 190), (129, 100, 114, -1, 92), (130, 148, 129, 91, 137),
    ],
    3: [  # white geometric figures
        (117, 175, 175, -1, 0), (118, 263, 175, 0, 0), (119, 260, 130, 89, 0),
        (120, 130, 161, 219, 0), (121, 100, 114, 249, 61), (122, 176, 176, 173, 174),
        (123, 175, 88, 174, 262), (124, 153, 175, 109, 175), (125, 111, 111, -1, 239),
        (126, 176, 66, -1, 174),
    ],
}

FRAME_ORIGIN = (406, 106)       # screen position of the frame origin
HINT_OFFSET = (-1, 0)           # the finished picture's place relative to the frame origin
SCATTER_AREA = (27, 88, 350, 471)  # left, top, right, bottom on screen
BACKGROUND_Y = 60               # the board picture lies at (0, 60)


def box(piece):
    """(x0, y0, w, h) of a piece in square coordinates (x0 = tx + 1)."""
    pid, w, h, tx, ty = piece
    return (tx + 1, ty, w, h)
