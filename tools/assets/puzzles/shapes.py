"""How each of the three squares is cut. Square coordinates (see cuts.py); the boxes are in layout.py.

A tab given as fit=(side, centre, limit) is made as deep as it can be while its tip stays inside
its own piece's box; corners and base lines lie inside the ranges where the neighbouring boxes
overlap, and make_puzzles.py checks every piece against its box.
"""
from cuts import Cut

S1 = 349  # puzzles 1 and 2 fill [0, 349) in both directions
S3 = 350  # puzzle 3 fills [0, 350)

V = (1, 0)   # positive side of a vertical cut: to the right
H = (0, 1)   # positive side of a horizontal cut: downwards


def picture_cut():
    """Nine pieces in three rows and columns, each cut with one tab."""
    p = {
        "TL": (0, 0), "TR": (S1, 0), "BL": (0, S1), "BR": (S1, S1),
        "TA": (93, 0), "J11": (110, 112), "J21": (113, 249), "BA": (111, S1),
        "TB": (236, 0), "J12": (228, 110), "J22": (228, 253), "BB": (228, S1),
        "LC": (0, 118), "RC": (S1, 111), "LD": (0, 244), "RD": (S1, 247),
    }
    e = {
        # vertical cuts, top to bottom; the tab tip limit is the x edge of the owner's box
        "A1": ("TA", "J11", dict(pos=V, fit=(+1, 0.52, 131.0), wave=[(-2.5, 2)])),
        "A2": ("J11", "J21", dict(pos=V, fit=(-1, 0.47, 90.0), wave=[(3.0, 2)])),
        "A3": ("J21", "BA", dict(pos=V, fit=(+1, 0.50, 140.0), wave=[(-2.0, 2)])),
        "B1": ("TB", "J12", dict(pos=V, fit=(+1, 0.50, 255.0), wave=[(2.0, 2)])),
        "B2": ("J12", "J22", dict(pos=V, fit=(-1, 0.53, 208.0), wave=[(-2.0, 2)])),
        "B3": ("J22", "BB", dict(pos=V, wave=[(5.0, 2)])),
        # horizontal cuts, left to right; the limit is the y edge of the owner's box
        "C1": ("LC", "J11", dict(pos=H, fit=(+1, 0.50, 146.0), wave=[(3.0, 2)])),
        "C2": ("J11", "J12", dict(pos=H, fit=(-1, 0.50, 88.0), wave=[(-3.0, 2)])),
        "C3": ("J12", "RC", dict(pos=H, fit=(+1, 0.47, 142.0), wave=[(2.5, 2)])),
        "D1": ("LD", "J21", dict(pos=H, fit=(-1, 0.52, 226.0), wave=[(2.0, 2)])),
        "D2": ("J21", "J22", dict(pos=H, fit=(+1, 0.48, 271.0), wave=[(-3.0, 2)])),
        "D3": ("J22", "RD", dict(pos=H, fit=(-1, 0.50, 217.0), wave=[(2.5, 2)])),
        # the border of the square
        "t1": ("TL", "TA", {}), "t2": ("TA", "TB", {}), "t3": ("TB", "TR", {}),
        "r1": ("TR", "RC", {}), "r2": ("RC", "RD", {}), "r3": ("RD", "BR", {}),
        "b3": ("BR", "BB", {}), "b2": ("BB", "BA", {}), "b1": ("BA", "BL", {}),
        "l3": ("BL", "LD", {}), "l2": ("LD", "LC", {}), "l1": ("LC", "TL", {}),
    }
    pieces = {
        106: ["t1", "A1", "-C1", "l1"],
        107: ["t2", "B1", "-C2", "-A1"],
        108: ["t3", "r1", "-C3", "-B1"],
        109: ["C1", "A2", "-D1", "l2"],
        110: ["C2", "B2", "-D2", "-A2"],
        111: ["C3", "r2", "-D3", "-B2"],
        112: ["D1", "A3", "b1", "l3"],
        113: ["D2", "B3", "b2", "-A3"],
        114: ["D3", "r3", "b3", "-B3"],
    }
    return Cut(p, e, pieces)


