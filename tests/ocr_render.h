// Synthetic pictures for the image tests: ruled 9x9 grids drawn through a
// homography, so that straight, tilted and perspective grids share one renderer.
#pragma once

#include <array>
#include <cmath>
#include <vector>

#include "ocr/ocr.h"

namespace ocr_render {

struct Picture {
  int width = 0, height = 0;
  std::vector<unsigned char> pixels;  // grey, one byte per pixel
  unsigned char& at(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

inline Picture blank(int width, int height, unsigned char value = 230) {
  return Picture{width, height, std::vector<unsigned char>(static_cast<std::size_t>(width) * height, value)};
}

inline void fill_rect(Picture& p, int x0, int y0, int x1, int y1, unsigned char value) {
  for (int y = std::max(y0, 0); y < std::min(y1, p.height); ++y)
    for (int x = std::max(x0, 0); x < std::min(x1, p.width); ++x) p.at(x, y) = value;
}

// Axis-aligned ruling: lines of `thickness` pixels centred on left + k * pitch and
// top + k * pitch (k = 0..9), the box lines (k = 0, 3, 6, 9) `box_thickness` wide.
inline void draw_ruling(Picture& p, int left, int top, int pitch, int thickness = 3, int box_thickness = 5) {
  int const size = 9 * pitch;
  for (int k = 0; k <= 9; ++k) {
    int const t = (k % 3 == 0) ? box_thickness : thickness;
    int const half = t / 2;
    fill_rect(p, left - half, top + k * pitch - half, left + size + half + 1, top + k * pitch - half + t, 20);
    fill_rect(p, left + k * pitch - half, top - half, left + k * pitch - half + t, top + size + half + 1, 20);
  }
}

// Inverse of a 3x3 homography (picture -> unit square).
inline std::array<double, 9> inverse(OcrHomography const& h) {
  double const a = h[0], b = h[1], c = h[2], d = h[3], e = h[4], f = h[5], g = h[6], i = h[7], k = h[8];
  double const det = a * (e * k - f * i) - b * (d * k - f * g) + c * (d * i - e * g);
  return {(e * k - f * i) / det, (c * i - b * k) / det, (b * f - c * e) / det,
          (f * g - d * k) / det, (a * k - c * g) / det, (c * d - a * f) / det,
          (d * i - e * g) / det, (b * g - a * i) / det, (a * e - b * d) / det};
}

// A ruled grid whose outer corners are the quad's; lines `line_units` of a cell wide.
inline void draw_grid_quad(Picture& p, OcrQuad const& quad, double line_units = 0.06) {
  OcrHomography h{};
  if (!ocr_homography(quad, h)) return;
  auto const inv = inverse(h);
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x) {
      double const w = inv[6] * x + inv[7] * y + inv[8];
      double const u = 9 * (inv[0] * x + inv[1] * y + inv[2]) / w;
      double const v = 9 * (inv[3] * x + inv[4] * y + inv[5]) / w;
      double const limit = line_units / 2;
      if (u < -limit || v < -limit || u > 9 + limit || v > 9 + limit) continue;
      double const du = std::fabs(u - std::round(u)), dv = std::fabs(v - std::round(v));
      double const lu = static_cast<int>(std::lround(u)) % 3 == 0 ? limit * 1.8 : limit;
      double const lv = static_cast<int>(std::lround(v)) % 3 == 0 ? limit * 1.8 : limit;
      if (du <= lu || dv <= lv) p.at(x, y) = 20;
    }
}

// The quad of a square grid of the given side centred at (cx, cy), turned by degrees.
inline OcrQuad turned_square(double cx, double cy, double side, double degrees) {
  double const a = degrees * 3.14159265358979323846 / 180.0, half = side / 2;
  double const corners[4][2] = {{-half, -half}, {half, -half}, {half, half}, {-half, half}};
  OcrQuad q;
  for (int i = 0; i < 4; ++i) {
    q.x[i] = static_cast<float>(cx + corners[i][0] * std::cos(a) - corners[i][1] * std::sin(a));
    q.y[i] = static_cast<float>(cy + corners[i][0] * std::sin(a) + corners[i][1] * std::cos(a));
  }
  return q;
}

}  // namespace ocr_render
