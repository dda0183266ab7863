// The frame both detectors share: the test on the picture as it is, and when that
// measures nothing, on the picture straightened (outline warp or shear); and the
// same tests on the grid a reading located.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ocr/ocr.h"

namespace {

OcrPicture copy_of(OcrPictureView const& v) {
  std::size_t const bytes = ocr_picture_bytes(v.width, v.height, v.bpp);
  return OcrPicture{OcrImage(v.pixels, v.pixels + bytes), v.width, v.height, v.bpp};
}

// Every channel sheared by the angle, as ocr_shear shears a grey image.
OcrPicture sheared(OcrPictureView const& v, float angle) {
  OcrPicture out{OcrImage(ocr_picture_bytes(v.width, v.height, v.bpp)), v.width, v.height, v.bpp};
  std::size_t const count = static_cast<std::size_t>(v.width) * v.height, bpp = static_cast<std::size_t>(v.bpp);
  OcrImage channel(count);
  for (std::size_t ch = 0; ch < bpp; ++ch) {
    for (std::size_t i = 0; i < count; ++i) channel[i] = v.pixels[i * bpp + ch];
    OcrImage const moved = ocr_shear(channel.data(), v.width, v.height, angle);
    for (std::size_t i = 0; i < count; ++i) out.pixels[i * bpp + ch] = moved[i];
  }
  return out;
}

using Test = OcrTestOutcome (*)(OcrPictureView const&, unsigned char const*, OcrBox const&, int*);

OcrTestOutcome region_test(OcrPictureView const& p, unsigned char const* grey, OcrBox const& box, int* regions) {
  return ocr_region_test(p, grey, box, regions);
}

OcrTestOutcome diagonal_test(OcrPictureView const& p, unsigned char const* grey, OcrBox const& box, int*) {
  return ocr_diagonal_test(p, grey, box);
}

// The test on a picture: on the box of its grid, else on the whole picture. A
// measured answer stands: only a test that measured nothing is tried again.
OcrTestOutcome test_picture(OcrPictureView const& p, bool whole_image, Test test, int* regions) {
  OcrImage const grey = ocr_to_grey(p.pixels, p.width, p.height, p.bpp);
  if (grey.empty()) return OcrTestOutcome::unmeasured;
  OcrBox box;
  ocr_grid_bounds(grey.data(), p.width, p.height, whole_image, box);
  OcrTestOutcome outcome = test(p, grey.data(), box, regions);
  if (outcome == OcrTestOutcome::unmeasured && !whole_image)
    outcome = test(p, grey.data(), OcrBox{0, 0, p.width - 1, p.height - 1}, regions);
  return outcome;
}

OcrTestOutcome common_frame(unsigned char const* pixels, int width, int height, int bpp, Test test, int* regions) {
  if (!pixels || width < ocr_min_side || height < ocr_min_side || ocr_picture_bytes(width, height, bpp) == 0)
    return OcrTestOutcome::unmeasured;
  OcrPictureView view{pixels, width, height, bpp};
  // Large pictures are tested at the size reading uses.
  OcrPicture const smaller = ocr_scaled_down(view);
  if (!smaller.pixels.empty()) view = smaller.view();
  OcrPicture inverted;
  {
    OcrImage const grey = ocr_to_grey(view.pixels, view.width, view.height, view.bpp);
    if (grey.empty()) return OcrTestOutcome::unmeasured;
    if (ocr_count_below(grey.data(), view.width, view.height, 128) * 2 > grey.size()) {
      inverted = copy_of(view);
      ocr_invert(inverted.pixels);
      view = inverted.view();
    }
  }
  OcrTestOutcome const first = test_picture(view, false, test, regions);
  if (first != OcrTestOutcome::unmeasured) return first;

  OcrImage const grey = ocr_to_grey(view.pixels, view.width, view.height, view.bpp);
  float const angle = ocr_skew_angle(grey.data(), view.width, view.height);
  if (std::fabs(angle) >= 0.9f) {
    OcrPicture const straight = sheared(view, angle);
    return test_picture(straight.view(), false, test, regions);
  }
  OcrQuad quad;
  if (!ocr_find_quad(grey.data(), view.width, view.height, quad, true)) {
    OcrImage const negative = ocr_inverted(grey);
    if (!ocr_find_quad(negative.data(), view.width, view.height, quad, true)) return OcrTestOutcome::unmeasured;
  }
  OcrHomography h{};
  if (!ocr_homography(quad, h)) return OcrTestOutcome::unmeasured;
  int const S = ocr_warp_size(view.width, view.height);
  OcrPicture const warped{ocr_warp(view.pixels, view.width, view.height, h, S, view.bpp), S, S, view.bpp};
  if (warped.pixels.empty()) return OcrTestOutcome::unmeasured;
  return test_picture(warped.view(), true, test, regions);
}

// Solves the n x n system a x = b (row-major a) by Gaussian elimination with
// partial pivoting; false when it is singular.
bool solve_linear(std::vector<double>& a, std::vector<double>& b, int n) {
  for (int col = 0; col < n; ++col) {
    int pivot = col;
    for (int r = col + 1; r < n; ++r)
      if (std::fabs(a[r * n + col]) > std::fabs(a[pivot * n + col])) pivot = r;
    if (std::fabs(a[pivot * n + col]) < 1e-12) return false;
    for (int k = 0; k < n; ++k) std::swap(a[col * n + k], a[pivot * n + k]);
    std::swap(b[col], b[pivot]);
    for (int r = 0; r < n; ++r) {
      if (r == col) continue;
      double const f = a[r * n + col] / a[col * n + col];
      for (int k = col; k < n; ++k) a[r * n + k] -= f * a[col * n + k];
      b[r] -= f * b[col];
    }
  }
  for (int r = 0; r < n; ++r) b[r] /= a[r * n + r];
  return true;
}

// Evens out the light over a warped grid (inner box from low to high on both
// axes): the paper's brightness is sampled in blocks of the margin around the
// grid (the brightest tenth of each block, so print there does not count), a
// quadratic surface is fitted to it, and every channel is divided by that surface.
// A lighting gradient or vignette would otherwise look like shading of some cells.
void even_out_light(OcrPicture& picture, OcrImage& grey, int low, int high) {
  int const S = picture.width, band = std::min(low, S - 1 - high), block = std::max(4, band);
  if (band < 3) return;
  std::vector<double> xs, ys, vs;
  std::vector<unsigned char> values;
  int per_side[4] = {};
  auto const sample = [&](int side, int x0, int y0, int w, int h) {
    values.clear();
    for (int y = y0; y < y0 + h; ++y)
      for (int x = x0; x < x0 + w; ++x) values.push_back(grey[static_cast<std::size_t>(y) * S + x]);
    std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() * 9 / 10), values.end());
    unsigned char const light = values[values.size() * 9 / 10];
    // White where the margin lies outside the photo (or the paper is overexposed):
    // no measure of the light there.
    if (light == 255) return;
    ++per_side[side];
    xs.push_back((x0 + w / 2.0) / S - 0.5);
    ys.push_back((y0 + h / 2.0) / S - 0.5);
    vs.push_back(light);
  };
  // The four bands of margin, each cut into blocks along its length.
  for (int t = 0; t + block <= S; t += block) {
    sample(0, t, 0, block, band);
    sample(1, t, S - band, block, band);
    sample(2, 0, t, band, block);
    sample(3, S - band, t, band, block);
  }
  // A quadratic surface needs the light on all four sides; with the grid at the
  // photo's edge a plane is fitted (a quadratic would swing wildly over the side it
  // does not see).
  bool const all_sides = std::min({per_side[0], per_side[1], per_side[2], per_side[3]}) >= 3;
  int const n = all_sides ? 6 : 3;
  if (xs.size() < 12) return;
  auto const terms = [](double x, double y, double* t) {
    t[0] = 1, t[1] = x, t[2] = y, t[3] = x * x, t[4] = x * y, t[5] = y * y;
  };
  std::vector<double> a(static_cast<std::size_t>(n * n), 0.0), b(static_cast<std::size_t>(n), 0.0);
  for (std::size_t i = 0; i < xs.size(); ++i) {
    double t[6];
    terms(xs[i], ys[i], t);
    for (int r = 0; r < n; ++r) {
      for (int c = 0; c < n; ++c) a[static_cast<std::size_t>(r * n + c)] += t[r] * t[c];
      b[static_cast<std::size_t>(r)] += t[r] * vs[i];
    }
  }
  if (!solve_linear(a, b, n)) return;
  double mean = 0;
  for (double v : vs) mean += v / static_cast<double>(vs.size());
  // The paper is brought up to white as well: fills shaded under dim light would
  // otherwise fall below the grey that counts as paper.
  double const white = std::max(mean, 235.0);
  // The surface's terms, the same products as in the fit: the column terms made once.
  std::vector<double> xs_of(static_cast<std::size_t>(S)), xx_of(static_cast<std::size_t>(S));
  for (int x = 0; x < S; ++x) {
    double t[6];
    terms((x + 0.5) / S - 0.5, 0.0, t);
    xs_of[static_cast<std::size_t>(x)] = t[1];
    xx_of[static_cast<std::size_t>(x)] = t[3];
  }
  std::size_t const bpp = static_cast<std::size_t>(picture.bpp);
  for (int y = 0; y < S; ++y) {
    double const v = (y + 0.5) / S - 0.5, vv = v * v;
    for (int x = 0; x < S; ++x) {
      double const u = xs_of[static_cast<std::size_t>(x)];
      double light = 0;
      light += b[0];
      light += b[1] * u;
      light += b[2] * v;
      if (n == 6) {
        light += b[3] * xx_of[static_cast<std::size_t>(x)];
        light += b[4] * (u * v);
        light += b[5] * vv;
      }
      if (light < 16) continue;
      double const gain = std::min(white / light, 4.0);
      std::size_t const at = static_cast<std::size_t>(y) * S + x;
      for (std::size_t ch = 0; ch < bpp; ++ch) {
        unsigned char& value = picture.pixels[at * bpp + ch];
        value = static_cast<unsigned char>(std::min(255.0, value * gain));
      }
      grey[at] = static_cast<unsigned char>(std::min(255.0, grey[at] * gain));
    }
  }
}

