// Matrix transforms, symmetric completion, partner merging, renumbering and runs.
#include <gtest/gtest.h>

#include "groupmap_test_support.h"
#include "testing/test_boards.h"
#include "util/random.h"

using groupmap_test::canonical;

namespace {

Matrix<int, 9> index_matrix() {
  Matrix<int, 9> m;
  for (int i = 0; i < 81; ++i) m.data()[i] = i;
  return m;
}

Matrix<int, 9> random_matrix() {
  Matrix<int, 9> m;
  for (int i = 0; i < 81; ++i) m.data()[i] = static_cast<int>(arc4random_uniform(1000));
  return m;
}

struct SeededRandom {
  explicit SeededRandom(uint64_t seed) { sudoku_seed_random(seed); }
  ~SeededRandom() { sudoku_seed_random(0); }
};

}  // namespace

TEST(MatrixTransforms, RotationsOfTheIndexMatrix) {
  Matrix<int, 9> m = index_matrix();
  m.rotate90();
  int const top90[9] = {8, 17, 26, 35, 44, 53, 62, 71, 80};
  for (int c = 0; c < 9; ++c) EXPECT_EQ(m[0][c], top90[c]);
  Matrix<int, 9> n = index_matrix();
  n.rotate270();
  int const top270[9] = {72, 63, 54, 45, 36, 27, 18, 9, 0};
  for (int c = 0; c < 9; ++c) EXPECT_EQ(n[0][c], top270[c]);
  Matrix<int, 9> lr = index_matrix();
  lr.reflectLR();
  EXPECT_EQ(lr[2][0], 26);
  Matrix<int, 9> d = index_matrix();
  d.reflectDiag00();
  EXPECT_EQ(d[1][7], 7 * 9 + 1);
}

TEST(MatrixTransforms, InversesRestoreTheMatrix) {
  SeededRandom seed(11);
  for (int trial = 0; trial < 20; ++trial) {
    Matrix<int, 9> const original = random_matrix();
    Matrix<int, 9> m = original;
    EXPECT_EQ(m.rotate90().rotate270(), original);
    EXPECT_EQ(m.reflectLR().reflectLR(), original);
    EXPECT_EQ(m.reflectDiag00().reflectDiag00(), original);
    EXPECT_EQ(m.rotate90().rotate90().rotate90().rotate90(), original);
    Matrix<int, 9> once = original;
    once.rotate90();
    EXPECT_FALSE(once == original);
  }
}

TEST(GroupRenumbering, ExamplesAndCounts) {
  GroupMap g(MAP_REGULAR);
  Matrix<int, 9> boxes = test_boards::square_map();
  Matrix<int, 9> m = boxes;
  EXPECT_EQ(GroupMapTestAccess::renumberGroupMap(g, m), 9);
  EXPECT_EQ(m, boxes);

  Matrix<int, 9> row;
  int const first[9] = {5, 5, 5, 2, 2, 2, 7, 7, 7};
  for (int c = 0; c < 9; ++c) row[0][c] = first[c];
  for (int r = 1; r < 9; ++r)
    for (int c = 0; c < 9; ++c) row[r][c] = 7;
  EXPECT_EQ(GroupMapTestAccess::renumberGroupMap(g, row), 3);
  int const expect[9] = {0, 0, 0, 1, 1, 1, 2, 2, 2};
  for (int c = 0; c < 9; ++c) EXPECT_EQ(row[0][c], expect[c]);
  EXPECT_EQ(row[8][8], 2);
}

TEST(SymmetricCompletion, RotationalPairsNineAndZero) {
  SeededRandom seed(5);
  for (int trial = 0; trial < 16; ++trial) {
    GroupMap g(MAP_REGULAR);
    // Stored part: cells 0..40 with labels 1..8 in pattern, cell 39 label 0, centre label 9.
    for (int k = 0; k <= 40; ++k) g.groupMap.data()[k] = 1 + k % 8;
    g.groupMap.data()[39] = 0;
    g.groupMap.data()[40] = 9;
    GroupMapTestAccess::fillOutRotationalMap(g, 41);
    int const* m = g.groupMap.data();
    EXPECT_EQ(m[40], 9);
    int minus_ones = 0;
    for (int k = 0; k < 81; ++k) {
      if (k == 40) continue;
      int const a = m[k], b = m[80 - k];
      if (a == -1 || b == -1) {
        ++minus_ones;
        EXPECT_EQ(a + b, -1);  // -1 opposite 0
        continue;
      }
      EXPECT_TRUE((a % 2 == 1 && b == a + 1) || (a % 2 == 0 && b == a - 1)) << k;
    }
    EXPECT_EQ(minus_ones, 2);  // the pair counted from both ends
  }
}

