"""Decodes every praise clip with ffmpeg and lays its frames out as the view shows them (320 x 200),
one clip per row, every frame or every few frames: python3 contact_sheet.py OUT.png [STEP]."""

import os
import subprocess
import sys

import cairo

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", ".."))
W, H, STORE_H = 320, 200, 240


def frames(path):
    raw = subprocess.run(["ffmpeg", "-v", "error", "-i", path, "-f", "rawvideo", "-pix_fmt", "bgra", "-"],
                         check=True, capture_output=True).stdout
    size = W * STORE_H * 4
    return [raw[i:i + size] for i in range(0, len(raw), size)]


def main():
    out = sys.argv[1]
    step = int(sys.argv[2]) if len(sys.argv) > 2 else 5
    rows = []
    with open(os.path.join(ROOT, "data", "clips.tsv"), encoding="utf-8") as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                rows.append(line.split("\t")[1])
    picks = list(range(0, 26, step)) + ([25] if 25 % step else [])
    scale = 0.5 if step == 1 else 1.0
    sheet = cairo.ImageSurface(cairo.FORMAT_RGB24, int(len(picks) * (W + 6) * scale), int(len(rows) * (H + 6) * scale))
    ctx = cairo.Context(sheet)
    ctx.set_source_rgb(0.3, 0.3, 0.3)
    ctx.paint()
    for r, rel in enumerate(rows):
        fr = frames(os.path.join(ROOT, "data", rel))
        for c, n in enumerate(picks):
            img = cairo.ImageSurface.create_for_data(bytearray(fr[n]), cairo.FORMAT_RGB24, W, STORE_H, W * 4)
            ctx.save()
            ctx.scale(scale, scale)
            ctx.translate(c * (W + 6) + 3, r * (H + 6) + 3)
            ctx.scale(1.0, H / STORE_H)
            ctx.set_source_surface(img, 0, 0)
            ctx.paint()
            ctx.restore()
    sheet.write_to_png(out)


if __name__ == "__main__":
    main()
