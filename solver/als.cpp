// Almost locked sets (n cells of one house holding n + 1 digits), in three
// stages around one group, each stopping at its first elimination:
//  1. two identical cells that do not see each other (slots 22 and 23);
//  2. a bivalue cell, a cell of its group sharing one digit with it, and an ALS
//     on that cell's line (slot 20);
//  3. two cells of a group holding three digits between them, and an ALS on a
//     line through two more cells of the group (slot 21).
#include "model/puzzle.h"
#include "solver/chain_walks.h"
#include "solver/pattern_note.h"
#include "util/combinations.h"

using chain_walks::n_digits;
using chain_walks::remove_digits;

namespace {

bool in_set(Puzzle::ALMOST_LOCKED_SET const& als, PUZZLE_CELL const* cell) {
  for (int k = 0; k < als.n_cells; ++k)
    if (als.cells[k] == cell) return true;
  return false;
}

[[gnu::cold]] void note_set(Puzzle::ALMOST_LOCKED_SET const& als) {
  if (!pattern_note::active()) return;
  for (int k = 0; k < als.n_cells; ++k) pattern_note::cell(als.cells[k]);
}

// The other line kind: column for row and row for column.
int crossing_line(DIMENSION dim) { return dim == DIM_ROW ? DIM_COL : DIM_ROW; }

}  // namespace

bool Puzzle::simplify_almost_locked_sets() {
  // Stage 1: paired cells.
  for (int i = 0; i < 80; ++i) {
    PUZZLE_CELL* const a = &cells[i];
    int const n = n_digits(a->elim_bits);
    if (n != 2 && n != 3) continue;
    for (int j = i + 1; j < 81; ++j) {
      PUZZLE_CELL* const b = &cells[j];
      if (b->elim_bits != a->elim_bits || are_neighbors(a, b)) continue;
      if (als3(a, b) || als3(b, a)) {
        pattern_note::cell(a);
        pattern_note::cell(b);
        ++method_counts[n == 2 ? kSlotAlsPairOf2 : kSlotAlsPairOf3];
        return true;
      }
    }
  }

  // Stage 2: bivalue cell plus an ALS with a restricted common digit in its group.
  for (auto& cell : cells) {
    PUZZLE_CELL* const a = &cell;
    if (n_digits(a->elim_bits) != 2) continue;
    for (PUZZLE_CELL* b = next_in(a, DIM_GROUP); b != a; b = next_in(b, DIM_GROUP)) {
      if (n_digits(a->elim_bits & b->elim_bits) != 1) continue;
      bool const found = (a->house[DIM_ROW] != b->house[DIM_ROW] &&
                          do_ALS_in_dim_with_restricted_common_in_grp(DIM_ROW, a, b)) ||
                         (a->house[DIM_COL] != b->house[DIM_COL] &&
                          do_ALS_in_dim_with_restricted_common_in_grp(DIM_COL, a, b));
      if (found) {
        ++method_counts[kSlotAlsBivalueRestricted];
        return true;
      }
    }
  }

  // Stage 3: two cells holding three digits, and an ALS through two more cells of the group.
  for (int i = 0; i < 81; ++i) {
    PUZZLE_CELL* const a = &cells[i];
    int const n = n_digits(a->elim_bits);
    if (n != 2 && n != 3) continue;
    for (PUZZLE_CELL* b = next_in(a, DIM_GROUP); b > a; b = next_in(b, DIM_GROUP)) {
      uint32_t const both = a->elim_bits | b->elim_bits;
      uint32_t const common = a->elim_bits & b->elim_bits;
      if (n_digits(both) != 3 || n_digits(common) != 1) continue;
      uint32_t const x = both & ~common;
      for (PUZZLE_CELL* c = next_in(a, DIM_GROUP); c != a; c = next_in(c, DIM_GROUP)) {
        if (c == b || !(c->elim_bits & x)) continue;
        for (PUZZLE_CELL* d = next_in(c, DIM_GROUP); d != a; d = next_in(d, DIM_GROUP)) {
          if (d == b || (c->elim_bits & x) != x || (d->elim_bits & x) != x) continue;
          DIMENSION dim;
          if (c->house[DIM_ROW] == d->house[DIM_ROW])
            dim = DIM_ROW;
          else if (c->house[DIM_COL] == d->house[DIM_COL])
            dim = DIM_COL;
          else
            continue;
          ALMOST_LOCKED_SET als;
          als.digits = c->elim_bits | d->elim_bits;
          als.n_cells = 2;
          als.cells[0] = c;
          als.cells[1] = d;
          if (do_ALS_in_dim_with_restricted_common_in_grp(dim, a, b, als)) {
            ++method_counts[kSlotAlsThreeDigitPair];
            return true;
          }
        }
      }
    }
  }
  return false;
}

