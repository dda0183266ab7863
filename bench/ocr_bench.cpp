// One full read of a photo (grey conversion, location, perspective or tilt
// correction, cells and network) at 640x480, 1600x1200 and a phone's 4032x3024;
// the whole puzzle (digits, regions, diagonal mark) of a classic and a jigsaw photo.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "api/engine_api.h"

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

namespace {

struct Photo {
  int width = 0, height = 0, bpp = 0;
  std::vector<unsigned char> pixels;
};

// The photo scaled to width x height by nearest sample (0: as it is).
Photo load(char const* name, int width = 0, int height = 0) {
  Photo p;
  std::string const path = std::string(NONET_SOURCE_DIR) + "/tests/data/ocr/" + name;
  unsigned char* data = stbi_load(path.c_str(), &p.width, &p.height, &p.bpp, 0);
  if (data) {
    p.pixels.assign(data, data + static_cast<std::size_t>(p.width) * p.height * p.bpp);
    stbi_image_free(data);
  }
  if (width > 0 && !p.pixels.empty()) {
    Photo scaled{width, height, p.bpp, std::vector<unsigned char>(static_cast<std::size_t>(width) * height * p.bpp)};
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x)
        for (int c = 0; c < p.bpp; ++c)
          scaled.pixels[(static_cast<std::size_t>(y) * width + x) * p.bpp + c] =
              p.pixels[(static_cast<std::size_t>(y * p.height / height) * p.width + x * p.width / width) * p.bpp + c];
    return scaled;
  }
  return p;
}

void read_photo(benchmark::State& state, char const* name, int width, int height) {
  Photo const p = load(name, width, height);
  if (p.pixels.empty()) {
    state.SkipWithError("photo missing");
    return;
  }
  int digits[81];
  for (auto _ : state) {
    benchmark::DoNotOptimize(sudoku_ocr_recognize(p.pixels.data(), p.width, p.height, p.bpp, digits));
    benchmark::ClobberMemory();
  }
  state.SetLabel(std::to_string(p.width) + "x" + std::to_string(p.height));
}

void read_puzzle(benchmark::State& state, char const* name, int width, int height) {
  Photo const p = load(name, width, height);
  if (p.pixels.empty()) {
    state.SkipWithError("photo missing");
    return;
  }
  int digits[81], groups[81], diagonals = 0;
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        sudoku_ocr_read_puzzle(p.pixels.data(), p.width, p.height, p.bpp, digits, groups, &diagonals));
    benchmark::ClobberMemory();
  }
  state.SetLabel(std::to_string(p.width) + "x" + std::to_string(p.height));
}

void locate_photo(benchmark::State& state, char const* name, int width, int height) {
  Photo const p = load(name, width, height);
  if (p.pixels.empty()) {
    state.SkipWithError("photo missing");
    return;
  }
  int box[4];
  for (auto _ : state) benchmark::DoNotOptimize(sudoku_ocr_locate(p.pixels.data(), p.width, p.height, p.bpp, box));
  state.SetLabel(std::to_string(p.width) + "x" + std::to_string(p.height));
}

}  // namespace

// The newspaper photo (tests/data/ocr, CC-BY-4.0) as taken and enlarged to 1600x1200.
BENCHMARK_CAPTURE(read_photo, 640x480, "photo_640x480.jpg", 0, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_photo, 1600x1200, "photo_640x480.jpg", 1600, 1200)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_photo, 4032x3024, "photo_640x480.jpg", 4032, 3024)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_puzzle, 640x480, "photo_640x480.jpg", 0, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_puzzle, 1600x1200, "photo_640x480.jpg", 1600, 1200)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_puzzle, 4032x3024, "photo_640x480.jpg", 4032, 3024)->Unit(benchmark::kMillisecond);
// A rendered jigsaw picture (tests/data/ocr/rendered).
BENCHMARK_CAPTURE(read_puzzle, jigsaw_640x480, "rendered/jigsaw_both.jpg", 0, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_puzzle, jigsaw_1600x1200, "rendered/jigsaw_both.jpg", 1600, 1200)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(read_puzzle, jigsaw_4032x3024, "rendered/jigsaw_both.jpg", 4032, 3024)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(locate_photo, 640x480, "photo_640x480.jpg", 0, 0)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(locate_photo, 1600x1200, "photo_640x480.jpg", 1600, 1200)->Unit(benchmark::kMillisecond);
