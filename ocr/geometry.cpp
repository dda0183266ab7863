// Tilt estimate and shear, the two outline finders, homography and warp.
#include <algorithm>
#include <cmath>

#include "ocr/ocr.h"

namespace {

constexpr double pi = 3.14159265358979323846;

// Nearest-sample reduction keeping the aspect ratio so that neither side exceeds limit.
struct Sampled {
  OcrImage pixels;
  int width = 0, height = 0;
  double sx = 1, sy = 1;  // picture pixels per sample
};

Sampled sample_down(unsigned char const* grey, int width, int height, int limit) {
  Sampled s;
  int const longest = std::max(width, height);
  if (longest <= limit) {
    s.width = width;
    s.height = height;
  } else {
    double const f = static_cast<double>(limit) / longest;
    s.width = std::max(1, std::min(limit, static_cast<int>(width * f)));
    s.height = std::max(1, std::min(limit, static_cast<int>(height * f)));
  }
  s.sx = static_cast<double>(width) / s.width;
  s.sy = static_cast<double>(height) / s.height;
  s.pixels.resize(static_cast<std::size_t>(s.width) * s.height);
  for (int y = 0; y < s.height; ++y) {
    int const src_y = std::min(height - 1, static_cast<int>(y * s.sy));
    for (int x = 0; x < s.width; ++x) {
      int const src_x = std::min(width - 1, static_cast<int>(x * s.sx));
      s.pixels[static_cast<std::size_t>(y) * s.width + x] = grey[static_cast<std::size_t>(src_y) * width + src_x];
    }
  }
  return s;
}

double side_length(OcrQuad const& q, int a, int b) { return std::hypot(q.x[a] - q.x[b], q.y[a] - q.y[b]); }

}  // namespace

float ocr_skew_angle(unsigned char const* grey, int width, int height) {
  if (!grey || ocr_picture_bytes(width, height, 1) == 0) return 0;
  Sampled const s = sample_down(grey, width, height, 256);
  std::vector<double> counts(static_cast<std::size_t>(s.height));
  double best_variance = -1, best_angle = 0;
  for (int step = -12; step <= 12; ++step) {
    double const angle = step * 0.5;
    double const slope = std::tan(angle * pi / 180.0);
    double sum = 0;
    for (int y0 = 0; y0 < s.height; ++y0) {
      int n = 0;
      for (int x = 0; x < s.width; ++x) {
        int const y = y0 + static_cast<int>(std::trunc(x * slope));
        if (y >= 0 && y < s.height && s.pixels[static_cast<std::size_t>(y) * s.width + x] < 128) ++n;
      }
      counts[y0] = n;
      sum += n;
    }
    double const mean = sum / s.height;
    double variance = 0;
    for (double c : counts) variance += (c - mean) * (c - mean);
    variance /= s.height;
    if (variance > best_variance || (variance == best_variance && std::fabs(angle) < std::fabs(best_angle))) {
      best_variance = variance;
      best_angle = angle;
    }
  }
  return static_cast<float>(best_angle);
}

OcrImage ocr_shear(unsigned char const* grey, int width, int height, float angle_degrees) {
  std::size_t const count = ocr_picture_bytes(width, height, 1);
  if (!grey || count == 0) return {};
  OcrImage out(count, 255);
  double const slope = std::tan(angle_degrees * pi / 180.0);
  if (!std::isfinite(slope)) return out;
  for (int x = 0; x < width; ++x) {
    double const shift = std::round(x * slope);
    if (std::fabs(shift) >= height) continue;  // the whole column maps outside
    int const dy = static_cast<int>(shift);
    for (int y = 0; y < height; ++y) {
      int const src = y + dy;
      if (src < 0 || src >= height) continue;
      out[static_cast<std::size_t>(y) * width + x] = grey[static_cast<std::size_t>(src) * width + x];
    }
  }
  return out;
}

