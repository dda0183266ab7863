// Seeded generator tries folded into a fingerprint: a seeded solution on a board of the
// level and kind, then `tries` tries (a fresh clue set made solvable, then thinned), each
// folded with its rating, clues, candidates and method counts. Shared by the generation
// replay test and the tries benchmark, whose fingerprints must not change when only
// the cost of a try does.
#pragma once

#include <cstdint>
#include <ctime>

#include "groupmap/group_map.h"
#include "model/puzzle.h"
#include "util/random.h"

namespace seeded_tries {

// FNV-1a over the bytes of a 32-bit word.
inline void fold(uint64_t& h, uint32_t v) {
  for (int b = 0; b < 4; ++b) {
    h ^= (v >> (8 * b)) & 0xFFu;
    h *= 1099511628211ull;
  }
}

// The fingerprint of the tries; leaves the random stream unseeded. *solution_built, when
// given, tells whether the seeded solution was made.
inline uint64_t fingerprint(int level, MAP_TYPE map, bool x, uint64_t seed, int tries,
                            bool* solution_built = nullptr) {
  sudoku_seed_random(seed);
  Puzzle p;
  GroupMap groups(map);
  p.set_types(map, x ? ADJ_X : ADJ_NONE);
  p.set_difficulty(static_cast<UI_DIFFICULTY>(level));
  p.setup(groups.groupMap);
  p.define_are_neighbors_array();
  p.setup_ptrs_first_in_dims();
  bool const built = p.construct_solution();
  p.set_n_clues(UI_QUALITY_2);
  p.set_symmetry();
  if (p.symmetry != 2) p.build_sym_pool();
  p.define_overlap_maps();
  if (solution_built) *solution_built = built;
  uint64_t h = 14695981039346656037ull;
  for (int t = 0; t < tries; ++t) {
    p.make_solvable_puzzle();
    fold(h, static_cast<uint32_t>(p.remove_clues_returning_rating(std::time(nullptr) + 600, 1)));
    for (auto const& cell : p.cells) {
      fold(h, cell.mask & 1u);
      fold(h, cell.elim_bits);
    }
    for (int i = 0; i < N_METHOD_COUNTS; ++i) fold(h, static_cast<uint32_t>(p.method_counts[i]));
  }
  sudoku_seed_random(0);
  return h;
}

}  // namespace seeded_tries
