// Board set-up: houses, ring links, house entry points, neighbours, overlap map.
#include <gtest/gtest.h>

#include <vector>

#include "testing/test_boards.h"

using test_boards::square_map;

namespace {

std::vector<int> ring(Puzzle& p, int start, int dim) {
  std::vector<int> out;
  PUZZLE_CELL* c = &p.cells[start];
  do {
    out.push_back(c->offset());
    c = Puzzle::next_in(c, dim);
  } while (c != &p.cells[start] && out.size() < 20);
  return out;
}

}  // namespace

TEST(Geometry, CellLayoutMatchesStoredFormat) {
  Puzzle p;
  EXPECT_EQ(static_cast<void*>(static_cast<PuzzleData*>(&p)), static_cast<void*>(&p));
  EXPECT_EQ(reinterpret_cast<char*>(&p.cancel_requested) - reinterpret_cast<char*>(&p), 5232);
  EXPECT_EQ(sudoku_puzzle_byte_size(), 5184);
}

TEST(Geometry, SquareMapHousesAndRings) {
  Puzzle p;
  p.set_types(MAP_REGULAR, ADJ_NONE);
  p.setup(square_map());
  auto const& c40 = p.cells[40];
  EXPECT_EQ(std::vector<int>(c40.house, c40.house + 5), (std::vector<int>{4, 4, 4, 0, 0}));
  auto const& c8 = p.cells[8];
  EXPECT_EQ(std::vector<int>(c8.house, c8.house + 5), (std::vector<int>{2, 0, 8, -1, 0}));
  EXPECT_EQ(ring(p, 0, DIM_GROUP), (std::vector<int>{0, 1, 2, 9, 10, 11, 18, 19, 20}));
  EXPECT_EQ(ring(p, 0, DIM_DIAG), (std::vector<int>{0, 10, 20, 30, 40, 50, 60, 70, 80}));
  EXPECT_EQ(ring(p, 8, DIM_ANTI_DIAG), (std::vector<int>{8, 16, 24, 32, 40, 48, 56, 64, 72}));
  EXPECT_EQ(ring(p, 4, DIM_COL).back(), 76);
  EXPECT_EQ(p.cells[1].next_in_dim[DIM_DIAG], 0);
  EXPECT_EQ(p.cells[80].next_in_dim[DIM_DIAG], -80);
  EXPECT_EQ(p.cells[72].next_in_dim[DIM_ANTI_DIAG], -64);
  EXPECT_EQ(p.ptrs_first_in_dims[DIM_DIAG][0], &p.cells[0]);
  EXPECT_EQ(p.ptrs_first_in_dims[DIM_ANTI_DIAG][0], &p.cells[8]);
  EXPECT_EQ(p.ptrs_first_in_dims[DIM_DIAG][1], nullptr);
  EXPECT_EQ(p.ptrs_first_in_dims[DIM_GROUP][4], &p.cells[30]);
  EXPECT_EQ(p.ptrs_first_in_dims[DIM_COL][5], &p.cells[5]);
}

TEST(Geometry, NeighboursWithAndWithoutX) {
  for (int x = 0; x <= 1; ++x) {
    Puzzle p;
    p.set_types(MAP_REGULAR, x ? ADJ_X : ADJ_NONE);
    p.setup(square_map());
    p.define_are_neighbors_array();
    for (int i = 0; i < 81; ++i) EXPECT_TRUE(p.are_neighbors(&p.cells[i], &p.cells[i]));
    EXPECT_EQ(p.are_neighbors(&p.cells[0], &p.cells[80]), x == 1);
    EXPECT_EQ(p.are_neighbors(&p.cells[8], &p.cells[72]), x == 1);
    EXPECT_FALSE(p.are_neighbors(&p.cells[0], &p.cells[16]));
    int peers = 0;
    for (int j = 0; j < 81; ++j) peers += p.are_neighbors(&p.cells[40], &p.cells[j]) && j != 40;
    EXPECT_EQ(peers, x ? 32 : 20);
  }
}

