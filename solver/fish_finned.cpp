// Finned fish: the fin cells of one group are assumed false on a scratch copy of
// the board; a fish found there is valid for the cells of the fin's group either
// way (if a fin is true the rest of its group loses the digit anyway), so only
// the eliminations inside that group reach the live board.
#include <algorithm>

#include "model/puzzle.h"
#include "solver/fish_common.h"
#include "solver/scratch_board.h"
#include "util/combinations.h"

namespace {

constexpr int kMaxFinnedSize = 5;

using FinnedScratch = ScratchBoard;

DIMENSION cross_of(DIMENSION dim) { return dim == DIM_ROW ? DIM_COL : DIM_ROW; }

}  // namespace

void Puzzle::find_fin_candidates(int group, int* digits, int*& from, int*& to) {
  int n = 0;
  while (n < 9 && digits[n] != 0) ++n;
  int counts[9] = {0};
  for (int i = 0; i < n; ++i) {
    uint32_t const bit = 1u << digits[i];
    for (auto const& cell : cells)
      if ((group < 0 || cell.house[DIM_GROUP] == group) && (cell.elim_bits & bit) && n_candidates(cell.elim_bits) >= 2)
        ++counts[i];
  }
  sort_by_insertion_ascending(counts, n, digits);
  int const low = group < 0 ? 6 : 2, high = group < 0 ? 8 : 3;
  int i = 0;
  while (i < n && counts[i] < low) ++i;
  from = digits + i;
  while (i < n && counts[i] < high) ++i;
  to = digits + i;
}

bool Puzzle::simplify_fins_rows_cols() {
  int digits[9], counts[9];
  fish::sort_digits_by_unsolved_count(*this, digits, counts);
  int start = 0;
  while (start < 9 && counts[start] < 6) ++start;
  if (start == 9) return false;
  // The kept digits, zero-terminated; each group re-sorts them in place.
  int kept[10] = {0};
  for (int i = start; i < 9; ++i) kept[i - start] = digits[i];

  for (int g = 0; g < 9; ++g) {
    PUZZLE_CELL* const first = ptrs_first_in_dims[DIM_GROUP][g];
    if (!first) continue;
    int* from;
    int* to;
    find_fin_candidates(g, kept, from, to);
    for (int* pd = from; *pd != 0; ++pd) {
      uint32_t const bit = 1u << *pd;
      PUZZLE_CELL* P[9];
      int n = 0;
      PUZZLE_CELL* cell = first;
      do {
        if ((cell->elim_bits & bit) && n < 9) P[n++] = cell;
        cell = next_in(cell, DIM_GROUP);
      } while (cell != first);

      // Third cells off both rows and both columns of A and B.
      auto witnesses_try = [&](DIMENSION base_dim, PUZZLE_CELL* A, PUZZLE_CELL* B) {
        for (int c = 0; c < n; ++c) {
          PUZZLE_CELL* const C = P[c];
          if (C->house[DIM_ROW] == A->house[DIM_ROW] || C->house[DIM_ROW] == B->house[DIM_ROW] ||
              C->house[DIM_COL] == A->house[DIM_COL] || C->house[DIM_COL] == B->house[DIM_COL])
            continue;
          if (fins_rows_cols(base_dim, bit, A, B, C)) return true;
        }
        return false;
      };

      for (int a = 0; a < n; ++a) {
        PUZZLE_CELL* const A = P[a];
        bool single_fin_tried = false;
        for (int b = 0; b < n; ++b) {
          if (b == a) continue;
          PUZZLE_CELL* const B = P[b];
          if (A->house[DIM_ROW] == B->house[DIM_ROW]) {
            if (n > 2 && B > A && witnesses_try(DIM_ROW, A, B)) return true;
          } else if (A->house[DIM_COL] != B->house[DIM_COL] && !single_fin_tried) {
            if (fins_rows_cols(DIM_ROW, bit, A, nullptr, B)) return true;
            if (fins_rows_cols(DIM_COL, bit, A, nullptr, B)) return true;
            single_fin_tried = true;
          } else if (n > 2 && B > A) {
            if (witnesses_try(DIM_COL, A, B)) return true;
          }
        }
      }
    }
  }
  return false;
}

