// Grid location: box searches, comb score, polarity, span repair, tilt and
// perspective, on pictures drawn by the tests.
#include <gtest/gtest.h>

#include <climits>

#include "api/engine_api.h"
#include "ocr/ocr.h"
#include "tests/ocr_render.h"

using ocr_render::Picture;

namespace {

Picture clean_grid() {
  Picture p = ocr_render::blank(320, 300);
  ocr_render::draw_ruling(p, 30, 20, 28);  // box 30..282 x 20..272
  return p;
}

OcrBox locate(Picture const& p) {
  OcrBox b{-1, -1, -1, -1};
  EXPECT_TRUE(ocr_locate_grid(p.pixels.data(), p.width, p.height, &b.left, &b.top, &b.right, &b.bottom));
  return b;
}

}  // namespace

TEST(OcrLocate, CleanRuledGridGivesTheExactBoxAndCombSixteen) {
  Picture const p = clean_grid();
  OcrBox const b = locate(p);
  EXPECT_EQ(b.left, 30);
  EXPECT_EQ(b.top, 20);
  EXPECT_EQ(b.right, 30 + 9 * 28);
  EXPECT_EQ(b.bottom, 20 + 9 * 28);
  EXPECT_EQ(ocr_box_comb(p.pixels.data(), p.width, p.height, b), 16);

  // The exported call on an RGB copy gives the same box.
  std::vector<unsigned char> rgb;
  for (unsigned char v : p.pixels) rgb.insert(rgb.end(), {v, v, v});
  int box[4] = {0, 0, 0, 0};
  ASSERT_EQ(sudoku_ocr_locate(rgb.data(), p.width, p.height, 3, box), 1);
  EXPECT_EQ(box[0], b.left);
  EXPECT_EQ(box[1], b.top);
  EXPECT_EQ(box[2], b.right);
  EXPECT_EQ(box[3], b.bottom);
}

TEST(OcrLocate, LineRunsAreRunMiddlesInOrder) {
  Picture p = ocr_render::blank(100, 60);
  ocr_render::fill_rect(p, 0, 10, 100, 13, 0);   // rows 10..12 -> 11
  ocr_render::fill_rect(p, 0, 30, 100, 34, 0);   // rows 30..33 -> 31
  ocr_render::fill_rect(p, 0, 50, 30, 51, 0);    // 30% of the row: no line
  ocr_render::fill_rect(p, 0, 55, 36, 56, 0);    // 36%: a line
  EXPECT_EQ(ocr_line_runs(p.pixels.data(), p.width, p.height, 128, true), (std::vector<int>{11, 31, 55}));
  EXPECT_TRUE(ocr_line_runs(p.pixels.data(), p.width, p.height, 128, false).empty());
}

TEST(OcrLocate, DarkPictureIsLocatedAsItsNegative) {
  Picture p = clean_grid();
  Picture negative = p;
  for (auto& v : negative.pixels) v = static_cast<unsigned char>(255 - v);
  ASSERT_GT(ocr_count_below(negative.pixels.data(), p.width, p.height, 128) * 2, negative.pixels.size());
  OcrBox const a = locate(p), b = locate(negative);
  EXPECT_EQ(a.left, b.left);
  EXPECT_EQ(a.top, b.top);
  EXPECT_EQ(a.right, b.right);
  EXPECT_EQ(a.bottom, b.bottom);
}

