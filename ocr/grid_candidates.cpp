// Candidate grid outlines for the second reading: connected pieces of locally dark
// (or, for negative print and pictures turned negative by the polarity rule, locally
// bright) ink, their corners from the extremes of x + y and x - y and, refined, from
// straight lines fitted along the piece's outer edges. Every candidate is scored by
// how well the ruling of a warp of it falls on the ten lines of a 9x9 lattice.
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

std::vector<long long> integral_image(Reduced const& s) {
  int const W = s.width, H = s.height;
  std::vector<long long> integral(static_cast<std::size_t>(W + 1) * (H + 1), 0);
  for (int y = 0; y < H; ++y) {
    long long row = 0;
    for (int x = 0; x < W; ++x) {
      row += s.pixels[static_cast<std::size_t>(y) * W + x];
      integral[static_cast<std::size_t>(y + 1) * (W + 1) + x + 1] =
          integral[static_cast<std::size_t>(y) * (W + 1) + x + 1] + row;
    }
  }
  return integral;
}

struct Region {
  int id = 0, pixels = 0;
  int min_x = 0, max_x = 0, min_y = 0, max_y = 0;
  int corner[4] = {0, 0, 0, 0};  // pixel indices: top-left, top-right, bottom-right, bottom-left
  long long box_area() const { return static_cast<long long>(max_x - min_x + 1) * (max_y - min_y + 1); }
};

// Ink = more than 8 grey levels darker (bright: brighter) than the mean of the
// window of side 2r + 1 around the pixel, r a fiftieth of the shorter side: a few
// line widths, well under a cell.
std::vector<unsigned char> local_ink(Reduced const& s, std::vector<long long> const& integral, bool bright) {
  int const W = s.width, H = s.height;
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
      long long const v = s.pixels[static_cast<std::size_t>(y) * W + x];
      mask[static_cast<std::size_t>(y) * W + x] = bright ? (v - 8) * area > sum : (v + 8) * area < sum;
    }
  }
  return mask;
}

// 8-connected regions of the mask; label receives region ids (1-based). Only regions
// whose bounding box sides are at least min_side and within a factor 2 of each other
// are returned, largest bounding box first.
std::vector<Region> square_regions(std::vector<unsigned char> const& mask, int W, int H, int min_side,
                                   std::vector<int>& label) {
  label.assign(mask.size(), 0);
  std::vector<int> stack;
  std::vector<Region> kept;
  int next_id = 0;
  for (std::size_t seed = 0; seed < mask.size(); ++seed) {
    if (!mask[seed] || label[seed]) continue;
    Region reg;
    reg.id = ++next_id;
    reg.min_x = reg.max_x = static_cast<int>(seed % W);
    reg.min_y = reg.max_y = static_cast<int>(seed / W);
    for (int& c : reg.corner) c = static_cast<int>(seed);
    int best_sum = -1, best_diff = 0, worst_sum = 0, worst_diff = 0;
    label[seed] = reg.id;
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
      ocr_for_each_neighbour8(x, y, W, H, [&](int q) {
        if (mask[q] && !label[q]) {
          label[q] = reg.id;
          stack.push_back(q);
        }
      });
    }
    int const bw = reg.max_x - reg.min_x + 1, bh = reg.max_y - reg.min_y + 1;
    if (bw < min_side || bh < min_side || bw > 2 * bh || bh > 2 * bw) continue;
    kept.push_back(reg);
  }
  std::stable_sort(kept.begin(), kept.end(),
                   [](Region const& a, Region const& b) { return a.box_area() > b.box_area(); });
  return kept;
}

