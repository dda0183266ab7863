// Single propagation and completion counting on a position held as two Vecs.
#pragma once

#include "matrix_engine/ops.h"
#include "matrix_engine/vec.h"
#include "util/export.h"

namespace matrix_engine {

// Propagates naked singles (and hidden singles when hidden is true) to a fixpoint.
// A literal ruled out by one placed before it in the same pass is a contradiction:
// cand is then cleared completely.
NONET_EXPORT void singles_fix(Ops const& ops, Vec& cand, Vec& placed, bool hidden);

// True when some cell or some (unit, digit) pair has no literal left in cand.
// placed is not consulted.
NONET_EXPORT bool contradiction(Ops const& ops, Vec const& cand, Vec const& placed);

// Counts completions by depth-first search (singles to a fixpoint, then branching on
// the lowest unplaced cell with fewest candidates, digits ascending), stopping at
// limit. Every call takes one unit of budget; -1 when it ran out anywhere. The
// completions numbered offset + k (k found so far) go to row offset + k of out
// while that row is 0 or 1.
NONET_EXPORT int count_completions_collect(Ops const& ops, Vec cand, Vec placed, int limit, int (*out)[81],
                                           int offset, long long& budget);

// (extension) The number of completions, as count_completions_collect counts them (up
// to limit, -1 when the budget ran out), by a search free to choose its own order and
// its own propagation: it spends fewer nodes on hard positions, and when there are two
// or more completions the grids it stores may be other ones. For callers that need the
// count and a unique solution, not the defined order or node use.
NONET_EXPORT int count_completions_any_order(Ops const& ops, Vec cand, Vec placed, int limit, int (*out)[81],
                                             long long& budget);

namespace detail {

// The same search computed step by step on the Vec position, with no fast path:
// the definition the fast search must agree with, and its fallback.
NONET_EXPORT int count_completions_reference(Ops const& ops, Vec cand, Vec placed, int limit, int (*out)[81],
                                             int offset, long long& budget);

}  // namespace detail
}  // namespace matrix_engine
