// Fish on hand-set candidates: basic fish, Franken fish and finned fish.
#include <gtest/gtest.h>

#include <set>

#include "solver_fixtures.h"

using solver_fixtures::cells_with;
using solver_fixtures::open_board;

namespace {

constexpr uint32_t bit(int d) { return 1u << d; }

std::vector<uint32_t> candidates_of(Puzzle const& p) {
  std::vector<uint32_t> out;
  for (auto const& cell : p.cells) out.push_back(cell.elim_bits);
  return out;
}

// Restricts digit d in row r to the listed columns.
void row_only_in(Puzzle& p, int r, std::initializer_list<int> cols, int d) {
  std::set<int> keep(cols);
  for (int c = 0; c < 9; ++c)
    if (!keep.count(c)) p.cells[r * 9 + c].elim_bits &= ~bit(d);
}

// Restricts digit d in column c to the listed rows.
void col_only_in(Puzzle& p, int c, std::initializer_list<int> rows, int d) {
  std::set<int> keep(rows);
  for (int r = 0; r < 9; ++r)
    if (!keep.count(r)) p.cells[r * 9 + c].elim_bits &= ~bit(d);
}

// Leaves digit d only in the listed cells.
void digit_only_in(Puzzle& p, std::initializer_list<int> cells, int d) {
  std::set<int> keep(cells);
  for (int i = 0; i < 81; ++i)
    if (!keep.count(i)) p.cells[i].elim_bits &= ~bit(d);
}

// The cells that lost digit d compared with `before`.
std::set<int> lost(Puzzle const& p, std::vector<uint32_t> const& before, int d) {
  std::set<int> out;
  for (int i = 0; i < 81; ++i)
    if ((before[i] & bit(d)) && !(p.cells[i].elim_bits & bit(d))) out.insert(i);
  return out;
}

}  // namespace

TEST(BasicFish, XWingOnRows) {
  Puzzle p;
  open_board(p);
  row_only_in(p, 1, {2, 6}, 3);
  row_only_in(p, 5, {2, 6}, 3);
  auto const before = candidates_of(p);
  EXPECT_TRUE(p.simplify(X_WING));
  std::set<int> expected;
  for (int r : {0, 2, 3, 4, 6, 7, 8}) expected.insert({r * 9 + 2, r * 9 + 6});
  EXPECT_EQ(lost(p, before, 3), expected);
  EXPECT_FALSE(p.simplify(X_WING));
}

TEST(BasicFish, XWingNeedsThreeUnsolvedRows) {
  // Digit 3 is unsolved in rows 1 and 5 only. Columns 2 and 6 confine it to those
  // rows, so a column-based X-Wing would clear (1,7); with two rows it is not looked for.
  Puzzle p;
  open_board(p);
  digit_only_in(p, {1 * 9 + 2, 1 * 9 + 6, 1 * 9 + 7, 5 * 9 + 2, 5 * 9 + 6}, 3);
  auto const before = candidates_of(p);
  EXPECT_FALSE(p.simplify_once_fish_methods(X_WING));
  EXPECT_EQ(candidates_of(p), before);
  // A third row holding the digit makes the search run, and it finds the fish.
  p.cells[8 * 9 + 0].elim_bits |= bit(3);
  EXPECT_TRUE(p.simplify_once_fish_methods(X_WING));
  EXPECT_EQ(lost(p, before, 3), std::set<int>{1 * 9 + 7});
}

TEST(BasicFish, SwordfishRowAndColumnBased) {
  Puzzle p;
  open_board(p);
  row_only_in(p, 0, {1, 4}, 4);
  row_only_in(p, 3, {4, 7}, 4);
  row_only_in(p, 6, {1, 7}, 4);
  auto before = candidates_of(p);
  EXPECT_TRUE(p.simplify(SWORDFISH));
  std::set<int> expected;
  for (int r : {1, 2, 4, 5, 7, 8}) expected.insert({r * 9 + 1, r * 9 + 4, r * 9 + 7});
  EXPECT_EQ(lost(p, before, 4), expected);

  // The same shape transposed is found with the columns as base lines.
  Puzzle q;
  open_board(q);
  col_only_in(q, 0, {1, 4}, 4);
  col_only_in(q, 3, {4, 7}, 4);
  col_only_in(q, 6, {1, 7}, 4);
  before = candidates_of(q);
  EXPECT_TRUE(q.simplify(SWORDFISH));
  expected.clear();
  for (int c : {1, 2, 4, 5, 7, 8}) expected.insert({1 * 9 + c, 4 * 9 + c, 7 * 9 + c});
  EXPECT_EQ(lost(q, before, 4), expected);
}

