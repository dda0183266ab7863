#include "generator/uniqueness_probe.h"

#include "model/puzzle.h"

namespace {

// A board with a second solution shows it within a few hundred nodes; the budget only
// bounds the rare sparse board whose search is long (it is then judged by the solver).
constexpr long long kNodeBudget = 100000;

// The digit 1..9 of a one-bit solution mask (bit d); 0 for anything else.
int solution_digit(PUZZLE_CELL const& cell) { return digit_of_bit(static_cast<uint32_t>(cell.solution)); }

}  // namespace

UniquenessProbe::UniquenessProbe(Puzzle const& board) {
  int groups[9][9];
  for (int c = 0; c < 81; ++c) groups[c / 9][c % 9] = board.cells[c].house[DIM_GROUP];
  ops_ = matrix_engine::compile_shared(board.adjacency_type == ADJ_X, groups);
}

// Two clues clash when they share a unit and a digit (the conflict table of the
// engine's literals says the same: one literal per cell leaves only that case), so
// the digits seen in each unit tell it without or-ing a conflict vector per clue.
bool UniquenessProbe::load(Puzzle const& board, matrix_engine::Vec& placed) const {
  placed.clear();
  uint32_t unit_digits[32] = {};
  for (int c = 0; c < 81; ++c) {
    if (!(board.cells[c].mask & 1)) continue;
    int const d = solution_digit(board.cells[c]);
    if (d == 0) return false;
    uint32_t const bit = 1u << d;
    for (uint32_t units = ops_->cell_units[c]; units; units &= units - 1) {
      uint32_t& seen = unit_digits[__builtin_ctz(units)];
      if (seen & bit) return false;
      seen |= bit;
    }
    placed.set(matrix_engine::lit(c, d));
  }
  return true;
}

int UniquenessProbe::count(matrix_engine::Vec const& cand, matrix_engine::Vec const& placed, int limit,
                           long long& budget) const {
  int out[2][81];
  return matrix_engine::count_completions_collect(*ops_, cand, placed, limit, out, 0, budget);
}

bool UniquenessProbe::has_second_solution(Puzzle const& board) {
  matrix_engine::Vec placed, cand;
  if (!load(board, placed)) return false;  // clashing clues: not this probe's case
  cand.fill_all();
  long long budget = kNodeBudget;
  return count(cand, placed, 2, budget) >= 2;
}

bool UniquenessProbe::has_second_solution_after_removing(Puzzle const& board, int cell_a, int cell_b) {
  matrix_engine::Vec placed, cand;
  if (!load(board, placed)) return false;
  cand.fill_all();
  long long budget = kNodeBudget;
  // Completions with another digit at cell_a; then, keeping the first solution's digit
  // there, with another digit at cell_b. Together they are every second solution.
  for (int cell : {cell_a, cell_b}) {
    if (cell < 0 || (board.cells[cell].mask & 1)) continue;
    int const d = solution_digit(board.cells[cell]);
    if (d == 0) continue;
    int const own = matrix_engine::lit(cell, d);
    matrix_engine::Vec without = cand;
    without.words[own >> 6] &= ~(std::uint64_t{1} << (own & 63));
    int const found = count(without, placed, 1, budget);
    if (found != 0) return found > 0;  // out of budget: not certain
    placed.set(own);
  }
  return false;
}
