// Reading the digits of a located grid: cells, readings and the first reading.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "ocr/ocr.h"

namespace {

void print_rejected_sketch(int r, int c, unsigned char const* window, int w, int h) {
  std::printf("\ncell r%d c%d -> REJECTED (raw %dx%d):\n", r, c, w, h);
  int const ys = std::max(h / 20, 1), xs = std::max(w / 20, 1);
  for (int y = 0; y < h; y += ys) {
    for (int x = 0; x < w; x += xs) std::putchar(window[static_cast<std::size_t>(y) * w + x] < 150 ? '#' : ' ');
    std::putchar('\n');
  }
}

void print_patch(int r, int c, int cls, float confidence, float const* patch) {
  std::printf("\ncell r%d c%d -> %d (conf %.2f)\n", r, c, cls, static_cast<double>(confidence));
  for (int y = 0; y < ocr_patch_side; ++y) {
    for (int x = 0; x < ocr_patch_side; ++x) {
      float const v = patch[y * ocr_patch_side + x];
      std::putchar(v > 0.5f ? '#' : (v > 0.15f ? '.' : ' '));
    }
    std::putchar('\n');
  }
}

}  // namespace

int ocr_accepted_digit(int cls, float confidence) {
  return cls >= 1 && cls <= 9 && confidence >= 0.55f ? cls : 0;
}

namespace {

int read_cells(unsigned char const* grey, int width, int height, OcrBox const& box, int* digits, OcrPatchSink* sink,
               bool adaptive) {
  if (!digits) return 0;
  std::fill_n(digits, 81, 0);
  if (!grey || ocr_picture_bytes(width, height, 1) == 0) return 0;
  if (sink) sink->begin_reading();
  int count = 0;
  double const cw = static_cast<double>(box.right - box.left + 1) / 9.0;
  double const ch = static_cast<double>(box.bottom - box.top + 1) / 9.0;
  std::vector<unsigned char> window;
  float patch[ocr_patch_size];
  for (int r = 0; r < 9; ++r) {
    for (int c = 0; c < 9; ++c) {
      long const x0 = std::lround(box.left + c * cw), x1 = std::lround(box.left + (c + 1) * cw);
      long const y0 = std::lround(box.top + r * ch), y1 = std::lround(box.top + (r + 1) * ch);
      long const mx = static_cast<long>(0.08 * static_cast<double>(x1 - x0));
      long const my = static_cast<long>(0.08 * static_cast<double>(y1 - y0));
      long const wx0 = std::max(x0 + mx, 0L), wx1 = std::min(x1 - mx, static_cast<long>(width));
      long const wy0 = std::max(y0 + my, 0L), wy1 = std::min(y1 - my, static_cast<long>(height));
      if (wx1 - wx0 < 6 || wy1 - wy0 < 6) continue;
      int const w = static_cast<int>(wx1 - wx0), h = static_cast<int>(wy1 - wy0);
      window.resize(static_cast<std::size_t>(w) * h);
      for (int y = 0; y < h; ++y)
        std::memcpy(window.data() + static_cast<std::size_t>(y) * w,
                    grey + static_cast<std::size_t>(wy0 + y) * width + wx0, static_cast<std::size_t>(w));
      OcrCellVerdict const verdict = adaptive ? ocr_cell_patch_adaptive(window.data(), h, w, patch)
                                              : ocr_cell_patch_verdict(window.data(), h, w, patch);
      if (verdict != OcrCellVerdict::digit) {
        if (sink) sink->rejected(9 * r + c, static_cast<int>(verdict));
        if (ocr_debug) print_rejected_sketch(r, c, window.data(), w, h);
        continue;
      }
      if (adaptive && sink && sink->wants_threshold_variants()) {
        float variant[ocr_patch_size];
        sink->threshold_variant(9 * r + c, patch);
        for (double depth : ocr_adaptive_retry_depths)
          if (ocr_cell_patch_adaptive_depth(window.data(), h, w, variant, depth) == OcrCellVerdict::digit)
            sink->threshold_variant(9 * r + c, variant);
      }
      float confidence = 0;
      int k = ocr_classify_patch(patch, confidence);
      if (adaptive && ocr_accepted_digit(k, confidence) == 0 && k != 0) {
        // A digit-like patch the table is unsure of: the same window thresholded
        // lighter and darker (a blurred digit's counters open, thin strokes whole);
        // the most confident reading is kept.
        float other[ocr_patch_size];
        for (double depth : ocr_adaptive_retry_depths) {
          if (ocr_cell_patch_adaptive_depth(window.data(), h, w, other, depth) != OcrCellVerdict::digit) continue;
          float c = 0;
          int const j = ocr_classify_patch(other, c);
          if (c > confidence) {
            k = j;
            confidence = c;
            std::copy_n(other, ocr_patch_size, patch);
          }
        }
      }
      if (sink) sink->patch(9 * r + c, patch, k, confidence);
      digits[9 * r + c] = ocr_accepted_digit(k, confidence);
      count += digits[9 * r + c] != 0;
      if (ocr_debug) print_patch(r, c, k, confidence, patch);
    }
  }
  return count;
}

}  // namespace

