#!/usr/bin/env bash
# `nonet solve` over files of puzzles, whole process, beside Debian's qqwing on the same
# files: microseconds per puzzle (median of RUNS runs, CPU time user + system), and the
# tool's cost around the count (whole process minus the in-process count of
# nonet_bench's SolveCount/<set>, when the benchmark is built).
# Usage: bench/solve_files.sh [build-dir]   (default: build; RUNS=5, THREADS=2)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build}"
nonet="$build/cli/nonet"
bench="$build/bench/nonet_bench"
runs="${RUNS:-5}"
threads="${THREADS:-2}"
[ -x "$nonet" ] || { echo "solve_files: $nonet not built" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# The files: the benchmark sets repeated to 100000 lines; "hardest" is three famous
# hard puzzles (Inkala 2012, AI Escargot, Easter Monster) under 10000 random symmetries each.
# qqwing, much slower, reads the first 10000 lines of each.
repeat() { for _ in $(seq "$2"); do cat "$1"; done; }
repeat "$here/data/17clue.txt" 500 >"$work/17clue.txt"
repeat "$here/data/hard.txt" 1000 >"$work/hard.txt"
repeat "$here/data/minimal.txt" 500 >"$work/minimal.txt"
/usr/bin/python3 - "$work/hardest.txt" <<'PY'
import random, sys
seeds = ["8..........36......7..9.2...5...7.......457.....1...3...1....68..85...1..9....4..",
         "1....7.9..3..2...8..96..5....53..9...1..8...26....4...3......1..4......7..7...3..",
         "1.......2.9.4...5...6...7...5.9.3.......7.......85..4.7.....6...3...9.8...2.....1"]
rng = random.Random(20261207)
def perm3x3():
    bands = rng.sample(range(3), 3)
    return [3 * b + r for b in bands for r in rng.sample(range(3), 3)]
with open(sys.argv[1], "w") as out:
    for _ in range(10000):
        for s in seeds:
            rows, cols, digits = perm3x3(), perm3x3(), rng.sample("123456789", 9)
            flip = rng.random() < 0.5
            g = [[s[9 * r + c] for c in cols] for r in rows]
            if flip:
                g = [list(col) for col in zip(*g)]
            out.write("".join("." if ch == "." else digits[int(ch) - 1] for row in g for ch in row) + "\n")
PY

median_seconds() {  # median of $runs runs of the command; $1: /usr/bin/time format (%e wall, %U %S CPU)
  local format="$1" times=()
  shift
  for _ in $(seq "$runs"); do
    /usr/bin/time -o "$work/time" -f "$format" "$@" >/dev/null 2>&1
    times+=("$(awk '{s = 0; for (i = 1; i <= NF; ++i) s += $i; print s}' "$work/time")")
  done
  printf '%s\n' "${times[@]}" | sort -g | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'
}
cpu_seconds() { median_seconds '%U %S' "$@"; }
wall_seconds() { median_seconds '%e' "$@"; }

declare -A count_us
if [ -x "$bench" ]; then
  while read -r name rate; do count_us[$name]=$(awk -v r="$rate" 'BEGIN {printf "%.2f", 1e6 / r}'); done < <(
    "$bench" --benchmark_filter='SolveCount/' --benchmark_min_time=0.3 --benchmark_format=json 2>/dev/null |
      /usr/bin/python3 -c 'import json, sys
for b in json.load(sys.stdin)["benchmarks"]: print(b["name"].split("/")[1], b["items_per_second"])')
fi

printf '%-9s %8s %10s %12s %10s %12s %10s\n' set puzzles "nonet us" "nonet -j$threads" "qqwing us" "count us" "around us"
for set in 17clue hard minimal hardest; do
  file="$work/$set.txt"
  n=$(grep -c . "$file")
  ours=$(cpu_seconds "$nonet" solve "$file")
  wall=$(wall_seconds "$nonet" solve -j "$threads" "$file")
  theirs="-"
  if command -v qqwing >/dev/null; then
    head -n 10000 "$file" >"$work/head.txt"
    theirs=$(awk -v t="$(cpu_seconds sh -c "qqwing --solve --count-solutions --one-line <'$work/head.txt'")" \
      'BEGIN {printf "%.2f", 1e6 * t / 10000}')
  fi
  per=$(awk -v t="$ours" -v n="$n" 'BEGIN {printf "%.2f", 1e6 * t / n}')
  per_wall=$(awk -v t="$wall" -v n="$n" 'BEGIN {printf "%.2f", 1e6 * t / n}')
  count="${count_us[$set]:--}"
  around="-"
  [ "$count" != "-" ] && around=$(awk -v a="$per" -v c="$count" 'BEGIN {printf "%.2f", a - c}')
  printf '%-9s %8d %10s %12s %10s %12s %10s\n' "$set" "$n" "$per" "$per_wall" "$theirs" "$count" "$around"
done
echo "(nonet -j$threads: wall-clock microseconds per puzzle; the others CPU time per puzzle)"