// The unit square of h sampled onto size x size pixels (bilinear, paper outside the
// picture): ocr_warp in single precision with the homography stepped along each row,
// for the many small warps that score candidates.
void quick_warp(unsigned char const* image, int W, int H, OcrHomography const& h, int size, OcrImage& out) {
  out.assign(static_cast<std::size_t>(size) * size, 255);
  float const step = 1.0f / static_cast<float>(size);
  for (int i = 0; i < size; ++i) {
    float const v = (static_cast<float>(i) + 0.5f) * step;
    float const u0 = 0.5f * step;
    float nx = h[0] * u0 + h[1] * v + h[2], ny = h[3] * u0 + h[4] * v + h[5], nw = h[6] * u0 + h[7] * v + h[8];
    float const dx = h[0] * step, dy = h[3] * step, dw = h[6] * step;
    unsigned char* row = out.data() + static_cast<std::size_t>(i) * size;
    for (int j = 0; j < size; ++j, nx += dx, ny += dy, nw += dw) {
      if (std::fabs(nw) < 1e-9f) continue;
      float const x = nx / nw, y = ny / nw;
      if (!(x >= 0 && y >= 0 && x < static_cast<float>(W - 1) && y < static_cast<float>(H - 1))) continue;
      int const x0 = static_cast<int>(x), y0 = static_cast<int>(y);
      float const fx = x - static_cast<float>(x0), fy = y - static_cast<float>(y0);
      unsigned char const* p = image + static_cast<std::size_t>(y0) * W + x0;
      float const top = p[0] + (p[1] - p[0]) * fx, bottom = p[W] + (p[W + 1] - p[W]) * fx;
      row[j] = static_cast<unsigned char>(std::clamp(top + (bottom - top) * fy, 0.0f, 255.0f));
    }
  }
}

double mean_side(OcrQuad const& q) {
  double side = 0;
  for (int k = 0; k < 4; ++k) side += std::hypot(q.x[k] - q.x[(k + 1) % 4], q.y[k] - q.y[(k + 1) % 4]) / 4;
  return side;
}

bool plausible(OcrQuad const& q, double min_side) {
  double shortest = 1e30, longest = 0;
  for (int k = 0; k < 4; ++k) {
    double const d = std::hypot(q.x[k] - q.x[(k + 1) % 4], q.y[k] - q.y[(k + 1) % 4]);
    if (!std::isfinite(d)) return false;
    shortest = std::min(shortest, d);
    longest = std::max(longest, d);
  }
  // Convex and wound clockwise (in picture coordinates, y down).
  for (int k = 0; k < 4; ++k) {
    int const a = k, b = (k + 1) % 4, c = (k + 2) % 4;
    double const cross = (q.x[b] - q.x[a]) * (q.y[c] - q.y[b]) - (q.y[b] - q.y[a]) * (q.x[c] - q.x[b]);
    if (!(cross > 0)) return false;
  }
  return shortest >= min_side && longest <= 2.2 * shortest;
}

// A line v = a + b u fitted to points (u, v) by least squares, refitted once without
// the points more than max(1.5, 2 x median residual) away (a frame or a digit
// touching the edge).
struct Line {
  double a = 0, b = 0;
  bool ok = false;
};

Line fit_line(std::vector<double> const& u, std::vector<double> const& v) {
  Line line;
  std::vector<char> use(u.size(), 1);
  for (int pass = 0; pass < 2; ++pass) {
    double n = 0, su = 0, sv = 0, suu = 0, suv = 0;
    for (std::size_t i = 0; i < u.size(); ++i) {
      if (!use[i]) continue;
      n += 1;
      su += u[i];
      sv += v[i];
      suu += u[i] * u[i];
      suv += u[i] * v[i];
    }
    double const det = n * suu - su * su;
    if (n < 8 || !(std::fabs(det) > 1e-9)) return Line{};
    line.b = (n * suv - su * sv) / det;
    line.a = (sv - line.b * su) / n;
    line.ok = true;
    if (pass == 1) break;
    std::vector<double> residual;
    for (std::size_t i = 0; i < u.size(); ++i) residual.push_back(std::fabs(v[i] - line.a - line.b * u[i]));
    std::vector<double> sorted = residual;
    std::nth_element(sorted.begin(), sorted.begin() + static_cast<std::ptrdiff_t>(sorted.size() / 2), sorted.end());
    double const limit = std::max(1.5, 2 * sorted[sorted.size() / 2]);
    for (std::size_t i = 0; i < u.size(); ++i) use[i] = residual[i] <= limit;
  }
  return line;
}

