// Hidden singles, locked candidates, subsets and double restriction on hand-set candidates.
#include <gtest/gtest.h>

#include "solver_fixtures.h"

using solver_fixtures::cells_with;
using solver_fixtures::digits;
using solver_fixtures::open_board;

namespace {

constexpr uint32_t bit(int d) { return 1u << d; }

// Removes digit d from every cell of the list.
void remove_digit(Puzzle& p, std::initializer_list<int> cells, int d) {
  for (int c : cells) p.cells[c].elim_bits &= ~bit(d);
}

std::vector<uint32_t> candidates_of(Puzzle const& p) {
  std::vector<uint32_t> out;
  for (auto const& cell : p.cells) out.push_back(cell.elim_bits);
  return out;
}

}  // namespace

TEST(Subsets, FourCellHouseWorkedCase) {
  // Row 0: cells 0..3 hold {1,2},{1,2},{1,2,3},{1,2,4}; every other cell is solved,
  // so no other house has enough unsolved cells for a subset.
  Puzzle p;
  open_board(p);
  for (int i = 0; i < 81; ++i) p.cells[i].elim_bits = bit(1 + (i % 9));
  p.cells[0].elim_bits = digits("12");
  p.cells[1].elim_bits = digits("12");
  p.cells[2].elim_bits = digits("123");
  p.cells[3].elim_bits = digits("124");
  EXPECT_TRUE(p.simplify(MULTIPLE_DIGITS));
  EXPECT_EQ(p.cells[0].elim_bits, digits("12"));
  EXPECT_EQ(p.cells[1].elim_bits, digits("12"));
  EXPECT_EQ(p.cells[2].elim_bits, digits("3"));
  EXPECT_EQ(p.cells[3].elim_bits, digits("4"));
  EXPECT_EQ(p.method_counts[kSlotSubsetOf2], 1);
  EXPECT_EQ(p.method_counts[MULTIPLE_DIGITS], 1);  // the driver adds the second
  EXPECT_EQ(p.method_counts[kSlotSubsetOf2 + 1] + p.method_counts[kSlotSubsetOf2 + 2], 0);
  EXPECT_FALSE(p.simplify(MULTIPLE_DIGITS));  // nothing left to find
}

TEST(Subsets, NakedTripleFoundAsComplementaryHiddenSubset) {
  // Group 0 (cells 0,1,2,9,10,11,18,19,20): three cells hold only {1,2,3}, the other
  // six all digits. The six-digit hidden subset {4..9} clears 1,2,3 from those six.
  Puzzle p;
  open_board(p);
  for (int c : {0, 1, 2}) p.cells[c].elim_bits = digits("123");
  EXPECT_TRUE(p.simplify_once_over_dim(MULTIPLE_DIGITS));
  for (int c : {9, 10, 11, 18, 19, 20}) EXPECT_EQ(p.cells[c].elim_bits, digits("456789")) << c;
  EXPECT_EQ(p.cells[3].elim_bits, ALL_DIGITS);  // row 0 is not touched by the group's subset
  EXPECT_EQ(p.method_counts[kSlotSubsetOf2] + p.method_counts[kSlotSubsetOf2 + 1] + p.method_counts[kSlotSubsetOf2 + 2], 0);  // six digits: no slot
  EXPECT_EQ(p.method_counts[MULTIPLE_DIGITS], 1);
}

TEST(Subsets, InconsistentHouseIsSkipped) {
  // Four unsolved cells holding five digits: the house is skipped.
  Puzzle p;
  open_board(p);
  for (int i = 0; i < 81; ++i) p.cells[i].elim_bits = bit(1 + (i % 9));
  p.cells[0].elim_bits = digits("15");
  p.cells[1].elim_bits = digits("12");
  p.cells[2].elim_bits = digits("123");
  p.cells[3].elim_bits = digits("124");
  auto const before = candidates_of(p);
  EXPECT_FALSE(p.simplify_once_over_dim(MULTIPLE_DIGITS));
  EXPECT_EQ(candidates_of(p), before);
}

