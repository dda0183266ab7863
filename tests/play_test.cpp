// Play calls, restart and the digit assistant through the C interface.
#include <gtest/gtest.h>

#include "testing/test_boards.h"

using namespace test_boards;

namespace {

struct Handle {
  SudokuPuzzle* h;
  explicit Handle(SudokuPuzzle* p) : h(p) {}
  ~Handle() { sudoku_free(h); }
};

int cell_view(SudokuPuzzle* h, int i, int field) {
  int v[9];
  sudoku_get_cell(h, i, v);
  return v[field];
}

int count_givens() {
  int n = 0;
  for (int i = 0; i < 81; ++i) n += kClassicPuzzle[i] != '.';
  return n;
}

}  // namespace

TEST(Play, FreshBoardStateAndDistance) {
  Handle b(new_classic_handle());
  int counts[10];
  EXPECT_EQ(sudoku_get_state(b.h, counts), 0);
  EXPECT_EQ(counts[0], 0);
  int fives = 0;
  for (int i = 0; i < 81; ++i) fives += kClassicPuzzle[i] == '5';
  EXPECT_EQ(counts[5], fives);
  EXPECT_EQ(sudoku_distance(b.h), 81 - count_givens());
  // Givens hold their digit as their only mark; other cells have none.
  EXPECT_EQ(cell_view(b.h, 0, 2), 1 << 5);
  EXPECT_EQ(cell_view(b.h, 2, 2), 0);
  EXPECT_EQ(cell_view(b.h, 0, 0), 5);
}

TEST(Play, FillingSolvesOneWrongDigitGivesStateTwo) {
  Handle b(new_classic_handle());
  auto sol = digits_of(kClassicSolution);
  int first_empty = -1;
  for (int i = 0; i < 81; ++i)
    if (kClassicPuzzle[i] == '.') {
      if (first_empty < 0) first_empty = i;
      sudoku_set_user_answer(b.h, i, sol[i], 0, 0);
    }
  int counts[10];
  EXPECT_EQ(sudoku_get_state(b.h, counts), 1);
  EXPECT_EQ(sudoku_distance(b.h), 0);
  for (int d = 1; d <= 9; ++d) EXPECT_EQ(counts[d], 9);
  int maxed[10];
  sudoku_maxed_digits(b.h, maxed);
  for (int d = 1; d <= 9; ++d) EXPECT_EQ(maxed[d], 1);
  EXPECT_EQ(maxed[0], 0);

  int const wrong = sol[first_empty] % 9 + 1;
  sudoku_set_user_answer(b.h, first_empty, wrong, sol[first_empty], 0);
  EXPECT_EQ(sudoku_get_state(b.h, counts), 2);
  EXPECT_EQ(sudoku_distance(b.h), 1);
  // The wrong digit now shows ten times: not "maxed" (equality with 9).
  sudoku_maxed_digits(b.h, maxed);
  EXPECT_EQ(maxed[wrong], 0);
  EXPECT_EQ(maxed[sol[first_empty]], 0);
}

TEST(Play, SmallModeAnswersDoNotCount) {
  Handle b(new_classic_handle());
  auto sol = digits_of(kClassicSolution);
  int const cell = 2;
  ASSERT_EQ(kClassicPuzzle[cell], '.');
  int const before = sudoku_distance(b.h);
  EXPECT_EQ(sudoku_toggle_small_mode(b.h, cell), 1);
  sudoku_set_user_answer(b.h, cell, sol[cell], 0, 0);
  int counts[10];
  sudoku_get_state(b.h, counts);
  int expected[10];
  Handle fresh(new_classic_handle());
  sudoku_get_state(fresh.h, expected);
  for (int d = 0; d < 10; ++d) EXPECT_EQ(counts[d], expected[d]);
  EXPECT_EQ(sudoku_distance(b.h), before);
  EXPECT_EQ(sudoku_toggle_small_mode(b.h, cell), 0);
  EXPECT_EQ(sudoku_distance(b.h), before - 1);
}

TEST(Play, MarksGroupsAndNeighbours) {
  Handle b(new_classic_handle());
  sudoku_toggle_elim_bit(b.h, 2, 5);
  EXPECT_EQ(cell_view(b.h, 2, 2), 1 << 5);
  sudoku_toggle_elim_bit(b.h, 2, 7);
  sudoku_toggle_elim_bit(b.h, 2, 5);
  EXPECT_EQ(cell_view(b.h, 2, 2), 1 << 7);
  sudoku_toggle_elim_bit(b.h, 2, 0);
  EXPECT_EQ(cell_view(b.h, 2, 2), 0);

  EXPECT_EQ(sudoku_same_group_right(b.h, 0), 1);
  EXPECT_EQ(sudoku_same_group_right(b.h, 2), 0);
  EXPECT_EQ(sudoku_same_group_right(b.h, 8), 0);  // column 8, even though 8 and 9 differ anyway
  EXPECT_EQ(sudoku_same_group_below(b.h, 0), 1);
  EXPECT_EQ(sudoku_same_group_below(b.h, 18), 0);
  EXPECT_EQ(sudoku_same_group_below(b.h, 72), 0);
  for (int i = 0; i < 81; ++i) EXPECT_EQ(sudoku_are_neighbors(b.h, i, i), 1);
  int colors[9];
  sudoku_get_color_map(b.h, colors);
  EXPECT_EQ(colors[1], 1);
}