// The outer edges of region id: along each side of the extreme-corner quad (its
// middle 70%), the outermost pixel of the region within a band of a tenth of the
// side; lines through them, and their intersections as the refined corners.
bool refine_by_edges(std::vector<int> const& label, int W, int H, int id, OcrQuad const& q, OcrQuad& out) {
  Line lines[4];  // top, bottom: y = a + b x; left, right: x = a + b y
  for (int side = 0; side < 4; ++side) {
    bool const horizontal = side < 2;
    // Corner pairs: top 0-1, bottom 3-2, left 0-3, right 1-2.
    static constexpr int from[4] = {0, 3, 0, 1}, to[4] = {1, 2, 3, 2};
    double const u0 = horizontal ? q.x[from[side]] : q.y[from[side]];
    double const u1 = horizontal ? q.x[to[side]] : q.y[to[side]];
    double const v0 = horizontal ? q.y[from[side]] : q.x[from[side]];
    double const v1 = horizontal ? q.y[to[side]] : q.x[to[side]];
    double const length = u1 - u0;
    if (!(length > 10)) return false;
    double const band = std::max(3.0, 0.1 * length);
    bool const low_side = side == 0 || side == 2;  // top, left: outermost = smallest v
    std::vector<double> us, vs;
    int const first = static_cast<int>(std::ceil(u0 + 0.15 * length)), last = static_cast<int>(u0 + 0.85 * length);
    for (int u = first; u <= last; ++u) {
      double const expected = v0 + (v1 - v0) * (u - u0) / length;
      int const lo = std::max(0, static_cast<int>(std::floor(expected - band)));
      int const hi = std::min(horizontal ? H - 1 : W - 1, static_cast<int>(std::ceil(expected + band)));
      if (u < 0 || u >= (horizontal ? W : H)) continue;
      int found = -1;
      for (int k = 0; k <= hi - lo; ++k) {
        int const v = low_side ? lo + k : hi - k;
        std::size_t const p = horizontal ? static_cast<std::size_t>(v) * W + u : static_cast<std::size_t>(u) * W + v;
        if (label[p] == id) {
          found = v;
          break;
        }
      }
      if (found < 0) continue;
      us.push_back(u);
      vs.push_back(found);
    }
    lines[side] = fit_line(us, vs);
    if (!lines[side].ok) return false;
  }
  // Corner = intersection of a horizontal line y = a1 + b1 x and a vertical x = a2 + b2 y.
  static constexpr int h_of[4] = {0, 0, 1, 1}, v_of[4] = {2, 3, 3, 2};
  for (int k = 0; k < 4; ++k) {
    Line const& h = lines[h_of[k]];
    Line const& v = lines[v_of[k]];
    double const det = 1 - h.b * v.b;
    if (!(std::fabs(det) > 1e-6)) return false;
    double const x = (v.a + v.b * h.a) / det;
    out.x[k] = static_cast<float>(x);
    out.y[k] = static_cast<float>(h.a + h.b * x);
  }
  return true;
}