// A copy of the grey image in which ink (grey below 120) and everything within
// reach of it is black: the blurred rim of a printed digit is no longer taken for
// light paper, whose lower quartile it would darken like shading.
OcrImage without_ink_rims(OcrImage const& grey, int S, int reach) {
  OcrImage rows(grey.size(), 255), out(grey.size(), 255);
  // Separable dilation of the ink, each pass a sliding count of the ink within
  // reach: along rows, then down the columns (row by row, one count per column).
  int const first_window = std::min(S - 1, reach);
  for (int y = 0; y < S; ++y) {
    unsigned char const* g = grey.data() + static_cast<std::size_t>(y) * S;
    unsigned char* dst = rows.data() + static_cast<std::size_t>(y) * S;
    int count = 0;
    for (int d = 0; d <= first_window; ++d) count += g[d] < 120;
    for (int x = 0; x < S; ++x) {
      dst[x] = count ? 0 : 255;
      if (x + 1 + reach < S) count += g[x + 1 + reach] < 120;
      if (x - reach >= 0) count -= g[x - reach] < 120;
    }
  }
  std::vector<int> counts(static_cast<std::size_t>(S), 0);
  for (int d = 0; d <= first_window; ++d)
    for (int x = 0; x < S; ++x) counts[static_cast<std::size_t>(x)] += rows[static_cast<std::size_t>(d) * S + x] == 0;
  for (int y = 0; y < S; ++y) {
    std::size_t const at = static_cast<std::size_t>(y) * S;
    for (int x = 0; x < S; ++x) out[at + x] = counts[static_cast<std::size_t>(x)] ? 0 : grey[at + x];
    if (y + 1 + reach < S)
      for (int x = 0; x < S; ++x)
        counts[static_cast<std::size_t>(x)] += rows[static_cast<std::size_t>(y + 1 + reach) * S + x] == 0;
    if (y - reach >= 0)
      for (int x = 0; x < S; ++x)
        counts[static_cast<std::size_t>(x)] -= rows[static_cast<std::size_t>(y - reach) * S + x] == 0;
  }
  return out;
}

}  // namespace

