// Hints on hand-built candidate positions, one per technique family: the step's
// name, level, effect and pattern cells exactly, and its one-line text.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "hint/hint.h"
#include "tests/candidate_boards.h"

using namespace candidate_boards;

namespace {

using Cells = std::vector<int>;
using Pairs = std::set<std::pair<int, int>>;

// Removes digit d from the listed cells.
void remove_digit(Puzzle& p, std::initializer_list<int> cells, int d) {
  for (int c : cells) p.cells[c].elim_bits &= ~(1u << d);
}

// Keeps digit d in row r only at the listed columns.
void row_only(Puzzle& p, int r, std::initializer_list<int> cols, int d) { keep_digit_in_row_only(p, d, r, cols); }

Pairs digit_in_cells(int d, Cells const& cells) {
  Pairs out;
  for (int c : cells) out.insert({c, d});
  return out;
}

struct FamilyCase {
  char const* title;
  std::function<void(Puzzle&)> shape;
  METHOD_TYPE technique;
  char const* name;
  int method;  // the finer value reported
  Pairs placements;
  Pairs eliminations;
  Cells pattern;  // exact order
  Cells houses;   // exact order; empty = not checked
  char const* text;
};

Pairs pairs_of(int32_t const (*list)[2], int n) {
  Pairs out;
  for (int i = 0; i < n; ++i) out.insert({list[i][0], list[i][1]});
  return out;
}

std::vector<FamilyCase> family_cases() {
  Pairs x_wing_elims;
  for (int r : {0, 2, 3, 4, 6, 7, 8})
    for (int c : {2, 6}) x_wing_elims.insert({r * 9 + c, 3});
  Pairs franken_elims;
  for (int r : {0, 1, 2, 6, 7, 8}) franken_elims.insert({r * 9 + 4, 1});
  Pairs als_elims;
  for (int c : {12, 14, 21, 22, 23}) als_elims.insert({{c, 4}, {c, 7}});
  Pairs pair_elims = {{2, 1}, {2, 2}, {3, 1}, {3, 2}};
  Pairs triple_elims;
  for (int c : {9, 10, 11, 18, 19, 20})
    for (int d : {1, 2, 3}) triple_elims.insert({c, d});

  return {
      {"hidden single in a box", [](Puzzle& p) { remove_digit(p, {1, 2, 9, 10, 11, 18, 19, 20}, 7); },
       HIDDEN_SINGLES, "hidden_single", HIDDEN_SINGLES, {{0, 7}}, {}, {0}, {0},
       "Hidden single: r1c1 is the only place for 7 in box 1: r1c1 is 7"},
      {"locked candidates, row into box", [](Puzzle& p) { remove_digit(p, {2, 3, 4, 5, 6, 7, 8}, 7); },
       CELL_RESTRICTION, "locked_candidates", CELL_RESTRICTION, {}, digit_in_cells(7, {9, 10, 11, 18, 19, 20}),
       {0, 1}, {9, 0},
       "Locked candidates: in row 1, 7 lies only in box 1 (r1c1 and r1c2): 7 leaves r2c1, r2c2, r2c3, r3c1, r3c2 "
       "and r3c3"},
      {"hidden pair shown as the smaller set",
       [](Puzzle& p) {
         for (int i = 0; i < 81; ++i) p.cells[i].elim_bits = 1u << (1 + i % 9);
         set_cell(p, 0, 0, {1, 2});
         set_cell(p, 0, 1, {1, 2});
         set_cell(p, 0, 2, {1, 2, 3});
         set_cell(p, 0, 3, {1, 2, 4});
       },
       MULTIPLE_DIGITS, "hidden_pair", MULTIPLE_DIGITS, {}, pair_elims, {2, 3}, {9},
       "Hidden pair 3 and 4 in row 1 (r1c3 and r1c4): 1 leaves r1c3 and r1c4; 2 leaves r1c3 and r1c4"},
      {"naked triple found as the complementary hidden six",
       [](Puzzle& p) {
         for (int c : {0, 1, 2}) p.cells[c].elim_bits = digits({1, 2, 3});
       },
       MULTIPLE_DIGITS, "naked_triple", MULTIPLE_DIGITS, {}, triple_elims, {0, 1, 2}, {0}, nullptr},
      {"double restriction", [](Puzzle& p) { remove_digit(p, {6, 7, 8, 15, 16, 17}, 5); }, DOUBLE_RESTRICTION,
       "double_restriction", DOUBLE_RESTRICTION, {}, digit_in_cells(5, {18, 19, 20, 21, 22, 23}),
       {0, 1, 2, 3, 4, 5, 9, 10, 11, 12, 13, 14}, {9, 10, 0, 1},
       "Double restriction on 5 in rows 1 and 2 plus boxes 1 and 2: 5 leaves r3c1, r3c2, r3c3, r3c4, r3c5 and "
       "r3c6"},
      {"X-Wing on rows",
       [](Puzzle& p) {
         row_only(p, 1, {2, 6}, 3);
         row_only(p, 5, {2, 6}, 3);
       },
       X_WING, "x_wing", X_WING, {}, x_wing_elims, {11, 15, 47, 51}, {10, 14, 20, 24},
       "X-Wing on 3 in rows 2 and 6, columns 3 and 7: 3 leaves r1c3, r1c7, r3c3, r3c7, r4c3, r4c7, r5c3, r5c7, "
       "r7c3, r7c7, r8c3, r8c7, r9c3 and r9c7"},
      {"Franken fish: rows covered by a column and two boxes",
       [](Puzzle& p) {
         for (int r : {3, 4, 5}) row_only(p, r, {0, 1, 2, 4, 6, 7, 8}, 1);
         for (int c : {0, 1, 2}) keep_digit_in_col_only(p, 1, c, {0, 1, 2, 3, 6, 7, 8});
       },
       FRANKEN_FISH, "franken_fish", FRANKEN_FISH, {}, franken_elims,
       {27, 28, 29, 31, 33, 34, 35, 40, 42, 43, 44, 49, 51, 52, 53}, {12, 13, 14, 22, 3, 5},
       "Franken fish on 1 in rows 4, 5 and 6, column 5 plus boxes 4 and 6: 1 leaves r1c5, r2c5, r3c5, r7c5, r8c5 "
       "and r9c5"},
      {"skyscraper as a short X-chain",
       [](Puzzle& p) {
         row_only(p, 0, {1, 4}, 5);
         row_only(p, 6, {1, 5}, 5);
       },
       SHORT_X_CHAINS, "short_x_chain", SHORT_X_CHAINS, {}, digit_in_cells(5, {14, 23, 67, 76}), {4, 1, 55, 59}, {},
       "Short X-chain on 5: r1c5 = r1c2 - r7c2 = r7c6: 5 leaves r2c6, r3c6, r8c5 and r9c5"},
      {"XY-wing",
       [](Puzzle& p) {
         set_cell(p, 4, 4, {1, 2});
         set_cell(p, 4, 0, {1, 3});
         set_cell(p, 0, 4, {2, 3});
       },
       XY_XYZ_WINGS, "xy_wing", XY_WING, {}, {{0, 3}}, {40, 36, 4}, {},
       "XY-wing: pivot r5c5 {1,2}, pincers r5c1 {1,3} and r1c5 {2,3}: 3 leaves r1c1"},
      {"W-wing",
       [](Puzzle& p) {
         set_cell(p, 0, 0, {1, 2});
         set_cell(p, 8, 8, {1, 2});
         row_only(p, 4, {0, 8}, 1);
       },
       W_WING, "w_wing", W_WING, {}, digit_in_cells(2, {8, 72}), {0, 80, 36, 44}, {13},
       "W-wing: r1c1 and r9c9 hold {1,2}, joined by the only 1s of row 5 (r5c1 and r5c9): 2 leaves r1c9 and r9c1"},
      {"XY-chain of four cells",
       [](Puzzle& p) {
         set_cell(p, 0, 0, {1, 2});
         set_cell(p, 0, 4, {2, 3});
         set_cell(p, 4, 4, {3, 4});
         set_cell(p, 4, 8, {1, 4});
         keep_digit_in_col_only(p, 3, 4, {0, 4});
       },
       XY_CHAINS, "xy_chain", XY_CHAINS, {}, digit_in_cells(1, {8, 36}), {0, 4, 40, 44}, {},
       "XY-chain: r1c1{1,2} - r1c5{2,3} - r5c5{3,4} - r5c9{1,4}: 1 leaves r1c9 and r5c1"},
      {"almost locked set: paired cells",
       [](Puzzle& p) {
         set_cell(p, 0, 0, {4, 7});
         set_cell(p, 1, 4, {4, 7});
         remove_digit(p, {1, 2, 6, 7, 8}, 4);
         remove_digit(p, {1, 2, 6, 7, 8}, 7);
       },
       ALMOST_LOCKED_SETS, "almost_locked_set", ALMOST_LOCKED_SETS, {}, als_elims, {0, 13}, {}, nullptr},
  };
}

TEST(HintFamilies, EachFamilyReportsItsStepPatternAndText) {
  for (auto const& fc : family_cases()) {
    SCOPED_TRACE(fc.title);
    Puzzle p;
    open_board(p);
    fc.shape(p);
    Masks const before = masks_of(p);
    SudokuHint h;
    ASSERT_TRUE(hint::run_technique(p, fc.technique, h));
    EXPECT_EQ(masks_of(p), before);  // the board is left as it was
    EXPECT_EQ(h.kind, SUDOKU_HINT_STEP);
    EXPECT_STREQ(h.name, fc.name);
    EXPECT_EQ(h.level, fc.technique);
    EXPECT_EQ(h.method, fc.method);
    EXPECT_EQ(pairs_of(h.placements, h.n_placements), fc.placements);
    EXPECT_EQ(pairs_of(h.eliminations, h.n_eliminations), fc.eliminations);
    EXPECT_EQ(Cells(h.pattern, h.pattern + h.n_pattern), fc.pattern);
    if (!fc.houses.empty()) {
      EXPECT_EQ(Cells(h.houses, h.houses + h.n_houses), fc.houses);
    }
    if (fc.text) {
      EXPECT_STREQ(h.text, fc.text);
    }
    // The effect agrees with the technique run on its own.
    p.simplify(fc.technique);
    Pairs removed;
    for (int i = 0; i < 81; ++i)
      for (int d = 1; d <= 9; ++d)
        if ((before[i] & (1u << d)) && !(p.cells[i].elim_bits & (1u << d)) && fc.placements.empty())
          removed.insert({i, d});
    if (fc.placements.empty() && fc.technique != CELL_RESTRICTION) {
      EXPECT_EQ(removed, fc.eliminations);
    }
  }
}

TEST(HintFamilies, LockedCandidatesShowOneClaimAtATime) {
  // One call of the technique clears 3 and 5 (row 1 into box 1); the hint shows the 3s only.
  Puzzle p;
  open_board(p);
  remove_digit(p, {2, 3, 4, 5, 6, 7, 8}, 3);
  remove_digit(p, {2, 3, 4, 5, 6, 7, 8}, 5);
  SudokuHint h;
  ASSERT_TRUE(hint::run_technique(p, CELL_RESTRICTION, h));
  EXPECT_EQ(pairs_of(h.eliminations, h.n_eliminations), digit_in_cells(3, {9, 10, 11, 18, 19, 20}));
}

TEST(HintFamilies, NothingFoundLeavesTheRecordEmpty) {
  Puzzle p;
  open_board(p);
  SudokuHint h;
  for (METHOD_TYPE m : {HIDDEN_SINGLES, CELL_RESTRICTION, X_WING, XY_CHAINS, FORCING_NET}) {
    EXPECT_FALSE(hint::run_technique(p, m, h)) << m;
    EXPECT_EQ(h.kind, SUDOKU_HINT_NONE);
    EXPECT_EQ(h.n_eliminations + h.n_placements + h.n_pattern, 0);
  }
}

}  // namespace
