// Brute-force solution counting: depth-first search with forward checking over
// the non-clue cells in row-major order, stopping at the second solution. It
// leaves the board as it found it.
#include <cstring>
#include <ctime>

#include "model/puzzle.h"

namespace {

constexpr time_t kBruteForceSeconds = 20;

void print_solution(Puzzle const& p, FILE* stream) {
  std::fprintf(stream, "solved puzzle:\n");
  for (int r = 0; r < 9; ++r) {
    for (int c = 0; c < 9; ++c) std::fprintf(stream, "%3d ", digit_of_bit(p.cells[r * 9 + c].elim_bits));
    std::fprintf(stream, "\n");
  }
  std::fflush(stream);
}

}  // namespace

bool Puzzle::solve_by_brute_force(FILE* stream, long call_limit) {
  brute_force_solutions = 0;
  brute_force_call_limit = static_cast<int32_t>(call_limit);
  brute_force_calls = 0;
  brute_force_limit_reached = false;
  brute_force(&cells[0], static_cast<int64_t>(std::time(nullptr)) + kBruteForceSeconds, stream);
  if (brute_force_solutions == 1) {
    method_counts[kSlotUnsolved] = 0;
    return true;
  }
  return false;
}

void Puzzle::brute_force(PUZZLE_CELL* from, int64_t deadline, FILE* stream) {
  if (brute_force_solutions > 1) return;
  if (brute_force_call_limit > 0 && ++brute_force_calls > brute_force_call_limit) {
    brute_force_limit_reached = true;
    brute_force_solutions = 2;
    return;
  }
  PUZZLE_CELL* const end = cells + 81;
  PUZZLE_CELL* cell = from;
  while (cell < end && (cell->mask & 1)) ++cell;
  if (cell == end) {
    ++brute_force_solutions;
    if (stream) print_solution(*this, stream);
    return;
  }
  if (static_cast<int64_t>(std::time(nullptr)) > deadline) {
    ++brute_force_solutions;
    return;
  }
  // Only cells after this one are changed by forward checking, so only their
  // candidates need saving (the search result is the same as saving all 81).
  uint32_t saved[81];
  int const index = static_cast<int>(cell - cells);
  uint32_t const own = cell->elim_bits;
  for (int d = 1; d <= 9 && brute_force_solutions <= 1; ++d) {
    uint32_t const bit = 1u << d;
    if (!(own & bit)) continue;
    cell->elim_bits = bit;
    for (int j = index + 1; j < 81; ++j) saved[j] = cells[j].elim_bits;
    bool dead_end = false;
    for (int j = index + 1; j < 81; ++j) {
      PUZZLE_CELL& later = cells[j];
      if ((later.elim_bits & bit) && are_neighbors(cell, &later)) {
        later.elim_bits &= ~bit;
        if (later.elim_bits == 0) {
          dead_end = true;
          break;
        }
      }
    }
    if (!dead_end) brute_force(cell + 1, deadline, stream);
    for (int j = index + 1; j < 81; ++j) cells[j].elim_bits = saved[j];
  }
  cell->elim_bits = own;
}
