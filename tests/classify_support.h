// Helpers of the classification tests: grids as int[9][9], seeded random puzzles of
// the three board kinds, and the orientation/relabelling property.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "classify/canonical.h"
#include "classify/classify.h"
#include "testing/random_puzzles.h"
#include "tests/reference_solver.h"
#include "util/random.h"

namespace classify_test {

struct Board {
  int clues[9][9] = {};
  int groups[9][9] = {};
  int solution[81] = {};
  MAP_TYPE map = MAP_REGULAR;
  ADJACENCY_TYPE adj = ADJ_NONE;
};

inline void fill(int out[9][9], char const* grid81) {
  for (int i = 0; i < 81; ++i)
    out[i / 9][i % 9] = (grid81[i] >= '1' && grid81[i] <= '9') ? grid81[i] - '0' : 0;
}

inline Board square_board(char const* clues81, ADJACENCY_TYPE adj = ADJ_NONE) {
  Board b;
  b.adj = adj;
  fill(b.clues, clues81);
  for (int i = 0; i < 81; ++i) b.groups[i / 9][i % 9] = square_group_map[i / 9][i % 9];
  return b;
}

// A seeded random minimal puzzle of the kind, with its solution.
inline Board random_board(random_puzzles::Kind kind, uint64_t seed) {
  sudoku_seed_random(seed);
  random_puzzles::Generated const g = random_puzzles::generate(kind);
  random_puzzles::Layout const layout = random_puzzles::layout_for(kind);
  sudoku_seed_random(0);
  Board b;
  fill(b.clues, g.clues.c_str());
  for (int i = 0; i < 81; ++i) {
    b.groups[i / 9][i % 9] = layout.group[i];
    b.solution[i] = g.solution[i] - '0';
  }
  b.map = kind == random_puzzles::Kind::Jigsaw ? MAP_IRREGULAR : MAP_REGULAR;
  b.adj = kind == random_puzzles::Kind::X ? ADJ_X : ADJ_NONE;
  return b;
}

inline PuzzleClassifyResult classify(Board const& b, long budget = 0) {
  return classify_puzzle(b.map, b.adj, b.clues, b.groups, budget);
}

// Number of solutions by the tests' own counter (at most 2), the first in solution.
inline int count_independently(int const clues[81], int const groups[81], bool x, int solution[81]) {
  std::array<int, 81> first{};
  int const n = reference::count_solutions(clues, groups, x, 2, &first);
  if (solution) std::memcpy(solution, first.data(), sizeof(int) * 81);
  return n;
}

// Classifies the board and one orientation t of it with digits renamed by rename
// (a permutation of 1..9 in entries 1..9): the rating must match and the per-cell
// arrays must move and rename with the grid.
inline void expect_same_under_transform(Board const& b, int t, int const rename[10]) {
  Board moved = b;
  int renamed[9][9];
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) renamed[r][c] = rename[b.clues[r][c]];
  orient_grid(t, renamed, moved.clues);
  orient_grid(t, b.groups, moved.groups);
  PuzzleClassifyResult const a = classify(b), m = classify(moved);
  ASSERT_STREQ(a.bucket, m.bucket) << "orientation " << t;
  EXPECT_STREQ(a.label, m.label);
  EXPECT_EQ(a.level_index, m.level_index);
  EXPECT_EQ(a.solved, m.solved);
  EXPECT_EQ(a.unique, m.unique);
  EXPECT_EQ(a.n_givens, m.n_givens);
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      int tr, tc;
      orient_cell(t, r, c, &tr, &tc);
      int const from = 9 * r + c, to = 9 * tr + tc;
      ASSERT_EQ(a.method[from], m.method[to]) << "cell " << from << " orientation " << t;
      ASSERT_EQ(a.given[from], m.given[to]);
      ASSERT_EQ(rename[a.value[from]], m.value[to]);
    }
}

// Runs the property over n seeded puzzles of each kind.
inline void check_orientation_property(int n_per_kind, uint64_t first_seed) {
  using random_puzzles::Kind;
  for (Kind kind : {Kind::Regular, Kind::X, Kind::Jigsaw})
    for (int k = 0; k < n_per_kind; ++k) {
      uint64_t const seed = first_seed + static_cast<uint64_t>(k) * 7 + static_cast<uint64_t>(kind) * 100000;
      Board const b = random_board(kind, seed);
      int rename[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
      for (int d = 9; d > 1; --d) std::swap(rename[d], rename[1 + (seed * 31 + static_cast<uint64_t>(d)) % d]);
      SCOPED_TRACE("seed " + std::to_string(seed));
      expect_same_under_transform(b, static_cast<int>(seed % 8), rename);
    }
}

}  // namespace classify_test
