// Orientations and the canonical form of (clue grid, group map) pairs.
#include <gtest/gtest.h>

#include <cstring>

#include "classify/canonical.h"
#include "matrix_test_support.h"

namespace {

using matrix_test::Grid;

struct Pair {
  int clues[9][9];
  int groups[9][9];
};

Pair square_pair() {
  Pair p{};
  matrix_test::to_matrix(matrix_test::square_map(), p.groups);
  return p;
}

// A seeded random puzzle on a jigsaw-like map (groups renamed at random too).
Pair random_pair(int keep_percent) {
  Grid const solution = matrix_test::random_solution(matrix_test::square_map(), false);
  Grid groups = matrix_test::jigsaw_map_keeping(solution, 300);
  int rename[9] = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  for (int i = 8; i > 0; --i) std::swap(rename[i], rename[arc4random_uniform(i + 1)]);
  for (int& g : groups) g = rename[g];
  Pair p{};
  matrix_test::to_matrix(matrix_test::random_clues(solution, keep_percent), p.clues);
  matrix_test::to_matrix(groups, p.groups);
  return p;
}

bool same(int const a[9][9], int const b[9][9]) { return std::memcmp(a, b, sizeof(int) * 81) == 0; }

}  // namespace

TEST(Orientation, CellMovesAsDescribed) {
  int const expected[8][2] = {{1, 2}, {7, 2}, {1, 6}, {7, 6}, {2, 1}, {6, 7}, {2, 7}, {6, 1}};
  for (int t = 0; t < 8; ++t) {
    int r, c;
    orient_cell(t, 1, 2, &r, &c);
    EXPECT_EQ(r, expected[t][0]) << t;
    EXPECT_EQ(c, expected[t][1]) << t;
  }
  // Every orientation keeps the pair of main diagonals, and orient_back undoes orient_grid.
  sudoku_seed_random(5);
  Pair const p = random_pair(40);
  sudoku_seed_random(0);
  for (int t = 0; t < 8; ++t) {
    for (int k = 0; k < 9; ++k) {
      int r, c;
      orient_cell(t, k, k, &r, &c);
      EXPECT_TRUE(r == c || r + c == 8);
      orient_cell(t, k, 8 - k, &r, &c);
      EXPECT_TRUE(r == c || r + c == 8);
    }
    int oriented[9][9], back[9][9];
    orient_grid(t, p.clues, oriented);
    orient_back(t, oriented, back);
    EXPECT_TRUE(same(back, p.clues)) << t;
  }
}

TEST(CanonicalForm, EmptySquareGridIsItsOwnForm) {
  Pair const p = square_pair();
  int out_clues[9][9], out_grp[9][9], relabel[10], transform = -1;
  canonical_form(p.clues, p.groups, out_clues, out_grp, &transform, relabel);
  EXPECT_EQ(transform, 0);
  EXPECT_TRUE(same(out_grp, p.groups));
  EXPECT_TRUE(same(out_clues, p.clues));
  for (int d = 0; d < 10; ++d) EXPECT_EQ(relabel[d], d);
}

TEST(CanonicalForm, SingleClueMovesToTheLastCell) {
  Pair p = square_pair();
  p.clues[0][8] = 5;
  int out_clues[9][9], out_grp[9][9], relabel[10], transform = -1;
  canonical_form(p.clues, p.groups, out_clues, out_grp, &transform, relabel);
  EXPECT_EQ(transform, 1);  // orientation 6 gives the same text and loses the tie
  for (int c = 0; c < 81; ++c) EXPECT_EQ(out_clues[c / 9][c % 9], c == 80 ? 1 : 0) << c;
  int const expected_relabel[10] = {0, 2, 3, 4, 5, 1, 6, 7, 8, 9};
  for (int d = 0; d < 10; ++d) EXPECT_EQ(relabel[d], expected_relabel[d]) << d;

  int digit_map[10], c2[9][9], g2[9][9];
  EXPECT_EQ(canonicalize(p.clues, p.groups, c2, g2, digit_map), 1);
  int const expected_map[10] = {0, 5, 1, 2, 3, 4, 6, 7, 8, 9};
  for (int d = 0; d < 10; ++d) EXPECT_EQ(digit_map[d], expected_map[d]) << d;
  EXPECT_TRUE(same(c2, out_clues));

  // Null pointers are allowed.
  canonical_form(p.clues, p.groups, c2, g2, nullptr, nullptr);
  EXPECT_TRUE(same(c2, out_clues));
}

