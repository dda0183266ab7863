// Hidden singles, locked candidates (line/group and diagonal/group), subsets
// within a house and the double restriction of two lines over two groups.
#include "model/puzzle.h"
#include "solver/pattern_note.h"
#include "solver/restrictions.h"
#include "util/combinations.h"

namespace {

// The candidates of the cell that no other cell of its ring in `dim` has.
uint32_t alone_in_house(PUZZLE_CELL const* cell, int dim) {
  uint32_t others = 0;
  for (PUZZLE_CELL const* other = Puzzle::next_in(cell, dim); other != cell; other = Puzzle::next_in(other, dim))
    others |= other->elim_bits;
  return cell->elim_bits & ~others;
}

// The pattern notes of a restriction and of a subset, kept out of the searches.
[[gnu::cold]] void note_restriction(PUZZLE_CELL const* cell, uint32_t digit_bit, int dim_a, int dim_b) {
  if (!pattern_note::active()) return;
  pattern_note::house(dim_a, cell->house[dim_a]);
  pattern_note::house(dim_b, cell->house[dim_b]);
  pattern_note::digits(digit_bit);
}

[[gnu::cold]] void note_subset(int dim, int house, PUZZLE_CELL* const* cells, int n, int const* digits,
                               int const* comb, int k) {
  if (!pattern_note::active()) return;
  uint32_t chosen = 0;
  for (int j = 0; j < k; ++j) chosen |= 1u << digits[comb[j]];
  pattern_note::house(dim, house);
  for (int i = 0; i < n; ++i)
    if (cells[i]->elim_bits & chosen) pattern_note::cell(cells[i]);
  pattern_note::digits(chosen);
}

// The subsets of one house: the first k digits (in the lexicographic order of
// their index combinations) that occur in exactly k of its unsolved cells, some of
// which hold other digits too. Combinations are grown in that order on cell sets;
// one whose digits already occupy more than k cells is dropped with all its
// extensions, since adding digits never frees a cell.
struct SubsetSearch {
  uint32_t digit_cells[9];  // per listed digit: its unsolved cells, bit i for cell i
  uint32_t cell_bits[9];
  uint32_t digit_bit[9];
  int n;
  int k = 0;
  int comb[9];

  SubsetSearch(PUZZLE_CELL* const* cells, int const* digits, int n_cells) : n(n_cells) {
    for (int j = 0; j < n; ++j) {
      digit_bit[j] = 1u << digits[j];
      digit_cells[j] = 0;
    }
    for (int i = 0; i < n; ++i) {
      cell_bits[i] = cells[i]->elim_bits;
      for (int j = 0; j < n; ++j)
        if (cell_bits[i] & digit_bit[j]) digit_cells[j] |= 1u << i;
    }
  }

  // Fills comb with the first k-combination that is a subset and removes something.
  bool first(int size) {
    k = size;
    return extend(0, 0, 0, 0);
  }

 private:
  bool extend(int depth, int from, uint32_t cells_used, uint32_t chosen) {
    if (depth == k) {
      if (kCandidateCounts.count[cells_used] != k) return false;
      for (uint32_t m = cells_used; m; m &= m - 1)
        if (cell_bits[__builtin_ctz(m)] & ~chosen) return true;
      return false;
    }
    for (int j = from; j <= n - (k - depth); ++j) {
      uint32_t const used = cells_used | digit_cells[j];
      if (kCandidateCounts.count[used] > k) continue;
      comb[depth] = j;
      if (extend(depth + 1, j + 1, used, chosen | digit_bit[j])) return true;
    }
    return false;
  }
};

}  // namespace

namespace {

// The digits held by two or more cells of each house, walked once per house on
// demand. A cell's digits that no other cell of a house has are its digits outside
// that set, the same as alone_in_house while the board stays unchanged (the cells of
// a house number are the cells of its ring).
class SharedDigits {
 public:
  uint32_t alone(PUZZLE_CELL const* cell, int dim) {
    int const h = dim <= DIM_COL ? cell->house[dim] : 0;
    if (h < 0 || h > 8) return alone_in_house(cell, dim);
    if (!(ready_[dim] & (1u << h))) {
      uint32_t once = 0, more = 0;
      PUZZLE_CELL const* other = cell;
      do {
        more |= once & other->elim_bits;
        once |= other->elim_bits;
        other = Puzzle::next_in(other, dim);
      } while (other != cell);
      shared_[dim][h] = more;
      ready_[dim] |= 1u << h;
    }
    return cell->elim_bits & ~shared_[dim][h];
  }