bool ocr_detect_x(unsigned char const* pixels, int width, int height, int bpp) {
  return common_frame(pixels, width, height, bpp, diagonal_test, nullptr) == OcrTestOutcome::present;
}

bool ocr_detect_regions(unsigned char const* pixels, int width, int height, int bpp, int* regions) {
  if (!regions) return false;
  std::fill_n(regions, 81, 0);
  int found[81] = {};
  if (common_frame(pixels, width, height, bpp, region_test, found) != OcrTestOutcome::present) return false;
  std::copy_n(found, 81, regions);
  return true;
}

namespace {

void print_rules(OcrPictureRules const& rules) {
  if (ocr_debug)
    std::printf("referee: the picture's rules are %s%s\n", rules.regions ? "its drawn regions" : "the 3x3 boxes",
                rules.diagonals ? " and both diagonals" : "");
}

}  // namespace

OcrPictureRules ocr_picture_rules(unsigned char const* pixels, int width, int height, int bpp, int* regions_out) {
  OcrPictureRules rules;
  rules.diagonals = ocr_detect_x(pixels, width, height, bpp);
  int found[81];
  if (regions_out && ocr_detect_regions(pixels, width, height, bpp, found)) {
    std::copy_n(found, 81, regions_out);
    rules.regions = regions_out;
  }
  print_rules(rules);
  return rules;
}

