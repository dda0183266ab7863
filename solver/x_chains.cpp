// X-chains on one digit: strong links (a house with exactly two cells for the
// digit) alternating with weak links (any shared house), from a strong link to a
// strong link; every cell that sees both ends loses the digit.
// Cells on the current chain carry user_answer = 1 and are reset to 0 on the way back.
#include "model/puzzle.h"
#include "solver/chain_walks.h"
#include "solver/pattern_note.h"

using chain_walks::count_in_house;
using chain_walks::remove_digits;

namespace {

// The chain-step houses of a cell among the first n_dims dimensions.
int step_houses(PUZZLE_CELL const* cell, int n_dims, int dims[5]) {
  return chain_walks::chain_houses(cell, n_dims > 3, dims);
}

// Statistics slot of a 3-link chain, from the kinds of its two strong links.
int three_link_slot(int first_dim, int last_dim) {
  bool const first_line = first_dim == DIM_ROW || first_dim == DIM_COL;
  bool const last_line = last_dim == DIM_ROW || last_dim == DIM_COL;
  if (first_line && last_line) return first_dim == last_dim ? kSlotThreeLinkSameLine : kSlotThreeLinkCrossLines;
  return kSlotThreeLinkOtherHouse;
}

// What one X-chain search reads over and over, fixed while it runs (nothing is
// removed before the search returns): for the digit, the two cells of every house
// that holds it exactly twice, and the cells with the digit that see the chain's
// start. Set by simplify_x_chain_vexor for its own calls; x_chain_extend walks
// the rings itself when called with another digit or start.
struct ChainSearchTables {
  uint32_t digit_bit = 0;
  PUZZLE_CELL* pair[5][9][2];  // both null unless the house holds the digit exactly twice
  PUZZLE_CELL const* start = nullptr;
  PUZZLE_CELL* seeing_start[40];
  int n_seeing_start = 0;
};
thread_local ChainSearchTables const* active_tables = nullptr;

// Clears active_tables when the search that set it ends.
struct ActiveTablesScope {
  explicit ActiveTablesScope(ChainSearchTables const* t) { active_tables = t; }
  ~ActiveTablesScope() { active_tables = nullptr; }
  ActiveTablesScope(ActiveTablesScope const&) = delete;
  ActiveTablesScope& operator=(ActiveTablesScope const&) = delete;
};

}  // namespace

bool Puzzle::simplify_x_chain_vexor(int max_len) {
  int const limit = max_len < 1 ? 10 : max_len;
  int const n_dims = adjacency_type == ADJ_X ? 5 : 3;
  ChainSearchTables tables;
  ActiveTablesScope const scope(&tables);
  // The two cells of every house that holds a digit exactly twice, for all digits in
  // one walk over the houses.
  PUZZLE_CELL* pairs[10][5][9][2] = {};
  uint8_t in_house[10][5][9] = {};
  for (int dim = 0; dim < n_dims; ++dim)
    for (int h = 0; h < (dim < 3 ? 9 : 1); ++h) {  // a diagonal is one house (index 0)
      PUZZLE_CELL* const first = ptrs_first_in_dims[dim][h];
      if (!first) continue;
      PUZZLE_CELL* x = first;
      do {
        for (uint32_t bits = x->elim_bits & ALL_DIGITS; bits; bits &= bits - 1) {
          int const d = __builtin_ctz(bits);
          if (in_house[d][dim][h] < 2) pairs[d][dim][h][in_house[d][dim][h]] = x;
          ++in_house[d][dim][h];
        }
        x = next_in(x, dim);
      } while (x != first);
    }
  for (int d = 1; d <= 9; ++d) {
    uint32_t const bit = 1u << d;
    tables.digit_bit = bit;
    tables.start = nullptr;
    for (int dim = 0; dim < 5; ++dim)
      for (int h = 0; h < 9; ++h) {
        bool const two = dim < n_dims && in_house[d][dim][h] == 2;
        tables.pair[dim][h][0] = two ? pairs[d][dim][h][0] : nullptr;
        tables.pair[dim][h][1] = two ? pairs[d][dim][h][1] : nullptr;
      }
    for (int dim = 0; dim < n_dims; ++dim) {
      int const n_houses = dim < 3 ? 9 : 1;
      for (int h = 0; h < n_houses; ++h) {
        PUZZLE_CELL* const* const ends = tables.pair[dim][h];
        if (!ends[0]) continue;
        for (int orientation = 0; orientation < 2; ++orientation) {
          PUZZLE_CELL* const start = ends[orientation];
          PUZZLE_CELL* const current = ends[1 - orientation];
          // The cells with the digit in the start's houses (a cell may be listed twice).
          tables.start = start;
          tables.n_seeing_start = 0;
          int start_dims[5];
          int const n_start = houses_of(start, start_dims);
          for (int s = 0; s < n_start; ++s)
            for (PUZZLE_CELL* y = next_in(start, start_dims[s]); y != start; y = next_in(y, start_dims[s]))
              if ((y->elim_bits & bit) && tables.n_seeing_start < 40) tables.seeing_start[tables.n_seeing_start++] = y;
          start->user_answer = 1;
          current->user_answer = 1;
          bool const ok =
              x_chain_extend(bit, n_dims, 2, start, current, true, limit, static_cast<DIMENSION>(dim));
          start->user_answer = 0;
          current->user_answer = 0;
          if (ok) {
            // The chain's cells are noted from its end back to its start.
            pattern_note::cell(current);
            pattern_note::cell(start);
            return true;
          }
        }
      }
    }
  }
  return false;
}

