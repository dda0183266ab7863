// X-chains (short and long) and XY-chains on hand-built candidate positions:
// eliminations, statistics slots, the length limit and the chain marks.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/candidate_boards.h"
#include "tests/technique_runs.h"

using namespace candidate_boards;

namespace {

class XChains : public ::testing::Test {
 protected:
  Puzzle p;
  void SetUp() override { open_board(p); }
  int slot_sum() const { return p.method_counts[kSlotThreeLinkSameLine] + p.method_counts[kSlotThreeLinkCrossLines] + p.method_counts[kSlotThreeLinkOtherHouse]; }
};

TEST_F(XChains, SkyscraperIsAShortChainCountedInSlot42) {
  // Digit 5: row 0 only at columns 1 and 4, row 6 only at columns 1 and 5.
  keep_digit_in_row_only(p, 5, 0, {1, 4});
  keep_digit_in_row_only(p, 5, 6, {1, 5});
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.simplify_x_chain_vexor(4));
  Masks const after = masks_of(p);
  EXPECT_EQ(cells_losing(before, after, 5), "1,5 2,5 7,4 8,4");
  EXPECT_EQ(other_digits_lost(before, after, 5), 0u);
  EXPECT_EQ(p.method_counts[kSlotThreeLinkSameLine], 1);
  EXPECT_EQ(slot_sum(), 1);
  EXPECT_TRUE(all_marks_clear(p));
  EXPECT_FALSE(p.simplify_x_chain_vexor(4));
  EXPECT_TRUE(all_marks_clear(p));
}

TEST_F(XChains, TwoStringKiteIsAShortChainCountedInSlot43) {
  // Digit 5: row 0 only at (0,1) and (0,6), column 2 only at (2,2) and (7,2);
  // (0,1) and (2,2) share group 0.
  keep_digit_in_row_only(p, 5, 0, {1, 6});
  keep_digit_in_col_only(p, 5, 2, {2, 7});
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.simplify_x_chain_vexor(4));
  EXPECT_EQ(cells_losing(before, masks_of(p), 5), "7,6");
  EXPECT_EQ(p.method_counts[kSlotThreeLinkCrossLines], 1);
  EXPECT_EQ(slot_sum(), 1);
  EXPECT_TRUE(all_marks_clear(p));
}

TEST_F(XChains, ChainStartingInAGroupIsCountedInSlot44) {
  // Digit 5: group 0 only at (1,1) and (2,2), column 7 only at (2,7) and (8,7).
  for (int r = 0; r < 3; ++r)
    for (int c = 0; c < 3; ++c)
      if (!((r == 1 && c == 1) || (r == 2 && c == 2))) at(p, r, c)->elim_bits &= ~digits({5});
  keep_digit_in_col_only(p, 5, 7, {2, 8});
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.simplify_x_chain_vexor(4));
  EXPECT_EQ(cells_losing(before, masks_of(p), 5), "8,1");
  EXPECT_EQ(p.method_counts[kSlotThreeLinkOtherHouse], 1);
  EXPECT_EQ(slot_sum(), 1);
  EXPECT_TRUE(all_marks_clear(p));
}

// Digit 5 has strong links only in rows 0, 4 and 7, joined through columns 3 and 7:
// (0,0)=(0,3)-(4,3)=(4,7)-(7,7)=(7,1). No 3-link chain eliminates anything.
class FiveLinkChain : public XChains {
 protected:
  void SetUp() override {
    XChains::SetUp();
    keep_digit_in_row_only(p, 5, 0, {0, 3});
    keep_digit_in_row_only(p, 5, 4, {3, 7});
    keep_digit_in_row_only(p, 5, 7, {7, 1});
  }
};

TEST_F(FiveLinkChain, NotFoundWithTheShortLimit) {
  Masks const before = masks_of(p);
  EXPECT_FALSE(p.simplify_x_chain_vexor(4));
  EXPECT_EQ(masks_of(p), before);
  EXPECT_EQ(slot_sum(), 0);
  EXPECT_TRUE(all_marks_clear(p));
}

TEST_F(FiveLinkChain, FoundWithoutLimitAndNotCountedInTheThreeLinkSlots) {
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.simplify_x_chain_vexor(-1));
  Masks const after = masks_of(p);
  EXPECT_EQ(cells_losing(before, after, 5), "1,1 2,1 6,0 8,0");
  EXPECT_EQ(other_digits_lost(before, after, 5), 0u);
  EXPECT_EQ(slot_sum(), 0);
  EXPECT_TRUE(all_marks_clear(p));
}

