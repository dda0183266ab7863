#include "python/engine_count.h"

#include <algorithm>

#include "matrix_engine/matrix_engine.h"

namespace nonet_py {

matrix_engine::Ops const& constraint_tables(Grid81 const& groups, bool diagonals) {
  int grp[9][9];
  for (int c = 0; c < 81; ++c) grp[c / 9][c % 9] = groups[c];
  return matrix_engine::compile(diagonals, grp);
}

int count_solutions(matrix_engine::Ops const& ops, Grid81 const& clues, int limit, Grid81* first) {
  using namespace matrix_engine;
  Vec cand, placed;
  cand.fill_all();
  for (int c = 0; c < 81; ++c)
    if (clues[c]) placed.set(lit(c, clues[c]));
  // The counter expects consistent clues: a digit twice in a unit has no completion.
  for (int c = 0; c < 81; ++c)
    if (clues[c] && ops.conflicts[lit(c, clues[c])].intersects(placed)) return 0;
  int out[2][81] = {};
  long long budget = 1LL << 50;
  int const count = count_completions_collect(ops, cand, placed, limit, out, 0, budget);
  if (first && count >= 1) std::copy(out[0], out[0] + 81, first->begin());
  return count;
}

}  // namespace nonet_py
