// count_completions_collect: the fast search when the tables came from compile(),
// the Vec form otherwise.
#include "matrix_engine/fast_kernel.h"
#include "matrix_engine/search.h"

namespace matrix_engine {

int count_completions_collect(Ops const& ops, Vec cand, Vec placed, int limit, int (*out)[81], int offset,
                              long long& budget) {
  if (!detail::take_budget_unit(budget)) return -1;
  if (detail::Kernel const* kernel = detail::kernel_for(ops)) {
    int result = 0;
    if (detail::fast_count_node(*kernel, cand, placed, limit, out, offset, budget, result)) return result;
  }
  return detail::count_reference_node(ops, cand, placed, limit, out, offset, budget);
}

}  // namespace matrix_engine

namespace matrix_engine {

int count_completions_any_order(Ops const& ops, Vec cand, Vec placed, int limit, int (*out)[81], long long& budget) {
  if (!detail::take_budget_unit(budget)) return -1;
  if (detail::Kernel const* kernel = detail::kernel_for(ops)) {
    int result = 0;
    if (detail::fast_count_node(*kernel, cand, placed, limit, out, 0, budget, result, true)) return result;
  }
  return detail::count_reference_node(ops, cand, placed, limit, out, 0, budget);
}

}  // namespace matrix_engine
