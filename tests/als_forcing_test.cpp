// Almost locked sets (the three stages) and the cell forcing net on hand-built
// positions and on the classic puzzle.
#include <gtest/gtest.h>

#include <cstring>

#include "solver/elimination_pass.h"
#include "tests/candidate_boards.h"
#include "testing/random_puzzles.h"
#include "tests/technique_runs.h"

using namespace candidate_boards;

namespace {

class AlmostLockedSets : public ::testing::Test {
 protected:
  Puzzle p;
  void SetUp() override { open_board(p); }
  int als_slot_sum() const {
    return p.method_counts[kSlotAlsBivalueRestricted] + p.method_counts[kSlotAlsThreeDigitPair] + p.method_counts[kSlotAlsPairOf2] + p.method_counts[kSlotAlsPairOf3];
  }
};

TEST_F(AlmostLockedSets, PairedCellsLineIntoGroup) {
  // (0,0) and (1,4) hold {4,7}, in different rows, columns and groups; in row 0, 4 and 7
  // occur elsewhere only inside group 1 (columns 3 to 5).
  set_cell(p, 0, 0, {4, 7});
  set_cell(p, 1, 4, {4, 7});
  for (int c : {1, 2, 6, 7, 8}) at(p, 0, c)->elim_bits &= ~digits({4, 7});
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.simplify_almost_locked_sets());
  Masks const after = masks_of(p);
  EXPECT_EQ(cells_losing(before, after, 4), "1,3 1,5 2,3 2,4 2,5");
  EXPECT_EQ(cells_losing(before, after, 7), "1,3 1,5 2,3 2,4 2,5");
  EXPECT_EQ(other_digits_lost(before, after, 4) & ~digits({7}), 0u);
  EXPECT_EQ(p.method_counts[kSlotAlsPairOf2], 1);
  EXPECT_EQ(als_slot_sum(), 1);
}

TEST_F(AlmostLockedSets, PairedCellsWithThreeDigitsCountInSlot23) {
  set_cell(p, 0, 0, {4, 7, 8});
  set_cell(p, 1, 4, {4, 7, 8});
  for (int c : {1, 2, 6, 7, 8}) at(p, 0, c)->elim_bits &= ~digits({4, 7, 8});
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.simplify_almost_locked_sets());
  Masks const after = masks_of(p);
  for (int d : {4, 7, 8}) EXPECT_EQ(cells_losing(before, after, d), "1,3 1,5 2,3 2,4 2,5") << d;
  EXPECT_EQ(p.method_counts[kSlotAlsPairOf3], 1);
  EXPECT_EQ(als_slot_sum(), 1);
}

TEST_F(AlmostLockedSets, PairedCellsGroupOntoLine) {
  // Group 0 has 4 and 7 (besides (0,0)) only on row 1, the row of (1,4): the rest of
  // row 1 outside group 0 loses them.
  set_cell(p, 0, 0, {4, 7});
  set_cell(p, 1, 4, {4, 7});
  for (int i : {1, 2, 18, 19, 20}) p.cells[i].elim_bits &= ~digits({4, 7});
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.als3(at(p, 0, 0), at(p, 1, 4)));
  Masks const after = masks_of(p);
  EXPECT_EQ(cells_losing(before, after, 4), "1,3 1,5 1,6 1,7 1,8");
  EXPECT_EQ(cells_losing(before, after, 7), "1,3 1,5 1,6 1,7 1,8");
  EXPECT_EQ(als_slot_sum(), 0);  // the stage counts, not als3
}

TEST_F(AlmostLockedSets, PairedCellsThatSeeEachOtherAreNotUsed) {
  // Same pattern, but the second cell (0,4) shares row 0 with the first.
  set_cell(p, 0, 0, {4, 7});
  set_cell(p, 0, 4, {4, 7});
  for (int c : {1, 2, 6, 7, 8}) at(p, 0, c)->elim_bits &= ~digits({4, 7});
  Masks const before = masks_of(p);
  EXPECT_FALSE(p.simplify_almost_locked_sets());
  EXPECT_EQ(masks_of(p), before);
  EXPECT_EQ(als_slot_sum(), 0);
}

