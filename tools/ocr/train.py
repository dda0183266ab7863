"""Trains the digit recogniser (576-96-10, ReLU, softmax) and writes its weight
table: W1 (576 x 96, input-major), b1 (96), W2 (96 x 10, hidden-major), b2 (10),
56,362 little-endian float32 values.

usage: train.py OUT.bin --work DIR --photos PHOTOS.bin [--synthetic SYNTH.bin]
                [--epochs N] [--final]

Sources (all patches are the engine's own, or made by its scaling rule):
- PHOTOS.bin: `nonet ocr --dump-patches --subset train` of the newspaper photos.
  Every 5th of these photos (photo index % 5 == 2) is the validation set that
  chooses the epoch (early stopping); the held-out photos are never read here.
- SYNTH.bin: the same dump of rendered pictures (render_grids.py).
- glyphs drawn straight from the training fonts at camera resolution, remnants of
  ruled lines and specks as class 0, and varied copies of every training photo
  patch (turned, narrower or wider, heavier or lighter strokes): patches.py. They
  are cached in the work folder, so a second run only trains.
A dump's readings are kept where the grid was found: at least 4 patches on ground
truth digit cells and at least 80% of the reading's patches there. A photo patch on
an empty cell is kept as class 0 only when it is narrow (a line remnant or a speck,
under 7 columns): a wide, digit-like mark on a cell the ground truth leaves empty is
more likely a digit the ground truth misses than a smudge.

--final trains once more on all training photos, validation ones included, for the
number of epochs the validation run chose, leaving out the readings whose labels the
validation run's network mostly contradicts (a grid put a cell off). Every step is seeded: the same inputs
give the same table.
"""
import argparse
import hashlib
import os
import time

import numpy as np

import patchfile
import patches
from fonts import training_fonts

SEED = 20261206
HIDDEN = 96
CONFIDENCE = 0.55  # ocr_accepted_digit's limit


def located(records):
    """The records of readings whose grid was found, each cell's patch once."""
    if len(records) == 0:
        return records
    key = records["photo"].astype(np.int64) * 64 + records["reading"]
    order = np.argsort(key, kind="stable")
    keys, starts, counts = np.unique(key[order], return_index=True, return_counts=True)
    keep = np.zeros(len(records), bool)
    on_digit = (records["label"][order] > 0).astype(np.int64)
    sums = np.add.reduceat(on_digit, starts)
    for s, n, d in zip(starts, counts, sums):
        if d >= 4 and d >= 0.8 * n:
            keep[order[s:s + n]] = True
    kept = records[keep]
    # The same cell read the same way by two readings is one example.
    digest = np.array([hash((int(p), int(c), r.tobytes())) for p, c, r in
                       zip(kept["photo"], kept["cell"], kept["patch"])])
    _, first = np.unique(digest, return_index=True)
    return kept[np.sort(first)]


def columns_with_ink(x):
    return (x.reshape(-1, 24, 24) > 0.3).any(axis=1).sum(axis=1)


def photo_examples(path):
    records = located(patchfile.load(path))
    x = records["patch"].reshape(-1, 576).astype(np.float32)
    y = records["label"].astype(np.int64)
    keep = (y > 0) | (columns_with_ink(x) < 7)
    return x[keep], y[keep], records["photo"][keep], records["reading"][keep], records["cell"][keep]


def cached(work, name, key, build):
    """build() once per key and version of patches.py; the arrays are kept in WORK/name-KEY.npz."""
    with open(patches.__file__, "rb") as f:
        code = f.read()  # patches made by another version of patches.py are made again
    digest = hashlib.sha1(repr(key).encode() + code).hexdigest()[:12]
    path = os.path.join(work, "%s-%s.npz" % (name, digest))
    if os.path.exists(path):
        data = np.load(path)
        return data["x"], data["y"]
    x, y = build()
    np.savez(path, x=x, y=y)
    return x, y


def glyph_set(count, seed):
    fonts = training_fonts()
    rng = np.random.default_rng([seed, 1])
    xs, ys = [], []
    while len(xs) < count:
        digit = 1 + len(xs) % 9
        p = patches.glyph_patch(fonts[int(rng.integers(0, len(fonts)))], digit, rng)
        if p is not None:
            xs.append(p.ravel())
            ys.append(digit)
    return np.array(xs, np.float32), np.array(ys, np.int64)


def blank_set(count, seed):
    rng = np.random.default_rng([seed, 2])
    xs = []
    while len(xs) < count:
        p = patches.blank_patch(rng)
        if p is not None:
            xs.append(p.ravel())
    return np.array(xs, np.float32), np.zeros(count, np.int64)


def varied_set(x, copies, seed):
    """Varied copies of each patch; y holds the index of the patch each copy comes from."""
    rng = np.random.default_rng([seed, 3])
    xs, source = [], []
    for i, patch in enumerate(x):
        for _ in range(copies):
            p = patches.varied_patch(patch, rng)
            if p is not None:
                xs.append(p.ravel())
                source.append(i)
    return np.array(xs, np.float32).reshape(-1, 576), np.array(source, np.int64)