TEST(OcrLocate, CombScoreCountsOnlyLinesAtNinths) {
  Picture p = ocr_render::blank(270, 270);
  EXPECT_EQ(ocr_comb_score(p.pixels.data(), p.width, p.height), 0);
  // Inner rows at ninths only: 8 hits; columns too: 16.
  for (int k = 1; k <= 8; ++k) ocr_render::fill_rect(p, 0, k * 30 - 1, 270, k * 30 + 2, 10);
  EXPECT_EQ(ocr_comb_score(p.pixels.data(), p.width, p.height), 8);
  for (int k = 1; k <= 8; ++k) ocr_render::fill_rect(p, k * 30 - 1, 0, k * 30 + 2, 270, 10);
  EXPECT_EQ(ocr_comb_score(p.pixels.data(), p.width, p.height), 16);
  // Boxes that leave the picture or are too small are unusable.
  EXPECT_EQ(ocr_box_comb(p.pixels.data(), p.width, p.height, OcrBox{-1, 0, 100, 100}), -1);
  EXPECT_EQ(ocr_box_comb(p.pixels.data(), p.width, p.height, OcrBox{0, 0, 270, 100}), -1);
  EXPECT_EQ(ocr_box_comb(p.pixels.data(), p.width, p.height, OcrBox{0, 0, 25, 100}), -1);
  EXPECT_EQ(ocr_box_comb(p.pixels.data(), p.width, p.height, OcrBox{0, 0, 269, 269}), 16);
}

TEST(OcrLocate, FallbackBoxUsesDarkRowsAndColumnsOrTheWholePicture) {
  Picture p = ocr_render::blank(200, 150);
  OcrBox b;
  ocr_fallback_box(p.pixels.data(), p.width, p.height, b);
  EXPECT_EQ(b.left, 0);
  EXPECT_EQ(b.top, 0);
  EXPECT_EQ(b.right, 199);
  EXPECT_EQ(b.bottom, 149);
  ocr_render::fill_rect(p, 20, 10, 180, 12, 0);
  ocr_render::fill_rect(p, 20, 130, 180, 131, 0);
  ocr_render::fill_rect(p, 20, 10, 21, 131, 0);
  ocr_render::fill_rect(p, 179, 10, 180, 131, 0);
  ocr_fallback_box(p.pixels.data(), p.width, p.height, b);
  EXPECT_EQ(b.left, 20);
  EXPECT_EQ(b.top, 10);
  EXPECT_EQ(b.right, 179);
  EXPECT_EQ(b.bottom, 130);
}

TEST(OcrLocate, AdaptiveBoxAloneNeedsCombFourteen) {
  // Light grey lines (150): invisible at the fixed threshold, found by the adaptive one.
  Picture p = ocr_render::blank(320, 300);
  ocr_render::draw_ruling(p, 30, 20, 28);
  for (auto& v : p.pixels)
    if (v < 128) v = 150;
  OcrBox b;
  EXPECT_FALSE(ocr_find_box(p.pixels.data(), p.width, p.height, b, false));
  ASSERT_TRUE(ocr_find_box(p.pixels.data(), p.width, p.height, b, true));
  EXPECT_EQ(ocr_box_comb(p.pixels.data(), p.width, p.height, b), 16);
  int box[4] = {0, 0, 0, 0};
  EXPECT_EQ(sudoku_ocr_locate(p.pixels.data(), p.width, p.height, 1, box), 1);
  EXPECT_EQ(box[0], 30);

  // Only the three box lines per direction: the adaptive box has comb 4 < 14.
  Picture q = ocr_render::blank(320, 300);
  for (int k = 0; k <= 9; k += 3) {
    ocr_render::fill_rect(q, 28, 18 + 28 * k, 285, 23 + 28 * k, 150);
    ocr_render::fill_rect(q, 28 + 28 * k, 18, 33 + 28 * k, 275, 150);
  }
  ASSERT_TRUE(ocr_find_box(q.pixels.data(), q.width, q.height, b, true));
  EXPECT_LT(ocr_box_comb(q.pixels.data(), q.width, q.height, b), 14);
  int untouched[4] = {7, 7, 7, 7};
  EXPECT_EQ(sudoku_ocr_locate(q.pixels.data(), q.width, q.height, 1, untouched), 0);
  EXPECT_EQ(untouched[0], 7);
}

