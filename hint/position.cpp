// Reading the player's position from a board in play form.
#include "hint/position.h"

namespace hint {

namespace {

bool solution_fills_houses(Puzzle const& board, int const solution[81]) {
  int const n_dims = board.adjacency_type == ADJ_X ? 5 : 3;
  for (int dim = 0; dim < n_dims; ++dim)
    for (int h = 0; h < (dim < 3 ? 9 : 1); ++h) {
      PUZZLE_CELL const* const first = board.ptrs_first_in_dims[dim][h];
      if (!first) return false;
      uint32_t seen = 0;
      int n = 0;
      PUZZLE_CELL const* cell = first;
      do {
        seen |= bit_of_digit(solution[cell - board.cells]);
        cell = Puzzle::next_in(cell, dim);
      } while (cell != first && ++n < 9);
      if (seen != ALL_DIGITS) return false;
    }
  return true;
}

}  // namespace

bool read_position(Puzzle const& board, Position& pos) {
  if (!board.are_neighbors_array) return false;
  for (int i = 0; i < 81; ++i) {
    PUZZLE_CELL const& cell = board.cells[i];
    pos.solution[i] = cell.solution;
    pos.given[i] = cell.mask != 0;
    pos.placed[i] = pos.given[i] ? cell.solution : (cell.user_answer >= 1 && cell.user_answer <= 9 ? cell.user_answer : 0);
    uint32_t const marks = cell.elim_bits & ALL_DIGITS;
    pos.marks_shown[i] = pos.placed[i] == 0 && cell.user_answer == 0 && cell.small_mode && marks != 0;
    pos.marks[i] = pos.marks_shown[i] ? marks : 0;
  }
  return solution_fills_houses(board, pos.solution);
}

uint32_t free_candidates(Puzzle const& board, Position const& pos, int cell) {
  uint32_t placed = 0;
  for (int j = 0; j < 81; ++j)
    if (j != cell && pos.placed[j] && board.are_neighbors(&board.cells[cell], &board.cells[j]))
      placed |= bit_of_digit(pos.placed[j]);
  return ALL_DIGITS & ~placed;
}

void load_candidates(Position const& pos, Puzzle& scratch) {
  // A board in play need not carry the overlap map (the generator builds it; loading
  // and building from clues do not), and the fish and restriction searches read it.
  scratch.define_overlap_maps();
  for (int i = 0; i < 81; ++i) {
    PUZZLE_CELL& cell = scratch.cells[i];
    cell.solution = static_cast<int32_t>(bit_of_digit(pos.solution[i]));
    cell.mask = pos.given[i] ? 1 : 0;
    cell.user_answer = 0;  // the chain searches use it as their mark
    cell.elim_bits = pos.placed[i] ? bit_of_digit(pos.placed[i]) : (pos.marks_shown[i] ? pos.marks[i] : ALL_DIGITS);
  }
  for (int i = 0; i < 81; ++i)
    if (pos.placed[i]) scratch.simplify_by_elimination_using_cell(&scratch.cells[i]);
}

}  // namespace hint
