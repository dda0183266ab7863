// Cell forcing net: every candidate of every unsolved cell is tried with
// singles-only propagation; candidates that end in a contradiction go. Unlike
// the other techniques one call processes all 81 cells, each on the state
// improved by the cells before it.
#include <cstring>

#include "model/puzzle.h"

namespace {

bool some_cell_is_empty(PUZZLE_CELL const (&cells)[81]) {
  for (auto const& cell : cells)
    if ((cell.elim_bits & ALL_DIGITS) == 0) return true;
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
    if (n_candidates(candidates) < 2) continue;
    uint32_t contradicted = 0;
    for (int d = 1; d <= 9; ++d) {
      uint32_t const bit = 1u << d;
      if (!(candidates & bit)) continue;
      std::memcpy(cells, saved, sizeof cells);
      cells[i].elim_bits = bit;
      // Singles only: elimination passes to exhaustion, then one hidden single, again.
      // Candidates only shrink, so an empty cell already decides the trial.
      bool progress;
      do {
        progress = false;
        while (one_round_of_elimination()) progress = true;
        if (some_cell_is_empty(cells)) break;
        for (auto& cell : cells)
          if (n_candidates(cell.elim_bits) != 1 && simplify_cell_using_digits(&cell)) {
            progress = true;
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
