// One step of the ladder found on the scratch board, before it is described:
// what the step needs from the search to be put into words.
#pragma once

#include "api/engine_api.h"
#include "model/puzzle.h"
#include "solver/pattern_note.h"

namespace hint {

struct StepContext {
  Puzzle const& board;             // the scratch board (geometry; candidates after the step)
  PUZZLE_CELL const* before;       // the 81 cells before the step
  pattern_note::Pattern const& pattern;  // what the technique noted
};

// Fills out.pattern, houses, digits, name and text for a step whose kind, level,
// method, placements and eliminations are set.
void describe_step(StepContext const& ctx, SudokuHint& out);

// Text helpers shared with the other hint kinds.
class Text {
 public:
  explicit Text(char* buffer, int size) : buf_(buffer), size_(size) { buf_[0] = '\0'; }
  Text& operator<<(char const* s);
  Text& operator<<(int n);
  Text& cell(int index);
  Text& house(int code, bool irregular);
  // "a, b and c" for the listed cells.
  Text& cells(int const* list, int n);
  // "1, 4 and 7" for the digits of a bit set.
  Text& digits(uint32_t bits);

 private:
  char* buf_;
  int size_;
  int len_ = 0;
};

}  // namespace hint
