"""classify, classify_many, harvest and targeted against the C library and an independent solver."""

import ctypes

import numpy as np
import pytest

import nonet
from conftest import BOX_GROUPS, count_solutions, int_array

CLASSIC = "53..7....6..195....98....6.8...6...34..8.3..17...2...6.6....28....419..5....8..79"


class ClassifyReport(ctypes.Structure):
    _fields_ = [("bucket_index", ctypes.c_int32), ("level_index", ctypes.c_int32),
                ("has_solution", ctypes.c_int32), ("unique", ctypes.c_int32), ("solved", ctypes.c_int32),
                ("n_givens", ctypes.c_int32), ("method", ctypes.c_int32 * 81), ("value", ctypes.c_int32 * 81),
                ("given", ctypes.c_int32 * 81), ("bucket_text", ctypes.c_char * 16),
                ("label_text", ctypes.c_char * 64)]


def c_classify(lib, clues, groups, diagonals):
    report = ClassifyReport()
    jigsaw = int(list(groups) != BOX_GROUPS)
    assert lib.sudoku_classify_clues(int_array(clues), int_array(groups), jigsaw, int(diagonals),
                                     ctypes.byref(report)) == 1
    return report


@pytest.fixture(scope="module")
def pool():
    puzzles = list(nonet.generate_many(3, "moderately_hard", seed=41, threads=2))
    puzzles += list(nonet.generate_many(2, "easy", jigsaw=True, diagonals=True, seed=42, threads=2))
    return puzzles + [nonet.Puzzle(CLASSIC), nonet.Puzzle("." * 9 + CLASSIC[9:]), nonet.Puzzle("55" + CLASSIC[2:])]


def test_classify_matches_the_c_library(pool, libnonet):
    assert ctypes.sizeof(ClassifyReport) == 1076
    for p in pool:
        groups = p.groups.flatten().tolist()
        c = c_classify(libnonet, p.clues.flatten(), groups, p.diagonals)
        r = nonet.classify(p)
        assert (r.bucket, r.level, r.has_solution, r.unique, r.solved, r.n_givens) == (
            c.bucket_index, c.level_index, bool(c.has_solution), bool(c.unique), bool(c.solved), c.n_givens)
        assert (r.bucket_name, r.label) == (c.bucket_text.decode(), c.label_text.decode())
        assert r.method.flatten().tolist() == list(c.method)
        assert r.value.flatten().tolist() == list(c.value)
        assert r.given.flatten().tolist() == [bool(v) for v in c.given]
        # The verdict on solutions agrees with an independent search.
        count, _ = count_solutions(p.clues.flat, groups, p.diagonals)
        assert (r.has_solution, r.unique) == (count >= 1, count == 1)
        if r.unique and r.solved:
            assert r.value.flatten().tolist() == p.solution.flatten().tolist()


def test_classify_many_matches_single_calls(pool):
    boxes = [p for p in pool if not p.jigsaw and not p.diagonals]
    singles = [nonet.classify(p) for p in boxes]
    array = np.stack([p.clues.flatten() for p in boxes])
    for puzzles, threads in ((array, 1), ([str(p) for p in boxes], 3), (boxes, None)):
        table = nonet.classify_many(puzzles, threads=threads)
        assert table["bucket"].tolist() == [r.bucket for r in singles]
        assert table["level"].tolist() == [r.level for r in singles]
        assert table["label"] == [r.label for r in singles]
        assert table["bucket_name"] == [r.bucket_name for r in singles]
        assert table["unique"].tolist() == [r.unique for r in singles]
        assert table["solved"].tolist() == [r.solved for r in singles]
        assert table["n_givens"].tolist() == [r.n_givens for r in singles]
        assert (table["method"] == np.stack([r.method.flatten() for r in singles])).all()
        assert (table["value"] == np.stack([r.value.flatten() for r in singles])).all()


@pytest.mark.parametrize("bad, error", [(CLASSIC[:80], ValueError), ([CLASSIC, "x" * 81], ValueError), (3, TypeError)])
def test_classify_bad_input(bad, error):
    with pytest.raises(error):
        if isinstance(bad, list):
            nonet.classify_many(bad)
        else:
            nonet.classify(bad)


@pytest.mark.parametrize("jigsaw, diagonals", [(False, False), (True, False), (False, True)])
def test_harvest_keeps_unique_puzzles_of_their_buckets(jigsaw, diagonals):
    h = nonet.harvest(jigsaw=jigsaw, diagonals=diagonals, seed=5)
    assert h.ok and h.puzzles and h.n_classified == 81
    groups = h.groups.flatten()
    assert sorted(np.bincount(groups, minlength=9)) == [9] * 9
    for bucket, p in h.puzzles.items():
        assert p.difficulty == bucket and (p.solution == h.solution).all()
        assert nonet.classify(p).bucket == bucket
        assert nonet.solve(p)[0] == 1
        # The plain search of the tests is slow on the sparsest jigsaw grids.
        if p.n_clues >= 22:
            assert count_solutions(p.clues.flat, groups, diagonals)[0] == 1
    # Seeded harvests repeat.
    again = nonet.harvest(jigsaw=jigsaw, diagonals=diagonals, seed=5)
    assert (again.solution == h.solution).all() and again.puzzles == h.puzzles


def test_targeted_meets_its_bucket():
    t = nonet.targeted("easy", seed=9, max_attempts=20)
    assert t.ok and t.bucket == 1 and t.attempt <= 20
    assert nonet.classify(t.puzzle).bucket == 1
    assert count_solutions(t.puzzle.clues.flat)[0] == 1
    again = nonet.targeted("easy", seed=9, max_attempts=20)
    assert again.puzzle == t.puzzle
    none = nonet.targeted(3, max_attempts=-1)
    assert (none.ok, none.bucket, none.puzzle) == (False, -1, None)
    with pytest.raises(ValueError):
        nonet.targeted("nope")
