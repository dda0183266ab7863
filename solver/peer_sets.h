// The cells each cell sees through the houses the solver walks, as 81-bit sets:
// the simple elimination clears a single's digit from them without walking rings.
//
// The sets are valid only while the board's geometry stays as it is, so they are
// built by a PeerSetsScope (a solve, or a generator step made of many solves on one
// board) and are visible only inside it. Outside a scope the solver walks the rings.
#pragma once

#include <cstdint>

#include "model/puzzle.h"

namespace peer_sets {

struct PeerSets {
  // Bit c % 64 of word c / 64: cell c shares a house with the cell (never itself).
  uint64_t of[81][2];
  // The same cells as index lists, in index order (a cell sees at most 40 others).
  uint8_t n_peers[81];
  uint8_t peers[81][40];
  explicit PeerSets(Puzzle const& p);
};

// The board's sets while a scope is active for it on this thread; null otherwise.
PeerSets const* active_for(Puzzle const& p);

// Builds and activates the board's sets unless a scope is active for it already.
class PeerSetsScope {
 public:
  explicit PeerSetsScope(Puzzle const& p);
  ~PeerSetsScope();
  PeerSetsScope(PeerSetsScope const&) = delete;
  PeerSetsScope& operator=(PeerSetsScope const&) = delete;

 private:
  Puzzle const* saved_puzzle_;
  PeerSets const* saved_sets_;
  bool installed_;
  alignas(PeerSets) unsigned char storage_[sizeof(PeerSets)];
};

}  // namespace peer_sets
