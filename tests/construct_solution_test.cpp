// Random solution construction: seed group, fill order, validity, deadline and stop flag.
#include <gtest/gtest.h>

#include <set>

#include "solver_fixtures.h"

using solver_fixtures::setup_board;
using solver_fixtures::solution_is_valid;
using test_boards::square_map;

namespace {

// The board's natural house entry points, to compare against after construction.
void expect_natural_group_order(Puzzle& p) {
  PUZZLE_CELL* saved[9];
  for (int g = 0; g < 9; ++g) saved[g] = p.ptrs_first_in_dims[DIM_GROUP][g];
  p.setup_ptrs_first_in_dims();
  for (int g = 0; g < 9; ++g) EXPECT_EQ(saved[g], p.ptrs_first_in_dims[DIM_GROUP][g]) << "group " << g;
}

}  // namespace

TEST(ConstructSolution, RegularBoardsSeedBoxZeroAndFillEveryHouse) {
  for (int x = 0; x <= 1; ++x)
    for (uint64_t seed = 1; seed <= 25; ++seed) {
      Puzzle p;
      sudoku_seed_random(seed);
      setup_board(p, square_map(), x ? ADJ_X : ADJ_NONE);
      ASSERT_TRUE(p.construct_solution()) << "seed " << seed;
      sudoku_seed_random(0);
      EXPECT_TRUE(solution_is_valid(p)) << "seed " << seed << " x " << x;
      uint32_t seed_digits = 0;
      for (int i = 0; i < 9; ++i) {
        EXPECT_EQ(p.ordered_ptrs[i]->house[DIM_GROUP], 0);
        EXPECT_EQ(p.ordered_ptrs[i]->mask, 0);
        seed_digits |= static_cast<uint32_t>(p.ordered_ptrs[i]->solution);
      }
      EXPECT_EQ(seed_digits, ALL_DIGITS);
      EXPECT_EQ(p.ordered_ptrs[81], nullptr);
      EXPECT_FALSE(p.deadline_has_passed());
      EXPECT_EQ(p.deadline_poll_count, 0u);  // no deadline: nothing counted
      expect_natural_group_order(p);
      // Every cell keeps its own digit among its leftover candidates.
      for (auto const& cell : p.cells) EXPECT_TRUE(cell.elim_bits & static_cast<uint32_t>(cell.solution));
    }
}

TEST(ConstructSolution, IrregularBoardFillsEveryHouse) {
  for (uint64_t seed = 1; seed <= 10; ++seed) {
    Puzzle p;
    sudoku_seed_random(seed);
    setup_board(p, solver_fixtures::shifted_map(), ADJ_NONE, MAP_IRREGULAR);
    ASSERT_TRUE(p.construct_solution());
    sudoku_seed_random(0);
    EXPECT_TRUE(solution_is_valid(p)) << "seed " << seed;
    expect_natural_group_order(p);
  }
}

TEST(ConstructSolution, SameSeedSameGrid) {
  auto grid = [](uint64_t seed) {
    Puzzle p;
    sudoku_seed_random(seed);
    setup_board(p, square_map(), ADJ_X);
    EXPECT_TRUE(p.construct_solution());
    sudoku_seed_random(0);
    std::vector<int> out;
    for (auto const& cell : p.cells) out.push_back(cell.solution);
    return out;
  };
  EXPECT_EQ(grid(77), grid(77));
  EXPECT_NE(grid(77), grid(78));
}

TEST(ConstructSolution, GroupLyingInOneRowBecomesTheSeedGroup) {
  Puzzle p;
  setup_board(p, solver_fixtures::row_group_map(), ADJ_NONE, MAP_IRREGULAR);
  p.order_groups_by_restriction();
  // Restrictions: group 4 (all of row 4) 9, groups 3 and 5 six, the boxes 3.
  int const expected_first_cells[9] = {36, 27, 33, 0, 3, 6, 54, 57, 60};
  for (int i = 0; i < 9; ++i) EXPECT_EQ(p.ptrs_first_in_dims[DIM_GROUP][i], &p.cells[expected_first_cells[i]]);
  p.initialize_ordered_ptrs();
  for (int i = 0; i < 9; ++i) EXPECT_EQ(p.ordered_ptrs[i], &p.cells[36 + i]);
  EXPECT_EQ(p.ordered_ptrs[9], &p.cells[27]);
  EXPECT_EQ(p.ordered_ptrs[81], nullptr);
  p.setup_ptrs_first_in_dims();

  // On X boards the diagonals count as lines too, but no group here has more than 3 on one.
  Puzzle x;
  setup_board(x, square_map(), ADJ_X);
  x.order_groups_by_restriction();
  for (int g = 0; g < 9; ++g) EXPECT_EQ(x.ptrs_first_in_dims[DIM_GROUP][g]->house[DIM_GROUP], g);
}

