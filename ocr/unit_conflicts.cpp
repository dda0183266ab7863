// Counting how often a reading breaks the rules of the puzzle it claims to be.
#include "ocr/ocr.h"

int ocr_digit_count(int const* digits) {
  int count = 0;
  if (digits)
    for (int i = 0; i < 81; ++i) count += digits[i] >= 1 && digits[i] <= 9;
  return count;
}

int ocr_unit_conflicts(int const* digits, int const* regions, bool diagonals) {
  if (!digits) return 0;
  // seen[unit] holds a bit per digit; units: 9 rows, 9 columns, 9 regions, 2 diagonals.
  int seen[29] = {};
  int repeats = 0;
  auto visit = [&](int unit, int bit) {
    if (seen[unit] & bit) ++repeats;
    seen[unit] |= bit;
  };
  for (int cell = 0; cell < 81; ++cell) {
    int const d = digits[cell];
    if (d < 1 || d > 9) continue;
    int const r = cell / 9, c = cell % 9, bit = 1 << d;
    visit(r, bit);
    visit(9 + c, bit);
    int const region = regions ? regions[cell] : 3 * (r / 3) + c / 3;
    if (region >= 0 && region <= 8) visit(18 + region, bit);
    if (diagonals && r == c) visit(27, bit);
    if (diagonals && r + c == 8) visit(28, bit);
  }
  return repeats;
}

bool ocr_reading_consistent(int const* digits, OcrPictureRules const& rules) {
  return digits && ocr_unit_conflicts(digits, rules.regions, rules.diagonals) == 0;
}
