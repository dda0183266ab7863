// The board's houses as cell sets and each cell's chain neighbours in the order
// the chain and wing searches walk them, so those searches test membership with
// a few word operations instead of walking rings. Built from the rings once per
// layout and kept per thread.
#pragma once

#include <cstdint>

#include "model/puzzle.h"
#include "solver/cell_set.h"

struct ChainGeometry {
  // The cells sharing a chain house with the cell (group, row, column, and the
  // diagonals on X boards), the cell itself excluded: for two distinct cells,
  // membership is exactly Puzzle::are_neighbors.
  CellSet peers[81];
  // The same cells in walk order: the rings of the cell's chain houses in
  // chain_walks::chain_houses order, each ring from the cell onwards, every cell
  // at its first appearance.
  uint8_t walk[81][40] = {};
  uint8_t n_walk[81] = {};
  // Every house's cells (a diagonal is house 0 of its dimension).
  CellSet house[5][9];

  // The table for p's layout (its group numbers and whether diagonals are houses);
  // valid until the next call on this thread.
  static ChainGeometry const& of(Puzzle const& p);
};

// The cells holding any digit of `digits`.
CellSet cells_holding(Puzzle const& p, uint32_t digits);
// The cells with exactly two candidates.
CellSet bivalue_cells(Puzzle const& p);
