"""Puzzle, solve, solve_many and canonical against the nonet tool and an independent solver."""

import numpy as np
import pytest

import nonet
from conftest import BOX_GROUPS, cli_json_lines, count_solutions, is_valid_solution

CLASSIC = "53..7....6..195....98....6.8...6...34..8.3..17...2...6.6....28....419..5....8..79"
# The classic with its first row emptied: several solutions.
OPEN = "." * 9 + CLASSIC[9:]
# Two 5s in the first row.
CLASH = "55" + CLASSIC[2:]


@pytest.fixture(scope="module")
def pool():
    """Puzzles of every kind: generated ones (boxes, diagonals, jigsaw) and fixed ones."""
    batch = nonet.generate_many(6, "moderate", seed=11, threads=2)
    x_batch = nonet.generate_many(3, "easy", diagonals=True, seed=12, threads=2)
    jig = nonet.generate_many(3, "easy", jigsaw=True, seed=13, threads=2)
    return list(batch) + list(x_batch) + list(jig) + [nonet.Puzzle(s) for s in (CLASSIC, OPEN, CLASH)]


def test_puzzle_fields_and_text():
    p = nonet.Puzzle(CLASSIC)
    assert str(p) == CLASSIC
    assert p.clues.shape == (9, 9) and p.clues.dtype == np.uint8
    assert "".join(str(v) if v else "." for v in p.clues.flat) == CLASSIC
    assert p.groups.flatten().tolist() == BOX_GROUPS
    assert (p.map, p.jigsaw, p.diagonals, p.difficulty) == (0, False, False, None)
    assert p.n_clues == 81 - CLASSIC.count(".")
    assert is_valid_solution(p.solution.flat, p.clues.flat)
    # Copies: changing an array leaves the puzzle as it was.
    p.clues[0, 0] = 9
    assert str(p) == CLASSIC
    assert nonet.Puzzle.from_string(CLASSIC) == p == nonet.Puzzle(p.clues) == nonet.Puzzle(p)
    assert p.to_grid_text().splitlines()[0] == "5 3 . | . 7 . | . . ."
    assert "30 clues" in repr(p)
    assert nonet.Puzzle(OPEN).solution is None


@pytest.mark.parametrize(
    "clues, groups, error",
    [
        (CLASSIC[:80], None, ValueError),
        (CLASSIC[:80] + "x", None, ValueError),
        (np.zeros((9, 8), dtype=np.uint8), None, ValueError),
        (np.full((9, 9), 10), None, ValueError),
        (np.full(81, -1), None, ValueError),
        (np.zeros((9, 9), dtype=float), None, ValueError),
        (CLASSIC, "0" * 81, ValueError),
        (CLASSIC, "".join(str(g) for g in BOX_GROUPS[:80]) + "9", ValueError),
        (42, None, TypeError),
        (None, None, TypeError),
    ],
)
def test_malformed_puzzles_raise(clues, groups, error):
    with pytest.raises(error):
        nonet.Puzzle(clues, groups=groups)
    with pytest.raises(error):
        nonet.solve(clues, groups=groups)


def test_solve_matches_tool_and_independent_solver(pool, cli):
    for p in pool:
        groups = p.groups.flatten()
        args = ["solve", "--format", "json", str(p)] + (["--x"] if p.diagonals else [])
        if p.jigsaw:
            args += ["--groups", p.groups_string]
        # A puzzle whose givens repeat a digit is a problem in the input: the tool says so and exits 1.
        tool = cli_json_lines(cli(*args, check=False))[0]
        count, solution = nonet.solve(p)
        expected_count, expected_solution = count_solutions(p.clues.flat, groups, p.diagonals)
        assert count == expected_count
        assert tool["solutions"] == min(count, 2)
        if count == 1:
            assert solution.flatten().tolist() == expected_solution
            assert "".join(map(str, solution.flat)) == tool["solution"]
            assert is_valid_solution(solution.flat, p.clues.flat, groups, p.diagonals)
        else:
            assert solution is None
        # The same through every input form.
        assert nonet.solve(str(p), groups=p.groups, diagonals=p.diagonals)[0] == count
        assert nonet.solve(p.clues.flatten().astype(np.int64), groups=groups, diagonals=p.diagonals)[0] == count


def test_solve_limit_and_bad_limit():
    assert nonet.solve(OPEN, limit=1)[0] == 1
    assert nonet.solve(OPEN, limit=5)[0] == count_solutions(OPEN.replace(".", "0"), limit=5)[0]
    assert nonet.solve("." * 81, limit=3)[0] == 3
    with pytest.raises(ValueError):
        nonet.solve(CLASSIC, limit=0)


def test_solve_many_matches_single_calls(pool):
    boxes = [p for p in pool if not p.jigsaw and not p.diagonals]
    array = np.stack([p.clues.flatten() for p in boxes])
    for puzzles in (array, array.reshape(-1, 9, 9).astype(np.int32), [str(p) for p in boxes], boxes):
        for threads in (1, 3):
            counts, solutions = nonet.solve_many(puzzles, threads=threads)
            assert counts.shape == (len(boxes),) and solutions.shape == (len(boxes), 81)
            for p, count, solution in zip(boxes, counts, solutions):
                single_count, single_solution = nonet.solve(p)
                assert count == single_count
                if count == 1:
                    assert (solution == single_solution.flatten()).all()
                else:
                    assert not solution.any()
    assert nonet.solve_many(np.zeros((0, 81), dtype=np.uint8))[0].shape == (0,)


@pytest.mark.parametrize(
    "puzzles, error",
    [
        (np.full((2, 81), 12, dtype=np.uint8), ValueError),
        (np.full((2, 81), 256), ValueError),
        (np.full((2, 81), -1, dtype=np.int8), ValueError),
        ([CLASSIC, CLASSIC[:70]], ValueError),
        (CLASSIC, TypeError),
        (7, TypeError),
    ],
)
def test_solve_many_bad_input(puzzles, error):
    with pytest.raises(error):
        nonet.solve_many(puzzles)


def orient(grid, t):
    """Cell (r, c) of the input goes to the place orientation t gives it."""
    g = np.asarray(grid).reshape(9, 9)
    return [g, g[::-1, :], g[:, ::-1], g[::-1, ::-1], g.T, g[::-1, ::-1].T, np.rot90(g, -1), np.rot90(g, 1)][t]


def test_canonical_matches_tool_and_is_invariant(pool, cli):
    rng = np.random.default_rng(5)
    for p in pool[:6]:
        form, orientation, relabel = nonet.canonical(p)
        tool = cli_json_lines(cli("solve", "--canonical", "--format", "json", str(p)))[0]["canonical"]
        assert str(form).replace(".", "0") == tool["clues"].replace(".", "0")
        assert form.groups_string == tool["groups"]
        assert (orientation, list(relabel)) == (tool["orientation"], tool["relabel"])
        # Moving the input by its orientation and renaming its digits gives the form.
        renamed = np.array(relabel)[orient(p.clues, orientation)]
        assert (renamed == form.clues).all()
        # Any symmetry and renaming of the input has the same canonical form.
        for t in range(8):
            names = np.concatenate([[0], rng.permutation(9) + 1])
            moved = names[orient(p.clues, t)]
            assert nonet.canonical(moved)[0] == form


def test_puzzles_pickle(pool):
    import pickle

    for p in pool:
        copy = pickle.loads(pickle.dumps(p))
        assert copy == p
        assert (copy.difficulty, copy.jigsaw, copy.colors, str(copy.solution)) == (
            p.difficulty, p.jigsaw, p.colors, str(p.solution))