TEST_F(FiveLinkChain, LimitsBelowOneMeanTenAndFiveLinksNeedALimitOfSix) {
  Puzzle ten(p), five(p), six(p);
  EXPECT_TRUE(p.simplify_x_chain_vexor(0));
  EXPECT_TRUE(ten.simplify_x_chain_vexor(10));
  EXPECT_EQ(masks_of(p), masks_of(ten));
  Masks const before = masks_of(five);
  EXPECT_FALSE(five.simplify_x_chain_vexor(5));
  EXPECT_EQ(masks_of(five), before);
  EXPECT_TRUE(six.simplify_x_chain_vexor(6));
  EXPECT_EQ(masks_of(six), masks_of(ten));
}

TEST_F(XChains, DiagonalStrongLinksCountOnXBoards) {
  // Digit 5: the main diagonal only at (0,0) and (8,8), row 3 only at (3,0) and (3,8).
  // On an X board: (3,0)=(3,8)-(8,8)=(0,0), so column 0 loses 5.
  Puzzle x;
  open_board(x, ADJ_X);
  for (int k = 1; k < 8; ++k) at(x, k, k)->elim_bits &= ~digits({5});
  keep_digit_in_row_only(x, 5, 3, {0, 8});
  Masks const before = masks_of(x);
  EXPECT_TRUE(x.simplify_x_chain_vexor(4));
  Masks const after = masks_of(x);
  EXPECT_EQ(cells_losing(before, after, 5), "1,0 2,0 4,0 5,0 6,0 7,0 8,0");
  EXPECT_EQ(other_digits_lost(before, after, 5), 0u);
  EXPECT_EQ(x.method_counts[kSlotThreeLinkOtherHouse], 1);  // a row and a diagonal
  EXPECT_TRUE(all_marks_clear(x));

  // Without diagonals there is a single strong link on digit 5: no chain at all.
  Puzzle plain;
  open_board(plain);
  for (int k = 1; k < 8; ++k) at(plain, k, k)->elim_bits &= ~digits({5});
  keep_digit_in_row_only(plain, 5, 3, {0, 8});
  Masks const plain_before = masks_of(plain);
  EXPECT_FALSE(plain.simplify_x_chain_vexor(-1));
  EXPECT_EQ(masks_of(plain), plain_before);
}

// XY-chain: (0,0)={1,2} - (0,4)={2,3} = (4,4)={3,4} - (4,8)={1,4}; column 4 holds
// digit 3 only at (0,4) and (4,4) (the strong link).
class XYChains : public ::testing::Test {
 protected:
  Puzzle p;
  void SetUp() override {
    open_board(p);
    set_cell(p, 0, 0, {1, 2});
    set_cell(p, 0, 4, {2, 3});
    set_cell(p, 4, 4, {3, 4});
    set_cell(p, 4, 8, {1, 4});
  }
  void strong_link_on_3(std::initializer_list<int> rows) { keep_digit_in_col_only(p, 3, 4, rows); }
  CHAIN_NODE nodes[81];
  void build_nodes() {
    std::memset(nodes, 0, sizeof nodes);
    p.find_possible_nodes(nodes);
  }
};

TEST_F(XYChains, FourCellChainRemovesTheTargetFromCellsSeeingBothEnds) {
  strong_link_on_3({0, 4});
  build_nodes();
  Masks const before = masks_of(p);
  at(p, 0, 0)->user_answer = 1;  // the driver marks both ends of the first pair
  at(p, 0, 4)->user_answer = 1;
  EXPECT_TRUE(p.do_xy_chain(nodes[cell_index(0, 0)], nodes[cell_index(0, 4)]));
  Masks const after = masks_of(p);
  EXPECT_EQ(cells_losing(before, after, 1), "0,8 4,0");
  EXPECT_EQ(other_digits_lost(before, after, 1), 0u);
  // Only the driver's own marks remain.
  at(p, 0, 0)->user_answer = 0;
  at(p, 0, 4)->user_answer = 0;
  EXPECT_TRUE(all_marks_clear(p));
}

TEST_F(XYChains, DriverLoopFindsTheChainAndClearsEveryMark) {
  strong_link_on_3({0, 4});
  Masks const before = masks_of(p);
  EXPECT_TRUE(technique_runs::xy_chains_once(p));
  EXPECT_EQ(cells_losing(before, masks_of(p), 1), "0,8 4,0");
  EXPECT_TRUE(all_marks_clear(p));
  EXPECT_FALSE(technique_runs::xy_chains_once(p));
  EXPECT_TRUE(all_marks_clear(p));
}

