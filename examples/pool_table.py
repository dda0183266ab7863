#!/usr/bin/env python3
"""A small puzzle pool, notebook style: generate, check, deduplicate, tabulate.

Run from the source tree after building:  PYTHONPATH=build/python /usr/bin/python3 examples/pool_table.py
"""

# %% Generate a pool: a few puzzles of each of four levels, on every core, reproducibly.
import collections
import sys

import numpy as np

import nonet

LEVELS = ["easy", "moderate", "moderately_hard", "hard"]
PER_LEVEL = int(sys.argv[1]) if len(sys.argv) > 1 else 6
batches = {level: nonet.generate_many(PER_LEVEL, level, seed=2024) for level in LEVELS}

# %% Check: every puzzle has exactly one solution, the one the generator made.
for level, batch in batches.items():
    counts, solutions = nonet.solve_many(batch.clues)
    assert (counts == 1).all() and (solutions == batch.solutions).all(), level

# %% Deduplicate by canonical form (rotations, reflections and digit renamings are one puzzle).
pool = {}
for level, batch in batches.items():
    for puzzle in batch:
        form, _, _ = nonet.canonical(puzzle)
        pool.setdefault(str(form), (level, puzzle))

# %% A table of the pool by level: how many, and their clue counts.
by_level = collections.defaultdict(list)
for level, puzzle in pool.values():
    by_level[level].append(puzzle.n_clues)
print(f"{'level':<16} {'puzzles':>7} {'clues min':>9} {'mean':>6} {'max':>4}")
for level in LEVELS:
    clues = np.array(by_level[level])
    print(f"{level:<16} {len(clues):>7} {clues.min():>9} {clues.mean():>6.1f} {clues.max():>4}")

# %% One of them, as a grid.
example = next(iter(pool.values()))[1]
print()
print(repr(example))
print(example.to_grid_text())
