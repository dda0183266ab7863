// Every map of every shipped file, loaded eight times (all turns): structure, symmetry, colours,
// and a completion with and without the diagonals.
#include "../groupmap_shipped_checks.h"
#include "util/random.h"

TEST(ShippedGroupMapsSweep, EveryMapCompletesWithAndWithoutDiagonals) {
  sudoku_seed_random(43);
  int checked = 0;
  for (char const* name : jigsawGroupMapFilenames) shipped_maps::check_file(name, 1, 8, 1, checked);
  sudoku_seed_random(0);
  EXPECT_GT(checked, 0);
}