 private:
  uint32_t ready_[5] = {};
  uint32_t shared_[5][9];
};

// The hidden single of simplify_cell_using_digits, with the digits alone in each house
// from `alone(dim)`.
template <typename Alone>
bool hidden_single(Puzzle& p, PUZZLE_CELL* cell, Alone alone) {
  // Each house is looked at once; the digits are then taken in ascending order, the
  // group before the row and the column for each digit.
  uint32_t const in_group = alone(DIM_GROUP);
  uint32_t const in_line = alone(DIM_ROW) | alone(DIM_COL);
  uint32_t const any = in_group | in_line;
  if (any) {
    uint32_t const bit = any & (0u - any);  // lowest digit
    cell->elim_bits = bit;
    ++p.method_counts[(in_group & bit) ? kSlotHiddenSingleGroup : kSlotHiddenSingleLine];
    return true;
  }
  if (p.adjacency_type != ADJ_X) return false;
  for (int dim = DIM_DIAG; dim <= DIM_ANTI_DIAG; ++dim) {
    if (cell->house[dim] != 0) continue;
    uint32_t const found = alone(dim);
    if (found) {
      cell->elim_bits = found & (0u - found);
      ++p.method_counts[kSlotHiddenSingleLine];
      return true;
    }
  }
  return false;
}

}  // namespace

bool Puzzle::simplify_once_by_cells(METHOD_TYPE m) {
  if (m != HIDDEN_SINGLES && m != CELL_RESTRICTION) return false;
  // The search stops at the first cell that changes the board, so what the houses
  // hold is the same for every cell looked at.
  SharedDigits shared;
  for (auto& cell : cells) {
    if (n_candidates(cell.elim_bits) == 1) continue;
    bool const found =
        (m == HIDDEN_SINGLES)
            ? hidden_single(*this, &cell, [&](int dim) { return shared.alone(&cell, dim); })
            : simplify_cell_by_restriction(&cell);
    if (found) return true;
  }
  return false;
}

bool Puzzle::simplify_cell_using_digits(PUZZLE_CELL* cell) {
  return hidden_single(*this, cell, [cell](int dim) { return alone_in_house(cell, dim); });
}

bool Puzzle::restriction_for_cell_dims_and_digit(PUZZLE_CELL* cell, unsigned digit_bit, DIMENSION dim_a,
                                                 DIMENSION dim_b) {
  int const home_a = cell->house[dim_a], home_b = cell->house[dim_b];
  for (PUZZLE_CELL const* other = next_in(cell, dim_a); other != cell; other = next_in(other, dim_a))
    if ((other->elim_bits & digit_bit) && other->house[dim_b] != home_b) return false;
  bool changed = false;
  for (PUZZLE_CELL* other = next_in(cell, dim_b); other != cell; other = next_in(other, dim_b))
    if (other->house[dim_a] != home_a && (other->elim_bits & digit_bit)) {
      other->elim_bits &= ~digit_bit;
      changed = true;
    }
  return changed;
}

namespace {

// The candidates of the cells of `cell`'s house in walk_dim that lie outside its house
// in other_dim (the cell itself never does).
uint32_t outside_other_house(PUZZLE_CELL const* cell, int walk_dim, int other_dim) {
  int const home = cell->house[other_dim];
  uint32_t bits = 0;
  for (PUZZLE_CELL const* other = Puzzle::next_in(cell, walk_dim); other != cell; other = Puzzle::next_in(other, walk_dim))
    if (other->house[other_dim] != home) bits |= other->elim_bits;
  return bits;
}

}  // namespace

