// Matrix engine: literal vectors, compiled tables and their cache, single propagation
// and completion counting.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "matrix_test_support.h"

using namespace matrix_engine;
using matrix_test::Grid;

namespace {

Ops const& square_ops(bool diag) { return matrix_test::compiled(diag, matrix_test::square_map()); }

int literal_count(Vec const& v) { return v.dot(v); }

}  // namespace

TEST(MatrixVec, LiteralNumberingAndCellBits) {
  EXPECT_EQ(lit(0, 1), 0);
  EXPECT_EQ(lit(80, 9), 728);
  EXPECT_EQ(lit(7, 1), 63);

  Vec v;
  v.set(63);  // cell 7, digit 1: the top bit of word 0
  v.set(71);  // cell 7, digit 9: bit 7 of word 1
  EXPECT_EQ(v.words[0], 1ull << 63);
  EXPECT_EQ(v.words[1], 1ull << 7);
  EXPECT_EQ(cell9(v, 7), 0x101u);
  EXPECT_EQ(cell9(v, 6), 0u);
  EXPECT_EQ(cell9(v, 8), 0u);
  v.set(lit(80, 5));
  EXPECT_EQ(cell9(v, 80), 1u << 4);
}

TEST(MatrixVec, FillClearAndSetOperations) {
  Vec all;
  all.fill_all();
  EXPECT_EQ(all.dot(all), 729);
  EXPECT_TRUE(all.test(728));
  EXPECT_FALSE(all.test(729));
  EXPECT_EQ(all.words[11], 0x1FFFFFFull);

  Vec none;
  none.clear();
  EXPECT_EQ(none.first_common(all), -1);
  EXPECT_FALSE(none.intersects(all));

  Vec a, b;
  a.set(5);
  a.set(300);
  a.set(700);
  b.set(300);
  b.set(700);
  b.set(701);
  EXPECT_EQ(a.dot(b), 2);
  EXPECT_EQ(a.first_common(b), 300);
  EXPECT_TRUE(a.intersects(b));
  a.and_not(b);
  EXPECT_EQ(literal_count(a), 1);
  EXPECT_TRUE(a.test(5));
  a |= b;
  EXPECT_EQ(literal_count(a), 4);
  all.and_not(a);
  EXPECT_EQ(all.dot(all), 725);
}

TEST(MatrixCompile, SquareMapTables) {
  Ops const& ops = square_ops(false);
  ASSERT_EQ(ops.n_units, 27);
  ASSERT_EQ(ops.units.size(), 27u);
  EXPECT_EQ(ops.units[0], (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));
  EXPECT_EQ(ops.units[9], (std::vector<int>{0, 9, 18, 27, 36, 45, 54, 63, 72}));
  EXPECT_EQ(ops.units[18], (std::vector<int>{0, 1, 2, 9, 10, 11, 18, 19, 20}));
  EXPECT_EQ(ops.units[26], (std::vector<int>{60, 61, 62, 69, 70, 71, 78, 79, 80}));
  EXPECT_EQ(ops.unit_digit.size(), 243u);
  ASSERT_EQ(ops.conflicts.size(), 729u);
  for (int l = 0; l < 729; ++l) {
    EXPECT_EQ(literal_count(ops.conflicts[l]), 28) << l;
    EXPECT_FALSE(ops.conflicts[l].test(l)) << l;
  }
  // Placing 5 in cell 10 rules out the other digits of cell 10 and 5 in its peers.
  Vec const& c = ops.conflicts[lit(10, 5)];
  EXPECT_TRUE(c.test(lit(10, 4)));
  EXPECT_TRUE(c.test(lit(17, 5)));
  EXPECT_TRUE(c.test(lit(73, 5)));
  EXPECT_TRUE(c.test(lit(20, 5)));
  EXPECT_FALSE(c.test(lit(20, 4)));
  EXPECT_FALSE(c.test(lit(30, 5)));
  EXPECT_EQ(ops.cell_units[10], (1u << 1) | (1u << 10) | (1u << 18));
  for (int u = 0; u < 27; ++u)
    for (int d = 1; d <= 9; ++d) EXPECT_EQ(literal_count(ops.unit_digit[u * 9 + d - 1]), 9);
  EXPECT_TRUE(ops.unit_digit[9 * 9 + 2].test(lit(72, 3)));  // column 0, digit 3
}

