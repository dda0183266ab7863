// Clue budgets, symmetry, initial clue sets, masks and rating.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "generator/clue_parameters.h"
#include "testing/test_boards.h"
#include "util/random.h"

using namespace test_boards;

namespace {

// A regular board holding the classic solution (one-bit masks), no clues.
void solved_board(Puzzle& p, UI_DIFFICULTY difficulty, MAP_TYPE map = MAP_REGULAR, ADJACENCY_TYPE adj = ADJ_NONE) {
  load_generation_board(p, std::string(81, '.').c_str(), kClassicSolution, square_map(), adj);
  p.set_types(map, adj);
  p.set_difficulty(difficulty);
  std::memset(p.method_counts, 0, sizeof p.method_counts);
}

}  // namespace

TEST(Rating, WorkedExampleCutoffAndWrapping) {
  Puzzle p;
  solved_board(p, UI_QUICKIE);
  int counts[N_METHOD_COUNTS] = {0};
  counts[kSlotClueCount] = 35;
  counts[1] = 10;
  counts[2] = 3;
  EXPECT_EQ(p.rate_puzzle(counts), 499960);
  counts[kSlotClueCount] = 38;
  EXPECT_EQ(p.rate_puzzle(counts), 200000 - 10 - 30);
  counts[kSlotClueCount] = 39;  // above max_clues 38
  EXPECT_EQ(p.rate_puzzle(counts), 0);

  // Difficulty 8 weighs method_counts[17] with 330000: large counts wrap in 32 bits.
  Puzzle q;
  solved_board(q, UI_HELL);
  int big[N_METHOD_COUNTS] = {0};
  big[kSlotClueCount] = 20;
  big[FRANKEN_FISH] = 20000;
  uint32_t expected = 90000u * 20u + 330000u * 20000u;
  EXPECT_EQ(q.rate_puzzle(big), static_cast<int>(expected));
  EXPECT_LT(q.rate_puzzle(big), 0);
  std::memcpy(q.method_counts, big, sizeof big);
  EXPECT_EQ(q.rate_puzzle(), q.rate_puzzle(big));
}

TEST(ClueBudget, DrawsStayInsideTheCdfRows) {
  sudoku_seed_random(2024);
  for (int d = 0; d < 10; ++d)
    for (int m = 0; m < 2; ++m)
      for (int a = 0; a < 2; ++a) {
        Puzzle p;
        solved_board(p, static_cast<UI_DIFFICULTY>(d), static_cast<MAP_TYPE>(m), static_cast<ADJACENCY_TYPE>(a));
        CLUE_ATOM const& top = clue_parameters[d][m][a].top_atom();
        std::set<int> seen;
        for (int i = 0; i < 400; ++i) {
          p.set_n_clues(UI_QUALITY_2);
          seen.insert(p.n_clues);
        }
        for (int n : seen) {
          EXPECT_GE(n, top.min_clues);
          EXPECT_LE(n, top.max_clues);
          // A count whose cdf entry does not exceed the previous one is never drawn.
          int const i = n - top.min_clues;
          if (i > 0) {
            EXPECT_GT(top.clue_cdf[i], top.clue_cdf[i - 1]) << d << m << a << " count " << n;
          }
        }
      }
  Puzzle p;
  solved_board(p, UI_VICIOUS, MAP_IRREGULAR, ADJ_X);
  std::set<int> seen;
  for (int i = 0; i < 1000; ++i) {
    p.set_n_clues(UI_QUALITY_2);
    seen.insert(p.n_clues);
  }
  EXPECT_EQ(seen, (std::set<int>{18, 19, 20}));
  // Quality 0 above difficulty 3 takes the maximum; quality 1 lifts the two lowest counts.
  p.set_n_clues(UI_QUALITY_0);
  EXPECT_EQ(p.n_clues, 22);
  for (int i = 0; i < 200; ++i) {
    p.set_n_clues(UI_QUALITY_1);
    EXPECT_GE(p.n_clues, 20);
  }
  sudoku_seed_random(0);
}

