#!/usr/bin/env bash
# Completion counting (limit 2) against Debian's qqwing on the same puzzle files, in
# one run: the in-process benchmarks (MatrixCount/<set>, the defined search, and
# MatrixCountAnyOrder/<set>, the count of `nonet solve`, beside Qqwing/<set>,
# qqwing through libqqwing's countSolutionsLimited) and the qqwing program itself
# (qqwing --solve --count-solutions) timed on each file.
# Usage: bench/compare_qqwing.sh [build-dir]   (default: build)
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
build="${1:-$here/../build}"
bench="$build/bench/nonet_bench"
[ -x "$bench" ] || { echo "compare_qqwing: $bench not built" >&2; exit 1; }
json="$(mktemp)"
trap 'rm -f "$json"' EXIT
"$bench" --benchmark_filter='MatrixCount|Qqwing' --benchmark_min_time=0.5 --benchmark_format=json >"$json"

cli_rate() {  # puzzles per second of the qqwing program on one file
  local file="$1" n start end
  n=$(grep -c . "$file")
  start=$(date +%s.%N)
  qqwing --solve --count-solutions --one-line <"$file" >/dev/null
  end=$(date +%s.%N)
  /usr/bin/python3 -c "print(f'{$n / ($end - $start):.0f}')"
}

declare -A cli
if command -v qqwing >/dev/null; then
  for set in 17clue hard minimal hardest; do cli[$set]=$(cli_rate "$here/data/$set.txt"); done
fi

/usr/bin/python3 - "$json" "${cli[17clue]:-0}" "${cli[hard]:-0}" "${cli[minimal]:-0}" "${cli[hardest]:-0}" <<'PY'
import json, sys
data = json.load(open(sys.argv[1]))
cli = {"17clue": float(sys.argv[2]), "hard": float(sys.argv[3]), "minimal": float(sys.argv[4]),
       "hardest": float(sys.argv[5])}
rate = {b["name"]: b["items_per_second"] for b in data["benchmarks"] if "items_per_second" in b}
print(f"{'set':<9}{'defined/s':>12}{'nonet/s':>12}{'qqwing lib/s':>14}{'ratio':>8}{'qqwing cli/s':>14}{'ratio':>8}")
for s in ["17clue", "hard", "minimal", "hardest", "empty"]:
    defined = rate.get("MatrixCount/" + s, 0.0)
    ours = rate.get("MatrixCountAnyOrder/" + s, 0.0)
    lib = rate.get("Qqwing/" + s, 0.0)
    c = cli.get(s, 0.0)
    r1 = f"{ours / lib:.1f}x" if lib else "-"
    r2 = f"{ours / c:.1f}x" if c else "-"
    print(f"{s:<9}{defined:>12.0f}{ours:>12.0f}{lib:>14.0f}{r1:>8}{c:>14.0f}{r2:>8}")
PY
