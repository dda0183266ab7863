#!/usr/bin/env python3
"""A small puzzle pool, notebook style: generate, classify, tabulate by bucket.

Run from the source tree after building:  PYTHONPATH=build/python /usr/bin/python3 examples/pool_table.py [N]
"""

# %% Generate a pool: N puzzles of each of four levels, on every core, reproducibly.
import collections
import sys

import numpy as np

import nonet

LEVELS = ["easy", "moderate", "moderately_hard", "hard"]
PER_LEVEL = int(sys.argv[1]) if len(sys.argv) > 1 else 6
batches = [nonet.generate_many(PER_LEVEL, level, seed=2024) for level in LEVELS]
clues = np.concatenate([b.clues[b.ok] for b in batches])
generated_as = np.concatenate([np.full(b.ok.sum(), b.difficulty) for b in batches])
LEVEL_NAMES = {b.difficulty: name for b, name in zip(batches, LEVELS)}

# %% Add a harvest: one solution, clues removed one at a time, a puzzle kept per bucket met.
harvest = nonet.harvest(seed=7)
clues = np.concatenate([clues] + [p.clues.reshape(1, 81) for p in harvest.puzzles.values()])
generated_as = np.concatenate([generated_as, np.full(len(harvest.puzzles), -1)])

# %% Check and classify: one solution each; the technique a person needs decides the bucket.
counts, _ = nonet.solve_many(clues)
assert (counts == 1).all()
table = nonet.classify_many(clues)

# %% Deduplicate by canonical form (rotations, reflections and digit renamings are one puzzle).
seen = set()
keep = []
for k, row in enumerate(clues):
    form = str(nonet.canonical(row)[0])
    if form not in seen:
        seen.add(form)
        keep.append(k)

# %% The table: puzzles per bucket, their clue counts, and the level they were generated for.
rows = collections.defaultdict(list)
for k in keep:
    rows[(int(table["bucket"][k]), table["bucket_name"][k])].append(k)
print(f"{'bucket':<18} {'puzzles':>7} {'clues':>9} {'generated as':<30} hardest technique")
for (bucket, name), ks in sorted(rows.items()):
    n_clues = table["n_givens"][ks]
    origin = collections.Counter(LEVEL_NAMES.get(int(generated_as[k]), "harvest") for k in ks)
    origin_text = ", ".join(f"{what} {n}" for what, n in origin.most_common())
    print(f"{bucket} {name:<16} {len(ks):>7} {n_clues.min():>4}-{n_clues.max():<4} {origin_text:<30} "
          f"{table['label'][ks[-1]]}")
