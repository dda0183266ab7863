// The second attempt at a photo whose plain reading failed or read badly: the grid
// outline from a locally thresholded image (uneven light, grey print and tilt do not
// hide its ruling there), a perspective warp onto a square, and cells whose ink
// threshold adapts to each window.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ocr/ocr.h"

OcrCellVerdict ocr_cell_patch_adaptive(unsigned char const* cell, int rows, int columns, float* patch) {
  if (!cell || !patch || ocr_picture_bytes(columns, rows, 1) == 0) return OcrCellVerdict::no_ink;
  int const H = rows, W = columns;
  std::size_t const n = static_cast<std::size_t>(W) * H;
  float const paper = ocr_median(cell, n);
  // The darkest ink near the middle, where a digit sits: the 3rd percentile of the
  // central 60% of the window.
  std::size_t histogram[256] = {};
  std::size_t central = 0;
  for (int y = H / 5; y < H - H / 5; ++y)
    for (int x = W / 5; x < W - W / 5; ++x) {
      ++histogram[cell[static_cast<std::size_t>(y) * W + x]];
      ++central;
    }
  std::size_t seen = 0;
  int darkest = 255;
  for (int v = 0; v < 256; ++v) {
    seen += histogram[v];
    if (seen * 100 > central * 3) {
      darkest = v;
      break;
    }
  }
  if (paper - static_cast<float>(darkest) < 20.0f) return OcrCellVerdict::no_ink;
  float const ink_below = (paper + static_cast<float>(darkest)) / 2.0f;
  thread_local std::vector<unsigned char> ink;
  ink.resize(n);
  for (std::size_t i = 0; i < n; ++i) ink[i] = cell[i] < ink_below;
  // Remnants of the ruling: columns, then rows, in the outer quarter bands that are
  // more than half ink are cleared, so that a digit touching one stays a shape of its
  // own (a digit's bar, well under half the window wide, is kept).
  for (int x = 0; x < W; ++x) {
    if (x >= W / 4 && x < W - W / 4) continue;
    int count = 0;
    for (int y = 0; y < H; ++y) count += ink[static_cast<std::size_t>(y) * W + x];
    if (count * 2 > H)
      for (int y = 0; y < H; ++y) ink[static_cast<std::size_t>(y) * W + x] = 0;
  }
  for (int y = 0; y < H; ++y) {
    if (y >= H / 4 && y < H - H / 4) continue;
    int count = 0;
    for (int x = 0; x < W; ++x) count += ink[static_cast<std::size_t>(y) * W + x];
    if (count * 2 > W)
      for (int x = 0; x < W; ++x) ink[static_cast<std::size_t>(y) * W + x] = 0;
  }
  return ocr_patch_from_ink(ink.data(), rows, columns, patch);
}

int ocr_robust_reading(unsigned char const* grey, int width, int height, int* digits, OcrPatchSink* sink) {
  if (!digits) return -1;
  std::fill_n(digits, 81, 0);
  std::vector<OcrGridCandidate> const candidates = ocr_grid_candidates(grey, width, height);
  int const S = ocr_warp_size(width, height);
  for (std::size_t i = 0; i < candidates.size() && i < 3; ++i) {
    OcrGridCandidate const& c = candidates[i];
    OcrHomography h{};
    if (!ocr_homography(c.quad, h)) continue;
    OcrImage warped = ocr_warp(grey, width, height, h, S);
    if (warped.empty()) continue;
    if (c.bright) ocr_invert(warped);
    int const comb = ocr_comb_score(warped.data(), S, S);
    if (ocr_debug) std::printf("adaptive warp %s lattice=%.1f comb=%d\n", c.bright ? "bright" : "dark", c.lattice, comb);
    if (comb < ocr_robust_min_comb) continue;
    return ocr_read_cells_adaptive(warped.data(), S, S, OcrBox{0, 0, S - 1, S - 1}, digits, sink);
  }
  return -1;
}
