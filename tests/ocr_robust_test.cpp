// The second attempt at a photo: the locally thresholded outline finder, the
// adaptive cell ink threshold with line-remnant clearing, and the rule check that
// decides whether a reading is plausible.
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "ocr/ocr.h"
#include "tests/ocr_render.h"
#include "testing/test_boards.h"

using ocr_render::Picture;

namespace {

// A grid turned by 0.6 degrees under light that falls from left to right: the paper
// goes from 210 to 80 grey and the ruling stays 70 levels darker than the paper
// around it, so no single threshold separates ruling from paper.
Picture dim_tilted_grid(OcrQuad& quad) {
  Picture p = ocr_render::blank(640, 480, 255);
  quad = ocr_render::turned_square(330, 240, 378, 0.6);
  ocr_render::draw_grid_quad(p, quad);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      int const paper = 210 - 130 * x / (p.width - 1);
      p.at(x, y) = static_cast<unsigned char>(p.at(x, y) < 128 ? paper - 70 : paper);
    }
  return p;
}

std::array<int, 81> solution_digits() { return test_boards::digits_of(test_boards::kClassicSolution); }

}  // namespace

TEST(OcrRobust, ConsistencyFindsRepeatsInRowsColumnsAndBoxesOnly) {
  std::array<int, 81> empty{};
  EXPECT_TRUE(ocr_reading_consistent(empty.data()));
  EXPECT_FALSE(ocr_reading_consistent(nullptr));
  std::array<int, 81> const full = solution_digits();
  EXPECT_TRUE(ocr_reading_consistent(full.data()));
  struct Pair {
    int a, b;
    bool conflict;
  };
  // Same row, same column, same box, and r0c0 with r4c4 (no shared unit).
  for (Pair const& pair : {Pair{0, 8, true}, Pair{0, 72, true}, Pair{0, 20, true}, Pair{0, 40, false}}) {
    std::array<int, 81> d{};
    d[pair.a] = d[pair.b] = 7;
    EXPECT_EQ(ocr_reading_consistent(d.data()), !pair.conflict) << pair.a << "," << pair.b;
  }
  std::array<int, 81> broken = full;
  broken[80] = broken[79];  // the last row now holds one digit twice
  EXPECT_FALSE(ocr_reading_consistent(broken.data()));
}

TEST(OcrRobust, AdaptiveOutlineFindsADimTiltedGrid) {
  OcrQuad truth;
  Picture const p = dim_tilted_grid(truth);
  // The fixed threshold sees the right half as all dark and the left ruling as paper.
  OcrBox box;
  bool const plain = ocr_find_box(p.pixels.data(), p.width, p.height, box, false);
  if (plain) {
    EXPECT_LT(ocr_box_comb(p.pixels.data(), p.width, p.height, box), 14);
  }
  OcrQuad quad;
  ASSERT_TRUE(ocr_adaptive_quad(p.pixels.data(), p.width, p.height, quad));
  for (int k = 0; k < 4; ++k) {
    EXPECT_NEAR(quad.x[k], truth.x[k], 6.0) << k;
    EXPECT_NEAR(quad.y[k], truth.y[k], 6.0) << k;
  }
  OcrImage warped;
  int const size = ocr_warp_size(p.width, p.height);
  EXPECT_GE(ocr_warp_comb(p.pixels.data(), p.width, p.height, quad, size, warped), 14);
  int digits[81];
  EXPECT_EQ(ocr_robust_reading(p.pixels.data(), p.width, p.height, digits), 0);  // found, but no digits drawn
}

TEST(OcrRobust, AdaptiveOutlineRejectsPicturesWithoutAGrid) {
  OcrQuad quad;
  Picture const flat = ocr_render::blank(300, 200, 180);
  EXPECT_FALSE(ocr_adaptive_quad(flat.pixels.data(), flat.width, flat.height, quad));
  Picture small = ocr_render::blank(300, 200, 220);
  ocr_render::fill_rect(small, 100, 80, 130, 110, 20);  // one blot far smaller than a grid
  EXPECT_FALSE(ocr_adaptive_quad(small.pixels.data(), small.width, small.height, quad));
  EXPECT_FALSE(ocr_adaptive_quad(nullptr, 300, 200, quad));
  EXPECT_FALSE(ocr_adaptive_quad(small.pixels.data(), 26, 200, quad));
  int digits[81];
  EXPECT_EQ(ocr_robust_reading(flat.pixels.data(), flat.width, flat.height, digits), -1);
  for (int d : digits) EXPECT_EQ(d, 0);
}