bool Puzzle::x_chain_extend(unsigned digit_bit, int n_dims, int length, PUZZLE_CELL* start, PUZZLE_CELL* current,
                            bool weak_next, int max_len, DIMENSION first_dim) {
  if (length >= max_len) return false;
  int dims[5];
  int const n = step_houses(current, n_dims, dims);

  if (weak_next) {
    for (int k = 0; k < n; ++k) {
      int const dim = dims[k];
      for (PUZZLE_CELL* y = next_in(current, dim); y != current; y = next_in(y, dim)) {
        if (y->user_answer || !(y->elim_bits & digit_bit)) continue;
        y->user_answer = 1;
        bool const ok = x_chain_extend(digit_bit, n_dims, length + 1, start, y, false, max_len, first_dim);
        y->user_answer = 0;
        if (ok) {
          pattern_note::cell(y);
          return true;
        }
      }
    }
    return false;
  }

  ChainSearchTables const* const tables =
      active_tables && active_tables->digit_bit == digit_bit && (current->elim_bits & digit_bit) ? active_tables
                                                                                                  : nullptr;
  for (int k = 0; k < n; ++k) {
    int const dim = dims[k];
    PUZZLE_CELL* end;
    int const house = current->house[dim];
    if (tables && house >= 0 && house <= 8 && current->next_in_dim[dim] != 0) {
      // The table holds the house's two cells when it has the digit exactly twice.
      PUZZLE_CELL* const* const pair = tables->pair[dim][house];
      if (!pair[0]) continue;
      end = pair[0] == current ? pair[1] : pair[0];
    } else {
      if (count_in_house(current, dim, digit_bit) != 2) continue;
      end = next_in(current, dim);
      while (!(end->elim_bits & digit_bit)) end = next_in(end, dim);
    }
    if (end->user_answer) continue;

    // Every cell that sees both ends loses the digit. The cells seeing the start are
    // exactly those of its houses, so only those are tested against the end.
    bool changed = false;
    if (tables && tables->start == start) {
      for (int i = 0; i < tables->n_seeing_start; ++i) {
        PUZZLE_CELL* const x = tables->seeing_start[i];
        if (x != end && (x->elim_bits & digit_bit) && are_neighbors(x, end)) changed |= remove_digits(x, digit_bit);
      }
    } else {
      int start_dims[5];
      int const n_start = houses_of(start, start_dims);
      for (int s = 0; s < n_start; ++s)
        for (PUZZLE_CELL* x = next_in(start, start_dims[s]); x != start; x = next_in(x, start_dims[s]))
          if (x != end && (x->elim_bits & digit_bit) && are_neighbors(x, end))
            changed |= remove_digits(x, digit_bit);
    }
    if (changed) {
      if (length == 3) ++method_counts[three_link_slot(first_dim, dim)];
      pattern_note::cell(end);
      pattern_note::digits(digit_bit);
      return true;
    }
    end->user_answer = 1;
    bool const ok = x_chain_extend(digit_bit, n_dims, length + 1, start, end, true, max_len, first_dim);
    end->user_answer = 0;
    if (ok) {
      pattern_note::cell(end);
      return true;
    }
  }
  return false;
}