TEST(CanonicalForm, OutputIsTheChosenOrientationRelabelled) {
  sudoku_seed_random(31);
  for (int i = 0; i < 50; ++i) {
    Pair const p = random_pair(20 + i);
    int out_clues[9][9], out_grp[9][9], relabel[10], t = -1;
    canonical_form(p.clues, p.groups, out_clues, out_grp, &t, relabel);
    ASSERT_GE(t, 0);
    ASSERT_LT(t, 8);
    int group_rename[16];
    for (int& g : group_rename) g = -1;
    for (int r = 0; r < 9; ++r)
      for (int c = 0; c < 9; ++c) {
        int tr, tc;
        orient_cell(t, r, c, &tr, &tc);
        EXPECT_EQ(out_clues[tr][tc], relabel[p.clues[r][c]]);
        int& g = group_rename[p.groups[r][c]];
        if (g < 0) g = out_grp[tr][tc];
        EXPECT_EQ(out_grp[tr][tc], g);  // one canonical number per input group
      }
    EXPECT_EQ(out_grp[0][0], 0);
    // relabel is a permutation of 1..9.
    unsigned seen = 0;
    for (int d = 1; d <= 9; ++d) seen |= 1u << relabel[d];
    EXPECT_EQ(seen, 0x3FEu);
  }
  sudoku_seed_random(0);
}

TEST(CanonicalForm, IdempotentAndInvariantUnderOrientationAndRelabelling) {
  sudoku_seed_random(41);
  for (int i = 0; i < 60; ++i) {
    Pair const p = random_pair(15 + i % 50);
    Pair canon{};
    canonical_form(p.clues, p.groups, canon.clues, canon.groups, nullptr, nullptr);

    Pair again{};
    int t = -1, relabel[10];
    canonical_form(canon.clues, canon.groups, again.clues, again.groups, &t, relabel);
    EXPECT_EQ(t, 0);
    for (int d = 0; d < 10; ++d) EXPECT_EQ(relabel[d], d);
    EXPECT_TRUE(same(again.clues, canon.clues));
    EXPECT_TRUE(same(again.groups, canon.groups));

    for (int o = 0; o < 8; ++o) {
      int rename[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
      for (int d = 9; d > 1; --d) std::swap(rename[d], rename[1 + arc4random_uniform(d)]);
      Pair moved{};
      orient_grid(o, p.clues, moved.clues);
      orient_grid(o, p.groups, moved.groups);
      for (int c = 0; c < 81; ++c) {
        moved.clues[c / 9][c % 9] = rename[moved.clues[c / 9][c % 9]];
        moved.groups[c / 9][c % 9] = (moved.groups[c / 9][c % 9] + 3) % 9;  // renamed groups too
      }
      Pair form{};
      canonical_form(moved.clues, moved.groups, form.clues, form.groups, nullptr, nullptr);
      EXPECT_TRUE(same(form.clues, canon.clues)) << i << " orientation " << o;
      EXPECT_TRUE(same(form.groups, canon.groups)) << i << " orientation " << o;
    }
  }
  sudoku_seed_random(0);
}

TEST(CanonicalForm, OutOfRangeValuesAreReadSafely) {
  Pair p = square_pair();
  p.clues[4][4] = 12;   // not a digit: an empty cell
  p.clues[0][0] = -3;   // not a digit: an empty cell
  p.groups[2][2] = 99;  // outside 0..15: group 0
  int out_clues[9][9], out_grp[9][9], relabel[10], t = -1;
  canonical_form(p.clues, p.groups, out_clues, out_grp, &t, relabel);
  for (int c = 0; c < 81; ++c) EXPECT_EQ(out_clues[c / 9][c % 9], 0);
  for (int d = 0; d < 10; ++d) EXPECT_EQ(relabel[d], d);
}
