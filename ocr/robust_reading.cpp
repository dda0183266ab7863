// The second attempt at a photo whose plain reading failed or read badly: the grid
// outline from a locally thresholded image (uneven light, grey print and tilt do not
// hide its ruling there), chosen among candidate outlines by how well their warp shows
// a 9x9 lattice, a perspective warp onto a square, and cells whose ink threshold
// adapts to each window (adaptive_cell.cpp).
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ocr/ocr.h"

int ocr_robust_reading(unsigned char const* grey, int width, int height, int* digits, OcrPatchSink* sink,
                       OcrPictureRules const& rules, OcrQuad* grid, OcrReadingContext* context) {
  if (!digits) return -1;
  std::fill_n(digits, 81, 0);
  std::vector<OcrGridCandidate> const candidates = ocr_grid_candidates(grey, width, height);
  int const S = ocr_warp_size(width, height);
  // The best candidates in rank order; the first whose reading is a proper puzzle
  // (17 digits or more, no rule broken, one solution) is taken, else the best reading.
  int result = -1, best_rank = -1, tried = 0;
  int reading[81];
  for (std::size_t i = 0; i < candidates.size() && tried < ocr_robust_candidates; ++i) {
    OcrGridCandidate const& c = candidates[i];
    OcrHomography h{};
    if (!ocr_homography(c.quad, h)) continue;
    OcrImage warped = ocr_warp(grey, width, height, h, S);
    if (warped.empty()) continue;
    if (c.bright) ocr_invert(warped);
    int const comb = ocr_comb_score(warped.data(), S, S);
    if (ocr_debug) std::printf("adaptive warp %s lattice=%.1f comb=%d\n", c.bright ? "bright" : "dark", c.lattice, comb);
    if (comb < ocr_robust_min_comb) continue;
    ++tried;
    int const n = ocr_read_cells_adaptive(warped.data(), S, S, OcrBox{0, 0, S - 1, S - 1}, reading, sink);
    int const rank = ocr_reading_rank(reading, context ? context->rules_for(c.quad) : rules);
    if (ocr_debug) std::printf("candidate reading: %d digits, rank %d\n", n, rank);
    if (rank > best_rank) {
      best_rank = rank;
      result = n;
      std::copy_n(reading, 81, digits);
      if (grid) *grid = c.quad;
    }
    if (rank >= ocr_proper_rank) break;
  }
  return result;
}
