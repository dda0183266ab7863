// The ladder soundness check shared by the default suite and the long sweep.
#pragma once

#include <cstdio>

#include "solver_fixtures.h"

namespace solver_soundness {

struct Tally {
  int puzzles = 0;
  int solved_by_rung[N_METHOD_COUNTS] = {0};
};

// Runs every rung on one puzzle (candidates reset to the clues before each) and
// checks that no true candidate is removed, that a solved result is the
// solution, and that the scratch marks are cleared.
inline void check_puzzle(Puzzle& p, Tally& tally, uint64_t seed) {
  for (METHOD_TYPE rung : solver_fixtures::ladder_rungs()) {
    p.apply_mask();
    p.solve(rung);
    SCOPED_TRACE("seed " + std::to_string(seed) + " rung " + std::to_string(rung));
    ASSERT_TRUE(p.check_elim_bits_against_soln());
    bool const solved = p.method_counts[kSlotUnsolved] == 0;
    ASSERT_EQ(solved, p.puzzle_is_solved());
    if (solved) {
      ++tally.solved_by_rung[rung];
      for (auto const& cell : p.cells) ASSERT_EQ(cell.elim_bits, static_cast<uint32_t>(cell.solution));
    }
    for (auto const& cell : p.cells) {
      ASSERT_EQ(cell.mask & ~1, 0);
      ASSERT_EQ(cell.user_answer, 0);
    }
  }
  ++tally.puzzles;
}

inline Tally check_random_puzzles(int count, uint64_t first_seed, Matrix<int, 9> const& groups,
                                  ADJACENCY_TYPE adjacency, MAP_TYPE map = MAP_REGULAR,
                                  long call_limit = solver_fixtures::kUniquenessCallLimit) {
  Tally tally;
  for (int i = 0; i < count; ++i) {
    uint64_t const seed = first_seed + static_cast<uint64_t>(i);
    Puzzle p;
    if (!solver_fixtures::make_random_puzzle(p, seed, groups, adjacency, map, call_limit)) {
      ADD_FAILURE() << "no solution for seed " << seed;
      continue;
    }
    EXPECT_TRUE(solver_fixtures::solution_is_valid(p));
    check_puzzle(p, tally, seed);
    if (testing::Test::HasFatalFailure()) return tally;
  }
  // The easiest rung solves no more puzzles than the hardest.
  EXPECT_LE(tally.solved_by_rung[SIMPLE_ELIMINATION], tally.solved_by_rung[FORCING_NET]);
  return tally;
}

}  // namespace solver_soundness
