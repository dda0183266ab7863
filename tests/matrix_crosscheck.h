// Shared body of the completion-count cross-checks (default suite and sweep).
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "matrix_test_support.h"

enum class MapKind { regular, diagonal, jigsaw };

namespace matrix_test {

inline std::string describe(Grid const& clues, Grid const& groups) {
  std::string s;
  for (int v : clues) s += static_cast<char>(v ? '0' + v : '.');
  s += " groups ";
  for (int v : groups) s += static_cast<char>('0' + v);
  return s;
}

// Counts n random puzzles three ways (fast search, Vec form, backtracking) and
// requires the same count, the same stored grids and the same budget use; the
// any-order search must give the same count, the unique grid, or two valid grids. The mix
// holds puzzles with no, one and several solutions; the test fails if one kind is
// missing.
inline void cross_check(MapKind kind, int n, std::uint64_t seed) {
  using namespace matrix_engine;
  sudoku_seed_random(seed);
  int by_count[3] = {0, 0, 0};
  int unsettled = 0;
  for (int i = 0; i < n; ++i) {
    bool const diag = kind == MapKind::diagonal;
    Grid const regular = square_map();
    Grid solution = random_solution(regular, diag);
    Grid const groups = kind == MapKind::jigsaw ? jigsaw_map_keeping(solution, 400) : regular;
    if (kind == MapKind::jigsaw) {  // the digits renamed: another grid of that map
      int rename[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
      for (int d = 9; d > 1; --d) std::swap(rename[d], rename[1 + arc4random_uniform(d)]);
      for (int& v : solution) v = rename[v];
    }
    int const sparsest = kind == MapKind::jigsaw ? 30 : 18;  // jigsaw maps here have many grids
    Grid clues = random_clues(solution, sparsest + static_cast<int>(arc4random_uniform(45)));
    if (i % 3 == 0) {  // a wrong digit in one cell: often no solution at all
      for (int k = 0; k < 81; ++k)  // denser clues keep no-solution proofs short
        if (!clues[k] && arc4random_uniform(3) == 0) clues[k] = solution[k];
      int const c = static_cast<int>(arc4random_uniform(81));
      // Clue grids reach the counter only after a consistency check: the wrong digit
      // is one that no other clue in its units holds.
      unsigned allowed = 0x3FEu & ~(1u << solution[c]);
      for (int o = 0; o < 81; ++o)
        if (o != c && clues[o] && same_unit(c, o, groups, diag)) allowed &= ~(1u << clues[o]);
      if (allowed) {
        int pick = static_cast<int>(arc4random_uniform(__builtin_popcount(allowed)));
        while (pick--) allowed &= allowed - 1;
        clues[c] = __builtin_ctz(allowed);
      }
    }
    Ops const& ops = compiled(diag, groups);
    Vec cand, placed;
    position_of(clues, cand, placed);

    int fast_out[2][81] = {}, ref_out[2][81] = {}, any_out[2][81] = {};
    long long fast_budget = 20000, ref_budget = 20000, any_budget = 20000;
    int const fast = count_completions_collect(ops, cand, placed, 2, fast_out, 0, fast_budget);
    int const any = count_completions_any_order(ops, cand, placed, 2, any_out, any_budget);
    int const ref = detail::count_completions_reference(ops, cand, placed, 2, ref_out, 0, ref_budget);
    BruteCounter brute(groups, diag);
    int const expected = brute.count(clues, 2, false, 200000);

    ASSERT_EQ(fast, ref) << "puzzle " << i;
    ASSERT_EQ(fast_budget, ref_budget) << "puzzle " << i << " " << describe(clues, groups);
    ASSERT_EQ(0, std::memcmp(fast_out, ref_out, sizeof fast_out)) << "puzzle " << i;
    if (expected < 0 || fast < 0) {  // too slow for plain backtracking or the budget: not counted
      ++unsettled;
      continue;
    }
    ASSERT_EQ(fast, expected) << "puzzle " << i;
    if (any >= 0) {  // its own node use: it may settle what the defined order cannot, or not
      ASSERT_EQ(any, expected) << "puzzle " << i << " " << describe(clues, groups);
      for (int row = 0; row < expected; ++row) {
        ASSERT_TRUE(is_valid_solution(any_out[row], clues, groups, diag)) << "puzzle " << i;
      }
      if (expected == 2) {
        ASSERT_NE(0, std::memcmp(any_out[0], any_out[1], sizeof any_out[0])) << "puzzle " << i;
      }
      if (expected == 1) {
        ASSERT_EQ(0, std::memcmp(any_out[0], fast_out[0], sizeof any_out[0])) << "puzzle " << i;
      }
    }
    ASSERT_EQ(ref, expected) << "puzzle " << i;
    ASSERT_EQ(fast_budget, ref_budget) << "puzzle " << i << " " << describe(clues, groups);
    ASSERT_EQ(0, std::memcmp(fast_out, ref_out, sizeof fast_out)) << "puzzle " << i;
    if (expected == 1) {
      for (int c = 0; c < 81; ++c) ASSERT_EQ(fast_out[0][c], brute.first_solution()[c]) << "puzzle " << i;
    }
    if (expected == 2) {
      ASSERT_TRUE(is_valid_solution(fast_out[0], clues, groups, diag)) << "puzzle " << i;
      ASSERT_TRUE(is_valid_solution(fast_out[1], clues, groups, diag)) << "puzzle " << i;
      ASSERT_NE(0, std::memcmp(fast_out[0], fast_out[1], sizeof fast_out[0])) << "puzzle " << i;
    }
    ++by_count[expected];
  }
  sudoku_seed_random(0);
  EXPECT_LT(unsettled, n / 20);
  EXPECT_GT(by_count[0], n / 50);
  EXPECT_GT(by_count[1], n / 50);
  EXPECT_GT(by_count[2], n / 50);
}

}  // namespace matrix_test
