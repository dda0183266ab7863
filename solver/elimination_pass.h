// One simple-elimination pass with the exact effect and result of
// Puzzle::one_round_of_elimination, for the forcing net's many trials: the
// change is noted as bits are cleared instead of by copying and comparing the
// whole board, and candidates are counted by table.
#pragma once

#include <cstdint>

#include "model/puzzle.h"
#include "solver/chain_walks.h"

namespace chain_walks {

inline bool elimination_pass(Puzzle& p) {
  bool changed = false;
  int dims[5];
  for (auto& cell : p.cells) {
    if ((cell.mask & 2) || n_digits(cell.elim_bits) != 1) continue;
    uint32_t const bit = cell.elim_bits;
    int const n = p.houses_of(&cell, dims);
    for (int k = 0; k < n; ++k)
      for (PUZZLE_CELL* other = Puzzle::next_in(&cell, dims[k]); other != &cell;
           other = Puzzle::next_in(other, dims[k]))
        if (other->elim_bits & bit) {
          other->elim_bits &= ~bit;
          changed = true;
        }
    cell.mask |= 2;
  }
  return changed;
}

}  // namespace chain_walks

namespace elimination {

// Rounds of simple elimination (Puzzle::one_round_of_elimination) until one clears
// nothing; true when the first round cleared a candidate. Ends with the candidates
// and marks those rounds leave, by peer sets inside a peer_sets::PeerSetsScope.
bool to_fixed_point(Puzzle& p);

}  // namespace elimination