TEST(MatrixCompile, LockedCandidateRecordsInOrder) {
  Ops const& ops = square_ops(false);
  ASSERT_EQ(ops.lcs.size(), 972u);
  // First records: row 0 (A) with box 0 (B), digits 1..9.
  Ops::LC const& first = ops.lcs[0];
  EXPECT_EQ(literal_count(first.overlap), 3);
  EXPECT_TRUE(first.overlap.test(lit(0, 1)) && first.overlap.test(lit(2, 1)));
  EXPECT_EQ(literal_count(first.rest_a), 6);
  EXPECT_TRUE(first.rest_a.test(lit(3, 1)) && first.rest_a.test(lit(8, 1)));
  EXPECT_EQ(literal_count(first.rest_b), 6);
  EXPECT_TRUE(first.rest_b.test(lit(9, 1)) && first.rest_b.test(lit(20, 1)));
  EXPECT_TRUE(ops.lcs[8].overlap.test(lit(1, 9)));
  // Record 9: row 0 with box 1.
  EXPECT_TRUE(ops.lcs[9].overlap.test(lit(3, 1)));
  // The last records: box 8 (A) with column 8 (B), digit 9.
  Ops::LC const& last = ops.lcs.back();
  EXPECT_TRUE(last.overlap.test(lit(62, 9)) && last.overlap.test(lit(80, 9)));
  EXPECT_TRUE(last.rest_a.test(lit(60, 9)));
  EXPECT_TRUE(last.rest_b.test(lit(8, 9)));
  EXPECT_EQ(literal_count(last.rest_b), 6);
}

TEST(MatrixCompile, DiagonalsAddTwoUnits) {
  Ops const& ops = square_ops(true);
  ASSERT_EQ(ops.n_units, 29);
  EXPECT_EQ(ops.units[27], (std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 80}));
  EXPECT_EQ(ops.units[28], (std::vector<int>{8, 16, 24, 32, 40, 48, 56, 64, 72}));
  EXPECT_EQ(ops.unit_digit.size(), 261u);
  EXPECT_EQ(ops.lcs.size(), 1080u);
  for (int c = 0; c < 81; ++c) {
    int const r = c / 9, col = c % 9;
    bool const on_main = r == col, on_anti = r + col == 8;
    int const peers = on_main && on_anti ? 32 : (on_main || on_anti) ? 26 : 20;
    EXPECT_EQ(literal_count(ops.conflicts[lit(c, 4)]), peers + 8) << c;
  }
  EXPECT_EQ(ops.cell_units[40], (1u << 4) | (1u << 13) | (1u << 22) | (1u << 27) | (1u << 28));
}

TEST(MatrixCompile, CacheReturnsOneRecordPerKey) {
  Grid map = matrix_test::square_map();
  Ops const& a = matrix_test::compiled(false, map);
  Ops const& b = matrix_test::compiled(false, map);
  Ops const& x = matrix_test::compiled(true, map);
  EXPECT_EQ(&a, &b);
  EXPECT_NE(&a, &x);
  std::swap(map[0], map[80]);  // another (broken) map is another key
  Ops const& other = matrix_test::compiled(false, map);
  EXPECT_NE(&other, &a);
  EXPECT_EQ(other.units[18].size(), 9u);
  EXPECT_EQ(other.units[18].back(), 80);
}

TEST(MatrixSingles, TwoNakedSinglesOfOneDigitClearCandidates) {
  Ops const& ops = square_ops(false);
  Vec cand, placed;
  cand.fill_all();
  for (int d = 2; d <= 9; ++d) {  // cells 0 and 1 can only hold 1
    cand.and_not([&] {
      Vec v;
      v.set(lit(0, d));
      v.set(lit(1, d));
      return v;
    }());
  }
  Vec c = cand, p = placed;
  singles_fix(ops, c, p, false);
  for (auto w : c.words) EXPECT_EQ(w, 0u);
  EXPECT_TRUE(contradiction(ops, c, p));
  EXPECT_TRUE(p.test(lit(0, 1)));  // the first single was placed before the clash
  long long budget = 100;
  int out[2][81] = {};
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 2, out, 0, budget), 0);
  EXPECT_EQ(budget, 99);
}

TEST(MatrixSingles, NakedAndHiddenSinglesReachTheFixpoint) {
  Ops const& ops = square_ops(false);
  // Row 0 holds 1..8 in cells 0..7: cell 8 is a naked single 9.
  Vec cand, placed;
  cand.fill_all();
  for (int c = 0; c < 8; ++c) placed.set(lit(c, c + 1));
  Vec c1 = cand, p1 = placed;
  singles_fix(ops, c1, p1, false);
  EXPECT_TRUE(p1.test(lit(8, 9)));
  EXPECT_FALSE(c1.test(lit(17, 9)));  // 9 left the peers of cell 8
  EXPECT_FALSE(contradiction(ops, c1, p1));

  // 5 in rows 1 and 2 and in columns 1 and 2 outside box 0 leaves cell 0 the only
  // place for 5 in box 0: a hidden single, found only with hidden = true.
  Vec cand2, placed2;
  cand2.fill_all();
  placed2.set(lit(12, 5));  // row 1
  placed2.set(lit(24, 5));  // row 2
  placed2.set(lit(28, 5));  // column 1
  placed2.set(lit(56, 5));  // column 2
  Vec c2 = cand2, p2 = placed2;
  singles_fix(ops, c2, p2, false);
  EXPECT_FALSE(p2.test(lit(0, 5)));
  c2 = cand2, p2 = placed2;
  singles_fix(ops, c2, p2, true);
  EXPECT_TRUE(p2.test(lit(0, 5)));
  EXPECT_EQ(cell9(c2, 0), 1u << 4);
}

