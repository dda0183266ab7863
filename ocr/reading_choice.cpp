// Judging a reading by the puzzle it gives: a reading whose clues break no rule and
// whose puzzle has exactly one solution is almost surely the printed puzzle.
#include <algorithm>

#include "matrix_engine/matrix_engine.h"
#include "ocr/ocr.h"

namespace {

// The constraint tables of the rules; false when a region number is outside 0..8.
bool rules_ops(OcrPictureRules const& rules, matrix_engine::Ops const*& ops) {
  int groups[9][9];
  for (int c = 0; c < 81; ++c) {
    int const g = rules.regions ? rules.regions[c] : 3 * (c / 27) + (c % 9) / 3;
    if (g < 0 || g > 8) return false;
    groups[c / 9][c % 9] = g;
  }
  ops = &matrix_engine::compile(rules.diagonals, groups);
  return true;
}

}  // namespace

int ocr_solution_count(int const* digits, OcrPictureRules const& rules) {
  if (!digits) return -1;
  for (int c = 0; c < 81; ++c)
    if (digits[c] < 0 || digits[c] > 9) return -1;
  matrix_engine::Ops const* ops = nullptr;
  if (!rules_ops(rules, ops)) return -1;
  if (!ocr_reading_consistent(digits, rules)) return 0;
  using namespace matrix_engine;
  Vec cand, placed;
  cand.fill_all();
  for (int c = 0; c < 81; ++c)
    if (digits[c]) placed.set(lit(c, digits[c]));
  int out[2][81] = {};
  long long budget = ocr_solution_budget;
  int const n = count_completions_collect(*ops, cand, placed, 2, out, 0, budget);
  return n < 0 ? -1 : std::min(n, 2);
}

int ocr_reading_rank(int const* digits, OcrPictureRules const& rules) {
  if (!digits) return 0;
  int const count = ocr_digit_count(digits);
  bool const consistent = ocr_reading_consistent(digits, rules);
  bool const unique = count >= 17 && consistent && ocr_solution_count(digits, rules) == 1;
  return (count >= 17 ? 4000 : 0) + (consistent ? 2000 : 0) + (unique ? 1000 : 0) + count;
}
