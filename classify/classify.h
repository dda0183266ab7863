// Technique-level classification: how hard a clue grid is for a person, by the
// hardest rung of a fixed technique ladder that the logical solver needs, with the
// completion counter settling what logic cannot finish.
#pragma once

#include "model/types.h"
#include "util/export.h"

// The sixteen rungs, easiest first: 0, 1, 2, 3, 4, 7, 8, 25, 12, 51, 9, 10, 11, 5, 17, 26.
constexpr int kLadderLength = 16;
extern "C" NONET_EXPORT METHOD_TYPE const level_ladder[kLadderLength];

// (extension) Position 0..15 of m on the ladder; -1 when m is not a rung.
NONET_EXPORT int ladder_position(int m);

// (extension) The label of a level index -1..16 (UTF-8; the dash is U+2014). Index 0 names the
// quickie or the easy form; any other index outside -1..16 gives "".
NONET_EXPORT char const* level_label(int level_index, bool quickie);

struct PuzzleClassifyResult {
  char const* bucket;  // a bucket word or "unsolvable" (static)
  char const* label;   // a ladder label, or the contradiction label (static)
  int level_index;     // -1 (nothing solved by logic), 0..15 (ladder position), 16 (completion count)
  bool solved;
  bool has_solution;
  bool unique;
  bool budget_exhausted;
  int method[81];  // -2 given or unsolved; rung value or statistics slot 30..52; 27 from the completion
  int value[81];   // clue, digit found, or 0
  bool given[81];
  int n_givens;
};

// Clue values outside 0..9 read as empty everywhere below. A group map that is not
// nine groups of nine cells numbered 0..8 reads as the 3x3 boxes (as loaded boards do).

// The main entry: checks the clues, rates the canonical form and maps the per-cell
// results back to the caller's orientation and digits. budget < 1: no practical limit.
NONET_EXPORT PuzzleClassifyResult classify_puzzle(MAP_TYPE map, ADJACENCY_TYPE adj, int const clues[9][9],
                                                  int const grp[9][9], long budget);
// The same without consistency check and canonical form: rates the grid as given.
NONET_EXPORT PuzzleClassifyResult classify_puzzle_direct(MAP_TYPE map, ADJACENCY_TYPE adj, int const clues[9][9],
                                                         int const grp[9][9], long budget);
// Rates all eight orientations (no relabelling) and keeps the easiest uniquely solved one;
// writes its orientation 0..7 to *orientation when not null.
NONET_EXPORT PuzzleClassifyResult classify_puzzle_best_orientation(MAP_TYPE map, ADJACENCY_TYPE adj,
                                                                   int const clues[9][9], int const grp[9][9],
                                                                   long budget, int* orientation);
// The bucket of classify_puzzle.
NONET_EXPORT char const* classify_puzzle_for_pool(MAP_TYPE map, ADJACENCY_TYPE adj, int const clues[9][9],
                                                  int const grp[9][9], long budget);

// The 81 candidate masks (bit d = digit d) a player faces once everything easier than
// level has been applied. 0 when out is null, else 1.
NONET_EXPORT int candidate_state_at_level(MAP_TYPE map, ADJACENCY_TYPE adj, int const clues[9][9],
                                          int const grp[9][9], METHOD_TYPE level, int* out);

// The hardest technique in a method_counts block (at least 52 entries): the used value
// latest on the ladder, values off the ladder above all rungs. Statistics slots rank as
// the technique that counts them: 13 and 14 as 12, 19 as 18, 20..23 as 5.
NONET_EXPORT METHOD_TYPE hardest_method_used(int const* counts);
// Bucket index of a technique (statistics slots as in hardest_method_used); 1 never comes back.
NONET_EXPORT int method_type_to_bucket(METHOD_TYPE m);

// Name tables.
NONET_EXPORT int gen_bucket_index(char const* name);  // exact bucket word -> 0..9, else -1
NONET_EXPORT char const* gen_bucket_name(int i);      // 0..9 -> bucket word, else ""
NONET_EXPORT char const* gen_map_name(int i);         // 0 "square", 1 "irregular", else ""
NONET_EXPORT char const* gen_adj_name(int i);         // 0 "regular", 1 "x", else ""
// Bucket words and their aliases ("medium", "expert", "ultimate", "bruteforce") -> 0..9; -1 else.
NONET_EXPORT int parse_bucket_name(char const* name);

// Internal pieces, exported for tests and tools.
NONET_EXPORT bool clues_consistent(ADJACENCY_TYPE adj, int const clues[9][9], int const grp[9][9]);
NONET_EXPORT bool atom_fits_level(int atom, int level);
class Puzzle;
NONET_EXPORT void setup_puzzle_from_grids(Puzzle& puzzle, MAP_TYPE map, ADJACENCY_TYPE adj, int const clues[9][9],
                                          int const grp[9][9]);
// (extension) On this thread, every rung runs the whole solve() even where the rungs below left the
// board stuck (the definition the shortcut must agree with; for tests).
NONET_EXPORT void classify_use_full_rungs(bool on);
// (extension) True when grp is nine groups of nine cells numbered 0..8.
NONET_EXPORT bool group_map_is_partition(int const grp[9][9]);
