// Region and diagonal detection and the rules referee: counting repeats under a
// puzzle's rules, the referee's choice, regions from walls and strengths, the
// lattice fit, palette edge cases and the detectors on drawn colour pictures.
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "api/engine_api.h"
#include "ocr/ocr.h"

namespace {

std::array<int, 81> boxes() {
  std::array<int, 81> b{};
  for (int c = 0; c < 81; ++c) b[static_cast<std::size_t>(c)] = 3 * (c / 27) + (c % 9) / 3;
  return b;
}

std::vector<int> as_vector(std::array<int, 81> const& a) { return {a.begin(), a.end()}; }

// A jigsaw map of the engine's shipped kind (nine regions of nine cells).
std::array<int, 81> jigsaw_map() {
  char const* text = "000111222300111224300111224305555524306657724336555744336888744636888747666888777";
  std::array<int, 81> m{};
  for (int c = 0; c < 81; ++c) m[static_cast<std::size_t>(c)] = text[c] - '0';
  return m;
}

// Region grids numbered in order of first appearance, as the detectors number them.
std::array<int, 81> renumbered(std::array<int, 81> const& m) {
  int names[9];
  std::fill_n(names, 9, -1);
  int next = 0;
  std::array<int, 81> out{};
  for (int c = 0; c < 81; ++c) {
    int& n = names[m[static_cast<std::size_t>(c)]];
    if (n < 0) n = next++;
    out[static_cast<std::size_t>(c)] = n;
  }
  return out;
}

TEST(OcrUnitConflicts, CountsRepeatsPerUnitUnderTheRules) {
  std::array<int, 81> const jigsaw = jigsaw_map();
  struct Case {
    char const* what;
    std::vector<std::pair<int, int>> cells;  // (cell, digit)
    int const* regions;
    bool diagonals;
    int repeats;
  };
  std::array<int, 81> split{};  // boxes, but cells 0 and 1 in different regions
  split = boxes();
  split[1] = 1;
  split[3] = 0;
  Case const cases[] = {
      {"two 5s in a row and a box", {{0, 5}, {1, 5}}, nullptr, false, 2},
      {"the same with regions apart", {{0, 5}, {1, 5}}, split.data(), false, 1},
      {"two 3s on the main diagonal", {{0, 3}, {40, 3}}, nullptr, false, 0},
      {"the same with diagonals", {{0, 3}, {40, 3}}, nullptr, true, 1},
      {"anti-diagonal with diagonals", {{8, 4}, {72, 4}}, nullptr, true, 1},
      {"three in a column, other boxes", {{4, 9}, {31, 9}, {76, 9}}, nullptr, false, 2},
      {"jigsaw region, other boxes", {{9, 2}, {27, 2}}, jigsaw.data(), false, 2},  // column and region 3
      {"jigsaw: same box, other regions", {{31, 6}, {39, 6}}, jigsaw.data(), false, 0},
      {"the same under the boxes", {{31, 6}, {39, 6}}, nullptr, false, 1},
      {"values outside 1..9 ignored", {{0, 0}, {1, 10}, {2, -1}, {3, 10}}, nullptr, false, 0},
  };
  for (Case const& c : cases) {
    int digits[81] = {};
    for (auto [cell, d] : c.cells) digits[cell] = d;
    EXPECT_EQ(ocr_unit_conflicts(digits, c.regions, c.diagonals), c.repeats) << c.what;
  }
  // A region number outside 0..8 skips the region, not the row.
  int digits[81] = {};
  digits[0] = digits[1] = 7;
  std::array<int, 81> odd = boxes();
  odd[0] = 9;
  EXPECT_EQ(ocr_unit_conflicts(digits, odd.data(), false), 1);
  EXPECT_EQ(ocr_unit_conflicts(nullptr, nullptr, true), 0);
}

TEST(OcrReferee, ChoosesFewerRepeatsWithAtLeastAsManyDigits) {
  int first[81] = {};
  first[0] = first[1] = 5;  // repeats 2 (row, box)
  first[40] = 1;
  int readings[3][81] = {};
  // 0: no repeat but one digit fewer; 1: one repeat, as many digits; 2: no repeat, as many.
  readings[0][0] = 5;
  readings[0][40] = 1;
  readings[1][0] = 5;
  readings[1][4] = 5;
  readings[1][40] = 1;
  readings[2][0] = 5;
  readings[2][13] = 5;
  readings[2][40] = 1;
  EXPECT_EQ(ocr_choose_reading(first, readings, nullptr, false), 2);
  std::fill_n(readings[2], 81, 0);
  EXPECT_EQ(ocr_choose_reading(first, readings, nullptr, false), 1);
  // The reading with fewer digits is never taken, however clean.
  std::fill_n(readings[1], 81, 0);
  EXPECT_EQ(ocr_choose_reading(first, readings, nullptr, false), -1);
  // Equal repeats: the earlier alternative wins; a tie with the first reading keeps it.
  int same[3][81];
  for (auto& r : same) std::copy_n(first, 81, r);
  EXPECT_EQ(ocr_choose_reading(first, same, nullptr, false), -1);
  same[1][1] = 0;
  same[1][2] = 3;
  same[2][1] = 0;
  same[2][2] = 3;
  EXPECT_EQ(ocr_choose_reading(first, same, nullptr, false), 1);
}

TEST(OcrReferee, KeepsAReadingWithoutRepeatsWithoutLookingFurther) {
  // The referee returns before it reads anything: a null picture is never touched.
  int digits[81] = {};
  digits[0] = 1;
  digits[80] = 1;
  ocr_referee(nullptr, 0, 0, 1, nullptr, digits);
  EXPECT_EQ(digits[0], 1);
  EXPECT_EQ(digits[80], 1);
  EXPECT_STREQ(ocr_alternative_names[0], "radial corners");
  EXPECT_STREQ(ocr_alternative_names[1], "bright-region corners");
  EXPECT_STREQ(ocr_alternative_names[2], "other polarity");
}

// Walls of a region grid: boundaries between cells of different regions.
void walls_of(std::array<int, 81> const& m, bool* v, bool* h) {
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      if (c < 8) v[r * 8 + c] = m[static_cast<std::size_t>(9 * r + c)] != m[static_cast<std::size_t>(9 * r + c + 1)];
      if (r < 8) h[r * 9 + c] = m[static_cast<std::size_t>(9 * r + c)] != m[static_cast<std::size_t>(9 * r + c + 9)];
    }
}

