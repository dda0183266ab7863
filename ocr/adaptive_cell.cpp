// The cells of the second reading: an ink threshold adapted to each window, ruled-line
// remnants cleared, and a second look through a slight blur at a window whose ink
// broke into pieces.
#include <algorithm>
#include <vector>

#include "ocr/ocr.h"

namespace {

// Least height of a digit seen through the mean, as a fraction of the window.
constexpr double kShortDigit = 0.33;

// Ink below the threshold depth of the way from the window's paper (median) down to
// its darkest central ink (3rd percentile of the middle 60%); false when that ink is
// less than 20 levels below the paper.
bool threshold_ink(unsigned char const* cell, int H, int W, std::vector<unsigned char>& ink, double depth) {
  std::size_t const n = static_cast<std::size_t>(W) * H;
  float const paper = ocr_median(cell, n);
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
  if (paper - static_cast<float>(darkest) < 20.0f) return false;
  float const ink_below = paper - static_cast<float>(depth) * (paper - static_cast<float>(darkest));
  ink.resize(n);
  for (std::size_t i = 0; i < n; ++i) ink[i] = cell[i] < ink_below;
  return true;
}

// Remnants of the ruling: columns, then rows, in the outer quarter bands that are
// more than half ink are cleared, so that a digit touching one stays a shape of its
// own (a digit's bar, well under half the window wide, is kept).
void clear_line_remnants(int H, int W, std::vector<unsigned char>& ink) {
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
}

// Pieces of ink that lie wholly within an outer quarter band of the window and touch
// the border there or run along it (three times longer than thick): the rest of a
// ruled line broken by the threshold or by the cut, or print of the next cell. A digit
// sits in the middle of its cell, so none of its strokes is such a piece.
void clear_border_pieces(int H, int W, std::vector<unsigned char>& ink) {
  std::size_t const n = static_cast<std::size_t>(W) * H;
  thread_local std::vector<int> stack, members;
  thread_local std::vector<unsigned char> seen;
  seen.assign(n, 0);
  for (std::size_t seed = 0; seed < n; ++seed) {
    if (!ink[seed] || seen[seed]) continue;
    int min_x = W, max_x = -1, min_y = H, max_y = -1;
    members.clear();
    stack.assign(1, static_cast<int>(seed));
    seen[seed] = 1;
    while (!stack.empty()) {
      int const p = stack.back();
      stack.pop_back();
      members.push_back(p);
      int const x = p % W, y = p / W;
      min_x = std::min(min_x, x);
      max_x = std::max(max_x, x);
      min_y = std::min(min_y, y);
      max_y = std::max(max_y, y);
      ocr_for_each_neighbour8(x, y, W, H, [&](int q) {
        if (ink[q] && !seen[q]) {
          seen[q] = 1;
          stack.push_back(q);
        }
      });
    }
    int const w = max_x - min_x + 1, h = max_y - min_y + 1;
    bool const upright = h >= 3 * w, flat = w >= 3 * h;
    bool const in_band = (max_x < W / 4 && (min_x == 0 || upright)) ||
                         (min_x >= W - W / 4 && (max_x == W - 1 || upright)) ||
                         (max_y < H / 4 && (min_y == 0 || flat)) || (min_y >= H - H / 4 && (max_y == H - 1 || flat));
    if (in_band)
      for (int p : members) ink[static_cast<std::size_t>(p)] = 0;
  }
}

OcrCellVerdict adaptive_patch(unsigned char const* cell, int H, int W, float* patch, double min_height = 0.4,
                              double depth = 0.5) {
  thread_local std::vector<unsigned char> ink;
  if (!threshold_ink(cell, H, W, ink, depth)) return OcrCellVerdict::no_ink;
  clear_line_remnants(H, W, ink);
  clear_border_pieces(H, W, ink);
  return ocr_patch_from_ink_min_height(ink.data(), H, W, patch, min_height);
}

}  // namespace

OcrCellVerdict ocr_cell_patch_adaptive(unsigned char const* cell, int rows, int columns, float* patch) {
  if (!cell || !patch || ocr_picture_bytes(columns, rows, 1) == 0) return OcrCellVerdict::no_ink;
  int const H = rows, W = columns;
  OcrCellVerdict const verdict = adaptive_patch(cell, H, W, patch);
  if (verdict != OcrCellVerdict::too_short && verdict != OcrCellVerdict::too_small) return verdict;
  // A faint or noisy digit whose strokes broke apart: look again through a 3 x 3 mean,
  // which joins pieces a pixel or two apart and evens out the noise.
  thread_local std::vector<unsigned char> blurred;
  blurred.resize(static_cast<std::size_t>(W) * H);
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      int sum = 0, count = 0;
      for (int dy = -1; dy <= 1; ++dy)
        for (int dx = -1; dx <= 1; ++dx) {
          int const yy = y + dy, xx = x + dx;
          if (yy < 0 || yy >= H || xx < 0 || xx >= W) continue;
          sum += cell[static_cast<std::size_t>(yy) * W + xx];
          ++count;
        }
      blurred[static_cast<std::size_t>(y) * W + x] = static_cast<unsigned char>(sum / count);
    }
  float second[ocr_patch_size];
  if (adaptive_patch(blurred.data(), H, W, second, kShortDigit) != OcrCellVerdict::digit) return verdict;
  std::copy_n(second, ocr_patch_size, patch);
  return OcrCellVerdict::digit;
}

OcrCellVerdict ocr_cell_patch_adaptive_depth(unsigned char const* cell, int rows, int columns, float* patch,
                                             double depth) {
  if (!cell || !patch || ocr_picture_bytes(columns, rows, 1) == 0 || !(depth > 0 && depth < 1))
    return OcrCellVerdict::no_ink;
  return adaptive_patch(cell, rows, columns, patch, 0.4, depth);
}