bool Puzzle::fins_rows_cols(DIMENSION base_dim, unsigned digit_bit, PUZZLE_CELL* fin1, PUZZLE_CELL* fin2,
                            PUZZLE_CELL*) {
  FinnedScratch scratch(*this);
  Puzzle& s = scratch.board;
  PUZZLE_CELL* const s_fin1 = s.cells + (fin1 - cells);
  s_fin1->elim_bits &= ~digit_bit;
  if (fin2) s.cells[fin2 - cells].elim_bits &= ~digit_bit;

  DIMENSION const cover_dim = cross_of(base_dim);
  // Base lines with fin1's line first (the others keep their order).
  int base[10];
  int n_base = s.determine_unsolved_houses_for_digit(base_dim, base, digit_bit);
  int const fin_line = fin1->house[base_dim];
  int pos = 0;
  while (pos < n_base && base[pos] != fin_line) ++pos;
  if (pos == n_base) ++n_base;  // the fin's line holds no other candidate: it still leads the base set
  for (int i = pos; i > 0; --i) base[i] = base[i - 1];
  base[0] = fin_line;

  // Cover lines without the fins' cross lines; those meeting the fin's group go first.
  int listed[9], cover[9];
  int const n_listed = s.determine_unsolved_houses_for_digit(cover_dim, listed, digit_bit);
  int n_cover = 0;
  for (int i = 0; i < n_listed; ++i)
    if (listed[i] != fin1->house[cover_dim] && !(fin2 && listed[i] == fin2->house[cover_dim]))
      cover[n_cover++] = listed[i];
  int const fin_group = fin1->house[DIM_GROUP];
  for (int i = 0, front = 0; i < n_cover; ++i)
    if (line_and_group_overlap(cover_dim, cover[i], fin_group)) std::swap(cover[i], cover[front++]);

  if (!s.rows_and_cols_with_fins_for_digit(digit_bit, base_dim, n_base, base, n_cover, cover, s_fin1)) return false;

  bool changed = false;
  for (PUZZLE_CELL* cell = next_in(fin1, DIM_GROUP); cell != fin1; cell = next_in(cell, DIM_GROUP)) {
    if (cell == fin2) continue;  // the second fin keeps its own candidates
    uint32_t const found = s.cells[cell - cells].elim_bits;
    if (found != cell->elim_bits) {
      cell->elim_bits = found;
      changed = true;
    }
  }
  if (changed && fin2) ++method_counts[kSlotTwoFins];
  return changed;
}

bool Puzzle::rows_and_cols_with_fins_for_digit(unsigned digit_bit, DIMENSION base_dim, int n_base, int* base,
                                               int n_cover, int* cover, PUZZLE_CELL const* fin1) {
  DIMENSION const cover_dim = cross_of(base_dim);
  int const fin_group = fin1->house[DIM_GROUP];
  int const k_max = std::min({n_base, n_cover, kMaxFinnedSize});
  initialize_comb_routine();
  // along_line: the base lines' cells by cross index; along_cross: the cover lines' by base index.
  fish::DigitLines const at(*this, digit_bit, base_dim);
  int chosen_base[kMaxFinnedSize], chosen_cover[kMaxFinnedSize];
  chosen_base[0] = base[0];
  for (int k = 3; k <= k_max; ++k) {
    int const n_base_choices = n_combinations(n_base - 1, k - 1);
    int const n_cover_choices = n_combinations(n_cover, k);
    for (int i = 0; i < n_base_choices; ++i) {
      int const* const comb = fish::comb_at(n_base - 1, k - 1, i);
      for (int j = 0; j < k - 1; ++j) chosen_base[j + 1] = base[1 + comb[j]];
      uint32_t const base_mask = fish::mask_of(chosen_base, k);
      uint32_t need = 0;
      for (int j = 0; j < k; ++j) need |= at.along_line[chosen_base[j]];
      if (fish::popcount9(need) > k) continue;  // no k cover lines can hold them
      for (int c = 0; c < n_cover_choices; ++c) {
        int const* const cover_comb = fish::comb_at(n_cover, k, c);
        // Lines meeting the fin's group come first, so the first line that does not
        // meet it ends every later choice too.
        if (!line_and_group_overlap(cover_dim, cover[cover_comb[0]], fin_group)) break;
        fish::select(cover, cover_comb, k, chosen_cover);
        if (need & ~fish::mask_of(chosen_cover, k)) continue;
        bool removes = false;
        for (int j = 0; j < k && !removes; ++j) removes = (at.along_cross[chosen_cover[j]] & ~base_mask) != 0;
        if (removes && rows_and_cols_for_digit(digit_bit, base_dim, cover_dim, chosen_base, chosen_cover, k))
          return true;
      }
    }
  }
  return false;
}
