// Franken fish: base or cover sets that mix lines of one direction with groups.
#include <algorithm>
#include <optional>

#include "model/puzzle.h"
#include "solver/fish_common.h"
#include "solver/pattern_note.h"
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

// At most C(9, 4) choices of one kind.
constexpr int kMaxChoices = 126;

// The 9-bit house set of every k-choice of the list, in choice order.
void choice_masks(int const* list, int n, int k, int n_choices, uint32_t* masks) {
  int chosen[9];
  for (int i = 0; i < n_choices; ++i) {
    choose(list, n, k, i, chosen);
    masks[i] = fish::mask_of(chosen, k);
  }
}

// Per choice, the union of a per-house set over the chosen houses.
void union_per_choice(uint32_t const* masks, int n_choices, uint32_t const per_house[9], uint32_t* out) {
  for (int i = 0; i < n_choices; ++i) {
    uint32_t u = 0;
    for (uint32_t m = masks[i]; m; m &= m - 1) u |= per_house[__builtin_ctz(m)];
    out[i] = u;
  }
}

// True when no k-choice of the listed houses (set `available`) can contain every
// house of `need`: it has more than k houses or one that is not listed.
bool cannot_contain(uint32_t need, uint32_t available, int k) {
  return (need & ~available) != 0 || fish::popcount9(need) > k;
}

// out[l] = the groups that line l of dimension d shares a cell with, as a 9-bit set.
void groups_met_by_lines(Puzzle const& p, DIMENSION d, uint32_t out[9]) {
  for (int l = 0; l < 9; ++l) {
    out[l] = 0;
    for (int g = 0; g < 9; ++g)
      if (p.line_and_group_overlap(d, l, g)) out[l] |= 1u << g;
  }
}

// What every pattern of one digit's search reads, built once for the digit instead
// of once per pattern and direction (nothing changes before the search returns).
struct DigitTables {
  Puzzle const* board;
  uint32_t digit_bit;
  fish::DigitLines by_rows, by_cols;
  uint32_t groups_met[2][9];  // [0] by rows, [1] by columns

  DigitTables(Puzzle const& p, uint32_t bit)
      : board(&p), digit_bit(bit), by_rows(p, bit, DIM_ROW), by_cols(p, bit, DIM_COL) {
    groups_met_by_lines(p, DIM_ROW, groups_met[0]);
    groups_met_by_lines(p, DIM_COL, groups_met[1]);
  }
};
thread_local DigitTables const* active_tables = nullptr;

// Clears active_tables when the search that set it ends.
struct ActiveTablesScope {
  explicit ActiveTablesScope(DigitTables const* t) { active_tables = t; }
  ~ActiveTablesScope() { active_tables = nullptr; }
  ActiveTablesScope(ActiveTablesScope const&) = delete;
  ActiveTablesScope& operator=(ActiveTablesScope const&) = delete;
};

// The digit's lines along line_dim, from the active tables when they are this
// search's, else built into `own`.
fish::DigitLines const& lines_for(Puzzle const& p, uint32_t bit, DIMENSION line_dim,
                                  std::optional<fish::DigitLines>& own) {
  if (active_tables && active_tables->board == &p && active_tables->digit_bit == bit)
    return line_dim == DIM_ROW ? active_tables->by_rows : active_tables->by_cols;
  own.emplace(p, bit, line_dim);
  return *own;
}

// The groups met by each line of dimension d, as lines_for.
void groups_met_for(Puzzle const& p, uint32_t bit, DIMENSION d, uint32_t out[9]) {
  if (active_tables && active_tables->board == &p && active_tables->digit_bit == bit) {
    for (int l = 0; l < 9; ++l) out[l] = active_tables->groups_met[d == DIM_ROW ? 0 : 1][l];
    return;
  }
  groups_met_by_lines(p, d, out);
}

}  // namespace

