// Completion counting with limit 2 (the classifier's question: none, one or more
// solutions) on the benchmark puzzle sets, by the defined search and by the any-order
// search that sudoku_count_solutions uses, and the outside reference qqwing on the
// same puzzles in the same run. Items per second = puzzles per second.
#include <benchmark/benchmark.h>

#include "matrix_engine/matrix_engine.h"
#include "puzzle_sets.h"

#ifdef NONET_HAVE_QQWING
#include <qqwing.hpp>
#endif

namespace {

using namespace matrix_engine;

struct Prepared {
  Vec placed;
};

// The defined search (count_completions_collect) or the any-order one.
void count_set(benchmark::State& state, std::string const& name, bool any_order) {
  auto const& puzzles = bench_sets::load(name);
  if (puzzles.empty()) {
    state.SkipWithError("no puzzles");
    return;
  }
  int g[9][9];
  for (int c = 0; c < 81; ++c) g[c / 9][c % 9] = 3 * (c / 27) + (c % 9) / 3;
  Ops const& ops = compile(false, g);
  std::vector<Vec> placed(puzzles.size());
  for (std::size_t i = 0; i < puzzles.size(); ++i)
    for (int c = 0; c < 81; ++c)
      if (puzzles[i][c]) placed[i].set(lit(c, puzzles[i][c]));
  Vec all;
  all.fill_all();
  std::size_t i = 0;
  long long solutions = 0;
  for (auto _ : state) {
    int out[2][81];
    long long budget = 1LL << 40;
    int const n = any_order ? count_completions_any_order(ops, all, placed[i], 2, out, budget)
                            : count_completions_collect(ops, all, placed[i], 2, out, 0, budget);
    benchmark::DoNotOptimize(out);
    solutions += n;
    if (++i == puzzles.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["puzzles"] = static_cast<double>(puzzles.size());
  benchmark::DoNotOptimize(solutions);
}

#ifdef NONET_HAVE_QQWING
void qqwing_set(benchmark::State& state, std::string const& name) {
  auto const& puzzles = bench_sets::load(name);
  if (puzzles.empty()) {
    state.SkipWithError("no puzzles");
    return;
  }
  qqwing::SudokuBoard board;
  std::size_t i = 0;
  for (auto _ : state) {
    int cells[81];
    for (int c = 0; c < 81; ++c) cells[c] = puzzles[i][c];
    board.setPuzzle(cells);
    benchmark::DoNotOptimize(board.countSolutionsLimited());
    if (++i == puzzles.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
#endif

void register_all() {
  for (char const* name : {"17clue", "hard", "minimal", "hardest", "empty"}) {
    benchmark::RegisterBenchmark((std::string("MatrixCount/") + name).c_str(),
                                 [name](benchmark::State& s) { count_set(s, name, false); });
    benchmark::RegisterBenchmark((std::string("MatrixCountAnyOrder/") + name).c_str(),
                                 [name](benchmark::State& s) { count_set(s, name, true); });
#ifdef NONET_HAVE_QQWING
    benchmark::RegisterBenchmark((std::string("Qqwing/") + name).c_str(),
                                 [name](benchmark::State& s) { qqwing_set(s, name); });
#endif
  }
}

int const registered = (register_all(), 0);

}  // namespace
