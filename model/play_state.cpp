// Play form of a board: conversion after generation, restart, and the state,
// distance and used-up-digit queries. Digit values in loaded boards are
// untrusted, so every use of one as an index or shift is range-checked.
#include "model/puzzle.h"

void Puzzle::make_ready_for_UI() { start_or_restart_UI(true); }

void Puzzle::start_or_restart_UI(bool starting) {
  for (auto& cell : cells) {
    if (starting) cell.solution = digit_of_bit(static_cast<uint32_t>(cell.solution));
    cell.elim_bits = cell.mask ? bit_of_digit(cell.solution) : 0;
    cell.user_answer = 0;
    cell.small_mode = false;
    cell.ui_reserved = 0;
  }
}

namespace {

void count_digit(int counts[10], int d) {
  if (d >= 0 && d <= 9) ++counts[d];
}

}  // namespace

PUZZLE_STATE Puzzle::puzzle_state(int counts[10]) const {
  for (int d = 0; d < 10; ++d) counts[d] = 0;
  int remaining = 81, wrong = 0;
  for (auto const& cell : cells) {
    if (cell.mask) {
      count_digit(counts, cell.solution);
      --remaining;
    } else if (!cell.small_mode && cell.user_answer != 0) {
      count_digit(counts, cell.user_answer);
      if (cell.user_answer != cell.solution)
        ++wrong;
      else
        --remaining;
    }
  }
  if (remaining == 0) return PUZZLE_SOLVED;
  if (remaining == wrong) return PUZZLE_FULL_WITH_ERRORS;
  return PUZZLE_IN_PROGRESS;
}

int Puzzle::distance_to_solution() const {
  int correct = 0;
  for (auto const& cell : cells)
    if (cell.mask || (!cell.small_mode && cell.user_answer == cell.solution)) ++correct;
  return 81 - correct;
}

void Puzzle::maxed_digits(bool out[10]) const {
  int count[10] = {0};
  for (auto const& cell : cells) {
    if (cell.mask)
      count_digit(count, cell.solution);
    else if (!cell.small_mode)
      count_digit(count, cell.user_answer);
  }
  for (int d = 1; d <= 9; ++d) out[d] = count[d] == 9;
}
