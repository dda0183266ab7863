// Locating a grid's ruling as a lattice of ten equally spaced lines each way, searched
// in the neighbourhood of an outline: a grid whose ink merged with a frame or text is
// cut down to its ruling, and a grid found only in part is completed.
#include <algorithm>
#include <cmath>

#include "ocr/ocr.h"

namespace {

// Darkness (bright: brightness) of the image at a point, bilinear; outside the
// picture it is paper, 0.
double darkness_at(unsigned char const* image, int W, int H, double x, double y, bool bright) {
  if (!(x >= 0 && y >= 0 && x < W - 1 && y < H - 1)) return 0;
  int const x0 = static_cast<int>(x), y0 = static_cast<int>(y);
  double const fx = x - x0, fy = y - y0;
  unsigned char const* p = image + static_cast<std::size_t>(y0) * W + x0;
  double const v = (p[0] * (1 - fx) + p[1] * fx) * (1 - fy) + (p[W] * (1 - fx) + p[W + 1] * fx) * fy;
  return bright ? v : 255.0 - v;
}

// Mean darkness along lines of the outline's unit square: for rows, at n positions
// v from lo to hi, each averaged over m positions u from cross_lo to cross_hi
// (columns: u and v swapped).
std::vector<double> axis_profile(unsigned char const* image, int W, int H, OcrHomography const& h, bool rows,
                                 double lo, double hi, int n, double cross_lo, double cross_hi, int m, bool bright) {
  std::vector<double> profile(static_cast<std::size_t>(n), 0.0);
  for (int i = 0; i < n; ++i) {
    double const t = lo + (hi - lo) * i / (n - 1);
    double sum = 0;
    for (int j = 0; j < m; ++j) {
      double const c = cross_lo + (cross_hi - cross_lo) * (j + 0.5) / m;
      double const u = rows ? c : t, v = rows ? t : c;
      double const w = h[6] * u + h[7] * v + h[8];
      if (std::fabs(w) < 1e-9) continue;
      sum += darkness_at(image, W, H, (h[0] * u + h[1] * v + h[2]) / w, (h[3] * u + h[4] * v + h[5]) / w, bright);
    }
    profile[static_cast<std::size_t>(i)] = sum / m;
  }
  return profile;
}

// How much each position stands out as a thin line: its darkness above the brighter
// of the two sides (4 to 7 samples off), at most 12 grey levels counting, widened by
// one sample each way at 0.7 of its value (lines bent by perspective still count, but
// a lattice through the lines' middles beats one along their edges). Broad dark areas
// (text blocks, shadows) do not count.
std::vector<double> line_strength(std::vector<double> const& profile) {
  int const n = static_cast<int>(profile.size());
  std::vector<double> z(static_cast<std::size_t>(n), 0.0), pooled(static_cast<std::size_t>(n), 0.0);
  auto const side = [&](int i, int sign) {
    double sum = 0;
    int count = 0;
    for (int d = 4; d <= 7; ++d) {
      int const at = i + sign * d;
      if (at < 0 || at >= n) continue;
      sum += profile[static_cast<std::size_t>(at)];
      ++count;
    }
    return count ? sum / count : 1e30;
  };
  for (int i = 0; i < n; ++i) {
    double const before = side(i, -1), after = side(i, 1);
    double const base = before > 1e29 ? after : (after > 1e29 ? before : std::max(before, after));
    z[static_cast<std::size_t>(i)] = std::clamp((profile[static_cast<std::size_t>(i)] - base) / 12.0, 0.0, 1.0);
  }
  for (int i = 0; i < n; ++i) {
    double next = 0;
    if (i > 0) next = std::max(next, z[static_cast<std::size_t>(i - 1)]);
    if (i + 1 < n) next = std::max(next, z[static_cast<std::size_t>(i + 1)]);
    pooled[static_cast<std::size_t>(i)] = std::max(z[static_cast<std::size_t>(i)], 0.7 * next);
  }
  return pooled;
}

// The ten equally spaced lines that best match a strength profile over lo..hi, the
// pitch between min_pitch and max_pitch (unit-square lengths): their first and last
// position. Among equal sums the first found (smallest pitch, then start) is kept.
struct LatticeFit {
  double first = 0, last = 1, score = -1;
};

LatticeFit fit_lattice(std::vector<double> const& strength, double lo, double hi, double min_pitch,
                       double max_pitch) {
  LatticeFit best;
  int const n = static_cast<int>(strength.size());
  double const per_sample = (hi - lo) / (n - 1);
  double const p_min = min_pitch / per_sample, p_max = max_pitch / per_sample;
  for (double p = p_min; p <= p_max; p += std::max(0.25, 0.01 * p)) {
    int const last_start = static_cast<int>(std::floor(n - 1 - 9 * p));
    int offset[10];
    for (int k = 0; k <= 9; ++k) offset[k] = static_cast<int>(k * p + 0.5);
    for (int a = 0; a <= last_start; ++a) {
      double const* at = strength.data() + a;
      double sum = 0;
      for (int k = 0; k <= 9; ++k) sum += at[offset[k]];
      if (sum > best.score) {
        best.score = sum;
        best.first = lo + a * per_sample;
        best.last = lo + (a + 9 * p) * per_sample;
      }
    }
  }
  return best;
}

}  // namespace

