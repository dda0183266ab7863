// The region test: which boundaries between cells are drawn as region borders, by
// thicker lines or by a change of fill colour.
#include <algorithm>
#include <cmath>

#include "ocr/ocr.h"

bool ocr_fit_lattice(std::vector<double> const& profile, double first, double cell_size, float& start,
                     float& pitch) {
  int const n = static_cast<int>(profile.size());
  if (n == 0 || !(cell_size >= 4)) return false;
  // The largest profile value within 2 positions of a line, reads kept inside the
  // profile; for lines inside the profile looked up in a table made once.
  auto const window_max = [&](long centre) {
    double best = 0;
    for (long i = std::max(centre - 2, 0L); i <= std::min(centre + 2, static_cast<long>(n) - 1); ++i)
      best = std::max(best, profile[static_cast<std::size_t>(i)]);
    return best;
  };
  std::vector<double> peaks(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) peaks[static_cast<std::size_t>(i)] = window_max(i);
  auto const peak = [&](double position) {
    long const centre = std::lround(position);
    return centre >= 0 && centre < n ? peaks[static_cast<std::size_t>(centre)] : window_max(centre);
  };
  double best_score = 0;
  bool found = false;
  for (double p = 0.82 * cell_size; p <= 1.32 * cell_size + 1e-9; p += 0.25)
    for (double s = first - 1.5 * cell_size; s <= first + 1.5 * cell_size + 1e-9; s += 0.5) {
      if (s < -2 || s + 9 * p > n + 2) continue;
      double score = 0;
      for (int k = 0; k <= 9; ++k) score += peak(s + k * p);
      if (score > best_score) {
        best_score = score;
        start = static_cast<float>(s);
        pitch = static_cast<float>(p);
        found = true;
      }
    }
  return found;
}

namespace {

// Paper brightness: the mean of the pixels at or above the picture's mean grey value.
double paper_brightness(unsigned char const* grey, std::size_t count) {
  double mean = 0;
  for (std::size_t i = 0; i < count; ++i) mean += grey[i];
  mean /= static_cast<double>(count);
  double sum = 0;
  std::size_t n = 0;
  for (std::size_t i = 0; i < count; ++i)
    if (grey[i] >= mean) sum += grey[i], ++n;
  return n ? sum / static_cast<double>(n) : 255.0;
}

// Darkness below the paper, per column (across the box's rows) or per row.
std::vector<double> darkness_profile(unsigned char const* grey, int W, int H, OcrBox const& box, double paper,
                                     bool columns) {
  int const n = columns ? W : H;
  int const a = std::max(0, columns ? box.top : box.left);
  int const b = std::min(columns ? H - 1 : W - 1, columns ? box.bottom : box.right);
  std::vector<double> profile(static_cast<std::size_t>(n), 0.0);
  if (b < a) return profile;
  if (columns) {
    // Row by row, each column's sum taken in the same order as down the column.
    for (int y = a; y <= b; ++y) {
      unsigned char const* row = grey + static_cast<std::size_t>(y) * W;
      for (int x = 0; x < W; ++x) profile[static_cast<std::size_t>(x)] += std::max(0.0, paper - row[x]);
    }
  } else {
    for (int y = 0; y < H; ++y) {
      unsigned char const* row = grey + static_cast<std::size_t>(y) * W;
      double sum = 0;
      for (int x = a; x <= b; ++x) sum += std::max(0.0, paper - row[x]);
      profile[static_cast<std::size_t>(y)] = sum;
    }
  }
  for (double& v : profile) v /= (b - a + 1);
  return profile;
}

// Line strength of a boundary: darkness below T along the shared side (a quarter
// trimmed at each end), summed over the parallel lines within reach, / 255.
float line_strength(unsigned char const* grey, int W, int H, OcrLattice const& l, bool vertical, int r, int c,
                    double T) {
  // vertical: the side between (r, c) and (r, c + 1), at x = left + (c + 1) pitch_x.
  double const along0 = vertical ? l.top + r * l.pitch_y : l.left + c * l.pitch_x;
  double const side = vertical ? l.pitch_y : l.pitch_x;
  double const across = vertical ? l.left + (c + 1) * l.pitch_x : l.top + (r + 1) * l.pitch_y;
  double const reach = std::max(0.18 * (vertical ? l.pitch_x : l.pitch_y), 1.0);
  int const a = static_cast<int>(std::ceil(along0 + side / 4)), b = static_cast<int>(std::floor(along0 + 3 * side / 4));
  if (b - a + 1 < 2) return 0;
  int const limit_along = vertical ? H : W, limit_across = vertical ? W : H;
  double total = 0;
  for (int k = static_cast<int>(std::ceil(across - reach)); k <= static_cast<int>(std::floor(across + reach)); ++k) {
    if (k < 0 || k >= limit_across) continue;
    double sum = 0;
    int count = 0;
    for (int t = std::max(a, 0); t <= std::min(b, limit_along - 1); ++t) {
      int const x = vertical ? k : t, y = vertical ? t : k;
      sum += std::max(0.0, T - grey[static_cast<std::size_t>(y) * W + x]);
      ++count;
    }
    if (count) total += sum / count;
  }
  return static_cast<float>(total / 255.0);
}

float colour_difference(OcrCellDescription const& a, OcrCellDescription const& b, int entry_a, int entry_b) {
  if (entry_a >= 0 && entry_b >= 0) return entry_a == entry_b ? 0.0f : 1000.0f;
  float const d0 = a[0] - b[0], d2 = a[2] - b[2], d3 = a[3] - b[3];
  return d0 * d0 + d2 * d2 + d3 * d3;
}

// Element n / 2 after selection, at least 0.001; 1 for an empty set.
float median_of(std::vector<float> values) {
  if (values.empty()) return 1.0f;
  std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2), values.end());
  return std::max(values[values.size() / 2], 0.001f);
}

}  // namespace

