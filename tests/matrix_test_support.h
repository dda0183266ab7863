// Puzzles, group maps and an independent backtracking counter for the matrix engine tests.
#pragma once

#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "matrix_engine/matrix_engine.h"
#include "util/random.h"

namespace matrix_test {

using Grid = std::array<int, 81>;

inline Grid square_map() {
  Grid g{};
  for (int c = 0; c < 81; ++c) g[c] = 3 * (c / 27) + (c % 9) / 3;
  return g;
}

inline void to_matrix(Grid const& g, int m[9][9]) {
  for (int c = 0; c < 81; ++c) m[c / 9][c % 9] = g[c];
}

inline matrix_engine::Ops const& compiled(bool diag, Grid const& groups) {
  int m[9][9];
  to_matrix(groups, m);
  return matrix_engine::compile(diag, m);
}

// Cells sharing a unit: row, column, group, and with diag the two main diagonals.
inline bool same_unit(int a, int b, Grid const& groups, bool diag) {
  int const ra = a / 9, ca = a % 9, rb = b / 9, cb = b % 9;
  if (ra == rb || ca == cb || groups[a] == groups[b]) return true;
  if (diag && ra == ca && rb == cb) return true;
  if (diag && ra + ca == 8 && rb + cb == 8) return true;
  return false;
}

// The units of every cell: row, column, group and, with diag, the diagonals.
class UnitTable {
 public:
  UnitTable(Grid const& groups, bool diag) {
    for (int c = 0; c < 81; ++c) {
      int const r = c / 9, col = c % 9;
      int n = 0;
      units_[c][n++] = r;
      units_[c][n++] = 9 + col;
      units_[c][n++] = 18 + (groups[c] & 15);
      if (diag && r == col) units_[c][n++] = 34;
      if (diag && r + col == 8) units_[c][n++] = 35;
      n_[c] = n;
    }
  }
  int count(int c) const { return n_[c]; }
  int unit(int c, int k) const { return units_[c][k]; }

 private:
  int units_[81][5];
  int n_[81];
};

// Backtracking over per-unit digit masks, fewest-options cell first; shuffle_digits
// tries the digits of a cell in random order.
class Backtracker {
 public:
  Backtracker(Grid const& groups, bool diag) : table_(groups, diag) {}

  // Completions of grid (0 = empty) up to limit; 0 when the clues repeat a digit in a
  // unit; -1 when more than max_nodes search nodes did not settle it.
  int count(Grid const& clues, int limit, bool shuffle_digits = false, long max_nodes = 2000000) {
    nodes_left_ = max_nodes;
    grid_ = clues;
    for (unsigned& u : used_) u = 0;
    for (int c = 0; c < 81; ++c) {
      if (!grid_[c]) continue;
      unsigned const bit = 1u << grid_[c];
      for (int k = 0; k < table_.count(c); ++k) {
        unsigned& u = used_[table_.unit(c, k)];
        if (u & bit) return 0;
        u |= bit;
      }
    }
    found_ = 0;
    limit_ = limit;
    shuffle_ = shuffle_digits;
    recurse();
    return nodes_left_ < 0 ? -1 : found_;
  }
  Grid const& first_solution() const { return first_; }

 private:
  unsigned options(int c) const {
    unsigned used = 0;
    for (int k = 0; k < table_.count(c); ++k) used |= used_[table_.unit(c, k)];
    return 0x3FEu & ~used;
  }
  void assign(int c, int d, bool on) {
    for (int k = 0; k < table_.count(c); ++k) used_[table_.unit(c, k)] ^= 1u << d;
    grid_[c] = on ? d : 0;
  }
  void recurse() {
    if (--nodes_left_ < 0) return;
    int best = -1, best_n = 10;
    unsigned best_options = 0;
    for (int c = 0; c < 81; ++c) {
      if (grid_[c]) continue;
      unsigned const o = options(c);
      int const n = __builtin_popcount(o);
      if (n < best_n) best = c, best_n = n, best_options = o;
      if (n == 0) return;
    }
    if (best < 0) {
      if (found_ == 0) first_ = grid_;
      ++found_;
      return;
    }
    int digits[9], n = 0;
    for (int d = 1; d <= 9; ++d)
      if (best_options & (1u << d)) digits[n++] = d;
    if (shuffle_)
      for (int i = n - 1; i > 0; --i) std::swap(digits[i], digits[arc4random_uniform(i + 1)]);
    for (int i = 0; i < n && found_ < limit_ && nodes_left_ >= 0; ++i) {
      assign(best, digits[i], true);
      recurse();
      assign(best, digits[i], false);
    }
  }

  UnitTable table_;
  unsigned used_[36] = {};
  Grid grid_{};
  Grid first_{};
  int found_ = 0;
  int limit_ = 0;
  long nodes_left_ = 0;
  bool shuffle_ = false;
};

// The independent counter of the cross-checks.
using BruteCounter = Backtracker;

// A random complete grid for the map (digits 1..9).
inline Grid random_solution(Grid const& groups, bool diag) {
  Backtracker b(groups, diag);
  b.count(Grid{}, 1, true);
  return b.first_solution();
}

// A jigsaw map for which solution (valid on the square map) stays valid: repeatedly
// swaps the groups of two cells in different groups that hold the same digit.
inline Grid jigsaw_map_keeping(Grid const& solution, int swaps) {
  Grid groups = square_map();
  for (int i = 0; i < swaps; ++i) {
    int const a = static_cast<int>(arc4random_uniform(81));
    int const b = static_cast<int>(arc4random_uniform(81));
    if (solution[a] == solution[b] && groups[a] != groups[b]) std::swap(groups[a], groups[b]);
  }
  return groups;
}

// Keeps each cell of solution with probability keep_percent / 100.
inline Grid random_clues(Grid const& solution, int keep_percent) {
  Grid clues{};
  for (int c = 0; c < 81; ++c)
    if (static_cast<int>(arc4random_uniform(100)) < keep_percent) clues[c] = solution[c];
  return clues;
}

// The engine's starting position for a clue grid.
inline void position_of(Grid const& clues, matrix_engine::Vec& cand, matrix_engine::Vec& placed) {
  cand.fill_all();
  placed.clear();
  for (int c = 0; c < 81; ++c)
    if (clues[c]) placed.set(matrix_engine::lit(c, clues[c]));
}

inline bool is_valid_solution(int const* grid, Grid const& clues, Grid const& groups, bool diag) {
  for (int c = 0; c < 81; ++c) {
    if (grid[c] < 1 || grid[c] > 9) return false;
    if (clues[c] && clues[c] != grid[c]) return false;
    for (int o = c + 1; o < 81; ++o)
      if (grid[c] == grid[o] && same_unit(c, o, groups, diag)) return false;
  }
  return true;
}

}  // namespace matrix_test
