// A small, independent backtracking solution counter for the tests (bit masks
// per house, most-constrained cell first). Works on any group map, with or
// without the two diagonals as units.
#pragma once

#include <array>

namespace reference {

struct Counter {
  std::array<int, 81> grid{};
  int groups[81];
  bool x = false;
  unsigned row[9] = {0}, col[9] = {0}, grp[9] = {0}, diag = 0, anti = 0;
  int solutions = 0, limit = 2;
  std::array<int, 81> first_solution{};

  unsigned used(int i) const {
    int const r = i / 9, c = i % 9;
    unsigned u = row[r] | col[c] | grp[groups[i]];
    if (x && r == c) u |= diag;
    if (x && r + c == 8) u |= anti;
    return u;
  }
  void toggle(int i, int d) {
    unsigned const b = 1u << d;
    int const r = i / 9, c = i % 9;
    row[r] ^= b, col[c] ^= b, grp[groups[i]] ^= b;
    if (x && r == c) diag ^= b;
    if (x && r + c == 8) anti ^= b;
  }
  void search() {
    int best = -1, best_count = 10;
    for (int i = 0; i < 81; ++i) {
      if (grid[i]) continue;
      int const n = 9 - __builtin_popcount(used(i) & 0x3FE);
      if (n < best_count) best = i, best_count = n;
    }
    if (best < 0) {
      if (solutions++ == 0) first_solution = grid;
      return;
    }
    unsigned const free = ~used(best) & 0x3FE;
    for (int d = 1; d <= 9 && solutions < limit; ++d)
      if (free & (1u << d)) {
        grid[best] = d;
        toggle(best, d);
        search();
        toggle(best, d);
        grid[best] = 0;
      }
  }
};

// Number of solutions of the clue grid, counting at most `limit`; 0 for
// inconsistent clues. solution (optional) receives the first one found.
inline int count_solutions(int const clues[81], int const groups[81], bool x, int limit = 2,
                           std::array<int, 81>* solution = nullptr) {
  Counter c;
  c.x = x;
  c.limit = limit;
  for (int i = 0; i < 81; ++i) c.groups[i] = groups[i];
  for (int i = 0; i < 81; ++i) {
    int const d = clues[i];
    if (!d) continue;
    if (c.used(i) & (1u << d)) return 0;
    c.grid[i] = d;
    c.toggle(i, d);
  }
  c.search();
  if (solution && c.solutions) *solution = c.first_solution;
  return c.solutions;
}

}  // namespace reference
