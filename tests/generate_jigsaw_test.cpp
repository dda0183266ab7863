// Jigsaw generation through the C interface: the puzzle's groups are one of the shipped maps (in
// some turn), never the boxes, and the puzzle has exactly one solution, which is the one returned.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "api/engine_api.h"
#include "groupmap_shipped_checks.h"
#include "reference_solver.h"
#include "util/random.h"

namespace {

test_group_maps::UseShippedGroupMaps const use_shipped_maps;

// The smallest renumbered form of a partition over the eight turns and reflections.
Matrix<int, 9> turn_invariant(Matrix<int, 9> m) {
  Matrix<int, 9> best = groupmap_test::canonical(m);
  for (int reflect = 0; reflect < 2; ++reflect) {
    for (int quarter = 0; quarter < 4; ++quarter) {
      Matrix<int, 9> const c = groupmap_test::canonical(m);
      if (std::lexicographical_compare(c.data(), c.data() + 81, best.data(), best.data() + 81)) best = c;
      m.rotate90();
    }
    m.reflectLR();
  }
  return best;
}

struct MatrixLess {
  bool operator()(Matrix<int, 9> const& a, Matrix<int, 9> const& b) const {
    return std::lexicographical_compare(a.data(), a.data() + 81, b.data(), b.data() + 81);
  }
};

// Every shipped map, up to the turns.
std::set<Matrix<int, 9>, MatrixLess> shipped_partitions() {
  std::set<Matrix<int, 9>, MatrixLess> all;
  for (char const* name : jigsawGroupMapFilenames) {
    std::string const path = test_group_maps::shipped_dir() + "/" + name + ".z";
    shipped_maps::MapFile file;
    file.data = get_zipped_file_contents(path, file.length, kGroupMapFileCapacity);
    if (!file.data) continue;
    GroupMap header(MAP_REGULAR);
    if (!GroupMapTestAccess::parseHeader(header, file.data)) continue;
    for (int i = 0; i < header.nMaps; ++i)
      all.insert(turn_invariant(shipped_maps::load_map(header, file.data, i).groupMap));
  }
  return all;
}

}  // namespace

class GenerateJigsaw : public ::testing::TestWithParam<int> {};

TEST_P(GenerateJigsaw, ShippedMapUniqueSolutionWithAndWithoutX) {
  static std::set<Matrix<int, 9>, MatrixLess> const shipped = shipped_partitions();
  ASSERT_GE(shipped.size(), 15u);
  int const difficulty = GetParam();
  for (int x = 0; x <= 1; ++x) {
    SCOPED_TRACE("difficulty " + std::to_string(difficulty) + " x " + std::to_string(x));
    SudokuPuzzle* h = sudoku_new();
    // A call may end its tries without a puzzle of the level (level 3 with X allows only 100 on
    // jigsaw boards), so a few seeded calls are allowed, as the command-line tool allows 20.
    int made = 0;
    for (int attempt = 0; attempt < 5 && !made; ++attempt) {
      sudoku_seed_random(3000 + static_cast<uint64_t>(difficulty * 2 + x) + 100 * static_cast<uint64_t>(attempt));
      made = sudoku_generate(h, 1, x, difficulty, 2);
    }
    sudoku_seed_random(0);
    ASSERT_EQ(made, 1);
    int clues[81], solution[81], groups[81];
    Matrix<int, 9> m;
    for (int i = 0; i < 81; ++i) {
      int v[9];
      sudoku_get_cell(h, i, v);
      solution[i] = v[0];
      clues[i] = v[1] ? v[0] : 0;
      groups[i] = v[6];
      m.data()[i] = v[6];
    }
    EXPECT_FALSE(GroupMapTestAccess::mapIsSquareBoxes([&] {
      GroupMap g(MAP_REGULAR);
      g.groupMap = m;
      return g;
    }()));
    EXPECT_TRUE(groupmap_test::nine_connected_groups_of_nine(m));
    EXPECT_EQ(shipped.count(turn_invariant(m)), 1u) << "groups are not a shipped map";
    std::array<int, 81> found{};
    ASSERT_EQ(reference::count_solutions(clues, groups, x == 1, 2, &found), 1);
    for (int i = 0; i < 81; ++i) EXPECT_EQ(found[i], solution[i]) << "cell " << i;
    sudoku_free(h);
  }
}

INSTANTIATE_TEST_SUITE_P(Levels, GenerateJigsaw, ::testing::Range(0, 4));

// Solution construction on the shipped jigsaw maps restarts an attempt that spends
// its call budget; every seeded construction ends with a complete, valid grid (a
// construction stuck in a subtree without completions would run into the test's
// timeout instead).
TEST(JigsawSolutions, EverySeededConstructionCompletes) {
  SudokuPuzzle* h = sudoku_new();
  for (int x = 0; x <= 1; ++x)
    for (uint64_t seed = 1000; seed < 1016; ++seed) {
      sudoku_seed_random(seed);
      ASSERT_EQ(sudoku_generate_solution(h, 1, x), 1) << "seed " << seed;
      sudoku_seed_random(0);
      int grid[81], groups[81];
      for (int i = 0; i < 81; ++i) {
        int v[9];
        sudoku_get_cell(h, i, v);
        grid[i] = v[0];
        groups[i] = v[6];
      }
      ASSERT_EQ(reference::count_solutions(grid, groups, x == 1, 2), 1) << "seed " << seed;
    }
  sudoku_free(h);
}
