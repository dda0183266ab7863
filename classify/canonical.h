// The eight orientations of the grid and the canonical form of a (clue grid, group
// map) pair: one representative for all rotations, reflections and digit renamings.
#pragma once

#include "util/export.h"

// Orientation t (0..7) moves cell (r, c) of a grid to (*out_r, *out_c):
// 0 unchanged, 1 upside down, 2 mirrored left-right, 3 half turn, 4 main-diagonal
// reflection, 5 anti-diagonal reflection, 6 quarter turn clockwise, 7 anticlockwise.
NONET_EXPORT void orient_cell(int t, int r, int c, int* out_r, int* out_c);

// oriented[T_t(r, c)] = grid[r][c].
NONET_EXPORT void orient_grid(int t, int const grid[9][9], int oriented[9][9]);

// Per-cell results of an oriented grid back in the input's orientation:
// result[r][c] = oriented_result[T_t(r, c)].
NONET_EXPORT void orient_back(int t, int const oriented_result[9][9], int result[9][9]);

// Chooses, over the eight orientations, the smallest text of relabelled clues (digits
// named by first appearance) followed by renumbered groups (by first appearance).
// Writes that form, its digit_map (canonical digit -> input digit, entry 0 = 0) and
// returns its orientation. Clues outside 0..9 count as empty, groups outside 0..15 as 0.
NONET_EXPORT int canonicalize(int const clues[9][9], int const grp[9][9], int out_clues[9][9], int out_grp[9][9],
                              int digit_map[10]);

// canonicalize, reporting the orientation in *transform and the relabelling (input
// digit -> canonical digit, entry 0 = 0) in relabel, each when not null.
NONET_EXPORT void canonical_form(int const clues[9][9], int const grp[9][9], int out_clues[9][9], int out_grp[9][9],
                                 int* transform, int* const relabel);
