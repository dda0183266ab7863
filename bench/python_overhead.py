#!/usr/bin/env python3
"""Cost of the Python layer: solve and solve_many over 10,000 puzzles against the same work in C++.

Usage (after building): PYTHONPATH=build/python /usr/bin/python3 bench/python_overhead.py build/bench/nonet_bench
Times are CPU time per puzzle, the median of several runs (the machine may be shared).
"""

import json
import os
import statistics
import subprocess
import sys
import time

import numpy as np

import nonet

HERE = os.path.dirname(os.path.abspath(__file__))
N = 10_000
RUNS = 5


def load_set(name):
    with open(os.path.join(HERE, "data", name + ".txt")) as f:
        lines = [line.strip() for line in f if len(line.strip()) == 81]
    return [lines[k % len(lines)] for k in range(N)]


def cpu_ns_per_puzzle(work):
    times = []
    for _ in range(RUNS):
        start = time.process_time_ns()
        work()
        times.append((time.process_time_ns() - start) / N)
    return statistics.median(times)


def c_ns_per_puzzle(bench, name):
    out = subprocess.run(
        [bench, f"--benchmark_filter=PythonSolveWork/{name}$", "--benchmark_format=json",
         f"--benchmark_repetitions={RUNS}", "--benchmark_report_aggregates_only=true"],
        capture_output=True, text=True, check=True).stdout
    for b in json.loads(out)["benchmarks"]:
        if b.get("aggregate_name") == "median":
            return b["cpu_time"] * {"ns": 1, "us": 1e3, "ms": 1e6}[b["time_unit"]]
    raise RuntimeError("no median in the benchmark output")


def main():
    bench = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build", "bench", "nonet_bench")
    print(f"{'set':<8} {'C++ work':>9} {'solve_many':>11} {'overhead':>9} {'solve(str)':>11} {'overhead':>9}"
          f" {'solve(array)':>13} {'overhead':>9}   (ns per puzzle, CPU)")
    for name in ("minimal", "17clue"):
        lines = load_set(name)
        array = np.array([[0 if ch == "." else int(ch) for ch in line] for line in lines], dtype=np.uint8)
        rows = [row.reshape(9, 9) for row in array]
        batch = cpu_ns_per_puzzle(lambda: nonet.solve_many(array, threads=1))
        single = cpu_ns_per_puzzle(lambda: [nonet.solve(line) for line in lines])
        single_array = cpu_ns_per_puzzle(lambda: [nonet.solve(row) for row in rows])
        c = c_ns_per_puzzle(bench, name)
        print(f"{name:<8} {c:>9.0f} {batch:>11.0f} {batch - c:>9.0f} {single:>11.0f} {single - c:>9.0f}"
              f" {single_array:>13.0f} {single_array - c:>9.0f}")


if __name__ == "__main__":
    main()