TEST(OcrRobust, AdaptiveCellReadsAFaintStroke) {
  // 30 grey levels of contrast: below the fixed 45-level ink rule, clear for the
  // threshold halfway between paper and the darkest central ink.
  Picture p = ocr_render::blank(40, 40, 180);
  ocr_render::fill_rect(p, 18, 8, 21, 32, 150);
  float plain[ocr_patch_size], patch[ocr_patch_size];
  EXPECT_EQ(ocr_cell_patch_verdict(p.pixels.data(), p.height, p.width, plain), OcrCellVerdict::no_ink);
  ASSERT_EQ(ocr_cell_patch_adaptive(p.pixels.data(), p.height, p.width, patch), OcrCellVerdict::digit);
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      bool const inside = y >= 2 && y < 22 && x >= 10 && x < 13;  // 3 x 24 scaled to 3 x 20, centred
      EXPECT_FLOAT_EQ(patch[y * 24 + x], inside ? 1.0f : 0.0f) << y << "," << x;
    }
}

TEST(OcrRobust, AdaptiveCellSeparatesADigitFromALineRemnant) {
  // A seven whose bar touches a ruled line along the window's left edge.
  Picture p = ocr_render::blank(40, 40, 200);
  ocr_render::fill_rect(p, 0, 0, 3, 40, 30);    // line remnant, top to bottom
  ocr_render::fill_rect(p, 3, 8, 20, 11, 30);   // bar joined to it
  ocr_render::fill_rect(p, 16, 8, 20, 33, 30);  // stem
  float patch[ocr_patch_size];
  EXPECT_NE(ocr_cell_patch_verdict(p.pixels.data(), p.height, p.width, patch), OcrCellVerdict::digit);
  ASSERT_EQ(ocr_cell_patch_adaptive(p.pixels.data(), p.height, p.width, patch), OcrCellVerdict::digit);
  // The patch is the one of the same seven without the line.
  Picture alone = ocr_render::blank(40, 40, 200);
  ocr_render::fill_rect(alone, 3, 8, 20, 11, 30);
  ocr_render::fill_rect(alone, 16, 8, 20, 33, 30);
  float expected[ocr_patch_size];
  ASSERT_EQ(ocr_cell_patch_verdict(alone.pixels.data(), 40, 40, expected), OcrCellVerdict::digit);
  for (int i = 0; i < ocr_patch_size; ++i) EXPECT_FLOAT_EQ(patch[i], expected[i]) << i;
}

TEST(OcrRobust, AdaptiveCellLeavesPaperNoiseAndBareLinesEmpty) {
  Picture noise = ocr_render::blank(40, 40, 200);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x) noise.at(x, y) = static_cast<unsigned char>(195 + (x * 7 + y * 13) % 11);
  float patch[ocr_patch_size];
  EXPECT_EQ(ocr_cell_patch_adaptive(noise.pixels.data(), 40, 40, patch), OcrCellVerdict::no_ink);
  Picture lines = ocr_render::blank(40, 40, 200);
  ocr_render::fill_rect(lines, 0, 0, 40, 3, 30);
  ocr_render::fill_rect(lines, 37, 0, 40, 40, 30);
  EXPECT_NE(ocr_cell_patch_adaptive(lines.pixels.data(), 40, 40, patch), OcrCellVerdict::digit);
  EXPECT_EQ(ocr_cell_patch_adaptive(nullptr, 40, 40, patch), OcrCellVerdict::no_ink);
}

