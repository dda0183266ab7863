"""Game: play through the engine, compared with the same moves on a handle of the C library."""

import ctypes

import numpy as np
import pytest

import nonet
from conftest import int_array

PUZZLE = "53..7....6..195....98....6.8...6...34..8.3..17...2...6.6....28....419..5....8..79"


class CHandle:
    """The same game driven through the C interface by ctypes."""

    def __init__(self, lib, p):
        self.lib, self.h = lib, ctypes.c_void_p(lib.sudoku_new())
        lib.sudoku_build_from_clues(self.h, int(p.jigsaw), int(p.diagonals), 0, int_array(p.clues.flat),
                                    int_array(p.solution.flat), int_array(p.groups.flat), int_array(p.colors))

    def view(self, i):
        out = (ctypes.c_int * 9)()
        self.lib.sudoku_get_cell(self.h, i, out)
        return list(out)

    def enter(self, i, digit, previous):
        """A front end's move: the answer, then the cell shows it."""
        self.lib.sudoku_set_user_answer(self.h, i, digit, previous, 1)
        if self.view(i)[4]:
            self.lib.sudoku_toggle_small_mode(self.h, i)

    def state(self):
        counts = (ctypes.c_int * 10)()
        return self.lib.sudoku_get_state(self.h, counts), list(counts)

    def free(self):
        self.lib.sudoku_free(self.h)


def same(game, handle):
    for i in range(81):
        v = handle.view(i)
        cell = game.cell(i)
        assert (cell.solution, cell.given, cell.answer, cell.small_mode, cell.group, cell.row, cell.column) == (
            v[0], bool(v[1]), v[3], bool(v[4]), v[6], v[7], v[8])
        assert sum(1 << d for d in cell.marks) == v[2] == game.marks.flat[i]
    state, counts = handle.state()
    assert (int(game.state), game.counts) == (state, counts)
    assert game.distance == handle.lib.sudoku_distance(handle.h)


def test_game_played_to_the_end_matches_the_c_library(libnonet):
    p = nonet.generate("easy", seed=31)
    game, handle = nonet.Game(p, assist=True), CHandle(libnonet, p)
    try:
        game.assistant_all()
        libnonet.sudoku_digit_assistant_all(handle.h)
        same(game, handle)
        empty = [i for i in range(81) if not p.clues.flat[i]]
        assert game.distance == len(empty) and game.state == nonet.GameState.in_progress
        # A wrong digit first, then every right one: full with errors, then solved.
        first = empty[0]
        wrong = p.solution.flat[first] % 9 + 1
        game.enter(first, wrong)
        handle.enter(first, wrong, 0)
        for i in empty[1:]:
            row, column = divmod(i, 9)
            game.enter((row, column), int(p.solution.flat[i]))
            handle.enter(i, int(p.solution.flat[i]), 0)
        same(game, handle)
        assert game.state == nonet.GameState.full_with_errors and game.distance == 1
        game.enter(first, int(p.solution.flat[first]))
        handle.enter(first, int(p.solution.flat[first]), wrong)
        same(game, handle)
        assert game.state == nonet.GameState.solved and game.distance == 0
        assert (game.board == p.solution).all() and game.maxed_digits == list(range(1, 10))
        game.restart()
        libnonet.sudoku_restart(handle.h)
        same(game, handle)
        assert (game.board == p.clues).all()
    finally:
        handle.free()


def test_marks_small_mode_and_assistant():
    game = nonet.Game(nonet.Puzzle(PUZZLE))
    clues = nonet.Puzzle(PUZZLE).clues.flatten()
    game.assistant_all()
    # Every empty cell shows the digits that no clue of its row, column or box holds.
    for i in range(81):
        if clues[i]:
            assert game.cell(i).marks == [int(clues[i])] and not game.cell(i).small_mode
            continue
        r, c = divmod(i, 9)
        seen = {int(clues[j]) for j in range(81) if game.are_neighbors(i, j)}
        assert game.cell(i).marks == sorted(set(range(1, 10)) - seen)
        assert game.cell(i).small_mode
    marks = game.marks.copy()
    game.toggle_mark(2, 4)
    game.toggle_mark(2, 4)
    assert (game.marks == marks).all()
    game.clear_marks(2)
    assert game.cell(2).marks == []
    game.assistant_hide()
    assert not game.cell(2).small_mode
    # An answer shows; while the cell shows marks it does not count.
    game.enter(2, 4)
    assert game.board[0, 2] == 4 and game.distance == 81 - 31
    assert game.toggle_small_mode(2) is True
    assert game.board[0, 2] == 0 and game.distance == 81 - 30
    assert game.same_group_right(0) and not game.same_group_right(2) and not game.same_group_right(8)
    assert game.same_group_below(0) and not game.same_group_below(18) and not game.same_group_below(72)


@pytest.mark.parametrize(
    "move, error",
    [
        (lambda g: g.enter(81, 1), IndexError),
        (lambda g: g.enter((9, 0), 1), IndexError),
        (lambda g: g.enter(-1, 1), IndexError),
        (lambda g: g.enter(2, 10), ValueError),
        (lambda g: g.enter(0, 1), ValueError),  # a given
        (lambda g: g.toggle_mark(2, 0), ValueError),
        (lambda g: g.cell((1, 2, 3)), IndexError),
    ],
)
def test_bad_moves_raise(move, error):
    game = nonet.Game(nonet.Puzzle(PUZZLE))
    with pytest.raises(error):
        move(game)


def test_game_needs_a_unique_solution():
    with pytest.raises(ValueError):
        nonet.Game(nonet.Puzzle("." * 81))
