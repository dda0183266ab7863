// Hidden single for one cell, used by the forcing net's trial propagation.
// Temporary: this file goes when the singles family (which owns this member)
// lands on the main line; both implement the same rule.
#include "model/puzzle.h"

namespace {

// True when no cell of `cell`'s house in dim other than the cell has the digit.
bool only_cell_with_digit(PUZZLE_CELL const* cell, int dim, uint32_t bit) {
  for (PUZZLE_CELL const* x = Puzzle::next_in(cell, dim); x != cell; x = Puzzle::next_in(x, dim))
    if (x->elim_bits & bit) return false;
  return true;
}

}  // namespace

bool Puzzle::simplify_cell_using_digits(PUZZLE_CELL* cell) {
  uint32_t const candidates = cell->elim_bits;
  for (int d = 1; d <= 9; ++d) {
    uint32_t const bit = 1u << d;
    if (!(candidates & bit)) continue;
    for (int dim : {DIM_GROUP, DIM_ROW, DIM_COL}) {
      if (only_cell_with_digit(cell, dim, bit)) {
        cell->elim_bits = bit;
        ++method_counts[dim == DIM_GROUP ? 32 : 33];
        return true;
      }
    }
  }
  if (adjacency_type != ADJ_X) return false;
  for (int dim : {DIM_DIAG, DIM_ANTI_DIAG}) {
    if (cell->house[dim] != 0) continue;
    for (int d = 1; d <= 9; ++d) {
      uint32_t const bit = 1u << d;
      if ((candidates & bit) && only_cell_with_digit(cell, dim, bit)) {
        cell->elim_bits = bit;
        ++method_counts[33];
        return true;
      }
    }
  }
  return false;
}
