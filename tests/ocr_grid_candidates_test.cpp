// Grid candidates of the second reading: outlines of both polarities, edge-fitted
// corners, lattices fitted around an outline, the lattice score that ranks them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "ocr/ocr.h"
#include "tests/ocr_render.h"

using ocr_render::Picture;

namespace {

// Largest corner distance between two quads.
double corner_error(OcrQuad const& a, OcrQuad const& b) {
  double worst = 0;
  for (int k = 0; k < 4; ++k) worst = std::max(worst, static_cast<double>(std::hypot(a.x[k] - b.x[k], a.y[k] - b.y[k])));
  return worst;
}

OcrQuad square(double left, double top, double side) {
  OcrQuad q;
  float const xs[4] = {0, 1, 1, 0}, ys[4] = {0, 0, 1, 1};
  for (int k = 0; k < 4; ++k) {
    q.x[k] = static_cast<float>(left + xs[k] * side);
    q.y[k] = static_cast<float>(top + ys[k] * side);
  }
  return q;
}

// The best candidate of a picture (the test fails when there is none).
OcrGridCandidate best_candidate(Picture const& p) {
  std::vector<OcrGridCandidate> const all = ocr_grid_candidates(p.pixels.data(), p.width, p.height);
  EXPECT_FALSE(all.empty());
  for (std::size_t i = 1; i < all.size(); ++i) EXPECT_GE(all[i - 1].rank, all[i].rank);
  return all.empty() ? OcrGridCandidate{} : all.front();
}

// A warp of the picture's quad onto size x size pixels.
OcrImage warp_of(Picture const& p, OcrQuad const& q, int size) {
  OcrHomography h{};
  EXPECT_TRUE(ocr_homography(q, h));
  return ocr_warp(p.pixels.data(), p.width, p.height, h, size);
}

}  // namespace

TEST(OcrLattice, ScoreIsHighOnlyWhenTheLinesFallOnTheNinths) {
  Picture p = ocr_render::blank(400, 400, 230);
  OcrQuad const truth = square(20, 20, 360);
  ocr_render::draw_grid_quad(p, truth);
  OcrImage const exact = warp_of(p, truth, 270);
  double const on = ocr_lattice_score(exact.data(), 270);
  EXPECT_GT(on, 170.0);  // 180 line stretches, each clearly darker than both sides
  EXPECT_LE(on, 180.0);
  // Shifted by half a cell, or covering eight cells, the lines miss the ninths.
  OcrImage const shifted = warp_of(p, square(40, 40, 360), 270);
  EXPECT_LT(ocr_lattice_score(shifted.data(), 270), 0.5 * on);
  OcrImage const eight = warp_of(p, square(20, 20, 320), 270);
  EXPECT_LT(ocr_lattice_score(eight.data(), 270), 0.6 * on);
  OcrImage const paper(270 * 270, 230);
  EXPECT_EQ(ocr_lattice_score(paper.data(), 270), 0.0);
  EXPECT_EQ(ocr_lattice_score(nullptr, 270), 0.0);
  EXPECT_EQ(ocr_lattice_score(paper.data(), 10), 0.0);
}

TEST(OcrCandidates, NegativePrintIsFoundAsABrightRuling) {
  // Light lines on dark paper, as in a reversed panel or a dark photo turned negative
  // by the polarity rule.
  Picture p = ocr_render::blank(640, 480, 255);
  OcrQuad const truth = ocr_render::turned_square(320, 240, 380, 1.5);
  ocr_render::draw_grid_quad(p, truth);
  for (unsigned char& v : p.pixels) v = v < 128 ? 200 : 70;
  OcrGridCandidate const best = best_candidate(p);
  EXPECT_TRUE(best.bright);
  EXPECT_LT(corner_error(best.quad, truth), 8.0);
  int digits[81];
  EXPECT_EQ(ocr_robust_reading(p.pixels.data(), p.width, p.height, digits), 0);  // found, no digits drawn
}

