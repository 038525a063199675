"""Cutting a square into pieces: a planar graph of shared edges, and each piece a closed ring of them.

Coordinates are continuous pixels of the assembled square, X = frame x + 1 (the left column of
pieces sits at frame x -1), Y = frame y. A pixel (i, j) covers [i, i+1) x [j, j+1).
Two neighbouring pieces use the very same polyline for their shared edge, so their anti-aliased
coverage adds up to one along the cut and nothing is left over or covered twice.
"""
import math

import cairo
import numpy as np


def _bezier(p0, p1, p2, p3, n):
    out = []
    for i in range(1, n + 1):
        t = i / n
        a = (1 - t) ** 3
        b = 3 * (1 - t) ** 2 * t
        c = 3 * (1 - t) * t * t
        d = t ** 3
        out.append((a * p0[0] + b * p1[0] + c * p2[0] + d * p3[0],
                    a * p0[1] + b * p1[1] + c * p2[1] + d * p3[1]))
    return out


def knob_outline(depth):
    """A tab in local (u, v) coordinates: from (-w, 0) over a round head of height depth to (w, 0).

    The head is wider than its neck, as on a real jigsaw piece. Returns (points, w)."""
    r = 0.47 * depth
    nw = 0.66 * r
    hc = depth - r
    beta = math.acos(nw / r)
    hn = hc - r * math.sin(beta)
    w = nw + 0.95 * r
    neck = (-nw, hn)
    m = 0.6 * hn / math.cos(beta)
    c1 = (-w + 0.6 * (w - nw), 0.0)
    c2 = (neck[0] + m * math.sin(beta), neck[1] - m * math.cos(beta))
    pts = [(-w, 0.0)]
    pts += _bezier((-w, 0.0), c1, c2, neck, 14)
    # the left half of the head, from the neck up to the top; the right half is its mirror image
    sweep = math.pi / 2 + beta
    steps = max(8, int(sweep * r / 0.6))
    for i in range(1, steps + 1):
        th = math.pi + beta - sweep * i / steps
        pts.append((r * math.cos(th), hc + r * math.sin(th)))
    pts[-1] = (0.0, depth)
    right = [(-u, v) for (u, v) in reversed(pts)]
    return pts + right[1:], w


class Edge:
    """A cut from point a to point b.

    pos is a global direction that names the positive side; knob = (signed depth, centre 0..1)
    puts a tab that way (negative: the other way); wave = [(signed amplitude, harmonic)] bends the
    base line (sin(k*pi*t), zero at both ends so the corners stay put)."""

    def __init__(self, a, b, pos=(1, 0), knob=None, wave=()):
        self.a, self.b, self.pos, self.knob, self.wave = a, b, pos, knob, tuple(wave)

    def polyline(self):
        ax, ay = self.a
        bx, by = self.b
        dx, dy = bx - ax, by - ay
        length = math.hypot(dx, dy)
        tx, ty = dx / length, dy / length
        nx, ny = -ty, tx
        if nx * self.pos[0] + ny * self.pos[1] < 0:
            nx, ny = -nx, -ny

        def base(u):
            t = u / length
            return sum(a * math.sin(k * math.pi * t) for a, k in self.wave)

        def at(u, v):
            return (ax + tx * u + nx * v, ay + ty * u + ny * v)

        local = []
        if self.knob and self.knob[0] != 0:
            depth, centre = self.knob
            shape, w = knob_outline(abs(depth))
            sign = 1 if depth > 0 else -1
            uc = centre * length
            assert w < uc < length - w, "tab does not fit on its edge"
            u = 0.0
            while u < uc - w:
                local.append((u, base(u)))
                u += 0.5
            for (du, dv) in shape:
                local.append((uc + du, base(uc + du) + sign * dv))
            u = uc + w + 0.5
            while u < length:
                local.append((u, base(u)))
                u += 0.5
        else:
            u = 0.0
            while u < length:
                local.append((u, base(u)))
                u += 0.5
        pts = [at(u, v) for (u, v) in local]
        pts[0] = (ax, ay)
        pts.append((bx, by))
        return pts


class Cut:
    """Points, edges and pieces of one puzzle. A piece is a ring of edge names; '-name' runs backwards."""

    def __init__(self, points, edges, pieces):
        self.points = points
        self.edges = {}
        self.depths = {}
        for name, (a, b, kw) in edges.items():
            kw = dict(kw)
            fit = kw.pop("fit", None)
            if fit:
                kw["knob"] = (self._fit_depth(points[a], points[b], kw, *fit), fit[1])
            if kw.get("knob"):
                self.depths[name] = kw["knob"][0]
            self.edges[name] = Edge(points[a], points[b], **kw).polyline()
        self.pieces = pieces

    @staticmethod
    def _fit_depth(a, b, kw, sign, centre, limit):
        """The deepest tab (up to a third of the edge) whose tip stays on this side of limit.

        The limit is an x for an edge whose positive side is +x, a y for +y: the edge of the box of
        the piece the tab belongs to."""
        axis = 0 if abs(kw.get("pos", (1, 0))[0]) > 0 else 1
        length = math.hypot(b[0] - a[0], b[1] - a[1])

        def reach(depth):
            pts = Edge(a, b, knob=(sign * depth, centre), **kw).polyline()
            vals = [p[axis] for p in pts]
            return max(vals) if sign > 0 else min(vals)

        lo, hi = 4.0, length / 3.0
        inside = (lambda v: v <= limit) if sign > 0 else (lambda v: v >= limit)
        if inside(reach(hi)):
            return sign * hi
        for _ in range(40):
            mid = (lo + hi) / 2
            if inside(reach(mid)):
                lo = mid
            else:
                hi = mid
        return sign * lo

    def ring(self, pid):
        out = []
        for ref in self.pieces[pid]:
            back = ref.startswith("-")
            line = self.edges[ref.lstrip("-")]
            line = list(reversed(line)) if back else line
            if out:
                gap = math.hypot(out[-1][0] - line[0][0], out[-1][1] - line[0][1])
                assert gap < 1e-6, f"piece {pid}: edge {ref} does not continue the ring"
                line = line[1:]
            out += line
        gap = math.hypot(out[-1][0] - out[0][0], out[-1][1] - out[0][1])
        assert gap < 1e-6, f"piece {pid}: ring not closed"
        return out[:-1]

    def bbox(self, pid):
        pts = self.ring(pid)
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]
        return min(xs), min(ys), max(xs), max(ys)


def ring_path(ctx, pts):
    ctx.move_to(*pts[0])
    for p in pts[1:]:
        ctx.line_to(*p)
    ctx.close_path()


def surface_to_rgba(surface):
    """Straight (not premultiplied) RGBA array from a cairo ARGB32 surface."""
    w, h = surface.get_width(), surface.get_height()
    buf = np.ndarray((h, surface.get_stride() // 4, 4), np.uint8, surface.get_data())[:, :w, :]
    bgra = buf.astype(np.float64)
    a = bgra[:, :, 3:4]
    rgb = np.where(a > 0, bgra[:, :, 2::-1] * 255.0 / np.maximum(a, 1), 0)
    out = np.concatenate([np.clip(np.rint(rgb), 0, 255), a], axis=2)
    return out.astype(np.uint8)


def render_piece(cut, pid, box, painter):
    """Draws piece pid into its box (x0, y0, w, h in square coordinates): painter(ctx, ring) fills it."""
    x0, y0, w, h = box
    surf = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h)
    ctx = cairo.Context(surf)
    ctx.translate(-x0, -y0)
    painter(ctx, cut.ring(pid))
    surf.flush()
    return surface_to_rgba(surf)
