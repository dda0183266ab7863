"""Hints and solving paths: Game.hint / apply_hint and explain, checked against the solution,
the C library's own path (the nonet tool) and the player's mistakes."""

import logging
import os
import signal
import subprocess
import sys
import time

import pytest

import nonet
from conftest import cli_json_lines

# Puzzles of every kind of board and a spread of levels (seeded, so the same each run).
KINDS = [
    ("easy", False, False, 3),
    ("moderate", False, False, 5),
    ("hard", False, False, 7),
    ("vicious", False, False, 11),
    ("moderate", True, False, 13),
    ("hard", False, True, 17),
]


@pytest.fixture(scope="module", params=KINDS, ids=lambda k: f"{k[0]}-{'jigsaw' if k[1] else 'boxes'}{'-x' if k[2] else ''}")
def puzzle(request):
    difficulty, jigsaw, diagonals, seed = request.param
    return nonet.generate(difficulty, jigsaw=jigsaw, diagonals=diagonals, seed=seed)


def follow_hints(game, solution):
    """Applies hints until none is left, checking each against the solution; returns them."""
    steps = []
    while (hint := game.hint()) is not None:
        assert hint.kind == "step", hint.text
        assert hint.placements or hint.eliminations, hint.text
        for cell, digit in hint.placements:
            assert solution[cell] == digit, hint.text
        for cell, digit in hint.eliminations:
            assert solution[cell] != digit, f"removes a true candidate: {hint.text}"
        game.apply_hint(hint)
        steps.append(hint)
        assert len(steps) <= 81 * 9
    return steps


def test_following_hints_finishes_the_puzzle(puzzle):
    game = nonet.Game(puzzle)
    solution = [int(v) for v in puzzle.solution.flat]
    steps = follow_hints(game, solution)
    assert game.state == nonet.GameState.solved and game.distance == 0
    assert (game.board == puzzle.solution).all()
    # explain takes the same path from the givens.
    path = nonet.explain(puzzle)
    assert [s.to_dict() for s in path] == [s.to_dict() for s in steps]
    assert sum(path.tally.values()) == len(path) == len(steps)
    assert path.hardest in path.tally and (path.solution == puzzle.solution).all()
    assert path.hardest_level == max((s.level for s in steps), key=lambda level: (level == 27, level))


def test_explain_matches_the_tool(puzzle, cli):
    groups = "".join(str(int(g)) for g in puzzle.groups.flat)
    args = ["explain", "-f", "json"] + (["--x"] if puzzle.diagonals else []) + [str(puzzle) + " " + groups]
    lines = cli_json_lines(cli(*args))
    path = nonet.explain(puzzle)
    assert [{k: v for k, v in line.items() if k not in ("source", "step")} for line in lines[:-1]] == [
        s.to_dict() for s in path
    ]
    assert (lines[-1]["tally"], lines[-1]["hardest"], lines[-1]["hardest_level"]) == (
        path.tally, path.hardest, path.hardest_level)


def test_a_wrong_answer_is_reported_before_any_step():
    p = nonet.generate("moderate", seed=23)
    game = nonet.Game(p, assist=True)
    solution = [int(v) for v in p.solution.flat]
    empty = [c for c in range(81) if not p.clues.flat[c]]
    # A right answer, then a wrong one later on the board: the wrong one is named.
    game.enter(empty[0], solution[empty[0]])
    wrong_cell = empty[-1]
    game.enter(wrong_cell, solution[wrong_cell] % 9 + 1)
    hint = game.hint()
    assert (hint.kind, hint.technique, hint.pattern, hint.level) == ("wrong_answer", "wrong_answer", [wrong_cell], -1)
    assert hint.digits == [solution[wrong_cell] % 9 + 1] and not hint.placements
    game.apply_hint(hint)
    assert game.cell(wrong_cell).answer == 0
    follow_hints(game, solution)
    assert game.state == nonet.GameState.solved


def test_player_marks_are_used_and_a_missing_mark_is_named():
    p = nonet.generate("easy", seed=29)
    game = nonet.Game(p, assist=True)
    solution = [int(v) for v in p.solution.flat]
    game.assistant_all()
    cell = next(c for c in range(81) if not p.clues.flat[c] and len(game.cell(c).marks) > 1)
    game.toggle_mark(cell, solution[cell])
    hint = game.hint()
    assert (hint.kind, hint.pattern, hint.digits) == ("wrong_mark", [cell], [solution[cell]])
    game.apply_hint(hint)
    assert solution[cell] in game.cell(cell).marks
    # Marks trimmed to the true digit make that cell the first naked single.
    for d in game.cell(cell).marks:
        if d != solution[cell]:
            game.toggle_mark(cell, d)
    hint = game.hint()
    assert (hint.technique, hint.placements) == ("naked_single", [(cell, solution[cell])])
    follow_hints(game, solution)
    assert game.state == nonet.GameState.solved


def test_a_stale_or_foreign_hint_is_refused():
    p = nonet.generate("easy", seed=37)
    game = nonet.Game(p)
    hint = game.hint()
    game.apply_hint(hint)
    with pytest.raises(ValueError):
        game.apply_hint(hint)  # its digit is placed already
    with pytest.raises(TypeError):
        game.apply_hint("naked_single")
    other = nonet.Game(nonet.generate("easy", seed=41))
    first = other.hint()
    if any(p.solution.flat[c] != d for c, d in first.placements):
        with pytest.raises(ValueError):
            game.apply_hint(first)
    # Solved: no hint.
    game.restart()
    for c in range(81):
        if not p.clues.flat[c]:
            game.enter(c, int(p.solution.flat[c]))
    assert game.hint() is None


@pytest.mark.parametrize(
    "puzzle, error",
    [
        ("." * 81, ValueError),  # many solutions
        ("11" + "." * 79, ValueError),  # none
        ("123", ValueError),  # malformed
    ],
)
def test_explain_refuses_puzzles_without_one_solution(puzzle, error):
    with pytest.raises(error):
        nonet.explain(puzzle)


def test_engine_lines_go_to_logging_not_standard_error(caplog, capfd):
    with caplog.at_level(logging.DEBUG, logger="nonet"):
        nonet.generate("moderate", seed=5)
    lines = [r.getMessage() for r in caplog.records if r.name == "nonet"]
    assert any(line.startswith("make_puzzle: itries=") for line in lines), lines
    assert all(r.levelno == logging.DEBUG for r in caplog.records if r.getMessage().startswith("make_puzzle"))
    assert "make_puzzle" not in capfd.readouterr().err


def test_ctrl_c_stops_targeted_generation():
    """A child Python runs a call that takes seconds (its first 264 attempts miss 'hard');
    SIGINT makes it raise KeyboardInterrupt."""
    code = "import sys, nonet; print('ready', flush=True); nonet.targeted('hard', seed=3, max_attempts=10**6); " \
           "sys.exit(3)"
    child = subprocess.Popen([sys.executable, "-c", code], stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                             text=True, env=dict(os.environ))
    assert child.stdout.readline() == "ready\n"
    time.sleep(0.3)  # into the engine call
    child.send_signal(signal.SIGINT)
    try:
        _, err = child.communicate(timeout=120)
    except subprocess.TimeoutExpired:
        child.kill()
        pytest.fail("the call did not stop after Ctrl-C")
    assert "KeyboardInterrupt" in err and child.returncode not in (0, 3), err