// Both restrictions through the cell between a line (row, column or diagonal) and its
// group, digit by digit: line to group, then group to line, exactly as
// restriction_for_cell_dims_and_digit does them. A restriction for digit d removes
// only d, so the two masks taken before the first digit stay exact for every later
// digit; and when line to group holds for d (no d in the line outside the group),
// group to line finds no d to remove, whatever the first one removed.
bool Puzzle::restriction_for_cell_and_dim(PUZZLE_CELL* cell, DIMENSION line) {
  uint32_t const digits = cell->elim_bits;
  uint32_t const line_outside = outside_other_house(cell, line, DIM_GROUP);
  uint32_t const group_outside = outside_other_house(cell, DIM_GROUP, line);
  bool any = false;
  for (int d = 1; d <= 9; ++d) {
    uint32_t const bit = 1u << d;
    if (!(digits & bit)) continue;
    if (!(line_outside & bit)) {
      if (group_outside & bit) {
        restriction_for_cell_dims_and_digit(cell, bit, line, DIM_GROUP);
        ++method_counts[kSlotLineToGroup];
        note_restriction(cell, bit, line, DIM_GROUP);
        any = true;
      }
    } else if (!(group_outside & bit)) {
      restriction_for_cell_dims_and_digit(cell, bit, DIM_GROUP, line);
      ++method_counts[kSlotGroupToLine];
      note_restriction(cell, bit, DIM_GROUP, line);
      any = true;
    }
  }
  return any;
}

bool Puzzle::simplify_cell_by_restriction(PUZZLE_CELL* cell) {
  for (int line = DIM_ROW; line <= DIM_COL; ++line)
    if (restriction_for_cell_and_dim(cell, static_cast<DIMENSION>(line))) return true;
  if (adjacency_type != ADJ_X) return false;
  for (int diag = DIM_DIAG; diag <= DIM_ANTI_DIAG; ++diag)
    if (cell->house[diag] == 0 && restriction_for_cell_and_dim(cell, static_cast<DIMENSION>(diag))) return true;
  return false;
}

bool Puzzle::simplify_once_over_dim(METHOD_TYPE m) {
  int const n_dims = (adjacency_type == ADJ_X) ? 5 : 3;
  PUZZLE_CELL* unsolved[9];
  int digits[9];
  for (int dim = 0; dim < n_dims; ++dim) {
    int const n_houses = (dim <= DIM_COL) ? 9 : 1;
    for (int h = 0; h < n_houses; ++h) {
      PUZZLE_CELL* const first = ptrs_first_in_dims[dim][h];
      if (!first) continue;
      int n = 0;
      uint32_t all = 0;
      PUZZLE_CELL* cell = first;
      do {
        if (n_candidates(cell->elim_bits) >= 2 && n < 9) {
          unsolved[n++] = cell;
          all |= cell->elim_bits;
        }
        cell = next_in(cell, dim);
      } while (cell != first);
      if (n == 0) continue;
      int n_digits = 0;
      for (int d = 1; d <= 9; ++d)
        if (all & (1u << d)) digits[n_digits++] = d;
      if (n_digits != n) continue;
      if (n - 1 <= 2) continue;
      SubsetSearch search(unsolved, digits, n);
      for (int k = 2; k <= n - 2; ++k)
        if (search.first(k) && multi_digits(unsolved, digits, n, search.comb, k)) {
          note_subset(dim, h, unsolved, n, digits, search.comb, k);
          ++method_counts[m];
          if (k <= 4) ++method_counts[kSlotSubsetOf2 + k - 2];
          return true;
        }
    }
  }
  return false;
}

bool Puzzle::multi_digits(PUZZLE_CELL** house_cells, int const* digits, int n, int const* comb, int k) {
  uint32_t chosen = 0;
  for (int j = 0; j < k; ++j) chosen |= 1u << digits[comb[j]];
  int marked = 0;
  for (int i = 0; i < n; ++i) marked += (house_cells[i]->elim_bits & chosen) != 0;
  if (marked != k) return false;
  bool changed = false;
  for (int i = 0; i < n; ++i) {
    PUZZLE_CELL* const cell = house_cells[i];
    if ((cell->elim_bits & chosen) && (cell->elim_bits & ~chosen)) {
      cell->elim_bits &= chosen;
      changed = true;
    }
  }
  return changed;
}

namespace {

// The digits of one house by where they occur relative to two crossing houses.
struct Occurrence {
  uint32_t in1 = 0, in2 = 0, elsewhere = 0;

  Occurrence(uint32_t in_first, uint32_t in_second, uint32_t other) : in1(in_first), in2(in_second), elsewhere(other) {}

