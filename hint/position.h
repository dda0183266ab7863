// The position a player sees, read from a board in play form and checked
// against its solution, and the candidates a hint search starts from.
#pragma once

#include <cstdint>

#include "model/puzzle.h"

namespace hint {

struct Position {
  int solution[81];      // the solution digit of each cell
  int placed[81];        // the digit a given or an answer shows; 0 for an empty cell
  bool given[81];
  bool marks_shown[81];  // an empty cell whose pencil marks are shown (and used)
  uint32_t marks[81];    // those marks (digit bits)
};

// False when the board has no geometry or its solution is not a complete grid
// that fills every house and agrees with the givens.
bool read_position(Puzzle const& board, Position& pos);

// The digits no placed digit of the cell's houses excludes.
uint32_t free_candidates(Puzzle const& board, Position const& pos, int cell);

// Puts the solver form of the position on a scratch copy of the board: solution
// bits, given marks, and per cell the placed digit, else the shown marks or all
// digits, less every digit placed in its houses. Answers must agree with the
// solution (wrong ones are reported before any search).
void load_candidates(Position const& pos, Puzzle& scratch);

}  // namespace hint
