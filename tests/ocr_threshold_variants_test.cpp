// The training dump's hook into adaptive readings: every threshold variant of a digit
// cell is passed on when the sink asks for it, never otherwise, and asking does not
// change what the reading reads.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>

#include "ocr/ocr.h"
#include "tests/ocr_render.h"

namespace {

using ocr_render::Picture;

struct CountingSink : OcrPatchSink {
  bool wants = false;
  std::map<int, int> patches, variants;
  bool wants_threshold_variants() const override { return wants; }
  void patch(int cell, float const*, int, float) override { ++patches[cell]; }
  void threshold_variant(int cell, float const* p) override {
    ++variants[cell];
    int ink = 0;
    for (int i = 0; i < ocr_patch_size; ++i) ink += p[i] > 0.5f;
    EXPECT_GT(ink, 0) << "variant of cell " << cell << " without ink";
  }
};

// A ruled grid (pitch 40) with grey digit-like strokes of varying darkness in some cells.
Picture grid_with_strokes() {
  Picture p = ocr_render::blank(400, 400, 225);
  ocr_render::draw_ruling(p, 20, 20, 40);
  int const cells[] = {0, 10, 20, 31, 44, 52, 67, 80};
  unsigned char value = 40;
  for (int cell : cells) {
    int const x = 20 + (cell % 9) * 40, y = 20 + (cell / 9) * 40;
    ocr_render::fill_rect(p, x + 17, y + 8, x + 23, y + 32, value);  // upright stroke
    ocr_render::fill_rect(p, x + 12, y + 8, x + 23, y + 12, value);  // flag
    value = static_cast<unsigned char>(value + 20);
  }
  return p;
}

TEST(OcrThresholdVariants, OnlyASinkThatAsksReceivesThemAndReadingIsUnchanged) {
  Picture const p = grid_with_strokes();
  OcrBox const box{20, 20, 380, 380};
  int plain[81], asked[81];
  CountingSink quiet;
  int const n = ocr_read_cells_adaptive(p.pixels.data(), p.width, p.height, box, plain, &quiet);
  EXPECT_TRUE(quiet.variants.empty());
  ASSERT_FALSE(quiet.patches.empty());

  CountingSink dump;
  dump.wants = true;
  int const m = ocr_read_cells_adaptive(p.pixels.data(), p.width, p.height, box, asked, &dump);
  EXPECT_EQ(n, m);
  EXPECT_TRUE(std::equal(plain, plain + 81, asked));
  EXPECT_EQ(quiet.patches, dump.patches);
  // Each digit cell: its own patch and at most one per retry depth; no variants elsewhere.
  int const most = 1 + static_cast<int>(std::size(ocr_adaptive_retry_depths));
  for (auto const& [cell, count] : dump.patches) {
    ASSERT_TRUE(dump.variants.count(cell)) << "cell " << cell;
    EXPECT_GE(dump.variants[cell], 1);
    EXPECT_LE(dump.variants[cell], most);
  }
  for (auto const& [cell, count] : dump.variants) EXPECT_TRUE(dump.patches.count(cell)) << "cell " << cell;
}

TEST(OcrThresholdVariants, PlainReadingsMakeNone) {
  Picture const p = grid_with_strokes();
  CountingSink dump;
  dump.wants = true;
  int digits[81];
  ocr_read_cells(p.pixels.data(), p.width, p.height, OcrBox{20, 20, 380, 380}, digits, &dump);
  EXPECT_FALSE(dump.patches.empty());
  EXPECT_TRUE(dump.variants.empty());
}

}  // namespace