  Occurrence(PUZZLE_CELL const* first, int walk_dim, int cross_dim, int cross1, int cross2) {
    PUZZLE_CELL const* cell = first;
    do {
      int const h = cell->house[cross_dim];
      if (h == cross1)
        in1 |= cell->elim_bits;
      else if (h == cross2)
        in2 |= cell->elim_bits;
      else
        elsewhere |= cell->elim_bits;
      cell = Puzzle::next_in(cell, walk_dim);
    } while (cell != first);
  }

  // The digits in both crossing houses and nowhere else, and those elsewhere too.
  uint32_t only_in_both() const { return in1 & in2 & ~elsewhere; }
  uint32_t in_both_and_elsewhere() const { return in1 & in2 & elsewhere; }

  // 0 when the digit is not in both crossing houses, 1 when it is and nowhere
  // else, 2 when it is elsewhere too.
  int pattern(uint32_t bit) const {
    if (!(in1 & bit) || !(in2 & bit)) return 0;
    return (elsewhere & bit) ? 2 : 1;
  }
};

// Removes bit from the cells of the house that lie in neither of the two crossing houses.
bool remove_outside(PUZZLE_CELL* first, int walk_dim, int cross_dim, int cross1, int cross2, uint32_t bit) {
  bool changed = false;
  PUZZLE_CELL* cell = first;
  do {
    int const h = cell->house[cross_dim];
    if (h != cross1 && h != cross2 && (cell->elim_bits & bit)) {
      cell->elim_bits &= ~bit;
      changed = true;
    }
    cell = Puzzle::next_in(cell, walk_dim);
  } while (cell != first);
  return changed;
}

[[gnu::cold]] void note_double_restriction(DIMENSION dim, int line1, int line2, int group1, int group2, uint32_t bit) {
  pattern_note::house(dim, line1);
  pattern_note::house(dim, line2);
  pattern_note::house(DIM_GROUP, group1);
  pattern_note::house(DIM_GROUP, group2);
  pattern_note::digits(bit);
}

}  // namespace

namespace {

// The double restriction of two lines over two groups once the four houses are
// classified: the digits are tested in ascending order and the first change returns,
// so no classification is used after the board changed.
bool double_restriction(DIMENSION dim, int line1, int line2, int group1, int group2, PUZZLE_CELL* l1,
                        PUZZLE_CELL* l2, PUZZLE_CELL* g1, PUZZLE_CELL* g2, Occurrence const& o_l1,
                        Occurrence const& o_l2, Occurrence const& o_g1, Occurrence const& o_g2) {
  // A digit can change the board only where one of the two tests below holds and a
  // house has it outside the crossings; with no such digit the search finds nothing.
  uint32_t const lines_to_groups = o_l1.only_in_both() & o_l2.only_in_both() &
                                   (o_g1.in_both_and_elsewhere() | o_g2.in_both_and_elsewhere());
  uint32_t const groups_to_lines = o_g1.only_in_both() & o_g2.only_in_both() &
                                   (o_l1.in_both_and_elsewhere() | o_l2.in_both_and_elsewhere());
  if (!((lines_to_groups | groups_to_lines) & ALL_DIGITS)) return false;
  for (int d = 1; d <= 9; ++d) {
    uint32_t const bit = 1u << d;
    int const p_l1 = o_l1.pattern(bit), p_l2 = o_l2.pattern(bit);
    int const p_g1 = o_g1.pattern(bit), p_g2 = o_g2.pattern(bit);
    if (p_l1 == 1 && p_l2 == 1) {
      bool changed = false;
      if (p_g1 == 2) changed |= remove_outside(g1, DIM_GROUP, dim, line1, line2, bit);
      if (p_g2 == 2) changed |= remove_outside(g2, DIM_GROUP, dim, line1, line2, bit);
      if (changed) {
        note_double_restriction(dim, line1, line2, group1, group2, bit);
        return true;
      }
    }
    if (p_g1 == 1 && p_g2 == 1) {
      bool changed = false;
      if (p_l1 == 2) changed |= remove_outside(l1, dim, DIM_GROUP, group1, group2, bit);
      if (p_l2 == 2) changed |= remove_outside(l2, dim, DIM_GROUP, group1, group2, bit);
      if (changed) {
        note_double_restriction(dim, line1, line2, group1, group2, bit);
        return true;
      }
    }
  }
  return false;
}

}  // namespace