OcrPictureRules ocr_rules_in_frame(OcrPictureView const& picture, OcrQuad const& quad, int* regions, bool& measured) {
  OcrPictureRules rules;
  measured = false;
  if (regions) std::fill_n(regions, 81, 0);
  OcrHomography h{};
  if (!regions || !picture.pixels || !ocr_homography(quad, h)) return rules;
  // The grid with half a cell of margin on every side, so the outer lines are whole.
  double const m = 1.0 / 18.0;
  double const us[4] = {-m, 1 + m, 1 + m, -m}, vs[4] = {-m, -m, 1 + m, 1 + m};
  OcrQuad outer;
  double side = 0;
  for (int i = 0; i < 4; ++i) {
    double const w = h[6] * us[i] + h[7] * vs[i] + h[8];
    if (std::fabs(w) < 1e-9) return rules;
    outer.x[i] = static_cast<float>((h[0] * us[i] + h[1] * vs[i] + h[2]) / w);
    outer.y[i] = static_cast<float>((h[3] * us[i] + h[4] * vs[i] + h[5]) / w);
    side += std::hypot(quad.x[(i + 1) % 4] - quad.x[i], quad.y[(i + 1) % 4] - quad.y[i]) / 4;
  }
  OcrHomography outer_h{};
  if (!ocr_homography(outer, outer_h)) return rules;
  // About the grid's own size, 30 to 45 pixels a cell: the tests measure lines and
  // the paper between them, which larger cells show no better (and warp, even out
  // and describe at twice the cost).
  int const S = static_cast<int>(std::clamp(side * 10 / 9, 300.0, 450.0));
  OcrPicture warped{ocr_warp(picture.pixels, picture.width, picture.height, outer_h, S, picture.bpp), S, S,
                    picture.bpp};
  if (warped.pixels.empty()) return rules;
  OcrImage grey = ocr_to_grey(warped.pixels.data(), S, S, warped.bpp);
  if (ocr_count_below(grey.data(), S, S, 128) * 2 > grey.size()) {
    ocr_invert(warped.pixels);
    ocr_invert(grey);
  }
  int const low = static_cast<int>(std::lround(S / 20.0 - 0.5)), high = static_cast<int>(std::lround(19 * S / 20.0 - 0.5));
  OcrBox const box{low, low, high, high};
  even_out_light(warped, grey, low, high);
  OcrImage const paper_only = without_ink_rims(grey, S, std::max(1, (high - low) / 90));
  OcrTestOutcome const drawn = ocr_region_test(warped.view(), grey.data(), box, regions, true);
  // Shading is judged against the nearest cells of the same region (or fill).
  OcrNearbyReference const nearby{drawn == OcrTestOutcome::present ? regions : nullptr};
  OcrTestOutcome const x = ocr_diagonal_test(warped.view(), paper_only.data(), box, &nearby);
  measured = x != OcrTestOutcome::unmeasured && drawn != OcrTestOutcome::unmeasured;
  rules.diagonals = x == OcrTestOutcome::present;
  if (drawn == OcrTestOutcome::present) rules.regions = regions;
  print_rules(rules);
  return rules;
}
