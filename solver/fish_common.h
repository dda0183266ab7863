// Helpers shared by the fish searches.
#pragma once

#include "model/puzzle.h"

namespace fish {

// The nine digits sorted by their number of occurrences in unsolved cells,
// fewest first (stable: ties keep digit order). Returns 9.
int sort_digits_by_unsolved_count(Puzzle const& p, int digits[9], int counts[9]);

// out[j] = list[comb[j]] for j < k.
inline void select(int const* list, int const* comb, int k, int* out) {
  for (int j = 0; j < k; ++j) out[j] = list[comb[j]];
}

// Number of leading entries of a house list that hold a house (unused entries are -1).
inline int list_length(int const* list) {
  int n = 0;
  while (n < 9 && list[n] >= 0) ++n;
  return n;
}

}  // namespace fish
