"""Whole-program runs of the installed game under Xvfb, driven with xdotool.

A Session owns one X server (a free display chosen by Xvfb itself), one scratch home with its
own XDG folders, and the game process. Everything it starts dies with it: on close, on an
exception, on the hard timeout, and (through the parent-death signal) even when the test
runner kills this script outright.
"""

import ctypes
import os
import re
import shutil
import signal
import subprocess
import time

import numpy as np
from PIL import Image

CANVAS_W, CANVAS_H = 800, 600
TITLE = "00734 Игра «Тирлан»"

_libc = ctypes.CDLL(None, use_errno=True)
PR_SET_PDEATHSIG = 1


def _die_with_parent():
    """Runs in the child before exec: SIGKILL it when this script goes away."""
    _libc.prctl(PR_SET_PDEATHSIG, signal.SIGKILL, 0, 0, 0)
    os.setpgid(0, 0)


class E2EFailure(AssertionError):
    pass


def check(condition, message):
    if not condition:
        raise E2EFailure(message)


def log(*parts):
    print("[e2e %6.1fs]" % (time.monotonic() - _START), *parts, flush=True)


_START = time.monotonic()


# ---- the level table, read from the program's own source -------------------------------------

def read_levels(source_dir):
    """The three puzzles as lists of (texture id, target x, target y), and the frame origin."""
    text = open(os.path.join(source_dir, "game", "Levels.h"), encoding="utf-8").read()
    table = text[text.index("kLevels {"):]
    table = table[:table.index("} };")]
    levels = []
    for block in re.split(r"//\s*\d+:", table)[1:]:
        pieces = [tuple(int(v) for v in m)
                  for m in re.findall(r"\{\s*(\d+),\s*(-?\d+),\s*(-?\d+)\s*\}", block)]
        levels.append(pieces)
    origin = re.search(r"kFrameOrigin\s*\{\s*(\d+),\s*(\d+)\s*\}", text)
    scatter = re.search(r"kScatterArea\s*\{\s*(\d+),\s*(\d+),\s*(\d+),\s*(\d+)\s*\}", text)
    tints = re.search(r"kTintColours\s*\{([^}]*)\}", text)
    check(len(levels) == 3 and origin and scatter and tints, "cannot read game/Levels.h")
    tint_values = [int(v, 16) for v in re.findall(r"0x([0-9A-Fa-f]{8})", tints.group(1))]
    return {
        "source": source_dir,
        "levels": levels,
        "origin": (int(origin.group(1)), int(origin.group(2))),
        "scatter": tuple(int(scatter.group(i)) for i in range(1, 5)),
        "tints": [((v >> 16) & 255, (v >> 8) & 255, v & 255) for v in tint_values],
    }


# ---- pieces and where they are on a screenshot -----------------------------------------------

