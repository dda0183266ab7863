// A quick test of whether a board's clues leave a second solution. Clue removal asks
// it before running the logical solver: a clue set with two solutions can never be
// solved logically (no technique of the ladder assumes a unique solution), and
// proving that by running the whole ladder, up to forcing nets, costs far more than
// finding the second solution by search. The search is the matrix engine's counter
// (bit boards, naked and hidden singles, fewest-candidates branching).
#pragma once

#include "matrix_engine/matrix_engine.h"

class Puzzle;

class UniquenessProbe {
 public:
  // Takes the board's houses: rows, columns, groups and, on X boards, both diagonals.
  explicit UniquenessProbe(Puzzle const& board);

  // True when the clues (mask bit 0; digits from solution, one-bit masks) certainly
  // have a second solution; false when they have exactly one, or when the search ran
  // out of budget (the caller then decides the slow way).
  bool has_second_solution(Puzzle const& board);

  // The same answer when the board had exactly one solution with the clues at cell_a
  // and cell_b (-1: none) still in place, and those clues are now removed: any second
  // solution then differs from the first at one of the two cells, so the search only
  // looks for a completion without the first solution's digit there.
  bool has_second_solution_after_removing(Puzzle const& board, int cell_a, int cell_b);

 private:
  // The clues as placed literals; false when two clues clash.
  bool load(Puzzle const& board, matrix_engine::Vec& placed) const;
  // Completions of (cand, placed), stopping at limit; -1 when out of budget.
  int count(matrix_engine::Vec const& cand, matrix_engine::Vec const& placed, int limit, long long& budget) const;

  matrix_engine::Ops const* ops_;
};
