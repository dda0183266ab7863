"""Puzzle pools in a SQLite file, filled on this machine or on the workers of a Dask cluster.

A pool is the file `nonet pool` reads and writes. A fill runs a plan: numbered batches of
jobs (harvests and targeted generations, each with its own seed derived from the fill's
seed), the method of each job chosen from rates measured in ratings, so the same seed and
plan give the same pool wherever the jobs run. Only the calling process writes the file,
one transaction per batch: a fill stopped at any moment resumes with the next batch.
"""

import os
import secrets
from concurrent.futures import ThreadPoolExecutor

from nonet import _core

BUCKETS = ("quickie", "easy", "moderately_easy", "moderate", "moderately_hard", "hard", "vicious", "fiendish",
           "hell", "beyond_hell")
_ALIASES = {"medium": "moderate", "expert": "fiendish", "ultimate": "hell", "bruteforce": "beyond_hell"}


def _target_counts(targets):
    """Ten counts from {bucket name or 0..9: count}."""
    counts = [0] * 10
    for bucket, count in dict(targets).items():
        if isinstance(bucket, str):
            name = _ALIASES.get(bucket, bucket)
            if name not in BUCKETS:
                raise ValueError(f"unknown bucket {bucket!r}")
            bucket = BUCKETS.index(name)
        if not isinstance(bucket, int) or not 0 <= bucket <= 9:
            raise ValueError(f"bucket {bucket!r}: a name or 0..9")
        if not isinstance(count, int) or count < 0:
            raise ValueError(f"target of {BUCKETS[bucket]}: a count of at least 0")
        counts[bucket] = count
    if not any(counts):
        raise ValueError("targets: at least one bucket with a count")
    return counts


def _run_job(job):
    """One job of a plan (run on a worker); its outcome as text."""
    return _core._pool_run_job(job)


def _fill(run_batch, path, targets, jigsaw, x, seed, shard, batch_jobs, budget, progress, choose_by_cpu):
    if seed is None:
        seed = secrets.randbits(64) or 1
    k, n = shard
    if not (isinstance(k, int) and isinstance(n, int) and 1 <= k <= n):
        raise ValueError("shard: (K, N) with 1 <= K <= N")
    fill = _core._PoolFill(os.fspath(path), _target_counts(targets), bool(jigsaw), bool(x), int(seed), k - 1, n,
                           int(batch_jobs), int(budget), bool(choose_by_cpu))
    stored = batches = 0
    while not fill.done():
        stalled = fill.stalled_bucket()
        if stalled >= 0:
            raise RuntimeError(f"no puzzle of {BUCKETS[stalled]} after many jobs; counts {fill.counts}")
        stored += fill.commit(run_batch(fill.next_batch()))
        batches += 1
        if progress:
            progress({BUCKETS[b]: (fill.counts[b], fill.shares[b]) for b in range(10) if fill.shares[b]})
    return {"seed": seed, "stored": stored, "batches": batches,
            "counts": {BUCKETS[b]: fill.counts[b] for b in range(10) if fill.shares[b]}}


def fill(path, targets, *, jigsaw=False, x=False, seed=None, shard=(1, 1), threads=None, batch_jobs=16,
         budget=100000, progress=None, choose_by_cpu=False):
    """Fills the pool at path on this machine until every target is met, as `nonet pool fill` does.

    targets: {bucket name or 0..9: puzzles wanted}. seed: the fill's seed (None: a random one, returned).
    shard: (K, N) fills shard K of N with its share of every target. threads: worker threads (None: the
    machine's cores). batch_jobs, budget: the rest of the plan. choose_by_cpu: compare harvest and targeted
    generation by CPU seconds a puzzle instead of ratings a puzzle (faster where ratings differ in cost, as
    on jigsaw, but the pool then depends on the machine). progress(counts) is called after each
    batch with {bucket: (count, share)}. Returns {"seed", "stored", "batches", "counts"}.
    """
    threads = threads or os.cpu_count() or 1
    with ThreadPoolExecutor(max_workers=threads) as executor:
        return _fill(lambda jobs: list(executor.map(_run_job, jobs)), path, targets, jigsaw, x, seed, shard,
                     batch_jobs, budget, progress, choose_by_cpu)


def fill_distributed(client, path, targets, *, jigsaw=False, x=False, seed=None, shard=(1, 1), batch_jobs=16,
                     budget=100000, progress=None, choose_by_cpu=False):
    """Fills the pool at path with the jobs run on the workers of a dask.distributed Client.

    The jobs of each batch are Dask tasks (pure functions of their text, with keys naming the plan and
    the job, so a task whose worker dies is run again elsewhere with the same result); their outcomes
    come back to this process, which alone writes the pool. With the same seed, shard, batch_jobs and
    budget the pool equals the one fill() or `nonet pool fill` makes. Workers need the nonet package
    importable. Arguments and result as for fill(); batch_jobs of a few times the number of worker
    threads keeps a large cluster busy.
    """
    def run_batch(jobs):
        keys = [f"nonet-pool-{'j' if jigsaw else 'b'}{'x' if x else ''}-{job.replace(' ', '-')}" for job in jobs]
        futures = [client.submit(_run_job, job, key=key, pure=False, retries=2) for job, key in zip(jobs, keys)]
        outcomes = client.gather(futures)
        for f in futures:
            f.release()
        return outcomes

    return _fill(run_batch, path, targets, jigsaw, x, seed, shard, batch_jobs, budget, progress, choose_by_cpu)