bool Puzzle::double_restriction_for_lines_and_groups(DIMENSION dim, int line1, int line2, int group1, int group2) {
  PUZZLE_CELL* const l1 = ptrs_first_in_dims[dim][line1];
  PUZZLE_CELL* const l2 = ptrs_first_in_dims[dim][line2];
  PUZZLE_CELL* const g1 = ptrs_first_in_dims[DIM_GROUP][group1];
  PUZZLE_CELL* const g2 = ptrs_first_in_dims[DIM_GROUP][group2];
  Occurrence const o_l1(l1, dim, DIM_GROUP, group1, group2), o_l2(l2, dim, DIM_GROUP, group1, group2);
  Occurrence const o_g1(g1, DIM_GROUP, dim, line1, line2), o_g2(g2, DIM_GROUP, dim, line1, line2);
  return double_restriction(dim, line1, line2, group1, group2, l1, l2, g1, g2, o_l1, o_l2, o_g1, o_g2);
}

// Every double restriction of the board in the ladder's order (rows, then columns;
// line1, group1, line2, group2 ascending), up to the first that changes it. The
// houses are classified from the candidates of each line and group crossing, taken
// once: they hold until that first change.
bool restrictions::double_restriction_once(Puzzle& p) {
  for (int dim = DIM_ROW; dim <= DIM_COL; ++dim) {
    DIMENSION const d = static_cast<DIMENSION>(dim);
    uint32_t crossing[9][9] = {};  // [line][group]
    uint32_t groups_of_line[9] = {}, lines_of_group[9] = {};
    for (auto const& cell : p.cells) {
      int const line = cell.house[dim], group = cell.house[DIM_GROUP];
      if (line < 0 || line > 8 || group < 0 || group > 8) continue;
      crossing[line][group] |= cell.elim_bits;
      groups_of_line[line] |= 1u << group;
      lines_of_group[group] |= 1u << line;
    }
    // The digits of a line in groups other than g1 and g2, and of a group in lines other than l1 and l2.
    auto line_elsewhere = [&](int line, int g1, int g2) {
      uint32_t bits = 0;
      for (uint32_t rest = groups_of_line[line] & ~(1u << g1) & ~(1u << g2); rest; rest &= rest - 1)
        bits |= crossing[line][__builtin_ctz(rest)];
      return bits;
    };
    auto group_elsewhere = [&](int group, int l1, int l2) {
      uint32_t bits = 0;
      for (uint32_t rest = lines_of_group[group] & ~(1u << l1) & ~(1u << l2); rest; rest &= rest - 1)
        bits |= crossing[__builtin_ctz(rest)][group];
      return bits;
    };
    for (int l1 = 0; l1 < 8; ++l1)
      for (int g1 = 0; g1 < 8; ++g1) {
        if (!p.line_and_group_overlap(d, l1, g1)) continue;
        for (int l2 = l1 + 1; l2 < 9; ++l2) {
          if (!p.line_and_group_overlap(d, l2, g1)) continue;
          for (int g2 = g1 + 1; g2 < 9; ++g2) {
            if (!p.line_and_group_overlap(d, l1, g2) || !p.line_and_group_overlap(d, l2, g2)) continue;
            Occurrence const o_l1(crossing[l1][g1], crossing[l1][g2], line_elsewhere(l1, g1, g2));
            Occurrence const o_l2(crossing[l2][g1], crossing[l2][g2], line_elsewhere(l2, g1, g2));
            Occurrence const o_g1(crossing[l1][g1], crossing[l2][g1], group_elsewhere(g1, l1, l2));
            Occurrence const o_g2(crossing[l1][g2], crossing[l2][g2], group_elsewhere(g2, l1, l2));
            if (double_restriction(d, l1, l2, g1, g2, p.ptrs_first_in_dims[d][l1], p.ptrs_first_in_dims[d][l2],
                                   p.ptrs_first_in_dims[DIM_GROUP][g1], p.ptrs_first_in_dims[DIM_GROUP][g2], o_l1,
                                   o_l2, o_g1, o_g2))
              return true;
          }
        }
      }
  }
  return false;
}