TEST(OcrRegions, FromWallsNeedsNineRegionsOfNineCells) {
  bool v[72], h[72];
  int regions[81];
  for (auto const& map : {boxes(), jigsaw_map()}) {
    walls_of(map, v, h);
    ASSERT_TRUE(ocr_regions_from_walls(v, h, regions));
    EXPECT_EQ(std::vector<int>(regions, regions + 81), as_vector(renumbered(map)));
  }
  // Cell (0, 3) walled off from its box and opened to box 0: ten cells and eight.
  std::array<int, 81> ten = boxes();
  ten[3] = 0;
  walls_of(ten, v, h);
  std::fill_n(regions, 81, -7);
  EXPECT_FALSE(ocr_regions_from_walls(v, h, regions));
  EXPECT_EQ(regions[0], -7);  // nothing written on failure
  // No walls: one region of 81 cells; every wall: 81 regions.
  std::fill_n(v, 72, false);
  std::fill_n(h, 72, false);
  EXPECT_FALSE(ocr_regions_from_walls(v, h, regions));
  std::fill_n(v, 72, true);
  std::fill_n(h, 72, true);
  EXPECT_FALSE(ocr_regions_from_walls(v, h, regions));
}

TEST(OcrRegions, FromStrengthsTriesTheGapsWidestFirst) {
  bool v[72], h[72];
  walls_of(boxes(), v, h);
  float sv[72], sh[72];
  for (int i = 0; i < 72; ++i) {
    sv[i] = v[i] ? 10.0f : 0.0f;
    sh[i] = h[i] ? 10.0f : 0.0f;
  }
  // One stretch of box wall drawn faintly: the widest gap (3 to 10) leaves it out and
  // joins two boxes (18 cells, refused); the next gap (0 to 3) gives the boxes.
  sv[2] = 3.0f;
  int regions[81];
  ASSERT_TRUE(ocr_regions_from_strengths(sv, sh, regions));
  EXPECT_EQ(std::vector<int>(regions, regions + 81), as_vector(boxes()));
  // All boundaries alike: no gap, no regions.
  std::fill_n(sv, 72, 2.5f);
  std::fill_n(sh, 72, 2.5f);
  EXPECT_FALSE(ocr_regions_from_strengths(sv, sh, regions));
}

