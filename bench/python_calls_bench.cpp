// The work behind the Python module's solve and solve_many, timed in C++ alone: the
// baseline that python/bench_overhead.py subtracts to find the cost of the Python layer.
// Same puzzles (the "minimal" and "17clue" sets, cycled), same per-puzzle steps (grid to
// bit vectors, consistency check, count with limit 2, first solution copied out).
#include <benchmark/benchmark.h>

#include "puzzle_sets.h"
#include "python/engine_count.h"

namespace {

void solve_grids(benchmark::State& state, std::string const& name) {
  auto const& puzzles = bench_sets::load(name);
  if (puzzles.empty()) {
    state.SkipWithError("no puzzles");
    return;
  }
  nonet_py::Grid81 groups;
  for (int c = 0; c < 81; ++c) groups[c] = 3 * (c / 27) + (c % 9) / 3;
  auto const& ops = nonet_py::constraint_tables(groups, false);
  std::size_t i = 0;
  for (auto _ : state) {
    nonet_py::Grid81 first;
    benchmark::DoNotOptimize(nonet_py::count_solutions(ops, puzzles[i], 2, &first));
    benchmark::DoNotOptimize(first);
    if (++i == puzzles.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}

void register_all() {
  for (char const* name : {"minimal", "17clue"})
    benchmark::RegisterBenchmark((std::string("PythonSolveWork/") + name).c_str(),
                                 [name](benchmark::State& s) { solve_grids(s, name); });
}

int const registered = (register_all(), 0);

}  // namespace
