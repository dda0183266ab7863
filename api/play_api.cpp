// Play calls and the digit assistant.
#include "api/handle.h"

extern "C" {

void sudoku_get_cell(SudokuPuzzle* h, int i, int out[9]) {
  PUZZLE_CELL const& cell = as_puzzle(h)->cells[i];
  out[0] = cell.solution;
  out[1] = cell.mask;
  out[2] = static_cast<int>(cell.elim_bits);
  out[3] = cell.user_answer;
  out[4] = cell.small_mode ? 1 : 0;
  out[5] = cell.ui_reserved;
  out[6] = cell.house[DIM_GROUP];
  out[7] = cell.house[DIM_ROW];
  out[8] = cell.house[DIM_COL];
}

int sudoku_get_state(SudokuPuzzle* h, int counts[10]) { return as_puzzle(h)->puzzle_state(counts); }

void sudoku_set_user_answer(SudokuPuzzle* h, int i, int digit, int previous, int assist) {
  Puzzle* p = as_puzzle(h);
  PUZZLE_CELL* cell = &p->cells[i];
  cell->user_answer = digit;
  if (!assist) return;
  if (previous != 0) p->reverse_elimination_for_cell_and_digit(cell, bit_of_digit(previous));
  if (digit != 0) {
    cell->elim_bits = bit_of_digit(digit);
    p->simplify_by_elimination_using_cell(cell);
  }
}

void sudoku_toggle_elim_bit(SudokuPuzzle* h, int i, int digit) {
  PUZZLE_CELL& cell = as_puzzle(h)->cells[i];
  if (digit == 0)
    cell.elim_bits = 0;
  else
    cell.elim_bits ^= 1u << (static_cast<unsigned>(digit) & 31u);
}

int sudoku_toggle_small_mode(SudokuPuzzle* h, int i) {
  PUZZLE_CELL& cell = as_puzzle(h)->cells[i];
  cell.small_mode = !cell.small_mode;
  return cell.small_mode ? 1 : 0;
}

void sudoku_restart(SudokuPuzzle* h) { as_puzzle(h)->start_or_restart_UI(false); }

int sudoku_distance(SudokuPuzzle* h) { return as_puzzle(h)->distance_to_solution(); }

void sudoku_maxed_digits(SudokuPuzzle* h, int out[10]) {
  bool maxed[10] = {false};
  as_puzzle(h)->maxed_digits(maxed);
  for (int d = 0; d < 10; ++d) out[d] = maxed[d] ? 1 : 0;
}

void sudoku_get_color_map(SudokuPuzzle* h, int out[9]) {
  for (int g = 0; g < 9; ++g) out[g] = as_puzzle(h)->color_map[g];
}

int sudoku_same_group_right(SudokuPuzzle* h, int i) {
  if (i % 9 == 8) return 0;
  Puzzle const* p = as_puzzle(h);
  return p->cells[i].house[DIM_GROUP] == p->cells[i + 1].house[DIM_GROUP] ? 1 : 0;
}

int sudoku_same_group_below(SudokuPuzzle* h, int i) {
  if (i >= 72) return 0;
  Puzzle const* p = as_puzzle(h);
  return p->cells[i].house[DIM_GROUP] == p->cells[i + 9].house[DIM_GROUP] ? 1 : 0;
}

int sudoku_are_neighbors(SudokuPuzzle* h, int i, int j) {
  Puzzle const* p = as_puzzle(h);
  if (!p->are_neighbors_array) return 0;
  return p->are_neighbors(&p->cells[i], &p->cells[j]) ? 1 : 0;
}

// ---- digit assistant ----

namespace {

// The digit a cell shows as placed: its solution when given, else the player's answer.
int assistant_digit(PUZZLE_CELL const& cell) { return cell.mask ? cell.solution : cell.user_answer; }

bool is_empty(PUZZLE_CELL const& cell) { return !cell.mask && cell.user_answer == 0; }

void eliminate_placed_digits(Puzzle* p, bool mark_empty_cells) {
  for (auto& cell : p->cells) {
    int const d = assistant_digit(cell);
    if (d == 0) {
      if (mark_empty_cells) cell.small_mode = true;
      continue;
    }
    cell.elim_bits = bit_of_digit(d);
    p->simplify_by_elimination_using_cell(&cell);
  }
}

}  // namespace

void sudoku_digit_assistant_all(SudokuPuzzle* h) {
  Puzzle* p = as_puzzle(h);
  for (auto& cell : p->cells)
    if (cell.small_mode || is_empty(cell)) {
      cell.small_mode = true;
      cell.elim_bits = ALL_DIGITS;
      cell.user_answer = 0;
    }
  eliminate_placed_digits(p, true);
}

void sudoku_digit_assistant_update(SudokuPuzzle* h) {
  Puzzle* p = as_puzzle(h);
  for (auto& cell : p->cells)
    if (is_empty(cell)) {
      if (!cell.small_mode && cell.elim_bits == 0) cell.elim_bits = ALL_DIGITS;
      cell.small_mode = true;
    }
  eliminate_placed_digits(p, false);
}

void sudoku_digit_assistant_hide(SudokuPuzzle* h) {
  for (auto& cell : as_puzzle(h)->cells)
    if (is_empty(cell)) cell.small_mode = false;
}

}  // extern "C"
