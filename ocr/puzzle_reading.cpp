// Reading the whole puzzle from a photo: the digits, judged under the rules the
// picture shows (drawn regions, marked diagonals), which are measured on the grid
// the first reading located.
#include <algorithm>
#include <cstdio>

#include "ocr/ocr.h"

OcrPicture ocr_scaled_down(OcrPictureView const& picture, int limit) {
  OcrPicture out;
  int const longest = std::max(picture.width, picture.height);
  if (!picture.pixels || limit < 1 || longest <= limit || ocr_picture_bytes(picture.width, picture.height, picture.bpp) == 0)
    return out;
  int const f = (longest + limit - 1) / limit;
  out.width = picture.width / f;
  out.height = picture.height / f;
  out.bpp = picture.bpp;
  std::size_t const bpp = static_cast<std::size_t>(picture.bpp);
  out.pixels.assign(static_cast<std::size_t>(out.width) * out.height * bpp, 0);
  std::vector<unsigned> sums(static_cast<std::size_t>(out.width) * bpp);
  for (int y = 0; y < out.height; ++y) {
    std::fill(sums.begin(), sums.end(), 0u);
    for (int dy = 0; dy < f; ++dy) {
      unsigned char const* row = picture.pixels + static_cast<std::size_t>(y * f + dy) * picture.width * bpp;
      for (int x = 0; x < out.width; ++x)
        for (int dx = 0; dx < f; ++dx)
          for (std::size_t c = 0; c < bpp; ++c) sums[x * bpp + c] += row[(static_cast<std::size_t>(x) * f + dx) * bpp + c];
    }
    unsigned char* dst = out.pixels.data() + static_cast<std::size_t>(y) * out.width * bpp;
    unsigned const area = static_cast<unsigned>(f * f);
    for (std::size_t i = 0; i < sums.size(); ++i) dst[i] = static_cast<unsigned char>(sums[i] / area);
  }
  return out;
}

namespace {

bool are_boxes(int const* regions) {
  for (int c = 0; c < 81; ++c)
    if (regions[c] != 3 * (c / 27) + (c % 9) / 3) return false;
  return true;
}

// The picture's rules, measured on the grid a reading found (the detectors' common
// frame when that grid gives nothing to measure). Regions that are the 3x3 boxes are
// the classic rules.
struct RulesFromGrid : OcrReadingContext {
  OcrPictureView picture;
  int regions[81] = {};
  OcrPictureRules rules;
  OcrQuad measured_on;
  bool asked = false;

  explicit RulesFromGrid(OcrPictureView const& p) : picture(p) {}
  OcrPictureRules rules_for(OcrQuad const& grid) override {
    bool measured = false;
    rules = ocr_rules_in_frame(picture, grid, regions, measured);
    if (!measured) rules = ocr_picture_rules(picture.pixels, picture.width, picture.height, picture.bpp, regions);
    if (rules.regions && are_boxes(rules.regions)) rules.regions = nullptr;
    measured_on = grid;
    asked = true;
    return rules;
  }
};

bool same_quad(OcrQuad const& a, OcrQuad const& b) {
  return std::equal(a.x, a.x + 4, b.x) && std::equal(a.y, a.y + 4, b.y);
}

bool same_rules(OcrPictureRules const& a, int const* a_regions, OcrPictureRules const& b) {
  if (a.diagonals != b.diagonals || !a.regions != !b.regions) return false;
  return !a.regions || std::equal(a_regions, a_regions + 81, b.regions);
}

bool read_puzzle(OcrPictureView const& view, OcrPuzzleReading& out, OcrPatchSink* sink) {
  OcrImage grey = ocr_to_grey(view.pixels, view.width, view.height, view.bpp);
  if (grey.empty()) return false;
  ocr_normalise_polarity(grey, view.width, view.height);
  RulesFromGrid context(view);
  ocr_first_reading(grey.data(), view.width, view.height, out.digits, sink, &context);
  if (!context.asked) return true;  // the picture was too small to read
  if (!same_quad(context.grid, context.measured_on)) {
    // The second reading found the grid elsewhere: measure the rules there, and when
    // they differ, read again under them unless the reading is a proper puzzle.
    OcrPictureRules const before = context.rules;
    int before_regions[81];
    std::copy_n(context.regions, 81, before_regions);
    OcrPictureRules const after = context.rules_for(context.grid);
    if (!same_rules(before, before_regions, after) && ocr_reading_rank(out.digits, after) < ocr_proper_rank) {
      int again[81];
      int const m = ocr_robust_reading(grey.data(), view.width, view.height, again, sink, after);
      if (m >= 0 && ocr_reading_rank(again, after) >= ocr_reading_rank(out.digits, after))
        std::copy_n(again, 81, out.digits);
    }
  }
  ocr_referee(view.pixels, view.width, view.height, view.bpp, grey.data(), out.digits, &context.rules);
  out.regions_drawn = context.rules.regions != nullptr;
  out.diagonals = context.rules.diagonals;
  for (int c = 0; c < 81; ++c) out.groups[c] = out.regions_drawn ? context.regions[c] : 3 * (c / 27) + (c % 9) / 3;
  return true;
}

}  // namespace

bool ocr_read_puzzle(unsigned char const* pixels, int width, int height, int bpp, OcrPuzzleReading& out,
                     OcrPatchSink* sink) {
  out = OcrPuzzleReading{};
  for (int c = 0; c < 81; ++c) out.groups[c] = 3 * (c / 27) + (c % 9) / 3;
  if (!pixels || width < ocr_min_side || height < ocr_min_side || ocr_picture_bytes(width, height, bpp) == 0)
    return false;
  OcrPictureView const view{pixels, width, height, bpp};
  // A phone picture is much larger than reading needs: scaled down once, first.
  OcrPicture const smaller = ocr_scaled_down(view);
  return read_puzzle(smaller.pixels.empty() ? view : smaller.view(), out, sink);
}

bool ocr_recognize(unsigned char const* pixels, int width, int height, int bpp, int* digits, OcrPatchSink* sink) {
  if (!digits) return false;
  std::fill_n(digits, 81, 0);
  OcrPuzzleReading reading;
  if (!ocr_read_puzzle(pixels, width, height, bpp, reading, sink)) return false;
  std::copy_n(reading.digits, 81, digits);
  return true;
}