TEST(ConstructSolution, FillOrderIsMostConstrainedFirst) {
  for (int x = 0; x <= 1; ++x) {
    Puzzle p;
    setup_board(p, square_map(), x ? ADJ_X : ADJ_NONE);
    p.order_groups_by_restriction();
    p.initialize_ordered_ptrs();
    p.compare_to_first_group();
    p.sort_ordered_ptrs();
    std::set<PUZZLE_CELL*> all(p.ordered_ptrs, p.ordered_ptrs + 81);
    EXPECT_EQ(all.size(), 81u);
    EXPECT_EQ(p.ordered_ptrs[81], nullptr);
    // Each fixed cell has at least as many earlier neighbours as any cell after it.
    auto earlier_neighbours = [&](PUZZLE_CELL const* cell, int k) {
      int n = 0;
      for (int i = 0; i < k; ++i) n += p.are_neighbors(p.ordered_ptrs[i], cell);
      return n;
    };
    for (int k = 9; k < 81; ++k) {
      int const mine = earlier_neighbours(p.ordered_ptrs[k], k);
      for (int j = k + 1; j < 81; ++j) ASSERT_GE(mine, earlier_neighbours(p.ordered_ptrs[j], k)) << k << " " << j;
    }
    // Box 0 first, then (ties broken by position) the rest of rows 0-2 and columns 0-2.
    EXPECT_EQ(p.ordered_ptrs[9], &p.cells[3]);
  }
}

TEST(ConstructSolution, DeadlineInThePastStopsAtThe1024thPoll) {
  Puzzle p;
  setup_board(p, square_map(), ADJ_NONE);
  p.deadline_ms = 1;  // long past
  p.deadline_poll_count = 1000;
  sudoku_seed_random(5);
  EXPECT_FALSE(p.construct_solution());
  sudoku_seed_random(0);
  EXPECT_TRUE(p.deadline_has_passed());
  EXPECT_EQ(p.deadline_poll_count, 1024u);
  expect_natural_group_order(p);

  // From a fresh count the clock is not read before the 1024th call: an easy
  // regular grid needs far fewer calls, so it completes despite the deadline.
  Puzzle q;
  setup_board(q, square_map(), ADJ_NONE);
  q.deadline_ms = 1;
  sudoku_seed_random(5);
  EXPECT_TRUE(q.construct_solution());
  sudoku_seed_random(0);
  EXPECT_FALSE(q.deadline_has_passed());
  EXPECT_GE(q.deadline_poll_count, 72u);
  EXPECT_LT(q.deadline_poll_count, 1024u);
  EXPECT_TRUE(solution_is_valid(q));
}

TEST(ConstructSolution, PresetStopFlagFailsAtOnce) {
  Puzzle p;
  setup_board(p, square_map(), ADJ_NONE);
  p.store_both_stop_flags(true);
  EXPECT_FALSE(p.construct_solution());
  EXPECT_EQ(p.deadline_poll_count, 0u);
  expect_natural_group_order(p);
}

TEST(ConstructSolution, BitHelpers) {
  EXPECT_EQ(Puzzle::count_set_bits(0x3FE, 1, 9), 9);
  EXPECT_EQ(Puzzle::count_set_bits(0x3FE, 0, 10), 9);
  EXPECT_EQ(Puzzle::count_set_bits(0b1010010, 1, 3), 1);  // bits 1..3 of the mask: only bit 1
  EXPECT_EQ(Puzzle::count_set_bits(0b1010010, 4, 3), 2);  // bits 4 and 6
  EXPECT_EQ(Puzzle::get_nth_nonzero_bit(0b1010010, 1), 2u);
  EXPECT_EQ(Puzzle::get_nth_nonzero_bit(0b1010010, 2), 16u);
  EXPECT_EQ(Puzzle::get_nth_nonzero_bit(0b1010010, 3), 64u);
  EXPECT_EQ(Puzzle::get_nth_nonzero_bit(0b1010010, 0), 0u);
  EXPECT_EQ(Puzzle::get_nth_nonzero_bit(0x3FE, 9), 512u);
}

TEST(ConstructSolution, ForwardCheckOnlyTouchesNeighbours) {
  Puzzle p;
  setup_board(p, square_map(), ADJ_NONE);
  for (auto& cell : p.cells) cell.elim_bits = ALL_DIGITS;
  p.cells[0].solution = 1 << 4;
  p.cells[1].elim_bits = 1 << 4;  // a neighbour left without candidates
  EXPECT_FALSE(p.exclude_value_from_future_cell(&p.cells[0], &p.cells[1]));
  EXPECT_EQ(p.cells[1].elim_bits, 0u);
  EXPECT_TRUE(p.exclude_value_from_future_cell(&p.cells[0], &p.cells[40]));  // not a neighbour
  EXPECT_EQ(p.cells[40].elim_bits, ALL_DIGITS);
  PUZZLE_CELL* later[] = {&p.cells[9], &p.cells[40], &p.cells[2], nullptr};
  p.cells[2].elim_bits = 1 << 4;
  EXPECT_FALSE(p.exclude_value_from_future_cells(&p.cells[0], later));
  EXPECT_EQ(p.cells[9].elim_bits, ALL_DIGITS & ~(1u << 4));
  EXPECT_EQ(p.cells[2].elim_bits, 0u);

  // set_value draws among the candidates only.
  sudoku_seed_random(3);
  p.cells[50].elim_bits = (1 << 2) | (1 << 7);
  for (int i = 0; i < 20; ++i) {
    ASSERT_TRUE(p.set_value(&p.cells[50]));
    EXPECT_TRUE(p.cells[50].solution == (1 << 2) || p.cells[50].solution == (1 << 7));
  }
  sudoku_seed_random(0);
  p.cells[50].elim_bits = 0;
  EXPECT_FALSE(p.set_value(&p.cells[50]));
}
