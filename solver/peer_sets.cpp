#include "solver/peer_sets.h"

#include <new>

#include "solver/chain_geometry.h"

namespace peer_sets {

namespace {

thread_local Puzzle const* active_puzzle = nullptr;
thread_local PeerSets const* active_sets = nullptr;

}  // namespace

// The chain searches' neighbour sets are the cells of the houses a cell walks
// (group, row, column, and on X boards the diagonals it lies on), exactly the ring
// walks of Puzzle::houses_of; the index lists are added here.
PeerSets::PeerSets(Puzzle const& p) {
  ChainGeometry const& geometry = ChainGeometry::of(p);
  for (int c = 0; c < 81; ++c) {
    of[c][0] = geometry.peers[c].lo;
    of[c][1] = geometry.peers[c].hi;
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