namespace {

// The subset search in its plainest form: every k-combination of the house's digits
// in order, smallest k first; the first whose digits fill exactly k cells, some of
// them holding other digits, keeps only those digits in them.
bool plain_subset_in_row0(Puzzle& p) {
  int cells[9], listed[9], n = 0;
  uint32_t all = 0;
  for (int c = 0; c < 9; ++c)
    if (n_candidates(p.cells[c].elim_bits) >= 2) {
      cells[n++] = c;
      all |= p.cells[c].elim_bits;
    }
  int n_listed = 0;
  for (int d = 1; d <= 9; ++d)
    if (all & bit(d)) listed[n_listed++] = d;
  if (n_listed != n) return false;
  for (int k = 2; k <= n - 2; ++k)
    for (int i = 0; i < n_combinations(n, k); ++i) {
      int const* comb = combination_for_combnumber(n, k, i);
      uint32_t chosen = 0;
      for (int j = 0; j < k; ++j) chosen |= bit(listed[comb[j]]);
      int marked = 0;
      bool removes = false;
      for (int j = 0; j < n; ++j) {
        uint32_t const bits = p.cells[cells[j]].elim_bits;
        marked += (bits & chosen) != 0;
        removes |= (bits & chosen) && (bits & ~chosen);
      }
      if (marked != k || !removes) continue;
      for (int j = 0; j < n; ++j)
        if (p.cells[cells[j]].elim_bits & chosen) p.cells[cells[j]].elim_bits &= chosen;
      return true;
    }
  return false;
}

}  // namespace

// Random houses of 4 to 9 open cells in row 0 (every other house has at most three
// open cells, too few for a subset): the search finds what the plain form finds.
TEST(Subsets, SearchMatchesThePlainFormOnRandomHouses) {
  sudoku_seed_random(515);
  int found = 0;
  for (int round = 0; round < 2000; ++round) {
    Puzzle p;
    open_board(p);
    for (int i = 0; i < 81; ++i) p.cells[i].elim_bits = bit(1 + (i % 9));
    int const n = 4 + static_cast<int>(arc4random_uniform(6));
    uint32_t house_digits = 0;  // n random digits for the n open cells of the row
    while (n_candidates(house_digits) < n) house_digits |= bit(1 + static_cast<int>(arc4random_uniform(9)));
    uint32_t used = 0;
    for (int c = 0, solved_digit = 1; c < 9; ++c) {
      if (c < n) {
        uint32_t bits = 0;
        while (n_candidates(bits) < 2) bits = (arc4random() & house_digits) | (c == n - 1 ? house_digits & ~used : 0);
        p.cells[c].elim_bits = bits;
        used |= bits;
      } else {
        while (house_digits & bit(solved_digit)) ++solved_digit;
        p.cells[c].elim_bits = bit(solved_digit++);
      }
    }
    Puzzle plain(p);
    bool const r = p.simplify_once_over_dim(MULTIPLE_DIGITS);
    ASSERT_EQ(r, plain_subset_in_row0(plain)) << round;
    ASSERT_EQ(candidates_of(p), candidates_of(plain)) << round;
    found += r;
  }
  sudoku_seed_random(0);
  EXPECT_GT(found, 200);
  EXPECT_LT(found, 1900);
}

TEST(HiddenSingles, GroupCountedFirstWhenGroupAndRowQualify) {
  Puzzle p;
  open_board(p);
  // Digit 5 occurs in group 0 and row 0 only at cell 0; column 0 still has it.
  remove_digit(p, {1, 2, 9, 10, 11, 18, 19, 20, 3, 4, 5, 6, 7, 8}, 5);
  p.cells[0].elim_bits = digits("15");
  EXPECT_TRUE(p.simplify(HIDDEN_SINGLES));
  EXPECT_EQ(p.cells[0].elim_bits, bit(5));
  EXPECT_EQ(p.method_counts[kSlotHiddenSingleGroup], 1);
  EXPECT_EQ(p.method_counts[kSlotHiddenSingleLine], 0);
  // The neighbours keep their candidates: propagation is left to simple elimination.
  EXPECT_EQ(p.cells[27].elim_bits, ALL_DIGITS);
}