TEST(MatrixSingles, ContradictionReadsCellsAndUnitDigits) {
  Ops const& ops = square_ops(false);
  Vec cand, placed;
  cand.fill_all();
  EXPECT_FALSE(contradiction(ops, cand, placed));
  Vec no7;  // digit 7 nowhere in row 4: a unit-digit pair without candidates
  for (int c = 36; c < 45; ++c) no7.set(lit(c, 7));
  Vec c2 = cand;
  c2.and_not(no7);
  EXPECT_TRUE(contradiction(ops, c2, placed));
  Vec cell;  // cell 50 without any digit
  for (int d = 1; d <= 9; ++d) cell.set(lit(50, d));
  Vec c3 = cand;
  c3.and_not(cell);
  EXPECT_TRUE(contradiction(ops, c3, placed));
  // placed is not consulted.
  Vec full;
  full.fill_all();
  EXPECT_TRUE(contradiction(ops, c3, full));
}

TEST(MatrixCount, CompleteGridCountsOneWithOneNode) {
  sudoku_seed_random(11);
  Grid const map = matrix_test::square_map();
  Grid const solution = matrix_test::random_solution(map, false);
  sudoku_seed_random(0);
  Ops const& ops = square_ops(false);
  Vec cand, placed;
  matrix_test::position_of(solution, cand, placed);
  int out[2][81] = {};
  long long budget = 10;
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 2, out, 0, budget), 1);
  EXPECT_EQ(budget, 9);
  for (int c = 0; c < 81; ++c) EXPECT_EQ(out[0][c], solution[c]);
  for (int c = 0; c < 81; ++c) EXPECT_EQ(out[1][c], 0);
  // Budget 1 is enough; budget 0 is not.
  budget = 1;
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 2, out, 0, budget), 1);
  EXPECT_EQ(budget, 0);
  budget = 0;
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 2, out, 0, budget), -1);
  EXPECT_EQ(budget, -1);
}

TEST(MatrixCount, EmptyGridStoresTwoDifferentGridsFromCellZeroDigitOne) {
  for (bool diag : {false, true}) {
    Ops const& ops = square_ops(diag);
    Vec cand, placed;
    cand.fill_all();
    int out[2][81] = {};
    long long budget = 1000000;
    EXPECT_EQ(count_completions_collect(ops, cand, placed, 2, out, 0, budget), 2);
    Grid const none{};
    EXPECT_TRUE(matrix_test::is_valid_solution(out[0], none, matrix_test::square_map(), diag));
    EXPECT_TRUE(matrix_test::is_valid_solution(out[1], none, matrix_test::square_map(), diag));
    EXPECT_NE(std::vector<int>(out[0], out[0] + 81), std::vector<int>(out[1], out[1] + 81));
    EXPECT_EQ(out[0][0], 1);  // branching starts at cell 0 with digit 1 ...
    EXPECT_EQ(out[1][0], 1);  // ... and both completions lie below it
    if (!diag) {
      EXPECT_EQ(out[0][1], 2);  // then cell 1 (lowest tie) with its lowest digit
    }

    // The Vec form takes the same path and the same budget.
    int ref_out[2][81] = {};
    long long ref_budget = 1000000;
    EXPECT_EQ(detail::count_completions_reference(ops, cand, placed, 2, ref_out, 0, ref_budget), 2);
    EXPECT_EQ(ref_budget, budget);
    EXPECT_EQ(0, std::memcmp(out, ref_out, sizeof out));
  }
}

TEST(MatrixCount, LimitOneStopsAtTheFirstCompletion) {
  Ops const& ops = square_ops(false);
  Vec cand, placed;
  cand.fill_all();
  int out[2][81];
  for (auto& row : out)
    for (int& v : row) v = -7;
  long long budget_one = 1000000, budget_two = 1000000;
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 1, out, 0, budget_one), 1);
  EXPECT_EQ(out[1][0], -7);
  EXPECT_EQ(out[0][0], 1);
  int out2[2][81] = {};
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 2, out2, 0, budget_two), 2);
  EXPECT_GT(budget_one, budget_two);  // the second completion cost further nodes
  EXPECT_EQ(0, std::memcmp(out[0], out2[0], sizeof out[0]));
}