OcrTestOutcome ocr_region_test(OcrPictureView const& picture, unsigned char const* grey, OcrBox const& box,
                               int* regions, bool description_differences) {
  std::fill_n(regions, 81, 0);
  int const W = picture.width, H = picture.height;
  OcrLattice lattice = ocr_box_lattice(box);
  if (lattice.pitch_x < 6 || lattice.pitch_y < 6) return OcrTestOutcome::unmeasured;
  double const paper = paper_brightness(grey, static_cast<std::size_t>(W) * H);
  float start = 0, pitch = 0;
  // A profile without any line to fit leaves nothing to measure.
  if (!ocr_fit_lattice(darkness_profile(grey, W, H, box, paper, true), box.left, lattice.pitch_x, start, pitch))
    return OcrTestOutcome::unmeasured;
  lattice.left = start;
  lattice.pitch_x = pitch;
  if (!ocr_fit_lattice(darkness_profile(grey, W, H, box, paper, false), box.top, lattice.pitch_y, start, pitch))
    return OcrTestOutcome::unmeasured;
  lattice.top = start;
  lattice.pitch_y = pitch;
  if (lattice.pitch_x < 6 || lattice.pitch_y < 6) return OcrTestOutcome::unmeasured;

  std::array<OcrCellDescription, 81> cells;
  if (!ocr_describe_cells(picture, grey, lattice, cells)) return OcrTestOutcome::unmeasured;
  std::vector<OcrColour> const palette = ocr_palette(picture, grey, lattice);
  std::array<int, 81> const entries = ocr_palette_entries(picture, grey, lattice, palette);

  float lines_v[72], lines_h[72], colour_v[72], colour_h[72];
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      std::size_t const cell = static_cast<std::size_t>(9 * r + c);
      if (c < 8) {
        double const T = (cells[cell][0] + cells[cell + 1][0]) / 2;
        lines_v[r * 8 + c] = line_strength(grey, W, H, lattice, true, r, c, T);
        colour_v[r * 8 + c] = colour_difference(cells[cell], cells[cell + 1], entries[cell], entries[cell + 1]);
      }
      if (r < 8) {
        double const T = (cells[cell][0] + cells[cell + 9][0]) / 2;
        lines_h[r * 9 + c] = line_strength(grey, W, H, lattice, false, r, c, T);
        colour_h[r * 9 + c] = colour_difference(cells[cell], cells[cell + 9], entries[cell], entries[cell + 9]);
      }
    }
  if (ocr_regions_from_strengths(lines_v, lines_h, regions) || ocr_regions_from_strengths(colour_v, colour_h, regions))
    return OcrTestOutcome::present;
  std::vector<float> all_lines(lines_v, lines_v + 72), all_colours(colour_v, colour_v + 72);
  all_lines.insert(all_lines.end(), lines_h, lines_h + 72);
  all_colours.insert(all_colours.end(), colour_h, colour_h + 72);
  float const line_scale = median_of(all_lines), colour_scale = median_of(all_colours);
  float both_v[72], both_h[72];
  for (int i = 0; i < 72; ++i) {
    both_v[i] = std::max(lines_v[i] / line_scale, colour_v[i] / colour_scale);
    both_h[i] = std::max(lines_h[i] / line_scale, colour_h[i] / colour_scale);
  }
  if (ocr_regions_from_strengths(both_v, both_h, regions)) return OcrTestOutcome::present;
  if (description_differences) {
    // Fills of one hue in several shades (grey print) or pale tints that the
    // palette merges: the cells' own brightness and shares tell them apart.
    for (int r = 0; r < 9; ++r)
      for (int c = 0; c < 9; ++c) {
        std::size_t const cell = static_cast<std::size_t>(9 * r + c);
        if (c < 8) both_v[r * 8 + c] = colour_difference(cells[cell], cells[cell + 1], -1, -1);
        if (r < 8) both_h[r * 9 + c] = colour_difference(cells[cell], cells[cell + 9], -1, -1);
      }
    if (ocr_regions_from_strengths(both_v, both_h, regions)) return OcrTestOutcome::present;
    // The hue alone: shaded cells (marked diagonals) keep the hue of their fill.
    auto const hue_difference = [&](std::size_t a, std::size_t b) {
      float const dr = cells[a][2] - cells[b][2], dg = cells[a][3] - cells[b][3];
      return dr * dr + dg * dg;
    };
    for (int r = 0; r < 9; ++r)
      for (int c = 0; c < 9; ++c) {
        std::size_t const cell = static_cast<std::size_t>(9 * r + c);
        if (c < 8) both_v[r * 8 + c] = hue_difference(cell, cell + 1);
        if (r < 8) both_h[r * 9 + c] = hue_difference(cell, cell + 9);
      }
    if (ocr_regions_from_strengths(both_v, both_h, regions)) return OcrTestOutcome::present;
  }
  std::fill_n(regions, 81, 0);
  return OcrTestOutcome::absent;
}
