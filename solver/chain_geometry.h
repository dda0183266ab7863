// The board's houses and each cell's chain neighbours as cell sets, and the walk
// over a cell's neighbours in ring order, so the chain and wing searches test
// membership with a few word operations instead of walking rings. Built from the
// rings once per layout and kept per thread.
#pragma once

#include <cstdint>

#include "model/puzzle.h"
#include "solver/cell_set.h"
#include "solver/chain_walks.h"

struct ChainGeometry {
  // The cells sharing a chain house with the cell (group, row, column, and the
  // diagonals on X boards), the cell itself excluded: for two distinct cells,
  // membership is exactly Puzzle::are_neighbors.
  CellSet peers[81];
  // Every house's cells (a diagonal is house 0 of its dimension).
  CellSet house[5][9];

  // Calls visit(y) for the cells of `members` among `from`'s neighbours in walk
  // order, until it returns true; returns whether it did. Walk order: the rings of
  // the cell's chain houses in chain_walks::chain_houses order, each from the cell
  // round the ring, every cell at its first appearance. Rings run in ascending cell
  // order (Puzzle::link_rings), so a ring from the cell is its later cells, then its
  // earlier ones.
  template <class Visit>
  bool walk_until(Puzzle const& p, int from, CellSet members, Visit&& visit) const;

  // The table for p's layout (its group numbers and whether diagonals are houses);
  // valid until the next call on this thread.
  static ChainGeometry const& of(Puzzle const& p);
};

// The cells holding any digit of `digits`.
CellSet cells_holding(Puzzle const& p, uint32_t digits);

template <class Visit>
bool ChainGeometry::walk_until(Puzzle const& p, int from, CellSet members, Visit&& visit) const {
  PUZZLE_CELL const* const cell = &p.cells[from];
  int dims[5];
  int const n = chain_walks::chain_houses(cell, p.adjacency_type == ADJ_X, dims);
  CellSet const later = CellSet::after(from);
  CellSet left = members & peers[from];
  for (int k = 0; k < n && !left.empty(); ++k) {
    CellSet const in_house = left & house[dims[k]][cell->house[dims[k]]];
    left = left.without(in_house);
    CellSet const parts[2] = {in_house & later, in_house.without(later)};
    for (CellSet part : parts)
      for (; !part.empty(); part = part.without_lowest())
        if (visit(part.first())) return true;
  }
  return false;
}

// out[d]: the cells holding digit d, for d = 1..9.
void cells_by_digit(Puzzle const& p, CellSet out[10]);
