// Judging a reading by the puzzle it gives: a reading whose clues break no rule and
// whose puzzle has exactly one solution is almost surely the printed puzzle.
#include <algorithm>

#include "matrix_engine/matrix_engine.h"
#include "ocr/ocr.h"

namespace {

matrix_engine::Ops const& square_ops() {
  int groups[9][9];
  for (int c = 0; c < 81; ++c) groups[c / 9][c % 9] = 3 * (c / 27) + (c % 9) / 3;
  return matrix_engine::compile(false, groups);
}

}  // namespace

int ocr_solution_count(int const* digits) {
  if (!digits) return -1;
  for (int c = 0; c < 81; ++c)
    if (digits[c] < 0 || digits[c] > 9) return -1;
  if (!ocr_reading_consistent(digits)) return 0;
  using namespace matrix_engine;
  Vec cand, placed;
  cand.fill_all();
  for (int c = 0; c < 81; ++c)
    if (digits[c]) placed.set(lit(c, digits[c]));
  int out[2][81] = {};
  long long budget = ocr_solution_budget;
  int const n = count_completions_collect(square_ops(), cand, placed, 2, out, 0, budget);
  return n < 0 ? -1 : std::min(n, 2);
}

int ocr_reading_rank(int const* digits) {
  if (!digits) return 0;
  int count = 0;
  for (int c = 0; c < 81; ++c) count += digits[c] >= 1 && digits[c] <= 9;
  bool const consistent = ocr_reading_consistent(digits);
  bool const unique = count >= 17 && consistent && ocr_solution_count(digits) == 1;
  return (count >= 17 ? 4000 : 0) + (consistent ? 2000 : 0) + (unique ? 1000 : 0) + count;
}