def softmax(out):
    out = out - out.max(axis=1, keepdims=True)
    p = np.exp(out)
    return p / p.sum(axis=1, keepdims=True)


def predict(params, x):
    w1, b1, w2, b2 = params
    return softmax(np.maximum(x @ w1 + b1, 0) @ w2 + b2)


def accepted(p):
    cls = p.argmax(axis=1)
    return np.where((cls >= 1) & (p.max(axis=1) >= CONFIDENCE), cls, 0)


def shifted(xb, rng):
    """Some examples moved by one pixel (the bounding box of a ragged print moves that much)."""
    out = xb.reshape(-1, 24, 24).copy()
    move = rng.random(len(out)) < 0.3
    for axis in (1, 2):
        step = rng.choice([-1, 1], size=len(out))
        for s in (-1, 1):
            pick = move & (step == s) & (rng.random(len(out)) < 0.5)
            out[pick] = np.roll(out[pick], s, axis=axis)
    return out.reshape(-1, 576)


def train(x, y, weight, epochs, val=None, stop_after=None, batch=128, lr=2e-3, decay=1e-4, patience=20, dropout=0.0):
    """Adam with decoupled weight decay and a cosine rate; with val = (x, y), the
    parameters of the epoch with the lowest validation loss (the error count of a
    few hundred validation patches is too coarse to choose by)."""
    rng = np.random.default_rng(SEED)
    w1 = (rng.standard_normal((576, HIDDEN)) * np.sqrt(2.0 / 576)).astype(np.float32)
    b1 = np.zeros(HIDDEN, np.float32)
    w2 = (rng.standard_normal((HIDDEN, 10)) * np.sqrt(2.0 / HIDDEN)).astype(np.float32)
    b2 = np.zeros(10, np.float32)
    params = [w1, b1, w2, b2]
    m = [np.zeros_like(p) for p in params]
    v = [np.zeros_like(p) for p in params]
    beta1, beta2, eps = 0.9, 0.999, 1e-8
    step = 0
    n = len(x)
    best = None
    best_epoch = 0
    for epoch in range(stop_after or epochs):
        rate = lr * 0.5 * (1 + np.cos(np.pi * epoch / epochs))
        order = rng.permutation(n)
        total = 0.0
        for start in range(0, n, batch):
            idx = order[start:start + batch]
            xb = shifted(x[idx], rng)
            yb = y[idx]
            wb = weight[idx]
            h = xb @ w1 + b1
            a = np.maximum(h, 0)
            if dropout:
                keep = (rng.random(a.shape) >= dropout).astype(np.float32) / np.float32(1 - dropout)
                a *= keep
            p = softmax(a @ w2 + b2)
            rows = np.arange(len(yb))
            total += float((-np.log(p[rows, yb] + 1e-12) * wb).sum())
            g = p
            g[rows, yb] -= 1
            g *= (wb / wb.sum())[:, None]
            gw2 = a.T @ g
            gb2 = g.sum(axis=0)
            ga = g @ w2.T
            if dropout:
                ga *= keep
            ga[h <= 0] = 0
            gw1 = xb.T @ ga
            gb1 = ga.sum(axis=0)
            step += 1
            for i, grad in enumerate((gw1, gb1, gw2, gb2)):
                m[i] = beta1 * m[i] + (1 - beta1) * grad
                v[i] = beta2 * v[i] + (1 - beta2) * grad * grad
                mh = m[i] / (1 - beta1 ** step)
                vh = v[i] / (1 - beta2 ** step)
                params[i] -= (rate * mh / (np.sqrt(vh) + eps)).astype(np.float32)
                if i in (0, 2):
                    params[i] *= np.float32(1 - rate * decay)
        line = "epoch %2d  loss %.4f" % (epoch + 1, total / weight.sum())
        if val is not None:
            pv = predict(params, val[0])
            errors = int((accepted(pv) != val[1]).sum())
            loss = float(-np.log(pv[np.arange(len(val[1])), val[1]] + 1e-12).mean())
            line += "  validation errors %d of %d, loss %.4f" % (errors, len(val[1]), loss)
            if best is None or (loss, errors) < best[0]:
                best = ((loss, errors), [p.copy() for p in params])
                best_epoch = epoch + 1
            elif epoch + 1 - best_epoch >= patience:
                print(line, flush=True)
                print("stopped: no better validation for %d epochs" % patience, flush=True)
                break
        print(line, flush=True)
    if best is not None:
        print("best epoch %d: validation loss %.4f, errors %d" % (best_epoch, best[0][0], best[0][1]), flush=True)
        return best[1], best_epoch
    return params, epochs