TEST(BasicFish, JellyfishNeverColumnBasedButLargeFishIs) {
  auto column_jellyfish = [](Puzzle& p) {
    open_board(p);
    for (int c : {0, 2, 4, 6}) col_only_in(p, c, {1, 3, 5, 7}, 6);
  };
  Puzzle p;
  column_jellyfish(p);
  auto const before = candidates_of(p);
  EXPECT_FALSE(p.simplify(JELLYFISH));
  EXPECT_EQ(candidates_of(p), before);
  // Nine rows and columns: sizes 3 and 4, the largest (4) column-based because 9 is odd.
  EXPECT_TRUE(p.simplify_once_fish_methods(LARGE_FISH));
  std::set<int> expected;
  for (int r : {1, 3, 5, 7})
    for (int c : {1, 3, 5, 7, 8}) expected.insert(r * 9 + c);
  EXPECT_EQ(lost(p, before, 6), expected);

  // The transposed shape is an ordinary row-based Jellyfish.
  Puzzle q;
  open_board(q);
  for (int r : {0, 2, 4, 6}) row_only_in(q, r, {1, 3, 5, 7}, 6);
  EXPECT_TRUE(q.simplify(JELLYFISH));
}

TEST(BasicFish, LargeFishNeedsSixRowsAndColumns) {
  // Digit 2 in rows 0, 3, 6 (a swordfish on columns 1, 4, 7) and rows 1, 2: five
  // rows and four columns hold it, so the large fish has no size to try.
  Puzzle p;
  open_board(p);
  digit_only_in(p, {}, 2);
  for (int c : {1, 4}) p.cells[0 * 9 + c].elim_bits |= bit(2);
  for (int c : {4, 7}) p.cells[3 * 9 + c].elim_bits |= bit(2);
  for (int c : {1, 7}) p.cells[6 * 9 + c].elim_bits |= bit(2);
  for (int r : {1, 2})
    for (int c : {1, 4, 7, 8}) p.cells[r * 9 + c].elim_bits |= bit(2);
  auto const before = candidates_of(p);
  EXPECT_FALSE(p.simplify_once_fish_methods(LARGE_FISH));
  EXPECT_EQ(candidates_of(p), before);
  EXPECT_TRUE(p.simplify_once_fish_methods(SWORDFISH));
  std::set<int> expected;
  for (int r : {1, 2})
    for (int c : {1, 4, 7}) expected.insert(r * 9 + c);
  EXPECT_EQ(lost(p, before, 2), expected);
}

TEST(FrankenFish, RowsCoveredByAColumnAndTwoGroups) {
  auto franken_board = [](Puzzle& p) {
    open_board(p);
    // Rows 3..5: digit 1 only in groups 3 and 5 and in column 4.
    for (int r : {3, 4, 5}) row_only_in(p, r, {0, 1, 2, 4, 6, 7, 8}, 1);
    for (int c : {0, 1, 2}) col_only_in(p, c, {0, 1, 2, 3, 6, 7, 8}, 1);  // fewer cells, still a cover
  };
  Puzzle p;
  franken_board(p);
  auto const before = candidates_of(p);
  EXPECT_TRUE(p.simplify(FRANKEN_FISH));
  std::set<int> expected;
  for (int r : {0, 1, 2, 6, 7, 8}) expected.insert(r * 9 + 4);
  EXPECT_EQ(lost(p, before, 1), expected);
}