TEST(OcrCandidates, GridJoinedToAFrameIsCutDownToItsRuling) {
  // A box around the puzzle and a column beside it, joined to the grid by a rule: the
  // largest piece of ink is the frame, and only the lattice fit finds the grid in it.
  // (The frame is not a whole cell pitch away from the ruling: there it would be an
  // eleventh line no picture could tell from the ruling.)
  Picture p = ocr_render::blank(640, 480, 230);
  OcrQuad const truth = square(120, 60, 360);
  ocr_render::draw_grid_quad(p, truth);
  ocr_render::fill_rect(p, 60, 28, 620, 32, 20);
  ocr_render::fill_rect(p, 60, 450, 620, 454, 20);
  ocr_render::fill_rect(p, 60, 28, 64, 454, 20);
  ocr_render::fill_rect(p, 616, 28, 620, 454, 20);
  ocr_render::fill_rect(p, 480, 200, 620, 203, 20);
  ocr_render::fill_rect(p, 20, 238, 120, 241, 20);  // a rule out to the left, beyond the frame
  OcrGridCandidate const best = best_candidate(p);
  EXPECT_FALSE(best.bright);
  EXPECT_EQ(best.kind, OcrGridKind::lattice);
  EXPECT_LT(corner_error(best.quad, truth), 8.0);
}

TEST(OcrCandidates, GridFoundInPartIsCompleted) {
  // The ruling broken by a pale band across the seventh row: the largest piece holds
  // six and a half rows; the lattice around it has all ten lines.
  Picture p = ocr_render::blank(640, 480, 230);
  OcrQuad const truth = square(140, 40, 396);
  ocr_render::draw_grid_quad(p, truth);
  ocr_render::fill_rect(p, 0, 40 + 6 * 44 + 16, 640, 40 + 6 * 44 + 22, 230);
  OcrGridCandidate const best = best_candidate(p);
  EXPECT_EQ(best.kind, OcrGridKind::lattice);
  EXPECT_LT(corner_error(best.quad, truth), 8.0);
}

TEST(OcrCandidates, LargerOfTwoGridsIsPreferred) {
  // A printed solution grid beside the puzzle: just as clear, but smaller.
  Picture p = ocr_render::blank(800, 480, 230);
  OcrQuad const puzzle = square(20, 40, 400);
  OcrQuad const solution = square(520, 200, 234);
  ocr_render::draw_grid_quad(p, puzzle);
  ocr_render::draw_grid_quad(p, solution);
  EXPECT_LT(corner_error(best_candidate(p).quad, puzzle), 8.0);
}

TEST(OcrCandidates, PerspectiveUnderUnevenLightWithAWeakBorder) {
  // Leaning grid, light falling from 220 to 90 grey across the picture, the outer
  // border barely darker than the paper in the dim half.
  Picture p = ocr_render::blank(640, 480, 255);
  OcrQuad truth;
  float const xs[4] = {150, 520, 560, 110}, ys[4] = {50, 70, 440, 420};
  std::copy_n(xs, 4, truth.x);
  std::copy_n(ys, 4, truth.y);
  ocr_render::draw_grid_quad(p, truth);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      int const paper = 220 - 130 * x / (p.width - 1);
      p.at(x, y) = static_cast<unsigned char>(p.at(x, y) < 128 ? paper - 60 : paper);
    }
  OcrGridCandidate const best = best_candidate(p);
  EXPECT_FALSE(best.bright);
  EXPECT_LT(corner_error(best.quad, truth), 8.0);
  OcrQuad fitted;
  ASSERT_TRUE(ocr_fit_outline_lattice(p.pixels.data(), p.width, p.height, truth, false, fitted));
  EXPECT_LT(corner_error(fitted, truth), 6.0);
}

TEST(OcrCandidates, NothingToFindGivesNoCandidates) {
  Picture const flat = ocr_render::blank(300, 200, 180);
  EXPECT_TRUE(ocr_grid_candidates(flat.pixels.data(), flat.width, flat.height).empty());
  EXPECT_TRUE(ocr_grid_candidates(nullptr, 300, 200).empty());
  EXPECT_TRUE(ocr_grid_candidates(flat.pixels.data(), 20, 200).empty());
  OcrQuad fitted;
  EXPECT_FALSE(ocr_fit_outline_lattice(nullptr, 300, 200, square(10, 10, 100), false, fitted));
  OcrQuad degenerate;  // all corners at the origin: no homography
  EXPECT_FALSE(ocr_fit_outline_lattice(flat.pixels.data(), flat.width, flat.height, degenerate, false, fitted));
}
