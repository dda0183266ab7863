// Clue grid and group map as the classifier reads them: clue values outside 0..9 as
// empty cells, a group map that is not nine groups of nine cells as the 3x3 boxes.
#pragma once

#include "classify/classify.h"

struct ClassifyGrids {
  int clues[9][9] = {};
  int groups[9][9] = {};

  ClassifyGrids() = default;
  ClassifyGrids(int const in_clues[9][9], int const in_groups[9][9]) {
    bool const partition = group_map_is_partition(in_groups);
    for (int r = 0; r < 9; ++r)
      for (int c = 0; c < 9; ++c) {
        int const v = in_clues[r][c];
        clues[r][c] = v >= 0 && v <= 9 ? v : 0;
        groups[r][c] = partition ? in_groups[r][c] : 3 * (r / 3) + c / 3;
      }
  }
};