TEST(ClueBudget, SymmetricPoolsAndInitialClues) {
  sudoku_seed_random(77);
  Puzzle p;
  solved_board(p, UI_HARD);
  p.define_are_neighbors_array();
  p.symmetry = 1;
  p.build_sym_pool();
  EXPECT_EQ(p.n_sym_pool, 40);
  EXPECT_EQ(p.sym_pool[39], 39);
  p.symmetry = 0;
  p.build_sym_pool();
  EXPECT_EQ(p.n_sym_pool, 36);
  for (int i = 0; i < 36; ++i) EXPECT_LT(p.sym_pool[i] % 9, 4);

  for (int round = 0; round < 200; ++round) {
    // Mirror: column 4 holds a clue only as the centre of an odd count.
    p.symmetry = 0;
    p.build_sym_pool();
    p.n_clues = 25 + round % 2;
    p.set_initial_clues(p.n_clues);
    int in_column4 = 0;
    for (int i = 0; i < 81; ++i) {
      if (!(p.cells[i].mask & 1)) continue;
      in_column4 += i % 9 == 4;
      EXPECT_TRUE(p.p_mir_sym_cell(&p.cells[i])->mask & 1);
    }
    EXPECT_EQ(in_column4, p.n_clues % 2);
    EXPECT_EQ(p.count_mask(), p.n_clues);
    EXPECT_FALSE(p.long_run_of_clues());

    // Rotational: cell 40 is the only self-symmetric clue.
    p.symmetry = 1;
    p.build_sym_pool();
    p.n_clues = 41;
    p.set_initial_clues(41);
    EXPECT_EQ(p.count_mask(), 41);
    EXPECT_TRUE(p.cells[40].mask & 1);
    EXPECT_EQ(p.n_initial_clues, 20);
    EXPECT_EQ(p.next_clue_cell, &p.clue_cells[20]);
    for (int i = 0; i < 81; ++i)
      if (p.cells[i].mask & 1) {
        EXPECT_TRUE(p.cells[80 - i].mask & 1);
      }

    // No symmetry: exactly n random cells.
    p.symmetry = 2;
    p.n_clues = 40;
    p.set_initial_clues(40);
    EXPECT_EQ(p.count_mask(), 40);
    std::set<PUZZLE_CELL*> listed(p.clue_cells, p.clue_cells + 81);
    EXPECT_EQ(listed.size(), 81u);
  }
  sudoku_seed_random(0);
}

TEST(ClueBudget, ApplyMaskKeepsBitZero) {
  Puzzle p;
  solved_board(p, UI_EASY);
  p.cells[5].mask = 3;
  p.cells[6].mask = 2;
  p.cells[6].elim_bits = 0;
  p.apply_mask();
  EXPECT_EQ(p.cells[5].mask, 1);
  EXPECT_EQ(p.cells[5].elim_bits, static_cast<uint32_t>(p.cells[5].solution));
  EXPECT_EQ(p.cells[6].mask, 0);
  EXPECT_EQ(p.cells[6].elim_bits, ALL_DIGITS);
}

TEST(ClueBudget, TableShape) {
  // Every entry's top atom has a cdf covering its span and at least one try at quality 2.
  for (int d = 0; d < 10; ++d)
    for (int m = 0; m < 2; ++m)
      for (int a = 0; a < 2; ++a) {
        CLUE_PARAMETERS const& e = clue_parameters[d][m][a];
        ASSERT_GE(e.n_atoms, 1);
        CLUE_ATOM const& top = e.top_atom();
        EXPECT_LE(top.max_clues - top.min_clues, 15);
        EXPECT_GT(top.tries[2], 0);
      }
  EXPECT_EQ(clue_parameters[8][0][0].top_atom().method, FINNED_FISH);
  EXPECT_EQ(clue_parameters[8][0][0].top_atom().tries[2], 20000);
  EXPECT_EQ(clue_parameters[9][1][1].n_atoms, 7);
  EXPECT_EQ(rating_coefficients[5][19], -40000);
}
