// Region colouring: the node colouring, the square checkerboard, irregular maps and the fourth colour.
#include <gtest/gtest.h>

#include "groupmap_test_support.h"
#include "testing/test_boards.h"
#include "util/random.h"

namespace {

struct SeededRandom {
  explicit SeededRandom(uint64_t seed) { sudoku_seed_random(seed); }
  ~SeededRandom() { sudoku_seed_random(0); }
};

bool path_adjacent(int i, int j) { return j == i + 1; }
bool all_adjacent(int i, int j) { return i != j; }

// A 180-degree symmetric jigsaw map (rows 0..2 and 6..8 bands of odd shapes) used in several tests.
Matrix<int, 9> rotational_map() {
  char const* rows[9] = {"000011122", "000111222", "003311222", "333341425", "334444455",
                         "364745555", "666775588", "666777888", "667778888"};
  Matrix<int, 9> m;
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) m[r][c] = rows[r][c] - '0';
  return m;
}

}  // namespace

TEST(FourColorMapTest, SmallGraphs) {
  SeededRandom seed(3);
  FourColorMap colouring;
  bool adjacency[9][9] = {};
  adjacency[0][1] = adjacency[1][0] = true;
  int colors[9];
  EXPECT_FALSE(colouring.mapColorsToNodes(1, 2, colors, adjacency));
  EXPECT_TRUE(colouring.mapColorsToNodes(2, 2, colors, adjacency));
  EXPECT_NE(colors[0], colors[1]);
  colors[0] = 7;
  EXPECT_TRUE(colouring.mapColorsToNodes(1, 1, colors, adjacency));
  EXPECT_EQ(colors[0], 0);

  // A complete graph on five nodes needs five colours.
  bool k5[9][9] = {};
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) k5[i][j] = i != j;
  EXPECT_FALSE(colouring.mapColorsToNodes(4, 5, colors, k5));
  EXPECT_TRUE(colouring.mapColorsToNodes(5, 5, colors, k5));
  for (int i = 0; i < 5; ++i)
    for (int j = i + 1; j < 5; ++j) EXPECT_NE(colors[i], colors[j]);
}

TEST(FourColorMapTest, PredicateForm) {
  SeededRandom seed(4);
  FourColorMap colouring;
  int colors[9];
  EXPECT_EQ(colouring.mapColorsToNodes(2, 9, colors, path_adjacent), 0);
  for (int i = 0; i + 1 < 9; ++i) EXPECT_NE(colors[i], colors[i + 1]);
  EXPECT_EQ(colouring.mapColorsToNodes(4, 4, colors, all_adjacent), 0);
  for (int i = 0; i < 4; ++i)
    for (int j = i + 1; j < 4; ++j) EXPECT_NE(colors[i], colors[j]);
}

TEST(RegionColouring, SquareCheckerboard) {
  SeededRandom seed(7);
  bool saw[2] = {false, false};
  for (int trial = 0; trial < 16; ++trial) {
    GroupMap g(MAP_REGULAR);
    int const c = g.colorMap[0];
    ASSERT_TRUE(c == 0 || c == 1);
    saw[c] = true;
    for (int b = 0; b < 9; ++b) EXPECT_EQ(g.colorMap[b], b % 2 == 0 ? c : 1 - c);
  }
  EXPECT_TRUE(saw[0] && saw[1]);
}

TEST(RegionColouring, AdjacencyCountsEdgesOnly) {
  GroupMap g(MAP_REGULAR);
  bool a[9][9];
  Matrix<int, 9> boxes = test_boards::square_map();
  GroupMapTestAccess::fillAdjacencyMatrix(g, a, boxes);
  EXPECT_TRUE(a[0][1] && a[1][0] && a[0][3] && a[4][5]);
  EXPECT_FALSE(a[0][4]);  // corner contact only
  EXPECT_FALSE(a[0][0]);
  EXPECT_FALSE(a[0][8]);
}

TEST(RegionColouring, IrregularMapsColourPartnersAlike) {
  SeededRandom seed(8);
  Matrix<int, 9> const map = rotational_map();
  ASSERT_TRUE(groupmap_test::nine_connected_groups_of_nine(map));
  for (int trial = 0; trial < 40; ++trial) {
    GroupMap g(MAP_REGULAR);
    g.mapType = MAP_IRREGULAR;
    g.symmetryType = 1;
    g.groupMap = map;
    GroupMapTestAccess::makeIrregColorMap(g);
    for (int k = 0; k < 81; ++k) {
      int const a = map.data()[k], b = map.data()[80 - k];
      EXPECT_EQ(g.colorMap[a], g.colorMap[b]);  // partners share
      EXPECT_GE(g.colorMap[a], 0);
      EXPECT_LT(g.colorMap[a], 4);
      int const r = k / 9, c = k % 9;
      // Edge neighbours in different groups differ unless they are partners.
      if (c < 8) {
        int const n = map[r][c + 1];
        bool const partners = map.data()[80 - k] == n;
        if (n != a && !partners) {
          EXPECT_NE(g.colorMap[a], g.colorMap[n]);
        }
      }
      if (r < 8) {
        int const n = map[r + 1][c];
        bool const partners = map.data()[80 - k] == n;
        if (n != a && !partners) {
          EXPECT_NE(g.colorMap[a], g.colorMap[n]);
        }
      }
    }
  }
}

TEST(RegionColouring, FourthColour) {
  GroupMap g(MAP_REGULAR);
  g.symmetryType = 1;
  int const all_four[9] = {0, 1, 2, 3, 0, 1, 2, 3, 0};
  std::copy(all_four, all_four + 9, g.colorMap);
  GroupMapTestAccess::change_3_color_map_to_4(g);
  EXPECT_TRUE(std::equal(all_four, all_four + 9, g.colorMap));

  // Counts 4, 3, 2, 0: colour 3 goes to the groups of cell 0 and of its partner corner.
  int const four_three_two[9] = {0, 1, 0, 1, 0, 1, 2, 2, 0};
  std::copy(four_three_two, four_three_two + 9, g.colorMap);
  GroupMapTestAccess::change_3_color_map_to_4(g);
  int expect_rot[9] = {3, 1, 0, 1, 0, 1, 2, 2, 3};
  EXPECT_TRUE(std::equal(expect_rot, expect_rot + 9, g.colorMap));

  g.symmetryType = 0;  // mirror maps: the top-right corner
  std::copy(four_three_two, four_three_two + 9, g.colorMap);
  GroupMapTestAccess::change_3_color_map_to_4(g);
  int expect_mir[9] = {3, 1, 3, 1, 0, 1, 2, 2, 0};
  EXPECT_TRUE(std::equal(expect_mir, expect_mir + 9, g.colorMap));

  // Counts 3, 3, 3, 0: the centre group.
  int const threes[9] = {0, 1, 2, 0, 1, 2, 0, 1, 2};
  std::copy(threes, threes + 9, g.colorMap);
  GroupMapTestAccess::change_3_color_map_to_4(g);
  int expect_centre[9] = {0, 1, 2, 0, 3, 2, 0, 1, 2};
  EXPECT_TRUE(std::equal(expect_centre, expect_centre + 9, g.colorMap));
}
