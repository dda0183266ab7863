// Simple elimination to its fixed point on the board the solver starts from (the
// clues of seeded random minimal puzzles, every other cell open), as the ladder
// runs it at the bottom of every rung: "rounds" repeats the board round that walks
// the rings, "peers" is the solver's loop over the peer lists of a scope. Both end
// on the same board; each iteration restores the start (a 5 KB copy) first.
#include <benchmark/benchmark.h>

#include <cstring>
#include <memory>
#include <vector>

#include "solver/elimination_pass.h"
#include "solver/peer_sets.h"
#include "testing/random_puzzles.h"

namespace {

using random_puzzles::Kind;

std::vector<std::shared_ptr<Puzzle>> const& starts(Kind kind) {
  static std::vector<std::shared_ptr<Puzzle>> boards[2];
  auto& list = boards[kind == Kind::X ? 1 : 0];
  if (list.empty()) {
    sudoku_seed_random(4242);
    for (int i = 0; i < 16; ++i) {
      auto p = std::make_shared<Puzzle>();
      random_puzzles::load(*p, kind, random_puzzles::generate(kind));
      list.push_back(p);
    }
    sudoku_seed_random(0);
  }
  return list;
}

void BM_EliminationFixedPoint(benchmark::State& state) {
  Kind const kind = state.range(0) ? Kind::X : Kind::Regular;
  bool const peers = state.range(1) != 0;
  auto const& boards = starts(kind);
  // The boards of a kind share their geometry, so one working board takes each start in
  // turn under one scope, as a generation thread's board does.
  Puzzle p(*boards[0]);
  peer_sets::PeerSetsScope const scope(p);
  size_t i = 0;
  for (auto _ : state) {
    std::memcpy(p.cells, boards[i]->cells, sizeof p.cells);
    bool first;
    if (peers) {
      first = elimination::to_fixed_point(p);
    } else {
      first = p.one_round_of_elimination();
      while (p.one_round_of_elimination()) {
      }
    }
    benchmark::DoNotOptimize(first);
    i = (i + 1) % boards.size();
  }
}

}  // namespace

BENCHMARK(BM_EliminationFixedPoint)->ArgNames({"x", "peers"})->ArgsProduct({{0, 1}, {0, 1}});