TEST(HiddenSingles, LineCountedInTheLineSlot) {
  Puzzle p;
  open_board(p);
  remove_digit(p, {9, 18, 27, 36, 45, 54, 63, 72}, 8);  // column 0 has 8 only at cell 0
  EXPECT_TRUE(p.simplify_cell_using_digits(&p.cells[0]));
  EXPECT_EQ(p.cells[0].elim_bits, bit(8));
  EXPECT_EQ(p.method_counts[kSlotHiddenSingleLine], 1);
  EXPECT_EQ(p.method_counts[kSlotHiddenSingleGroup], 0);
  // The lowest qualifying digit wins, and the cells are visited in index order.
  Puzzle q;
  open_board(q);
  remove_digit(q, {1, 2, 9, 10, 11, 18, 19, 20}, 9);  // group 0: 9 only at cell 0
  remove_digit(q, {41, 42, 43, 44, 36, 37, 38, 39}, 4);  // row 4: 4 only at cell 40
  EXPECT_TRUE(q.simplify_once_by_cells(HIDDEN_SINGLES));
  EXPECT_EQ(q.cells[0].elim_bits, bit(9));
  EXPECT_EQ(q.cells[40].elim_bits, ALL_DIGITS);
  EXPECT_FALSE(q.simplify_once_by_cells(XY_WING));  // only 1 and 2 are handled
}

TEST(HiddenSingles, DiagonalsOnlyOnXBoardsAndAfterTheHouses) {
  for (int x = 0; x <= 1; ++x) {
    Puzzle p;
    open_board(p, test_boards::square_map(), x ? ADJ_X : ADJ_NONE);
    remove_digit(p, {10, 20, 30, 40, 50, 60, 70, 80}, 6);  // main diagonal: 6 only at cell 0
    EXPECT_EQ(p.simplify_cell_using_digits(&p.cells[0]), x == 1);
    if (x) {
      EXPECT_EQ(p.cells[0].elim_bits, bit(6));
      EXPECT_EQ(p.method_counts[kSlotHiddenSingleLine], 1);
    } else {
      EXPECT_EQ(p.cells[0].elim_bits, ALL_DIGITS);
    }
  }
  // A house hit with a higher digit beats a diagonal hit with a lower one.
  Puzzle p;
  open_board(p, test_boards::square_map(), ADJ_X);
  remove_digit(p, {10, 20, 30, 40, 50, 60, 70, 80}, 2);
  remove_digit(p, {1, 2, 9, 10, 11, 18, 19, 20}, 7);
  EXPECT_TRUE(p.simplify_cell_using_digits(&p.cells[0]));
  EXPECT_EQ(p.cells[0].elim_bits, bit(7));
  EXPECT_EQ(p.method_counts[kSlotHiddenSingleGroup], 1);
}

TEST(LockedCandidates, LineToGroup) {
  Puzzle p;
  open_board(p);
  remove_digit(p, {2, 3, 4, 5, 6, 7, 8}, 7);  // row 0: 7 only at cells 0 and 1 (group 0)
  EXPECT_TRUE(p.simplify(CELL_RESTRICTION));
  EXPECT_EQ(cells_with(p, 7).size(), 81u - 7 - 6);
  for (int c : {9, 10, 11, 18, 19, 20}) EXPECT_FALSE(p.cells[c].elim_bits & bit(7)) << c;
  EXPECT_EQ(p.method_counts[kSlotLineToGroup], 1);
  EXPECT_EQ(p.method_counts[kSlotGroupToLine], 0);
}

TEST(LockedCandidates, GroupToLine) {
  Puzzle p;
  open_board(p);
  remove_digit(p, {2, 9, 10, 11, 18, 19, 20}, 7);  // group 0: 7 only at cells 0 and 1 (row 0)
  EXPECT_TRUE(p.simplify_cell_by_restriction(&p.cells[0]));
  for (int c = 2; c < 9; ++c) EXPECT_FALSE(p.cells[c].elim_bits & bit(7)) << c;
  EXPECT_TRUE(p.cells[27].elim_bits & bit(7));
  EXPECT_EQ(p.method_counts[kSlotGroupToLine], 1);
  EXPECT_EQ(p.method_counts[kSlotLineToGroup], 0);
}