TEST(OcrRepair, PitchNeedsFiveRegularGaps) {
  EXPECT_EQ(ocr_line_pitch({0, 30, 60, 90, 120}, 0, 120), 0);  // four gaps
  EXPECT_EQ(ocr_line_pitch({0, 30, 60, 90, 120, 150}, 0, 150), 30);
  EXPECT_EQ(ocr_line_pitch({0, 30, 60, 90, 120, 150, 151}, 0, 151), 30);  // gap 1 ignored
  EXPECT_EQ(ocr_line_pitch({0, 10, 60, 70, 120, 130, 180}, 0, 180), 0);    // irregular
}

TEST(OcrRepair, EightCellSpanIsExtendedAtItsWeakEnd) {
  // Nine lines 30 apart; the bottom one heavy, the top one faint and short.
  Picture p = ocr_render::blank(300, 340);
  for (int k = 0; k <= 8; ++k) {
    int const y = 40 + 30 * k;
    if (k == 0)
      ocr_render::fill_rect(p, 0, y, 110, y + 1, 0);
    else
      ocr_render::fill_rect(p, 0, y - (k == 8 ? 3 : 1), 300, y + (k == 8 ? 4 : 2), 0);
  }
  std::vector<int> lines;
  for (int k = 0; k <= 8; ++k) lines.push_back(40 + 30 * k);
  int low = 40, high = 280;
  EXPECT_TRUE(ocr_repair_span(p.pixels.data(), p.width, p.height, true, lines, low, high));
  EXPECT_EQ(low, 280 - 270);
  EXPECT_EQ(high, 280);
}

TEST(OcrRepair, TenCellSpanIsShortenedAtItsWeakEnd) {
  Picture p = ocr_render::blank(300, 380);
  std::vector<int> lines;
  for (int k = 0; k <= 10; ++k) {
    int const y = 20 + 30 * k;
    lines.push_back(y);
    int const half = k == 10 ? 0 : (k == 0 ? 3 : 1);
    ocr_render::fill_rect(p, 0, y - half, k == 10 ? 120 : 300, y + half + 1, 0);
  }
  int low = 20, high = 320;
  EXPECT_TRUE(ocr_repair_span(p.pixels.data(), p.width, p.height, true, lines, low, high));
  EXPECT_EQ(low, 20);
  EXPECT_EQ(high, 20 + 270);

  // Columns work the same way.
  Picture t = ocr_render::blank(380, 300);
  for (int k = 0; k <= 10; ++k) {
    int const x = 20 + 30 * k;
    int const half = k == 10 ? 0 : (k == 0 ? 3 : 1);
    ocr_render::fill_rect(t, x - half, 0, x + half + 1, k == 10 ? 120 : 300, 0);
  }
  low = 20, high = 320;
  EXPECT_TRUE(ocr_repair_span(t.pixels.data(), t.width, t.height, false, lines, low, high));
  EXPECT_EQ(high, 290);
}

TEST(OcrRepair, NineCellSpansAndFarMovesAreLeftAlone) {
  Picture p = ocr_render::blank(300, 300);
  std::vector<int> lines;
  for (int k = 0; k <= 9; ++k) lines.push_back(10 + 30 * k);
  int low = 10, high = 280;
  EXPECT_FALSE(ocr_repair_span(p.pixels.data(), p.width, p.height, true, lines, low, high));
  EXPECT_EQ(low, 10);
  EXPECT_EQ(high, 280);
  // An eight-cell span reaching above the picture (as a shifted box may): its top end
  // has no ink, so the top would move to 190 - 270 = -80, more than 1.5 pitches out.
  Picture q = ocr_render::blank(300, 300);
  lines.clear();
  for (int k = 0; k <= 8; ++k) {
    int const y = -50 + 30 * k;
    lines.push_back(y);
    ocr_render::fill_rect(q, 0, y - 1, 300, y + 2, 0);
  }
  low = -50;
  high = 190;
  EXPECT_FALSE(ocr_repair_span(q.pixels.data(), q.width, q.height, true, lines, low, high));
  EXPECT_EQ(low, -50);
  EXPECT_EQ(high, 190);
}

