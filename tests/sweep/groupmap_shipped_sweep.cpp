// Every map of every shipped file, loaded eight times (all turns): structure, symmetry, colours,
// uniqueness and a completion with and without the diagonals; the matrix engine's completion
// counter on a seeded sample of each file.
#include "../groupmap_shipped_checks.h"
#include "util/random.h"

TEST(ShippedGroupMapsSweep, EveryMapCompletesWithAndWithoutDiagonals) {
  sudoku_seed_random(43);
  int checked = 0;
  shipped_maps::FileChecks checks;
  checks.loads = 8;
  checks.completion_step = 1;
  checks.matrix_samples = 20;  // every compiled map stays cached for the process: a sample
  for (char const* name : jigsawGroupMapFilenames) shipped_maps::check_file(name, checks, checked);
  sudoku_seed_random(0);
  EXPECT_GT(checked, 0);
}
