"""Trains the digit recogniser (576-96-10, ReLU, softmax) on patch dumps and writes
its weight table: W1 (576 x 96, input-major), b1 (96), W2 (96 x 10, hidden-major),
b2 (10), 56,362 little-endian float32 values.

usage: train.py OUT.bin DUMP[:WEIGHT] ...

Each DUMP is a file written by `nonet ocr --dump-patches`. Its readings are kept
only where the grid was found: at least 4 patches fall on ground-truth digit cells
and at least 80% of the reading's patches do (a misplaced grid puts the patches on
the wrong cells, and their labels would be wrong). Patches of empty cells in kept
readings are class 0 examples. WEIGHT (default 1) repeats a source's examples.
"""
import sys

import numpy as np

import patchfile

SEED = 20261206
HIDDEN = 96


def located_examples(path):
    records = patchfile.load(path)
    if len(records) == 0:
        return np.zeros((0, 576), np.float32), np.zeros(0, np.int64), 0, 0
    key = records["photo"].astype(np.int64) * 64 + records["reading"]
    keep = np.zeros(len(records), bool)
    readings = 0
    for k in np.unique(key):
        idx = np.nonzero(key == k)[0]
        on_digits = int((records["label"][idx] > 0).sum())
        if on_digits >= 4 and on_digits >= 0.8 * len(idx):
            keep[idx] = True
            readings += 1
    # The same cell read twice the same way (for example the unwarped and inverted
    # readings of a clean picture) is one example.
    kept = records[keep]
    rows = np.concatenate([kept["photo"][:, None].astype(np.float32), kept["cell"][:, None].astype(np.float32),
                           kept["patch"].reshape(len(kept), -1)], axis=1)
    _, unique = np.unique(rows, axis=0, return_index=True)
    kept = kept[np.sort(unique)]
    return kept["patch"].reshape(-1, 576).astype(np.float32), kept["label"].astype(np.int64), readings, len(
        np.unique(key))


def train(x, y, epochs=30, batch=128, lr=2e-3, weight_decay=1e-5):
    rng = np.random.default_rng(SEED)
    n = len(x)
    w1 = (rng.standard_normal((576, HIDDEN)) * np.sqrt(2.0 / 576)).astype(np.float32)
    b1 = np.zeros(HIDDEN, np.float32)
    w2 = (rng.standard_normal((HIDDEN, 10)) * np.sqrt(2.0 / HIDDEN)).astype(np.float32)
    b2 = np.zeros(10, np.float32)
    params = [w1, b1, w2, b2]
    m = [np.zeros_like(p) for p in params]
    v = [np.zeros_like(p) for p in params]
    beta1, beta2, eps = 0.9, 0.999, 1e-8
    step = 0
    for epoch in range(epochs):
        rate = lr * 0.5 * (1 + np.cos(np.pi * epoch / epochs))  # cosine decay
        order = rng.permutation(n)
        total_loss = 0.0
        for start in range(0, n, batch):
            idx = order[start:start + batch]
            xb = x[idx]
            # Small random shifts of one pixel: the centring by bounding box moves by that much.
            if rng.random() < 0.5:
                xb = np.roll(xb.reshape(-1, 24, 24), int(rng.integers(-1, 2)), axis=int(rng.integers(1, 3)))
                xb = xb.reshape(-1, 576)
            yb = y[idx]
            h = xb @ w1 + b1
            a = np.maximum(h, 0)
            out = a @ w2 + b2
            out -= out.max(axis=1, keepdims=True)
            p = np.exp(out)
            p /= p.sum(axis=1, keepdims=True)
            total_loss += float(-np.log(p[np.arange(len(yb)), yb] + 1e-12).sum())
            g = p
            g[np.arange(len(yb)), yb] -= 1
            g /= len(yb)
            gw2 = a.T @ g + weight_decay * w2
            gb2 = g.sum(axis=0)
            ga = g @ w2.T
            ga[h <= 0] = 0
            gw1 = xb.T @ ga + weight_decay * w1
            gb1 = ga.sum(axis=0)
            step += 1
            for i, grad in enumerate((gw1, gb1, gw2, gb2)):
                m[i] = beta1 * m[i] + (1 - beta1) * grad
                v[i] = beta2 * v[i] + (1 - beta2) * grad * grad
                mh = m[i] / (1 - beta1 ** step)
                vh = v[i] / (1 - beta2 ** step)
                params[i] -= (rate * mh / (np.sqrt(vh) + eps)).astype(np.float32)
        print("epoch %2d  loss %.4f" % (epoch + 1, total_loss / n), flush=True)
    return params


def predict(params, x):
    w1, b1, w2, b2 = params
    out = np.maximum(x @ w1 + b1, 0) @ w2 + b2
    out -= out.max(axis=1, keepdims=True)
    p = np.exp(out)
    p /= p.sum(axis=1, keepdims=True)
    return p.argmax(axis=1), p.max(axis=1)


def main():
    out_path = sys.argv[1]
    xs, ys = [], []
    for arg in sys.argv[2:]:
        path, _, weight = arg.partition(":")
        x, y, kept, readings = located_examples(path)
        print("%s: %d readings, %d located; %d examples (%s)" % (
            path, readings, kept, len(y), " ".join("%d:%d" % (k, (y == k).sum()) for k in range(10))))
        for _ in range(int(weight or 1)):
            xs.append(x)
            ys.append(y)
    x = np.concatenate(xs)
    y = np.concatenate(ys)
    params = train(x, y)
    cls, conf = predict(params, x)
    accepted = np.where((cls >= 1) & (conf >= 0.55), cls, 0)
    print("training examples read right: %.4f" % (accepted == y).mean())
    table = np.concatenate([p.astype("<f4").ravel() for p in params])
    assert table.size == 56362
    table.tofile(out_path)
    print("wrote", out_path)


if __name__ == "__main__":
    main()
