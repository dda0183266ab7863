// The board a per-thread solver cache is active for. A cache keeps one slot per
// thread; a scope makes the cache active for a board with a fresh epoch (entries
// written under another epoch never match) unless it is active for that board
// already, and restores what was active before when it ends.
#pragma once

#include <cstdint>

class Puzzle;

namespace board_scope {

struct Slot {
  Puzzle const* puzzle = nullptr;
  uint64_t epoch = 0;  // of the active scope; entries start with 0, which never matches
  uint64_t next_epoch = 1;
};

class Scope {
 public:
  Scope(Slot& slot, Puzzle const& p)
      : slot_(slot), saved_puzzle_(slot.puzzle), saved_epoch_(slot.epoch), installed_(slot.puzzle != &p) {
    if (!installed_) return;
    slot.puzzle = &p;
    slot.epoch = slot.next_epoch++;
  }
  ~Scope() {
    if (!installed_) return;
    slot_.puzzle = saved_puzzle_;
    slot_.epoch = saved_epoch_;
  }
  Scope(Scope const&) = delete;
  Scope& operator=(Scope const&) = delete;

  // False when the cache was active for the board already (the scope changes nothing).
  bool installed() const { return installed_; }

 private:
  Slot& slot_;
  Puzzle const* saved_puzzle_;
  uint64_t saved_epoch_;
  bool installed_;
};

}  // namespace board_scope
