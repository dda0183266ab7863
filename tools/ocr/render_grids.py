"""Renders photographed-looking printed puzzles with their ground truth.

Each picture is a ruled 9x9 grid with printed digits in a random font, put through
the damage of a phone photo of newspaper print: perspective and tilt, uneven light,
blur, noise, weak contrast, heavier or lighter strokes and JPEG artefacts. Empty
cells sometimes carry smudges and specks (class 0 material). The pictures are
written as imageN.jpg with imageN.dat in the format of the newspaper photos, so the
engine cuts them into patches exactly as it cuts real photos.

usage: render_grids.py OUT_DIR FIRST COUNT SEED   (pictures FIRST .. FIRST + COUNT - 1;
picture i depends only on SEED and i, so ranges can be rendered in parallel)
"""
import math
import os
import sys

import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

from fonts import training_fonts


def perspective_coeffs(src, dst):
    """Coefficients for Image.transform(PERSPECTIVE) mapping output points dst to input points src."""
    a = []
    b = []
    for (x, y), (u, v) in zip(dst, src):
        a.append([x, y, 1, 0, 0, 0, -u * x, -u * y])
        a.append([0, 0, 0, x, y, 1, -v * x, -v * y])
        b += [u, v]
    return np.linalg.solve(np.array(a, dtype=np.float64), np.array(b, dtype=np.float64)).tolist()


def random_clues(rng):
    count = int(rng.integers(18, 40))
    cells = rng.choice(81, size=count, replace=False)
    grid = [0] * 81
    for c in cells:
        grid[int(c)] = int(rng.integers(1, 10))
    return grid


def draw_digit(draw, font, digit, cx, cy, fill, stroke):
    text = str(digit)
    box = draw.textbbox((0, 0), text, font=font, stroke_width=stroke)
    w, h = box[2] - box[0], box[3] - box[1]
    draw.text((cx - w / 2 - box[0], cy - h / 2 - box[1]), text, font=font, fill=fill, stroke_width=stroke,
              stroke_fill=fill)


