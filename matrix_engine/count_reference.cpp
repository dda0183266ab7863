// The completion count computed directly on Vec positions.
#include "matrix_engine/fast_kernel.h"
#include "matrix_engine/search.h"

namespace matrix_engine {
namespace detail {

// Completion number `index` goes to row index of out while index is 0 or 1.
void store_completion(Vec const& placed, int (*out)[81], int index) {
  if (!out || index < 0 || index >= 2) return;
  for (int c = 0; c < 81; ++c) out[index][c] = 1 + __builtin_ctz(cell9_inline(placed, c));
}

// One search node after its unit of budget has been taken.
int count_reference_node(Ops const& ops, Vec& cand, Vec& placed, int limit, int (*out)[81], int offset,
                         long long& budget) {
  singles_fix(ops, cand, placed, true);
  if (contradiction(ops, cand, placed)) return 0;

  int branch_cell = -1;
  int fewest = 10;
  for (int c = 0; c < 81; ++c) {
    if (cell9_inline(placed, c) != 0) continue;
    int const n = __builtin_popcount(cell9_inline(cand, c));
    if (n < fewest) {
      fewest = n;
      branch_cell = c;
    }
  }
  if (branch_cell < 0) {
    store_completion(placed, out, offset);
    return 1;
  }
  unsigned const digits = cell9_inline(cand, branch_cell);
  int found = 0;
  for (int d = 1; d <= 9 && found < limit; ++d) {
    if (!(digits & (1u << (d - 1)))) continue;
    Vec child_placed = placed;
    child_placed.set(lit(branch_cell, d));
    int const n = count_completions_reference(ops, cand, child_placed, limit - found, out, offset + found, budget);
    if (n < 0) return -1;
    found += n;
  }
  return found;
}

int count_completions_reference(Ops const& ops, Vec cand, Vec placed, int limit, int (*out)[81], int offset,
                                long long& budget) {
  if (!take_budget_unit(budget)) return -1;
  return count_reference_node(ops, cand, placed, limit, out, offset, budget);
}

}  // namespace detail
}  // namespace matrix_engine