// Stage 2: A = (0,0) {1,2}; B = (1,1) {1,3} shares 1 with it; on B's row the cell (1,5)
// completes an ALS {B, (1,5)}.
TEST_F(AlmostLockedSets, BivalueCellAndAlsOnALine) {
  set_cell(p, 0, 0, {1, 2});
  set_cell(p, 1, 1, {1, 3});
  set_cell(p, 1, 5, {2, 3});
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.simplify_almost_locked_sets());
  Masks const after = masks_of(p);
  // 2 is in A or (1,5): the cells of A's houses that see (1,5) lose it.
  EXPECT_EQ(cells_losing(before, after, 2), "0,3 0,4 0,5 1,0 1,2");
  EXPECT_EQ(other_digits_lost(before, after, 2), 0u);
  EXPECT_EQ(p.method_counts[kSlotAlsBivalueRestricted], 1);
  EXPECT_EQ(als_slot_sum(), 1);
}

TEST_F(AlmostLockedSets, StageTwoNeverUsesASetWithoutTheOtherDigit) {
  // {B, (1,5)} = {1,3} + {3,4} is an ALS, but it lacks A's other digit 2.
  set_cell(p, 0, 0, {1, 2});
  set_cell(p, 1, 1, {1, 3});
  set_cell(p, 1, 5, {3, 4});
  Masks const before = masks_of(p);
  EXPECT_FALSE(p.do_ALS_in_dim_with_restricted_common_in_grp(DIM_ROW, at(p, 0, 0), at(p, 1, 1)));
  EXPECT_EQ(masks_of(p), before);
  EXPECT_FALSE(p.simplify_almost_locked_sets());
  EXPECT_EQ(masks_of(p), before);
  EXPECT_EQ(als_slot_sum(), 0);
}

TEST_F(AlmostLockedSets, StageTwoLineCellsOutsideTheGroupMustLackTheCommonDigit) {
  // (1,5) = {1,2,3} has the common digit 1 outside B's group, so it may not join.
  set_cell(p, 0, 0, {1, 2});
  set_cell(p, 1, 1, {1, 3});
  set_cell(p, 1, 5, {1, 2});
  Masks const before = masks_of(p);
  EXPECT_FALSE(p.do_ALS_in_dim_with_restricted_common_in_grp(DIM_ROW, at(p, 0, 0), at(p, 1, 1)));
  EXPECT_EQ(masks_of(p), before);
}

TEST_F(AlmostLockedSets, RemovalNeedsToSeeEverySetCellWithTheDigit) {
  set_cell(p, 0, 0, {1, 2});
  Puzzle::ALMOST_LOCKED_SET als{};
  als.n_cells = 2;
  als.cells[0] = at(p, 1, 5);
  als.cells[1] = at(p, 1, 8);
  set_cell(p, 1, 5, {2, 3});
  set_cell(p, 1, 8, {2, 4});
  als.digits = digits({2, 3, 4});
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.remove_from_elim_bits_in_neighbors(digits({2}), at(p, 0, 0), als));
  // Cells of A's group, row and column seeing both (1,5) and (1,8): row 1 of group 0.
  EXPECT_EQ(cells_losing(before, masks_of(p), 2), "1,0 1,1 1,2");
}

