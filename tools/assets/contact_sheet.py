"""Contact sheet of everything in data/: every picture of every data/*.tsv table with its name, a
middle frame of every clip, the list of sounds, and the three puzzles assembled from their pieces
at their targets (from data/puzzles/layout.tsv, when it exists).

Usage: /usr/bin/python3 tools/assets/contact_sheet.py [output.png] [--data DIR]
       (default output build/contact-sheet.png, default data folder data/ of this repository)
"""
import glob
import io
import os
import subprocess
import sys

from PIL import Image, ImageDraw, ImageFont

ROOT = os.path.abspath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
DATA = os.path.join(ROOT, "data")
SHEET_WIDTH = 1600
PAD = 10
FONT_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
BOLD_FILE = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
# Tints the game gives the white pieces of puzzles 2 and 3 (any two of them; shown here in turn).
TINTS = [(0xFF, 0xFE, 0x70), (0xC8, 0xFF, 0xFF), (0xFF, 0xC0, 0xE6)]


def font(size, bold=False):
    try:
        return ImageFont.truetype(BOLD_FILE if bold else FONT_FILE, size)
    except OSError:
        return ImageFont.load_default()


def read_table(path):
    """Rows (key, file, comment) of one data table; comment lines and blank lines skipped."""
    rows = []
    with open(path, encoding="utf-8") as f:
        for line in f:
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            parts = line.split("\t")
            if len(parts) < 2:
                continue
            rows.append((parts[0], parts[1], parts[2] if len(parts) > 2 else ""))
    return rows


