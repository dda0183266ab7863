#include "solver/chain_geometry.h"

namespace {

// The rings are linked from the group numbers and the cell positions alone
// (Puzzle::rebuild_geometry_from_groups), so those and the diagonal flag are the key.
struct CachedGeometry {
  bool valid = false;
  bool x_board = false;
  int8_t groups[81] = {};
  ChainGeometry table;
};

constinit thread_local CachedGeometry cached;

bool matches(CachedGeometry const& c, Puzzle const& p, bool x_board) {
  if (!c.valid || c.x_board != x_board) return false;
  for (int i = 0; i < 81; ++i)
    if (c.groups[i] != p.cells[i].house[DIM_GROUP]) return false;
  return true;
}

void build(ChainGeometry& g, Puzzle const& p, bool x_board) {
  g = ChainGeometry{};
  for (int dim = 0; dim < 5; ++dim)
    for (int h = 0; h < 9; ++h) {
      PUZZLE_CELL const* const first = p.ptrs_first_in_dims[dim][h];
      if (!first || first->next_in_dim[dim] == 0) continue;
      PUZZLE_CELL const* x = first;
      do {
        g.house[dim][h].add(x->offset());
        x = Puzzle::next_in(x, dim);
      } while (x != first);
    }
  for (int i = 0; i < 81; ++i) {
    PUZZLE_CELL const* const cell = &p.cells[i];
    int dims[5];
    int const n = chain_walks::chain_houses(cell, x_board, dims);
    for (int k = 0; k < n; ++k) {
      if (cell->next_in_dim[dims[k]] == 0) continue;
      for (PUZZLE_CELL const* y = Puzzle::next_in(cell, dims[k]); y != cell; y = Puzzle::next_in(y, dims[k]))
        g.peers[i].add(y->offset());
    }
  }
}

}  // namespace

ChainGeometry const& ChainGeometry::of(Puzzle const& p) {
  bool const x_board = p.adjacency_type == ADJ_X;
  if (!matches(cached, p, x_board)) {
    build(cached.table, p, x_board);
    cached.x_board = x_board;
    for (int i = 0; i < 81; ++i) cached.groups[i] = static_cast<int8_t>(p.cells[i].house[DIM_GROUP]);
    cached.valid = true;
  }
  return cached.table;
}

CellSet cells_holding(Puzzle const& p, uint32_t digits) {
  CellSet s;
  for (int i = 0; i < 64; ++i) s.lo |= uint64_t{(p.cells[i].elim_bits & digits) != 0} << i;
  for (int i = 64; i < 81; ++i) s.hi |= uint64_t{(p.cells[i].elim_bits & digits) != 0} << (i - 64);
  return s;
}

void cells_by_digit(Puzzle const& p, CellSet out[10]) {
  for (int d = 0; d < 10; ++d) out[d] = CellSet{};
  for (int i = 0; i < 81; ++i)
    for (uint32_t bits = p.cells[i].elim_bits & ALL_DIGITS; bits; bits &= bits - 1) out[__builtin_ctz(bits)].add(i);
}
