// Finding the grid's box from its ruled lines: line runs, the two box searches and
// the fallback box.
#include <algorithm>
#include <cmath>

#include "ocr/ocr.h"

std::vector<int> ocr_line_runs(unsigned char const* grey, int width, int height, double threshold, bool rows) {
  std::vector<int> positions;
  if (!grey || ocr_picture_bytes(width, height, 1) == 0) return positions;
  int const lines = rows ? height : width;
  int const length = rows ? width : height;
  std::vector<int> dark(static_cast<std::size_t>(lines), 0);
  // A byte is below the threshold exactly when it is below its ceiling.
  int const limit = std::isnan(threshold) ? -1 : static_cast<int>(std::ceil(std::clamp(threshold, -1.0, 256.0)));
  int* __restrict const counts = dark.data();
  for (int y = 0; y < height; ++y) {
    unsigned char const* __restrict const row = grey + static_cast<std::size_t>(y) * width;
    // Sixteen bytes at a time (a fixed count the compiler turns into vector
    // compares), then the rest.
    int x = 0;
    if (rows) {
      int n = 0;
      for (; x + 16 <= width; x += 16)
        for (int k = 0; k < 16; ++k) n += row[x + k] < limit;
      for (; x < width; ++x) n += row[x] < limit;
      counts[y] = n;
    } else {
      for (; x + 16 <= width; x += 16)
        for (int k = 0; k < 16; ++k) counts[x + k] += row[x + k] < limit;
      for (; x < width; ++x) counts[x] += row[x] < limit;
    }
  }
  double const needed = 0.35 * length;
  int run_start = -1;
  for (int i = 0; i <= lines; ++i) {
    bool const line = i < lines && dark[i] > needed;
    if (line && run_start < 0) run_start = i;
    if (!line && run_start >= 0) {
      positions.push_back((run_start + i - 1) / 2);
      run_start = -1;
    }
  }
  return positions;
}

double ocr_two_means_threshold(unsigned char const* grey, std::size_t count) {
  if (count == 0) return 128.0;
  unsigned long long histogram[256] = {};
  for (std::size_t i = 0; i < count; ++i) ++histogram[grey[i]];
  double total = 0;
  for (int v = 0; v < 256; ++v) total += static_cast<double>(histogram[v]) * v;
  double const mean = total / static_cast<double>(count);
  double low_sum = 0, high_sum = 0;
  unsigned long long low_n = 0, high_n = 0;
  for (int v = 0; v < 256; ++v) {
    if (v < mean) {
      low_sum += static_cast<double>(histogram[v]) * v;
      low_n += histogram[v];
    } else {
      high_sum += static_cast<double>(histogram[v]) * v;
      high_n += histogram[v];
    }
  }
  if (low_n == 0 || high_n == 0) return mean;
  return (low_sum / static_cast<double>(low_n) + high_sum / static_cast<double>(high_n)) / 2.0;
}

namespace {

// True when a sorted position list holds a value within tolerance of target.
bool has_near(std::vector<int> const& positions, double target, double tolerance) {
  auto it = std::lower_bound(positions.begin(), positions.end(), target - tolerance,
                             [](int p, double v) { return p < v; });
  return it != positions.end() && *it <= target + tolerance;
}

}  // namespace

bool ocr_find_box(unsigned char const* grey, int width, int height, OcrBox& box, bool adaptive) {
  std::size_t const count = ocr_picture_bytes(width, height, 1);
  if (!grey || count == 0) return false;
  double const threshold = adaptive ? ocr_two_means_threshold(grey, count) : 128.0;
  std::vector<int> const h = ocr_line_runs(grey, width, height, threshold, true);
  std::vector<int> const v = ocr_line_runs(grey, width, height, threshold, false);
  int const min_span = std::min(width, height) / 3;
  // The pair search is quartic in the number of line runs. A photographed grid gives
  // a few dozen runs; a picture of fine stripes can give hundreds, so the search stops
  // after a fixed amount of work with the best pair seen so far.
  long long budget = ocr_box_search_budget;
  bool found = false;
  long long best_score = 0;
  for (std::size_t a = 0; a < h.size(); ++a) {
    for (std::size_t b = a + 1; b < h.size(); ++b) {
      int const top = h[a], bottom = h[b], dy = bottom - top;
      if (dy < min_span) continue;
      double const t = 2 + std::trunc(0.06 * dy);
      if (!has_near(h, top + dy / 3.0, t) || !has_near(h, top + 2.0 * dy / 3.0, t)) continue;
      int row_hits = 0;
      for (int k = 1; k <= 8; ++k) row_hits += has_near(h, top + k * dy / 9.0, t);
      for (std::size_t c = 0; c < v.size(); ++c) {
        for (std::size_t d = c + 1; d < v.size(); ++d) {
          if (--budget < 0) return found;
          int const left = v[c], right = v[d], dx = right - left;
          if (dx < min_span) continue;
          if (std::abs(dy - dx) > 0.12 * std::max(dy, dx)) continue;
          if (!has_near(v, left + dx / 3.0, t) || !has_near(v, left + 2.0 * dx / 3.0, t)) continue;
          int hits = row_hits;
          for (int k = 1; k <= 8; ++k) hits += has_near(v, left + k * dx / 9.0, t);
          long long const score = 1000LL * hits + dx + dy;
          if (!found || score > best_score) {
            found = true;
            best_score = score;
            box = OcrBox{left, top, right, bottom};
          }
        }
      }
    }
  }
  return found;
}

void ocr_fallback_box(unsigned char const* grey, int width, int height, OcrBox& box) {
  OcrBox const whole{0, 0, width - 1, height - 1};
  box = whole;
  if (!grey || ocr_picture_bytes(width, height, 1) == 0) return;
  std::vector<int> row_dark(static_cast<std::size_t>(height), 0), column_dark(static_cast<std::size_t>(width), 0);
  for (int y = 0; y < height; ++y) {
    unsigned char const* row = grey + static_cast<std::size_t>(y) * width;
    for (int x = 0; x < width; ++x) {
      if (row[x] < 128) {
        ++row_dark[y];
        ++column_dark[x];
      }
    }
  }
  for (int y = 0; y < height; ++y)
    if (row_dark[y] > 0.35 * width) {
      box.top = y;
      break;
    }
  for (int y = height - 1; y >= 0; --y)
    if (row_dark[y] > 0.35 * width) {
      box.bottom = y;
      break;
    }
  for (int x = 0; x < width; ++x)
    if (column_dark[x] > 0.35 * height) {
      box.left = x;
      break;
    }
  for (int x = width - 1; x >= 0; --x)
    if (column_dark[x] > 0.35 * height) {
      box.right = x;
      break;
    }
  if (box.right - box.left < width / 3 || box.bottom - box.top < height / 3) box = whole;
}
