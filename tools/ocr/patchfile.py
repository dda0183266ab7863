"""Reading the patch records written by `nonet ocr --dump-patches`."""
import numpy as np

RECORD = np.dtype([("photo", "<i4"), ("reading", "<i4"), ("cell", "<i4"), ("label", "<i4"),
                   ("patch", "<f4", (576,))])


def load(path):
    return np.fromfile(path, dtype=RECORD)
