// XY-wing, XYZ-wing and W-wing. Each search stops at its first elimination.
// Walks through a cell's own house start at the cell and go round the ring.
#include <initializer_list>

#include "model/puzzle.h"
#include "solver/chain_geometry.h"
#include "solver/chain_walks.h"
#include "solver/pattern_note.h"

using chain_walks::lowest_bit;
using chain_walks::n_digits;
using chain_walks::remove_digits;

namespace {

[[gnu::cold]] void note_wing(PUZZLE_CELL const* pivot, PUZZLE_CELL const* w1, PUZZLE_CELL const* w2, uint32_t z) {
  pattern_note::cell(pivot);
  pattern_note::cell(w1);
  pattern_note::cell(w2);
  pattern_note::digits(z);
}

}  // namespace

bool Puzzle::remove_from_elim_bits_in_neighbors(unsigned digits, PUZZLE_CELL* a, PUZZLE_CELL* b) {
  bool changed = false;
  // Walks `from`'s house in dim and clears digits from the cells that also see `other`.
  auto sweep = [&](PUZZLE_CELL* from, int dim, PUZZLE_CELL const* other) {
    for (PUZZLE_CELL* x = next_in(from, dim); x != from; x = next_in(x, dim)) {
      if (x == a || x == b) continue;
      if ((x->elim_bits & digits) && are_neighbors(x, other)) changed |= remove_digits(x, digits);
    }
  };
  sweep(a, DIM_GROUP, b);
  sweep(a, DIM_ROW, b);
  sweep(a, DIM_COL, b);
  if (adjacency_type == ADJ_X) {
    for (int dim : {DIM_DIAG, DIM_ANTI_DIAG}) {
      if (a->house[dim] == 0)
        sweep(a, dim, b);
      else if (b->house[dim] == 0)
        sweep(b, dim, a);
    }
  }
  return changed;
}

bool Puzzle::simplify_XY_wing(PUZZLE_CELL* pivot) {
  uint32_t const pivot_digits = pivot->elim_bits;
  // The pivot's houses in wing order: row, column, group, then its diagonals.
  int dims[5];
  int n = 0;
  dims[n++] = DIM_ROW;
  dims[n++] = DIM_COL;
  dims[n++] = DIM_GROUP;
  if (adjacency_type == ADJ_X) {
    if (pivot->house[DIM_DIAG] == 0) dims[n++] = DIM_DIAG;
    if (pivot->house[DIM_ANTI_DIAG] == 0) dims[n++] = DIM_ANTI_DIAG;
  }
  for (int i = 0; i + 1 < n; ++i) {
    for (PUZZLE_CELL* w1 = next_in(pivot, dims[i]); w1 != pivot; w1 = next_in(w1, dims[i])) {
      if (n_digits(w1->elim_bits) != 2) continue;
      uint32_t const shared1 = w1->elim_bits & pivot_digits;
      if (n_digits(shared1) != 1) continue;
      for (int j = i + 1; j < n; ++j) {
        for (PUZZLE_CELL* w2 = next_in(pivot, dims[j]); w2 != pivot; w2 = next_in(w2, dims[j])) {
          if (n_digits(w2->elim_bits) != 2) continue;
          uint32_t const shared2 = w2->elim_bits & pivot_digits;
          if (n_digits(shared2) != 1 || shared2 == shared1) continue;
          uint32_t const z = w1->elim_bits & w2->elim_bits;
          if (z && remove_from_elim_bits_in_neighbors(z, w1, w2)) {
            note_wing(pivot, w1, w2, z);
            return true;
          }
        }
      }
    }
  }
  return false;
}