def mosaic_cut():
    """Nine irregular jigsaw pieces: a left column of three, an L-shaped top right piece, a tall
    narrow piece on the right edge wrapped by the bottom right piece, and three in the middle."""
    p = {
        "TL": (0, 0), "TR": (S1, 0), "BL": (0, S1), "BR": (S1, S1),
        "T1": (90, 0), "T2": (248, 0),
        "L1": (0, 110), "L2": (0, 198),
        "B1": (95, S1), "B2": (222, S1),
        "R1": (S1, 143), "R2": (S1, 266),
        "Jc": (148.5, 106), "Je": (250, 100), "Jb": (148.5, 137), "Ja": (96, 137),
        "Jk": (96, 198), "Jm": (96, 260), "Jd": (200, 141), "Jh": (218, 261),
        "Jf": (300, 143), "Jg": (300, 266),
    }
    e = {
        "c132_133": ("T1", "Jc", dict(pos=(-1, 1), knob=(24.0, 0.5))),
        "c133_134v": ("T2", "Je", dict(pos=V, fit=(+1, 0.5, 276.5), wave=[(-2.0, 2)])),
        "c133_134h": ("Je", "Jc", dict(pos=H, knob=(-19.0, 0.45), wave=[(2.0, 2)])),
        "c132_134": ("Jc", "Jb", dict(pos=V)),
        "c132_130": ("Jb", "Ja", dict(pos=H)),
        "c132_129": ("Ja", "L1", dict(pos=H, fit=(-1, 0.5, 92.0))),
        "c129_130": ("Ja", "Jk", dict(pos=V, wave=[(2.5, 2)])),
        "c129_128": ("L2", "Jk", dict(pos=H, wave=[(5.5, 2)])),
        "c128_130": ("Jk", "Jm", dict(pos=V, wave=[(-2.5, 2)])),
        "c128_127": ("Jm", "B1", dict(pos=V, wave=[(3.0, 2)])),
        "c130_127": ("Jm", "Jh", dict(pos=H, wave=[(3.5, 2)])),
        "c130_134": ("Jb", "Jd", dict(pos=H, wave=[(4.0, 1)])),
        "c130_136": ("Jd", "Jh", dict(pos=V, fit=(+1, 0.5, 239.5))),
        "c136_127": ("Jh", "B2", dict(pos=V, fit=(-1, 0.5, 195.5))),
        "c134_136": ("Jd", "Jf", dict(pos=H, wave=[(-3.5, 2)])),
        "c134_135": ("Jf", "R1", dict(pos=H, wave=[(-2.5, 1)])),
        "c135_136v": ("Jf", "Jg", dict(pos=V, fit=(-1, 0.5, 274.5), wave=[(2.0, 2)])),
        "c135_136h": ("Jg", "R2", dict(pos=H, fit=(+1, 0.5, 288.5))),
        "t1": ("TL", "T1", {}), "t2": ("T1", "T2", {}), "t3": ("T2", "TR", {}),
        "r1": ("TR", "R1", {}), "r2": ("R1", "R2", {}), "r3": ("R2", "BR", {}),
        "b3": ("BR", "B2", {}), "b2": ("B2", "B1", {}), "b1": ("B1", "BL", {}),
        "l3": ("BL", "L2", {}), "l2": ("L2", "L1", {}), "l1": ("L1", "TL", {}),
    }
    pieces = {
        132: ["t1", "c132_133", "c132_134", "c132_130", "c132_129", "l1"],
        133: ["t2", "c133_134v", "c133_134h", "-c132_133"],
        134: ["t3", "r1", "-c134_135", "-c134_136", "-c130_134", "-c132_134", "-c133_134h", "-c133_134v"],
        135: ["c134_135", "r2", "-c135_136h", "-c135_136v"],
        136: ["c134_136", "c135_136v", "c135_136h", "r3", "b3", "-c136_127", "-c130_136"],
        127: ["c130_127", "c136_127", "b2", "-c128_127"],
        128: ["c129_128", "c128_130", "c128_127", "b1", "l3"],
        129: ["-c132_129", "c129_130", "-c129_128", "l2"],
        130: ["-c132_130", "c130_134", "c130_136", "-c130_127", "-c128_130", "-c129_130"],
    }
    return Cut(p, e, pieces)


class Polygons:
    """Pieces given directly as polygons (straight cuts only)."""

    def __init__(self, rings):
        self.rings = rings
        self.depths = {}

    def ring(self, pid):
        return self.rings[pid]

    def bbox(self, pid):
        xs = [p[0] for p in self.rings[pid]]
        ys = [p[1] for p in self.rings[pid]]
        return min(xs), min(ys), max(xs), max(ys)


def figures_cut():
    """Ten figures on 45-degree lines: triangles, a parallelogram, trapezoids, a square, a pentagon."""
    m = 175  # the line between the upper and the lower half
    return Polygons({
        117: [(0, 0), (1, 0), (175, m), (0, m)],                       # right triangle
        118: [(1, 0), (90, 0), (220, 130), (250, 161), (264, m), (175, m)],  # parallelogram
        119: [(90, 0), (S3, 0), (220, 130)],                            # triangle on the top edge
        120: [(S3, 0), (S3, 61), (250, 161), (220, 130)],              # trapezoid
        121: [(S3, 61), (S3, m), (264, m), (250, 161)],                # trapezoid
        122: [(176, m), (S3, m), (S3, S3)],                             # right triangle
        123: [(262.5, 262), (S3, S3), (175, S3)],                       # triangle on the bottom edge
        124: [(176, m), (262.5, 262), (175, S3), (111, S3), (111, 240)],  # pentagon
        125: [(0, 240), (111, 240), (111, S3), (0, S3)],               # square
        126: [(0, m), (176, m), (111, 240), (0, 240)],                 # trapezoid
    })
