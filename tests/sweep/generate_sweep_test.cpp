// Full-effort generation through the C interface at every difficulty, regular grid,
// with and without diagonals: consistent, exactly one solution (independent
// counter), clue count in range, solved by the entry's top technique.
#include <gtest/gtest.h>

#include "../reference_solver.h"
#include "testing/test_boards.h"
#include "generator/clue_parameters.h"
#include "util/random.h"

class GenerateSweep : public ::testing::TestWithParam<int> {};

TEST_P(GenerateSweep, TwoPuzzlesPerKind) {
  int const difficulty = GetParam();
  for (int x = 0; x <= 1; ++x)
    for (int k = 0; k < 2; ++k) {
      SudokuPuzzle* h = sudoku_new();
      sudoku_seed_random(50000 + difficulty * 100 + x * 10 + k);
      testing::internal::CaptureStderr();
      int const ok = sudoku_generate(h, 0, x, difficulty, 2);
      std::string const log = testing::internal::GetCapturedStderr();
      sudoku_seed_random(0);
      ASSERT_EQ(ok, 1) << log;
      int clues[81], groups[81], solution[81], n = 0;
      for (int i = 0; i < 81; ++i) {
        int v[9];
        sudoku_get_cell(h, i, v);
        solution[i] = v[0];
        clues[i] = v[1] ? v[0] : 0;
        n += v[1] ? 1 : 0;
        groups[i] = v[6];
      }
      std::array<int, 81> found{};
      ASSERT_EQ(reference::count_solutions(clues, groups, x == 1, 2, &found), 1);
      for (int i = 0; i < 81; ++i) EXPECT_EQ(found[i], solution[i]);
      EXPECT_LE(n, clue_parameters[difficulty][0][x].top_atom().max_clues);
      sudoku_free(h);
    }
}

INSTANTIATE_TEST_SUITE_P(Levels, GenerateSweep, ::testing::Range(0, 10));
