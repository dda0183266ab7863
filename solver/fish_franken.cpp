// Franken fish: base or cover sets that mix lines of one direction with groups.
#include <algorithm>

#include "model/puzzle.h"
#include "solver/fish_common.h"
#include "util/combinations.h"

namespace {

// Base lines, base groups, cover lines, cover groups; tried in this order.
constexpr FRANKEN_PATTERN kFrankenPatterns[] = {
    {3, 0, 1, 2}, {3, 0, 2, 1}, {2, 1, 3, 0}, {1, 2, 3, 0}, {4, 0, 1, 3}, {4, 0, 2, 2}, {4, 0, 3, 1},
    {3, 1, 4, 0}, {2, 2, 4, 0}, {1, 3, 4, 0}, {3, 0, 0, 3}, {0, 3, 3, 0}, {4, 0, 0, 4}, {0, 4, 4, 0},
};

// The number of k-combinations of n list entries; choosing none is one (empty) choice.
int choices(int n, int k) {
  if (k == 0) return 1;
  if (k > n) return 0;
  return n_combinations(n, k);
}

// Fills out with the i-th k-combination of the list (nothing for k == 0).
void choose(int const* list, int n, int k, int i, int* out) {
  if (k > 0) fish::select(list, combination_for_combnumber(n, k, i), k, out);
}

bool contains(int const* set, int n, int value) {
  for (int i = 0; i < n; ++i)
    if (set[i] == value) return true;
  return false;
}

DIMENSION cross_of(DIMENSION line_dim) { return line_dim == DIM_ROW ? DIM_COL : DIM_ROW; }

}  // namespace

bool Puzzle::simplify_once_franken_fish_for_digit(unsigned digit_bit, int n_lines, int n_groups, int (*houses)[9]) {
  for (FRANKEN_PATTERN const& pattern : kFrankenPatterns) {
    int const lines_needed = std::max(pattern.n_defining_lines, pattern.n_secondary_lines);
    int const groups_needed = std::max(pattern.n_defining_groups, pattern.n_secondary_groups);
    if (n_lines < lines_needed || n_groups < groups_needed) continue;
    for (DIMENSION line_dim : {DIM_ROW, DIM_COL}) {
      bool const found =
          pattern.n_defining_groups == 0
              ? simplify_franken_defining_lines_only(digit_bit, n_lines, n_groups, houses, pattern, line_dim)
              : simplify_franken_secondary_lines_only(digit_bit, n_lines, n_groups, houses, pattern, line_dim);
      if (found) return true;
    }
  }
  return false;
}

// The line lists are read with their real lengths, so a board on which the numbers
// of unsolved rows and columns differ never reads past the listed entries.
bool Puzzle::simplify_franken_defining_lines_only(unsigned digit_bit, int, int n_groups, int (*houses)[9],
                                                  FRANKEN_PATTERN const& pattern, DIMENSION line_dim) {
  DIMENSION const cross_dim = cross_of(line_dim);
  int const* const line_list = houses[line_dim];
  int const* const cross_list = houses[cross_dim];
  int const* const group_list = houses[DIM_GROUP];
  int const n_def = fish::list_length(line_list), n_cross = fish::list_length(cross_list);
  int const k_def = pattern.n_defining_lines, k_cross = pattern.n_secondary_lines, k_grp = pattern.n_secondary_groups;
  int def[9], cross[9], grp[9];
  int const n_def_choices = choices(n_def, k_def), n_cross_choices = choices(n_cross, k_cross),
            n_grp_choices = choices(n_groups, k_grp);
  for (int a = 0; a < n_def_choices; ++a) {
    choose(line_list, n_def, k_def, a, def);
    for (int b = 0; b < n_cross_choices; ++b) {
      choose(cross_list, n_cross, k_cross, b, cross);
      for (int c = 0; c < n_grp_choices; ++c) {
        choose(group_list, n_groups, k_grp, c, grp);
        bool disjoint = true;
        for (int i = 0; i < k_cross && disjoint; ++i)
          for (int j = 0; j < k_grp && disjoint; ++j)
            if (line_and_group_overlap(cross_dim, cross[i], grp[j])) disjoint = false;
        if (!disjoint) continue;
        bool covered = true;
        for (int i = 0; i < k_def && covered; ++i) {
          PUZZLE_CELL const* cell = ptrs_first_in_dims[line_dim][def[i]];
          for (int p = 0; p < 9; ++p, cell = next_in(cell, line_dim))
            if ((cell->elim_bits & digit_bit) && !contains(cross, k_cross, cell->house[cross_dim]) &&
                !contains(grp, k_grp, cell->house[DIM_GROUP])) {
              covered = false;
              break;
            }
        }
        if (!covered) continue;
        bool changed = false;
        auto clear_outside_base = [&](PUZZLE_CELL* first, int dim) {
          PUZZLE_CELL* cell = first;
          do {
            if ((cell->elim_bits & digit_bit) && !contains(def, k_def, cell->house[line_dim])) {
              cell->elim_bits &= ~digit_bit;
              changed = true;
            }
            cell = next_in(cell, dim);
          } while (cell != first);
        };
        for (int i = 0; i < k_cross; ++i) clear_outside_base(ptrs_first_in_dims[cross_dim][cross[i]], cross_dim);
        for (int j = 0; j < k_grp; ++j) clear_outside_base(ptrs_first_in_dims[DIM_GROUP][grp[j]], DIM_GROUP);
        if (changed) return true;
      }
    }
  }
  return false;
}

