#include "solver/peer_sets.h"

#include <cstring>
#include <new>

namespace peer_sets {

namespace {

thread_local Puzzle const* active_puzzle = nullptr;
thread_local PeerSets const* active_sets = nullptr;

// Whether the cell walks the ring of dim (the houses of Puzzle::houses_of).
bool walks(Puzzle const& p, PUZZLE_CELL const& cell, int dim) {
  if (dim <= DIM_COL) return true;
  return p.adjacency_type == ADJ_X && cell.house[dim] == 0;
}

}  // namespace

// Each ring is walked once: a walk from a cell comes back to it (the solver's own
// walks rely on that), so every cell met on the way lies on the same ring and would
// meet the same cells. A cell gets a ring's cells only when it walks that ring
// itself, exactly as the ring walks of houses_of.
PeerSets::PeerSets(Puzzle const& p) {
  std::memset(of, 0, sizeof of);
  int const n_dims = p.adjacency_type == ADJ_X ? 5 : 3;
  for (int dim = 0; dim < n_dims; ++dim) {
    bool seen[81] = {};
    for (int c = 0; c < 81; ++c) {
      PUZZLE_CELL const* const start = &p.cells[c];
      if (seen[c] || !walks(p, *start, dim)) continue;
      uint64_t ring[2] = {0, 0};
      PUZZLE_CELL const* cell = start;
      do {
        int const o = static_cast<int>(cell - p.cells);
        ring[o >> 6] |= uint64_t{1} << (o & 63);
        cell = Puzzle::next_in(cell, dim);
      } while (cell != start);
      for (int w = 0; w < 2; ++w)
        for (uint64_t rest = ring[w]; rest; rest &= rest - 1) {
          int const m = w * 64 + __builtin_ctzll(rest);
          seen[m] = true;
          if (!walks(p, p.cells[m], dim)) continue;
          of[m][0] |= ring[0];
          of[m][1] |= ring[1];
        }
    }
  }
  for (int c = 0; c < 81; ++c) {
    of[c][c >> 6] &= ~(uint64_t{1} << (c & 63));
    int n = 0;
    for (int w = 0; w < 2; ++w)
      for (uint64_t rest = of[c][w]; rest && n < 40; rest &= rest - 1)
        peers[c][n++] = static_cast<uint8_t>(w * 64 + __builtin_ctzll(rest));
    n_peers[c] = static_cast<uint8_t>(n);
  }
}

PeerSets const* active_for(Puzzle const& p) { return active_puzzle == &p ? active_sets : nullptr; }

PeerSetsScope::PeerSetsScope(Puzzle const& p)
    : saved_puzzle_(active_puzzle), saved_sets_(active_sets), installed_(active_puzzle != &p) {
  if (!installed_) return;
  active_sets = new (storage_) PeerSets(p);
  active_puzzle = &p;
}

PeerSetsScope::~PeerSetsScope() {
  if (!installed_) return;
  active_puzzle = saved_puzzle_;
  active_sets = saved_sets_;
}

}  // namespace peer_sets
