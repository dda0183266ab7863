// Hints (extension): the next step from the player's position, and its application.
#include <cstddef>

#include "api/handle.h"
#include "api/last_error.h"
#include "hint/hint.h"

// The record is read by C hosts through the header: its layout is fixed.
static_assert(sizeof(SudokuHint) == SUDOKU_HINT_SIZE);
static_assert(offsetof(SudokuHint, placements) == 16);
static_assert(offsetof(SudokuHint, n_eliminations) == 88);
static_assert(offsetof(SudokuHint, eliminations) == 92);
static_assert(offsetof(SudokuHint, n_pattern) == 860);
static_assert(offsetof(SudokuHint, pattern) == 864);
static_assert(offsetof(SudokuHint, n_houses) == 1188);
static_assert(offsetof(SudokuHint, houses) == 1192);
static_assert(offsetof(SudokuHint, n_base_houses) == 1256);
static_assert(offsetof(SudokuHint, digits) == 1260);
static_assert(offsetof(SudokuHint, name) == 1264);
static_assert(offsetof(SudokuHint, text) == 1288);

extern "C" {

int sudoku_hint(SudokuPuzzle* h, SudokuHint* out) {
  clear_last_error();
  if (!h || !out) {
    if (out) *out = SudokuHint{};
    set_last_error(SUDOKU_ERROR_INVALID_ARGUMENT, "sudoku_hint was given a null pointer");
    return -1;
  }
  int const result = hint::next_hint(*as_puzzle(h), *out);
  if (result < 0) set_last_error(SUDOKU_ERROR_NO_SOLUTION, "the board holds no solution to hint from");
  return result;
}

int sudoku_apply_hint(SudokuPuzzle* h, SudokuHint const* hint) {
  clear_last_error();
  if (!h || !hint) {
    set_last_error(SUDOKU_ERROR_INVALID_ARGUMENT, "sudoku_apply_hint was given a null pointer");
    return -1;
  }
  int const result = hint::apply_hint(*as_puzzle(h), *hint);
  if (result == 0)
    set_last_error(SUDOKU_ERROR_INVALID_ARGUMENT,
                   "the hint does not fit the board, or would place a wrong digit or remove a true one");
  return result;
}

}  // extern "C"
