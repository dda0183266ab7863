"""Patch making for training: the recogniser's own scaling of an ink mask into a
24 x 24 patch, variations of real patches (as another print, light or camera would
have given them) and patches drawn straight from font glyphs.

The engine's rule (ocr_patch_from_ink): the digit's ink, cut to its bounding box,
is area-resampled so that its longer side is 20 pixels and centred in 24 x 24
(top = (24 - h) // 2, left = (24 - w) // 2); values are ink fractions 0..1.
"""
import numpy as np
from PIL import Image, ImageDraw, ImageFilter, ImageFont

SIDE = 24
LONG_SIDE = 20


def _ranges(n, m):
    """Source ranges [first, last) of the m output pixels of an n-pixel side."""
    i = np.arange(m, dtype=np.int64)
    a = i * n // m
    b = np.maximum(((i + 1) * n + m - 1) // m, a + 1)
    return a, np.minimum(b, n)


def patch_from_mask(mask):
    """The engine's patch of an ink mask (2-D, non-zero = ink); None without ink."""
    ys, xs = np.nonzero(mask)
    if len(ys) == 0:
        return None
    shape = (mask[ys.min():ys.max() + 1, xs.min():xs.max() + 1] > 0).astype(np.float64)
    h, w = shape.shape
    s = LONG_SIDE / max(w, h)
    nw = max(int(np.floor(w * s + 0.5)), 1)  # rounded half away from zero, like lround
    nh = max(int(np.floor(h * s + 0.5)), 1)
    integral = np.zeros((h + 1, w + 1))
    integral[1:, 1:] = shape.cumsum(0).cumsum(1)
    r0, r1 = _ranges(h, nh)
    c0, c1 = _ranges(w, nw)
    sums = (integral[r1][:, c1] - integral[r0][:, c1] - integral[r1][:, c0] + integral[r0][:, c0])
    scaled = sums / ((r1 - r0)[:, None] * (c1 - c0)[None, :])
    patch = np.zeros((SIDE, SIDE), np.float32)
    top, left = (SIDE - nh) // 2, (SIDE - nw) // 2
    patch[top:top + nh, left:left + nw] = scaled
    return patch


def _largest_piece(mask):
    """The largest 8-connected piece of a small mask (flood fill; masks are tiny)."""
    h, w = mask.shape
    label = np.zeros((h, w), np.int32)
    best, best_size, current = 0, 0, 0
    flat = mask.ravel()
    lab = label.ravel()
    for seed in np.flatnonzero(flat):
        if lab[seed]:
            continue
        current += 1
        lab[seed] = current
        stack = [seed]
        size = 0
        while stack:
            p = stack.pop()
            size += 1
            y, x = divmod(p, w)
            for dy in (-1, 0, 1):
                ny = y + dy
                if ny < 0 or ny >= h:
                    continue
                for dx in (-1, 0, 1):
                    nx = x + dx
                    if 0 <= nx < w:
                        q = ny * w + nx
                        if flat[q] and not lab[q]:
                            lab[q] = current
                            stack.append(q)
        if size > best_size:
            best, best_size = current, size
    return label == best


def _low_resolution_mask(grey, rng, height):
    """A grey glyph (ink dark) seen as a camera would: scaled so that its ink is about
    `height` pixels tall, blurred, thresholded at a random ink level (heavier or
    lighter strokes, broken strokes), keeping the largest piece as the engine does."""
    ys, xs = np.nonzero(np.asarray(grey) < 128)
    if len(ys) == 0:
        return None
    scale = height / (ys.max() - ys.min() + 1)
    img = grey.resize((max(2, int(grey.width * scale)), max(2, int(grey.height * scale))), Image.BILINEAR)
    blur = rng.uniform(0, 1.2)
    if blur > 0.3:
        img = img.filter(ImageFilter.GaussianBlur(blur))
    a = np.asarray(img, np.float32) + rng.normal(0, rng.uniform(0, 12), size=(img.height, img.width))
    mask = a < rng.uniform(70, 215)
    if mask.sum() == 0:
        return None
    return _largest_piece(mask)


def glyph_patch(font_path, digit, rng):
    """A digit of a font, printed and photographed at low resolution, as a patch."""
    size = 64
    font = ImageFont.truetype(font_path, size)
    img = Image.new("L", (size * 2, size * 2), 255)
    draw = ImageDraw.Draw(img)
    stroke = int(rng.choice([0, 0, 0, 1, 2]))
    draw.text((size // 2, size // 4), str(digit), font=font, fill=0, stroke_width=stroke, stroke_fill=0)
    # A narrower or wider print, and a slight slant.
    sx = rng.uniform(0.8, 1.15)
    shear = rng.uniform(-0.12, 0.12)
    img = img.transform(img.size, Image.AFFINE, (1 / sx, shear, -shear * size, 0, 1, 0), Image.BILINEAR,
                        fillcolor=255)
    mask = _low_resolution_mask(img, rng, rng.uniform(11, 40))
    return None if mask is None else patch_from_mask(mask)


def blank_patch(rng):
    """Class 0 material that passes the engine's shape rules: remnants of ruled lines
    (thin bars, possibly with the stub of a crossing line) and specks of dirt."""
    h = int(rng.integers(14, 40))
    w = h
    img = Image.new("L", (w + 8, h + 8), 255)
    draw = ImageDraw.Draw(img)
    kind = rng.random()
    x = 4 + rng.uniform(0.2, 0.8) * w
    thick = rng.uniform(1, max(1.5, 0.08 * h))
    lean = rng.uniform(-0.06, 0.06) * h
    draw.line([(x, 4), (x + lean, 4 + h)], fill=0, width=max(1, int(round(thick))))
    if kind < 0.3:
        # A stub of the crossing line at one end.
        y = 4 if rng.random() < 0.5 else 4 + h
        stub = rng.uniform(0.15, 0.35) * w * (1 if rng.random() < 0.5 else -1)
        draw.line([(x, y), (x + stub, y)], fill=0, width=max(1, int(round(thick))))
    elif kind < 0.55:
        # Ragged print: some dirt along the bar.
        for _ in range(int(rng.integers(1, 4))):
            yy = 4 + rng.uniform(0, h)
            rr = rng.uniform(0.5, 0.1 * h + 1)
            draw.ellipse([x - rr, yy - rr, x + rr, yy + rr], fill=0)
    mask = _low_resolution_mask(img, rng, h)
    return None if mask is None else patch_from_mask(mask)


def varied_patch(patch, rng):
    """A real patch as a slightly different print or picture would have given it:
    turned a few degrees, narrower or wider, slanted, its strokes heavier or lighter
    or broken, then scaled back by the engine's rule."""
    k = 3  # work at three times the patch's resolution
    img = Image.fromarray(patch.reshape(SIDE, SIDE).astype(np.float32), "F")
    img = img.resize((SIDE * k, SIDE * k), Image.BILINEAR)
    angle = np.radians(rng.uniform(-6, 6))
    sx = rng.uniform(0.85, 1.15)
    sy = rng.uniform(0.92, 1.08)
    shear = rng.uniform(-0.12, 0.12)
    c, s = np.cos(angle), np.sin(angle)
    # Output -> input map around the centre.
    m = np.array([[c / sx, -s / sx + shear], [s / sy, c / sy]])
    big = SIDE * k * 2
    centre_in = SIDE * k / 2
    centre_out = big / 2
    offset = np.array([centre_in, centre_in]) - m @ np.array([centre_out, centre_out])
    img = img.transform((big, big), Image.AFFINE, (m[0, 0], m[0, 1], offset[0], m[1, 0], m[1, 1], offset[1]),
                        Image.BILINEAR, fillcolor=0)
    a = np.asarray(img, np.float32)
    mask = a > rng.uniform(0.3, 0.7)
    grow = rng.random()
    if grow < 0.25 or grow > 0.85:
        lm = Image.fromarray((mask * 255).astype(np.uint8), "L")
        lm = lm.filter(ImageFilter.MaxFilter(3) if grow < 0.25 else ImageFilter.MinFilter(3))
        mask = np.asarray(lm) > 127
    ys, xs = np.nonzero(mask)
    if len(ys) == 0:
        return None
    # Back to a camera's resolution: the digit's ink some 12 to 40 pixels tall.
    scale = rng.uniform(12, 40) / (ys.max() - ys.min() + 1)
    lm = Image.fromarray((mask * 255).astype(np.uint8), "L")
    side = max(4, int(round(big * scale)))
    mask = np.asarray(lm.resize((side, side), Image.BOX)) > rng.uniform(90, 165)
    if rng.random() < 0.1:
        # A gap in a stroke: the engine then keeps the larger piece.
        ys, xs = np.nonzero(mask)
        if len(ys):
            y = int(rng.integers(ys.min(), ys.max() + 1))
            mask = mask.copy()
            mask[y:y + int(rng.integers(1, 3)), :] = False
    if mask.sum() == 0:
        return None
    return patch_from_mask(_largest_piece(mask))
