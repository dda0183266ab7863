// Failure memo for the single-digit techniques (fish, Franken fish, finned fish,
// X-chains): what each of them finds for a digit depends only on where that digit
// stands (the cells holding it, and which of those are still unsolved), on the
// board's fixed geometry and on nothing else. So once a technique has failed on a
// board, every digit it looked at failed, and on a later board where that digit
// stands exactly as before its search would fail again: it is skipped. Results
// are unchanged, only the cost.
//
// The memo is active only inside a FailureMemoScope (a solve, or a generator step
// made of many solves on one board), during which the geometry cannot change.
// Outside a scope every technique searches in full. One table per thread.
#pragma once

#include <cstdint>

#include "model/puzzle.h"
#include "solver/board_scope.h"

namespace failure_memo {

// The techniques that keep a memo (each its own table).
enum Technique : int {
  kXWing,
  kSwordfish,
  kJellyfish,
  kLargeFish,
  kFrankenFish,
  kFinnedFish,
  kXChains,
  kShortXChains,
  kTechniques,
};

// Where each digit stands: cells holding it, and those of them that are unsolved
// (more than one candidate), as 81-bit sets in two words.
struct DigitKeys {
  uint64_t holds[10][2];
  uint64_t unsolved[10][2];
  explicit DigitKeys(Puzzle const& p);
};

// The technique's memo on this board, or null when no scope is active for it.
class Memo;
Memo* active_for(Puzzle const& p);

// True when the technique is known to fail for digit d standing as in keys.
bool known_to_fail(Memo* memo, Technique t, DigitKeys const& keys, int d);
// Records that the technique failed for every digit standing as in keys.
void record_failure(Memo* memo, Technique t, DigitKeys const& keys);

// Digit searches skipped on this thread so far (for tests and measurements).
uint64_t skipped_searches();

// The technique's slot for a fish method; kTechniques when it keeps none.
Technique fish_technique(METHOD_TYPE m);

// Activates a fresh memo for the board unless one is active for it already.
class FailureMemoScope {
 public:
  explicit FailureMemoScope(Puzzle const& p);

 private:
  board_scope::Scope scope_;
};

}  // namespace failure_memo
