// XY-wing, XYZ-wing, W-wing and the shared "sees both" elimination, on
// hand-built candidate positions.
#include <gtest/gtest.h>

#include "tests/candidate_boards.h"

using namespace candidate_boards;

namespace {

class Wings : public ::testing::Test {
 protected:
  Puzzle p;
  void SetUp() override { open_board(p); }
};

TEST_F(Wings, SeesBothRemovesOnlyFromCommonNeighbours) {
  // (0,0) and (4,1): common neighbours are the box-0 cells of column 1 and the box-3 cells of column 0.
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.remove_from_elim_bits_in_neighbors(digits({5}), at(p, 0, 0), at(p, 4, 1)));
  Masks const after = masks_of(p);
  EXPECT_EQ(cells_losing(before, after, 5), "0,1 1,1 2,1 3,0 4,0 5,0");
  EXPECT_EQ(other_digits_lost(before, after, 5), 0u);
  EXPECT_EQ(after[cell_index(0, 0)], ALL_DIGITS);
  EXPECT_EQ(after[cell_index(4, 1)], ALL_DIGITS);
  // A second call has nothing left to remove.
  EXPECT_FALSE(p.remove_from_elim_bits_in_neighbors(digits({5}), at(p, 0, 0), at(p, 4, 1)));
}

TEST_F(Wings, SeesBothUsesDiagonalsOnlyOnXBoards) {
  // (0,0) and (8,8) share only the main diagonal, and (0,8)/(8,0) see both through row/column.
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.remove_from_elim_bits_in_neighbors(digits({3}), at(p, 0, 0), at(p, 8, 8)));
  EXPECT_EQ(cells_losing(before, masks_of(p), 3), "0,8 8,0");

  Puzzle x;
  open_board(x, ADJ_X);
  Masks const xbefore = masks_of(x);
  EXPECT_TRUE(x.remove_from_elim_bits_in_neighbors(digits({3}), at(x, 0, 0), at(x, 8, 8)));
  // Every other diagonal cell sees both ends through the diagonal; (4,4) too.
  EXPECT_EQ(cells_losing(xbefore, masks_of(x), 3), "0,8 1,1 2,2 3,3 4,4 5,5 6,6 7,7 8,0");
}

TEST_F(Wings, SeesBothFindsDiagonalNeighboursOfTheSecondCell) {
  // a = (1,4) is on no diagonal, b = (2,2) is on the main one: cells of that diagonal
  // that also see a through a's houses are cleared; no cell is reached only through b.
  Puzzle x;
  open_board(x, ADJ_X);
  Masks const before = masks_of(x);
  EXPECT_TRUE(x.remove_from_elim_bits_in_neighbors(digits({7}), at(x, 1, 4), at(x, 2, 2)));
  Masks const after = masks_of(x);
  for (int i = 0; i < 81; ++i) {
    bool const expect = i != cell_index(1, 4) && i != cell_index(2, 2) && x.are_neighbors(&x.cells[i], at(x, 1, 4)) &&
                        x.are_neighbors(&x.cells[i], at(x, 2, 2));
    EXPECT_EQ((after[i] & digits({7})) == 0, expect) << "cell " << i;
  }
  EXPECT_EQ(other_digits_lost(before, after, 7), 0u);
}

TEST_F(Wings, XYWingRemovesTheCommonDigitFromCellsSeeingBothWings) {
  set_cell(p, 4, 4, {1, 2});  // pivot
  set_cell(p, 4, 0, {1, 3});  // wing in the pivot's row
  set_cell(p, 0, 4, {2, 3});  // wing in the pivot's column
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.simplify_XY_wing(at(p, 4, 4)));
  Masks const after = masks_of(p);
  EXPECT_EQ(cells_losing(before, after, 3), "0,0");
  EXPECT_EQ(other_digits_lost(before, after, 3), 0u);
  EXPECT_FALSE(p.simplify_XY_wing(at(p, 4, 4)));
}

TEST_F(Wings, XYWingSecondWingComesFromALaterHouseOfThePivot) {
  // Both wings lie only in the pivot's row: a valid wing, but never paired.
  set_cell(p, 4, 4, {1, 2});
  set_cell(p, 4, 0, {1, 3});
  set_cell(p, 4, 8, {2, 3});
  Masks const before = masks_of(p);
  EXPECT_FALSE(p.simplify_XY_wing(at(p, 4, 4)));
  EXPECT_EQ(masks_of(p), before);

  // Wings in the pivot's group and its row: found (the row comes first in the list).
  set_cell(p, 3, 3, {2, 3});
  EXPECT_TRUE(p.simplify_XY_wing(at(p, 4, 4)));
  // Common neighbours of (4,0) and (3,3): (3,0..2) via box 3 and row 3, (4,3..5) via row 4 and box 4.
  EXPECT_EQ(cells_losing(before, masks_of(p), 3), "3,0 3,1 3,2 4,3 4,5");
}

TEST_F(Wings, XYWingNeedsWingsSharingDifferentPivotDigits) {
  set_cell(p, 4, 4, {1, 2});
  set_cell(p, 4, 0, {1, 3});
  set_cell(p, 0, 4, {1, 3});  // same pivot digit as the first wing
  Masks const before = masks_of(p);
  EXPECT_FALSE(p.simplify_XY_wing(at(p, 4, 4)));
  EXPECT_EQ(masks_of(p), before);
}