bool Puzzle::simplify_franken_secondary_lines_only(unsigned digit_bit, int, int n_groups, int (*houses)[9],
                                                   FRANKEN_PATTERN const& pattern, DIMENSION line_dim) {
  if (pattern.n_secondary_lines == 0) return false;  // nothing could cover the base
  DIMENSION const cross_dim = cross_of(line_dim);
  int const* const line_list = houses[line_dim];
  int const* const cross_list = houses[cross_dim];
  int const* const group_list = houses[DIM_GROUP];
  int const n_def = fish::list_length(line_list), n_cross = fish::list_length(cross_list);
  int const k_def = pattern.n_defining_lines, k_grp = pattern.n_defining_groups, k_cross = pattern.n_secondary_lines;
  int def[9], grp[9], cross[9];
  int const n_def_choices = choices(n_def, k_def), n_grp_choices = choices(n_groups, k_grp),
            n_cross_choices = choices(n_cross, k_cross);
  for (int a = 0; a < n_def_choices; ++a) {
    choose(line_list, n_def, k_def, a, def);
    for (int b = 0; b < n_grp_choices; ++b) {
      choose(group_list, n_groups, k_grp, b, grp);
      bool disjoint = true;
      for (int i = 0; i < k_def && disjoint; ++i)
        for (int j = 0; j < k_grp && disjoint; ++j)
          if (line_and_group_overlap(line_dim, def[i], grp[j])) disjoint = false;
      if (!disjoint) continue;
      for (int c = 0; c < n_cross_choices; ++c) {
        choose(cross_list, n_cross, k_cross, c, cross);
        bool covered = true;
        auto check_covered = [&](PUZZLE_CELL const* first, int dim) {
          PUZZLE_CELL const* cell = first;
          do {
            if ((cell->elim_bits & digit_bit) && !contains(cross, k_cross, cell->house[cross_dim])) {
              covered = false;
              return;
            }
            cell = next_in(cell, dim);
          } while (cell != first);
        };
        for (int i = 0; i < k_def && covered; ++i) check_covered(ptrs_first_in_dims[line_dim][def[i]], line_dim);
        for (int j = 0; j < k_grp && covered; ++j) check_covered(ptrs_first_in_dims[DIM_GROUP][grp[j]], DIM_GROUP);
        if (!covered) continue;
        bool changed = false;
        for (int i = 0; i < k_cross; ++i) {
          PUZZLE_CELL* cell = ptrs_first_in_dims[cross_dim][cross[i]];
          for (int p = 0; p < 9; ++p, cell = next_in(cell, cross_dim))
            if ((cell->elim_bits & digit_bit) && !contains(def, k_def, cell->house[line_dim]) &&
                !contains(grp, k_grp, cell->house[DIM_GROUP])) {
              cell->elim_bits &= ~digit_bit;
              changed = true;
            }
        }
        if (changed) return true;
      }
    }
  }
  return false;
}