// How clearly the stretch of lattice line k next to cell j is a line: the darkest of
// the rows (columns) within two samples of the line's position against the paper on
// both sides of it (four to six samples off), 12 grey levels of contrast counting
// fully. An edge between a dark and a light area is darker than one side only; text
// and digits rarely darken the lattice position in every cell.
double segment_line(unsigned char const* image, int size, bool rows, int k, int j) {
  int const line = static_cast<int>(std::lround(k * (size - 1) / 9.0));
  double const cell = size / 9.0;
  int const from = static_cast<int>(j * cell + cell / 5), to = static_cast<int>((j + 1) * cell - cell / 5);
  if (to <= from) return 0;
  auto const mean = [&](int offset) {
    int const at = line + offset;
    if (at < 0 || at >= size) return -1.0;
    long long sum = 0;
    for (int t = from; t < to; ++t)
      sum += rows ? image[static_cast<std::size_t>(at) * size + t] : image[static_cast<std::size_t>(t) * size + at];
    return 255.0 - static_cast<double>(sum) / (to - from);
  };
  double peak = -1;
  for (int d = -2; d <= 2; ++d) peak = std::max(peak, mean(d));
  double side[2] = {0, 0};
  int counted[2] = {0, 0};
  for (int d = 4; d <= 6; ++d)
    for (int s = 0; s < 2; ++s) {
      double const m = mean(s == 0 ? -d : d);
      if (m < 0) continue;
      side[s] += m;
      ++counted[s];
    }
  if (counted[0] == 0 && counted[1] == 0) return 0;
  double base = -1e30;
  for (int s = 0; s < 2; ++s)
    if (counted[s]) base = std::max(base, side[s] / counted[s]);
  return std::clamp((peak - base) / 12.0, 0.0, 1.0);
}

}  // namespace

bool ocr_adaptive_quad(unsigned char const* grey, int width, int height, OcrQuad& quad) {
  if (!grey || width < ocr_min_side || height < ocr_min_side || ocr_picture_bytes(width, height, 1) == 0)
    return false;
  Reduced const s = reduce(grey, width, height, 640);
  int const W = s.width, H = s.height;
  if (W < 40 || H < 40) return false;
  std::vector<int> label;
  std::vector<Region> const regions =
      square_regions(local_ink(s, integral_image(s), false), W, H, std::min(W, H) / 5, label);
  if (regions.empty()) return false;
  double const f = s.factor, half = (s.factor - 1) / 2.0;
  for (int k = 0; k < 4; ++k) {
    quad.x[k] = static_cast<float>((regions[0].corner[k] % W) * f + half);
    quad.y[k] = static_cast<float>((regions[0].corner[k] / W) * f + half);
  }
  double shortest = 1e30, longest = 0;
  for (int k = 0; k < 4; ++k) {
    double const d = std::hypot(quad.x[k] - quad.x[(k + 1) % 4], quad.y[k] - quad.y[(k + 1) % 4]);
    shortest = std::min(shortest, d);
    longest = std::max(longest, d);
  }
  return shortest >= 0.2 * std::min(width, height) && longest <= 2.2 * shortest;
}

double ocr_lattice_score(unsigned char const* image, int size) {
  if (!image || size < ocr_min_side || ocr_picture_bytes(size, size, 1) == 0) return 0;
  double total = 0;
  for (int axis = 0; axis < 2; ++axis)
    for (int k = 0; k <= 9; ++k)
      for (int j = 0; j < 9; ++j) total += segment_line(image, size, axis == 0, k, j);
  return total;
}

