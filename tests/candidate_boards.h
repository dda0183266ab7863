// Hand-built candidate positions for the technique tests: a square-box board
// whose cells all start with every digit, shaped cell by cell.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <string>

#include "model/puzzle.h"
#include "testing/test_boards.h"

namespace candidate_boards {

inline int cell_index(int r, int c) { return r * 9 + c; }

inline uint32_t digits(std::initializer_list<int> ds) {
  uint32_t m = 0;
  for (int d : ds) m |= 1u << d;
  return m;
}

// Every cell open for every digit, no givens, geometry and neighbour table ready.
inline void open_board(Puzzle& p, ADJACENCY_TYPE adjacency = ADJ_NONE) {
  p.set_types(MAP_REGULAR, adjacency);
  p.set_difficulty(UI_EASY);
  p.setup(test_boards::square_map());
  for (auto& cell : p.cells) {
    cell.elim_bits = ALL_DIGITS;
    cell.solution = 0;
    cell.mask = 0;
    cell.user_answer = 0;
  }
  p.define_are_neighbors_array();
  p.define_overlap_maps();
  std::memset(p.method_counts, 0, sizeof p.method_counts);
}

inline void set_cell(Puzzle& p, int r, int c, std::initializer_list<int> ds) {
  p.cells[cell_index(r, c)].elim_bits = digits(ds);
}

inline PUZZLE_CELL* at(Puzzle& p, int r, int c) { return &p.cells[cell_index(r, c)]; }

// Removes digit d from every cell of row r except the listed columns.
inline void keep_digit_in_row_only(Puzzle& p, int d, int r, std::initializer_list<int> cols) {
  for (int c = 0; c < 9; ++c) {
    bool keep = false;
    for (int k : cols) keep |= k == c;
    if (!keep) p.cells[cell_index(r, c)].elim_bits &= ~(1u << d);
  }
}

inline void keep_digit_in_col_only(Puzzle& p, int d, int c, std::initializer_list<int> rows) {
  for (int r = 0; r < 9; ++r) {
    bool keep = false;
    for (int k : rows) keep |= k == r;
    if (!keep) p.cells[cell_index(r, c)].elim_bits &= ~(1u << d);
  }
}

// Snapshot of every candidate mask, for before/after comparisons.
using Masks = std::array<uint32_t, 81>;

inline Masks masks_of(Puzzle const& p) {
  Masks m{};
  for (int i = 0; i < 81; ++i) m[i] = p.cells[i].elim_bits;
  return m;
}

// The cells (as "r,c" strings joined by spaces) that lost digit d between two snapshots.
inline std::string cells_losing(Masks const& before, Masks const& after, int d) {
  std::string out;
  for (int i = 0; i < 81; ++i)
    if ((before[i] & (1u << d)) && !(after[i] & (1u << d))) {
      if (!out.empty()) out += ' ';
      out += std::to_string(i / 9) + "," + std::to_string(i % 9);
    }
  return out;
}

// Digits lost anywhere other than digit d (0 = only d was removed).
inline uint32_t other_digits_lost(Masks const& before, Masks const& after, int d) {
  uint32_t lost = 0;
  for (int i = 0; i < 81; ++i) lost |= before[i] & ~after[i];
  return lost & ~(1u << d);
}

inline bool all_marks_clear(Puzzle const& p) {
  for (auto const& cell : p.cells)
    if (cell.user_answer != 0) return false;
  return true;
}

}  // namespace candidate_boards