TEST(OcrRobust, AdaptiveCellDropsABrokenLineRemnantBesideADigit) {
  // A ruled line along the left edge, broken into pieces by the threshold, beside a
  // one: the plain rules would see two tall shapes; the pieces in the outer band go.
  Picture p = ocr_render::blank(40, 40, 200);
  for (int y = 0; y < 40; ++y)
    if (y % 9 != 4) ocr_render::fill_rect(p, 2, y, 5, y + 1, 40);  // column 2..4, a gap every 9 rows
  ocr_render::fill_rect(p, 0, 0, 2, 14, 40);                       // and a stub touching the border
  ocr_render::fill_rect(p, 18, 8, 22, 33, 40);                      // the one
  float patch[ocr_patch_size];
  ASSERT_EQ(ocr_cell_patch_adaptive(p.pixels.data(), 40, 40, patch), OcrCellVerdict::digit);
  Picture alone = ocr_render::blank(40, 40, 200);
  ocr_render::fill_rect(alone, 18, 8, 22, 33, 40);
  float expected[ocr_patch_size];
  ASSERT_EQ(ocr_cell_patch_verdict(alone.pixels.data(), 40, 40, expected), OcrCellVerdict::digit);
  for (int i = 0; i < ocr_patch_size; ++i) EXPECT_FLOAT_EQ(patch[i], expected[i]) << i;
  // A digit's own stroke in the middle of the window is never such a piece.
  Picture wide = ocr_render::blank(40, 40, 200);
  ocr_render::fill_rect(wide, 12, 8, 15, 33, 40);
  ocr_render::fill_rect(wide, 25, 8, 28, 33, 40);
  EXPECT_EQ(ocr_cell_patch_adaptive(wide.pixels.data(), 40, 40, patch), OcrCellVerdict::ambiguous);
}

TEST(OcrRobust, AdaptiveCellJoinsAFaintDigitBrokenByNoise) {
  // A faint bar whose rows alternate around the threshold: as thresholded it is a
  // stack of one-row slivers (too short), through the 3 x 3 mean a whole stroke.
  Picture p = ocr_render::blank(40, 40, 180);
  for (int y = 8; y < 33; ++y)
    for (int x = 17; x < 22; ++x) p.at(x, y) = static_cast<unsigned char>(y % 2 ? 176 : 150);
  float patch[ocr_patch_size];
  ASSERT_EQ(ocr_cell_patch_adaptive(p.pixels.data(), 40, 40, patch), OcrCellVerdict::digit);
  int ink_rows = 0;
  for (int y = 0; y < 24; ++y) {
    bool any = false;
    for (int x = 0; x < 24; ++x) any = any || patch[y * 24 + x] > 0.5f;
    ink_rows += any;
  }
  EXPECT_GE(ink_rows, 18);  // one tall shape, scaled to about 20 rows
  // The same dust scattered over the window without a shape stays empty.
  Picture dust = ocr_render::blank(40, 40, 180);
  for (int y = 0; y < 40; y += 7)
    for (int x = 0; x < 40; x += 7) dust.at(x, y) = 150;
  EXPECT_NE(ocr_cell_patch_adaptive(dust.pixels.data(), 40, 40, patch), OcrCellVerdict::digit);
}

TEST(OcrRobust, SolutionCountAndRankJudgeTheReadPuzzle) {
  std::array<int, 81> const full = solution_digits();
  EXPECT_EQ(ocr_solution_count(full.data()), 1);
  std::array<int, 81> const puzzle = test_boards::digits_of(test_boards::kClassicPuzzle);
  EXPECT_EQ(ocr_solution_count(puzzle.data()), 1);
  std::array<int, 81> empty{};
  EXPECT_EQ(ocr_solution_count(empty.data()), 2);
  std::array<int, 81> repeated = puzzle;
  int first = 0;
  while (puzzle[first] == 0) ++first;
  int other = first + 1;  // an empty cell of the same row gets the same digit
  while (puzzle[other] != 0) ++other;
  ASSERT_EQ(other / 9, first / 9);
  repeated[other] = puzzle[first];
  EXPECT_EQ(ocr_solution_count(repeated.data()), 0);
  std::array<int, 81> bad = puzzle;
  bad[5] = 10;
  EXPECT_EQ(ocr_solution_count(bad.data()), -1);
  EXPECT_EQ(ocr_solution_count(nullptr), -1);

  // A clue lost: still 17 or more digits and no rule broken, but (for this puzzle,
  // with this clue) no longer one solution, so it ranks below the full reading.
  int clues = 0;
  for (int d : puzzle) clues += d != 0;
  ASSERT_GE(clues, 18);
  int const full_rank = ocr_reading_rank(puzzle.data());
  EXPECT_EQ(full_rank, 4000 + 2000 + 1000 + clues);
  bool found_weaker = false;
  for (int c = 0; c < 81 && !found_weaker; ++c) {
    if (!puzzle[c]) continue;
    std::array<int, 81> lost = puzzle;
    lost[c] = 0;
    if (ocr_solution_count(lost.data()) != 2) continue;
    EXPECT_EQ(ocr_reading_rank(lost.data()), 4000 + 2000 + clues - 1);
    found_weaker = true;
  }
  EXPECT_TRUE(found_weaker);
  EXPECT_EQ(ocr_reading_rank(repeated.data()), 4000 + clues + 1);
  EXPECT_EQ(ocr_reading_rank(empty.data()), 2000);
  EXPECT_EQ(ocr_reading_rank(nullptr), 0);
}

