// Reading the whole puzzle from a photo: the digits, judged under the rules the
// picture shows (drawn regions, marked diagonals), which are measured on the grid
// the first reading located.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>

#include "ocr/ocr.h"

namespace {

// Adds a row of bytes to a row of sums, sixteen at a time (a fixed count the
// compiler turns into vector additions).
void add_row(unsigned char const* __restrict row, unsigned* __restrict sums, std::size_t count) {
  std::size_t i = 0;
  for (; i + 16 <= count; i += 16)
    for (std::size_t k = 0; k < 16; ++k) sums[i + k] += row[i + k];
  for (; i < count; ++i) sums[i] += row[i];
}

// One output row from the column sums of f input rows: each run of f pixels added up
// and divided by the block's area.
template <std::size_t bpp>
void average_runs(unsigned const* column_sums, int out_width, int f, unsigned area, unsigned char* dst) {
  for (int x = 0; x < out_width; ++x) {
    unsigned const* run = column_sums + static_cast<std::size_t>(x) * f * bpp;
    unsigned sum[bpp] = {};
    for (int dx = 0; dx < f; ++dx)
      for (std::size_t c = 0; c < bpp; ++c) sum[c] += run[static_cast<std::size_t>(dx) * bpp + c];
    for (std::size_t c = 0; c < bpp; ++c) dst[static_cast<std::size_t>(x) * bpp + c] = static_cast<unsigned char>(sum[c] / area);
  }
}

}  // namespace

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
  // Each output row: the f input rows summed byte by byte, then each run of f
  // pixels of those sums averaged.
  std::size_t const in_row = static_cast<std::size_t>(picture.width) * bpp;
  std::vector<unsigned> column_sums(in_row);
  unsigned const area = static_cast<unsigned>(f * f);
  for (int y = 0; y < out.height; ++y) {
    std::fill(column_sums.begin(), column_sums.end(), 0u);
    for (int dy = 0; dy < f; ++dy)
      add_row(picture.pixels + static_cast<std::size_t>(y * f + dy) * in_row, column_sums.data(), in_row);
    unsigned char* dst = out.pixels.data() + static_cast<std::size_t>(y) * out.width * bpp;
    switch (bpp) {
      case 1: average_runs<1>(column_sums.data(), out.width, f, area, dst); break;
      case 2: average_runs<2>(column_sums.data(), out.width, f, area, dst); break;
      case 3: average_runs<3>(column_sums.data(), out.width, f, area, dst); break;
      default: average_runs<4>(column_sums.data(), out.width, f, area, dst); break;
    }
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
