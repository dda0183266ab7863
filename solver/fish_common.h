// Helpers shared by the fish searches.
#pragma once

#include "model/puzzle.h"
#include "util/combinations.h"

namespace fish {

// The nine digits sorted by their number of occurrences in unsolved cells,
// fewest first (stable: ties keep digit order). Returns 9.
int sort_digits_by_unsolved_count(Puzzle const& p, int digits[9], int counts[9]);

// out[j] = list[comb[j]] for j < k.
inline void select(int const* list, int const* comb, int k, int* out) {
  for (int j = 0; j < k; ++j) out[j] = list[comb[j]];
}

// Number of leading entries of a house list that hold a house (unused entries are -1).
inline int list_length(int const* list) {
  int n = 0;
  while (n < 9 && list[n] >= 0) ++n;
  return n;
}

}  // namespace fish

namespace fish {

// The i-th k-combination of n; the caller has made sure the table is built
// (initialize_comb_routine) once before its loops.
inline int const* comb_at(int n, int k, int i) { return combs_for_n_k[n][k][i]; }

// Population count of a 9-bit set (bits 0..8).
inline int popcount9(uint32_t m) { return kCandidateCounts.count[m & 0x1FFu]; }

// 9-bit set of the listed indices.
inline uint32_t mask_of(int const* items, int k) {
  uint32_t m = 0;
  for (int i = 0; i < k; ++i) m |= 1u << items[i];
  return m;
}

// The first member at or after `from` of a 128-bit set; 128 when there is none.
inline int next_member(uint64_t const set[2], int from) {
  if (from < 64) {
    if (uint64_t const m = set[0] & (~0ull << from)) return __builtin_ctzll(m);
    from = 64;
  }
  if (from >= 128) return 128;
  uint64_t const m = set[1] & (~0ull << (from - 64));
  return m ? 64 + __builtin_ctzll(m) : 128;
}

// Where one digit stands on the board, as 9-bit masks, for one line direction
// (`line_dim`, rows or columns) and its cross direction.
struct DigitLines {
  uint32_t along_line[9];     // [line] bit p: the cell at cross index p of the line has the digit
  uint32_t along_cross[9];    // [cross line] bit l: the cell on line l has the digit
  uint32_t group_lines[9];    // [group] bit l: the group has the digit on line l
  uint32_t group_crosses[9];  // [group] bit p: the group has the digit on cross line p
  uint32_t line_in_group[9][9];   // [line][group] cross indices of the line's cells in the group
  uint32_t cross_in_group[9][9];  // [cross line][group] line indices of its cells in the group
  int group_at[9][9];             // [line][cross line] group of the cell where they meet

  DigitLines(Puzzle const& p, uint32_t digit_bit, DIMENSION line_dim) {
    DIMENSION const cross_dim = line_dim == DIM_ROW ? DIM_COL : DIM_ROW;
    for (int i = 0; i < 9; ++i) {
      for (int x = 0; x < 9; ++x) group_at[i][x] = -1;
      along_line[i] = along_cross[i] = group_lines[i] = group_crosses[i] = 0;
      for (int g = 0; g < 9; ++g) line_in_group[i][g] = cross_in_group[i][g] = 0;
    }
    for (auto const& cell : p.cells) {
      int const l = cell.house[line_dim], x = cell.house[cross_dim], g = cell.house[DIM_GROUP];
      if (g < 0 || g > 8) continue;
      group_at[l][x] = g;
      line_in_group[l][g] |= 1u << x;
      cross_in_group[x][g] |= 1u << l;
      if (!(cell.elim_bits & digit_bit)) continue;
      along_line[l] |= 1u << x;
      along_cross[x] |= 1u << l;
      group_lines[g] |= 1u << l;
      group_crosses[g] |= 1u << x;
    }
  }
};

}  // namespace fish