TEST(MatrixCount, BudgetExhaustionPropagates) {
  Ops const& ops = square_ops(false);
  Vec cand, placed;
  cand.fill_all();
  int out[2][81] = {};
  long long budget = 0;
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 2, out, 0, budget), -1);
  EXPECT_EQ(budget, -1);
  // Find the exact number of nodes of a full search, then give one fewer.
  long long full = 1000000;
  ASSERT_EQ(count_completions_collect(ops, cand, placed, 2, out, 0, full), 2);
  long long const used = 1000000 - full;
  ASSERT_GT(used, 1);
  long long enough = used;
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 2, out, 0, enough), 2);
  EXPECT_EQ(enough, 0);
  long long short_by_one = used - 1;
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 2, out, 0, short_by_one), -1);
  EXPECT_EQ(short_by_one, -1);
  long long ref_short = used - 1;
  EXPECT_EQ(detail::count_completions_reference(ops, cand, placed, 2, out, 0, ref_short), -1);
}

TEST(MatrixCount, OffsetChoosesTheRowsAndNullOutIsAccepted) {
  Ops const& ops = square_ops(false);
  Vec cand, placed;
  cand.fill_all();
  int out[2][81] = {};
  long long budget = 1000000;
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 2, out, 1, budget), 2);
  for (int c = 0; c < 81; ++c) EXPECT_EQ(out[0][c], 0);  // the first completion went to row 1
  EXPECT_EQ(out[1][0], 1);
  int none[2][81] = {};
  budget = 1000000;
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 2, none, 2, budget), 2);
  for (int c = 0; c < 81; ++c) EXPECT_EQ(none[0][c] | none[1][c], 0);
  budget = 1000000;
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 2, nullptr, 0, budget), 2);
  budget = 1000000;
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 2, out, -1, budget), 2);  // row -1 is never written
}

TEST(MatrixCount, ContradictoryCluesCountZero) {
  Ops const& ops = square_ops(false);
  Grid clues{};
  for (int c = 1; c < 9; ++c) clues[c] = c;  // row 0: 1..8 in cells 1..8
  clues[36] = 9;                             // 9 in column 0: cell 0 has no digit
  Vec cand, placed;
  matrix_test::position_of(clues, cand, placed);
  int out[2][81] = {};
  long long budget = 100;
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 2, out, 0, budget), 0);
  EXPECT_EQ(budget, 99);
  // Clues that repeat a digit in a row: no grid completes them.
  sudoku_seed_random(13);
  Grid twice = matrix_test::random_solution(matrix_test::square_map(), false);
  sudoku_seed_random(0);
  for (int c = 0; c < 81; c += 3) twice[c] = 0;
  twice[1] = twice[4];
  matrix_test::position_of(twice, cand, placed);
  budget = 1000000;
  long long ref_budget = budget;
  int ref_out[2][81] = {};
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 2, out, 0, budget), 0);
  EXPECT_EQ(detail::count_completions_reference(ops, cand, placed, 2, ref_out, 0, ref_budget), 0);
  EXPECT_EQ(budget, ref_budget);
}

TEST(MatrixCount, LimitZeroAndNonPositiveLimits) {
  Ops const& ops = square_ops(false);
  Vec cand, placed;
  cand.fill_all();
  long long budget = 100;
  int out[2][81] = {};
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 0, out, 0, budget), 0);
  EXPECT_EQ(budget, 99);
  // A position that propagation completes is one completion whatever the limit.
  sudoku_seed_random(12);
  Grid const solution = matrix_test::random_solution(matrix_test::square_map(), false);
  sudoku_seed_random(0);
  Grid clues = solution;
  clues[40] = 0;
  matrix_test::position_of(clues, cand, placed);
  EXPECT_EQ(count_completions_collect(ops, cand, placed, 0, out, 0, budget), 1);
  EXPECT_EQ(out[0][40], solution[40]);
}

TEST(MatrixCount, TablesFromElsewhereGiveTheSameResults) {
  // A copy of compiled tables is not in the cache: the search then runs on the Vec
  // position directly and must agree with the cached tables in every respect.
  Ops const& ops = square_ops(true);
  Ops const copy = ops;
  sudoku_seed_random(21);
  for (int i = 0; i < 40; ++i) {
    Grid const solution = matrix_test::random_solution(matrix_test::square_map(), true);
    Grid const clues = matrix_test::random_clues(solution, 15 + i);
    Vec cand, placed;
    matrix_test::position_of(clues, cand, placed);
    int a[2][81] = {}, b[2][81] = {};
    long long budget_a = 100000, budget_b = 100000;
    int const na = count_completions_collect(ops, cand, placed, 2, a, 0, budget_a);
    int const nb = count_completions_collect(copy, cand, placed, 2, b, 0, budget_b);
    EXPECT_EQ(na, nb);
    EXPECT_EQ(budget_a, budget_b);
    EXPECT_EQ(0, std::memcmp(a, b, sizeof a));
  }
  sudoku_seed_random(0);
}