// Stage 3: A = (0,0) {1,2} and B = (0,1) {1,3} share 1; X = {2,3}. C = (2,0) {2,3,4} and
// D = (2,1) {2,3,5} hold both of X on row 2, and (2,5) {4,5} completes the ALS.
TEST_F(AlmostLockedSets, TwoCellsOfAGroupAndAnAlsOnALine) {
  set_cell(p, 0, 0, {1, 2});
  set_cell(p, 0, 1, {1, 3});
  set_cell(p, 2, 0, {2, 3, 4});
  set_cell(p, 2, 1, {2, 3, 5});
  set_cell(p, 2, 5, {4, 5});
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.simplify_almost_locked_sets());
  Masks const after = masks_of(p);
  // The rest of group 0 loses 1, 2 and 3; the rest of row 2 loses 4 and 5.
  for (int d : {1, 2, 3}) EXPECT_EQ(cells_losing(before, after, d), "0,2 1,0 1,1 1,2 2,2") << d;
  for (int d : {4, 5}) EXPECT_EQ(cells_losing(before, after, d), "2,2 2,3 2,4 2,6 2,7 2,8") << d;
  for (int d : {6, 7, 8, 9}) EXPECT_EQ(cells_losing(before, after, d), "") << d;
  EXPECT_EQ(p.method_counts[kSlotAlsThreeDigitPair], 1);
  EXPECT_EQ(als_slot_sum(), 1);
}

TEST_F(AlmostLockedSets, StageThreeSameColumnPairLosesTheCommonDigitOnItsColumn) {
  // A = (0,0) {1,2}, B = (1,0) {1,3} share column 0; C = (2,1), D = (2,2) on row 2.
  set_cell(p, 0, 0, {1, 2});
  set_cell(p, 1, 0, {1, 3});
  set_cell(p, 2, 1, {2, 3, 4});
  set_cell(p, 2, 2, {2, 3, 5});
  set_cell(p, 2, 5, {4, 5});
  Puzzle::ALMOST_LOCKED_SET als{};
  als.n_cells = 2;
  als.cells[0] = at(p, 2, 1);
  als.cells[1] = at(p, 2, 2);
  als.digits = digits({2, 3, 4, 5});
  Masks const before = masks_of(p);
  EXPECT_TRUE(p.do_ALS_in_dim_with_restricted_common_in_grp(DIM_ROW, at(p, 0, 0), at(p, 1, 0), als));
  Masks const after = masks_of(p);
  EXPECT_EQ(als.n_cells, 3);
  EXPECT_EQ(als.cells[2], at(p, 2, 5));
  EXPECT_EQ(als.digits, digits({2, 3, 4, 5}));
  // Column 0 below the pair loses 1 (group 0's (2,0) loses 1, 2 and 3 anyway).
  EXPECT_EQ(cells_losing(before, after, 1), "0,1 0,2 1,1 1,2 2,0 3,0 4,0 5,0 6,0 7,0 8,0");
  EXPECT_EQ(cells_losing(before, after, 4), "2,0 2,3 2,4 2,6 2,7 2,8");
}

// ---- forcing net ----

// Places `bit` in cell i of a copy and propagates singles; true when the copy
// ends with an empty cell or a house missing a digit.
bool trial_contradicts(Puzzle const& source, int i, uint32_t bit, int* singles_counted = nullptr) {
  Puzzle q(source);
  std::memset(q.method_counts, 0, sizeof q.method_counts);
  q.cells[i].elim_bits = bit;
  for (;;) {
    technique_runs::exhaust_elimination(q);
    if (!technique_runs::hidden_single_once(q)) break;
  }
  if (singles_counted) *singles_counted = q.method_counts[kSlotHiddenSingleGroup] + q.method_counts[kSlotHiddenSingleLine];
  for (auto const& cell : q.cells)
    if (cell.elim_bits == 0) return true;
  for (int dim = 0; dim < 3; ++dim)
    for (int h = 0; h < 9; ++h) {
      uint32_t seen = 0;
      for (int k = 0; k < 81; ++k)
        if (q.cells[k].house[dim] == h) seen |= q.cells[k].elim_bits;
      if (seen != ALL_DIGITS) return true;
    }
  return false;
}