TEST(OcrLattice, FitsTenLinesAndKeepsItsReadsInsideTheProfile) {
  std::vector<double> profile(200, 0.0);
  for (int k = 0; k <= 9; ++k) profile[static_cast<std::size_t>(12 + 18 * k)] = 50;
  float start = 0, pitch = 0;
  ASSERT_TRUE(ocr_fit_lattice(profile, 14, 17, start, pitch));
  // Every line within the 2 positions the score looks around (several lattices do).
  for (int k = 0; k <= 9; ++k) EXPECT_LE(std::abs(std::lround(start + k * pitch) - (12 + 18 * k)), 2) << k;
  // Lines at the very ends of a profile: the lattice may start at -2 and end 2 past
  // the end; the search reads only inside (checked under the sanitizers).
  std::vector<double> edge(92, 0.0);
  for (int k = 0; k <= 9; ++k) edge[static_cast<std::size_t>(10 * k)] = 1;
  ASSERT_TRUE(ocr_fit_lattice(edge, 0, 10, start, pitch));
  EXPECT_LE(std::abs(std::lround(start)), 2);
  EXPECT_LE(std::abs(std::lround(start + 9 * pitch) - 90), 2);
  // Nothing to fit: no lattice, outputs untouched.
  start = pitch = -1;
  EXPECT_FALSE(ocr_fit_lattice(std::vector<double>(200, 0.0), 14, 17, start, pitch));
  EXPECT_FALSE(ocr_fit_lattice({}, 0, 10, start, pitch));
  EXPECT_FALSE(ocr_fit_lattice(profile, 14, 3, start, pitch));
  EXPECT_EQ(start, -1.0f);
}

// ---- Drawn colour pictures ----

struct Colour {
  int r, g, b;
};

struct Drawing {
  int width = 480, height = 440;
  std::vector<unsigned char> rgb = std::vector<unsigned char>(480 * 440 * 3);
  int left = 50, top = 30, pitch = 40;
  void fill(int x0, int y0, int x1, int y1, Colour c) {
    for (int y = std::max(y0, 0); y < std::min(y1, height); ++y)
      for (int x = std::max(x0, 0); x < std::min(x1, width); ++x) {
        unsigned char* p = &rgb[(static_cast<std::size_t>(y) * width + x) * 3];
        p[0] = static_cast<unsigned char>(c.r), p[1] = static_cast<unsigned char>(c.g), p[2] = static_cast<unsigned char>(c.b);
      }
  }
  void cell(int index, Colour c) {
    int const x = left + (index % 9) * pitch, y = top + (index / 9) * pitch;
    fill(x, y, x + pitch, y + pitch, c);
  }
};

struct Style {
  bool walls = true;            // thick lines between regions
  bool fills = false;           // regions filled in four colours
  int diagonal = 0;             // 0 none, 1 shaded grey, 2 a colour of their own
  bool grey_fills = false;      // the fills in four greys (one hue: one palette colour)
};

