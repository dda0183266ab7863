// Hints: the next logical step from the position a player sees, named and shown,
// and its application. The board is in play form (solution digits 1..9, givens,
// answers, pencil marks); the search runs on a scratch copy.
#pragma once

#include "api/engine_api.h"
#include "model/puzzle.h"

namespace hint {

// As sudoku_hint: 1 with a hint, 0 when every cell is placed, -1 when the board
// has no usable solution or no geometry (out is zeroed first).
int next_hint(Puzzle const& board, SudokuHint& out);

// As sudoku_apply_hint: 1 applied, 0 the hint does not fit the board (nothing changed).
int apply_hint(Puzzle& board, SudokuHint const& h);

// Runs one technique on a board in solver form (candidates, solution bits or 0)
// and, when it makes progress, describes the step in out; the board is left as it
// was. False when it makes none or would remove a true candidate.
bool run_technique(Puzzle& solver_board, METHOD_TYPE m, SudokuHint& out);

}  // namespace hint