TEST(Geometry, IrregularFirstCellOfGroup) {
  // Group 5 has its lowest cell at index 7, whatever the numbering elsewhere.
  Matrix<int, 9> m;
  int const rows[9][9] = {
      {8, 8, 8, 8, 8, 8, 8, 5, 5}, {8, 8, 7, 7, 7, 7, 5, 5, 5}, {7, 7, 7, 7, 7, 6, 5, 5, 5},
      {6, 6, 6, 6, 6, 6, 6, 6, 5}, {4, 4, 4, 4, 4, 4, 4, 4, 4}, {3, 3, 3, 3, 3, 3, 3, 3, 3},
      {2, 2, 2, 2, 2, 2, 2, 2, 2}, {1, 1, 1, 1, 1, 1, 1, 1, 1}, {0, 0, 0, 0, 0, 0, 0, 0, 0},
  };
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) m[r][c] = rows[r][c];
  Puzzle p;
  p.set_types(MAP_IRREGULAR, ADJ_NONE);
  p.setup(m);
  ASSERT_TRUE(p.groups_form_partition());
  EXPECT_EQ(p.ptrs_first_in_dims[DIM_GROUP][5], &p.cells[7]);
  EXPECT_EQ(ring(p, 7, DIM_GROUP), (std::vector<int>{7, 8, 15, 16, 17, 24, 25, 26, 35}));
  EXPECT_EQ(ring(p, 4, DIM_GROUP).size(), 9u);
}

TEST(Geometry, ByteCopyReproducesGeometry) {
  Puzzle a, b;
  a.set_types(MAP_REGULAR, ADJ_X);
  a.setup(square_map());
  a.define_are_neighbors_array();
  b.are_neighbors_array = nullptr;
  b.set_types(MAP_REGULAR, ADJ_X);
  std::memcpy(static_cast<void*>(b.cells), a.cells, PUZZLE_BYTES);
  b.define_are_neighbors_array();
  b.setup_ptrs_first_in_dims();
  EXPECT_EQ(std::memcmp(a.cells, b.cells, PUZZLE_BYTES), 0);
  EXPECT_EQ(std::memcmp(a.are_neighbors_array, b.are_neighbors_array, 81 * 81), 0);
  for (int d = 0; d < 5; ++d)
    for (int h = 0; h < 9; ++h)
      EXPECT_EQ(a.ptrs_first_in_dims[d][h] ? a.ptrs_first_in_dims[d][h] - a.cells : -1,
                b.ptrs_first_in_dims[d][h] ? b.ptrs_first_in_dims[d][h] - b.cells : -1);
}

TEST(Geometry, CopyConstructorOwnsItsTableAndPointers) {
  Puzzle a;
  a.set_types(MAP_REGULAR, ADJ_NONE);
  a.setup(square_map());
  a.define_are_neighbors_array();
  Puzzle b(a);
  EXPECT_NE(b.are_neighbors_array, a.are_neighbors_array);
  EXPECT_EQ(std::memcmp(a.are_neighbors_array, b.are_neighbors_array, 81 * 81), 0);
  EXPECT_EQ(b.ptrs_first_in_dims[DIM_ROW][3], &b.cells[27]);
}

TEST(Geometry, OverlapMap) {
  Puzzle p;
  p.set_types(MAP_REGULAR, ADJ_X);
  p.setup(square_map());
  p.define_overlap_maps();
  EXPECT_TRUE(p.line_and_group_overlap(DIM_ROW, 4, 3));
  EXPECT_FALSE(p.line_and_group_overlap(DIM_ROW, 4, 0));
  EXPECT_TRUE(p.line_and_group_overlap(DIM_COL, 8, 8));
  EXPECT_TRUE(p.line_and_group_overlap(DIM_DIAG, 0, 4));
  EXPECT_FALSE(p.line_and_group_overlap(DIM_DIAG, 0, 2));
  EXPECT_TRUE(p.line_and_group_overlap(DIM_ANTI_DIAG, 0, 2));
}