// A grid of 9 x 40 pixels with thin lines, the outline and the region walls thick.
Drawing draw(std::array<int, 81> const& regions, Style style) {
  Drawing d;
  d.fill(0, 0, d.width, d.height, {238, 236, 230});
  Colour const colour_tints[4] = {{255, 200, 200}, {200, 225, 255}, {205, 245, 190}, {255, 240, 165}};
  Colour const grey_tints[4] = {{238, 236, 230}, {212, 210, 205}, {225, 223, 218}, {200, 198, 194}};
  Colour const* tints = style.grey_fills ? grey_tints : colour_tints;
  // Four colours with neighbouring regions apart (greedy in region order).
  int colour[9];
  std::fill_n(colour, 9, -1);
  for (int g = 0; g < 9; ++g) {
    bool used[9] = {};
    for (int c = 0; c < 81; ++c) {
      if (regions[static_cast<std::size_t>(c)] != g) continue;
      int const around[4] = {c % 9 ? c - 1 : -1, c % 9 < 8 ? c + 1 : -1, c - 9, c + 9};
      for (int n : around)
        if (n >= 0 && n < 81 && colour[regions[static_cast<std::size_t>(n)]] >= 0)
          used[colour[regions[static_cast<std::size_t>(n)]]] = true;
    }
    colour[g] = 0;
    while (used[colour[g]]) ++colour[g];
  }
  for (int c = 0; c < 81; ++c) {
    Colour fill = style.fills ? tints[colour[regions[static_cast<std::size_t>(c)]] % 4] : Colour{238, 236, 230};
    bool const diagonal = c / 9 == c % 9 || c / 9 + c % 9 == 8;
    if (diagonal && style.diagonal == 1) fill = {fill.r * 4 / 5, fill.g * 4 / 5, fill.b * 4 / 5};
    if (diagonal && style.diagonal == 2) fill = {150, 215, 250};
    d.cell(c, fill);
  }
  Colour const ink{30, 30, 30};
  for (int k = 0; k <= 9; ++k) {
    d.fill(d.left - 1 + k * d.pitch, d.top - 1, d.left + 1 + k * d.pitch, d.top + 9 * d.pitch + 1, ink);
    d.fill(d.left - 1, d.top - 1 + k * d.pitch, d.left + 9 * d.pitch + 1, d.top + 1 + k * d.pitch, ink);
  }
  bool v[72], h[72];
  walls_of(regions, v, h);
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      int const x = d.left + (c + 1) * d.pitch, y = d.top + (r + 1) * d.pitch;
      if (style.walls && c < 8 && v[r * 8 + c]) d.fill(x - 3, y - d.pitch - 3, x + 3, y + 3, ink);
      if (style.walls && r < 8 && h[r * 9 + c]) d.fill(x - d.pitch - 3, y - 3, x + 3, y + 3, ink);
    }
  int const side = 9 * d.pitch;
  d.fill(d.left - 3, d.top - 3, d.left + side + 3, d.top + 3, ink);
  d.fill(d.left - 3, d.top + side - 3, d.left + side + 3, d.top + side + 3, ink);
  d.fill(d.left - 3, d.top - 3, d.left + 3, d.top + side + 3, ink);
  d.fill(d.left + side - 3, d.top - 3, d.left + side + 3, d.top + side + 3, ink);
  return d;
}

TEST(OcrDetectors, FindDrawnRegionsAndDiagonalMarks) {
  struct Case {
    char const* what;
    std::array<int, 81> map;
    Style style;
    bool regions_found;
    bool x;
  };
  Case const cases[] = {
      {"jigsaw by thick borders", jigsaw_map(), {true, false, 0}, true, false},
      {"jigsaw by coloured fills", jigsaw_map(), {false, true, 0}, true, false},
      {"jigsaw by both", jigsaw_map(), {true, true, 0}, true, false},
      {"classic boxes", boxes(), {true, false, 0}, true, false},
      {"boxes, diagonals shaded grey", boxes(), {true, false, 1}, true, true},
      {"boxes, diagonals in a colour of their own", boxes(), {true, false, 2}, true, true},
      {"jigsaw, diagonals shaded", jigsaw_map(), {true, true, 1}, true, true},
      {"all lines alike, one colour", boxes(), {false, false, 0}, false, false},
  };
  for (Case const& c : cases) {
    Drawing const d = draw(c.map, c.style);
    int regions[81];
    std::fill_n(regions, 81, -1);
    int const found = sudoku_ocr_regions(d.rgb.data(), d.width, d.height, 3, regions);
    EXPECT_EQ(found, c.regions_found ? 1 : 0) << c.what;
    std::array<int, 81> const expected = c.regions_found ? renumbered(c.map) : std::array<int, 81>{};
    EXPECT_EQ(std::vector<int>(regions, regions + 81), as_vector(expected)) << c.what;
    EXPECT_EQ(sudoku_ocr_detect_x(d.rgb.data(), d.width, d.height, 3), c.x ? 1 : 0) << c.what;
  }
}