TEST(OcrTilt, ThreeDegreesIsMeasuredAndShearedStraight) {
  Picture p = ocr_render::blank(400, 400);
  ocr_render::draw_grid_quad(p, ocr_render::turned_square(200, 200, 300, 3.0));
  float const angle = ocr_skew_angle(p.pixels.data(), p.width, p.height);
  EXPECT_FLOAT_EQ(angle, 3.0f);
  OcrBox before;
  bool const found_before = ocr_find_box(p.pixels.data(), p.width, p.height, before, false);
  EXPECT_TRUE(!found_before || ocr_box_comb(p.pixels.data(), p.width, p.height, before) < 16);

  OcrImage const straight = ocr_shear(p.pixels.data(), p.width, p.height, angle);
  ASSERT_EQ(straight.size(), p.pixels.size());
  EXPECT_LE(std::fabs(ocr_skew_angle(straight.data(), p.width, p.height)), 0.5f);
  // Every horizontal line of the grid is a row again.
  EXPECT_EQ(ocr_line_runs(straight.data(), p.width, p.height, 128, true).size(), 10u);

  // The opposite tilt has the opposite sign.
  Picture m = ocr_render::blank(400, 400);
  ocr_render::draw_grid_quad(m, ocr_render::turned_square(200, 200, 300, -3.0));
  EXPECT_FLOAT_EQ(ocr_skew_angle(m.pixels.data(), m.width, m.height), -3.0f);
}

TEST(OcrTilt, HalfADegreeIsBelowTheShearLimit) {
  Picture p = ocr_render::blank(400, 400);
  ocr_render::draw_grid_quad(p, ocr_render::turned_square(200, 200, 300, 0.5));
  EXPECT_LT(std::fabs(ocr_skew_angle(p.pixels.data(), p.width, p.height)), 0.9f);
}

TEST(OcrTilt, ShearMovesColumnsAndFillsWhite) {
  Picture p = ocr_render::blank(100, 100, 0);
  OcrImage const s = ocr_shear(p.pixels.data(), p.width, p.height, 10.0f);
  // Column 99 takes rows shifted by lround(99 tan 10deg) = 17: its last 17 rows are white.
  EXPECT_EQ(s[static_cast<std::size_t>(82) * 100 + 99], 0);
  EXPECT_EQ(s[static_cast<std::size_t>(83) * 100 + 99], 255);
  EXPECT_EQ(s[static_cast<std::size_t>(99) * 100 + 0], 0);
}

TEST(OcrPerspective, HomographyMapsTheUnitSquareOntoTheQuad) {
  OcrQuad q;
  float const xs[4] = {10, 300, 280, 30}, ys[4] = {20, 40, 310, 290};
  std::copy_n(xs, 4, q.x);
  std::copy_n(ys, 4, q.y);
  OcrHomography h{};
  ASSERT_TRUE(ocr_homography(q, h));
  double const us[4] = {0, 1, 1, 0}, vs[4] = {0, 0, 1, 1};
  for (int i = 0; i < 4; ++i) {
    double const w = h[6] * us[i] + h[7] * vs[i] + h[8];
    EXPECT_NEAR((h[0] * us[i] + h[1] * vs[i] + h[2]) / w, xs[i], 1e-3);
    EXPECT_NEAR((h[3] * us[i] + h[4] * vs[i] + h[5]) / w, ys[i], 1e-3);
  }
  OcrQuad flat;  // all corners on one point: singular
  EXPECT_FALSE(ocr_homography(flat, h));
}

