// Basic fish on rows and columns (X-Wing, Swordfish, Jellyfish, large fish) and
// the dispatcher of the single-digit house-set techniques.
#include <optional>

#include "model/puzzle.h"
#include "solver/failure_memo.h"
#include "solver/fish_common.h"
#include "solver/pattern_note.h"
#include "util/combinations.h"

namespace fish {

int sort_digits_by_unsolved_count(Puzzle const& p, int digits[9], int counts[9]) {
  int per_digit[10] = {0};
  for (auto const& cell : p.cells)
    if (n_candidates(cell.elim_bits) >= 2)
      for (int d = 1; d <= 9; ++d) per_digit[d] += (cell.elim_bits >> d) & 1u;
  for (int i = 0; i < 9; ++i) {
    digits[i] = i + 1;
    counts[i] = per_digit[i + 1];
  }
  sort_by_insertion_ascending(counts, 9, digits);
  return 9;
}

}  // namespace fish

int Puzzle::determine_unsolved_houses_for_digit(DIMENSION dim, int* houses, unsigned digit_bit) {
  bool present[9] = {false};
  for (auto const& cell : cells)
    if ((cell.elim_bits & digit_bit) && n_candidates(cell.elim_bits) >= 2) {
      int const h = cell.house[dim];
      if (h >= 0 && h <= 8) present[h] = true;
    }
  int n = 0;
  for (int h = 0; h < 9; ++h)
    if (present[h]) houses[n++] = h;
  return n;
}

bool Puzzle::simplify_once_fish_methods(METHOD_TYPE m) {
  int digits[9], counts[9];
  fish::sort_digits_by_unsolved_count(*this, digits, counts);
  int start = 0;
  while (start < 9 && counts[start] < 5) ++start;
  if (start == 9) return false;
  failure_memo::Technique const memo_slot = failure_memo::fish_technique(m);
  failure_memo::Memo* const memo = memo_slot == failure_memo::kTechniques ? nullptr : failure_memo::active_for(*this);
  std::optional<failure_memo::DigitKeys> keys;
  if (memo) keys.emplace(*this);
  for (int i = start; i < 9; ++i) {
    if (keys && failure_memo::known_to_fail(memo, memo_slot, *keys, digits[i])) continue;
    unsigned const bit = 1u << digits[i];
    // houses[0] groups, [1] rows, [2] columns; unused entries stay -1.
    int houses[3][9];
    for (auto& list : houses)
      for (int& h : list) h = -1;
    int const n_rows = determine_unsolved_houses_for_digit(DIM_ROW, houses[DIM_ROW], bit);
    int const n_cols = determine_unsolved_houses_for_digit(DIM_COL, houses[DIM_COL], bit);
    switch (m) {
      case X_WING:
      case SWORDFISH:
      case JELLYFISH:
      case LARGE_FISH:
        if (simplify_once_rows_and_cols_for_digit(m, bit, n_rows, n_cols, houses[DIM_ROW], houses[DIM_COL]))
          return true;
        break;
      case FRANKEN_FISH:
        if (counts[i] >= 9) {
          int const n_groups = determine_unsolved_houses_for_digit(DIM_GROUP, houses[DIM_GROUP], bit);
          if (simplify_once_franken_fish_for_digit(bit, n_rows, n_groups, houses)) return true;
        }
        break;
      default:
        break;
    }
  }
  if (keys) failure_memo::record_failure(memo, memo_slot, *keys);
  return false;
}