TEST(OcrDetectors, PaletteWithNoneOrOneColour) {
  Drawing const d = draw(boxes(), {true, false, 0});
  OcrPictureView const view{d.rgb.data(), d.width, d.height, 3};
  OcrImage const grey = ocr_to_grey(d.rgb.data(), d.width, d.height, 3);
  OcrLattice const lattice{static_cast<double>(d.left), static_cast<double>(d.top), 40.0, 40.0};
  std::vector<OcrColour> const palette = ocr_palette(view, grey.data(), lattice);
  ASSERT_EQ(palette.size(), 1u);
  // One colour: every cell's light pixels vote for it (no second-nearest to doubt it).
  std::array<int, 81> entries = ocr_palette_entries(view, grey.data(), lattice, palette);
  for (int e : entries) EXPECT_EQ(e, 0);
  // No colour: no cell has an entry.
  entries = ocr_palette_entries(view, grey.data(), lattice, {});
  for (int e : entries) EXPECT_EQ(e, -1);
  EXPECT_EQ(ocr_chroma_distance({0, 0, 0}, {10, 10, 10}), 0);
  EXPECT_EQ(ocr_chroma_distance({255, 0, 0}, {0, 255, 0}), 2 * 255 * 255);
}

// The drawing under light that falls off towards its top-left corner (to 55% of the
// brightest), cut so that the grid's top-left corner lies 8 pixels inside the picture.
Drawing dimmed_and_cut(Drawing const& d) {
  Drawing out;
  int const dx = d.left - 8, dy = d.top - 8;
  out.width = d.width - dx;
  out.height = d.height - dy;
  out.left = 8, out.top = 8;
  out.rgb.assign(static_cast<std::size_t>(out.width) * out.height * 3, 0);
  for (int y = 0; y < out.height; ++y)
    for (int x = 0; x < out.width; ++x) {
      double const fx = 1.0 - double(x) / out.width, fy = 1.0 - double(y) / out.height;
      double const light = 1.0 - 0.45 * (fx * fx + fy * fy) / 2;
      for (int c = 0; c < 3; ++c)
        out.rgb[(static_cast<std::size_t>(y) * out.width + x) * 3 + c] = static_cast<unsigned char>(
            light * d.rgb[(static_cast<std::size_t>(y + dy) * d.width + x + dx) * 3 + c]);
    }
  return out;
}

TEST(OcrDetectors, ShadingInTheGridsFrameIsJudgedAgainstNearbyCells) {
  struct Case {
    char const* what;
    std::array<int, 81> map;
    Style style;
    bool x;
  };
  Case const cases[] = {
      {"boxes, diagonals shaded grey", boxes(), {true, false, 1}, true},
      {"boxes, plain", boxes(), {true, false, 0}, false},
      {"jigsaw fills, diagonals shaded", jigsaw_map(), {true, true, 1}, true},
      {"jigsaw fills, plain", jigsaw_map(), {true, true, 0}, false},
      {"jigsaw in grey fills, diagonals shaded", jigsaw_map(), {true, true, 1, true}, true},
      {"jigsaw in grey fills, plain", jigsaw_map(), {true, true, 0, true}, false},
      {"boxes, diagonals in a colour of their own", boxes(), {true, false, 2}, true},
  };
  for (Case const& c : cases) {
    Drawing const d = dimmed_and_cut(draw(c.map, c.style));
    float const x0 = float(d.left), y0 = float(d.top), side = float(9 * d.pitch);
    OcrQuad const grid{{x0, x0 + side, x0 + side, x0}, {y0, y0, y0 + side, y0 + side}};
    int regions[81];
    bool measured = false;
    OcrPictureRules const rules = ocr_rules_in_frame({d.rgb.data(), d.width, d.height, 3}, grid, regions, measured);
    EXPECT_TRUE(measured) << c.what;
    EXPECT_EQ(rules.diagonals, c.x) << c.what;
    ASSERT_NE(rules.regions, nullptr) << c.what;
    EXPECT_EQ(as_vector(renumbered(std::to_array(regions))), as_vector(renumbered(c.map))) << c.what;
  }
}