TEST(OcrPerspective, LeaningGridIsFoundWarpedAndAccepted) {
  Picture p = ocr_render::blank(480, 420);
  OcrQuad truth;
  float const xs[4] = {70, 420, 450, 30}, ys[4] = {50, 40, 390, 380};
  std::copy_n(xs, 4, truth.x);
  std::copy_n(ys, 4, truth.y);
  ocr_render::draw_grid_quad(p, truth);
  OcrQuad q;
  ASSERT_TRUE(ocr_find_quad(p.pixels.data(), p.width, p.height, q, true));
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(q.x[i], truth.x[i], 6.0) << i;
    EXPECT_NEAR(q.y[i], truth.y[i], 6.0) << i;
  }
  double const lean = std::fabs(q.x[3] - q.x[0]) / std::hypot(q.x[3] - q.x[0], q.y[3] - q.y[0]) +
                      std::fabs(q.y[1] - q.y[0]) / std::hypot(q.x[1] - q.x[0], q.y[1] - q.y[0]);
  EXPECT_GT(lean, 0.02);
  int const S = ocr_warp_size(p.width, p.height);
  EXPECT_EQ(S, 450);
  OcrImage warped;
  int const comb = ocr_warp_comb(p.pixels.data(), p.width, p.height, q, S, warped);
  EXPECT_GE(comb, 14);
  ASSERT_EQ(warped.size(), static_cast<std::size_t>(S) * S);
  // Unwarped, the same picture has a far worse comb over its bounding box.
  OcrBox b;
  ocr_grid_bounds(p.pixels.data(), p.width, p.height, false, b);
  EXPECT_LT(ocr_box_comb(p.pixels.data(), p.width, p.height, OcrBox{30, 40, 450, 390}), comb);

  // The radial finder agrees on this picture.
  OcrQuad r;
  ASSERT_TRUE(ocr_radial_quad(p.pixels.data(), p.width, p.height, r));
  for (int i = 0; i < 4; ++i) {
    EXPECT_NEAR(r.x[i], truth.x[i], 8.0) << i;
    EXPECT_NEAR(r.y[i], truth.y[i], 8.0) << i;
  }
}

TEST(OcrPerspective, OutlineFindersRefuseSmallOrEmptyPictures) {
  Picture p = ocr_render::blank(300, 300);
  OcrQuad q;
  EXPECT_FALSE(ocr_find_quad(p.pixels.data(), p.width, p.height, q, true));  // no dark region
  EXPECT_FALSE(ocr_radial_quad(p.pixels.data(), p.width, p.height, q));
  Picture small = ocr_render::blank(39, 200, 0);
  EXPECT_FALSE(ocr_find_quad(small.pixels.data(), small.width, small.height, q, true));
  // A dark speck far smaller than a quarter of the picture.
  ocr_render::fill_rect(p, 10, 10, 40, 40, 0);
  EXPECT_FALSE(ocr_find_quad(p.pixels.data(), p.width, p.height, q, true));
}

TEST(OcrPerspective, WarpStaysInsideThePicture) {
  // A homography pointing far outside, and one with w near zero, only give white.
  Picture p = ocr_render::blank(50, 50, 0);
  OcrHomography far{1e6f, 0, 1e6f, 0, 1e6f, 1e6f, 0, 0, 1};
  OcrImage const w = ocr_warp(p.pixels.data(), p.width, p.height, far, 180);
  ASSERT_EQ(w.size(), 180u * 180u);
  for (unsigned char v : w) ASSERT_EQ(v, 255);
  OcrHomography degenerate{1, 0, 0, 0, 1, 0, 0, 0, 0};
  OcrImage const d = ocr_warp(p.pixels.data(), p.width, p.height, degenerate, 180);
  ASSERT_EQ(d.size(), 180u * 180u);
}

