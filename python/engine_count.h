// Solution counting on plain grids with the matrix engine: the work behind solve and
// solve_many, free of Python so the benchmarks can time it alone.
#pragma once

#include <array>

#include "matrix_engine/ops.h"

namespace nonet_py {

using Grid81 = std::array<int, 81>;

// The engine's compiled constraint tables for a group map (cached by the engine).
matrix_engine::Ops const& constraint_tables(Grid81 const& groups, bool diagonals);

// Counts solutions up to limit (1 or more); writes the first into *first when given and
// one was found. Inconsistent clues (a digit twice in a unit) have 0.
int count_solutions(matrix_engine::Ops const& ops, Grid81 const& clues, int limit, Grid81* first);

inline int count_solutions(Grid81 const& clues, Grid81 const& groups, bool diagonals, int limit, Grid81* first) {
  return count_solutions(constraint_tables(groups, diagonals), clues, limit, first);
}

}  // namespace nonet_py