bool Puzzle::als3(PUZZLE_CELL* a, PUZZLE_CELL* b) {
  uint32_t const s = a->elim_bits;
  for (int dim : {DIM_ROW, DIM_COL}) {
    // The digits of S that a's line still needs all lie where it crosses b's group.
    bool confined = true;
    for (PUZZLE_CELL* x = next_in(a, dim); x != a && confined; x = next_in(x, dim))
      if ((x->elim_bits & s) && x->house[DIM_GROUP] != b->house[DIM_GROUP]) confined = false;
    if (confined) {
      bool changed = false;
      for (PUZZLE_CELL* x = next_in(b, DIM_GROUP); x != b; x = next_in(x, DIM_GROUP))
        if (x->house[dim] != a->house[dim]) changed |= remove_digits(x, s);
      if (changed) return true;
    }
    // The digits of S that a's group still needs all lie on b's line.
    confined = true;
    for (PUZZLE_CELL* x = next_in(a, DIM_GROUP); x != a && confined; x = next_in(x, DIM_GROUP))
      if ((x->elim_bits & s) && x->house[dim] != b->house[dim]) confined = false;
    if (confined) {
      bool changed = false;
      for (PUZZLE_CELL* x = next_in(b, dim); x != b; x = next_in(x, dim))
        if (x->house[DIM_GROUP] != a->house[DIM_GROUP]) changed |= remove_digits(x, s);
      if (changed) return true;
    }
  }
  return false;
}

bool Puzzle::do_ALS_in_dim_with_restricted_common_in_grp(DIMENSION dim, PUZZLE_CELL* a, PUZZLE_CELL* b) {
  uint32_t const c = a->elim_bits & b->elim_bits;
  uint32_t const z = a->elim_bits & ~c;
  PUZZLE_CELL* line[8];
  int n_line = 0;
  for (PUZZLE_CELL* x = next_in(b, dim); x != b; x = next_in(x, dim)) {
    if (n_digits(x->elim_bits) < 2) continue;
    if (x->house[DIM_GROUP] == b->house[DIM_GROUP] || !(x->elim_bits & c)) line[n_line++] = x;
  }
  for (int k = 1; k <= n_line; ++k) {
    int const n_choices = n_combinations(n_line, k);
    for (int i = 0; i < n_choices; ++i) {
      int const* const choice = combination_for_combnumber(n_line, k, i);
      uint32_t u = b->elim_bits;
      for (int m = 0; m < k; ++m) u |= line[choice[m]]->elim_bits;
      if (!(u & z) || n_digits(u) != k + 2) continue;
      ALMOST_LOCKED_SET als;
      als.digits = u;
      als.n_cells = k + 1;
      als.cells[0] = b;
      for (int m = 0; m < k; ++m) als.cells[m + 1] = line[choice[m]];
      if (remove_from_elim_bits_in_neighbors(z, a, als)) {
        pattern_note::cell(a);
        note_set(als);
        return true;
      }
    }
  }
  return false;
}