def render(rng, fonts, grid):
    # Work on a flat sheet at twice the final resolution, then photograph it.
    out_w, out_h = [(640, 480), (800, 600), (1024, 768), (480, 640), (960, 720), (1280, 960)][int(rng.integers(0, 6))]
    scale = 2
    sheet_w, sheet_h = out_w * scale, out_h * scale
    paper = int(rng.integers(170, 250))
    ink = int(rng.integers(0, 70))
    sheet = Image.new("L", (sheet_w, sheet_h), paper)
    draw = ImageDraw.Draw(sheet)

    side = rng.uniform(0.62, 0.92) * min(sheet_w, sheet_h)
    left = rng.uniform(0.02, 0.98) * (sheet_w - side)
    top = rng.uniform(0.02, 0.98) * (sheet_h - side)
    pitch = side / 9
    thin = max(scale, int(round(pitch * rng.uniform(0.015, 0.05))))
    thick = max(thin + 1, int(round(pitch * rng.uniform(0.04, 0.11))))
    line_ink = min(255, ink + int(rng.integers(0, 20)))
    for k in range(10):
        w = thick if k % 3 == 0 else thin
        p = k * pitch
        draw.rectangle([left - w / 2, top + p - w / 2, left + side + w / 2, top + p + w / 2], fill=line_ink)
        draw.rectangle([left + p - w / 2, top - w / 2, left + p + w / 2, top + side + w / 2], fill=line_ink)

    # Print around the grid: a title and some text lines.
    font_path = fonts[int(rng.integers(0, len(fonts)))]
    if rng.random() < 0.5:
        small = ImageFont.truetype(font_path, max(8, int(pitch * rng.uniform(0.25, 0.5))))
        for _ in range(int(rng.integers(1, 6))):
            x = rng.uniform(0, sheet_w)
            y = rng.uniform(0, sheet_h)
            if left - pitch < x < left + side + pitch and top - pitch < y < top + side + pitch:
                continue
            draw.text((x, y), "Sudoku 1234 puzzle", font=small, fill=ink)

    size = int(pitch * rng.uniform(0.5, 0.82))
    font = ImageFont.truetype(font_path, size)
    stroke = int(rng.choice([0, 0, 0, 1, 1, 2])) if size > 40 else 0
    for cell, digit in enumerate(grid):
        r, c = divmod(cell, 9)
        cx = left + (c + 0.5 + rng.uniform(-0.06, 0.06)) * pitch
        cy = top + (r + 0.5 + rng.uniform(-0.06, 0.06)) * pitch
        if digit:
            draw_digit(draw, font, digit, cx, cy, ink, stroke)
        elif rng.random() < 0.06:
            # Smudges, specks and bits of print that are not digits.
            kind = rng.random()
            rr = pitch * rng.uniform(0.03, 0.15)
            if kind < 0.4:
                draw.ellipse([cx - rr, cy - rr, cx + rr, cy + rr * rng.uniform(0.5, 2)], fill=ink)
            else:
                draw.line([cx - pitch * 0.3, cy + rr, cx + pitch * 0.3, cy + rr * rng.uniform(-2, 2)], fill=ink,
                          width=max(1, thin))

    if rng.random() < 0.3:
        sheet = sheet.filter(ImageFilter.MinFilter(3) if rng.random() < 0.7 else ImageFilter.MaxFilter(3))

    # The camera: a tilt and a perspective, mapping the sheet onto the picture.
    angle = math.radians(rng.normal(0, 1.5) if rng.random() < 0.8 else rng.uniform(-5, 5))
    jitter = rng.uniform(0, 0.07) * min(sheet_w, sheet_h)
    cx0, cy0 = sheet_w / 2, sheet_h / 2
    zoom = rng.uniform(0.9, 1.1)
    corners_src = [(0, 0), (sheet_w, 0), (sheet_w, sheet_h), (0, sheet_h)]
    corners_dst = []
    for (x, y) in corners_src:
        dx, dy = (x - cx0) * zoom, (y - cy0) * zoom
        rx = cx0 + dx * math.cos(angle) - dy * math.sin(angle) + rng.uniform(-jitter, jitter)
        ry = cy0 + dx * math.sin(angle) + dy * math.cos(angle) + rng.uniform(-jitter, jitter)
        corners_dst.append((rx, ry))
    # Straight into the picture's size: each picture pixel samples the finer sheet.
    coeffs = perspective_coeffs(corners_src, [(x / scale, y / scale) for (x, y) in corners_dst])
    photo = sheet.transform((out_w, out_h), Image.PERSPECTIVE, coeffs, Image.BILINEAR, fillcolor=paper)

    a = np.asarray(photo, dtype=np.float32)
    # Uneven light: a linear gradient and a vignette; then lower contrast.
    # (Broadcast row and column terms: no full-size coordinate arrays.)
    xx = (np.arange(out_w, dtype=np.float32) / out_w - 0.5)[None, :]
    yy = (np.arange(out_h, dtype=np.float32) / out_h - 0.5)[:, None]
    gx, gy = rng.uniform(-0.35, 0.35, size=2)
    light = (1 + np.float32(gx) * xx + np.float32(gy) * yy) * (1 - np.float32(rng.uniform(0, 0.6)) * (xx * xx + yy * yy))
    a = a * (light * np.float32(rng.uniform(0.7, 1.05)))
    contrast = np.float32(rng.uniform(0.65, 1.0))
    mean = a.mean()
    a = (a - mean) * contrast + mean
    photo = Image.fromarray(np.clip(a, 0, 255).astype(np.uint8))
    blur = rng.choice([0, 0.5, 0.8, 1.2, 1.6, 2.2])
    if blur:
        photo = photo.filter(ImageFilter.GaussianBlur(float(blur) * out_w / 640))
    a = np.asarray(photo, dtype=np.float32) + rng.standard_normal((out_h, out_w), dtype=np.float32) * np.float32(
        rng.uniform(0, 9))
    photo = Image.fromarray(np.clip(a, 0, 255).astype(np.uint8))
    if rng.random() < 0.5:
        # Colour photo of grey print, slightly tinted.
        tint = rng.uniform(0.85, 1.1, size=3)
        a = np.asarray(photo, dtype=np.float32)[..., None] * tint
        photo = Image.fromarray(np.clip(a, 0, 255).astype(np.uint8), "RGB")
    return photo, int(rng.integers(20, 90))


def main():
    out_dir, first, count, seed = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
    os.makedirs(out_dir, exist_ok=True)
    fonts = training_fonts()
    if not fonts:
        sys.exit("no fonts found: run tools/ocr/install-training-deps.sh")
    for i in range(first, first + count):
        rng = np.random.default_rng([seed, i])
        grid = random_clues(rng)
        photo, quality = render(rng, fonts, grid)
        name = os.path.join(out_dir, "synth%05d" % i)
        photo.save(name + ".jpg", quality=quality)
        with open(name + ".dat", "w") as f:
            f.write("synthetic\n%dx%d:8 JPG\n" % photo.size)
            for r in range(9):
                f.write(" ".join(str(d) for d in grid[9 * r:9 * r + 9]) + " \n")


if __name__ == "__main__":
    main()
