// Random complete solution grid: the most constrained group is seeded with a
// random permutation, the remaining cells are ordered most-constrained-first and
// filled by randomised depth-first search with forward checking.
#include <algorithm>

#include "model/puzzle.h"
#include "util/clock.h"
#include "util/combinations.h"
#include "util/random.h"

namespace {

constexpr int kSeedCells = 9;

// The largest number of cells of group g that lie in one line (rows, columns and,
// on X boards, the two diagonals).
int group_restriction(Puzzle const& p, int g) {
  int per_row[9] = {0}, per_col[9] = {0}, on_diag = 0, on_anti = 0;
  for (auto const& cell : p.cells) {
    if (cell.house[DIM_GROUP] != g) continue;
    ++per_row[cell.house[DIM_ROW]];
    ++per_col[cell.house[DIM_COL]];
    on_diag += cell.house[DIM_DIAG] == 0;
    on_anti += cell.house[DIM_ANTI_DIAG] == 0;
  }
  int best = 0;
  for (int i = 0; i < 9; ++i) best = std::max(best, std::max(per_row[i], per_col[i]));
  if (p.adjacency_type == ADJ_X) best = std::max(best, std::max(on_diag, on_anti));
  return best;
}

}  // namespace

int Puzzle::count_set_bits(unsigned mask, int shift, int width) {
  unsigned const field = (width >= 32) ? (mask >> shift) : ((mask >> shift) & ((1u << width) - 1u));
  return __builtin_popcount(field);
}

unsigned Puzzle::get_nth_nonzero_bit(unsigned mask, int n) {
  if (n < 1) return 0;
  int seen = 0;
  for (int p = 1; p <= 9; ++p)
    if ((mask >> p) & 1u)
      if (++seen == n) return 1u << p;
  return 0;
}

void Puzzle::order_groups_by_restriction() {
  int keys[9];
  void* items[9];
  for (int i = 0; i < 9; ++i) {
    PUZZLE_CELL* const first = ptrs_first_in_dims[DIM_GROUP][i];
    keys[i] = first ? group_restriction(*this, first->house[DIM_GROUP]) : 0;
    items[i] = first;
  }
  sort_by_insertion(keys, 9, items);
  for (int i = 0; i < 9; ++i) ptrs_first_in_dims[DIM_GROUP][i] = static_cast<PUZZLE_CELL*>(items[i]);
}

void Puzzle::initialize_ordered_ptrs() {
  int k = 0;
  for (int g = 0; g < 9; ++g) {
    PUZZLE_CELL* const first = ptrs_first_in_dims[DIM_GROUP][g];
    if (!first) continue;
    PUZZLE_CELL* cell = first;
    do {
      if (k < 81) ordered_ptrs[k++] = cell;
      cell = next_in(cell, DIM_GROUP);
    } while (cell != first);
  }
  while (k < 82) ordered_ptrs[k++] = nullptr;
}

void Puzzle::compare_to_first_group() {
  for (int i = kSeedCells; i < 81; ++i) {
    PUZZLE_CELL* const later = ordered_ptrs[i];
    for (int s = 0; s < kSeedCells; ++s)
      if (are_neighbors(ordered_ptrs[s], later)) ++later->mask;
  }
}

void Puzzle::sort_ordered_ptrs() {
  for (int k = kSeedCells; k < 80; ++k) {
    // Stable insertion sort of positions k..80 by mask, largest first: a cell moves
    // ahead only past strictly smaller counts.
    for (int i = k + 1; i < 81; ++i) {
      PUZZLE_CELL* const item = ordered_ptrs[i];
      int j = i - 1;
      while (j >= k && ordered_ptrs[j]->mask < item->mask) {
        ordered_ptrs[j + 1] = ordered_ptrs[j];
        --j;
      }
      ordered_ptrs[j + 1] = item;
    }
    PUZZLE_CELL const* const fixed = ordered_ptrs[k];
    for (int i = k + 1; i < 81; ++i)
      if (are_neighbors(fixed, ordered_ptrs[i])) ++ordered_ptrs[i]->mask;
  }
  ordered_ptrs[81] = nullptr;
}

void Puzzle::initialize_first_group() {
  int perm[9];
  for (int i = 0; i < 9; ++i) perm[i] = i + 1;
  random_combination(9, 9, perm);
  for (int i = 0; i < kSeedCells; ++i) {
    PUZZLE_CELL* const cell = ordered_ptrs[i];
    cell->solution = static_cast<int32_t>(1u << perm[i]);
    cell->elim_bits = 1u << perm[i];
    cell->mask = 0;
  }
}

bool Puzzle::initialize_rest_of_array() {
  bool all_open = true;
  for (int i = kSeedCells; i < 81; ++i) {
    PUZZLE_CELL* const cell = ordered_ptrs[i];
    cell->solution = 0;
    cell->elim_bits = ALL_DIGITS;
    for (int s = 0; s < kSeedCells; ++s)
      if (are_neighbors(ordered_ptrs[s], cell)) cell->elim_bits &= ~static_cast<uint32_t>(ordered_ptrs[s]->solution);
    if (cell->elim_bits == 0) all_open = false;
  }
  return all_open;
}

bool Puzzle::set_value(PUZZLE_CELL* cell) {
  int const n = count_set_bits(cell->elim_bits, 1, 9);
  if (n == 0) return false;
  int const r = static_cast<int>(arc4random_uniform(static_cast<uint32_t>(n))) + 1;
  cell->solution = static_cast<int32_t>(get_nth_nonzero_bit(cell->elim_bits, r));
  return true;
}

