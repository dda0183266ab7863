#include "generator/uniqueness_probe.h"

#include <cstring>

#include "model/puzzle.h"

namespace {

// A board with a second solution shows it within a few hundred nodes; the budget only
// bounds the rare sparse board whose search is long (it is then judged by the solver).
constexpr long kNodeBudget = 100000;

}  // namespace

UniquenessProbe::UniquenessProbe(Puzzle const& board) {
  bool const x = board.adjacency_type == ADJ_X;
  n_house_cells_ = x ? 29 : 27;
  int filled[29] = {};
  for (int c = 0; c < 81; ++c) {
    int const r = c / 9, col = c % 9;
    int n = 0;
    houses_[c][n++] = static_cast<int8_t>(r);
    houses_[c][n++] = static_cast<int8_t>(9 + col);
    houses_[c][n++] = static_cast<int8_t>(18 + board.cells[c].house[DIM_GROUP]);
    if (x && r == col) houses_[c][n++] = 27;
    if (x && r + col == 8) houses_[c][n++] = 28;
    n_houses_[c] = static_cast<int8_t>(n);
    for (int k = 0; k < n; ++k) {
      int const h = houses_[c][k];
      if (filled[h] < 9) house_cells_[h][filled[h]++] = static_cast<int8_t>(c);
    }
  }
  // A group that is not nine cells leaves its unused slots pointing at a cell of its own.
  for (int h = 0; h < n_house_cells_; ++h)
    for (int k = filled[h]; k < 9; ++k) house_cells_[h][k] = filled[h] ? house_cells_[h][0] : 0;
}

uint16_t UniquenessProbe::open_digits(Position const& p, int cell) const {
  unsigned used = 0;
  for (int k = 0; k < n_houses_[cell]; ++k) used |= p.used[houses_[cell][k]];
  return static_cast<uint16_t>(~used & 0x1FF);
}

int UniquenessProbe::slot_of(Position const& p, int cell) {
  int slot = 0;
  while (p.empty[slot] != cell) ++slot;
  return slot;
}

// Places digit bit in the open cell at empty[slot] (which takes the last open cell).
void UniquenessProbe::place(Position& p, int slot, uint16_t bit) const {
  int const cell = p.empty[slot];
  for (int k = 0; k < n_houses_[cell]; ++k) p.used[houses_[cell][k]] |= bit;
  p.open[cell] = false;
  p.empty[slot] = p.empty[--p.n_empty];
}

void UniquenessProbe::unplace(Position& p, int slot, int cell, uint16_t bit) const {
  p.empty[p.n_empty++] = p.empty[slot];
  p.empty[slot] = static_cast<int8_t>(cell);
  p.open[cell] = true;
  for (int k = 0; k < n_houses_[cell]; ++k) p.used[houses_[cell][k]] &= static_cast<uint16_t>(~bit);
}

bool UniquenessProbe::load(Puzzle const& board, Position& p) const {
  std::memset(p.used, 0, sizeof p.used);
  p.n_empty = 0;
  for (int c = 0; c < 81; ++c) {
    p.open[c] = !(board.cells[c].mask & 1);
    if (p.open[c]) {
      p.empty[p.n_empty++] = static_cast<int8_t>(c);
      continue;
    }
    // solution holds the digit d as bit d.
    unsigned const bit = static_cast<unsigned>(board.cells[c].solution) >> 1;
    for (int k = 0; k < n_houses_[c]; ++k) {
      if (p.used[houses_[c][k]] & bit) return false;
      p.used[houses_[c][k]] |= static_cast<uint16_t>(bit);
    }
  }
  return true;
}

bool UniquenessProbe::has_second_solution(Puzzle const& board) {
  Position p;
  if (!load(board, p)) return false;  // clashing clues: not this probe's case
  long budget = kNodeBudget;
  return count(p, budget, 2) >= 2;
}

bool UniquenessProbe::has_second_solution_after_removing(Puzzle const& board, int cell_a, int cell_b) {
  Position p;
  if (!load(board, p)) return false;
  long budget = kNodeBudget;
  for (int cell : {cell_a, cell_b}) {
    if (cell < 0 || !p.open[cell]) continue;
    int const slot = slot_of(p, cell);
    uint16_t const own = static_cast<uint16_t>(static_cast<unsigned>(board.cells[cell].solution) >> 1);
    for (uint16_t digits = open_digits(p, cell) & static_cast<uint16_t>(~own); digits; digits &= digits - 1) {
      uint16_t const bit = digits & -digits;
      place(p, slot, bit);
      int const found = count(p, budget, 1);
      unplace(p, slot, cell, bit);
      if (found != 0) return found > 0;  // out of budget: not certain
    }
  }
  return false;
}

int UniquenessProbe::count(Position& p, long& budget, int limit) {
  if (--budget < 0) return -1;
  if (p.n_empty == 0) return 1;
  // The open cell with the fewest digits left; a cell with one digit is forced.
  uint16_t digits_of[81];
  int slot = 0, best_n = 10;
  uint16_t branch = 0;
  for (int i = 0; i < p.n_empty; ++i) {
    uint16_t const digits = digits_of[p.empty[i]] = open_digits(p, p.empty[i]);
    int const n = kCandidateCounts.count[digits];  // digits hold bits 0..8
    if (n < best_n) {
      slot = i, best_n = n, branch = digits;
      if (n == 0) return 0;
    }
  }
  if (best_n > 1) {
    // A digit with no place left in a house ends the line; a digit with one place is forced there.
    for (int h = 0; h < n_house_cells_; ++h) {
      unsigned once = 0, twice = 0;
      for (int k = 0; k < 9; ++k) {
        int const c = house_cells_[h][k];
        if (!p.open[c]) continue;
        twice |= once & digits_of[c];
        once |= digits_of[c];
      }
      if (~(once | p.used[h]) & 0x1FF) return 0;
      unsigned const single = once & ~twice;
      if (!single) continue;
      uint16_t const bit = static_cast<uint16_t>(single & (0u - single));
      for (int k = 0; k < 9; ++k)
        if (p.open[house_cells_[h][k]] && (digits_of[house_cells_[h][k]] & bit)) {
          int const c = house_cells_[h][k];
          slot = slot_of(p, c);
          branch = bit;
          break;
        }
      break;
    }
  }
  int const cell = p.empty[slot];
  int total = 0;
  for (uint16_t digits = branch; digits && total < limit; digits &= digits - 1) {
    uint16_t const bit = digits & -digits;
    place(p, slot, bit);
    int const found = count(p, budget, limit - total);
    unplace(p, slot, cell, bit);
    if (found < 0) return -1;
    total += found;
  }
  return total;
}