bool ocr_find_quad(unsigned char const* grey, int width, int height, OcrQuad& quad, bool dark) {
  if (!grey || ocr_picture_bytes(width, height, 1) == 0) return false;
  Sampled const s = sample_down(grey, width, height, 400);
  if (s.width < 40 || s.height < 40) return false;
  std::size_t const n = s.pixels.size();
  double const threshold = ocr_two_means_threshold(s.pixels.data(), n);
  std::vector<unsigned char> mask(n);
  for (std::size_t i = 0; i < n; ++i) mask[i] = dark ? s.pixels[i] < threshold : s.pixels[i] >= threshold;

  // 4-connected labelling, seeds in row-major order, each region grown with a stack.
  std::vector<int> label(n, 0), stack;
  int next_label = 0, best_label = 0;
  std::size_t best_size = 0;
  for (std::size_t seed = 0; seed < n; ++seed) {
    if (!mask[seed] || label[seed]) continue;
    int const id = ++next_label;
    std::size_t size = 0;
    label[seed] = id;
    stack.assign(1, static_cast<int>(seed));
    while (!stack.empty()) {
      int const p = stack.back();
      stack.pop_back();
      ++size;
      int const x = p % s.width, y = p / s.width;
      int const neighbours[4] = {x + 1 < s.width ? p + 1 : -1, x > 0 ? p - 1 : -1,
                                 y + 1 < s.height ? p + s.width : -1, y > 0 ? p - s.width : -1};
      for (int q : neighbours)
        if (q >= 0 && mask[q] && !label[q]) {
          label[q] = id;
          stack.push_back(q);
        }
    }
    if (size > best_size) {
      best_size = size;
      best_label = id;
    }
  }
  if (best_label == 0 || static_cast<double>(best_size) < 0.02 * static_cast<double>(n)) return false;

  int tl = -1, tr = -1, br = -1, bl = -1;
  int tl_v = 0, tr_v = 0, br_v = 0, bl_v = 0;
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) {
      int const p = y * s.width + x;
      if (label[p] != best_label) continue;
      int const sum = x + y, diff = x - y;
      if (tl < 0 || sum < tl_v) tl = p, tl_v = sum;
      if (br < 0 || sum > br_v) br = p, br_v = sum;
      if (tr < 0 || diff > tr_v) tr = p, tr_v = diff;
      if (bl < 0 || diff < bl_v) bl = p, bl_v = diff;
    }
  int const corners[4] = {tl, tr, br, bl};
  OcrQuad q;
  for (int i = 0; i < 4; ++i) {
    q.x[i] = static_cast<float>((corners[i] % s.width) * s.sx);
    q.y[i] = static_cast<float>((corners[i] / s.width) * s.sy);
  }
  double shortest = side_length(q, 0, 1), longest = shortest;
  for (int i = 1; i < 4; ++i) {
    double const side = side_length(q, i, (i + 1) % 4);
    shortest = std::min(shortest, side);
    longest = std::max(longest, side);
  }
  if (shortest < 0.25 * std::min(width, height) || longest > 2.2 * shortest) return false;
  quad = q;
  return true;
}

bool ocr_radial_quad(unsigned char const* grey, int width, int height, OcrQuad& quad) {
  if (!grey || ocr_picture_bytes(width, height, 1) == 0) return false;
  Sampled const s = sample_down(grey, width, height, 400);
  if (s.width < 40 || s.height < 40) return false;
  double sum = 0;
  for (unsigned char v : s.pixels) sum += v;
  double const mean = sum / static_cast<double>(s.pixels.size());
  double cx = 0, cy = 0;
  long long dark = 0;
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x)
      if (s.pixels[static_cast<std::size_t>(y) * s.width + x] < mean) {
        cx += x;
        cy += y;
        ++dark;
      }
  if (dark < 100) return false;
  cx /= static_cast<double>(dark);
  cy /= static_cast<double>(dark);
  // Quadrant index: 0 upper-left, 1 upper-right, 2 lower-right, 3 lower-left.
  double best[4] = {-1, -1, -1, -1};
  int bx[4] = {0, 0, 0, 0}, by[4] = {0, 0, 0, 0};
  for (int y = 0; y < s.height; ++y)
    for (int x = 0; x < s.width; ++x) {
      if (!(s.pixels[static_cast<std::size_t>(y) * s.width + x] < mean)) continue;
      bool const right = x >= cx, lower = y >= cy;
      int const quadrant = lower ? (right ? 2 : 3) : (right ? 1 : 0);
      double const d = (x - cx) * (x - cx) + (y - cy) * (y - cy);
      if (d > best[quadrant]) {
        best[quadrant] = d;
        bx[quadrant] = x;
        by[quadrant] = y;
      }
    }
  for (double b : best)
    if (b < 0) return false;
  for (int i = 0; i < 4; ++i) {
    quad.x[i] = static_cast<float>(bx[i] * s.sx);
    quad.y[i] = static_cast<float>(by[i] * s.sy);
  }
  return true;
}

