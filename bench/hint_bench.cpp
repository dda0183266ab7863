// Hints on the hard puzzle set: the first hint from the opening position, and a
// whole solving path (every hint followed and applied, as `nonet explain` does).
//
//   build/bench/nonet_bench --benchmark_filter=Hint
#include <benchmark/benchmark.h>

#include <memory>
#include <vector>

#include "api/engine_api.h"
#include "puzzle_sets.h"
#include "matrix_engine/matrix_engine.h"
#include "model/puzzle.h"

namespace {

using Handle = std::unique_ptr<SudokuPuzzle, void (*)(SudokuPuzzle*)>;

// The hard puzzles as boards in play (solutions from the matrix engine).
std::vector<Handle> const& hard_boards() {
  static std::vector<Handle> const boards = [] {
    std::vector<Handle> out;
    int grp[9][9], groups[81], colors[9] = {0, 1, 2, 3, 0, 1, 2, 3, 0};
    for (int i = 0; i < 81; ++i) grp[i / 9][i % 9] = groups[i] = square_group_map[i / 9][i % 9];
    matrix_engine::Ops const& ops = matrix_engine::compile(false, grp);
    for (auto const& puzzle : bench_sets::load("hard")) {
      matrix_engine::Vec cand, placed;
      cand.fill_all();
      int clues[81];
      for (int i = 0; i < 81; ++i) {
        clues[i] = puzzle[i];
        if (puzzle[i]) placed.set(matrix_engine::lit(i, puzzle[i]));
      }
      int solution[2][81] = {};
      long long budget = 1LL << 40;
      if (matrix_engine::count_completions_collect(ops, cand, placed, 2, solution, 0, budget) != 1) continue;
      Handle h(sudoku_new(), sudoku_free);
      sudoku_build_from_clues(h.get(), 0, 0, 7, clues, solution[0], groups, colors);
      out.push_back(std::move(h));
    }
    return out;
  }();
  return boards;
}

// One hint per iteration, from each board in turn.
void hint_each(benchmark::State& state, std::vector<Handle> const& boards) {
  SudokuHint hint;
  size_t i = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(sudoku_hint(boards[i].get(), &hint));
    i = (i + 1) % boards.size();
  }
  state.counters["boards"] = static_cast<double>(boards.size());
  state.counters["per_hint"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                  benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void BM_HintOpeningPosition(benchmark::State& state) { hint_each(state, hard_boards()); }
BENCHMARK(BM_HintOpeningPosition);

void BM_HintWholePath(benchmark::State& state) {
  auto const& boards = hard_boards();
  SudokuHint hint;
  size_t i = 0;
  long steps = 0;
  for (auto _ : state) {
    SudokuPuzzle* h = boards[i].get();
    while (sudoku_hint(h, &hint) == 1 && sudoku_apply_hint(h, &hint) == 1) ++steps;
    state.PauseTiming();
    sudoku_restart(h);
    state.ResumeTiming();
    i = (i + 1) % boards.size();
  }
  state.counters["per_puzzle"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["steps"] = static_cast<double>(steps) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_HintWholePath)->Unit(benchmark::kMillisecond);

// For each hard puzzle that needs one, the position just before its first step above
// the fish and wings (chains, sets, forcing nets, brute force): the costliest hints.
std::vector<Handle> const& stuck_positions() {
  static std::vector<Handle> const positions = [] {
    std::vector<Handle> out;
    std::vector<unsigned char> bytes(static_cast<size_t>(sudoku_puzzle_byte_size()));
    SudokuHint hint;
    for (auto const& board : hard_boards()) {
      SudokuPuzzle* h = board.get();
      while (sudoku_hint(h, &hint) == 1) {
        if (hint.level == X_CHAINS || hint.level == XY_CHAINS || hint.level == ALMOST_LOCKED_SETS ||
            hint.level == FRANKEN_FISH || hint.level == FORCING_NET || hint.level == BRUTE_FORCE) {
          Handle copy(sudoku_new(), sudoku_free);
          sudoku_get_puzzle_bytes(h, bytes.data());
          sudoku_set_puzzle_bytes(copy.get(), bytes.data());
          sudoku_setup_loaded(copy.get(), 0, 0);
          out.push_back(std::move(copy));
          break;
        }
        sudoku_apply_hint(h, &hint);
      }
      sudoku_restart(h);
    }
    return out;
  }();
  return positions;
}

void BM_HintStuckPosition(benchmark::State& state) { hint_each(state, stuck_positions()); }
BENCHMARK(BM_HintStuckPosition);

}  // namespace