TEST_F(XYChains, FirstLinkAfterThePairMustBeStrong) {
  strong_link_on_3({0, 4, 6});  // a third cell with 3 in column 4
  Masks const before = masks_of(p);
  EXPECT_FALSE(technique_runs::xy_chains_once(p));
  EXPECT_EQ(masks_of(p), before);
  EXPECT_TRUE(all_marks_clear(p));
}

TEST_F(XYChains, ThreeCellsNeverCloseAChain) {
  // (0,0)={1,2} - (0,4)={2,3} = (4,4)={3,1}: the closing digit arrives right after a
  // strong link, where closures are not tested.
  set_cell(p, 4, 4, {1, 3});
  set_cell(p, 4, 8, {5, 6, 7});
  strong_link_on_3({0, 4});
  Masks const before = masks_of(p);
  EXPECT_FALSE(technique_runs::xy_chains_once(p));
  EXPECT_EQ(masks_of(p), before);
}

TEST_F(XYChains, ClosuresComeOnlyAfterAWeakLink) {
  // Five cells: ... (4,4)={3,4} - (4,8)={4,5} = (8,8)={5,1}. The target 1 arrives over
  // the strong link in column 8, where no closure is tested, and nothing follows.
  strong_link_on_3({0, 4});
  set_cell(p, 4, 8, {4, 5});
  set_cell(p, 8, 8, {1, 5});
  keep_digit_in_col_only(p, 5, 8, {4, 8});
  Masks const before = masks_of(p);
  EXPECT_FALSE(technique_runs::xy_chains_once(p));
  EXPECT_EQ(masks_of(p), before);
  EXPECT_TRUE(all_marks_clear(p));
}

TEST_F(XYChains, StrongLinkIsJudgedInTheFirstSharedHouse) {
  // (0,0) and (0,1) share group 0 (first) and row 0.
  CHAIN_NODE node{};
  node.cell = 0;
  node.n_dims = 3;
  node.dims[0] = DIM_GROUP;
  node.dims[1] = DIM_ROW;
  node.dims[2] = DIM_COL;
  Puzzle q;
  open_board(q);
  keep_digit_in_row_only(q, 6, 0, {0, 1});  // row 0: exactly two; group 0: seven
  EXPECT_FALSE(q.are_strongly_linked(digits({6}), node, *at(q, 0, 1)));
  open_board(q);
  for (int i : {1, 2, 9, 10, 11, 18, 19, 20})
    if (i != 1) q.cells[i].elim_bits &= ~digits({6});  // group 0: exactly (0,0) and (0,1)
  EXPECT_TRUE(q.are_strongly_linked(digits({6}), node, *at(q, 0, 1)));
  // No shared house at all.
  EXPECT_FALSE(q.are_strongly_linked(digits({6}), node, *at(q, 4, 4)));
}

TEST(ChainNodes, BivalueCellsBecomeNodesWithTheirHouses) {
  Puzzle x;
  open_board(x, ADJ_X);
  set_cell(x, 4, 4, {1, 2});
  set_cell(x, 0, 8, {3, 4});
  set_cell(x, 0, 1, {5, 6});
  set_cell(x, 2, 2, {5, 6, 7});
  CHAIN_NODE nodes[81];
  std::memset(nodes, 0, sizeof nodes);
  x.find_possible_nodes(nodes);
  CHAIN_NODE const& centre = nodes[40];
  EXPECT_EQ(centre.cell, 40);
  ASSERT_EQ(centre.n_dims, 5);
  for (int k = 0; k < 5; ++k) EXPECT_EQ(centre.dims[k], k);
  CHAIN_NODE const& corner = nodes[8];
  ASSERT_EQ(corner.n_dims, 4);
  EXPECT_EQ(corner.dims[3], DIM_ANTI_DIAG);
  EXPECT_EQ(nodes[1].n_dims, 3);
  int used = 0;
  for (auto const& n : nodes) used += n.n_dims != 0;
  EXPECT_EQ(used, 3);  // (2,2) has three candidates

  Puzzle plain;
  open_board(plain);
  set_cell(plain, 4, 4, {1, 2});
  std::memset(nodes, 0, sizeof nodes);
  plain.find_possible_nodes(nodes);
  EXPECT_EQ(nodes[40].n_dims, 3);
}

}  // namespace
