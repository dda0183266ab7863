// Candidate bookkeeping: simple elimination, the undo of a player's digit, and
// the solved / consistency tests.
#include <cstring>

#include "model/puzzle.h"
#include "solver/elimination_pass.h"

// A change is noted as bits are cleared (the mark in mask alone is not a change),
// instead of copying and comparing the whole board.
bool Puzzle::one_round_of_elimination() { return chain_walks::elimination_pass(*this); }

bool Puzzle::puzzle_is_solved() const {
  for (auto const& cell : cells)
    if (n_candidates(cell.elim_bits) != 1) return false;
  return true;
}

void Puzzle::simplify_by_elimination_using_cell(PUZZLE_CELL* cell) {
  uint32_t const bits = cell->elim_bits;
  int dims[5];
  int const n = houses_of(cell, dims);
  for (int k = 0; k < n; ++k)
    for (PUZZLE_CELL* other = next_in(cell, dims[k]); other != cell; other = next_in(other, dims[k]))
      other->elim_bits &= ~bits;
}

namespace {

// The digit a cell holds for the player: its answer, or its solution when it is a given.
int placed_digit(PUZZLE_CELL const* x) {
  if (x->user_answer) return x->user_answer;
  if (x->mask) return x->solution;
  return 0;
}

}  // namespace

void Puzzle::reverse_elimination_for_cell_and_digit(PUZZLE_CELL* cell, unsigned old_bit) {
  cell->elim_bits = ALL_DIGITS;
  int dims[4];
  int n = 0;
  dims[n++] = DIM_GROUP;
  dims[n++] = DIM_ROW;
  dims[n++] = DIM_COL;
  if (adjacency_type == ADJ_X && cell->house[DIM_DIAG] == 0) dims[n++] = DIM_DIAG;
  for (int k = 0; k < n; ++k)
    for (PUZZLE_CELL* x = next_in(cell, dims[k]); x != cell; x = next_in(x, dims[k])) {
      if (x->user_answer)
        cell->elim_bits &= ~bit_of_digit(x->user_answer);
      else if (x->mask)
        cell->elim_bits &= ~bit_of_digit(x->solution);
      else
        alt_eliminate_in_cell_for_digit(x, old_bit);
    }
  if (adjacency_type == ADJ_X && cell->house[DIM_ANTI_DIAG] == 0)
    reverse_eliminate_in_dimension_for_cell_and_old_bit_digit(cell, DIM_ANTI_DIAG, old_bit);
}

void Puzzle::reverse_eliminate_in_dimension_for_cell_and_old_bit_digit(PUZZLE_CELL* cell, int dim,
                                                                       unsigned old_bit) {
  if (cell->next_in_dim[dim] == 0) return;
  for (PUZZLE_CELL* x = next_in(cell, dim); x != cell; x = next_in(x, dim)) {
    if (x->user_answer || x->mask)
      cell->elim_bits &= ~bit_of_digit(placed_digit(x));
    else
      alt_eliminate_in_cell_for_digit(x, old_bit);
  }
}

void Puzzle::alt_eliminate_in_cell_for_digit(PUZZLE_CELL* x, unsigned old_bit) {
  if (old_bit == 0) return;
  int dims[5];
  int const n = houses_of(x, dims);
  for (int k = 0; k < n; ++k)
    for (PUZZLE_CELL* y = next_in(x, dims[k]); y != x; y = next_in(y, dims[k]))
      if (bit_of_digit(y->user_answer) == old_bit || (y->mask && bit_of_digit(y->solution) == old_bit)) return;
  x->elim_bits |= old_bit;
}

bool Puzzle::check_elim_bits_against_soln() const {
  for (auto const& cell : cells)
    if (!(cell.elim_bits & static_cast<uint32_t>(cell.solution))) return false;
  return true;
}

void Puzzle::reset_solver() {
  std::memset(method_counts, 0, sizeof method_counts);
  apply_mask();
}
