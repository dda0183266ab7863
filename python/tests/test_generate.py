"""generate and generate_many: valid unique puzzles, seeds, threads, errors, Ctrl-C."""

import ctypes
import os
import signal
import threading

import numpy as np
import pytest

import nonet
from conftest import cli_json_lines, count_solutions, is_valid_solution

NAMES = ["quickie", "easy", "moderately_easy", "moderate", "moderately_hard",
         "hard", "vicious", "fiendish", "hell", "beyond_hell"]


def check_unique(p):
    groups = p.groups.flatten()
    assert is_valid_solution(p.solution.flat, p.clues.flat, groups, p.diagonals)
    count, solution = count_solutions(p.clues.flat, groups, p.diagonals)
    assert count == 1 and solution == p.solution.flatten().tolist()


@pytest.mark.parametrize(
    "difficulty, jigsaw, diagonals",
    [("quickie", False, False), (3, False, True), ("easy", True, False), ("moderately_easy", True, True)],
)
def test_generated_puzzles_have_one_solution(difficulty, jigsaw, diagonals):
    p = nonet.generate(difficulty, jigsaw=jigsaw, diagonals=diagonals)
    level = NAMES.index(difficulty) if isinstance(difficulty, str) else difficulty
    assert (p.difficulty, p.difficulty_name, p.jigsaw, p.diagonals) == (level, NAMES[level], jigsaw, diagonals)
    assert sorted(np.bincount(p.groups.flatten(), minlength=9)) == [9] * 9
    check_unique(p)


def test_seeded_batches_are_the_same_whatever_the_thread_count():
    runs = [nonet.generate_many(6, "moderate", seed=2024, threads=t) for t in (1, 2, 4)]
    for run in runs[1:]:
        for name in ("clues", "solutions", "groups", "colors", "n_clues", "ok"):
            assert (getattr(run, name) == getattr(runs[0], name)).all(), name
    assert runs[0].ok.all()
    assert len({str(p) for p in runs[0]}) == 6
    # The single call with the same seed gives the batch's first puzzle.
    assert nonet.generate("moderate", seed=2024) == runs[0][0]
    assert nonet.generate_many(6, "moderate", seed=2025, threads=2).clues.tolist() != runs[0].clues.tolist()


def test_seeded_batch_matches_the_tool(cli):
    batch = nonet.generate_many(3, "easy", jigsaw=True, seed=77, threads=2)
    tool = cli_json_lines(cli("generate", "-d", "easy", "--jigsaw", "-n", "3", "--seed", "77", "-f", "json"))
    assert [str(p) for p in batch] == [t["clues"] for t in tool]
    assert ["".join(map(str, row)) for row in batch.solutions] == [t["solution"] for t in tool]
    assert ["".join(map(str, row)) for row in batch.groups] == [t["groups"] for t in tool]
    assert batch.colors.tolist() == [t["colors"] for t in tool]
    for p in batch:
        check_unique(p)


def test_batch_rows_and_items_agree():
    batch = nonet.generate_many(3, 1, threads=2)
    assert len(batch) == 3 and batch.difficulty == 1
    for k, p in enumerate(batch):
        assert (batch.clues[k] == p.clues.flatten()).all()
        assert (batch.solutions[k] == p.solution.flatten()).all()
        assert batch.n_clues[k] == p.n_clues
    assert batch[-1] == batch[2]
    with pytest.raises(IndexError):
        batch[3]
    assert len(nonet.generate_many(0)) == 0


@pytest.mark.parametrize(
    "call, error",
    [
        (lambda: nonet.generate("impossible"), ValueError),
        (lambda: nonet.generate(10), ValueError),
        (lambda: nonet.generate(-1), ValueError),
        (lambda: nonet.generate(3.5), TypeError),
        (lambda: nonet.generate(True), TypeError),
        (lambda: nonet.generate(seed=-1), ValueError),
        (lambda: nonet.generate(seed=2**64), ValueError),
        (lambda: nonet.generate_many(-1), ValueError),
        (lambda: nonet.generate_many(2, threads=0), ValueError),
        (lambda: nonet.generate_many(2, "nope"), ValueError),
    ],
)
def test_bad_arguments_raise(call, error):
    with pytest.raises(error):
        call()


def test_python_threads_generate_at_once():
    """The GIL is released: several Python threads generate side by side, each seeded result intact."""
    results = {}

    def work(k):
        results[k] = nonet.generate("easy", seed=100 + k)

    threads = [threading.Thread(target=work, args=(k,)) for k in range(4)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    for k in range(4):
        assert results[k] == nonet.generate("easy", seed=100 + k)


@pytest.mark.skipif(threading.current_thread() is not threading.main_thread(), reason="signals need the main thread")
@pytest.mark.parametrize("call", [lambda: nonet.generate("beyond_hell"),
                                  lambda: nonet.generate_many(4, "beyond_hell", threads=2)])
def test_ctrl_c_cancels_a_long_generation(call):
    timer = threading.Timer(0.3, lambda: os.kill(os.getpid(), signal.SIGINT))
    timer.start()
    try:
        with pytest.raises(KeyboardInterrupt):
            call()
    finally:
        timer.cancel()
    # The module works on after the interruption.
    assert nonet.generate("quickie").solution is not None


def test_seeded_stream_of_the_shared_library_loaded_after_the_c_library(libnonet):
    """A host that loads libnonet.so after glibc (which has an arc4random of its own) still
    gets the engine's seeded stream."""
    libnonet.sudoku_seed_random.argtypes = [ctypes.c_uint64]
    libnonet.sudoku_generate_solution.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_int]
    h = ctypes.c_void_p(libnonet.sudoku_new())
    try:
        grids = []
        for _ in range(2):
            libnonet.sudoku_seed_random(77)
            assert libnonet.sudoku_generate_solution(h, 0, 0) == 1
            view = (ctypes.c_int * 9)()
            grid = []
            for c in range(81):
                libnonet.sudoku_get_cell(h, c, view)
                grid.append(view[0])
            grids.append(grid)
        assert grids[0] == grids[1]
    finally:
        libnonet.sudoku_seed_random(0)
        libnonet.sudoku_free(h)
