// Every map of every shipped file, loaded eight times (all turns): structure, symmetry, colours,
// uniqueness and a completion with and without the diagonals; the matrix engine's completion
// counter on a seeded sample of each file. One test per file, so that files run in parallel.
#include "../groupmap_shipped_checks.h"
#include "util/random.h"

class ShippedGroupMapsSweep : public ::testing::TestWithParam<int> {};

TEST_P(ShippedGroupMapsSweep, EveryMapCompletesWithAndWithoutDiagonals) {
  sudoku_seed_random(43 + static_cast<uint64_t>(GetParam()));
  int checked = 0;
  shipped_maps::FileChecks checks;
  checks.loads = 8;
  checks.completion_step = 1;
  checks.matrix_samples = 20;  // every compiled map stays cached for the process: a sample
  shipped_maps::check_file(jigsawGroupMapFilenames[GetParam()], checks, checked);
  sudoku_seed_random(0);
  EXPECT_GT(checked, 0);
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedGroupMapsSweep, ::testing::Range(0, 15));