TEST(Play, SameGroupRightIsZeroInColumnEightEvenWhenGroupsMatch) {
  // A jigsaw map in which cells 8 and 9 share group 0.
  std::array<int, 81> groups{};
  for (int i = 0; i < 81; ++i) groups[i] = i / 9;
  groups[9] = 0;
  groups[8] = 1;  // swap cells 8 and 9 between groups 0 and 1
  auto sol = digits_of(kClassicSolution);
  std::array<int, 81> clues{};
  int colors[9] = {0};
  Handle b(sudoku_new());
  ASSERT_EQ(sudoku_build_from_clues(b.h, 1, 0, 1, clues.data(), sol.data(), groups.data(), colors), 1);
  EXPECT_EQ(cell_view(b.h, 9, 6), 0);
  EXPECT_EQ(sudoku_same_group_right(b.h, 7), 0);
  EXPECT_EQ(sudoku_same_group_right(b.h, 8), 0);
}

TEST(Play, RestartKeepsGivensOnly) {
  Handle b(new_classic_handle());
  sudoku_set_user_answer(b.h, 2, 4, 0, 1);
  sudoku_toggle_small_mode(b.h, 3);
  sudoku_toggle_elim_bit(b.h, 3, 6);
  sudoku_restart(b.h);
  for (int i = 0; i < 81; ++i) {
    int v[9];
    sudoku_get_cell(b.h, i, v);
    EXPECT_EQ(v[3], 0);
    EXPECT_EQ(v[4], 0);
    EXPECT_EQ(v[5], 0);
    EXPECT_EQ(v[2], v[1] ? (1 << v[0]) : 0);
  }
  EXPECT_EQ(sudoku_distance(b.h), 81 - count_givens());
}

TEST(Assistant, AllShowsSimpleCandidates) {
  Handle b(new_classic_handle());
  sudoku_digit_assistant_all(b.h);
  auto clues = digits_of(kClassicPuzzle);
  auto groups = square_groups();
  for (int i = 0; i < 81; ++i) {
    int v[9];
    sudoku_get_cell(b.h, i, v);
    if (clues[i]) {
      EXPECT_EQ(v[2], 1 << clues[i]);
      EXPECT_EQ(v[4], 0);
      continue;
    }
    unsigned expected = ALL_DIGITS;
    for (int j = 0; j < 81; ++j)
      if (clues[j] && (j / 9 == i / 9 || j % 9 == i % 9 || groups[j] == groups[i])) expected &= ~(1u << clues[j]);
    EXPECT_EQ(static_cast<unsigned>(v[2]), expected) << "cell " << i;
    EXPECT_EQ(v[4], 1);
  }
}

TEST(Assistant, UpdateKeepsRemovedMarksAllRestoresThem) {
  Handle b(new_classic_handle());
  sudoku_digit_assistant_all(b.h);
  int const cell = 2;  // candidates {1, 2, 4}
  ASSERT_EQ(cell_view(b.h, cell, 2), (1 << 1) | (1 << 2) | (1 << 4));
  sudoku_toggle_elim_bit(b.h, cell, 1);
  sudoku_digit_assistant_update(b.h);
  EXPECT_EQ(cell_view(b.h, cell, 2), (1 << 2) | (1 << 4));
  sudoku_digit_assistant_all(b.h);
  EXPECT_EQ(cell_view(b.h, cell, 2), (1 << 1) | (1 << 2) | (1 << 4));
}

TEST(Assistant, SmallModeCellLosesItsAnswerHideThenUpdateRestores) {
  Handle b(new_classic_handle());
  sudoku_set_user_answer(b.h, 2, 4, 0, 0);
  sudoku_toggle_small_mode(b.h, 2);
  sudoku_digit_assistant_all(b.h);
  EXPECT_EQ(cell_view(b.h, 2, 3), 0);
  int before[81];
  for (int i = 0; i < 81; ++i) before[i] = cell_view(b.h, i, 2);
  sudoku_digit_assistant_hide(b.h);
  EXPECT_EQ(cell_view(b.h, 2, 4), 0);
  EXPECT_EQ(cell_view(b.h, 0, 4), 0);
  sudoku_digit_assistant_update(b.h);
  for (int i = 0; i < 81; ++i) {
    EXPECT_EQ(cell_view(b.h, i, 2), before[i]);
    if (kClassicPuzzle[i] == '.') {
      EXPECT_EQ(cell_view(b.h, i, 4), 1);
    }
  }
}

TEST(Assistant, AnswerWithAssistUpdatesHousesAndReverses) {
  Handle b(new_classic_handle());
  sudoku_digit_assistant_all(b.h);
  // Cell 2 takes a 4: every empty cell that sees it loses 4.
  sudoku_set_user_answer(b.h, 2, 4, 0, 1);
  EXPECT_EQ(cell_view(b.h, 2, 2), 1 << 4);
  EXPECT_EQ(cell_view(b.h, 6, 2) & (1 << 4), 0);   // same row
  EXPECT_EQ(cell_view(b.h, 20, 2) & (1 << 4), 0);  // same box
  // Taking it back gives cell 2 every digit not placed in its houses, and the 4 back to
  // empty neighbours none of whose houses holds a 4.
  sudoku_set_user_answer(b.h, 2, 0, 4, 1);
  EXPECT_EQ(cell_view(b.h, 2, 2), (1 << 1) | (1 << 2) | (1 << 4));
  EXPECT_NE(cell_view(b.h, 6, 2) & (1 << 4), 0);  // no 4 in row 0, column 6 or box 2
}
