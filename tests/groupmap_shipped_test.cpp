// The shipped group-map files, loaded through GroupMap: structure, symmetry, colours and
// uniqueness of every map; completions, with and without diagonals and cross-checked by the matrix
// engine, of one seeded map per file (every map's completion runs in the sweep).
#include "groupmap_shipped_checks.h"
#include "util/random.h"

namespace {
test_group_maps::UseShippedGroupMaps const use_shipped_maps;
}

// One test per file, so that the files are checked in parallel.
class ShippedGroupMapFile : public ::testing::TestWithParam<int> {};

TEST_P(ShippedGroupMapFile, EveryMap) {
  char const* name = jigsawGroupMapFilenames[GetParam()];
  sudoku_seed_random(41 + static_cast<uint64_t>(GetParam()));
  int checked = 0;
  shipped_maps::FileChecks checks;
  checks.loads = 1;
  checks.completion_step = 0;
  checks.matrix_samples = 1;
  shipped_maps::check_file(name, checks, checked);
  sudoku_seed_random(0);
  EXPECT_EQ(checked, 2000) << name;  // 30000 maps: 2000 in each file
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedGroupMapFile, ::testing::Range(0, 15));

TEST(ShippedGroupMaps, IrregularRequestsLoadARealMap) {
  sudoku_seed_random(42);
  for (int i = 0; i < 30; ++i) {
    testing::internal::CaptureStderr();
    GroupMap g(MAP_IRREGULAR);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_FALSE(g.usedSquareFallback);
    EXPECT_TRUE(groupmap_test::nine_connected_groups_of_nine(g.groupMap));
    int partner[9];
    EXPECT_TRUE(shipped_maps::symmetric(g.groupMap, g.symmetryType, partner));
    EXPECT_TRUE(shipped_maps::colours_valid(g.groupMap, g.colorMap, partner));
  }
  sudoku_seed_random(0);
}
