// Cell forcing net: every candidate of every unsolved cell is tried with
// singles-only propagation; candidates that end in a contradiction go. Unlike
// the other techniques one call processes all 81 cells, each on the state
// improved by the cells before it.
#include <cstring>

#include "model/puzzle.h"
#include "solver/chain_walks.h"
#include "solver/elimination_pass.h"

using chain_walks::n_digits;

namespace {

bool some_cell_is_empty(PUZZLE_CELL const (&cells)[81]) {
  for (auto const& cell : cells)
    if ((cell.elim_bits & ALL_DIGITS) == 0) return true;
  return false;
}

// Digits that occur in exactly one cell of each house, indexed [dim][house].
struct LoneDigits {
  uint32_t in[5][9];
};

void find_lone_digits(Puzzle const& p, int n_dims, LoneDigits& out) {
  for (int dim = 0; dim < n_dims; ++dim) {
    int const n_houses = dim < 3 ? 9 : 1;
    for (int h = 0; h < n_houses; ++h) {
      PUZZLE_CELL const* const first = p.ptrs_first_in_dims[dim][h];
      uint32_t once = 0, more = 0;
      PUZZLE_CELL const* x = first;
      do {
        more |= once & x->elim_bits;
        once |= x->elim_bits;
        x = Puzzle::next_in(x, dim);
      } while (x != first);
      out.in[dim][h] = once & ~more;
    }
  }
}

// True when the hidden-single test succeeds for this unsolved cell: one of its
// digits is alone in one of its houses (the diagonals count on X boards only).
bool has_lone_digit(PUZZLE_CELL const& cell, int n_dims, LoneDigits const& lone) {
  uint32_t const bits = cell.elim_bits;
  if (bits & (lone.in[DIM_GROUP][cell.house[DIM_GROUP]] | lone.in[DIM_ROW][cell.house[DIM_ROW]] |
              lone.in[DIM_COL][cell.house[DIM_COL]]))
    return true;
  if (n_dims > 3) {
    if (cell.house[DIM_DIAG] == 0 && (bits & lone.in[DIM_DIAG][0])) return true;
    if (cell.house[DIM_ANTI_DIAG] == 0 && (bits & lone.in[DIM_ANTI_DIAG][0])) return true;
  }
  return false;
}

}  // namespace

bool Puzzle::simplify_cell_forcing_net() {
  PUZZLE_CELL saved[81];
  int32_t saved_counts[N_METHOD_COUNTS];
  std::memcpy(saved, cells, sizeof saved);
  std::memcpy(saved_counts, method_counts, sizeof saved_counts);

  int const n_dims = adjacency_type == ADJ_X ? 5 : 3;
  // True when the trial state has an empty cell or a house missing a digit.
  auto contradiction = [&]() {
    if (some_cell_is_empty(cells)) return true;
    for (int dim = 0; dim < n_dims; ++dim) {
      int const n_houses = dim < 3 ? 9 : 1;
      for (int h = 0; h < n_houses; ++h) {
        PUZZLE_CELL const* const first = ptrs_first_in_dims[dim][h];
        uint32_t seen = 0;
        PUZZLE_CELL const* x = first;
        do {
          seen |= x->elim_bits;
          x = next_in(x, dim);
        } while (x != first);
        if ((seen & ALL_DIGITS) != ALL_DIGITS) return true;
      }
    }
    return false;
  };

  bool changed = false;
  for (int i = 0; i < 81; ++i) {
    uint32_t const candidates = saved[i].elim_bits;
    if (n_digits(candidates) < 2) continue;
    uint32_t contradicted = 0;
    for (int d = 1; d <= 9; ++d) {
      uint32_t const bit = 1u << d;
      if (!(candidates & bit)) continue;
      std::memcpy(cells, saved, sizeof cells);
      cells[i].elim_bits = bit;
      // Singles only: elimination passes to exhaustion, then the hidden single of the
      // first cell (row-major) that has one, again. The lone-digit table only finds
      // that cell quickly; the hidden-single rule itself places the digit. Candidates
      // only shrink, so an empty cell already decides the trial.
      bool progress;
      do {
        progress = false;
        while (chain_walks::elimination_pass(*this)) progress = true;
        if (some_cell_is_empty(cells)) break;
        LoneDigits lone;
        find_lone_digits(*this, n_dims, lone);
        for (auto& cell : cells)
          if (n_digits(cell.elim_bits) != 1 && has_lone_digit(cell, n_dims, lone)) {
            progress = simplify_cell_using_digits(&cell);
            break;
          }
      } while (progress);
      if (contradiction()) contradicted |= bit;
    }
    if (contradicted) {
      saved[i].elim_bits &= ~contradicted;
      changed = true;
    }
  }

  std::memcpy(cells, saved, sizeof cells);
  std::memcpy(method_counts, saved_counts, sizeof saved_counts);
  return changed;
}
