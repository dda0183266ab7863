// The fast form of the completion search: per-digit cell bit boards built from the
// compiled tables. It reaches the same single fixpoints, branches on the same cells
// and digits and takes budget at the same nodes as the Vec form, so counts, stored
// grids and budget use are identical.
#pragma once

#include <climits>

#include "matrix_engine/ops.h"
#include "matrix_engine/vec.h"
#include "util/export.h"

namespace matrix_engine {
namespace detail {

struct Kernel;

// Builds the fast tables for ops; null when its units do not fit the fast search.
// compile() stores them in the record they belong to.
std::shared_ptr<Kernel const> build_fast_tables(Ops const& ops);

// The fast tables of ops, or null when ops did not come from compile().
inline Kernel const* kernel_for(Ops const& ops) { return ops.kernel.get(); }

// On this thread, runs the search built for any x86-64 even where the AVX2 build
// could run (so tests cover both builds).
NONET_EXPORT void use_portable_search(bool on);

// Runs one search node (its budget unit already taken) and everything below it.
// Returns false, touching nothing, when the placed literals of the position
// conflict with each other; the Vec form then handles it. With any_order the search
// also applies the band and stack rule on boards with boxes: the same count, fewer
// nodes, other stored grids when there are several.
bool fast_count_node(Kernel const& kernel, Vec const& cand, Vec const& placed, int limit, int (*out)[81],
                     int offset, long long& budget, int& result, bool any_order = false);

// One node of the Vec form after its budget unit was taken.
int count_reference_node(Ops const& ops, Vec& cand, Vec& placed, int limit, int (*out)[81], int offset,
                         long long& budget);

// Writes a complete grid (placed holds one literal per cell) to out[index] when out is
// not null and index is 0 or 1.
void store_completion(Vec const& placed, int (*out)[81], int index);

// Takes one unit of budget; false when the budget is exhausted.
inline bool take_budget_unit(long long& budget) {
  if (budget == LLONG_MIN) return false;  // cannot go lower; already exhausted
  return --budget >= 0;
}

}  // namespace detail
}  // namespace matrix_engine
