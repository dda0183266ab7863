"""read_photo against the C library's reader on the same pixels and the photos' ground truth."""

import ctypes
import os

import numpy as np
import pytest

import nonet

PHOTOS = ["image1050", "image1075", "image206"]


def photo_path(source_dir, name):
    return os.path.join(source_dir, "tests", "data", "ocr", name + ".jpg")


def ground_truth(source_dir, name):
    with open(os.path.join(source_dir, "tests", "data", "ocr", name + ".dat")) as f:
        lines = f.read().split("\n")[2:]
    return [int(v) for v in " ".join(lines).split()][:81]


@pytest.mark.parametrize("name", PHOTOS)
def test_photo_file_and_array_read_as_the_c_library_reads(name, source_dir, libnonet):
    Image = pytest.importorskip("PIL.Image")
    path = photo_path(source_dir, name)
    pixels = np.ascontiguousarray(np.asarray(Image.open(path).convert("RGB"), dtype=np.uint8))
    digits = (ctypes.c_int * 81)()
    h, w, _ = pixels.shape
    assert libnonet.sudoku_ocr_recognize(pixels.ctypes.data, w, h, 3, digits) == 1
    from_file = nonet.read_photo(path)
    assert from_file.clues.flatten().tolist() == list(digits)
    assert nonet.read_photo(pixels) == from_file
    # The engine reads these photos without error.
    assert from_file.clues.flatten().tolist() == ground_truth(source_dir, name)


def test_grey_picture_and_path_objects(source_dir):
    Image = pytest.importorskip("PIL.Image")
    import pathlib

    path = photo_path(source_dir, PHOTOS[0])
    grey = np.asarray(Image.open(path).convert("L"), dtype=np.uint8)
    assert nonet.read_photo(grey).n_clues > 17
    assert nonet.read_photo(pathlib.Path(path)) == nonet.read_photo(path)


@pytest.mark.parametrize(
    "source, error",
    [
        ("/nonexistent/photo.jpg", FileNotFoundError),
        (np.zeros((20, 20, 3), dtype=np.uint8), ValueError),
        (np.zeros((100, 100, 3), dtype=np.float32), ValueError),
        (np.zeros((100, 100, 5), dtype=np.uint8), ValueError),
        (np.zeros(100, dtype=np.uint8), ValueError),
        (np.full((200, 200), 255, dtype=np.uint8), ValueError),  # blank: no grid, no digit
    ],
)
def test_unusable_pictures_raise(source, error):
    with pytest.raises(error):
        nonet.read_photo(source)


def test_a_file_that_is_no_picture_raises(tmp_path):
    bad = tmp_path / "not_a_photo.jpg"
    bad.write_bytes(b"plain text, not a picture")
    with pytest.raises((ValueError, OSError)):
        nonet.read_photo(str(bad))