def class_counts(y):
    return " ".join("%d:%d" % (k, (y == k).sum()) for k in range(10))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("out")
    ap.add_argument("--work", required=True)
    ap.add_argument("--photos", required=True)
    ap.add_argument("--synthetic", default=None)
    ap.add_argument("--epochs", type=int, default=14)
    ap.add_argument("--max-rendered", type=int, default=60000, help="examples kept from the rendered pictures")
    ap.add_argument("--glyphs", type=int, default=20000)
    ap.add_argument("--blanks", type=int, default=3000)
    ap.add_argument("--copies", type=int, default=1, help="varied copies of each training photo patch")
    ap.add_argument("--photo-weight", type=float, default=3.0)
    ap.add_argument("--dropout", type=float, default=0.0, help="share of hidden units dropped in training")
    ap.add_argument("--final", action="store_true")
    args = ap.parse_args()
    os.makedirs(args.work, exist_ok=True)
    started = time.time()

    px, py, pphoto, preading, records_cell = photo_examples(args.photos)
    is_val = pphoto % 5 == 2
    print("photos: %d examples (%s), %d of them validation" % (len(py), class_counts(py), is_val.sum()))
    photo_key = hashlib.sha1(px.tobytes()).hexdigest()
    parts = []  # (x, y, weight per example, name)
    if args.synthetic:
        records = located(patchfile.load(args.synthetic))
        if len(records) > args.max_rendered:
            # The threshold variants make several near copies of each cell: a fixed sample.
            pick = np.sort(np.random.default_rng([SEED, 4]).choice(len(records), args.max_rendered, replace=False))
            records = records[pick]
        sx = records["patch"].reshape(-1, 576).astype(np.float32)
        sy = records["label"].astype(np.int64)
        parts.append((sx, sy, 1.0, "rendered"))
    fonts_key = tuple(training_fonts())
    gx, gy = cached(args.work, "glyphs", (fonts_key, args.glyphs, SEED), lambda: glyph_set(args.glyphs, SEED))
    parts.append((gx, gy, 1.0, "glyphs"))
    bx, by = cached(args.work, "blanks", (args.blanks, SEED), lambda: blank_set(args.blanks, SEED))
    parts.append((bx, by, 1.0, "blanks"))
    print("patches ready after %.0f s" % (time.time() - started), flush=True)

    vx, vsource = cached(args.work, "varied", (photo_key, args.copies, SEED), lambda: varied_set(px, args.copies, SEED))

    def assemble(use):
        vuse = use[vsource]
        vy = py[vsource[vuse]]
        vx_used = vx[vuse]
        sets = parts + [(px[use], py[use], args.photo_weight, "photos"), (vx_used, vy, 1.0, "varied photos")]
        for sx, sy, w, name in sets:
            print("  %-14s %6d examples (%s), weight %.1f" % (name, len(sy), class_counts(sy), w))
        x = np.concatenate([s[0] for s in sets])
        y = np.concatenate([s[1] for s in sets])
        w = np.concatenate([np.full(len(s[1]), s[2], np.float32) for s in sets])
        # Every class counts the same in the loss.
        per_class = np.bincount(y, weights=w, minlength=10)
        w = (w * (per_class.sum() / 10) / per_class[y]).astype(np.float32)
        return x, y, w

    x, y, w = assemble(~is_val)
    print("training set ready after %.0f s" % (time.time() - started), flush=True)
    params, best_epoch = train(x, y, w, args.epochs, val=(px[is_val], py[is_val]), dropout=args.dropout)
    pv = predict(params, px[is_val])
    got = accepted(pv)
    for i in np.nonzero(got != py[is_val])[0]:
        j = np.nonzero(is_val)[0][i]
        print("  validation error: photo %d reading %d cell %d is %d, read %d (class %d at %.2f)" % (
            pphoto[j], preading[j], records_cell[j], py[j], got[i], pv[i].argmax(), pv[i].max()))
    if args.final:
        # A reading the validation run's network reads mostly otherwise than its
        # labels is a grid put a cell off: its labels are wrong, leave it out.
        wrong = accepted(predict(params, px)) != py
        key = pphoto.astype(np.int64) * 64 + preading
        use = np.ones(len(py), bool)
        dropped = 0
        for k in np.unique(key):
            m = key == k
            if m.sum() >= 3 and wrong[m].sum() * 2 > m.sum():
                use[m] = False
                dropped += 1
        print("left out %d readings (%d patches) whose labels the network mostly contradicts" % (
            dropped, (~use).sum()))
        x, y, w = assemble(use)
        print("final run on all training photos, %d epochs" % best_epoch, flush=True)
        params, _ = train(x, y, w, args.epochs, stop_after=best_epoch, dropout=args.dropout)
    pv = predict(params, px)
    print("training photo patches read right: %.4f (validation %.4f)" % (
        (accepted(pv) == py).mean(), (accepted(pv[is_val]) == py[is_val]).mean()))
    table = np.concatenate([p.astype("<f4").ravel() for p in params])
    assert table.size == 56362
    table.tofile(args.out)
    print("wrote %s after %.0f s" % (args.out, time.time() - started))


if __name__ == "__main__":
    main()