bool Puzzle::exclude_value_from_future_cell(PUZZLE_CELL const* placed, PUZZLE_CELL* later) {
  // The neighbour table by array position (the same entry as are_neighbors, without
  // recomputing each cell's index from its row and column).
  if (!are_neighbors_array[(placed - cells) * 81 + (later - cells)]) return true;
  later->elim_bits &= ~static_cast<uint32_t>(placed->solution);
  return later->elim_bits != 0;
}

bool Puzzle::exclude_value_from_future_cells(PUZZLE_CELL const* placed, PUZZLE_CELL** later) {
  for (; *later; ++later)
    if (!exclude_value_from_future_cell(placed, *later)) return false;
  return true;
}

namespace {

// Call budget of the current fill attempt (see construct_solution). Thread-local:
// a construction runs entirely in its caller's thread.
thread_local long fill_calls_left = 0;
thread_local bool fill_budget_spent = false;

// The first attempt's budget: far above what a box map ever needs (backtracking is
// rare there), well above the typical jigsaw fill.
constexpr long kFirstFillBudget = 20000;

}  // namespace

namespace {

// The search order of one fill, with each cell's later neighbours: placing a digit
// changes only those, so a failed digit undoes only those instead of every later
// cell. Neighbours count as on the neighbour table (exclude_value_from_future_cell).
struct FillPlan {
  int n = 0;
  PUZZLE_CELL* cell[81];
  uint8_t n_later[81];
  uint8_t later[81][80];

  FillPlan(Puzzle const& p, PUZZLE_CELL* const* cells_left) {
    while (n < 81 && cells_left[n]) {
      cell[n] = cells_left[n];
      ++n;
    }
    for (int k = 0; k < n; ++k) {
      int m = 0;
      for (int j = k + 1; j < n; ++j)
        if (p.are_neighbors_array[(cell[k] - p.cells) * 81 + (cell[j] - p.cells)]) later[k][m++] = static_cast<uint8_t>(j);
      n_later[k] = static_cast<uint8_t>(m);
    }
  }
};

// Draws, calls and the board left behind are those of the fill that saves and
// restores every later cell at each step: a failed digit at position k leaves every
// cell after k as it was when position k was entered, since each step undoes the
// neighbours it changed and the step's own cell is reset by the step above.
bool fill_from(Puzzle& p, FillPlan const& plan, int k) {
  if (p.deadline_has_passed()) return false;
  if (--fill_calls_left < 0) {
    fill_budget_spent = true;
    return false;
  }
  if (p.deadline_ms > 0) {
    ++p.deadline_poll_count;
    if (p.deadline_poll_count % 1024 == 0 && steady_now_ms() >= p.deadline_ms) {
      p.set_deadline_passed();
      return false;
    }
  }
  if (k >= plan.n) return false;
  PUZZLE_CELL* const cell = plan.cell[k];
  if (k + 1 == plan.n) {
    cell->solution = static_cast<int32_t>(cell->elim_bits);
    return true;
  }
  PUZZLE_CELL* const next = plan.cell[k + 1];
  uint8_t const* const later = plan.later[k];
  int const n_later = plan.n_later[k];
  uint32_t saved[80];
  for (;;) {
    if (!p.set_value(cell)) return false;
    uint32_t const digit = static_cast<uint32_t>(cell->solution);
    int changed = 0;
    bool open = true;
    while (changed < n_later) {
      PUZZLE_CELL* const other = plan.cell[later[changed]];
      saved[changed++] = other->elim_bits;
      other->elim_bits &= ~digit;
      if (other->elim_bits == 0) {
        open = false;
        break;
      }
    }
    uint32_t const next_bits = next->elim_bits;
    if (open && fill_from(p, plan, k + 1)) return true;
    next->elim_bits = next_bits;
    while (changed > 0) {
      --changed;
      plan.cell[later[changed]]->elim_bits = saved[changed];
    }
    cell->elim_bits &= ~digit;
  }
}

}  // namespace

bool Puzzle::recursively_fill_cells(PUZZLE_CELL** cells_left, unsigned* /*restore: no longer needed*/) {
  FillPlan const plan(*this, cells_left);
  return fill_from(*this, plan, 0);
}

bool Puzzle::construct_solution() {
  order_groups_by_restriction();
  initialize_ordered_ptrs();
  compare_to_first_group();
  sort_ordered_ptrs();
  // On some jigsaw maps an unlucky seed permutation sends the depth-first search into a
  // subtree without completions that takes seconds to minutes to exhaust. An attempt
  // that spends its call budget therefore starts again from a fresh seed permutation,
  // with an eighth more budget each time: the search stays complete (the budget grows
  // without bound, so an impossible map still ends with false), and a first attempt
  // that finishes within its budget (every box map) draws exactly as before.
  bool ok = false;
  for (long budget = kFirstFillBudget;; budget += budget / 8) {
    initialize_first_group();
    if (!initialize_rest_of_array()) break;
    fill_calls_left = budget;
    fill_budget_spent = false;
    ok = recursively_fill_cells(&ordered_ptrs[kSeedCells], nullptr);
    if (ok || !fill_budget_spent || deadline_has_passed()) break;
  }
  // The natural group order is restored on every exit, including the degenerate-map failure.
  setup_ptrs_first_in_dims();
  return ok;
}