bool Puzzle::simplify_once_franken_fish_for_digit(unsigned digit_bit, int n_lines, int n_groups, int (*houses)[9]) {
  DigitTables const tables(*this, digit_bit);
  ActiveTablesScope const scope(&tables);
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
// choices are tested on 9-bit masks (fish::DigitLines), with the house sets of
// every choice computed once per call; a partial choice is dropped only when no
// completion of it could succeed, so the first success is unchanged. The cells are
// only walked to make the eliminations of the first choice that has any.
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
  std::optional<fish::DigitLines> own_lines;
  fish::DigitLines const& at = lines_for(*this, digit_bit, line_dim, own_lines);
  uint32_t cross_groups[9];  // groups each cross line shares a cell with
  groups_met_for(*this, digit_bit, cross_dim, cross_groups);
  uint32_t cross_masks[kMaxChoices], cross_groups_met[kMaxChoices], cross_along[kMaxChoices];
  choice_masks(cross_list, n_cross, k_cross, n_cross_choices, cross_masks);
  union_per_choice(cross_masks, n_cross_choices, cross_groups, cross_groups_met);
  union_per_choice(cross_masks, n_cross_choices, at.along_cross, cross_along);
  uint32_t grp_masks[kMaxChoices], grp_lines[kMaxChoices];
  choice_masks(group_list, n_groups, k_grp, n_grp_choices, grp_masks);
  union_per_choice(grp_masks, n_grp_choices, at.group_lines, grp_lines);
  uint32_t const listed_groups = fish::mask_of(group_list, n_groups);
  // Per cross choice and line: the groups holding the line's cells with the digit
  // off the chosen cross lines (kNoGroup when such a cell has no group).
  constexpr uint32_t kNoGroup = 1u << 16;
  // Entry 9 of each row stays empty: the defining lines are read four at a time,
  // the missing ones as line 9.
  uint32_t off_cross_groups[kMaxChoices][10];
  // Only the listed lines are ever chosen: the entries of the others are not read.
  for (int b = 0; b < n_cross_choices; ++b) {
    off_cross_groups[b][9] = 0;
    for (int i = 0; i < n_def; ++i) {
      int const l = line_list[i];
      uint32_t groups = 0;
      for (uint32_t residual = at.along_line[l] & ~cross_masks[b]; residual; residual &= residual - 1) {
        int const g = at.group_at[l][__builtin_ctz(residual)];
        groups |= g < 0 ? kNoGroup : 1u << g;
      }
      off_cross_groups[b][l] = groups;
    }
  }
  // Per cross choice, the groups a group choice may not need: those without a group
  // number, those met by the chosen cross lines (cover sets are disjoint) and those
  // not listed.
  uint32_t excluded_groups[kMaxChoices];
  for (int b = 0; b < n_cross_choices; ++b) excluded_groups[b] = kNoGroup | cross_groups_met[b] | (~listed_groups & 0x1FFu);
  if (k_def > 4) return false;  // the patterns use at most four defining lines
  // Per line, the cross choices on which its own cells off the chosen cross lines
  // pass the group test below; a union of lines passes only where each of them
  // does, so only those cross choices are visited (in the same order).
  uint64_t line_fits[9][2];
  for (int i = 0; i < n_def; ++i) {
    int const l = line_list[i];
    line_fits[l][0] = line_fits[l][1] = 0;
    for (int b = 0; b < n_cross_choices; ++b) {
      uint32_t const groups = off_cross_groups[b][l];
      if (!(groups & excluded_groups[b]) && fish::popcount9(groups) <= k_grp) line_fits[l][b >> 6] |= 1ull << (b & 63);
    }
  }
  int def[9];
  for (int a = 0; a < n_def_choices; ++a) {
    choose(line_list, n_def, k_def, a, def);
    uint64_t fits[2] = {~0ull, ~0ull};
    for (int i = 0; i < k_def; ++i) {
      fits[0] &= line_fits[def[i]][0];
      fits[1] &= line_fits[def[i]][1];
    }
    for (int i = k_def; i < 4; ++i) def[i] = 9;
    uint32_t const def_mask = fish::mask_of(def, k_def);
    for (int b = fish::next_member(fits, 0); b < n_cross_choices; b = fish::next_member(fits, b + 1)) {
      // The groups that hold the digit's cells of the defining lines off the chosen
      // cross lines: a group choice covers the base exactly when it contains them.
      uint32_t const* const off = off_cross_groups[b];
      uint32_t const needed_groups = off[def[0]] | off[def[1]] | off[def[2]] | off[def[3]];
      if ((needed_groups & excluded_groups[b]) || fish::popcount9(needed_groups) > k_grp) continue;
      uint32_t const cross_mask = cross_masks[b];
      uint32_t const groups_met = cross_groups_met[b];
      bool const cross_removes = (cross_along[b] & ~def_mask) != 0;
      for (int c = 0; c < n_grp_choices; ++c) {
        uint32_t const grp_mask = grp_masks[c];
        if (grp_mask & groups_met) continue;  // cover sets must be disjoint
        if (needed_groups & ~grp_mask) continue;
        if (!cross_removes && !(grp_lines[c] & ~def_mask)) continue;
        auto clear_outside_base = [&](PUZZLE_CELL* first, int dim) {
          PUZZLE_CELL* cell = first;
          do {
            if (!(def_mask & (1u << cell->house[line_dim]))) cell->elim_bits &= ~digit_bit;
            cell = next_in(cell, dim);
          } while (cell != first);
        };
        for (uint32_t m = cross_mask; m; m &= m - 1)
          clear_outside_base(ptrs_first_in_dims[cross_dim][__builtin_ctz(m)], cross_dim);
        for (uint32_t m = grp_mask; m; m &= m - 1)
          clear_outside_base(ptrs_first_in_dims[DIM_GROUP][__builtin_ctz(m)], DIM_GROUP);
        pattern_note::fish(line_dim, def_mask, 0, cross_dim, cross_mask, grp_mask, digit_bit);
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
  std::optional<fish::DigitLines> own_lines;
  fish::DigitLines const& at = lines_for(*this, digit_bit, line_dim, own_lines);
  uint32_t line_groups[9];  // groups each defining-direction line shares a cell with
  groups_met_for(*this, digit_bit, line_dim, line_groups);
  uint32_t grp_masks[kMaxChoices], grp_need[kMaxChoices];
  choice_masks(group_list, n_groups, k_grp, n_grp_choices, grp_masks);
  union_per_choice(grp_masks, n_grp_choices, at.group_crosses, grp_need);
  uint32_t cross_masks[kMaxChoices];
  choice_masks(cross_list, n_cross, k_cross, n_cross_choices, cross_masks);
  uint32_t const listed_crosses = fish::mask_of(cross_list, n_cross);
  int def[9];
  for (int a = 0; a < n_def_choices; ++a) {
    choose(line_list, n_def, k_def, a, def);
    uint32_t const def_mask = fish::mask_of(def, k_def);
    uint32_t def_groups_met = 0, def_need = 0;
    for (int i = 0; i < k_def; ++i) {
      def_groups_met |= line_groups[def[i]];
      def_need |= at.along_line[def[i]];
    }
    // Every base candidate must lie on a chosen cross line.
    if (cannot_contain(def_need, listed_crosses, k_cross)) continue;
    for (int b = 0; b < n_grp_choices; ++b) {
      uint32_t const grp_mask = grp_masks[b];
      if (grp_mask & def_groups_met) continue;  // base sets must be disjoint
      uint32_t const need = def_need | grp_need[b];
      if (cannot_contain(need, listed_crosses, k_cross)) continue;
      for (int c = 0; c < n_cross_choices; ++c) {
        uint32_t const cross_mask = cross_masks[c];
        if (need & ~cross_mask) continue;
        bool removes = false;
        for (uint32_t m = cross_mask; m && !removes; m &= m - 1) {
          int const x = __builtin_ctz(m);
          uint32_t in_base_groups = 0;
          for (uint32_t gm = grp_mask; gm; gm &= gm - 1) in_base_groups |= at.cross_in_group[x][__builtin_ctz(gm)];
          removes = (at.along_cross[x] & ~def_mask & ~in_base_groups) != 0;
        }
        if (!removes) continue;
        for (uint32_t m = cross_mask; m; m &= m - 1) {
          PUZZLE_CELL* cell = ptrs_first_in_dims[cross_dim][__builtin_ctz(m)];
          for (int p = 0; p < 9; ++p, cell = next_in(cell, cross_dim))
            if (!(def_mask & (1u << cell->house[line_dim])) && !(grp_mask & (1u << cell->house[DIM_GROUP])))
              cell->elim_bits &= ~digit_bit;
        }
        pattern_note::fish(line_dim, def_mask, grp_mask, cross_dim, cross_mask, 0, digit_bit);
        return true;
      }
    }
  }
  return false;
}