std::vector<OcrGridCandidate> ocr_grid_candidates(unsigned char const* grey, int width, int height) {
  std::vector<OcrGridCandidate> out;
  if (!grey || width < ocr_min_side || height < ocr_min_side || ocr_picture_bytes(width, height, 1) == 0) return out;
  Reduced const s = reduce(grey, width, height, 640);
  int const W = s.width, H = s.height;
  if (W < 40 || H < 40) return out;
  std::vector<long long> const integral = integral_image(s);
  double const f = s.factor, half = (s.factor - 1) / 2.0;
  double const min_side = std::min(W, H) / 5.0;
  int const score_size = 270;  // 30 samples a cell: enough to keep one-pixel lines
  OcrImage negative;
  std::vector<int> label;
  // Candidates in reduced coordinates, scored on the reduced image.
  std::vector<OcrGridCandidate> reduced;
  OcrImage warped;
  auto const add = [&](OcrQuad const& q, bool bright, OcrGridKind kind) {
    if (!plausible(q, min_side)) return;
    // An outline found twice (a box that is the extremes, edges through the corners)
    // is scored once.
    for (OcrGridCandidate const& c : reduced) {
      if (c.bright != bright) continue;
      double moved = 0;
      for (int k = 0; k < 4; ++k) moved = std::max<double>(moved, std::hypot(c.quad.x[k] - q.x[k], c.quad.y[k] - q.y[k]));
      if (moved < 1.5) return;
    }
    OcrHomography h{};
    if (!ocr_homography(q, h)) return;
    quick_warp(bright ? negative.data() : s.pixels.data(), W, H, h, score_size, warped);
    OcrGridCandidate c;
    c.quad = q;
    c.bright = bright;
    c.kind = kind;
    c.lattice = ocr_lattice_score(warped.data(), score_size);
    reduced.push_back(c);
  };
  for (int polarity = 0; polarity < 2; ++polarity) {
    bool const bright = polarity == 1;
    std::vector<unsigned char> const mask = local_ink(s, integral, bright);
    std::vector<Region> const regions = square_regions(mask, W, H, static_cast<int>(min_side), label);
    if (bright && negative.empty() && !regions.empty()) negative = ocr_inverted(s.pixels);
    for (std::size_t i = 0; i < regions.size() && i < 3; ++i) {
      Region const& reg = regions[i];
      OcrQuad extreme;
      for (int k = 0; k < 4; ++k) {
        extreme.x[k] = static_cast<float>(reg.corner[k] % W);
        extreme.y[k] = static_cast<float>(reg.corner[k] / W);
      }
      add(extreme, bright, OcrGridKind::extreme);
      // The bounding box: for a grid whose corner is cut off or faded, which moves
      // the extremes, while its sides still bound it.
      OcrQuad box;
      float const bx[4] = {0, 1, 1, 0}, by[4] = {0, 0, 1, 1};
      for (int k = 0; k < 4; ++k) {
        box.x[k] = static_cast<float>(bx[k] > 0 ? reg.max_x : reg.min_x);
        box.y[k] = static_cast<float>(by[k] > 0 ? reg.max_y : reg.min_y);
      }
      add(box, bright, OcrGridKind::box);
      OcrQuad refined;
      if (refine_by_edges(label, W, H, reg.id, extreme, refined)) add(refined, bright, OcrGridKind::edges);
    }
  }
  // The best few outlines are also located as lattices.
  std::stable_sort(reduced.begin(), reduced.end(),
                   [](OcrGridCandidate const& a, OcrGridCandidate const& b) { return a.lattice > b.lattice; });
  std::size_t const outlines = reduced.size();
  for (std::size_t i = 0; i < outlines && i < 2; ++i) {
    OcrGridCandidate const c = reduced[i];
    OcrQuad fitted;
    std::vector<OcrQuad> shifted;
    if (!ocr_fit_outline_lattice(c.bright ? negative.data() : s.pixels.data(), W, H, c.quad, false, fitted, &shifted))
      continue;
    add(fitted, c.bright, OcrGridKind::lattice);
    for (OcrQuad const& q : shifted) add(q, c.bright, OcrGridKind::lattice);
  }
  for (OcrGridCandidate c : reduced) {
    if (ocr_debug) {
      static char const* const kinds[4] = {"extreme", "box", "edges", "lattice"};
      std::printf("candidate %s %s lattice %.1f\n", c.bright ? "bright" : "dark", kinds[static_cast<int>(c.kind)],
                  c.lattice);
    }
    for (int k = 0; k < 4; ++k) {
      c.quad.x[k] = static_cast<float>(c.quad.x[k] * f + half);
      c.quad.y[k] = static_cast<float>(c.quad.y[k] * f + half);
    }
    out.push_back(c);
  }
  // A page often carries a smaller second grid (yesterday's solution, a neighbouring
  // puzzle): among grids of similar clarity the larger one is the puzzle.
  double largest = 0;
  for (OcrGridCandidate const& c : out) largest = std::max(largest, mean_side(c.quad));
  for (OcrGridCandidate& c : out) c.rank = c.lattice * std::sqrt(mean_side(c.quad) / largest);
  std::stable_sort(out.begin(), out.end(),
                   [](OcrGridCandidate const& a, OcrGridCandidate const& b) { return a.rank > b.rank; });
  return out;
}
