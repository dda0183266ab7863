// Boards for the solver and construction tests: seeded random solutions and
// puzzles with a unique solution, hand-set candidate positions and the ladder.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model/matrix.h"
#include "model/puzzle.h"
#include "testing/test_boards.h"
#include "util/combinations.h"
#include "util/random.h"

namespace solver_fixtures {

// The techniques of the main ladder (easiest first), the finned-fish side branch
// and the inactive fish step.
inline std::vector<METHOD_TYPE> ladder_rungs() {
  return {SIMPLE_ELIMINATION, HIDDEN_SINGLES, CELL_RESTRICTION, MULTIPLE_DIGITS, DOUBLE_RESTRICTION, X_WING,
          SWORDFISH,          SHORT_X_CHAINS, XY_XYZ_WINGS,    W_WING,          JELLYFISH,          X_CHAINS,
          XY_CHAINS,          ALMOST_LOCKED_SETS, INACTIVE_FISH, FRANKEN_FISH,  FINNED_FISH,        FINNED_FISH_ALT,
          FORCING_NET};
}

inline Matrix<int, 9> matrix_of(int const rows[9][9]) {
  Matrix<int, 9> m;
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) m[r][c] = rows[r][c];
  return m;
}

// A jigsaw map in which group 4 is the whole of row 4 (restriction 9), groups 3
// and 5 are six cells long in one row and the other groups are square boxes.
inline Matrix<int, 9> row_group_map() {
  static int const rows[9][9] = {
      {0, 0, 0, 1, 1, 1, 2, 2, 2}, {0, 0, 0, 1, 1, 1, 2, 2, 2}, {0, 0, 0, 1, 1, 1, 2, 2, 2},
      {3, 3, 3, 3, 3, 3, 5, 5, 5}, {4, 4, 4, 4, 4, 4, 4, 4, 4}, {3, 3, 3, 5, 5, 5, 5, 5, 5},
      {6, 6, 6, 7, 7, 7, 8, 8, 8}, {6, 6, 6, 7, 7, 7, 8, 8, 8}, {6, 6, 6, 7, 7, 7, 8, 8, 8},
  };
  return matrix_of(rows);
}

// A jigsaw map whose groups are three-cell runs shifted by one column per row.
inline Matrix<int, 9> shifted_map() {
  Matrix<int, 9> m;
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) m[r][c] = (r / 3) * 3 + ((c + r) % 9) / 3;
  return m;
}

// Sets up an empty board (zeroed cells) with its neighbour table and overlap map.
inline void setup_board(Puzzle& p, Matrix<int, 9> const& groups, ADJACENCY_TYPE adjacency,
                        MAP_TYPE map = MAP_REGULAR) {
  p.set_types(map, adjacency);
  p.set_difficulty(UI_EASY);
  p.setup(groups);
  p.define_are_neighbors_array();
  p.define_overlap_maps();
  p.store_both_stop_flags(false);
  p.deadline_ms = 0;
  p.deadline_poll_count = 0;
  for (int& c : p.method_counts) c = 0;
}

// True when every house (and both diagonals on X boards) holds each digit once.
inline bool solution_is_valid(Puzzle const& p) {
  int const n_dims = p.adjacency_type == ADJ_X ? 5 : 3;
  for (int dim = 0; dim < n_dims; ++dim)
    for (int h = 0; h < 9; ++h) {
      uint32_t seen = 0;
      int count = 0;
      for (auto const& cell : p.cells)
        if (cell.house[dim] == h) {
          seen |= static_cast<uint32_t>(cell.solution);
          ++count;
        }
      if (count == 0) continue;  // the diagonal dimensions have one house
      if (count != 9 || seen != ALL_DIGITS) return false;
    }
  for (auto const& cell : p.cells)
    if (n_candidates(static_cast<uint32_t>(cell.solution)) != 1 || (cell.solution & ~ALL_DIGITS)) return false;
  return true;
}

// Brute-force calls allowed per uniqueness check while clues are removed: a check
// that would need more keeps the clue, so generation time stays bounded.
constexpr long kUniquenessCallLimit = 20000;

// Exactly one solution from the board's clues, proven within the call limit (the
// clues are propagated first, as the brute-force search expects).
inline bool has_unique_solution(Puzzle& p, long call_limit = kUniquenessCallLimit) {
  p.apply_mask();
  p.solve(SIMPLE_ELIMINATION);
  bool const unique = p.solve_by_brute_force(nullptr, call_limit);
  p.apply_mask();
  return unique;
}

// A random puzzle: a random solution, then every cell in random order loses its
// clue while the puzzle keeps a unique solution (proven within call_limit
// brute-force calls; a smaller limit keeps more clues). Deterministic for a seed.
inline bool make_random_puzzle(Puzzle& p, uint64_t seed, Matrix<int, 9> const& groups, ADJACENCY_TYPE adjacency,
                               MAP_TYPE map = MAP_REGULAR, long call_limit = kUniquenessCallLimit) {
  sudoku_seed_random(seed);
  setup_board(p, groups, adjacency, map);
  bool ok = p.construct_solution();
  if (ok) {
    for (auto& cell : p.cells) cell.mask = 1;
    int order[81];
    for (int i = 0; i < 81; ++i) order[i] = i;
    random_combination(81, 81, order);
    for (int idx : order) {
      p.cells[idx].mask = 0;
      if (!has_unique_solution(p, call_limit)) p.cells[idx].mask = 1;
    }
    p.apply_mask();
  }
  sudoku_seed_random(0);
  return ok;
}

// A board on the square map whose cells all hold the given candidate masks.
inline void set_candidates(Puzzle& p, uint32_t const masks[81]) {
  for (int i = 0; i < 81; ++i) p.cells[i].elim_bits = masks[i];
}

// Candidate mask from a digit string such as "124".
inline uint32_t digits(char const* s) {
  uint32_t m = 0;
  for (; *s; ++s) m |= 1u << (*s - '0');
  return m;
}

// A board whose cells are all open (0x3FE) on the given map, no clues.
inline void open_board(Puzzle& p, Matrix<int, 9> const& groups = test_boards::square_map(),
                       ADJACENCY_TYPE adjacency = ADJ_NONE) {
  setup_board(p, groups, adjacency);
  for (auto& cell : p.cells) {
    cell.elim_bits = ALL_DIGITS;
    cell.mask = 0;
    cell.solution = 0;
  }
}

// The cells (row-major indices) that have digit d.
inline std::vector<int> cells_with(Puzzle const& p, int d) {
  std::vector<int> out;
  for (int i = 0; i < 81; ++i)
    if (p.cells[i].elim_bits & (1u << d)) out.push_back(i);
  return out;
}

}  // namespace solver_fixtures