TEST(OcrRobust, AdaptiveCellTakesSmallPrintDownToAThirdOfTheWindow) {
  // Small digits in large cells: 14 of 40 rows is below the plain rule's 0.4, and
  // through the mean the second look accepts a third of the window; 12 rows stays out.
  float patch[ocr_patch_size];
  for (int rows : {14, 12}) {
    Picture p = ocr_render::blank(40, 40, 200);
    ocr_render::fill_rect(p, 16, 13, 24, 13 + rows, 40);
    EXPECT_EQ(ocr_cell_patch_verdict(p.pixels.data(), 40, 40, patch), OcrCellVerdict::too_short) << rows;
    OcrCellVerdict const verdict = ocr_cell_patch_adaptive(p.pixels.data(), 40, 40, patch);
    if (rows == 14)
      EXPECT_EQ(verdict, OcrCellVerdict::digit);
    else
      EXPECT_EQ(verdict, OcrCellVerdict::too_short);
  }
}

TEST(OcrRobust, AdaptiveCellAtAnotherDepthKeepsABlurredCounterOpen) {
  // A ring whose counter blur has darkened to 120 on paper 200, strokes 60: halfway
  // (130) fills the counter, 0.7 of the way down (102) keeps it open.
  Picture p = ocr_render::blank(40, 40, 200);
  ocr_render::fill_rect(p, 12, 8, 28, 32, 60);
  ocr_render::fill_rect(p, 16, 13, 24, 27, 120);
  float halfway[ocr_patch_size], deep[ocr_patch_size];
  ASSERT_EQ(ocr_cell_patch_adaptive(p.pixels.data(), 40, 40, halfway), OcrCellVerdict::digit);
  ASSERT_EQ(ocr_cell_patch_adaptive_depth(p.pixels.data(), 40, 40, deep, 0.7), OcrCellVerdict::digit);
  float const centre_halfway = halfway[12 * 24 + 12], centre_deep = deep[12 * 24 + 12];
  EXPECT_FLOAT_EQ(centre_halfway, 1.0f);
  EXPECT_FLOAT_EQ(centre_deep, 0.0f);
  // At depth 0.5 it is the adaptive cell itself; depths outside (0, 1) are refused.
  float same[ocr_patch_size];
  ASSERT_EQ(ocr_cell_patch_adaptive_depth(p.pixels.data(), 40, 40, same, 0.5), OcrCellVerdict::digit);
  for (int i = 0; i < ocr_patch_size; ++i) EXPECT_FLOAT_EQ(same[i], halfway[i]) << i;
  EXPECT_EQ(ocr_cell_patch_adaptive_depth(p.pixels.data(), 40, 40, same, 0.0), OcrCellVerdict::no_ink);
  EXPECT_EQ(ocr_cell_patch_adaptive_depth(p.pixels.data(), 40, 40, same, 1.0), OcrCellVerdict::no_ink);
  EXPECT_EQ(ocr_cell_patch_adaptive_depth(nullptr, 40, 40, same, 0.5), OcrCellVerdict::no_ink);
}
