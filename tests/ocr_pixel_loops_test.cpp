// The per-pixel loops of photo reading that work in blocks (scaling down, counting
// dark bytes, line runs, multi-channel warps, cached palette votes) against plain
// one-pixel-at-a-time definitions, on random pictures of awkward sizes.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "ocr/ocr.h"

namespace {

std::vector<unsigned char> random_bytes(std::mt19937& rng, std::size_t count) {
  std::uniform_int_distribution<int> byte(0, 255);
  std::vector<unsigned char> out(count);
  for (auto& b : out) b = static_cast<unsigned char>(byte(rng));
  return out;
}

TEST(OcrPixelLoops, ScaledDownIsTheBoxAverageOfEveryChannel) {
  std::mt19937 rng(1301);
  for (int trial = 0; trial < 40; ++trial) {
    int const width = 30 + static_cast<int>(rng() % 97), height = 30 + static_cast<int>(rng() % 61);
    int const bpp = 1 + trial % 4;
    int const limit = std::max(width, height) / (2 + trial % 4);  // factors 2 to 6
    std::vector<unsigned char> const pixels = random_bytes(rng, static_cast<std::size_t>(width) * height * bpp);
    OcrPicture const small = ocr_scaled_down({pixels.data(), width, height, bpp}, limit);
    int const f = (std::max(width, height) + limit - 1) / limit;
    ASSERT_EQ(small.width, width / f);
    ASSERT_EQ(small.height, height / f);
    ASSERT_EQ(small.pixels.size(), static_cast<std::size_t>(small.width) * small.height * bpp);
    for (int y = 0; y < small.height; ++y)
      for (int x = 0; x < small.width; ++x)
        for (int c = 0; c < bpp; ++c) {
          unsigned sum = 0;
          for (int dy = 0; dy < f; ++dy)
            for (int dx = 0; dx < f; ++dx)
              sum += pixels[(static_cast<std::size_t>(y * f + dy) * width + x * f + dx) * bpp + c];
          ASSERT_EQ(small.pixels[(static_cast<std::size_t>(y) * small.width + x) * bpp + c], sum / (f * f))
              << width << "x" << height << " bpp " << bpp << " factor " << f << " at " << x << "," << y;
        }
  }
}

TEST(OcrPixelLoops, CountBelowMatchesCountingEachByte) {
  std::mt19937 rng(1302);
  int const thresholds[] = {-1, 0, 1, 100, 128, 255, 256, 300};
  for (int trial = 0; trial < 60; ++trial) {
    int const width = 1 + static_cast<int>(rng() % 50), height = 1 + static_cast<int>(rng() % 7);
    std::vector<unsigned char> const grey = random_bytes(rng, static_cast<std::size_t>(width) * height);
    for (int t : thresholds) {
      std::size_t expected = 0;
      for (unsigned char v : grey) expected += v < t;
      ASSERT_EQ(ocr_count_below(grey.data(), width, height, t), expected) << width << "x" << height << " below " << t;
    }
  }
}

// Middles of the runs of rows (columns) with more than 35% of their bytes below threshold.
std::vector<int> line_runs_by_definition(std::vector<unsigned char> const& grey, int width, int height,
                                         double threshold, bool rows) {
  int const lines = rows ? height : width, length = rows ? width : height;
  std::vector<int> out;
  int start = -1;
  for (int i = 0; i <= lines; ++i) {
    int dark = 0;
    for (int j = 0; i < lines && j < length; ++j)
      dark += grey[static_cast<std::size_t>(rows ? i : j) * width + (rows ? j : i)] < threshold;
    bool const line = i < lines && dark > 0.35 * length;
    if (line && start < 0) start = i;
    if (!line && start >= 0) out.push_back((start + i - 1) / 2), start = -1;
  }
  return out;
}

TEST(OcrPixelLoops, LineRunsMatchTheirDefinitionAtAnyThreshold) {
  std::mt19937 rng(1303);
  double const thresholds[] = {-3.0, 0.0, 0.5, 99.5, 100.0, 127.25, 128.0, 255.5, 256.0, 400.0,
                               std::numeric_limits<double>::quiet_NaN()};
  for (int trial = 0; trial < 30; ++trial) {
    int const width = 5 + static_cast<int>(rng() % 70), height = 5 + static_cast<int>(rng() % 70);
    // Grey levels 95..105 everywhere, so that thresholds near 100 split lines from paper.
    std::vector<unsigned char> grey(static_cast<std::size_t>(width) * height);
    for (auto& v : grey) v = static_cast<unsigned char>(95 + rng() % 11);
    for (double t : thresholds)
      for (bool rows : {true, false})
        ASSERT_EQ(ocr_line_runs(grey.data(), width, height, t, rows),
                  line_runs_by_definition(grey, width, height, t, rows))
            << width << "x" << height << " threshold " << t << (rows ? " rows" : " columns");
  }
}

TEST(OcrPixelLoops, MultiChannelWarpIsEachChannelWarpedAlone) {
  std::mt19937 rng(1304);
  for (int channels = 1; channels <= 4; ++channels) {
    int const width = 61, height = 47;
    std::vector<unsigned char> const picture = random_bytes(rng, static_cast<std::size_t>(width) * height * channels);
    // A leaning quad reaching past the picture on two sides (white there).
    OcrQuad const quad{{-6.5f, 50.0f, 66.0f, 3.0f}, {4.0f, -3.0f, 44.5f, 52.0f}};
    OcrHomography h{};
    ASSERT_TRUE(ocr_homography(quad, h));
    int const size = 53;
    OcrImage const together = ocr_warp(picture.data(), width, height, h, size, channels);
    ASSERT_EQ(together.size(), static_cast<std::size_t>(size) * size * channels);
    int whites = 0;
    for (int c = 0; c < channels; ++c) {
      OcrImage plane(static_cast<std::size_t>(width) * height);
      for (std::size_t i = 0; i < plane.size(); ++i) plane[i] = picture[i * channels + c];
      OcrImage const alone = ocr_warp(plane.data(), width, height, h, size);
      for (std::size_t i = 0; i < alone.size(); ++i) {
        ASSERT_EQ(together[i * channels + c], alone[i]) << "channel " << c << " of " << channels << " at " << i;
        whites += alone[i] == 255;
      }
    }
    EXPECT_GT(whites, size * channels);  // the parts outside the picture stay white
  }
}

TEST(OcrPixelLoops, PaletteEntriesHoldUnderColourNoise) {
  // Two fills in a checkerboard of cells, each pixel's colour jittered so that the
  // cells hold thousands of distinct colours (the vote table's slots collide).
  int const cell = 24, side = 9 * cell;
  std::mt19937 rng(1305);
  std::vector<unsigned char> pixels(static_cast<std::size_t>(side) * side * 3);
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) {
      bool const pink = ((y / cell) + (x / cell)) % 2 == 0;
      int const base[3] = {pink ? 240 : 200, pink ? 200 : 235, pink ? 205 : 240};
      for (int c = 0; c < 3; ++c)
        pixels[(static_cast<std::size_t>(y) * side + x) * 3 + c] = static_cast<unsigned char>(base[c] - rng() % 12);
    }
  OcrImage const grey = ocr_to_grey(pixels.data(), side, side, 3);
  OcrPictureView const view{pixels.data(), side, side, 3};
  OcrLattice const lattice{0, 0, static_cast<double>(cell), static_cast<double>(cell)};
  std::vector<OcrColour> const palette = ocr_palette(view, grey.data(), lattice);
  ASSERT_EQ(palette.size(), 2u);
  std::array<int, 81> const entries = ocr_palette_entries(view, grey.data(), lattice, palette);
  int const pink_entry = palette[0].r > palette[1].r ? 0 : 1;
  for (int c = 0; c < 81; ++c)
    EXPECT_EQ(entries[static_cast<std::size_t>(c)], (c / 9 + c % 9) % 2 == 0 ? pink_entry : 1 - pink_entry)
        << "cell " << c;
}

}  // namespace