TEST(FrankenFish, OnlyDigitsWithNineUnsolvedCells) {
  // Eight cells of digit 1: rows 3..5 confined to groups 3 and 5 and column 4, and
  // column 4 holding it in rows 0 and 8 as well.
  Puzzle p;
  open_board(p);
  digit_only_in(p, {3 * 9 + 0, 4 * 9 + 1, 3 * 9 + 7, 5 * 9 + 8, 4 * 9 + 4, 5 * 9 + 4, 0 * 9 + 4, 8 * 9 + 4}, 1);
  auto const before = candidates_of(p);
  EXPECT_FALSE(p.simplify_once_fish_methods(FRANKEN_FISH));
  EXPECT_EQ(candidates_of(p), before);
  // The pattern search itself finds the fish for that digit.
  int houses[3][9];
  for (auto& list : houses)
    for (int& h : list) h = -1;
  int const n_rows = p.determine_unsolved_houses_for_digit(DIM_ROW, houses[DIM_ROW], bit(1));
  p.determine_unsolved_houses_for_digit(DIM_COL, houses[DIM_COL], bit(1));
  int const n_groups = p.determine_unsolved_houses_for_digit(DIM_GROUP, houses[DIM_GROUP], bit(1));
  EXPECT_EQ(n_rows, 5);
  EXPECT_EQ(n_groups, 5);
  EXPECT_TRUE(p.simplify_once_franken_fish_for_digit(bit(1), n_rows, n_groups, houses));
  EXPECT_FALSE(lost(p, before, 1).empty());
}

TEST(FrankenFish, GroupsCoveredByLines) {
  // Pattern 0,3,3,0: groups 0, 4 and 8 hold digit 9 only in columns 0, 4 and 8.
  Puzzle p;
  open_board(p);
  for (int c = 0; c < 9; ++c)
    for (int r = 0; r < 9; ++r) {
      int const g = (r / 3) * 3 + c / 3;
      if ((g == 0 || g == 4 || g == 8) && c != 0 && c != 4 && c != 8) p.cells[r * 9 + c].elim_bits &= ~bit(9);
    }
  int houses[3][9];
  for (auto& list : houses)
    for (int& h : list) h = -1;
  int const n_rows = p.determine_unsolved_houses_for_digit(DIM_ROW, houses[DIM_ROW], bit(9));
  p.determine_unsolved_houses_for_digit(DIM_COL, houses[DIM_COL], bit(9));
  int const n_groups = p.determine_unsolved_houses_for_digit(DIM_GROUP, houses[DIM_GROUP], bit(9));
  FRANKEN_PATTERN const pattern{0, 3, 3, 0};
  auto const before = candidates_of(p);
  EXPECT_TRUE(p.simplify_franken_secondary_lines_only(bit(9), n_rows, n_groups, houses, pattern, DIM_ROW));
  std::set<int> expected;
  for (int r = 0; r < 9; ++r)
    for (int c : {0, 4, 8}) {
      int const g = (r / 3) * 3 + c / 3;
      if (g != 0 && g != 4 && g != 8) expected.insert(r * 9 + c);
    }
  EXPECT_EQ(lost(p, before, 9), expected);
}

namespace {

// Digit 2: rows 0, 4 and 7 form a swordfish on columns 1, 5 and 7, except for the
// fin (0,2) next to (0,1) in group 0.
void finned_swordfish(Puzzle& p) {
  open_board(p);
  row_only_in(p, 0, {1, 2, 5}, 2);
  row_only_in(p, 4, {1, 7}, 2);
  row_only_in(p, 7, {5, 7}, 2);
}

}  // namespace

TEST(FinnedFish, EliminatesOnlyInsideTheFinsGroup) {
  Puzzle p;
  finned_swordfish(p);
  auto const before = candidates_of(p);
  EXPECT_TRUE(p.simplify(FINNED_FISH));
  EXPECT_EQ(lost(p, before, 2), (std::set<int>{1 * 9 + 1, 2 * 9 + 1}));
  for (int i = 0; i < 81; ++i) EXPECT_EQ(p.cells[i].elim_bits | bit(2), before[i] | bit(2)) << i;
  EXPECT_EQ(p.method_counts[kSlotTwoFins], 0);  // one fin
}