def checkerboard(w, h, cell=8):
    img = Image.new("RGB", (w, h), (255, 255, 255))
    d = ImageDraw.Draw(img)
    for y in range(0, h, cell):
        for x in range(0, w, cell):
            if (x // cell + y // cell) % 2:
                d.rectangle([x, y, x + cell - 1, y + cell - 1], fill=(222, 222, 226))
    return img


def display_scale(w, h):
    """Integer enlargement for tiny pictures, halving for very large ones."""
    if w > 600 or h > 600:
        return 0.5
    for k in (8, 6, 4, 3, 2):
        if w * k <= 96 and h * k <= 96:
            return k
    return 1


def clip_frame(path):
    """The middle frame of a video file as a PIL image, or None for audio-only files or no ffmpeg."""
    try:
        probe = subprocess.run(["ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                                "stream=codec_type", "-of", "csv=p=0", path],
                               capture_output=True, text=True, timeout=30)
        if "video" not in probe.stdout:
            return None
        dur = subprocess.run(["ffprobe", "-v", "error", "-show_entries", "format=duration", "-of",
                              "csv=p=0", path], capture_output=True, text=True, timeout=30)
        try:
            mid = max(float(dur.stdout.strip()) / 2.0, 0.0)
        except ValueError:
            mid = 0.0
        out = subprocess.run(["ffmpeg", "-v", "error", "-ss", f"{mid:.3f}", "-i", path, "-frames:v", "1",
                              "-f", "image2pipe", "-vcodec", "png", "-"],
                             capture_output=True, timeout=60)
        if out.returncode != 0 or not out.stdout:
            return None
        return Image.open(io.BytesIO(out.stdout)).convert("RGBA")
    except (OSError, subprocess.SubprocessError):
        return None


class Tile:
    def __init__(self, image, caption, note=""):
        self.image, self.caption, self.note = image, caption, note


def picture_tile(img, key):
    w, h = img.size
    k = display_scale(w, h)
    if k != 1:
        resample = Image.NEAREST if k > 1 else Image.LANCZOS
        img = img.resize((max(1, int(w * k)), max(1, int(h * k))), resample)
    note = f"{w}x{h} {'RGBA' if 'A' in img.mode else 'RGB'}" + (f"  x{k:g}" if k != 1 else "")
    return Tile(img, key, note)


def render_tiles(tiles, title):
    f_cap, f_note, f_title = font(12), font(10), font(18, bold=True)
    placed, x, y, row_h = [], PAD, 34, 0
    for t in tiles:
        cap_w = max(f_cap.getlength(t.caption), f_note.getlength(t.note))
        w = max(t.image.size[0], int(cap_w)) + 2
        h = t.image.size[1] + 32
        if x + w > SHEET_WIDTH - PAD and x > PAD:
            x, y, row_h = PAD, y + row_h + PAD, 0
        placed.append((t, x, y))
        x += w + PAD
        row_h = max(row_h, h)
    height = y + row_h + PAD
    sheet = Image.new("RGB", (SHEET_WIDTH, height), (250, 250, 252))
    d = ImageDraw.Draw(sheet)
    d.text((PAD, 6), title, fill=(7, 33, 52), font=f_title)
    for t, tx, ty in placed:
        iw, ih = t.image.size
        board = checkerboard(iw, ih)
        board.paste(t.image, (0, 0), t.image if t.image.mode == "RGBA" else None)
        sheet.paste(board, (tx, ty))
        d.rectangle([tx - 1, ty - 1, tx + iw, ty + ih], outline=(170, 176, 186))
        d.text((tx, ty + ih + 3), t.caption, fill=(7, 33, 52), font=f_cap)
        d.text((tx, ty + ih + 18), t.note, fill=(90, 100, 112), font=f_note)
    return sheet


def text_panel(title, lines):
    f_title, f_line = font(18, bold=True), font(12)
    height = 40 + 17 * max(1, len(lines))
    img = Image.new("RGB", (SHEET_WIDTH, height), (250, 250, 252))
    d = ImageDraw.Draw(img)
    d.text((PAD, 6), title, fill=(7, 33, 52), font=f_title)
    for i, line in enumerate(lines or ["(none)"]):
        d.text((PAD, 34 + 17 * i), line, fill=(40, 50, 60), font=f_line)
    return img


def tinted(img, tint):
    r, g, b, a = img.split()
    r = r.point(lambda v: v * tint[0] // 255)
    g = g.point(lambda v: v * tint[1] // 255)
    b = b.point(lambda v: v * tint[2] // 255)
    return Image.merge("RGBA", (r, g, b, a))


def screens_panel(files, clip_frames):
    """The praise (cloud with a clip in it) and the instruction's closing page, composed where the
    screens place them, when their pictures exist."""
    def load(key):
        path = files.get(key)
        if path and path.lower().endswith(".png") and os.path.exists(path):
            return Image.open(path).convert("RGBA")
        return None
    tiles = []
    cloud = load("oblako_png")
    if cloud is not None:
        scene = Image.new("RGBA", (cloud.size[0] + 40, cloud.size[1] + 40), (46, 74, 60, 255))
        scene.alpha_composite(cloud, (20, 20))
        if clip_frames:
            key, frame = clip_frames[0]
            scene.alpha_composite(frame.resize((320, 200), Image.LANCZOS), (20 + 93, 20 + 76))
        tiles.append(Tile(scene, "praise", f"oblako_png with {clip_frames[0][0] if clip_frames else 'no clip'}"
                          " at (93, 76), 320x200"))
    keyboard, mouse, space = load("KEYBOARDPIC"), load("MOUSE"), load("KEYSPACE")
    if keyboard is not None and mouse is not None and space is not None:
        page = Image.new("RGBA", (800, 600), (244, 246, 248, 255))
        for key, pos in (("103", (0, 0)), ("102", (0, 60))):
            img = load(key)
            if img is not None:
                page.alpha_composite(img, pos)
        page.alpha_composite(keyboard, (107, 347))
        page.alpha_composite(mouse, (500, 209))
        page.alpha_composite(space, (237, 502))
        tiles.append(Tile(page, "closing page of the instruction", "KEYBOARDPIC, MOUSE, KEYSPACE as placed"))
    return render_tiles(tiles, "Screens composed") if tiles else None


def puzzle_panel(files):
    layout_path = os.path.join(DATA, "puzzles", "layout.tsv")
    if not os.path.exists(layout_path) or not os.path.exists(os.path.join(DATA, "puzzles.tsv")):
        return None
    levels = {}
    with open(layout_path, encoding="utf-8") as f:
        for line in f:
            parts = line.rstrip("\n").split("\t")
            if not line.strip() or line.startswith("#") or len(parts) < 4:
                continue
            try:
                level, key, tx, ty = int(parts[0]), parts[1].strip(), int(parts[2]), int(parts[3])
            except ValueError:
                continue            # a header line
            levels.setdefault(level, []).append((key, tx, ty))
    tiles = []
    for n, level in enumerate(sorted(levels)):
        frame = 350
        canvas = Image.new("RGBA", (frame + 40, frame + 40), (46, 74, 60, 255))
        ImageDraw.Draw(canvas).rectangle([19, 19, 20 + frame, 20 + frame], outline=(20, 30, 40), width=1)
        missing = []
        for key, tx, ty in levels[level]:
            path = files.get(key)
            if path is None or not os.path.exists(path):
                missing.append(key)
                continue
            piece = Image.open(path).convert("RGBA")
            if level != 1:
                piece = tinted(piece, TINTS[n % len(TINTS)])
            canvas.alpha_composite(piece, (20 + tx, 20 + ty))
        note = f"{len(levels[level])} pieces at their targets" + (f"; missing {', '.join(missing)}" if missing else "")
        tiles.append(Tile(canvas, f"puzzle {level} assembled", note))
    return render_tiles(tiles, "Puzzles assembled from their pieces") if tiles else None


def main():
    global DATA
    args = sys.argv[1:]
    if "--data" in args:
        i = args.index("--data")
        if i + 1 >= len(args):
            sys.exit("--data needs a folder")
        DATA = os.path.abspath(args[i + 1])
        del args[i:i + 2]
    out = os.path.abspath(args[0]) if args else os.path.join(ROOT, "build", "contact-sheet.png")
    clip_frames = []
    panels, files, sounds = [], {}, []
    for table in sorted(glob.glob(os.path.join(DATA, "*.tsv"))):
        name = os.path.basename(table)
        if name == "puzzles-layout.tsv":
            continue
        tiles = []
        for key, rel, comment in read_table(table):
            path = os.path.join(DATA, rel)
            files[key] = path
            if not os.path.exists(path):
                tiles.append(Tile(Image.new("RGB", (60, 40), (229, 57, 53)), key, "MISSING FILE"))
                continue
            if rel.lower().endswith(".png"):
                try:
                    img = Image.open(path)
                    img.load()
                except OSError as e:
                    tiles.append(Tile(Image.new("RGB", (60, 40), (229, 57, 53)), key, f"unreadable: {e}"))
                    continue
                mode = "RGBA" if img.mode in ("RGBA", "LA", "P") else "RGB"
                tiles.append(picture_tile(img.convert(mode), key))
            else:
                frame = clip_frame(path)
                if frame is not None:
                    clip_frames.append((key, frame))
                    t = picture_tile(frame, key)
                    t.note = "clip, middle frame"
                    tiles.append(t)
                else:
                    sounds.append(f"{key}    {rel}    {comment}")
        if tiles:
            panels.append(render_tiles(tiles, f"{name}  ({len(tiles)} pictures)"))
    if sounds:
        panels.append(text_panel("Sounds", sounds))
    screens = screens_panel(files, clip_frames)
    if screens is not None:
        panels.append(screens)
    puzzles = puzzle_panel(files)
    if puzzles is not None:
        panels.append(puzzles)
    if not panels:
        panels.append(text_panel("No tables in data/", []))
    height = sum(p.size[1] for p in panels) + PAD * (len(panels) - 1)
    sheet = Image.new("RGB", (SHEET_WIDTH, height), (200, 204, 210))
    y = 0
    for p in panels:
        sheet.paste(p, (0, y))
        y += p.size[1] + PAD
    os.makedirs(os.path.dirname(out), exist_ok=True)
    sheet.save(out)
    print(out)


if __name__ == "__main__":
    main()
