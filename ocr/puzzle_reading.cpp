// Reading the whole puzzle from a photo: the digits, judged under the rules the
// picture shows (drawn regions, marked diagonals), which are measured on the grid
// the first reading located.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>

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

// Corners within a tenth of the grid's mean ninth of each other.
bool close_grids(OcrQuad const& a, OcrQuad const& b) {
  double side = 0;
  for (int i = 0; i < 4; ++i) side += std::hypot(a.x[(i + 1) % 4] - a.x[i], a.y[(i + 1) % 4] - a.y[i]) / 4;
  for (int i = 0; i < 4; ++i)
    if (std::hypot(a.x[i] - b.x[i], a.y[i] - b.y[i]) > side / 90) return false;
  return true;
}

// The picture's rules, measured on each grid a reading found (the detectors' common
// frame when that grid gives nothing to measure). Regions that are the 3x3 boxes are
// the classic rules. A grid within a tenth of a cell of one already measured shares
// its rules: the tests fit their own lattice, and a nudge of the corners changes
// nothing they see.
struct RulesFromGrid : OcrReadingContext {
  struct Measured {
    OcrQuad grid;
    int regions[81] = {};
    OcrPictureRules rules;
  };
  OcrPictureView picture;
  std::deque<Measured> measured;  // a deque: the rules point into their entry
  Measured* whole = nullptr;      // the rules of the whole picture, once needed

  explicit RulesFromGrid(OcrPictureView const& p) : picture(p) {}
  OcrPictureRules rules_for(OcrQuad const& grid) override {
    for (Measured const& m : measured)
      if (close_grids(m.grid, grid)) return m.rules;
    Measured& m = measured.emplace_back();
    m.grid = grid;
    bool in_frame = false;
    m.rules = ocr_rules_in_frame(picture, grid, m.regions, in_frame);
    if (!in_frame) {
      // The whole picture's rules do not depend on the grid: measured once.
      if (!whole) {
        whole = &measured.emplace_back();
        whole->rules = ocr_picture_rules(picture.pixels, picture.width, picture.height, picture.bpp, whole->regions);
        whole->grid = OcrQuad{{-1e9f, -1e9f, -1e9f, -1e9f}, {-1e9f, -1e9f, -1e9f, -1e9f}};  // matches no grid
      }
      m.rules = whole->rules;
    }
    if (m.rules.regions && are_boxes(m.rules.regions)) m.rules.regions = nullptr;
    return m.rules;
  }
};

bool read_puzzle(OcrPictureView const& view, OcrPuzzleReading& out, OcrPatchSink* sink) {
  OcrImage grey = ocr_to_grey(view.pixels, view.width, view.height, view.bpp);
  if (grey.empty()) return false;
  ocr_normalise_polarity(grey, view.width, view.height);
  RulesFromGrid context(view);
  ocr_first_reading(grey.data(), view.width, view.height, out.digits, sink, &context);
  if (!context.found) return true;  // the picture was too small to read
  // The rules shown on the grid of the reading kept (measured when it was judged).
  OcrPictureRules const rules = context.rules_for(context.grid);
  ocr_referee(view.pixels, view.width, view.height, view.bpp, grey.data(), out.digits, &rules);
  out.regions_drawn = rules.regions != nullptr;
  out.diagonals = rules.diagonals;
  for (int c = 0; c < 81; ++c) out.groups[c] = out.regions_drawn ? rules.regions[c] : 3 * (c / 27) + (c % 9) / 3;
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
