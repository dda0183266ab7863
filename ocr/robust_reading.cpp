// The second attempt at a photo whose plain reading failed or read badly: the grid
// outline from a locally thresholded image (uneven light, grey print and tilt do not
// hide its ruling there), a perspective warp onto a square, and cells whose ink
// threshold adapts to each window.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ocr/ocr.h"

namespace {

// Box-averaged reduction by a whole factor so that neither side exceeds limit
// (averaging keeps thin ruled lines that nearest sampling could skip).
struct Reduced {
  OcrImage pixels;
  int width = 0, height = 0, factor = 1;
};

Reduced reduce(unsigned char const* grey, int width, int height, int limit) {
  Reduced r;
  r.factor = std::max(1, (std::max(width, height) + limit - 1) / limit);
  r.width = width / r.factor;
  r.height = height / r.factor;
  r.pixels.resize(static_cast<std::size_t>(r.width) * r.height);
  int const f = r.factor, area = f * f;
  for (int y = 0; y < r.height; ++y)
    for (int x = 0; x < r.width; ++x) {
      int sum = 0;
      for (int dy = 0; dy < f; ++dy)
        for (int dx = 0; dx < f; ++dx) sum += grey[static_cast<std::size_t>(y * f + dy) * width + x * f + dx];
      r.pixels[static_cast<std::size_t>(y) * r.width + x] = static_cast<unsigned char>(sum / area);
    }
  return r;
}

struct Region {
  int pixels = 0;
  int min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  int corner[4] = {0, 0, 0, 0};  // pixel indices: top-left, top-right, bottom-right, bottom-left
};

}  // namespace

bool ocr_adaptive_quad(unsigned char const* grey, int width, int height, OcrQuad& quad) {
  if (!grey || width < ocr_min_side || height < ocr_min_side || ocr_picture_bytes(width, height, 1) == 0)
    return false;
  Reduced const s = reduce(grey, width, height, 640);
  int const W = s.width, H = s.height;
  if (W < 40 || H < 40) return false;
  // Dark = more than 8 grey levels below the mean of a window about a fiftieth of
  // the shorter side across (a few line widths, well under a cell).
  std::vector<long long> integral(static_cast<std::size_t>(W + 1) * (H + 1), 0);
  for (int y = 0; y < H; ++y) {
    long long row = 0;
    for (int x = 0; x < W; ++x) {
      row += s.pixels[static_cast<std::size_t>(y) * W + x];
      integral[static_cast<std::size_t>(y + 1) * (W + 1) + x + 1] = integral[static_cast<std::size_t>(y) * (W + 1) + x + 1] + row;
    }
  }
  int const r = std::max(3, std::min(W, H) / 50);
  std::vector<unsigned char> mask(static_cast<std::size_t>(W) * H, 0);
  for (int y = 0; y < H; ++y) {
    int const y0 = std::max(0, y - r), y1 = std::min(H, y + r + 1);
    for (int x = 0; x < W; ++x) {
      int const x0 = std::max(0, x - r), x1 = std::min(W, x + r + 1);
      long long const sum = integral[static_cast<std::size_t>(y1) * (W + 1) + x1] -
                            integral[static_cast<std::size_t>(y0) * (W + 1) + x1] -
                            integral[static_cast<std::size_t>(y1) * (W + 1) + x0] +
                            integral[static_cast<std::size_t>(y0) * (W + 1) + x0];
      long long const area = static_cast<long long>(y1 - y0) * (x1 - x0);
      mask[static_cast<std::size_t>(y) * W + x] =
          static_cast<long long>(s.pixels[static_cast<std::size_t>(y) * W + x] + 8) * area < sum;
    }
  }
  // The grid's ruling is one connected piece: take the 8-connected region with the
  // largest roughly square bounding box.
  std::vector<int> label(mask.size(), 0), stack;
  Region best;
  long long best_area = 0;
  int const min_side = std::min(W, H) / 5;
  for (std::size_t seed = 0; seed < mask.size(); ++seed) {
    if (!mask[seed] || label[seed]) continue;
    Region reg;
    reg.min_x = reg.max_x = static_cast<int>(seed % W);
    reg.min_y = reg.max_y = static_cast<int>(seed / W);
    for (int& c : reg.corner) c = static_cast<int>(seed);
    int best_sum = -1, best_diff = 0, worst_sum = 0, worst_diff = 0;
    label[seed] = 1;
    stack.assign(1, static_cast<int>(seed));
    while (!stack.empty()) {
      int const p = stack.back();
      stack.pop_back();
      int const x = p % W, y = p / W;
      ++reg.pixels;
      reg.min_x = std::min(reg.min_x, x);
      reg.max_x = std::max(reg.max_x, x);
      reg.min_y = std::min(reg.min_y, y);
      reg.max_y = std::max(reg.max_y, y);
      int const sum = x + y, diff = x - y;
      if (best_sum < 0 || sum < best_sum) best_sum = sum, reg.corner[0] = p;
      if (sum > worst_sum) worst_sum = sum, reg.corner[2] = p;
      if (diff > best_diff || reg.pixels == 1) best_diff = diff, reg.corner[1] = p;
      if (diff < worst_diff || reg.pixels == 1) worst_diff = diff, reg.corner[3] = p;
      for (int dy = -1; dy <= 1; ++dy) {
        int const ny = y + dy;
        if (ny < 0 || ny >= H) continue;
        for (int dx = -1; dx <= 1; ++dx) {
          int const nx = x + dx;
          if (nx < 0 || nx >= W) continue;
          int const q = ny * W + nx;
          if (mask[q] && !label[q]) {
            label[q] = 1;
            stack.push_back(q);
          }
        }
      }
    }
    int const bw = reg.max_x - reg.min_x + 1, bh = reg.max_y - reg.min_y + 1;
    if (bw < min_side || bh < min_side || bw > 2 * bh || bh > 2 * bw) continue;
    long long const area = static_cast<long long>(bw) * bh;
    if (area > best_area) {
      best_area = area;
      best = reg;
    }
  }
  if (best_area == 0) return false;
  double const f = s.factor, half = (s.factor - 1) / 2.0;
  for (int k = 0; k < 4; ++k) {
    quad.x[k] = static_cast<float>((best.corner[k] % W) * f + half);
    quad.y[k] = static_cast<float>((best.corner[k] / W) * f + half);
  }
  double shortest = 1e30, longest = 0;
  for (int k = 0; k < 4; ++k) {
    double const d = std::hypot(quad.x[k] - quad.x[(k + 1) % 4], quad.y[k] - quad.y[(k + 1) % 4]);
    shortest = std::min(shortest, d);
    longest = std::max(longest, d);
  }
  return shortest >= 0.2 * std::min(width, height) && longest <= 2.2 * shortest;
}

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
  OcrQuad quad;
  if (!ocr_adaptive_quad(grey, width, height, quad)) return -1;
  int const S = ocr_warp_size(width, height);
  OcrImage warped;
  int const comb = ocr_warp_comb(grey, width, height, quad, S, warped);
  if (ocr_debug) std::printf("adaptive warp comb=%d\n", comb);
  if (comb < ocr_robust_min_comb) return -1;
  return ocr_read_cells_adaptive(warped.data(), S, S, OcrBox{0, 0, S - 1, S - 1}, digits, sink);
}