TEST(ForcingNet, NothingFoundLeavesCellsAndStatisticsUntouched) {
  // An open board where digit 1 of row 0 and of group 0 lies only in (0,0) and (0,1):
  // no cell sees both, so no trial contradicts, but many trials end in a hidden single.
  Puzzle p;
  open_board(p);
  for (int i = 2; i < 9; ++i) p.cells[i].elim_bits &= ~digits({1});
  for (int i : {9, 10, 11, 18, 19, 20}) p.cells[i].elim_bits &= ~digits({1});
  for (int k = 0; k < N_METHOD_COUNTS; ++k) p.method_counts[k] = 1000 + k;
  PUZZLE_CELL before[81];
  std::memcpy(before, p.cells, sizeof before);

  // No trial contradicts, and the trials do find hidden singles, so the statistics
  // would move if they were kept.
  int singles = 0;
  for (int i = 0; i < 81; ++i) {
    if (n_candidates(p.cells[i].elim_bits) < 2) continue;
    for (uint32_t bits = p.cells[i].elim_bits; bits; bits &= bits - 1) {
      int found = 0;
      EXPECT_FALSE(trial_contradicts(p, i, bits & (0u - bits), &found)) << "cell " << i;
      singles += found;
    }
  }
  EXPECT_GT(singles, 0);

  EXPECT_FALSE(p.simplify_cell_forcing_net());
  EXPECT_EQ(std::memcmp(before, p.cells, sizeof before), 0);
  for (int k = 0; k < N_METHOD_COUNTS; ++k) EXPECT_EQ(p.method_counts[k], 1000 + k) << "slot " << k;
}

TEST(ForcingNet, ContradictionsInSeveralCellsGoInOneCall) {
  // The first seeded random puzzle that simple elimination alone does not solve.
  Puzzle p;
  for (uint64_t seed = 500;; ++seed) {
    sudoku_seed_random(seed);
    random_puzzles::Generated const g = random_puzzles::generate(random_puzzles::Kind::Regular);
    sudoku_seed_random(0);
    random_puzzles::load(p, random_puzzles::Kind::Regular, g);
    technique_runs::exhaust_elimination(p);
    if (!p.puzzle_is_solved()) break;
  }
  for (int k = 0; k < N_METHOD_COUNTS; ++k) p.method_counts[k] = 7 * k;
  Masks const before = masks_of(p);
  PUZZLE_CELL cells_before[81];
  std::memcpy(cells_before, p.cells, sizeof cells_before);

  // What the first unsolved cell must lose: its candidates whose trial contradicts.
  int first = 0;
  while (n_candidates(p.cells[first].elim_bits) < 2) ++first;
  uint32_t expected_first = 0;
  for (uint32_t bits = before[first]; bits; bits &= bits - 1)
    if (trial_contradicts(p, first, bits & (0u - bits))) expected_first |= bits & (0u - bits);
  ASSERT_NE(expected_first, 0u);

  EXPECT_TRUE(p.simplify_cell_forcing_net());
  Masks const after = masks_of(p);
  int cells_changed = 0;
  for (int i = 0; i < 81; ++i) cells_changed += after[i] != before[i];
  EXPECT_GE(cells_changed, 2);
  EXPECT_EQ(before[first] & ~after[first], expected_first);
  EXPECT_TRUE(p.check_elim_bits_against_soln());
  for (int k = 0; k < N_METHOD_COUNTS; ++k) EXPECT_EQ(p.method_counts[k], 7 * k) << "slot " << k;
  // Only candidates change: marks, answers and every other field are as before.
  for (int i = 0; i < 81; ++i) {
    PUZZLE_CELL expected = cells_before[i];
    expected.elim_bits = p.cells[i].elim_bits;
    EXPECT_EQ(std::memcmp(&expected, &p.cells[i], sizeof expected), 0) << "cell " << i;
  }
}