TEST(OcrReadPuzzle, ChecksItsArgumentsLikeTheOtherPictureCalls) {
  std::vector<unsigned char> pixels(64 * 64 * 3, 200);
  int digits[81], groups[81], diagonals = -5, regions[81];
  std::fill_n(digits, 81, -1);
  std::fill_n(regions, 81, -1);
  struct Bad {
    unsigned char const* p;
    int w, h, bpp;
  } const bad[] = {{nullptr, 64, 64, 3}, {pixels.data(), 26, 64, 3}, {pixels.data(), 64, 26, 3},
                   {pixels.data(), 64, 64, 0}, {pixels.data(), 64, 64, 5}, {pixels.data(), INT_MAX, INT_MAX, 4}};
  for (Bad const& b : bad) {
    EXPECT_EQ(sudoku_ocr_read_puzzle(b.p, b.w, b.h, b.bpp, digits, groups, &diagonals), 0);
    EXPECT_EQ(sudoku_ocr_regions(b.p, b.w, b.h, b.bpp, regions), 0);
    EXPECT_EQ(sudoku_ocr_detect_x(b.p, b.w, b.h, b.bpp), 0);
  }
  EXPECT_EQ(digits[0], -1);
  EXPECT_EQ(regions[0], -1);
  EXPECT_EQ(diagonals, -5);
  EXPECT_EQ(sudoku_ocr_read_puzzle(pixels.data(), 64, 64, 3, digits, nullptr, &diagonals), 0);
  EXPECT_EQ(sudoku_ocr_read_puzzle(pixels.data(), 64, 64, 3, digits, groups, nullptr), 0);
  EXPECT_EQ(sudoku_ocr_regions(pixels.data(), 64, 64, 3, nullptr), 0);
  // A blank picture: read, nothing found, the boxes and no diagonals.
  ASSERT_EQ(sudoku_ocr_read_puzzle(pixels.data(), 64, 64, 3, digits, groups, &diagonals), 1);
  EXPECT_EQ(diagonals, 0);
  EXPECT_EQ(std::vector<int>(groups, groups + 81), as_vector(boxes()));
  for (int d : digits) EXPECT_EQ(d, 0);
}

TEST(OcrReadPuzzle, ScalesLargePicturesDownOnceByAnIntegerFactor) {
  std::vector<unsigned char> big(static_cast<std::size_t>(4032) * 3024 * 3);
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<unsigned char>((i / 3) % 4032 % 3 * 60);
  OcrPicture const small = ocr_scaled_down({big.data(), 4032, 3024, 3}, 1600);
  EXPECT_EQ(small.width, 1344);
  EXPECT_EQ(small.height, 1008);
  EXPECT_EQ(small.bpp, 3);
  // Columns 0, 1, 2 hold 0, 60, 120: their mean is 60 everywhere.
  EXPECT_EQ(small.pixels[0], 60);
  EXPECT_EQ(small.pixels[small.pixels.size() - 1], 60);
  EXPECT_TRUE(ocr_scaled_down({big.data(), 1600, 1200, 3}, 1600).pixels.empty());
  // Reading's own limit: the smallest factor that brings the longer side within it.
  OcrPicture const read = ocr_scaled_down({big.data(), 4032, 3024, 3});
  ASSERT_GT(read.width, 0);
  int const factor = 4032 / read.width;
  EXPECT_LE(read.width, ocr_reading_side_limit);
  EXPECT_GT(4032 / (factor - 1), ocr_reading_side_limit);  // a smaller factor would not do
  EXPECT_EQ(read.height, 3024 / factor);
}

}  // namespace
