// Applying a hint to a board in play. Every part of it is checked against the
// solution and the board before anything changes, so a stale or forged hint is
// refused whole.
#include "hint/hint.h"
#include "hint/position.h"

namespace hint {

namespace {

bool valid_cell(int cell) { return cell >= 0 && cell <= 80; }
bool valid_digit(int digit) { return digit >= 1 && digit <= 9; }

bool step_fits(Position const& pos, SudokuHint const& h) {
  if (h.n_placements < 0 || h.n_placements > SUDOKU_HINT_MAX_PLACEMENTS || h.n_eliminations < 0 ||
      h.n_eliminations > SUDOKU_HINT_MAX_ELIMINATIONS || h.n_placements + h.n_eliminations == 0)
    return false;
  for (int i = 0; i < h.n_placements; ++i) {
    int const cell = h.placements[i][0], digit = h.placements[i][1];
    if (!valid_cell(cell) || pos.placed[cell] || digit != pos.solution[cell]) return false;
  }
  for (int i = 0; i < h.n_eliminations; ++i) {
    int const cell = h.eliminations[i][0], digit = h.eliminations[i][1];
    if (!valid_cell(cell) || !valid_digit(digit) || pos.placed[cell] || digit == pos.solution[cell]) return false;
  }
  return true;
}

void apply_step(Puzzle& board, Position const& pos, SudokuHint const& h) {
  for (int i = 0; i < h.n_eliminations; ++i) {
    int const cell = h.eliminations[i][0];
    PUZZLE_CELL& c = board.cells[cell];
    // A cell without shown marks first shows the candidates the placed digits leave.
    if (!pos.marks_shown[cell]) c.elim_bits = free_candidates(board, pos, cell);
    c.small_mode = true;
    c.elim_bits &= ~bit_of_digit(h.eliminations[i][1]);
  }
  // As an answer entered with the assistant: the digit leaves the marks of its houses.
  for (int i = 0; i < h.n_placements; ++i) {
    PUZZLE_CELL& c = board.cells[h.placements[i][0]];
    c.user_answer = h.placements[i][1];
    c.small_mode = false;
    c.elim_bits = bit_of_digit(c.user_answer);
    board.simplify_by_elimination_using_cell(&c);
  }
}

}  // namespace

int apply_hint(Puzzle& board, SudokuHint const& h) {
  Position pos;
  if (!read_position(board, pos)) return 0;
  int const cell = h.n_pattern > 0 ? h.pattern[0] : -1;
  switch (h.kind) {
    case SUDOKU_HINT_STEP:
      if (!step_fits(pos, h)) return 0;
      apply_step(board, pos, h);
      return 1;
    case SUDOKU_HINT_WRONG_ANSWER: {
      if (!valid_cell(cell) || pos.given[cell]) return 0;
      int const answer = board.cells[cell].user_answer;
      if (answer == 0 || answer == pos.solution[cell] || static_cast<uint32_t>(h.digits) != bit_of_digit(answer))
        return 0;
      // As clearing the answer with the assistant: the cell's marks are recomputed
      // and its neighbours get the digit back where no house holds it.
      board.cells[cell].user_answer = 0;
      board.reverse_elimination_for_cell_and_digit(&board.cells[cell], bit_of_digit(answer));
      return 1;
    }
    case SUDOKU_HINT_WRONG_MARK: {
      uint32_t const bit = bit_of_digit(valid_cell(cell) ? pos.solution[cell] : 0);
      if (!valid_cell(cell) || !pos.marks_shown[cell] || (pos.marks[cell] & bit) ||
          static_cast<uint32_t>(h.digits) != bit)
        return 0;
      board.cells[cell].elim_bits |= bit;
      return 1;
    }
    default:
      return 0;
  }
}

}  // namespace hint
