// Suffix cache of the solver, for the generator's many solves on one board: from
// the moment every rung below the X-wing has failed on a position, what the rest
// of a solve does (the final candidates, what it adds to the statistics, solved or
// not) depends only on that position (candidates and the cells' elimination
// marks) and on the hardest rung. Clue sets that differ by a clue or two usually reach the same
// positions, so a solve that reaches a position seen before takes the known rest
// instead of repeating the search. Results are unchanged, only the cost.
//
// Active only inside a SuffixCacheScope, which the generator opens around the solves
// of one board (its geometry and every cell's solution and answer are then fixed).
// One table per thread.
#pragma once

#include <cstdint>

#include "model/puzzle.h"
#include "solver/board_scope.h"

namespace suffix_cache {

// The rung at whose start positions are looked up.
constexpr METHOD_TYPE kRung = X_WING;

// Starts a solve: true when a scope is active for this board, and then the
// positions of this solve are looked up and noted until end_solve.
bool begin_solve(Puzzle const& p, METHOD_TYPE hardest);

// At the start of rung kRung within a solve begun above: when the position is
// known, sets the board's candidates and statistics to the end of the solve, sets
// *solved and returns true. Otherwise notes the position and returns false.
bool finish_from_cache(Puzzle& p, bool* solved);

// Ends the solve begun above. Unless it was cancelled (record false), stores the
// rest of the solve for every position noted since it began.
void end_solve(Puzzle const& p, bool solved, bool record);

// Solves finished from the cache on this thread so far (for tests and measurements).
uint64_t hits();

// Activates a fresh cache for the board unless one is active for it already.
class SuffixCacheScope {
 public:
  explicit SuffixCacheScope(Puzzle const& p);
  ~SuffixCacheScope();
  SuffixCacheScope(SuffixCacheScope const&) = delete;
  SuffixCacheScope& operator=(SuffixCacheScope const&) = delete;

 private:
  board_scope::Scope scope_;
};

}  // namespace suffix_cache
