// Small ring-walk and digit-mask helpers shared by the wing, chain and
// almost-locked-set techniques. Everything is inline and allocation-free.
#pragma once

#include <cstdint>

#include "model/puzzle.h"
#include "solver/cell_set.h"

struct ChainGeometry;

namespace chain_walks {

// The lowest digit bit of a candidate mask (0 when the mask is empty).
inline uint32_t lowest_bit(uint32_t mask) { return mask & (0u - mask); }

// Number of digits in a mask (bits 1..9).
inline int n_digits(uint32_t mask) { return n_candidates(mask); }

// Number of cells of `cell`'s house in `dim` (the cell included) whose
// candidates meet `digits`. 0 when the cell has no ring in that dimension.
inline int count_in_house(PUZZLE_CELL const* cell, int dim, uint32_t digits) {
  if (cell->next_in_dim[dim] == 0) return 0;
  int n = 0;
  PUZZLE_CELL const* x = cell;
  do {
    if (x->elim_bits & digits) ++n;
    x = Puzzle::next_in(x, dim);
  } while (x != cell);
  return n;
}

// Clears `digits` from the cell; true when it held any of them.
inline bool remove_digits(PUZZLE_CELL* cell, uint32_t digits) {
  if (!(cell->elim_bits & digits)) return false;
  cell->elim_bits &= ~digits;
  return true;
}

// The houses a wing or chain step may use from a cell: group, row, column, then
// the diagonals it lies on when diagonals are houses. Returns their number.
inline int chain_houses(PUZZLE_CELL const* cell, bool x_board, int dims[5]) {
  int n = 0;
  dims[n++] = DIM_GROUP;
  dims[n++] = DIM_ROW;
  dims[n++] = DIM_COL;
  if (x_board) {
    if (cell->house[DIM_DIAG] == 0) dims[n++] = DIM_DIAG;
    if (cell->house[DIM_ANTI_DIAG] == 0) dims[n++] = DIM_ANTI_DIAG;
  }
  return n;
}

// While alive, the XY-chain searches of one ladder step read the cells holding
// each digit and the bivalue cells from tables built here instead of walking the
// board. Only for the duration of one pass, during which no candidate changes
// before a search succeeds and the pass returns. Defined in xy_chains.cpp.
class XyChainSearchScope {
 public:
  explicit XyChainSearchScope(Puzzle const& p);
  ~XyChainSearchScope();
  XyChainSearchScope(XyChainSearchScope const&) = delete;
  XyChainSearchScope& operator=(XyChainSearchScope const&) = delete;

  Puzzle const* puzzle;
  ChainGeometry const* geometry;  // the thread's table: no other layout is searched while the pass runs
  CellSet holding[10];        // [digit] cells holding it
  CellSet bivalue_with[10];   // [digit] bivalue cells holding it
  uint8_t bivalue[81];        // the bivalue cells, ascending
  int n_bivalue;

 private:
  XyChainSearchScope const* previous_;  // restored when this scope ends
};

}  // namespace chain_walks
