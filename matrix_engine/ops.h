// Ops: the constraint tables compiled for one group map and diagonal setting,
// and compile(), which builds them once per process and caches them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "matrix_engine/vec.h"
#include "util/export.h"

namespace matrix_engine {

namespace detail {
struct Kernel;
}

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
  // The fast search's tables, built by compile() (null for tables built elsewhere).
  std::shared_ptr<detail::Kernel const> kernel;
};

// (extension) The tables for group map grp (group numbers 0..8), with the two main
// diagonals as extra units when diag is true, from a cache of the most recently used keys (each
// entry is about 436 KB). The tables stay valid while the caller holds the pointer,
// also after the cache has dropped them. Thread-safe.
NONET_EXPORT std::shared_ptr<Ops const> compile_shared(bool diag, int const grp[9][9]);

// compile_shared, with the tables kept for the life of the process: for the few fixed
// maps of tools and tests. Long runs over many maps use compile_shared.
NONET_EXPORT Ops const& compile(bool diag, int const grp[9][9]);

// (extension) Number of entries the cache keeps (default 32, at least 1); returns the previous value.
// Shrinking drops the least recently used entries at once.
NONET_EXPORT std::size_t set_compile_cache_capacity(std::size_t entries);
// (extension) Number of entries in the cache of recently used keys now.
NONET_EXPORT std::size_t compile_cache_size();

}  // namespace matrix_engine