TEST(ForcingNet, OnXBoardsAMissingDiagonalDigitIsAContradiction) {
  // Digit 1 on the main diagonal only at (0,0) and (1,1), both in group 0. A 1 anywhere
  // else in group 0 empties the diagonal of 1, which only an X board treats as a house.
  Puzzle x;
  open_board(x, ADJ_X);
  for (int k = 2; k < 9; ++k) at(x, k, k)->elim_bits &= ~digits({1});
  Masks const before = masks_of(x);
  EXPECT_TRUE(x.simplify_cell_forcing_net());
  Masks const after = masks_of(x);
  EXPECT_EQ(cells_losing(before, after, 1), "0,1 0,2 1,0 1,2 2,0 2,1");
  EXPECT_EQ(other_digits_lost(before, after, 1), 0u);

  Puzzle plain;
  open_board(plain);
  for (int k = 2; k < 9; ++k) at(plain, k, k)->elim_bits &= ~digits({1});
  Masks const plain_before = masks_of(plain);
  EXPECT_FALSE(plain.simplify_cell_forcing_net());
  EXPECT_EQ(masks_of(plain), plain_before);
}

}  // namespace

namespace {

// The forcing net's fast pass must match one_round_of_elimination exactly, also on
// contradictory trial states.
TEST(ForcingNet, FastEliminationPassMatchesTheBoardPass) {
  int passes = 0;
  for (uint64_t seed = 40; seed < 46; ++seed) {
    sudoku_seed_random(seed);
    random_puzzles::Kind const kind = seed % 2 ? random_puzzles::Kind::X : random_puzzles::Kind::Regular;
    random_puzzles::Generated const g = random_puzzles::generate(kind);
    Puzzle a;
    random_puzzles::load(a, kind, g);
    Puzzle b(a);
    for (int trial = 0; trial < 30; ++trial) {
      // Fix a random candidate of a random open cell in both copies.
      int i = static_cast<int>(arc4random_uniform(81));
      int tries = 0;
      while (n_candidates(a.cells[i].elim_bits) < 2 && ++tries < 81) i = (i + 1) % 81;
      if (tries == 81) break;  // no open cell left
      uint32_t bits = a.cells[i].elim_bits;
      for (uint32_t skip = arc4random_uniform(static_cast<uint32_t>(n_candidates(bits))); skip; --skip)
        bits &= bits - 1;
      a.cells[i].elim_bits = b.cells[i].elim_bits = bits & (0u - bits);
      for (;;) {
        bool const ra = a.one_round_of_elimination();
        bool const rb = chain_walks::elimination_pass(b);
        ++passes;
        ASSERT_EQ(ra, rb) << "seed " << seed << " trial " << trial;
        ASSERT_EQ(std::memcmp(a.cells, b.cells, sizeof a.cells), 0) << "seed " << seed << " trial " << trial;
        if (!ra) break;
      }
    }
  }
  sudoku_seed_random(0);
  EXPECT_GT(passes, 50);
}

}  // namespace