TEST(FinnedFish, BothFinnedMethodsMakeTheSameEliminations) {
  Puzzle a, b;
  finned_swordfish(a);
  finned_swordfish(b);
  EXPECT_TRUE(a.simplify(FINNED_FISH));
  EXPECT_TRUE(b.simplify(FINNED_FISH_ALT));
  EXPECT_EQ(candidates_of(a), candidates_of(b));
}

TEST(FinnedFish, FishOutsideTheFinsGroupChangesNothing) {
  Puzzle p;
  finned_swordfish(p);
  // Column 1 of group 0 no longer carries the digit outside row 0: the fish found on
  // the scratch board removes it only outside group 0.
  p.cells[1 * 9 + 1].elim_bits &= ~bit(2);
  p.cells[2 * 9 + 1].elim_bits &= ~bit(2);
  auto const before = candidates_of(p);
  EXPECT_FALSE(p.fins_rows_cols(DIM_ROW, bit(2), &p.cells[2], nullptr, &p.cells[9]));
  EXPECT_EQ(candidates_of(p), before);
  // The same attempt on the original shape succeeds.
  Puzzle q;
  finned_swordfish(q);
  EXPECT_TRUE(q.fins_rows_cols(DIM_ROW, bit(2), &q.cells[2], nullptr, &q.cells[9]));
  EXPECT_FALSE(q.cells[1 * 9 + 1].elim_bits & bit(2));
}

TEST(FinnedFish, TwoFinsCountInSlot19AndTheSecondFinKeepsItsCandidates) {
  Puzzle p;
  finned_swordfish(p);
  p.cells[0].elim_bits |= bit(2);  // a second fin at (0,0)
  auto const before = candidates_of(p);
  EXPECT_TRUE(p.fins_rows_cols(DIM_ROW, bit(2), &p.cells[0], &p.cells[2], &p.cells[10]));
  EXPECT_EQ(lost(p, before, 2), (std::set<int>{1 * 9 + 1, 2 * 9 + 1}));
  EXPECT_EQ(p.cells[2].elim_bits, before[2]);
  EXPECT_EQ(p.cells[0].elim_bits, before[0]);
  EXPECT_EQ(p.method_counts[kSlotTwoFins], 1);
}

TEST(FinnedFish, DigitsWithFewerThanSixUnsolvedCellsAreSkipped) {
  // Every cell is solved (digit 1) except five cells holding {1, 2}.
  Puzzle p;
  open_board(p);
  for (auto& cell : p.cells) cell.elim_bits = bit(1);
  for (int c : {1, 2, 5, 37, 43}) p.cells[c].elim_bits = bit(1) | bit(2);
  auto const before = candidates_of(p);
  EXPECT_FALSE(p.simplify_fins_rows_cols());
  EXPECT_EQ(candidates_of(p), before);
}

TEST(FinnedFish, FinCandidatesSortedByCountInTheGroup) {
  Puzzle p;
  open_board(p);
  digit_only_in(p, {0, 1, 2, 40}, 3);  // group 0: three cells
  digit_only_in(p, {0, 40, 50}, 5);    // group 0: one cell
  digit_only_in(p, {0, 9, 50}, 7);     // group 0: two cells
  int digits[10] = {3, 5, 7, 8, 0};
  int* from;
  int* to;
  p.find_fin_candidates(0, digits, from, to);
  EXPECT_EQ(std::vector<int>(digits, digits + 4), (std::vector<int>{5, 7, 3, 8}));
  EXPECT_EQ(from, digits + 1);  // first digit with two cells
  EXPECT_EQ(to, digits + 2);    // first digit with three
  // The whole board: thresholds 6 and 8.
  int all[10] = {3, 5, 7, 8, 0};
  p.find_fin_candidates(-1, all, from, to);
  EXPECT_EQ(std::vector<int>(all, all + 4), (std::vector<int>{5, 7, 3, 8}));
  EXPECT_EQ(from, all + 3);
  EXPECT_EQ(to, all + 3);
}