TEST(OcrApi, BadArgumentsReturnZeroAndWriteNothing) {
  Picture const p = clean_grid();
  unsigned char const* px = p.pixels.data();
  int box[4] = {-5, -5, -5, -5};
  int digits[81];
  std::fill_n(digits, 81, -5);
  auto untouched = [&] {
    for (int v : box) EXPECT_EQ(v, -5);
    for (int v : digits) EXPECT_EQ(v, -5);
  };
  EXPECT_EQ(sudoku_ocr_locate(nullptr, 320, 300, 1, box), 0);
  EXPECT_EQ(sudoku_ocr_locate(px, 320, 300, 1, nullptr), 0);
  EXPECT_EQ(sudoku_ocr_locate(px, 26, 300, 1, box), 0);
  EXPECT_EQ(sudoku_ocr_locate(px, 320, 26, 1, box), 0);
  EXPECT_EQ(sudoku_ocr_locate(px, 320, 300, 0, box), 0);
  EXPECT_EQ(sudoku_ocr_locate(px, 320, 300, 5, box), 0);
  EXPECT_EQ(sudoku_ocr_recognize(nullptr, 320, 300, 1, digits), 0);
  EXPECT_EQ(sudoku_ocr_recognize(px, 320, 300, 1, nullptr), 0);
  EXPECT_EQ(sudoku_ocr_recognize(px, 26, 300, 1, digits), 0);
  EXPECT_EQ(sudoku_ocr_recognize(px, 320, 26, 1, digits), 0);
  EXPECT_EQ(sudoku_ocr_recognize(px, 320, 300, 0, digits), 0);
  EXPECT_EQ(sudoku_ocr_recognize(px, 320, 300, 5, digits), 0);
  // Sizes whose byte count cannot exist are refused before any pixel is read.
  EXPECT_EQ(sudoku_ocr_locate(px, INT_MAX, INT_MAX, 4, box), 0);
  EXPECT_EQ(sudoku_ocr_recognize(px, INT_MAX, INT_MAX, 4, digits), 0);
  untouched();
  EXPECT_EQ(ocr_picture_bytes(INT_MAX, INT_MAX, 4), 0u);
  EXPECT_EQ(ocr_picture_bytes(-1, 30, 1), 0u);
  EXPECT_EQ(ocr_picture_bytes(30, 30, 3), 2700u);
  int l, t, r, b;
  EXPECT_FALSE(ocr_locate_grid(px, 26, 300, &l, &t, &r, &b));
  EXPECT_FALSE(ocr_locate_grid(px, 320, 300, nullptr, &t, &r, &b));
}

TEST(OcrApi, GreyConversionWeighsRedGreenBlue) {
  unsigned char const rgba[8] = {255, 0, 0, 9, 10, 200, 30, 0};
  OcrImage const g = ocr_to_grey(rgba, 2, 1, 4);
  ASSERT_EQ(g.size(), 2u);
  EXPECT_EQ(g[0], 299 * 255 / 1000);
  EXPECT_EQ(g[1], (299 * 10 + 587 * 200 + 114 * 30) / 1000);
  unsigned char const grey_alpha[4] = {77, 1, 200, 2};
  OcrImage const h = ocr_to_grey(grey_alpha, 2, 1, 2);
  EXPECT_EQ(h[0], 77);
  EXPECT_EQ(h[1], 200);
}

TEST(OcrLocate, FineMeshEndsWithinTheSearchBudget) {
  // Every other row and column dark: hundreds of line runs in both directions.
  Picture p = ocr_render::blank(600, 600);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      if (x % 3 == 0 || y % 3 == 0) p.at(x, y) = 0;
  ASSERT_GT(ocr_line_runs(p.pixels.data(), p.width, p.height, 128, true).size(), 150u);
  OcrBox b{-1, -1, -1, -1};
  bool const found = ocr_find_box(p.pixels.data(), p.width, p.height, b, false);
  ASSERT_TRUE(found);  // many pairs qualify; the best of the examined ones is kept
  EXPECT_GE(b.left, 0);
  EXPECT_LT(b.right, p.width);
  EXPECT_LT(b.top, b.bottom);
}