class Piece:
    """One piece texture with a fixed set of sample texels well inside its opaque part."""

    def __init__(self, path, texture, target, samples=80, margin=3, outline=False):
        rgba = np.asarray(Image.open(path).convert("RGBA"), dtype=np.int16)
        self.texture = texture
        self.target = target
        self.h, self.w = rgba.shape[:2]
        opaque = rgba[:, :, 3] == 255
        if outline:
            # Plain pieces are one colour inside: only their dark outline tells them apart.
            opaque &= rgba[:, :, :3].max(axis=2) < 128
            margin = 0
        inner = opaque.copy()
        # Keep texels whose neighbourhood is opaque too: scaling blurs the edges.
        for dy in range(-margin, margin + 1):
            for dx in range(-margin, margin + 1):
                inner &= np.roll(np.roll(opaque, dy, 0), dx, 1)
        if margin:
            inner[:margin, :] = inner[-margin:, :] = False
            inner[:, :margin] = inner[:, -margin:] = False
        ys, xs = np.nonzero(inner)
        check(len(ys) > 0, "piece %s has no opaque interior" % path)
        rng = np.random.default_rng(texture)
        pick = rng.choice(len(ys), size=min(samples, len(ys)), replace=False)
        self.dy = ys[pick]
        self.dx = xs[pick]
        self.colours = rgba[ys[pick], xs[pick], :3]
        # The whole opaque body, away from its edge: similar outlines are told apart by it.
        solid = rgba[:, :, 3] == 255
        body = solid.copy()
        for dy in range(-3, 4):
            for dx in range(-3, 4):
                body &= np.roll(np.roll(solid, dy, 0), dx, 1)
        ys, xs = np.nonzero(body)
        pick = rng.choice(len(ys), size=min(300, len(ys)), replace=False)
        self.body_dy = ys[pick]
        self.body_dx = xs[pick]
        self.body_colours = rgba[ys[pick], xs[pick], :3]
        # A grab point: the body texel nearest the middle of the piece.
        d = (ys - self.h / 2) ** 2 + (xs - self.w / 2) ** 2
        k = int(np.argmin(d))
        self.grab = (int(xs[k]), int(ys[k]))

    @staticmethod
    def tinted(colours, tint):
        if tint is None:
            return colours
        return (colours * np.array(tint, dtype=np.int32)) // 255

    def expected(self, tint=None):
        return self.tinted(self.colours, tint)

    def find(self, canvas, area, tint=None, tol=12, first=8):
        """(score, x, y) of the best top-left corner within area (x0, y0, x1, y1). The first
        samples pick the candidates (at most one of them may miss); all samples rank them."""
        x0, y0, x1, y1 = area
        x0, y0 = max(x0, 0), max(y0, 0)
        x1 = min(x1, canvas.shape[1] - self.w)
        y1 = min(y1, canvas.shape[0] - self.h)
        if x1 < x0 or y1 < y0:
            return 0.0, 0, 0
        colours = self.expected(tint)
        first = min(first, len(self.dy))
        # The first pass compares sums of the three channels: one plane instead of three.
        plane = canvas.sum(axis=2, dtype=np.int16)
        count = np.zeros((y1 - y0 + 1, x1 - x0 + 1), dtype=np.int8)
        for dy, dx, c in zip(self.dy[:first], self.dx[:first], colours[:first]):
            block = plane[y0 + dy:y1 + dy + 1, x0 + dx:x1 + dx + 1]
            count += (np.abs(block - int(c.sum())) <= 3 * tol)
        cy, cx = np.nonzero(count >= first - 1)
        if len(cy) == 0:
            k = int(np.argmax(count))
            y, x = divmod(k, count.shape[1])
            return 0.5 * float(count[y, x]) / first, x0 + x, y0 + y
        # Then all samples, and the body, on the candidates that are still good enough.
        scores = None
        for dy, dx, c in ((self.dy, self.dx, colours),
                          (self.body_dy, self.body_dx, self.tinted(self.body_colours, tint))):
            seen = canvas[(cy + y0)[:, None] + dy[None, :], (cx + x0)[:, None] + dx[None, :], :]
            part = (np.abs(seen - c[None, :, :]).max(axis=2) <= tol).mean(axis=1)
            scores = part if scores is None else np.minimum(scores, part)
            if scores.max() < 0.8:
                break
            keep = scores >= 0.8
            cy, cx, scores = cy[keep], cx[keep], scores[keep]
        k = int(np.argmax(scores))
        return float(scores[k]), int(cx[k] + x0), int(cy[k] + y0)

    def score_at(self, canvas, x, y, tint=None, tol=12, slack=0):
        """The best score with the top-left corner within `slack` pixels of (x, y)."""
        return self.find(canvas, (x - slack, y - slack, x + slack, y + slack), tint, tol)[0]


def load_pieces(source_dir, level_table, level, outline=False):
    origin = level_table["origin"]
    pieces = []
    for texture, tx, ty in level_table["levels"][level]:
        path = os.path.join(source_dir, "data", "puzzles", "%d.png" % texture)
        pieces.append(Piece(path, texture, (origin[0] + tx, origin[1] + ty), outline=outline))
    return pieces


def dominant_tint(canvas, tints, area, tol=6):
    """The tint whose plain colour covers most of the area: the colour of plain pieces."""
    x0, y0, x1, y1 = area
    part = canvas[y0:y1, x0:x1]
    counts = [int((np.abs(part - np.array(t)).max(axis=2) <= tol).sum()) for t in tints]
    return tints[int(np.argmax(counts))]


def image_array(image):
    return np.asarray(image.convert("RGB"), dtype=np.int16)


# ---- the session -----------------------------------------------------------------------------

