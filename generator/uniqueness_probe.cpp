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
  for (int c = 0; c < 81; ++c) {
    int const r = c / 9, col = c % 9;
    int n = 0;
    houses_[c][n++] = static_cast<int8_t>(r);
    houses_[c][n++] = static_cast<int8_t>(9 + col);
    houses_[c][n++] = static_cast<int8_t>(18 + board.cells[c].house[DIM_GROUP]);
    if (x && r == col) houses_[c][n++] = 27;
    if (x && r + col == 8) houses_[c][n++] = 28;
    n_houses_[c] = static_cast<int8_t>(n);
  }
}

uint16_t UniquenessProbe::open_digits(Position const& p, int cell) const {
  unsigned used = 0;
  for (int k = 0; k < n_houses_[cell]; ++k) used |= p.used[houses_[cell][k]];
  return static_cast<uint16_t>(~used & 0x1FF);
}

bool UniquenessProbe::has_second_solution(Puzzle const& board) {
  Position p;
  std::memset(p.used, 0, sizeof p.used);
  p.n_empty = 0;
  for (int c = 0; c < 81; ++c) {
    if (!(board.cells[c].mask & 1)) {
      p.empty[p.n_empty++] = static_cast<int8_t>(c);
      continue;
    }
    // solution holds the digit d as bit d.
    unsigned const bit = static_cast<unsigned>(board.cells[c].solution) >> 1;
    for (int k = 0; k < n_houses_[c]; ++k) {
      if (p.used[houses_[c][k]] & bit) return false;  // clashing clues: not this probe's case
      p.used[houses_[c][k]] |= static_cast<uint16_t>(bit);
    }
  }
  long budget = kNodeBudget;
  return count(p, budget) >= 2;
}

int UniquenessProbe::count(Position& p, long& budget) {
  if (--budget < 0) return -1;
  if (p.n_empty == 0) return 1;
  // Branch on the open cell with the fewest digits left.
  int best = -1, best_n = 10;
  uint16_t best_digits = 0;
  for (int i = 0; i < p.n_empty; ++i) {
    uint16_t const digits = open_digits(p, p.empty[i]);
    int const n = kCandidateCounts.count[digits];  // digits hold bits 0..8
    if (n < best_n) {
      best = i, best_n = n, best_digits = digits;
      if (n <= 1) break;
    }
  }
  if (best_n == 0) return 0;
  int const cell = p.empty[best];
  p.empty[best] = p.empty[--p.n_empty];
  int total = 0;
  for (uint16_t digits = best_digits; digits && total < 2; digits &= digits - 1) {
    uint16_t const bit = digits & -digits;
    for (int k = 0; k < n_houses_[cell]; ++k) p.used[houses_[cell][k]] |= bit;
    int const found = count(p, budget);
    for (int k = 0; k < n_houses_[cell]; ++k) p.used[houses_[cell][k]] &= static_cast<uint16_t>(~bit);
    if (found < 0) {
      total = -1;
      break;
    }
    total += found;
  }
  p.empty[p.n_empty++] = p.empty[best];
  p.empty[best] = static_cast<int8_t>(cell);
  return total;
}
