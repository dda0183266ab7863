#include "classify/canonical.h"

#include <cstring>

void orient_cell(int t, int r, int c, int* out_r, int* out_c) {
  switch (t & 7) {
    case 0: *out_r = r, *out_c = c; break;
    case 1: *out_r = 8 - r, *out_c = c; break;
    case 2: *out_r = r, *out_c = 8 - c; break;
    case 3: *out_r = 8 - r, *out_c = 8 - c; break;
    case 4: *out_r = c, *out_c = r; break;
    case 5: *out_r = 8 - c, *out_c = 8 - r; break;
    case 6: *out_r = c, *out_c = 8 - r; break;
    default: *out_r = 8 - c, *out_c = r; break;
  }
}

void orient_grid(int t, int const grid[9][9], int oriented[9][9]) {
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      int tr, tc;
      orient_cell(t, r, c, &tr, &tc);
      oriented[tr][tc] = grid[r][c];
    }
}

void orient_back(int t, int const oriented_result[9][9], int result[9][9]) {
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      int tr, tc;
      orient_cell(t, r, c, &tr, &tc);
      result[r][c] = oriented_result[tr][tc];
    }
}

namespace {

struct Candidate {
  int clues[9][9];
  int groups[9][9];
  int dm[10];  // input digit -> canonical digit
  char key[163];
};

void build_candidate(int t, int const clues[9][9], int const grp[9][9], Candidate& out) {
  int oriented_clues[9][9], oriented_groups[9][9];
  orient_grid(t, clues, oriented_clues);
  orient_grid(t, grp, oriented_groups);

  int group_number[16];
  for (int& g : group_number) g = -1;
  int next_group = 0;
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      int g = oriented_groups[r][c];
      if (g < 0 || g > 15) g = 0;
      if (group_number[g] < 0) group_number[g] = next_group++;
      out.groups[r][c] = group_number[g];
    }

  std::memset(out.dm, 0, sizeof out.dm);
  int k = 0;
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      int const v = oriented_clues[r][c];
      if (v >= 1 && v <= 9 && out.dm[v] == 0) out.dm[v] = ++k;
    }
  for (int d = 1; d <= 9; ++d)
    if (out.dm[d] == 0) out.dm[d] = ++k;
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      int const v = oriented_clues[r][c];
      out.clues[r][c] = v >= 1 && v <= 9 ? out.dm[v] : 0;
    }

  for (int i = 0; i < 81; ++i) {
    out.key[i] = static_cast<char>('0' + out.clues[i / 9][i % 9]);
    out.key[81 + i] = static_cast<char>('0' + out.groups[i / 9][i % 9]);
  }
  out.key[162] = '\0';
}

}  // namespace

int canonicalize(int const clues[9][9], int const grp[9][9], int out_clues[9][9], int out_grp[9][9],
                 int digit_map[10]) {
  Candidate best, trial;
  int best_t = 0;
  build_candidate(0, clues, grp, best);
  for (int t = 1; t < 8; ++t) {
    build_candidate(t, clues, grp, trial);
    if (std::strcmp(trial.key, best.key) < 0) {
      best = trial;
      best_t = t;
    }
  }
  std::memcpy(out_clues, best.clues, sizeof best.clues);
  std::memcpy(out_grp, best.groups, sizeof best.groups);
  digit_map[0] = 0;
  for (int d = 1; d <= 9; ++d) digit_map[best.dm[d]] = d;
  return best_t;
}

void canonical_form(int const clues[9][9], int const grp[9][9], int out_clues[9][9], int out_grp[9][9],
                    int* transform, int* const relabel) {
  int digit_map[10];
  int const t = canonicalize(clues, grp, out_clues, out_grp, digit_map);
  if (transform) *transform = t;
  if (relabel) {
    for (int d = 0; d < 10; ++d) relabel[d] = 0;
    for (int k = 1; k <= 9; ++k) {
      int const m = digit_map[k];
      if (m >= 1 && m <= 9) relabel[m] = k;
    }
  }
}