TEST(SymmetricCompletion, MirrorCompletionIsLeftRightSymmetric) {
  SeededRandom seed(6);
  bool saw_rotate90 = false, saw_rotate270 = false;
  for (int trial = 0; trial < 16; ++trial) {
    GroupMap g(MAP_REGULAR);
    Matrix<int, 9> stored;
    // Rows 0..3: labels 1, 3, 5, 7 per row; row 4: label 9 (its own image).
    for (int k = 0; k < 45; ++k) stored.data()[k] = k < 36 ? 1 + 2 * (k / 9) : 9;
    g.groupMap = stored;
    GroupMapTestAccess::fillOutMirrorMap(g, 45);
    // Before the turn rows 5..8 are rows 3..0 with label + 1; after the turn columns c and 8-c pair up.
    Matrix<int, 9> expected;
    for (int k = 0; k < 81; ++k) {
      int const r = k / 9;
      expected.data()[k] = r < 4 ? 1 + 2 * r : (r == 4 ? 9 : 2 + 2 * (8 - r));
    }
    Matrix<int, 9> a = expected, b = expected;
    a.rotate90();
    b.rotate270();
    saw_rotate90 |= g.groupMap == a;
    saw_rotate270 |= g.groupMap == b;
    EXPECT_TRUE(g.groupMap == a || g.groupMap == b);
  }
  EXPECT_TRUE(saw_rotate90 && saw_rotate270);
}

TEST(SymmetricCompletion, ReduceMergesPartnersEvenWhenAdjacent) {
  GroupMap g(MAP_REGULAR);
  g.symmetryType = 1;
  Matrix<int, 9> m;
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      int v = r;
      if (r == 4) v = c < 4 ? 3 : (c == 4 ? 4 : 5);
      m[r][c] = v;
    }
  GroupMapTestAccess::reduceGroupMap(g, m);
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      int expect = r < 4 ? r : 8 - r;
      if (r == 4) expect = c == 4 ? 4 : 3;
      EXPECT_EQ(m[r][c], expect) << r << "," << c;
    }

  // Mirror maps pair column c with 8 - c: boxes 0/2, 3/5, 6/8; the middle boxes are their own partners.
  g.symmetryType = 0;
  Matrix<int, 9> boxes = test_boards::square_map();
  GroupMapTestAccess::reduceGroupMap(g, boxes);
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) EXPECT_EQ(boxes[r][c], 3 * (r / 3) + (c / 3 == 1 ? 1 : 0));
}

TEST(SymmetricCompletion, LongestRun) {
  GroupMap g(MAP_REGULAR);
  EXPECT_EQ(GroupMapTestAccess::dimWithLongestRun(g), DIM_ROW);
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) g.groupMap[r][c] = c;
  EXPECT_EQ(GroupMapTestAccess::dimWithLongestRun(g), DIM_COL);
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) g.groupMap[r][c] = r;
  EXPECT_EQ(GroupMapTestAccess::dimWithLongestRun(g), DIM_ROW);
}

TEST(SymmetricCompletion, NonMapOfFortyBytesFillsEveryCell) {
  SeededRandom seed(9);
  // Stored labels: cell k gets 1 + (k % 9), i.e. columns as groups, but cell 0 is label 1 as always.
  Matrix<int, 9> cols;
  for (int k = 0; k < 81; ++k) cols.data()[k] = 1 + k % 9;
  for (int trial = 0; trial < 8; ++trial) {
    GroupMap g(MAP_REGULAR);
    g.symmetryType = 2;
    g.compressize = 40;
    for (int i = 0; i < 40; ++i)
      g.compressedMap[i] = static_cast<unsigned char>((cols.data()[1 + 2 * i] << 4) | cols.data()[2 + 2 * i]);
    GroupMapTestAccess::binaryToIntegerMap(g);
    Matrix<int, 9> a = cols, b = cols;
    a.rotate90();
    b.rotate270();
    EXPECT_EQ(g.groupMap[0][0], 0);
    EXPECT_TRUE(g.groupMap == canonical(a) || g.groupMap == canonical(b));
    EXPECT_FALSE(GroupMapTestAccess::mapIsSquareBoxes(g));
  }
}

TEST(SymmetricCompletion, SquareTestIgnoresNumbers) {
  GroupMap g(MAP_REGULAR);
  EXPECT_TRUE(GroupMapTestAccess::mapIsSquareBoxes(g));
  for (int& v : *reinterpret_cast<int(*)[81]>(g.groupMap.data())) v = 8 - v;
  EXPECT_TRUE(GroupMapTestAccess::mapIsSquareBoxes(g));
  std::swap(g.groupMap[0][2], g.groupMap[0][3]);
  EXPECT_FALSE(GroupMapTestAccess::mapIsSquareBoxes(g));
}

TEST(GroupMapPrinting, RowsAndColours) {
  GroupMap g(MAP_REGULAR);
  testing::internal::CaptureStdout();
  GroupMapTestAccess::print_group_map(g);
  GroupMapTestAccess::print_color_map(g);
  std::string const out = testing::internal::GetCapturedStdout();
  std::string const c = std::to_string(g.colorMap[0]), d = std::to_string(g.colorMap[1]);
  std::string expected =
      "0 0 0 1 1 1 2 2 2 \n0 0 0 1 1 1 2 2 2 \n0 0 0 1 1 1 2 2 2 \n"
      "3 3 3 4 4 4 5 5 5 \n3 3 3 4 4 4 5 5 5 \n3 3 3 4 4 4 5 5 5 \n"
      "6 6 6 7 7 7 8 8 8 \n6 6 6 7 7 7 8 8 8 \n6 6 6 7 7 7 8 8 8 \n";
  for (int k = 0; k < 9; ++k) expected += (k % 2 == 0 ? c : d) + " ";
  EXPECT_EQ(out, expected + "\n");
}