bool ocr_homography(OcrQuad const& quad, OcrHomography& h) {
  static constexpr double us[4] = {0, 1, 1, 0}, vs[4] = {0, 0, 1, 1};
  double a[8][9];
  for (int i = 0; i < 4; ++i) {
    double const u = us[i], v = vs[i], x = quad.x[i], y = quad.y[i];
    double const row_x[9] = {u, v, 1, 0, 0, 0, -x * u, -x * v, x};
    double const row_y[9] = {0, 0, 0, u, v, 1, -y * u, -y * v, y};
    std::copy_n(row_x, 9, a[2 * i]);
    std::copy_n(row_y, 9, a[2 * i + 1]);
  }
  for (int col = 0; col < 8; ++col) {
    int pivot = col;
    for (int r = col + 1; r < 8; ++r)
      if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
    if (!(std::fabs(a[pivot][col]) > 1e-10)) return false;
    if (pivot != col)
      for (int k = 0; k < 9; ++k) std::swap(a[pivot][k], a[col][k]);
    for (int r = 0; r < 8; ++r) {
      if (r == col) continue;
      double const f = a[r][col] / a[col][col];
      if (f == 0) continue;
      for (int k = col; k < 9; ++k) a[r][k] -= f * a[col][k];
    }
  }
  for (int i = 0; i < 8; ++i) {
    double const value = a[i][8] / a[i][i];
    if (!std::isfinite(value)) return false;
    h[i] = static_cast<float>(value);
  }
  h[8] = 1.0f;
  return true;
}

namespace {

// The warp with the channel count fixed at compile time (the channel loop unrolls).
// The interpolation is the same double arithmetic for every count; the integer
// conversion truncates as std::trunc does, and the clamp keeps the sample a byte
// (between -1 and 0 the weights extrapolate).
template <std::size_t ch>
void warp_into(unsigned char const* image, int width, int height, OcrHomography const& h, int size,
               unsigned char* out) {
  double const step = 1.0 / size;
  for (int i = 0; i < size; ++i) {
    double const v = (i + 0.5) / size;
    // The homography's numerators and denominator step along the row by additions.
    double const u0 = 0.5 * step;
    double nx = h[0] * u0 + h[1] * v + h[2], ny = h[3] * u0 + h[4] * v + h[5], nw = h[6] * u0 + h[7] * v + h[8];
    double const dx = h[0] * step, dy = h[3] * step, dw = h[6] * step;
    for (int j = 0; j < size; ++j, nx += dx, ny += dy, nw += dw) {
      if (std::fabs(nw) < 1e-9) continue;
      double const inverse_w = 1.0 / nw;
      double const x = nx * inverse_w, y = ny * inverse_w;
      // trunc(x) >= 0 and trunc(x) < width - 1, checked before any conversion.
      if (!(x > -1.0 && x < width - 1 && y > -1.0 && y < height - 1)) continue;
      int const x0 = static_cast<int>(x), y0 = static_cast<int>(y);
      double const fx = x - x0, fy = y - y0;
      unsigned char const* p00 = image + (static_cast<std::size_t>(y0) * width + x0) * ch;
      unsigned char const* p10 = p00 + static_cast<std::size_t>(width) * ch;
      unsigned char* dst = out + (static_cast<std::size_t>(i) * size + j) * ch;
      for (std::size_t c = 0; c < ch; ++c) {
        double const top = p00[c] * (1 - fx) + p00[c + ch] * fx;
        double const bottom = p10[c] * (1 - fx) + p10[c + ch] * fx;
        int const value = static_cast<int>(top * (1 - fy) + bottom * fy);
        dst[c] = static_cast<unsigned char>(std::clamp(value, 0, 255));
      }
    }
  }
}

}  // namespace

OcrImage ocr_warp(unsigned char const* image, int width, int height, OcrHomography const& h, int size,
                  int channels) {
  if (!image || size <= 0 || size > 1200 || ocr_picture_bytes(width, height, channels) == 0) return {};
  OcrImage out(static_cast<std::size_t>(size) * size * static_cast<std::size_t>(channels), 255);
  switch (channels) {
    case 1: warp_into<1>(image, width, height, h, size, out.data()); break;
    case 2: warp_into<2>(image, width, height, h, size, out.data()); break;
    case 3: warp_into<3>(image, width, height, h, size, out.data()); break;
    default: warp_into<4>(image, width, height, h, size, out.data()); break;
  }
  return out;
}

int ocr_warp_comb(unsigned char const* grey, int width, int height, OcrQuad const& quad, int size,
                  OcrImage& warped) {
  OcrHomography h{};
  if (!ocr_homography(quad, h)) return -1;
  warped = ocr_warp(grey, width, height, h, size);
  if (warped.empty()) return -1;
  return ocr_comb_score(warped.data(), size, size);
}
