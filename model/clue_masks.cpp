// Clue masks and the reset of a board to its givens before each solver run.
#include "model/puzzle.h"

void Puzzle::apply_mask() {
  for (auto& cell : cells) {
    cell.mask &= 1;
    cell.elim_bits = cell.mask ? static_cast<uint32_t>(cell.solution) : ALL_DIGITS;
  }
}

void Puzzle::set_mask_values_back_to_1() {
  for (auto& cell : cells) cell.mask &= 1;
}
