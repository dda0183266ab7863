// Isolating the digit of one cell window and normalising it into a 24 x 24 patch.
#include <algorithm>
#include <cmath>

#include "ocr/ocr.h"

float ocr_median(unsigned char const* values, std::size_t count) {
  if (!values || count == 0) return 0;
  // Counting selection: the element at index count / 2 of the sorted values.
  std::size_t histogram[256] = {};
  for (std::size_t i = 0; i < count; ++i) ++histogram[values[i]];
  std::size_t const wanted = count / 2;
  std::size_t seen = 0;
  for (int v = 0; v < 256; ++v) {
    seen += histogram[v];
    if (seen > wanted) return static_cast<float>(v);
  }
  return 255;
}

std::vector<float> ocr_resample_area(float const* image, int rows, int columns, int out_rows, int out_columns) {
  std::vector<float> out;
  if (!image || rows <= 0 || columns <= 0 || out_rows <= 0 || out_columns <= 0) return out;
  out.assign(static_cast<std::size_t>(out_rows) * out_columns, 0.0f);
  auto range = [](int i, int n, int m, int& first, int& last) {
    long long const a = static_cast<long long>(i) * n / m;
    long long const b = std::max((static_cast<long long>(i + 1) * n + m - 1) / m, a + 1);
    first = static_cast<int>(a);
    last = static_cast<int>(std::min<long long>(b, n));
  };
  for (int i = 0; i < out_rows; ++i) {
    int r0, r1;
    range(i, rows, out_rows, r0, r1);
    for (int j = 0; j < out_columns; ++j) {
      int c0, c1;
      range(j, columns, out_columns, c0, c1);
      double sum = 0;
      for (int r = r0; r < r1; ++r)
        for (int c = c0; c < c1; ++c) sum += image[static_cast<std::size_t>(r) * columns + c];
      int const area = (r1 - r0) * (c1 - c0);
      out[static_cast<std::size_t>(i) * out_columns + j] = area > 0 ? static_cast<float>(sum / area) : 0.0f;
    }
  }
  return out;
}

namespace {

struct Component {
  int pixels = 0;
  int min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  bool spanning = false;
  int height() const { return max_y - min_y + 1; }
  int width() const { return max_x - min_x + 1; }
};

}  // namespace

bool ocr_cell_patch(unsigned char const* cell, int rows, int columns, float* patch) {
  return ocr_cell_patch_verdict(cell, rows, columns, patch) == OcrCellVerdict::digit;
}

OcrCellVerdict ocr_cell_patch_verdict(unsigned char const* cell, int rows, int columns, float* patch) {
  if (!cell || !patch || ocr_picture_bytes(columns, rows, 1) == 0) return OcrCellVerdict::no_ink;
  std::size_t const n = static_cast<std::size_t>(columns) * rows;
  float const ink_below = ocr_median(cell, n) - 45.0f;
  thread_local std::vector<unsigned char> ink;
  ink.resize(n);
  for (std::size_t i = 0; i < n; ++i) ink[i] = cell[i] < ink_below;
  return ocr_patch_from_ink(ink.data(), rows, columns, patch);
}

OcrCellVerdict ocr_patch_from_ink(unsigned char const* ink, int rows, int columns, float* patch) {
  return ocr_patch_from_ink_min_height(ink, rows, columns, patch, 0.4);
}

OcrCellVerdict ocr_patch_from_ink_min_height(unsigned char const* ink, int rows, int columns, float* patch,
                                             double min_height) {
  if (!ink || !patch || ocr_picture_bytes(columns, rows, 1) == 0) return OcrCellVerdict::no_ink;
  int const H = rows, W = columns;
  std::size_t const n = static_cast<std::size_t>(W) * H;

  // 8-connected components of ink; label 0 = background, k + 1 = components[k].
  thread_local std::vector<int> label;
  thread_local std::vector<int> stack;
  thread_local std::vector<Component> components;
  label.assign(n, 0);
  components.clear();
  for (std::size_t seed = 0; seed < n; ++seed) {
    if (label[seed] || !ink[seed]) continue;
    components.emplace_back();
    int const id = static_cast<int>(components.size());
    Component comp;
    comp.min_x = comp.max_x = static_cast<int>(seed % W);
    comp.min_y = comp.max_y = static_cast<int>(seed / W);
    label[seed] = id;
    stack.assign(1, static_cast<int>(seed));
    while (!stack.empty()) {
      int const p = stack.back();
      stack.pop_back();
      int const x = p % W, y = p / W;
      ++comp.pixels;
      comp.min_x = std::min(comp.min_x, x);
      comp.max_x = std::max(comp.max_x, x);
      comp.min_y = std::min(comp.min_y, y);
      comp.max_y = std::max(comp.max_y, y);
      ocr_for_each_neighbour8(x, y, W, H, [&](int q) {
        if (!label[q] && ink[q]) {
          label[q] = id;
          stack.push_back(q);
        }
      });
    }
    comp.spanning = (comp.min_x == 0 && comp.max_x == W - 1) || (comp.min_y == 0 && comp.max_y == H - 1);
    components[id - 1] = comp;
  }

  int chosen = -1;
  for (std::size_t k = 0; k < components.size(); ++k)
    if (!components[k].spanning && (chosen < 0 || components[k].pixels > components[chosen].pixels))
      chosen = static_cast<int>(k);
  if (chosen < 0) return OcrCellVerdict::no_ink;
  Component const& digit = components[chosen];
  int const h = digit.height(), w = digit.width(), a = digit.pixels;
  if (a < std::max(6, static_cast<int>(0.006 * W * H))) return OcrCellVerdict::too_small;
  if (h < min_height * H) return OcrCellVerdict::too_short;
  if (w > 1.15 * h) return OcrCellVerdict::too_wide;
  if (a < 0.1 * w * h) return OcrCellVerdict::too_sparse;
  for (std::size_t k = 0; k < components.size(); ++k) {
    if (static_cast<int>(k) == chosen || components[k].spanning) continue;
    int const other = components[k].height();
    if (other >= 0.8 * h && other >= 0.4 * H) return OcrCellVerdict::ambiguous;
  }

  thread_local std::vector<float> shape;
  shape.assign(static_cast<std::size_t>(w) * h, 0.0f);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (label[static_cast<std::size_t>(digit.min_y + y) * W + digit.min_x + x] == chosen + 1)
        shape[static_cast<std::size_t>(y) * w + x] = 1.0f;

  double const s = 20.0 / std::max(w, h);
  int const nw = std::max(static_cast<int>(std::lround(w * s)), 1);
  int const nh = std::max(static_cast<int>(std::lround(h * s)), 1);
  std::vector<float> const scaled = ocr_resample_area(shape.data(), h, w, nh, nw);
  std::fill_n(patch, ocr_patch_size, 0.0f);
  int const top = (ocr_patch_side - nh) / 2, left = (ocr_patch_side - nw) / 2;
  for (int y = 0; y < nh; ++y)
    for (int x = 0; x < nw; ++x)
      patch[(top + y) * ocr_patch_side + left + x] = scaled[static_cast<std::size_t>(y) * nw + x];
  return OcrCellVerdict::digit;
}
