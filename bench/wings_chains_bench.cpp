// Time per call of each wing, chain, almost-locked-set and forcing-net technique
// on fixed positions: seeded random minimal puzzles (regular and X) taken
//  - "singles": after simple elimination and hidden singles are exhausted, and
//  - "stuck": after every technique here but the forcing net is exhausted too,
//    so the searches run to the end without finding anything.
// Each iteration restores one position (a 5 KB copy, timed alone as "restore")
// and calls the technique once; positions are used in turn.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "testing/random_puzzles.h"

namespace {

using random_puzzles::Kind;

struct Position {
  std::shared_ptr<Puzzle> board;  // geometry and neighbour table
  PUZZLE_CELL cells[81];          // the state to restore before each call
};

void exhaust_singles(Puzzle& p) {
  for (;;) {
    while (p.one_round_of_elimination()) {
    }
    bool found = false;
    for (auto& cell : p.cells)
      if (n_candidates(cell.elim_bits) != 1 && p.simplify_cell_using_digits(&cell)) {
        found = true;
        break;
      }
    if (!found) return;
  }
}

enum Technique { kShortX, kWings, kWWing, kX, kXY, kAls, kForcingNet };

bool apply(Puzzle& p, Technique t) {
  switch (t) {
    case kShortX: return p.simplify_x_chain_vexor(4);
    case kWings: return p.simplify_XY_XYZ_wing();
    case kWWing: return p.simplify_w_wing();
    case kX: return p.simplify_x_chain_vexor(-1);
    case kXY: return p.simplify(XY_CHAINS);  // the ladder's pass, with its lookup tables
    case kAls: return p.simplify_almost_locked_sets();
    case kForcingNet: return p.simplify_cell_forcing_net();
  }
  return false;
}

// Singles, then every technique but the forcing net, restarting after each success.
void exhaust_all_but_forcing_net(Puzzle& p) {
  for (;;) {
    exhaust_singles(p);
    bool progressed = false;
    for (Technique t : {kShortX, kWings, kWWing, kX, kXY, kAls})
      if (apply(p, t)) {
        progressed = true;
        break;
      }
    if (!progressed) return;
  }
}

std::vector<Position> make_positions(Kind kind, bool stuck, int count, uint64_t seed) {
  std::vector<Position> out;
  for (uint64_t s = seed; static_cast<int>(out.size()) < count; ++s) {
    sudoku_seed_random(s);
    random_puzzles::Generated const g = random_puzzles::generate(kind);
    sudoku_seed_random(0);
    auto board = std::make_shared<Puzzle>();
    random_puzzles::load(*board, kind, g);
    exhaust_singles(*board);
    if (stuck) exhaust_all_but_forcing_net(*board);
    if (board->puzzle_is_solved()) continue;  // nothing left to search
    Position pos;
    pos.board = board;
    std::memcpy(pos.cells, board->cells, sizeof pos.cells);
    out.push_back(pos);
  }
  return out;
}

std::vector<Position> const& positions(Kind kind, bool stuck) {
  static std::vector<Position> const regular_singles = make_positions(Kind::Regular, false, 24, 9000);
  static std::vector<Position> const regular_stuck = make_positions(Kind::Regular, true, 24, 9000);
  static std::vector<Position> const x_singles = make_positions(Kind::X, false, 16, 9500);
  static std::vector<Position> const x_stuck = make_positions(Kind::X, true, 16, 9500);
  if (kind == Kind::X) return stuck ? x_stuck : x_singles;
  return stuck ? regular_stuck : regular_singles;
}

void run(benchmark::State& state, Technique t, Kind kind, bool stuck) {
  auto const& set = positions(kind, stuck);
  size_t next = 0;
  long successes = 0;
  for (auto _ : state) {
    Position const& pos = set[next];
    next = (next + 1) % set.size();
    std::memcpy(pos.board->cells, pos.cells, sizeof pos.cells);
    successes += apply(*pos.board, t);
  }
  state.counters["positions"] = static_cast<double>(set.size());
  state.counters["success_rate"] =
      state.iterations() ? static_cast<double>(successes) / static_cast<double>(state.iterations()) : 0.0;
}

void restore_only(benchmark::State& state) {
  auto const& set = positions(Kind::Regular, false);
  size_t next = 0;
  for (auto _ : state) {
    Position const& pos = set[next];
    next = (next + 1) % set.size();
    std::memcpy(pos.board->cells, pos.cells, sizeof pos.cells);
    benchmark::DoNotOptimize(pos.board->cells[0].elim_bits);
  }
}

#define TECHNIQUE_BENCH(label, technique)                                                              \
  BENCHMARK_CAPTURE(run, label##_regular_singles, technique, Kind::Regular, false)->Unit(benchmark::kMicrosecond); \
  BENCHMARK_CAPTURE(run, label##_regular_stuck, technique, Kind::Regular, true)->Unit(benchmark::kMicrosecond);     \
  BENCHMARK_CAPTURE(run, label##_x_singles, technique, Kind::X, false)->Unit(benchmark::kMicrosecond);             \
  BENCHMARK_CAPTURE(run, label##_x_stuck, technique, Kind::X, true)->Unit(benchmark::kMicrosecond)

BENCHMARK(restore_only)->Unit(benchmark::kMicrosecond);
TECHNIQUE_BENCH(short_x_chains, kShortX);
TECHNIQUE_BENCH(xy_xyz_wings, kWings);
TECHNIQUE_BENCH(w_wing, kWWing);
TECHNIQUE_BENCH(x_chains, kX);
TECHNIQUE_BENCH(xy_chains, kXY);
TECHNIQUE_BENCH(almost_locked_sets, kAls);
TECHNIQUE_BENCH(forcing_net, kForcingNet);

}  // namespace