int ocr_read_cells(unsigned char const* grey, int width, int height, OcrBox const& box, int* digits,
                   OcrPatchSink* sink) {
  return read_cells(grey, width, height, box, digits, sink, false);
}

int ocr_read_cells_adaptive(unsigned char const* grey, int width, int height, OcrBox const& box, int* digits,
                            OcrPatchSink* sink) {
  return read_cells(grey, width, height, box, digits, sink, true);
}

int ocr_read_digits(unsigned char const* grey, int width, int height, int* digits, OcrPatchSink* sink,
                    OcrBox* used_box) {
  if (!digits) return 0;
  std::fill_n(digits, 81, 0);
  if (!grey || ocr_picture_bytes(width, height, 1) == 0) return 0;
  OcrBox box;
  if (!ocr_find_box(grey, width, height, box, false)) ocr_fallback_box(grey, width, height, box);
  ocr_repair_span(grey, width, height, true, ocr_line_runs(grey, width, height, 128, true), box.top, box.bottom);
  ocr_repair_span(grey, width, height, false, ocr_line_runs(grey, width, height, 128, false), box.left, box.right);
  if (used_box) *used_box = box;
  return ocr_read_cells(grey, width, height, box, digits, sink);
}

namespace {

// Passes every patch on and counts, per reading, the cells whose ink failed a shape
// rule (a digit-like mark that could not be read: a sign of a misplaced grid or of
// an ink threshold that broke the digit).
struct ShapeTally : OcrPatchSink {
  OcrPatchSink* next;
  std::vector<int> shape_rejections;
  explicit ShapeTally(OcrPatchSink* n) : next(n) {}
  void begin_reading() override {
    shape_rejections.push_back(0);
    if (next) next->begin_reading();
  }
  void patch(int cell, float const* p, int cls, float confidence) override {
    if (next) next->patch(cell, p, cls, confidence);
  }
  void rejected(int cell, int verdict) override {
    if (verdict != static_cast<int>(OcrCellVerdict::no_ink) && !shape_rejections.empty()) ++shape_rejections.back();
    if (next) next->rejected(cell, verdict);
  }
  int latest() const { return static_cast<int>(shape_rejections.size()) - 1; }
};

// The corners of a box's outer lines.
OcrQuad box_quad(OcrBox const& b) {
  OcrQuad q;
  float const xs[4] = {float(b.left), float(b.right), float(b.right), float(b.left)};
  float const ys[4] = {float(b.top), float(b.top), float(b.bottom), float(b.bottom)};
  for (int i = 0; i < 4; ++i) q.x[i] = xs[i], q.y[i] = ys[i];
  return q;
}

// A box found in the S x S warp through h, in the picture's coordinates.
OcrQuad unwarped_box(OcrBox const& b, OcrHomography const& h, int S) {
  OcrQuad q = box_quad(b);
  for (int i = 0; i < 4; ++i) {
    double const u = (q.x[i] + 0.5) / S, v = (q.y[i] + 0.5) / S;
    double const w = h[6] * u + h[7] * v + h[8];
    if (std::fabs(w) < 1e-9) continue;
    q.x[i] = static_cast<float>((h[0] * u + h[1] * v + h[2]) / w);
    q.y[i] = static_cast<float>((h[3] * u + h[4] * v + h[5]) / w);
  }
  return q;
}

// A box found in the picture sheared by angle (pixel (x, y) of the shear shows the
// picture at (x, y + x tan angle)), in the picture's coordinates.
OcrQuad unsheared_box(OcrBox const& b, float angle) {
  OcrQuad q = box_quad(b);
  double const slope = std::tan(angle * 3.14159265358979323846 / 180.0);
  for (int i = 0; i < 4; ++i) q.y[i] = static_cast<float>(q.y[i] + q.x[i] * slope);
  return q;
}

// The plain readings: warp from the dark outline, or shear, then the negative.
// winner receives the tally index of the reading that gave the result, grid the
// outer corners of the grid it read.
int plain_reading(unsigned char const* grey, int width, int height, int* digits, ShapeTally& tally, int& winner,
                  OcrQuad& grid) {
  OcrPatchSink* const sink = &tally;
  int const S = ocr_warp_size(width, height);

  int comb = -1;
  OcrImage warped;
  OcrQuad quad;
  if (ocr_find_quad(grey, width, height, quad, true)) {
    double const lean =
        std::fabs(quad.x[3] - quad.x[0]) / std::max(std::hypot(quad.x[3] - quad.x[0], quad.y[3] - quad.y[0]), 1.0f) +
        std::fabs(quad.y[1] - quad.y[0]) / std::max(std::hypot(quad.x[1] - quad.x[0], quad.y[1] - quad.y[0]), 1.0f);
    if (lean > 0.02) comb = ocr_warp_comb(grey, width, height, quad, S, warped);
  }
  bool const accepted = comb >= 4;
  if (ocr_debug) std::printf("warp %s (comb=%d)\n", accepted ? "ACCEPTED" : "rejected", comb);

  int spare[81];
  int n = 0;
  OcrImage sheared;
  OcrBox box;
  unsigned char const* working = grey;
  float angle = 0;
  if (accepted) {
    n = ocr_read_digits(warped.data(), S, S, digits, sink, &box);
    winner = tally.latest();
    OcrHomography h{};
    ocr_homography(quad, h);
    grid = unwarped_box(box, h, S);
    if (n < 8) {
      int const m = ocr_read_digits(grey, width, height, spare, sink, &box);
      if (m > n) {
        std::copy_n(spare, 81, digits);
        n = m;
        winner = tally.latest();
        grid = box_quad(box);
      }
    }
  } else {
    angle = ocr_skew_angle(grey, width, height);
    if (std::fabs(angle) >= 0.9f) {
      sheared = ocr_shear(grey, width, height, angle);
      working = sheared.data();
    } else {
      angle = 0;
    }
    n = ocr_read_digits(working, width, height, digits, sink, &box);
    winner = tally.latest();
    grid = unsheared_box(box, angle);
  }
  if (n < 8) {
    std::size_t const count = static_cast<std::size_t>(width) * height;
    OcrImage inverted(working, working + count);
    ocr_invert(inverted);
    int const m = ocr_read_digits(inverted.data(), width, height, spare, sink, &box);
    if (m > n) {
      std::copy_n(spare, 81, digits);
      n = m;
      winner = tally.latest();
      grid = unsheared_box(box, angle);
    }
  }
  return n;
}

}  // namespace

