// solve(hardest) for every rung of the ladder over a fixed set of puzzles, and
// random solution construction. The per_puzzle counter is the time of one solve.
//
//   build/bench/nonet_bench --benchmark_filter='Solve|Construct'
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "model/matrix.h"
#include "model/puzzle.h"
#include "util/combinations.h"
#include "util/random.h"

namespace {

Matrix<int, 9> square_map() {
  Matrix<int, 9> m;
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) m[r][c] = square_group_map[r][c];
  return m;
}

void setup_board(Puzzle& p, ADJACENCY_TYPE adjacency) {
  p.set_types(MAP_REGULAR, adjacency);
  p.set_difficulty(UI_EASY);
  p.setup(square_map());
  p.define_are_neighbors_array();
  p.define_overlap_maps();
  p.store_both_stop_flags(false);
  p.deadline_ms = 0;
  p.deadline_poll_count = 0;
}

bool unique_within(Puzzle& p, long call_limit) {
  p.apply_mask();
  p.solve(SIMPLE_ELIMINATION);
  bool const unique = p.solve_by_brute_force(nullptr, call_limit);
  p.apply_mask();
  return unique;
}

// A seeded random puzzle: random solution, clues removed in random order while the
// brute-force count (within a call budget) stays one.
std::unique_ptr<Puzzle> random_puzzle(uint64_t seed, ADJACENCY_TYPE adjacency) {
  auto p = std::make_unique<Puzzle>();
  sudoku_seed_random(seed);
  setup_board(*p, adjacency);
  p->construct_solution();
  for (auto& cell : p->cells) cell.mask = 1;
  int order[81];
  for (int i = 0; i < 81; ++i) order[i] = i;
  random_combination(81, 81, order);
  for (int idx : order) {
    p->cells[idx].mask = 0;
    if (!unique_within(*p, 20000)) p->cells[idx].mask = 1;
  }
  sudoku_seed_random(0);
  p->apply_mask();
  return p;
}

// Published hard puzzles (clues only; the solver needs no solution to run).
std::unique_ptr<Puzzle> clue_puzzle(char const* grid) {
  auto p = std::make_unique<Puzzle>();
  setup_board(*p, ADJ_NONE);
  for (int i = 0; i < 81; ++i) {
    int const d = (grid[i] >= '1' && grid[i] <= '9') ? grid[i] - '0' : 0;
    p->cells[i].mask = d ? 1 : 0;
    p->cells[i].solution = d ? (1 << d) : 0;
  }
  p->apply_mask();
  return p;
}

// The fixed set: 24 seeded random regular puzzles, 8 seeded X puzzles and two
// well-known hard puzzles.
std::vector<std::unique_ptr<Puzzle>> const& puzzle_set() {
  static std::vector<std::unique_ptr<Puzzle>> set = [] {
    std::vector<std::unique_ptr<Puzzle>> out;
    for (uint64_t s = 1; s <= 24; ++s) out.push_back(random_puzzle(7000 + s, ADJ_NONE));
    for (uint64_t s = 1; s <= 8; ++s) out.push_back(random_puzzle(8000 + s, ADJ_X));
    out.push_back(clue_puzzle("8..........36......7..9.2...5...7.......457.....1...3...1....68..85...1..9....4.."));
    out.push_back(clue_puzzle("1....7.9..3..2...8..96..5....53..9...1..8...26....4...3......1..4......7..7...3.."));
    return out;
  }();
  return set;
}

void BM_SolveRung(benchmark::State& state) {
  METHOD_TYPE const rung = static_cast<METHOD_TYPE>(state.range(0));
  auto const& set = puzzle_set();
  int64_t solved = 0;
  for (auto _ : state) {
    solved = 0;
    for (auto const& p : set) {
      p->apply_mask();
      p->solve(rung);
      solved += p->method_counts[kSlotUnsolved] == 0;
    }
  }
  auto const solves = static_cast<double>(state.iterations() * static_cast<int64_t>(set.size()));
  state.counters["per_puzzle"] = benchmark::Counter(solves, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
  state.counters["solved"] = static_cast<double>(solved);
  state.counters["puzzles"] = static_cast<double>(set.size());
}

void BM_ConstructSolution(benchmark::State& state) {
  ADJACENCY_TYPE const adjacency = state.range(0) ? ADJ_X : ADJ_NONE;
  Puzzle p;
  setup_board(p, adjacency);
  sudoku_seed_random(4242);
  for (auto _ : state) {
    for (auto& cell : p.cells) cell.mask = 0;  // the ordering counters start from zero
    benchmark::DoNotOptimize(p.construct_solution());
  }
  sudoku_seed_random(0);
}

}  // namespace

// The main ladder easiest first, then the finned-fish side branch.
BENCHMARK(BM_SolveRung)
    ->ArgName("rung")
    ->Arg(SIMPLE_ELIMINATION)
    ->Arg(HIDDEN_SINGLES)
    ->Arg(CELL_RESTRICTION)
    ->Arg(MULTIPLE_DIGITS)
    ->Arg(DOUBLE_RESTRICTION)
    ->Arg(X_WING)
    ->Arg(SWORDFISH)
    ->Arg(SHORT_X_CHAINS)
    ->Arg(XY_XYZ_WINGS)
    ->Arg(W_WING)
    ->Arg(JELLYFISH)
    ->Arg(X_CHAINS)
    ->Arg(XY_CHAINS)
    ->Arg(ALMOST_LOCKED_SETS)
    ->Arg(FRANKEN_FISH)
    ->Arg(FORCING_NET)
    ->Arg(FINNED_FISH)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ConstructSolution)->ArgName("x")->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);
