// Checking a box for a 9x9 ruling (the comb score), repairing a span one cell too
// short or too long, and the grid bounds used by the rule detectors.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ocr/ocr.h"

namespace {

// Peaks of a darkness profile: local maxima above mean + 0.6 standard deviations.
std::vector<int> profile_peaks(std::vector<double> const& profile) {
  std::vector<int> peaks;
  std::size_t const n = profile.size();
  if (n < 3) return peaks;
  double sum = 0;
  for (double p : profile) sum += p;
  double const mean = sum / static_cast<double>(n);
  double var = 0;
  for (double p : profile) var += (p - mean) * (p - mean);
  // The small margin keeps rounding in the mean of a flat profile from making peaks.
  double const limit = mean + 0.6 * std::sqrt(var / static_cast<double>(n)) + 1e-9;
  for (std::size_t i = 1; i + 1 < n; ++i)
    if (profile[i] >= profile[i - 1] && profile[i] >= profile[i + 1] && profile[i] > limit)
      peaks.push_back(static_cast<int>(i));
  return peaks;
}

int comb_hits(std::vector<int> const& peaks, int size) {
  int const tolerance = std::max(size / 40, 3);
  int hits = 0;
  for (int k = 1; k <= 8; ++k) {
    int const target = k * size / 9;
    for (int p : peaks)
      if (std::abs(p - target) <= tolerance) {
        ++hits;
        break;
      }
  }
  return hits;
}

}  // namespace

int ocr_comb_score(unsigned char const* image, int width, int height) {
  if (!image || ocr_picture_bytes(width, height, 1) == 0) return 0;
  std::vector<double> rows(static_cast<std::size_t>(height), 0.0), columns(static_cast<std::size_t>(width), 0.0);
  for (int y = 0; y < height; ++y) {
    unsigned char const* row = image + static_cast<std::size_t>(y) * width;
    long long sum = 0;
    for (int x = 0; x < width; ++x) {
      sum += row[x];
      columns[x] += row[x];
    }
    rows[y] = -static_cast<double>(sum) / width;
  }
  for (auto& c : columns) c = -c / height;
  return comb_hits(profile_peaks(rows), height) + comb_hits(profile_peaks(columns), width);
}

int ocr_box_comb(unsigned char const* grey, int width, int height, OcrBox const& box) {
  if (!grey || ocr_picture_bytes(width, height, 1) == 0) return -1;
  if (box.left < 0 || box.top < 0 || box.right >= width || box.bottom >= height) return -1;
  int const w = box.right - box.left + 1, h = box.bottom - box.top + 1;
  if (w < ocr_min_side || h < ocr_min_side) return -1;
  OcrImage crop(static_cast<std::size_t>(w) * h);
  for (int y = 0; y < h; ++y)
    std::copy_n(grey + static_cast<std::size_t>(box.top + y) * width + box.left, w,
                crop.begin() + static_cast<std::ptrdiff_t>(y) * w);
  return ocr_comb_score(crop.data(), w, h);
}

double ocr_line_pitch(std::vector<int> const& lines, int low, int high) {
  std::vector<int> gaps;
  for (std::size_t i = 1; i < lines.size(); ++i) {
    int const gap = lines[i] - lines[i - 1];
    if (lines[i - 1] >= low - 2 && lines[i] <= high + 2 && gap > 2) gaps.push_back(gap);
  }
  if (gaps.size() < 5) return 0;
  std::sort(gaps.begin(), gaps.end());
  double const pitch = gaps[gaps.size() / 2];
  std::size_t close = 0;
  for (int g : gaps) close += std::abs(g - pitch) <= 0.15 * pitch;
  if (static_cast<double>(close) < 0.75 * static_cast<double>(gaps.size())) return 0;
  return pitch;
}

namespace {

// Dark pixels (< 128) in the five rows (or columns) centred on position.
long long dark_around(unsigned char const* grey, int width, int height, bool rows, int position) {
  long long dark = 0;
  int const lines = rows ? height : width;
  for (int i = position - 2; i <= position + 2; ++i) {
    if (i < 0 || i >= lines) continue;
    if (rows) {
      unsigned char const* row = grey + static_cast<std::size_t>(i) * width;
      for (int x = 0; x < width; ++x) dark += row[x] < 128;
    } else {
      for (int y = 0; y < height; ++y) dark += grey[static_cast<std::size_t>(y) * width + i] < 128;
    }
  }
  return dark;
}

}  // namespace

bool ocr_repair_span(unsigned char const* grey, int width, int height, bool rows, std::vector<int> const& lines,
                     int& low, int& high) {
  if (!grey || ocr_picture_bytes(width, height, 1) == 0) return false;
  double const p = ocr_line_pitch(lines, low, high);
  if (p < 4) return false;
  double const cells = (high - low) / p;
  long const n = std::lround(cells);
  if ((n != 8 && n != 10) || std::fabs(cells - static_cast<double>(n)) > 0.2) return false;
  int const full = static_cast<int>(std::lround(9 * p));
  int const last = (rows ? height : width) - 1;
  int new_low = low, new_high = high;
  double over = 0;
  if (dark_around(grey, width, height, rows, low) < dark_around(grey, width, height, rows, high)) {
    new_low = high - full;
    over = -static_cast<double>(new_low);
  } else {
    new_high = low + full;
    over = static_cast<double>(new_high - last);
  }
  if (over > 1.5 * p) {
    if (ocr_debug) std::printf("repair: refused (n=%d pitch=%.1f over=%.1f)\n", static_cast<int>(n), p, over);
    return false;
  }
  if (ocr_debug)
    std::printf("repair: [%d,%d] n=%d pitch=%.1f -> [%d,%d]\n", low, high, static_cast<int>(n), p, new_low, new_high);
  low = new_low;
  high = new_high;
  return true;
}

void ocr_grid_bounds(unsigned char const* grey, int width, int height, bool whole_image, OcrBox& box) {
  box = OcrBox{0, 0, width - 1, height - 1};
  if (whole_image || !grey || ocr_picture_bytes(width, height, 1) == 0) return;
  if (!ocr_find_box(grey, width, height, box, false) && !ocr_find_box(grey, width, height, box, true))
    ocr_fallback_box(grey, width, height, box);
  ocr_repair_span(grey, width, height, true, ocr_line_runs(grey, width, height, 128, true), box.top, box.bottom);
  ocr_repair_span(grey, width, height, false, ocr_line_runs(grey, width, height, 128, false), box.left, box.right);
}

bool ocr_locate_grid(unsigned char const* grey, int width, int height, int* left, int* top, int* right,
                     int* bottom) {
  if (!grey || !left || !top || !right || !bottom || width < ocr_min_side || height < ocr_min_side) return false;
  std::size_t const count = ocr_picture_bytes(width, height, 1);
  if (count == 0) return false;
  OcrImage image(grey, grey + count);
  ocr_normalise_polarity(image, width, height);
  OcrBox a, b;
  bool const found_a = ocr_find_box(image.data(), width, height, a, false);
  bool const found_b = ocr_find_box(image.data(), width, height, b, true);
  int const comb_a = found_a ? ocr_box_comb(image.data(), width, height, a) : -1;
  int const comb_b = found_b ? ocr_box_comb(image.data(), width, height, b) : -1;
  OcrBox chosen;
  if (!found_a) {
    if (!found_b || comb_b < 14) return false;
    chosen = b;
  } else {
    chosen = (found_b && comb_b > comb_a) ? b : a;
  }
  *left = chosen.left;
  *top = chosen.top;
  *right = chosen.right;
  *bottom = chosen.bottom;
  return true;
}