class Session:
    """One X server, one scratch home, one game process."""

    def __init__(self, name, prefix, artifacts, screen=(800, 600), env=None):
        self.name = name
        self.prefix = prefix
        self.screen = screen
        self.artifacts = os.path.join(artifacts, name)
        shutil.rmtree(self.artifacts, ignore_errors=True)
        os.makedirs(self.artifacts, exist_ok=True)
        # A fresh home per run, kept with the screenshots (the results file lies in it).
        self.home = os.path.join(self.artifacts, "home")
        os.makedirs(self.home, exist_ok=True)
        self.data_home = os.path.join(self.home, "data")
        self.extra_env = env or {}
        self.xvfb = None
        self.game = None
        self.display = None
        self.shot_number = 0
        self.drags = 0  # drags the scenario made with the left button
        self.game_log = None

    # ---- X server ----

    def start_x(self):
        read_end, write_end = os.pipe()
        w, h = self.screen
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "%dx%dx24" % (w, h),
             "-nolisten", "tcp", "-noreset"],
            pass_fds=(write_end,), preexec_fn=_die_with_parent,
            stdout=subprocess.DEVNULL, stderr=open(os.path.join(self.artifacts, "xvfb.log"), "w"))
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + 20
        while not number.endswith(b"\n"):
            check(time.monotonic() < deadline, "Xvfb did not report a display")
            chunk = os.read(read_end, 16)
            check(chunk, "Xvfb exited before it reported a display")
            number += chunk
        os.close(read_end)
        self.display = ":" + number.decode().strip()
        log("Xvfb on", self.display, "%dx%d" % self.screen)

    def set_layout(self, layout):
        """The X keyboard layout, as a pupil's machine would have it (e.g. "ru")."""
        subprocess.run(["setxkbmap", "-layout", layout], env=self.env(), check=True, timeout=20)
        log("keyboard layout", layout)

    def env(self):
        e = {
            "PATH": os.environ.get("PATH", "/usr/bin:/bin"),
            "DISPLAY": self.display,
            "HOME": self.home,
            "XDG_DATA_HOME": self.data_home,
            "XDG_CONFIG_HOME": os.path.join(self.home, "config"),
            "XDG_CACHE_HOME": os.path.join(self.home, "cache"),
            "XDG_RUNTIME_DIR": self.home,
            "LANG": "C.UTF-8",
            # Quiet on a developer's machine: the dummy driver still runs the audio clock.
            "SDL_AUDIODRIVER": "dummy",
        }
        # Sanitizer settings reach a sanitized build of the game.
        for name in ("ASAN_OPTIONS", "LSAN_OPTIONS", "UBSAN_OPTIONS", "TSAN_OPTIONS"):
            if name in os.environ:
                e[name] = os.environ[name]
        e.update(self.extra_env)
        return {k: v for k, v in e.items() if v is not None}

    # ---- the game ----

    def start_game(self, executable=None):
        executable = executable or os.path.join(self.prefix, "bin", "tirlan")
        check(os.access(executable, os.X_OK), "no executable at " + executable)
        self.game_log = open(os.path.join(self.artifacts, "game.stderr"), "a")
        self.game = subprocess.Popen([executable], env=self.env(), cwd=self.home,
                                     stdin=subprocess.DEVNULL, stdout=self.game_log,
                                     stderr=self.game_log, preexec_fn=_die_with_parent)
        log("started", executable, "pid", self.game.pid)

    def running(self):
        return self.game is not None and self.game.poll() is None

    def wait_exit(self, timeout=10):
        try:
            return self.game.wait(timeout)
        except subprocess.TimeoutExpired:
            return None

    def close(self):
        for proc in (self.game, self.xvfb):
            if proc is not None and proc.poll() is None:
                try:
                    os.killpg(proc.pid, signal.SIGKILL)
                except ProcessLookupError:
                    pass
                proc.wait()
        if self.game_log:
            self.game_log.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()
        return False

    # ---- input ----

    def xdotool(self, *args):
        subprocess.run(["xdotool", *map(str, args)], env=self.env(), check=True, timeout=20)

    def to_screen(self, cx, cy):
        """The screen pixel that shows canvas pixel (cx, cy): its centre under the scaling."""
        left, top, right, bottom = self.canvas_rect()
        sx = left + (cx + 0.5) * (right - left) / CANVAS_W
        sy = top + (cy + 0.5) * (bottom - top) / CANVAS_H
        return int(sx), int(sy)

    def move(self, cx, cy):
        self.xdotool("mousemove", *self.to_screen(cx, cy))

    def drag(self, start, end, steps=6):
        """Press at canvas point `start`, move with the button held, release at `end`. The
        pointer arrives from a few pixels away, as a hand would bring it: the game takes the
        control under the pointer from its moves. One xdotool run does it all."""
        command = ["mousemove", *self.to_screen(start[0] - 3, start[1] - 3), "sleep", "0.05",
                   "mousemove", *self.to_screen(*start), "sleep", "0.05", "mousedown", "1",
                   "sleep", "0.05"]
        for i in range(1, steps + 1):
            x = start[0] + (end[0] - start[0]) * i // steps
            y = start[1] + (end[1] - start[1]) * i // steps
            command += ["mousemove", *self.to_screen(x, y), "sleep", "0.02"]
        command += ["sleep", "0.05", "mouseup", "1"]
        self.xdotool(*command)

    def click(self, cx, cy):
        self.move(cx, cy)
        time.sleep(0.1)
        self.xdotool("click", 1)

    def key(self, *keys):
        self.xdotool("key", "--delay", "60", *keys)

    def type(self, text):
        self.xdotool("type", "--delay", "80", text)

    # ---- the screen ----

    def canvas_rect(self):
        """Where the 800 x 600 canvas lies on the screen: scaled to fit, aspect kept, centred."""
        w, h = self.screen
        if w * CANVAS_H <= h * CANVAS_W:
            cw, ch = w, (w * CANVAS_H + CANVAS_W // 2) // CANVAS_W
        else:
            cw, ch = (h * CANVAS_W + CANVAS_H // 2) // CANVAS_H, h
        left, top = (w - cw) // 2, (h - ch) // 2
        return left, top, left + cw, top + ch

    def screenshot(self, label):
        """The whole screen as an image; kept as artifacts/<run>/NN-label.png."""
        self.shot_number += 1
        path = os.path.join(self.artifacts, "%02d-%s.png" % (self.shot_number, label))
        subprocess.run(["import", "-display", self.display, "-window", "root", path],
                       env=self.env(), check=True, timeout=30,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return Image.open(path).convert("RGB")

    def canvas(self, image):
        """The canvas part of a screenshot, brought back to 800 x 600 when the screen scales it."""
        box = self.canvas_rect()
        part = image.crop(box)
        if part.size != (CANVAS_W, CANVAS_H):
            part = part.resize((CANVAS_W, CANVAS_H), Image.BILINEAR)
        return image_array(part)

    def scaled(self):
        return self.screen != (CANVAS_W, CANVAS_H)

    def wait_for(self, label, condition, timeout=20, interval=0.3):
        """Screenshots until condition(image) holds; the last image is returned."""
        deadline = time.monotonic() + timeout
        while True:
            check(self.running(), "the game exited (status %s) while waiting for %s; see %s"
                  % (self.game.poll() if self.game else None, label, self.artifacts))
            image = self.screenshot(label)
            result = condition(image)
            if result:
                return image, result
            if time.monotonic() > deadline:
                raise E2EFailure("timed out waiting for %s; last screenshot in %s" % (label, self.artifacts))
            os.remove(os.path.join(self.artifacts, "%02d-%s.png" % (self.shot_number, label)))
            self.shot_number -= 1
            time.sleep(interval)


def tolerance(session):
    return 40 if session.scaled() else 12


def topmost_piece(session, canvas, pieces, area, tint_options=(None,)):
    """The best-matching (score, piece, x, y, tint) among pieces within area."""
    best = (0.0, None, 0, 0, None)
    for piece in pieces:
        for tint in tint_options:
            score, x, y = piece.find(canvas, area, tint, tolerance(session))
            if score > best[0]:
                best = (score, piece, x, y, tint)
    return best


def run_main(scenarios, argv):
    """Command line: <scenario> --prefix P --artifacts A --source S [--build B] [--timeout s]."""
    import argparse
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", choices=sorted(scenarios))
    parser.add_argument("--prefix", required=True)
    parser.add_argument("--artifacts", required=True)
    parser.add_argument("--source", required=True)
    parser.add_argument("--build", help="the build folder (for the package)")
    parser.add_argument("--timeout", type=int, default=110)
    args = parser.parse_args(argv)
    os.makedirs(args.artifacts, exist_ok=True)

    def on_alarm(signum, frame):
        raise E2EFailure("hard timeout of %d s reached" % args.timeout)

    def on_term(signum, frame):
        raise E2EFailure("terminated by signal %d" % signum)

    signal.signal(signal.SIGALRM, on_alarm)
    signal.signal(signal.SIGTERM, on_term)
    signal.signal(signal.SIGINT, on_term)
    signal.alarm(args.timeout)
    try:
        scenarios[args.scenario](args)
    except E2EFailure as failure:
        log("FAIL:", failure)
        return 1
    log("PASS")
    return 0
