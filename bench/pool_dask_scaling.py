"""Wall time of one seeded distributed pool fill on a LocalCluster of 1 and of 2 worker processes.

usage: PYTHONPATH=build/python /usr/bin/python3 bench/pool_dask_scaling.py [TARGETS] [--x] [--jigsaw]
TARGETS: bucket=count[,bucket=count...] (default moderate=60,hard=20). Every run fills a fresh pool
with the same seed and plan, so the runs do the same jobs; the pools are checked equal.
"""

import os
import sqlite3
import sys
import tempfile
import time

from distributed import Client, LocalCluster

import nonet.pool


def main():
    args = [a for a in sys.argv[1:] if not a.startswith("--")]
    targets = dict((b, int(n)) for b, n in (t.split("=") for t in (args[0] if args else "moderate=60,hard=20").split(",")))
    kind = {"x": "--x" in sys.argv, "jigsaw": "--jigsaw" in sys.argv}
    pools = []
    with tempfile.TemporaryDirectory() as folder:
        for workers in (1, 2):
            path = os.path.join(folder, f"pool{workers}.db")
            with LocalCluster(n_workers=workers, threads_per_worker=1, host="127.0.0.1", dashboard_address=None) as cluster, \
                    Client(cluster) as client:
                client.submit(nonet.pool._run_job, "0 -1 0 0 1 100000").result()  # workers warm
                start = time.perf_counter()
                result = nonet.pool.fill_distributed(client, path, targets, seed=3, batch_jobs=32, **kind)
                seconds = time.perf_counter() - start
            print(f"{workers} worker(s): {seconds:.1f} s wall, {result['batches']} batches, {result['stored']} stored")
            with sqlite3.connect(path) as db:
                pools.append(sorted(db.execute("SELECT canonical FROM puzzles")))
    print("pools equal:", pools[0] == pools[1])


if __name__ == "__main__":
    main()