// The plain readings come first. Only when their result reads badly (fewer than 17
// digits, which no proper puzzle has, a digit repeated in a unit, or a digit-like
// mark rejected by the shape rules) is the second attempt made; it replaces the
// first result unless it ranks lower (ocr_reading_rank: fewer than 17 digits where
// the first has them, a repeated digit where the first has none, more than one
// solution where the first has one, or fewer digits).
int ocr_first_reading(unsigned char const* grey, int width, int height, int* digits, OcrPatchSink* sink,
                      OcrReadingContext* context) {
  if (!digits) return 0;
  std::fill_n(digits, 81, 0);
  if (!grey || width < ocr_min_side || height < ocr_min_side || ocr_picture_bytes(width, height, 1) == 0) return 0;
  ShapeTally tally(sink);
  int winner = -1;
  OcrQuad grid;
  int n = plain_reading(grey, width, height, digits, tally, winner, grid);
  if (context) context->grid = grid, context->found = true;
  int const rejected = winner >= 0 ? tally.shape_rejections[static_cast<std::size_t>(winner)] : 0;
  // The picture's own rules, from the grid the plain readings found (the 3x3 boxes
  // when no context asks for them). Measuring them costs a warp of the grid and both
  // detectors' tests, so they are measured only when a decision depends on them.
  OcrPictureRules rules;
  bool rules_measured = context == nullptr;
  auto const first_rules = [&]() -> OcrPictureRules const& {
    if (!rules_measured) rules = context->rules_for(grid), rules_measured = true;
    return rules;
  };
  if (n >= 17 && rejected == 0 && ocr_reading_consistent(digits, first_rules())) return n;
  int second[81];
  OcrQuad second_grid;
  int const m = ocr_robust_reading(grey, width, height, second, sink, rules, &second_grid, context);
  // Each reading is judged under the rules shown on its own grid. The first
  // reading's rank is at most what it would be without a broken rule; a second
  // reading ranked at least that is taken whatever the first grid shows.
  bool take = false;
  if (m >= 0) {
    int const second_rank = ocr_reading_rank(second, context ? context->rules_for(second_grid) : rules);
    int const first_best = (n >= 17 ? 7000 : 2000) + n;
    take = second_rank >= first_best || second_rank >= ocr_reading_rank(digits, first_rules());
  }
  if (ocr_debug)
    std::printf("second reading: %d digits (first %d, %d rejected) %s\n", m, n, rejected, take ? "TAKEN" : "kept first");
  if (take) {
    std::copy_n(second, 81, digits);
    n = m;
    if (context) context->grid = second_grid;
  }
  return n;
}