bool Puzzle::simplify_XYZ_wing(PUZZLE_CELL* pivot) {
  uint32_t const pivot_digits = pivot->elim_bits;
  int kinds[4];
  int n_kinds = 0;
  kinds[n_kinds++] = DIM_ROW;
  kinds[n_kinds++] = DIM_COL;
  if (adjacency_type == ADJ_X) {
    if (pivot->house[DIM_DIAG] == 0) kinds[n_kinds++] = DIM_DIAG;
    if (pivot->house[DIM_ANTI_DIAG] == 0) kinds[n_kinds++] = DIM_ANTI_DIAG;
  }
  for (PUZZLE_CELL* w1 = next_in(pivot, DIM_GROUP); w1 != pivot; w1 = next_in(w1, DIM_GROUP)) {
    if (n_digits(w1->elim_bits) != 2 || (w1->elim_bits & ~pivot_digits)) continue;
    for (int k = 0; k < n_kinds; ++k) {
      int const dim = kinds[k];
      for (PUZZLE_CELL* w2 = next_in(pivot, dim); w2 != pivot; w2 = next_in(w2, dim)) {
        if (n_digits(w2->elim_bits) != 2 || (w2->elim_bits & ~pivot_digits)) continue;
        if (w2->elim_bits == w1->elim_bits) continue;
        uint32_t const z = w1->elim_bits & w2->elim_bits;
        // The cells that see the pivot, W1 and W2 all lie in W1's group (the pivot's).
        bool changed = false;
        for (PUZZLE_CELL* x = next_in(w1, DIM_GROUP); x != w1; x = next_in(x, DIM_GROUP)) {
          if (x == w2 || x == pivot) continue;
          if ((x->elim_bits & z) && are_neighbors(x, w2)) changed |= remove_digits(x, z);
        }
        if (changed) {
          note_wing(pivot, w1, w2, z);
          return true;
        }
      }
    }
  }
  return false;
}

bool Puzzle::simplify_XY_XYZ_wing() {
  for (auto& cell : cells) {
    int const n = n_digits(cell.elim_bits);
    if (n == 2 && simplify_XY_wing(&cell)) {
      ++method_counts[XY_WING];
      return true;
    }
    if (n == 3 && simplify_XYZ_wing(&cell)) {
      ++method_counts[XYZ_WING];
      return true;
    }
  }
  return false;
}

bool Puzzle::simplify_w_wing() {
  ChainGeometry const& g = ChainGeometry::of(*this);
  int pairs[81];
  int n_pairs = 0;
  CellSet holding[10];
  cells_by_digit(*this, holding);
  for (int i = 0; i < 81; ++i)
    if (n_digits(cells[i].elim_bits) == 2) pairs[n_pairs++] = i;

  int const n_dims = adjacency_type == ADJ_X ? 5 : 3;
  for (int i = 0; i < n_pairs; ++i) {
    PUZZLE_CELL* const p1 = &cells[pairs[i]];
    for (int j = i + 1; j < n_pairs; ++j) {
      PUZZLE_CELL* const p2 = &cells[pairs[j]];
      if (p2->elim_bits != p1->elim_bits || are_neighbors(p1, p2)) continue;
      CellSet const both_ends = CellSet::of(pairs[i]) | CellSet::of(pairs[j]);
      CellSet const sees_p1_only = g.peers[pairs[i]].without(g.peers[pairs[j]]);
      CellSet const sees_p2_only = g.peers[pairs[j]].without(g.peers[pairs[i]]);
      uint32_t const low = lowest_bit(p1->elim_bits);
      uint32_t const high = p1->elim_bits & ~low;
      for (uint32_t const w : {low, high}) {
        uint32_t const z = p1->elim_bits & ~w;
        // What a strong link would let the pair eliminate does not depend on the link,
        // so a pair that sees no common z candidate needs no link search.
        CellSet const hit = holding[__builtin_ctz(z)] & g.peers[pairs[i]] & g.peers[pairs[j]];
        if (hit.empty()) continue;
        CellSet const w_cells = holding[__builtin_ctz(w)].without(both_ends);
        for (int dim = 0; dim < n_dims; ++dim) {
          int const n_houses = dim < 3 ? 9 : 1;
          for (int h = 0; h < n_houses; ++h) {
            // The house's other cells with w, in ring order (ascending from its lowest cell).
            CellSet const link = g.house[dim][h] & w_cells;
            if (!link.has_two()) continue;
            int const s0 = link.first();
            int const s1 = link.without_lowest().first();
            bool const straight = sees_p1_only.has(s0) && sees_p2_only.has(s1);
            bool const crossed = sees_p2_only.has(s0) && sees_p1_only.has(s1);
            if (!straight && !crossed) continue;
            hit.for_each([&](int x) { remove_digits(&cells[x], z); });
            // The pair cells, then the strong link's two cells and its house.
            note_wing(p1, p2, &cells[s0], w);
            pattern_note::cell(&cells[s1]);
            pattern_note::house(dim, h);
            return true;
          }
        }
      }
    }
  }
  return false;
}