bool ocr_fit_outline_lattice(unsigned char const* image, int width, int height, OcrQuad const& quad, bool bright,
                     OcrQuad& fitted, std::vector<OcrQuad>* shifted) {
  if (!image || width < ocr_min_side || height < ocr_min_side || ocr_picture_bytes(width, height, 1) == 0)
    return false;
  OcrHomography h{};
  if (!ocr_homography(quad, h)) return false;
  double side = 0;
  for (int k = 0; k < 4; ++k)
    side += std::hypot(quad.x[k] - quad.x[(k + 1) % 4], quad.y[k] - quad.y[(k + 1) % 4]) / 4;
  if (!std::isfinite(side)) return false;
  // About one sample per pixel across the lines, so that thin lines are not skipped.
  int const n = std::clamp(static_cast<int>(2 * side), 60, 1400), m = 32;
  double const lo = -0.5, hi = 1.5, min_pitch = 0.55 / 9, max_pitch = 1.7 / 9;
  auto const fit = [&](bool rows, double cross_lo, double cross_hi) {
    return fit_lattice(line_strength(axis_profile(image, width, height, h, rows, lo, hi, n, cross_lo, cross_hi, m,
                                                  bright)),
                       lo, hi, min_pitch, max_pitch);
  };
  LatticeFit u = fit(false, 0, 1);
  LatticeFit const v = fit(true, u.first, u.last);
  u = fit(false, v.first, v.last);
  if (u.score < 0 || v.score < 0) return false;
  auto const corners = [&](double u0, double u1, double v0, double v1, OcrQuad& q) {
    double const us[4] = {u0, u1, u1, u0}, vs[4] = {v0, v0, v1, v1};
    for (int k = 0; k < 4; ++k) {
      double const w = h[6] * us[k] + h[7] * vs[k] + h[8];
      if (std::fabs(w) < 1e-9) return false;
      q.x[k] = static_cast<float>((h[0] * us[k] + h[1] * vs[k] + h[2]) / w);
      q.y[k] = static_cast<float>((h[3] * us[k] + h[4] * vs[k] + h[5]) / w);
    }
    return true;
  };
  if (!corners(u.first, u.last, v.first, v.last, fitted)) return false;
  if (shifted) {
    // The same lattice moved by one pitch each way along each axis: a rule or a line of
    // text one pitch beyond the ruling matches as well as the ruling's own last line.
    shifted->clear();
    double const pu = (u.last - u.first) / 9, pv = (v.last - v.first) / 9;
    for (int sign = -1; sign <= 1; sign += 2) {
      OcrQuad q;
      if (corners(u.first + sign * pu, u.last + sign * pu, v.first, v.last, q)) shifted->push_back(q);
      if (corners(u.first, u.last, v.first + sign * pv, v.last + sign * pv, q)) shifted->push_back(q);
    }
  }
  return true;
}