TEST(LockedCandidates, OneCallMakesSeveralEliminationsOfOneLineKind) {
  Puzzle p;
  open_board(p);
  remove_digit(p, {2, 3, 4, 5, 6, 7, 8}, 3);  // row 0: 3 only in group 0
  remove_digit(p, {2, 3, 4, 5, 6, 7, 8}, 5);  // row 0: 5 only in group 0
  remove_digit(p, {1, 2, 10, 11, 19, 20}, 6);  // group 0: 6 only in column 0
  EXPECT_TRUE(p.simplify_cell_by_restriction(&p.cells[0]));
  EXPECT_EQ(p.method_counts[kSlotLineToGroup], 2);  // both row digits in one call
  EXPECT_TRUE(p.cells[27].elim_bits & bit(6));  // columns are left for the next call
  EXPECT_TRUE(p.simplify_cell_by_restriction(&p.cells[0]));
  EXPECT_FALSE(p.cells[27].elim_bits & bit(6));
  EXPECT_EQ(p.method_counts[kSlotGroupToLine], 1);
}

TEST(LockedCandidates, DiagonalAndGroupOnlyOnXBoards) {
  for (int x = 0; x <= 1; ++x) {
    Puzzle p;
    open_board(p, test_boards::square_map(), x ? ADJ_X : ADJ_NONE);
    remove_digit(p, {30, 40, 50, 60, 70, 80}, 4);  // main diagonal: 4 only at 0, 10, 20 (group 0)
    EXPECT_EQ(p.simplify_cell_by_restriction(&p.cells[0]), x == 1);
    if (!x) continue;
    for (int c : {1, 2, 9, 11, 18, 19}) EXPECT_FALSE(p.cells[c].elim_bits & bit(4)) << c;
    for (int c : {0, 10, 20, 3, 27}) EXPECT_TRUE(p.cells[c].elim_bits & bit(4)) << c;
    EXPECT_EQ(p.method_counts[kSlotLineToGroup], 1);
  }
  // Group to anti-diagonal: group 2's 9 lies only on the anti-diagonal (cells 8, 16, 24).
  Puzzle p;
  open_board(p, test_boards::square_map(), ADJ_X);
  remove_digit(p, {6, 7, 15, 17, 25, 26}, 9);
  EXPECT_TRUE(p.simplify_cell_by_restriction(&p.cells[8]));
  for (int c : {32, 40, 48, 56, 64, 72}) EXPECT_FALSE(p.cells[c].elim_bits & bit(9)) << c;
  EXPECT_EQ(p.method_counts[kSlotGroupToLine], 1);
}

TEST(DoubleRestriction, TwoLinesConfinedToTwoGroupsClearTheGroups) {
  Puzzle p;
  open_board(p);
  remove_digit(p, {6, 7, 8, 15, 16, 17}, 5);  // rows 0 and 1: 5 only in groups 0 and 1
  auto before = candidates_of(p);
  EXPECT_TRUE(p.simplify(DOUBLE_RESTRICTION));
  for (int c = 18; c <= 23; ++c) EXPECT_FALSE(p.cells[c].elim_bits & bit(5)) << c;
  // Nothing else changed, in particular no cell of the two lines.
  for (int c = 18; c <= 23; ++c) before[c] &= ~bit(5);
  EXPECT_EQ(candidates_of(p), before);
}

TEST(DoubleRestriction, TwoGroupsConfinedToTwoLinesClearTheLines) {
  Puzzle p;
  open_board(p);
  remove_digit(p, {18, 19, 20, 21, 22, 23}, 5);  // groups 0 and 1: 5 only in rows 0 and 1
  auto before = candidates_of(p);
  EXPECT_TRUE(p.double_restriction_for_lines_and_groups(DIM_ROW, 0, 1, 0, 1));
  for (int c : {6, 7, 8, 15, 16, 17}) {
    EXPECT_FALSE(p.cells[c].elim_bits & bit(5)) << c;
    before[c] &= ~bit(5);
  }
  EXPECT_EQ(candidates_of(p), before);
  // Lines that do not carry the digit in both groups give nothing.
  EXPECT_FALSE(p.double_restriction_for_lines_and_groups(DIM_ROW, 0, 1, 0, 1));
  EXPECT_FALSE(p.double_restriction_for_lines_and_groups(DIM_COL, 0, 1, 0, 3));
}
