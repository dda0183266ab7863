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
  if (k > 0) fish::select(list, fish::comb_at(n, k, i), k, out);
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
// of unsolved rows and columns differ never reads past the listed entries. The
// choices are tested on 9-bit masks (fish::DigitLines); the cells are only walked
// to make the eliminations of the first choice that has any.
bool Puzzle::simplify_franken_defining_lines_only(unsigned digit_bit, int, int n_groups, int (*houses)[9],
                                                  FRANKEN_PATTERN const& pattern, DIMENSION line_dim) {
  initialize_comb_routine();
  DIMENSION const cross_dim = cross_of(line_dim);
  int const* const line_list = houses[line_dim];
  int const* const cross_list = houses[cross_dim];
  int const* const group_list = houses[DIM_GROUP];
  int const n_def = fish::list_length(line_list), n_cross = fish::list_length(cross_list);
  int const k_def = pattern.n_defining_lines, k_cross = pattern.n_secondary_lines, k_grp = pattern.n_secondary_groups;
  int const n_def_choices = choices(n_def, k_def), n_cross_choices = choices(n_cross, k_cross),
            n_grp_choices = choices(n_groups, k_grp);
  if (n_def_choices == 0 || n_cross_choices == 0 || n_grp_choices == 0) return false;
  fish::DigitLines const at(*this, digit_bit, line_dim);
  uint32_t cross_groups[9];  // groups each cross line shares a cell with
  for (int x = 0; x < 9; ++x) {
    cross_groups[x] = 0;
    for (int g = 0; g < 9; ++g)
      if (line_and_group_overlap(cross_dim, x, g)) cross_groups[x] |= 1u << g;
  }
  int def[9], cross[9], grp[9];
  for (int a = 0; a < n_def_choices; ++a) {
    choose(line_list, n_def, k_def, a, def);
    uint32_t const def_mask = fish::mask_of(def, k_def);
    for (int b = 0; b < n_cross_choices; ++b) {
      choose(cross_list, n_cross, k_cross, b, cross);
      uint32_t const cross_mask = fish::mask_of(cross, k_cross);
      uint32_t groups_met = 0;
      bool cross_removes = false;
      for (int i = 0; i < k_cross; ++i) {
        groups_met |= cross_groups[cross[i]];
        cross_removes |= (at.along_cross[cross[i]] & ~def_mask) != 0;
      }
      // The groups that hold the digit's cells of the defining lines off the chosen
      // cross lines: a group choice covers the base exactly when it contains them.
      uint32_t needed_groups = 0;
      bool coverable = true;
      for (int i = 0; i < k_def && coverable; ++i) {
        uint32_t residual = at.along_line[def[i]] & ~cross_mask;
        for (; residual; residual &= residual - 1) {
          int const g = at.group_at[def[i]][__builtin_ctz(residual)];
          if (g < 0) {
            coverable = false;
            break;
          }
          needed_groups |= 1u << g;
        }
        // Stop as soon as no group choice can contain them.
        if ((needed_groups & groups_met) || fish::popcount9(needed_groups) > k_grp) coverable = false;
      }
      if (!coverable) continue;
      for (int c = 0; c < n_grp_choices; ++c) {
        choose(group_list, n_groups, k_grp, c, grp);
        uint32_t const grp_mask = fish::mask_of(grp, k_grp);
        if (grp_mask & groups_met) continue;  // cover sets must be disjoint
        if (needed_groups & ~grp_mask) continue;
        bool removes = cross_removes;
        for (int j = 0; j < k_grp && !removes; ++j) removes = (at.group_lines[grp[j]] & ~def_mask) != 0;
        if (!removes) continue;
        auto clear_outside_base = [&](PUZZLE_CELL* first, int dim) {
          PUZZLE_CELL* cell = first;
          do {
            if (!(def_mask & (1u << cell->house[line_dim]))) cell->elim_bits &= ~digit_bit;
            cell = next_in(cell, dim);
          } while (cell != first);
        };
        for (int i = 0; i < k_cross; ++i) clear_outside_base(ptrs_first_in_dims[cross_dim][cross[i]], cross_dim);
        for (int j = 0; j < k_grp; ++j) clear_outside_base(ptrs_first_in_dims[DIM_GROUP][grp[j]], DIM_GROUP);
        return true;
      }
    }
  }
  return false;
}

bool Puzzle::simplify_franken_secondary_lines_only(unsigned digit_bit, int, int n_groups, int (*houses)[9],
                                                   FRANKEN_PATTERN const& pattern, DIMENSION line_dim) {
  if (pattern.n_secondary_lines == 0) return false;  // nothing could cover the base
  initialize_comb_routine();
  DIMENSION const cross_dim = cross_of(line_dim);
  int const* const line_list = houses[line_dim];
  int const* const cross_list = houses[cross_dim];
  int const* const group_list = houses[DIM_GROUP];
  int const n_def = fish::list_length(line_list), n_cross = fish::list_length(cross_list);
  int const k_def = pattern.n_defining_lines, k_grp = pattern.n_defining_groups, k_cross = pattern.n_secondary_lines;
  int const n_def_choices = choices(n_def, k_def), n_grp_choices = choices(n_groups, k_grp),
            n_cross_choices = choices(n_cross, k_cross);
  if (n_def_choices == 0 || n_cross_choices == 0 || n_grp_choices == 0) return false;
  fish::DigitLines const at(*this, digit_bit, line_dim);
  uint32_t line_groups[9];  // groups each defining-direction line shares a cell with
  for (int l = 0; l < 9; ++l) {
    line_groups[l] = 0;
    for (int g = 0; g < 9; ++g)
      if (line_and_group_overlap(line_dim, l, g)) line_groups[l] |= 1u << g;
  }
  int def[9], grp[9], cross[9];
  for (int a = 0; a < n_def_choices; ++a) {
    choose(line_list, n_def, k_def, a, def);
    uint32_t const def_mask = fish::mask_of(def, k_def);
    uint32_t def_groups_met = 0, def_need = 0;
    for (int i = 0; i < k_def; ++i) {
      def_groups_met |= line_groups[def[i]];
      def_need |= at.along_line[def[i]];
    }
    for (int b = 0; b < n_grp_choices; ++b) {
      choose(group_list, n_groups, k_grp, b, grp);
      uint32_t const grp_mask = fish::mask_of(grp, k_grp);
      if (grp_mask & def_groups_met) continue;  // base sets must be disjoint
      // Cross lines that every base candidate must lie on.
      uint32_t need = def_need;
      for (int j = 0; j < k_grp; ++j) need |= at.group_crosses[grp[j]];
      for (int c = 0; c < n_cross_choices; ++c) {
        choose(cross_list, n_cross, k_cross, c, cross);
        if (need & ~fish::mask_of(cross, k_cross)) continue;
        bool removes = false;
        for (int i = 0; i < k_cross && !removes; ++i) {
          uint32_t in_base_groups = 0;
          for (int j = 0; j < k_grp; ++j) in_base_groups |= at.cross_in_group[cross[i]][grp[j]];
          removes = (at.along_cross[cross[i]] & ~def_mask & ~in_base_groups) != 0;
        }
        if (!removes) continue;
        for (int i = 0; i < k_cross; ++i) {
          PUZZLE_CELL* cell = ptrs_first_in_dims[cross_dim][cross[i]];
          for (int p = 0; p < 9; ++p, cell = next_in(cell, cross_dim))
            if (!(def_mask & (1u << cell->house[line_dim])) && !(grp_mask & (1u << cell->house[DIM_GROUP])))
              cell->elim_bits &= ~digit_bit;
        }
        return true;
      }
    }
  }
  return false;
}
