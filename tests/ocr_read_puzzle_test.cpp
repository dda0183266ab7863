// The whole puzzle from a photo, end to end: rendered pictures of every kind
// (tests/data/ocr/rendered) read right, and the newspaper photos of classic puzzles
// give the boxes (or no regions) and never diagonals.
#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <string>
#include <vector>

#include "api/engine_api.h"
#include "ocr/ocr.h"
#include "tests/ocr_photos.h"

namespace {

using ocr_photos::data_path;
using ocr_photos::load_photo;
using ocr_photos::Photo;

struct Truth {
  std::array<int, 81> digits{}, regions{};
  int diagonals = 0;
};

Truth load_truth(std::string const& name) {
  std::ifstream in(data_path(name));
  std::string line, word;
  std::getline(in, line);
  std::getline(in, line);
  Truth t;
  for (int& v : t.digits) in >> v;
  in >> word;
  EXPECT_EQ(word, "regions") << name;
  for (int& v : t.regions) in >> v;
  in >> word >> t.diagonals;
  EXPECT_EQ(word, "diagonals") << name;
  return t;
}

// Same grouping of the cells, whatever the region numbers.
bool same_regions(int const* a, int const* b) {
  for (int i = 0; i < 81; ++i)
    for (int j = i + 1; j < 81; ++j)
      if ((a[i] == a[j]) != (b[i] == b[j])) return false;
  return true;
}

TEST(OcrReadPuzzle, RenderedPicturesOfEveryKindReadRight) {
  for (char const* kind : {"classic_coloured_boxes", "jigsaw_borders", "jigsaw_fills", "jigsaw_both", "x_grey",
                           "x_coloured", "x_jigsaw"}) {
    Photo const p = load_photo(std::string("rendered/") + kind + ".jpg");
    Truth const t = load_truth(std::string("rendered/") + kind + ".dat");
    int digits[81], groups[81], diagonals = -1;
    ASSERT_EQ(sudoku_ocr_read_puzzle(p.pixels.data(), p.width, p.height, p.bpp, digits, groups, &diagonals), 1);
    EXPECT_EQ(std::vector<int>(digits, digits + 81), std::vector<int>(t.digits.begin(), t.digits.end())) << kind;
    EXPECT_TRUE(same_regions(groups, t.regions.data())) << kind;
    EXPECT_EQ(diagonals, t.diagonals) << kind;
  }
}

TEST(OcrReadPuzzle, NewspaperPhotosAreClassicWithoutDiagonals) {
  std::array<int, 81> boxes{};
  for (int c = 0; c < 81; ++c) boxes[static_cast<std::size_t>(c)] = 3 * (c / 27) + (c % 9) / 3;
  for (char const* name : {"image1050", "image1075", "image1087", "image206"}) {
    Photo const p = load_photo(std::string(name) + ".jpg");
    int regions[81];
    if (sudoku_ocr_regions(p.pixels.data(), p.width, p.height, p.bpp, regions)) {
      EXPECT_TRUE(same_regions(regions, boxes.data())) << name;
    }
    EXPECT_EQ(sudoku_ocr_detect_x(p.pixels.data(), p.width, p.height, p.bpp), 0) << name;
    int digits[81], groups[81], diagonals = -1;
    ASSERT_EQ(sudoku_ocr_read_puzzle(p.pixels.data(), p.width, p.height, p.bpp, digits, groups, &diagonals), 1);
    EXPECT_EQ(diagonals, 0) << name;
    EXPECT_EQ(std::vector<int>(groups, groups + 81), std::vector<int>(boxes.begin(), boxes.end())) << name;
  }
}

}  // namespace
