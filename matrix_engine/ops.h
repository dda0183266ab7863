// Ops: the constraint tables compiled for one group map and diagonal setting,
// and compile(), which builds them once per process and caches them.
#pragma once

#include <cstdint>
#include <vector>

#include "matrix_engine/vec.h"
#include "util/export.h"

namespace matrix_engine {

struct NONET_EXPORT Ops {
  // Locked candidates of digit d between units A and B whose overlap has two or
  // more cells: with no candidate of d left in rest_a, d leaves rest_b.
  struct LC {
    Vec overlap;
    Vec rest_a;
    Vec rest_b;
  };

  // Per literal: the literals that placing it rules out (other digits of its cell,
  // its digit in every peer).
  std::vector<Vec> conflicts;
  // Per (unit u, digit d) at u * 9 + d - 1: the literals of d in the cells of u.
  std::vector<Vec> unit_digit;
  // Ordered unit pairs (A outer, B inner), digits ascending within a pair.
  std::vector<LC> lcs;
  // Cell lists: rows 0..8, columns 9..17, groups 18..26, then the main diagonal
  // and the anti-diagonal when diagonals are units.
  std::vector<std::vector<int>> units;
  // Bit u of entry c: unit u contains cell c.
  std::uint32_t cell_units[81] = {};
  int n_units = 0;
};

// The tables for group map grp (group numbers 0..8), with the two main diagonals as
// extra units when diag is true. Thread-safe; the returned reference stays valid
// for the life of the process.
NONET_EXPORT Ops const& compile(bool diag, int const grp[9][9]);

}  // namespace matrix_engine