namespace {

// The forcing net step by step in its plainest form: board passes and a full
// hidden-single scan, for comparison with the member's faster propagation.
bool plain_forcing_net(Puzzle& p) {
  PUZZLE_CELL saved[81];
  std::memcpy(saved, p.cells, sizeof saved);
  int32_t counts[N_METHOD_COUNTS];
  std::memcpy(counts, p.method_counts, sizeof counts);
  int const n_dims = p.adjacency_type == ADJ_X ? 5 : 3;
  bool changed = false;
  for (int i = 0; i < 81; ++i) {
    uint32_t const candidates = saved[i].elim_bits;
    if (n_candidates(candidates) < 2) continue;
    uint32_t contradicted = 0;
    for (uint32_t bits = candidates; bits; bits &= bits - 1) {
      uint32_t const bit = bits & (0u - bits);
      std::memcpy(p.cells, saved, sizeof saved);
      p.cells[i].elim_bits = bit;
      bool progress;
      do {
        progress = false;
        while (p.one_round_of_elimination()) progress = true;
        if (technique_runs::hidden_single_once(p)) progress = true;
      } while (progress);
      bool bad = false;
      for (auto const& cell : p.cells) bad |= cell.elim_bits == 0;
      for (int dim = 0; dim < n_dims && !bad; ++dim)
        for (int h = 0; h < (dim < 3 ? 9 : 1); ++h) {
          uint32_t seen = 0;
          for (auto const& cell : p.cells)
            if (cell.house[dim] == h) seen |= cell.elim_bits;
          bad |= seen != ALL_DIGITS;
        }
      if (bad) contradicted |= bit;
    }
    if (contradicted) {
      saved[i].elim_bits &= ~contradicted;
      changed = true;
    }
  }
  std::memcpy(p.cells, saved, sizeof saved);
  std::memcpy(p.method_counts, counts, sizeof counts);
  return changed;
}

// Also the check that the trials' queue-driven propagation, the batched hidden
// singles and the skipping of trials known to end without contradiction decide
// every candidate as the plain form does, on all three kinds of board.
TEST(ForcingNet, MatchesThePlainStepByStepForm) {
  int compared = 0;
  for (uint64_t seed = 70; seed < 82; ++seed) {
    sudoku_seed_random(seed);
    random_puzzles::Kind const kinds[] = {random_puzzles::Kind::Regular, random_puzzles::Kind::X,
                                          random_puzzles::Kind::Jigsaw};
    random_puzzles::Kind const kind = kinds[seed % 3];
    random_puzzles::Generated const g = random_puzzles::generate(kind);
    sudoku_seed_random(0);
    Puzzle fast;
    random_puzzles::load(fast, kind, g);
    technique_runs::exhaust_elimination(fast);
    for (int call = 0; call < 3 && !fast.puzzle_is_solved(); ++call) {
      Puzzle plain(fast);
      bool const r_fast = fast.simplify_cell_forcing_net();
      bool const r_plain = plain_forcing_net(plain);
      ASSERT_EQ(r_fast, r_plain) << g.clues;
      ASSERT_EQ(std::memcmp(fast.cells, plain.cells, sizeof fast.cells), 0) << g.clues;
      ++compared;
      technique_runs::exhaust_elimination(fast);
    }
  }
  EXPECT_GE(compared, 12);
}

// A start that is itself contradictory (a digit gone from a row) makes every trial
// contradict: both forms clear the open cells alike.
TEST(ForcingNet, ContradictoryStartMatchesThePlainForm) {
  for (uint64_t seed = 90; seed < 94; ++seed) {
    sudoku_seed_random(seed);
    random_puzzles::Kind const kind = seed % 2 ? random_puzzles::Kind::X : random_puzzles::Kind::Regular;
    random_puzzles::Generated const g = random_puzzles::generate(kind);
    sudoku_seed_random(0);
    Puzzle fast;
    random_puzzles::load(fast, kind, g);
    technique_runs::exhaust_elimination(fast);
    ASSERT_FALSE(fast.puzzle_is_solved()) << g.clues;
    // The first open cell from a seeded place: its lowest candidate leaves its whole
    // row (no solved cell of the row holds it after the eliminations).
    int open = static_cast<int>(seed * 7 % 81);
    while (n_candidates(fast.cells[open].elim_bits) < 2) open = (open + 1) % 81;
    uint32_t const digit_bit = fast.cells[open].elim_bits & (0u - fast.cells[open].elim_bits);
    for (int c = 0; c < 9; ++c) fast.cells[open / 9 * 9 + c].elim_bits &= ~digit_bit;
    Puzzle plain(fast);
    bool const r_fast = fast.simplify_cell_forcing_net();
    bool const r_plain = plain_forcing_net(plain);
    EXPECT_TRUE(r_fast) << g.clues;
    ASSERT_EQ(r_fast, r_plain) << g.clues;
    ASSERT_EQ(std::memcmp(fast.cells, plain.cells, sizeof fast.cells), 0) << g.clues;
  }
}

}  // namespace