TEST_F(Wings, XYZWingRemovesFromThePivotGroupCellsSeeingTheSecondWing) {
  set_cell(p, 4, 4, {1, 2, 3});  // pivot
  set_cell(p, 3, 3, {1, 3});     // wing in the pivot's group
  set_cell(p, 4, 0, {2, 3});     // wing in the pivot's row
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.simplify_XYZ_wing(at(p, 4, 4)));
  Masks const after = masks_of(p);
  EXPECT_EQ(cells_losing(before, after, 3), "4,3 4,5");
  EXPECT_EQ(other_digits_lost(before, after, 3), 0u);
  EXPECT_FALSE(p.simplify_XYZ_wing(at(p, 4, 4)));
}

TEST_F(Wings, XYZWingIgnoresWingsWithTheSamePairOrForeignDigits) {
  set_cell(p, 4, 4, {1, 2, 3});
  set_cell(p, 3, 3, {1, 3});
  set_cell(p, 4, 0, {1, 3});  // same pair as the group wing
  set_cell(p, 0, 4, {2, 4});  // a digit the pivot lacks
  Masks const before = masks_of(p);
  EXPECT_FALSE(p.simplify_XYZ_wing(at(p, 4, 4)));
  EXPECT_EQ(masks_of(p), before);
}

TEST_F(Wings, WingLoopCountsXYAndXYZSlots) {
  set_cell(p, 4, 4, {1, 2, 3});
  set_cell(p, 3, 3, {1, 3});
  set_cell(p, 4, 0, {2, 3});
  EXPECT_TRUE(p.simplify_XY_XYZ_wing());
  // (3,3) is the first cell in row-major order that is a bivalue pivot: {1,3} with no
  // wing partners; (4,0) neither; the XYZ pivot at (4,4) succeeds.
  EXPECT_EQ(p.method_counts[XY_WING], 0);
  EXPECT_EQ(p.method_counts[XYZ_WING], 1);

  Puzzle q;
  open_board(q);
  set_cell(q, 4, 4, {1, 2});
  set_cell(q, 4, 0, {1, 3});
  set_cell(q, 0, 4, {2, 3});
  EXPECT_TRUE(q.simplify_XY_XYZ_wing());
  EXPECT_EQ(q.method_counts[XY_WING], 1);
  EXPECT_EQ(q.method_counts[XYZ_WING], 0);
  EXPECT_FALSE(q.simplify_XY_XYZ_wing());
}

// W-wing: P1 = (0,0) and P2 = (8,8) hold {1,2}; row 4 has digit 1 only at (4,0) and (4,8).
TEST_F(Wings, WWingRemovesTheOtherDigitFromCellsSeeingBothEnds) {
  set_cell(p, 0, 0, {1, 2});
  set_cell(p, 8, 8, {1, 2});
  keep_digit_in_row_only(p, 1, 4, {0, 8});
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.simplify_w_wing());
  Masks const after = masks_of(p);
  EXPECT_EQ(cells_losing(before, after, 2), "0,8 8,0");
  EXPECT_EQ(other_digits_lost(before, after, 2), 0u);
  EXPECT_FALSE(p.simplify_w_wing());
}

TEST_F(Wings, WWingCellsThatSeeEachOtherNeverPair) {
  // Same link, but the pair cells share row 0: nothing may happen.
  set_cell(p, 0, 0, {1, 2});
  set_cell(p, 0, 8, {1, 2});
  keep_digit_in_row_only(p, 1, 4, {0, 8});
  Masks const before = masks_of(p);
  EXPECT_FALSE(p.simplify_w_wing());
  EXPECT_EQ(masks_of(p), before);

  // The same cells on an X board through a diagonal: (0,0) and (8,8) see each other.
  Puzzle x;
  open_board(x, ADJ_X);
  set_cell(x, 0, 0, {1, 2});
  set_cell(x, 8, 8, {1, 2});
  keep_digit_in_row_only(x, 1, 4, {0, 8});
  Masks const xbefore = masks_of(x);
  EXPECT_FALSE(x.simplify_w_wing());
  EXPECT_EQ(masks_of(x), xbefore);
}

TEST_F(Wings, WWingLinkCellsMustEachSeeOnlyOneEnd) {
  // Link cells (4,0) and (4,1): (4,1) sees neither end, so no wing.
  set_cell(p, 0, 0, {1, 2});
  set_cell(p, 8, 8, {1, 2});
  keep_digit_in_row_only(p, 1, 4, {0, 1});
  Masks const before = masks_of(p);
  EXPECT_FALSE(p.simplify_w_wing());
  EXPECT_EQ(masks_of(p), before);
}

TEST_F(Wings, WWingTriesTheHigherDigitAsLink) {
  // The link is on digit 2, so digit 1 goes.
  set_cell(p, 0, 0, {1, 2});
  set_cell(p, 8, 8, {1, 2});
  keep_digit_in_col_only(p, 2, 4, {0, 8});
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.simplify_w_wing());
  EXPECT_EQ(cells_losing(before, masks_of(p), 1), "0,8 8,0");
}

}  // namespace
