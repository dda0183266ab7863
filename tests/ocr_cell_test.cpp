// Cell windows: the shape rules of the patch extraction, the area resampling and
// the median.
#include <gtest/gtest.h>

#include "ocr/ocr.h"
#include "tests/ocr_render.h"

using ocr_render::Picture;

namespace {

bool patch_of(Picture const& p, float* patch) { return ocr_cell_patch(p.pixels.data(), p.height, p.width, patch); }

}  // namespace

TEST(OcrCell, EdgeToEdgeLineIsRejectedAsSpanning) {
  float patch[ocr_patch_size];
  Picture across = ocr_render::blank(40, 40, 200);
  ocr_render::fill_rect(across, 0, 18, 40, 21, 30);
  EXPECT_FALSE(patch_of(across, patch));
  Picture down = ocr_render::blank(40, 40, 200);
  ocr_render::fill_rect(down, 5, 0, 8, 40, 30);  // top to bottom: spanning too
  EXPECT_FALSE(patch_of(down, patch));
}

TEST(OcrCell, UprightStrokePassesAndIsCentredAtTwentyPixels) {
  Picture p = ocr_render::blank(40, 40, 200);
  ocr_render::fill_rect(p, 18, 8, 21, 32, 30);  // 3 wide, 24 high
  float patch[ocr_patch_size];
  ASSERT_TRUE(patch_of(p, patch));
  // s = 20 / 24: 3 x 24 becomes lround(2.5) = 3 x 20, placed at row 2, column 10.
  for (int y = 0; y < 24; ++y)
    for (int x = 0; x < 24; ++x) {
      bool const inside = y >= 2 && y < 22 && x >= 10 && x < 13;
      EXPECT_FLOAT_EQ(patch[y * 24 + x], inside ? 1.0f : 0.0f) << y << "," << x;
    }
  // A spanning grid-line remnant beside the digit does not matter.
  ocr_render::fill_rect(p, 0, 0, 40, 2, 30);
  float with_line[ocr_patch_size];
  ASSERT_TRUE(patch_of(p, with_line));
  EXPECT_TRUE(std::equal(patch, patch + ocr_patch_size, with_line));
}

TEST(OcrCell, DashShortAndSparseShapesAreRejected) {
  float patch[ocr_patch_size];
  Picture dash = ocr_render::blank(40, 40, 200);
  ocr_render::fill_rect(dash, 10, 18, 30, 22, 30);
  EXPECT_FALSE(patch_of(dash, patch));
  Picture short_stroke = ocr_render::blank(40, 40, 200);
  ocr_render::fill_rect(short_stroke, 18, 10, 21, 25, 30);  // 15 < 0.4 x 40 high
  EXPECT_FALSE(patch_of(short_stroke, patch));
  Picture tall_enough = ocr_render::blank(40, 40, 200);
  ocr_render::fill_rect(tall_enough, 18, 10, 21, 26, 30);  // 16 = 0.4 x 40
  EXPECT_TRUE(patch_of(tall_enough, patch));
  // A one-pixel diagonal: 20 pixels in a 20 x 20 box, below a tenth of it.
  Picture sparse = ocr_render::blank(40, 40, 200);
  for (int i = 0; i < 20; ++i) sparse.at(10 + i, 10 + i) = 30;
  EXPECT_FALSE(patch_of(sparse, patch));
  // Tiny specks only.
  Picture specks = ocr_render::blank(40, 40, 200);
  specks.at(5, 5) = 30;
  specks.at(30, 30) = 30;
  EXPECT_FALSE(patch_of(specks, patch));
}

TEST(OcrCell, TwoDigitHighShapesAreAmbiguous) {
  float patch[ocr_patch_size];
  Picture p = ocr_render::blank(50, 40, 200);
  ocr_render::fill_rect(p, 10, 8, 16, 32, 30);  // larger
  ocr_render::fill_rect(p, 30, 9, 33, 31, 30);  // thinner but 22 >= 0.8 x 24 high
  EXPECT_FALSE(patch_of(p, patch));
  // A smaller second shape (a speck of a neighbour's digit) is dropped instead.
  Picture q = ocr_render::blank(50, 40, 200);
  ocr_render::fill_rect(q, 10, 8, 16, 32, 30);
  ocr_render::fill_rect(q, 30, 9, 33, 20, 30);
  ASSERT_TRUE(patch_of(q, patch));
  float total = 0;
  for (float v : patch) total += v;
  // Only the 6 x 24 bar remains: 5 x 20 after scaling (lround(5.0) = 5).
  EXPECT_FLOAT_EQ(total, 100.0f);
}

TEST(OcrCell, InkIsRelativeToTheMedian) {
  // Faint ink on a dark window: 45 grey levels below the median is the limit.
  float patch[ocr_patch_size];
  Picture p = ocr_render::blank(40, 40, 120);
  ocr_render::fill_rect(p, 18, 8, 21, 32, 75);  // exactly median - 45: not ink
  EXPECT_FALSE(patch_of(p, patch));
  ocr_render::fill_rect(p, 18, 8, 21, 32, 74);
  EXPECT_TRUE(patch_of(p, patch));
}

TEST(OcrCell, MedianIsTheMiddleElement) {
  unsigned char const v[] = {9, 1, 5, 7, 3};
  EXPECT_FLOAT_EQ(ocr_median(v, 5), 5.0f);
  unsigned char const w[] = {9, 1, 5, 7};
  EXPECT_FLOAT_EQ(ocr_median(w, 4), 7.0f);  // index 4 / 2 of 1 5 7 9
}

TEST(OcrCell, AreaResamplingAveragesAndRepeats) {
  float const src[4 * 4] = {1, 1, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1};
  auto const half = ocr_resample_area(src, 4, 4, 2, 2);
  ASSERT_EQ(half.size(), 4u);
  EXPECT_FLOAT_EQ(half[0], 1.0f);
  EXPECT_FLOAT_EQ(half[1], 0.0f);
  EXPECT_FLOAT_EQ(half[3], 0.25f);
  float const two[2] = {0, 1};
  auto const up = ocr_resample_area(two, 1, 2, 1, 5);
  // Columns from i * 2 / 5 to ceil((i + 1) * 2 / 5): 0..0, 0..0, 0..1, 1..1, 1..1.
  ASSERT_EQ(up.size(), 5u);
  float const expected[5] = {0.0f, 0.0f, 0.5f, 1.0f, 1.0f};
  for (int i = 0; i < 5; ++i) EXPECT_FLOAT_EQ(up[i], expected[i]) << i;
  // Seeded random sizes: the mean is kept when shrinking by whole factors.
  for (int n = 1; n <= 6; ++n) {
    std::vector<float> img(static_cast<std::size_t>(12 * n) * 12 * n);
    for (std::size_t i = 0; i < img.size(); ++i) img[i] = static_cast<float>((i * 7919) % 13) / 12.0f;
    auto const small = ocr_resample_area(img.data(), 12 * n, 12 * n, 12, 12);
    double a = 0, b = 0;
    for (float x : img) a += x;
    for (float x : small) b += x;
    EXPECT_NEAR(a / img.size(), b / small.size(), 1e-5);
  }
}
