"""nonet.pool: local and Dask fills give the pool `nonet pool fill` gives with the same seed and plan."""

import os
import signal
import sqlite3
import subprocess
import threading

import pytest

import nonet
import nonet.pool
from conftest import count_solutions

TARGETS = {"quickie": 6, "easy": 6, "moderate": 5}


def rows(path):
    """The pool's puzzles as sorted (key, bucket, method, seed) tuples."""
    with sqlite3.connect(path) as db:
        return sorted(db.execute("SELECT canonical, bucket, method, seed FROM puzzles"))


def test_fill_matches_the_tool_and_stores_sound_puzzles(tmp_path):
    local = tmp_path / "local.db"
    result = nonet.pool.fill(local, TARGETS, seed=77, threads=2, batch_jobs=4)
    assert result["seed"] == 77
    assert result["counts"] == {"quickie": 6, "easy": 6, "moderate": 5}
    assert result["stored"] == 17
    with sqlite3.connect(local) as db:
        for clues, solution, bucket in db.execute("SELECT clues, solution, bucket FROM puzzles"):
            count, found = count_solutions(clues.replace(".", "0"))
            assert count == 1 and "".join(map(str, found)) == solution
            assert nonet.classify(clues).bucket == bucket
    # Filling again finds every target met.
    assert nonet.pool.fill(local, TARGETS, seed=77, threads=1, batch_jobs=4)["stored"] == 0

    cli = os.environ.get("NONET_CLI")
    if cli and os.path.exists(cli):
        by_tool = tmp_path / "tool.db"
        subprocess.run([cli, "pool", "fill", str(by_tool), "--target", "quickie=6,easy=6,moderate=5", "--seed", "77",
                        "--batch-jobs", "4", "-j", "2"], check=True, capture_output=True)
        assert rows(by_tool) == rows(local)


@pytest.mark.parametrize("targets, error", [({}, "at least one"), ({"nosuch": 3}, "unknown bucket"),
                                            ({10: 3}, "0..9"), ({"easy": -1}, "at least 0")])
def test_fill_refuses_bad_targets(tmp_path, targets, error):
    with pytest.raises(ValueError, match=error):
        nonet.pool.fill(tmp_path / "bad.db", targets, seed=1)


def test_fill_refuses_bad_plans(tmp_path):
    with pytest.raises(ValueError, match="shard"):
        nonet.pool.fill(tmp_path / "bad.db", TARGETS, seed=1, shard=(3, 2))
    with pytest.raises(ValueError, match="batch_jobs"):
        nonet.pool.fill(tmp_path / "bad.db", TARGETS, seed=1, batch_jobs=0)
    with pytest.raises(RuntimeError):
        nonet.pool.fill(tmp_path, TARGETS, seed=1)  # a folder is no pool
    with pytest.raises(ValueError, match="not a pool job"):
        nonet._core._pool_run_job("nonsense")


def test_distributed_fill_survives_a_killed_worker_and_equals_the_local_fill(tmp_path):
    distributed = pytest.importorskip("distributed")
    local = tmp_path / "local.db"
    nonet.pool.fill(local, TARGETS, x=True, seed=5, threads=2, batch_jobs=4)

    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True, host="127.0.0.1",
                                  dashboard_address=None, worker_dashboard_address=None) as cluster, \
            distributed.Client(cluster, timeout="60s") as client:
        pids = list(client.run(os.getpid).values())
        assert len(pids) == 2
        killed = []

        def kill_once(counts):
            # Once the first batch is stored, kill one worker process outright while the next batch runs
            # (its nanny starts a new one; the scheduler gives its jobs to the workers alive).
            if not killed:
                killed.append(pids[0])
                threading.Timer(0.02, os.kill, (pids[0], signal.SIGKILL)).start()

        done = {}
        runner = threading.Thread(target=lambda: done.update(nonet.pool.fill_distributed(
            client, tmp_path / "dask.db", TARGETS, x=True, seed=5, batch_jobs=4, progress=kill_once)))
        runner.start()
        runner.join(timeout=240)
        assert not runner.is_alive(), "the distributed fill did not finish"
    assert killed
    assert done["stored"] == 17
    assert rows(tmp_path / "dask.db") == rows(local)
