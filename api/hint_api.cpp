// Hints (extension): the next step from the player's position, and its application.
#include <cstddef>

#include "api/handle.h"
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
  if (!out) return -1;
  if (!h) {
    *out = SudokuHint{};
    return -1;
  }
  return hint::next_hint(*as_puzzle(h), *out);
}

int sudoku_apply_hint(SudokuPuzzle* h, SudokuHint const* hint) {
  if (!h || !hint) return -1;
  return hint::apply_hint(*as_puzzle(h), *hint);
}

}  // extern "C"
