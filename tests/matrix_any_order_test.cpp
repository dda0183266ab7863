// The any-order completion count: the same numbers as the defined search for every
// limit, valid stored grids, and its own budget accounting.
#include <gtest/gtest.h>

#include <cstring>

#include "matrix_test_support.h"

using namespace matrix_engine;
using matrix_test::Grid;

namespace {

struct Kind {
  char const* name;
  bool diag;
  bool jigsaw;
  int keep_percent;  // clues kept from a random grid (the sparsest of four steps)
};

// Seeded random clue grids with many completions, counted with limits from 1 to 40 by
// both searches: the counts agree, and every stored grid completes the clues.
TEST(MatrixAnyOrder, CountsAgreeWithTheDefinedSearchForEveryLimit) {
  Kind const kinds[] = {{"regular", false, false, 24}, {"diagonal", true, false, 20}, {"jigsaw", false, true, 30}};
  int const limits[] = {1, 2, 5, 40};
  sudoku_seed_random(77);
  for (Kind const& kind : kinds) {
    int reached_limit = 0, below_limit = 0;
    for (int i = 0; i < 40; ++i) {
      Grid solution = matrix_test::random_solution(matrix_test::square_map(), kind.diag);
      Grid const groups = kind.jigsaw ? matrix_test::jigsaw_map_keeping(solution, 400) : matrix_test::square_map();
      Grid const clues = matrix_test::random_clues(solution, kind.keep_percent + 6 * (i % 4));
      Ops const& ops = matrix_test::compiled(kind.diag, groups);
      Vec cand, placed;
      matrix_test::position_of(clues, cand, placed);
      for (int limit : limits) {
        int defined_out[2][81] = {}, any_out[2][81] = {};
        long long defined_budget = 1LL << 40, any_budget = 1LL << 40;
        int const defined = count_completions_collect(ops, cand, placed, limit, defined_out, 0, defined_budget);
        int const any = count_completions_any_order(ops, cand, placed, limit, any_out, any_budget);
        ASSERT_EQ(any, defined) << kind.name << " puzzle " << i << " limit " << limit;
        (defined == limit ? reached_limit : below_limit)++;
        for (int row = 0; row < std::min(any, 2); ++row)
          ASSERT_TRUE(matrix_test::is_valid_solution(any_out[row], clues, groups, kind.diag))
              << kind.name << " puzzle " << i << " limit " << limit;
        if (any >= 2) {
          EXPECT_NE(0, std::memcmp(any_out[0], any_out[1], sizeof any_out[0])) << kind.name;
        }
      }
    }
    // Both cases occur: a search cut at the limit and a complete count below it.
    EXPECT_GT(reached_limit, 10) << kind.name;
    EXPECT_GT(below_limit, 10) << kind.name;
  }
  sudoku_seed_random(0);
}

// One unit of budget per node: a complete grid costs one; with the exact number of
// nodes a search needs minus one, it reports -1 and leaves the budget negative.
TEST(MatrixAnyOrder, BudgetIsTakenPerNode) {
  Ops const& ops = matrix_test::compiled(false, matrix_test::square_map());
  sudoku_seed_random(5);
  Grid const solution = matrix_test::random_solution(matrix_test::square_map(), false);
  Vec cand, placed;
  matrix_test::position_of(solution, cand, placed);
  int out[2][81] = {};
  long long budget = 10;
  EXPECT_EQ(count_completions_any_order(ops, cand, placed, 2, out, budget), 1);
  EXPECT_EQ(budget, 9);
  EXPECT_EQ(0, std::memcmp(out[0], solution.data(), sizeof out[0]));
  budget = 0;
  EXPECT_EQ(count_completions_any_order(ops, cand, placed, 2, out, budget), -1);
  EXPECT_EQ(budget, -1);

  for (bool diag : {false, true}) {
    Ops const& board = matrix_test::compiled(diag, matrix_test::square_map());
    Vec all, none;
    all.fill_all();
    long long full = 1LL << 40;
    ASSERT_EQ(count_completions_any_order(board, all, none, 2, out, full), 2);
    long long const needed = (1LL << 40) - full;
    ASSERT_GT(needed, 1);
    long long short_by_one = needed - 1;
    EXPECT_EQ(count_completions_any_order(board, all, none, 2, out, short_by_one), -1) << diag;
    EXPECT_LT(short_by_one, 0) << diag;
  }
  sudoku_seed_random(0);
}

// A minimal puzzle of solution: clues dropped in random order while the count stays 1.
Grid minimal_puzzle(Ops const& ops, Grid const& solution) {
  Grid clues = solution;
  int order[81];
  for (int c = 0; c < 81; ++c) order[c] = c;
  for (int k = 80; k > 0; --k) std::swap(order[k], order[arc4random_uniform(k + 1)]);
  for (int c : order) {
    Grid without = clues;
    without[c] = 0;
    Vec cand, placed;
    matrix_test::position_of(without, cand, placed);
    int out[2][81];
    long long budget = 1LL << 40;
    if (count_completions_collect(ops, cand, placed, 2, out, 0, budget) == 1) clues = without;
  }
  return clues;
}

// The band and stack rule settles, without a guess, puzzles that singles alone leave
// open: some random minimal puzzles are counted in one node by the any-order search
// while the defined search branches, and both find the same grid.
TEST(MatrixAnyOrder, BandRuleSettlesWhatSinglesLeaveOpen) {
  sudoku_seed_random(91);
  Ops const& ops = matrix_test::compiled(false, matrix_test::square_map());
  int settled_by_the_rule = 0;
  for (int i = 0; i < 40; ++i) {
    Grid const solution = matrix_test::random_solution(matrix_test::square_map(), false);
    Grid const clues = minimal_puzzle(ops, solution);
    Vec cand, placed;
    matrix_test::position_of(clues, cand, placed);
    int defined_out[2][81] = {}, any_out[2][81] = {};
    long long defined_budget = 1LL << 40, any_budget = 1;
    ASSERT_EQ(count_completions_collect(ops, cand, placed, 2, defined_out, 0, defined_budget), 1);
    if ((1LL << 40) - defined_budget == 1) continue;  // singles suffice
    if (count_completions_any_order(ops, cand, placed, 2, any_out, any_budget) != 1) continue;
    EXPECT_EQ(0, std::memcmp(any_out[0], solution.data(), sizeof any_out[0])) << "puzzle " << i;
    ++settled_by_the_rule;
  }
  sudoku_seed_random(0);
  EXPECT_GT(settled_by_the_rule, 0);
}

}  // namespace