bool Puzzle::do_ALS_in_dim_with_restricted_common_in_grp(DIMENSION dim, PUZZLE_CELL* a, PUZZLE_CELL* b,
                                                         ALMOST_LOCKED_SET& als) {
  PUZZLE_CELL* const c = als.cells[0];
  PUZZLE_CELL* const d = als.cells[1];
  uint32_t const x_digits = (a->elim_bits | b->elim_bits) & ~(a->elim_bits & b->elim_bits);
  PUZZLE_CELL* line[8];
  int n_line = 0;
  for (PUZZLE_CELL* y = next_in(c, dim); y != c; y = next_in(y, dim)) {
    if (y == d || y == a || y == b || n_digits(y->elim_bits) < 2) continue;
    if (y->house[DIM_GROUP] == a->house[DIM_GROUP] || !(y->elim_bits & x_digits)) line[n_line++] = y;
  }
  uint32_t const pair = c->elim_bits | d->elim_bits;
  for (int k = 1; k <= n_line; ++k) {
    int const n_choices = n_combinations(n_line, k);
    for (int i = 0; i < n_choices; ++i) {
      int const* const choice = combination_for_combnumber(n_line, k, i);
      uint32_t u = pair;
      for (int m = 0; m < k; ++m) u |= line[choice[m]]->elim_bits;
      if (n_digits(u) != k + 3) continue;
      als.n_cells = k + 2;
      for (int m = 0; m < k; ++m) als.cells[m + 2] = line[choice[m]];
      als.digits = u;
      if (remove_from_elim_bits_in_neighbors(dim, a, b, als)) {
        pattern_note::cell(a);
        pattern_note::cell(b);
        note_set(als);
        return true;
      }
    }
  }
  return false;
}

bool Puzzle::remove_from_elim_bits_in_neighbors(unsigned digit_bit, PUZZLE_CELL* a, ALMOST_LOCKED_SET& als) {
  bool changed = false;
  for (int dim : {DIM_GROUP, DIM_ROW, DIM_COL}) {
    for (PUZZLE_CELL* x = next_in(a, dim); x != a; x = next_in(x, dim)) {
      if (!(x->elim_bits & digit_bit) || in_set(als, x)) continue;
      bool sees_all = true;
      for (int k = 0; k < als.n_cells && sees_all; ++k)
        if ((als.cells[k]->elim_bits & digit_bit) && !are_neighbors(x, als.cells[k])) sees_all = false;
      if (sees_all) changed |= remove_digits(x, digit_bit);
    }
  }
  return changed;
}

bool Puzzle::remove_from_elim_bits_in_neighbors(DIMENSION dim, PUZZLE_CELL* a, PUZZLE_CELL* b,
                                                ALMOST_LOCKED_SET& als) {
  uint32_t const pair_digits = a->elim_bits | b->elim_bits;
  uint32_t const c = a->elim_bits & b->elim_bits;
  uint32_t const x_digits = pair_digits & ~c;
  bool changed = false;
  // 1. The group's copies of the three digits are in a, b and the set.
  for (PUZZLE_CELL* x = next_in(a, DIM_GROUP); x != a; x = next_in(x, DIM_GROUP)) {
    if (x == b || in_set(als, x) || n_digits(x->elim_bits) < 2) continue;
    changed |= remove_digits(x, pair_digits);
  }
  // 2. One of a and b holds c.
  int const other = crossing_line(dim);
  if (a->house[other] == b->house[other]) {
    for (PUZZLE_CELL* x = next_in(a, other); x != a; x = next_in(x, other)) {
      if (x == b || n_digits(x->elim_bits) < 2) continue;
      changed |= remove_digits(x, c);
    }
  }
  // 3. The set is locked on its line for every digit outside X.
  PUZZLE_CELL* const first = als.cells[0];
  uint32_t const locked = als.digits & ~x_digits;
  PUZZLE_CELL* x = first;
  do {
    if (!in_set(als, x) && n_digits(x->elim_bits) >= 2) changed |= remove_digits(x, locked);
    x = next_in(x, dim);
  } while (x != first);
  return changed;
}