bool Puzzle::simplify_once_rows_and_cols_for_digit(METHOD_TYPE m, unsigned digit_bit, int n_rows, int n_cols,
                                                   int* rows, int* cols) {
  int const n_min = n_rows < n_cols ? n_rows : n_cols;
  int k_min, k_max;
  bool columns_at_largest = true;
  switch (m) {
    case X_WING:
      if (n_rows < 3) return false;
      k_min = k_max = 2;
      break;
    case SWORDFISH:
      k_min = k_max = 3;
      break;
    case JELLYFISH:
      k_min = k_max = 4;
      columns_at_largest = false;
      break;
    case LARGE_FISH:
      k_min = 3;
      k_max = n_min / 2;
      columns_at_largest = (n_min % 2) != 0;
      break;
    default:
      return false;
  }
  initialize_comb_routine();
  // Choices are screened on 9-bit masks; the cells are walked only for a choice
  // that is a fish and removes something (the first such choice in search order).
  fish::DigitLines const at(*this, digit_bit, DIM_ROW);  // along_line: rows, along_cross: columns
  int base[9], cover[9];
  // Per column choice (at most C(9, 4) = C(9, 5) = 126): its columns and the rows
  // holding the digit in them.
  uint32_t col_masks[126], col_cells[126];
  for (int k = k_min; k <= k_max; ++k) {
    if (k > n_rows || k > n_cols) continue;
    bool const try_columns = columns_at_largest || k < k_max;
    int const n_row_combs = n_combinations(n_rows, k), n_col_combs = n_combinations(n_cols, k);
    for (int j = 0; j < n_col_combs; ++j) {
      fish::select(cols, fish::comb_at(n_cols, k, j), k, cover);
      col_masks[j] = fish::mask_of(cover, k);
      col_cells[j] = 0;
      for (int c = 0; c < k; ++c) col_cells[j] |= at.along_cross[cover[c]];
    }
    // The column choices whose cells lie in at most k rows: only they can be a base.
    // A row choice whose cells lie in more than k columns cannot be one, so against
    // it only those column choices are visited (in the same order).
    uint64_t narrow_cols[2] = {0, 0}, all_cols[2] = {0, 0};
    for (int j = 0; j < n_col_combs; ++j) {
      all_cols[j >> 6] |= 1ull << (j & 63);
      if (fish::popcount9(col_cells[j]) <= k) narrow_cols[j >> 6] |= 1ull << (j & 63);
    }
    for (int i = 0; i < n_row_combs; ++i) {
      fish::select(rows, fish::comb_at(n_rows, k, i), k, base);
      uint32_t const row_mask = fish::mask_of(base, k);
      uint32_t row_cells = 0;  // columns holding the digit in the chosen rows
      for (int r = 0; r < k; ++r) row_cells |= at.along_line[base[r]];
      bool const rows_can_be_base = fish::popcount9(row_cells) <= k;
      if (!rows_can_be_base && !try_columns) continue;
      uint64_t const* const visit = rows_can_be_base ? all_cols : narrow_cols;
      for (int j = fish::next_member(visit, 0); j < n_col_combs; j = fish::next_member(visit, j + 1)) {
        uint32_t const col_mask = col_masks[j];
        // Rows as base, columns as cover: the cover loses the digit outside the base.
        if (!(row_cells & ~col_mask) && (col_cells[j] & ~row_mask)) {
          fish::select(cols, fish::comb_at(n_cols, k, j), k, cover);
          if (rows_and_cols_for_digit(digit_bit, DIM_ROW, DIM_COL, base, cover, k)) return true;
        }
        if (!try_columns) continue;
        // Columns as base, rows as cover.
        if (col_cells[j] & ~row_mask) continue;
        if (!(row_cells & ~col_mask)) continue;
        fish::select(cols, fish::comb_at(n_cols, k, j), k, cover);
        if (rows_and_cols_for_digit(digit_bit, DIM_COL, DIM_ROW, cover, base, k)) return true;
      }
    }
  }
  return false;
}

bool Puzzle::rows_and_cols_for_digit(unsigned digit_bit, int base_dim, int cover_dim, int* base, int* cover, int k) {
  int in_cover[9] = {0}, in_base[9] = {0};
  for (int i = 0; i < k; ++i) {
    in_cover[cover[i]] = 1;
    in_base[base[i]] = 1;
  }
  for (int i = 0; i < k; ++i) {
    PUZZLE_CELL const* cell = ptrs_first_in_dims[base_dim][base[i]];
    for (int p = 0; p < 9; ++p, cell = next_in(cell, base_dim))
      if ((cell->elim_bits & digit_bit) && !in_cover[p]) return false;
  }
  bool const changed = remove_from_elim_bits_in_other_dim(k, digit_bit, cover_dim, cover, in_base);
  if (changed) pattern_note::fish(base_dim, fish::mask_of(base, k), 0, cover_dim, fish::mask_of(cover, k), 0, digit_bit);
  return changed;
}

bool Puzzle::remove_from_elim_bits_in_other_dim(int k, unsigned digit_bit, int cover_dim, int* cover, int* in_base) {
  bool changed = false;
  for (int i = 0; i < k; ++i) {
    PUZZLE_CELL* cell = ptrs_first_in_dims[cover_dim][cover[i]];
    for (int p = 0; p < 9; ++p, cell = next_in(cell, cover_dim))
      if (!in_base[p] && (cell->elim_bits & digit_bit)) {
        cell->elim_bits &= ~digit_bit;
        changed = true;
      }
  }
  return changed;
}
