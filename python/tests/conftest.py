"""Shared helpers: an independent solver, and the C library and the nonet tool as references."""

import ctypes
import json
import os
import subprocess

import pytest

BOX_GROUPS = [3 * (c // 27) + (c % 9) // 3 for c in range(81)]


def units(groups, diagonals):
    """Every unit as a list of cells: rows, columns, groups and, with diagonals, both diagonals."""
    groups = [int(g) for g in groups]
    result = [[9 * r + c for c in range(9)] for r in range(9)]
    result += [[9 * r + c for r in range(9)] for c in range(9)]
    result += [[c for c in range(81) if groups[c] == g] for g in range(9)]
    if diagonals:
        result += [[10 * i for i in range(9)], [8 * i + 8 for i in range(9)]]
    return result


def count_solutions(clues, groups=BOX_GROUPS, diagonals=False, limit=2):
    """Plain backtracking on digit bit masks over the fewest-candidate cell; independent of the engine."""
    grid = [int(v) for v in clues]
    peers = [set() for _ in range(81)]
    for unit in units(groups, diagonals):
        for c in unit:
            peers[c].update(x for x in unit if x != c)
    peers = [sorted(p) for p in peers]
    for c in range(81):
        if grid[c] and any(grid[p] == grid[c] for p in peers[c]):
            return 0, None
    found = []
    empty = [c for c in range(81) if grid[c] == 0]

    def search():
        best, best_free = None, None
        for c in empty:
            if grid[c] == 0:
                used = 0
                for p in peers[c]:
                    used |= 1 << grid[p]
                free = 0x3FE & ~used
                if best is None or bin(free).count("1") < bin(best_free).count("1"):
                    best, best_free = c, free
                    if free & (free - 1) == 0:
                        break
        if best is None:
            found.append(list(grid))
            return len(found) >= limit
        for d in range(1, 10):
            if best_free >> d & 1:
                grid[best] = d
                if search():
                    return True
        grid[best] = 0
        return False

    search()
    return len(found), (found[0] if found else None)


def is_valid_solution(solution, clues, groups=BOX_GROUPS, diagonals=False):
    solution = [int(v) for v in solution]
    if any(c and c != s for c, s in zip((int(v) for v in clues), solution)):
        return False
    return all(sorted(solution[c] for c in unit) == list(range(1, 10)) for unit in units(groups, diagonals))


@pytest.fixture(scope="session")
def cli():
    """Runs the nonet tool and returns its standard output."""
    path = os.environ.get("NONET_CLI")
    if not path or not os.path.exists(path):
        pytest.skip("the nonet tool is not built")

    def run(*args, stdin=None, check=True):
        return subprocess.run([path, *args], input=stdin, capture_output=True, text=True, check=check).stdout

    return run


def cli_json_lines(output):
    return [json.loads(line) for line in output.splitlines() if line.strip()]


@pytest.fixture(scope="session")
def libnonet():
    """The shared library through ctypes: the C interface as a host sees it."""
    path = os.environ.get("NONET_LIBRARY")
    if not path or not os.path.exists(path):
        pytest.skip("libnonet.so is not built")
    lib = ctypes.CDLL(path)
    lib.sudoku_new.restype = ctypes.c_void_p
    for name in ("sudoku_free", "sudoku_restart", "sudoku_digit_assistant_all", "sudoku_distance"):
        getattr(lib, name).argtypes = [ctypes.c_void_p]
    lib.sudoku_build_from_clues.argtypes = [ctypes.c_void_p] + [ctypes.c_int] * 3 + [ctypes.c_void_p] * 4
    lib.sudoku_get_cell.argtypes = [ctypes.c_void_p, ctypes.c_int, ctypes.c_void_p]
    lib.sudoku_get_state.argtypes = [ctypes.c_void_p, ctypes.c_void_p]
    lib.sudoku_toggle_small_mode.argtypes = [ctypes.c_void_p, ctypes.c_int]
    lib.sudoku_set_user_answer.argtypes = [ctypes.c_void_p] + [ctypes.c_int] * 4
    lib.sudoku_ocr_recognize.argtypes = [ctypes.c_void_p] + [ctypes.c_int] * 3 + [ctypes.c_void_p]
    return lib


def int_array(values):
    values = [int(v) for v in values]
    return (ctypes.c_int * len(values))(*values)


@pytest.fixture(scope="session")
def source_dir():
    return os.environ.get("NONET_SOURCE_DIR", os.path.join(os.path.dirname(__file__), "..", ".."))
