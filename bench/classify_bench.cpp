// Classification speed on three sets, and one harvest.
//   easy:        puzzles of sudoku_generate levels 0..3 (seeded);
//   hard_rated:  random minimal puzzles the classifier rates "hard" or above;
//   hardest:     the search-hardest minimal puzzles and 17-clue puzzles of the counter's
//                sets, plus published very hard puzzles.
// BM_ClassifyPerPuzzle reports the median and 90th percentile of thread CPU time per
// hard puzzle (each puzzle's time the median of its repetitions).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <ctime>
#include <string>
#include <vector>

#include "api/engine_api.h"
#include "classify/classify.h"
#include "api/harvest.h"
#include "puzzle_sets.h"

namespace {

using Grid = std::array<int, 81>;

int const (*as_grid(Grid const& g))[9] { return reinterpret_cast<int const(*)[9]>(g.data()); }

Grid const& boxes() {
  static Grid const g = [] {
    Grid out{};
    for (int c = 0; c < 81; ++c) out[c] = 3 * (c / 27) + (c % 9) / 3;
    return out;
  }();
  return g;
}

PuzzleClassifyResult classify(Grid const& clues) {
  return classify_puzzle(MAP_REGULAR, ADJ_NONE, as_grid(clues), as_grid(boxes()), 0);
}

std::vector<Grid> easy_set() {
  std::vector<Grid> out;
  SudokuPuzzle* h = sudoku_new();
  for (int level = 0; level <= 3; ++level)
    for (int k = 0; k < 8; ++k) {
      sudoku_seed_random(1000 + static_cast<uint64_t>(level * 100 + k));
      if (!sudoku_generate(h, 0, 0, level, 2)) continue;
      Grid g{};
      for (int c = 0; c < 81; ++c) {
        int view[9];
        sudoku_get_cell(h, c, view);
        g[c] = view[1] ? view[0] : 0;
      }
      out.push_back(g);
    }
  sudoku_seed_random(0);
  sudoku_free(h);
  return out;
}

std::vector<Grid> hard_rated_set() {
  std::vector<Grid> out;
  for (auto const& p : bench_sets::load("minimal")) {
    Grid g;
    std::copy(p.begin(), p.end(), g.begin());
    if (gen_bucket_index(classify(g).bucket) >= 5) out.push_back(g);
  }
  return out;
}

Grid from_text(char const* s) {
  Grid g{};
  for (int c = 0; c < 81; ++c) g[c] = s[c] >= '1' && s[c] <= '9' ? s[c] - '0' : 0;
  return g;
}

std::vector<Grid> hardest_set() {
  std::vector<Grid> out;
  for (char const* name : {"hard", "17clue"}) {
    auto const& set = bench_sets::load(name);
    for (std::size_t i = 0; i < set.size() && i < 40; ++i) {
      Grid g;
      std::copy(set[i].begin(), set[i].end(), g.begin());
      out.push_back(g);
    }
  }
  for (char const* s : {"1.......2.9.4...5...6...7...5.9.3.......7.......85..4.7.....6...3...9.8...2.....1",
                        "8..........36......7..9.2...5...7.......457.....1...3...1....68..85...1..9....4..",
                        "1....7.9..3..2...8..96..5....53..9...1..8...26....4...3......1..4......7..7...3..",
                        "..............3.85..1.2.......5.7.....4...1...9.......5......73..2.1........4...9"})
    out.push_back(from_text(s));
  return out;
}

std::vector<Grid> const& set_named(int which) {
  static std::vector<Grid> const easy = easy_set();
  static std::vector<Grid> const hard = hard_rated_set();
  static std::vector<Grid> const hardest = hardest_set();
  return which == 0 ? easy : which == 1 ? hard : hardest;
}

double thread_cpu_us() {
  timespec ts;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) * 1e6 + static_cast<double>(ts.tv_nsec) / 1e3;
}

// Arg 0 easy, 1 hard_rated, 2 hardest: every iteration classifies the whole set.
void BM_ClassifySet(benchmark::State& state) {
  auto const& set = set_named(static_cast<int>(state.range(0)));
  for (auto _ : state)
    for (Grid const& g : set) benchmark::DoNotOptimize(classify(g).level_index);
  state.counters["puzzles"] = static_cast<double>(set.size());
  state.counters["per_puzzle"] = benchmark::Counter(static_cast<double>(state.iterations() * set.size()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ClassifySet)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// The same with every rung running its whole solve(): what the stuck-rung shortcut saves.
void BM_ClassifySetFullRungs(benchmark::State& state) {
  classify_use_full_rungs(true);
  BM_ClassifySet(state);
  classify_use_full_rungs(false);
}
BENCHMARK(BM_ClassifySetFullRungs)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// Median and 90th percentile over the puzzles of a set, per puzzle the median of
// five timed classifications (thread CPU time, microseconds).
void BM_ClassifyPerPuzzle(benchmark::State& state) {
  auto const& set = set_named(static_cast<int>(state.range(0)));
  std::vector<double> per_puzzle;
  for (auto _ : state) {
    per_puzzle.clear();
    for (Grid const& g : set) {
      double runs[5];
      for (double& t : runs) {
        double const start = thread_cpu_us();
        benchmark::DoNotOptimize(classify(g).level_index);
        t = thread_cpu_us() - start;
      }
      std::sort(runs, runs + 5);
      per_puzzle.push_back(runs[2]);
    }
  }
  std::sort(per_puzzle.begin(), per_puzzle.end());
  state.counters["median_us"] = per_puzzle[per_puzzle.size() / 2];
  state.counters["p90_us"] = per_puzzle[per_puzzle.size() * 9 / 10];
  state.counters["max_us"] = per_puzzle.back();
}
BENCHMARK(BM_ClassifyPerPuzzle)->Arg(1)->Arg(2)->Iterations(1)->Unit(benchmark::kMillisecond);

// One harvest: a solution and 81 classifications. Arg: 0 boxes, 1 boxes with
// diagonals. Seeded, so every repetition makes the same harvests.
void BM_Harvest(benchmark::State& state) {
  int const adjacency = static_cast<int>(state.range(0));
  uint64_t k = 0;
  for (auto _ : state) {
    sudoku_seed_random(77 + (k++ % 16));
    HarvestResult const h = generate_harvest(GenParams{0, adjacency, 0, 100000, 0, 0, 0, 0});
    benchmark::DoNotOptimize(h.n_classified);
  }
  sudoku_seed_random(0);
}
BENCHMARK(BM_Harvest)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
