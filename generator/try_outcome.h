// What the generator's try loop keeps of each try: the best board so far, and the
// tally of the tries that did not win (reported when no try was acceptable). Shared
// by the loop on the calling thread and the loop that runs tries on several threads.
#pragma once

#include <cstring>

#include "generator/clue_parameters.h"
#include "model/puzzle.h"

namespace generation {

inline CLUE_PARAMETERS const& entry_for(Puzzle const& p) {
  return clue_parameters[p.difficulty][p.map_type][p.adjacency_type];
}

// A saved board: its cells and statistics, copied by value (never the whole Puzzle).
struct BoardSave {
  PUZZLE_CELL cells[81];
  int32_t counts[N_METHOD_COUNTS];

  void take(Puzzle const& p) {
    std::memcpy(cells, p.cells, sizeof cells);
    std::memcpy(counts, p.method_counts, sizeof counts);
  }
  void give(Puzzle& p) const {
    std::memcpy(static_cast<void*>(p.cells), cells, sizeof cells);
    std::memcpy(p.method_counts, counts, sizeof counts);
  }
};

// One finished try, as the loop judges it.
struct TryOutcome {
  int rating = 0;
  int clues = 0;             // method_counts[kSlotClueCount]
  bool has_technique = false;  // some atom method of the entry was used
  int totals[6] = {};        // method_counts of MULTIPLE_DIGITS, DOUBLE_RESTRICTION, ALMOST_LOCKED_SETS,
                             // X_WING, X_CHAINS and XY_CHAINS

  static TryOutcome of(Puzzle& p, int rating) {
    TryOutcome o;
    o.rating = rating;
    o.clues = p.method_counts[kSlotClueCount];
    o.has_technique = p.at_least_one_technique_for_difficulty(p.method_counts);
    int const slots[6] = {MULTIPLE_DIGITS, DOUBLE_RESTRICTION, ALMOST_LOCKED_SETS, X_WING, X_CHAINS, XY_CHAINS};
    for (int k = 0; k < 6; ++k) o.totals[k] = p.method_counts[slots[k]];
    return o;
  }
};

// The tally of tries that did not beat the best so far.
struct TryTally {
  int too_many_clues[81] = {};
  int smallest_seen = 81;
  int no_removable = 0;
  int wrong_technique = 0;
  int totals[6] = {};  // by_mult, dbl_restr, als, x_wing, x_chain, xy_chain

  void add_losing_try(TryOutcome const& o, int max_clues) {
    if (o.clues < smallest_seen) smallest_seen = o.clues;
    if (o.clues > max_clues)
      ++too_many_clues[o.clues < 81 ? o.clues : 80];
    else if (o.has_technique)
      ++no_removable;
    else
      ++wrong_technique;
    for (int k = 0; k < 6; ++k) totals[k] += o.totals[k];
  }
};

}  // namespace generation

namespace generation {

// The end of the try loop: restores the best board (null when no try rated above 0)
// and returns the target clue count, or prints the failure report and returns -3;
// after a stop (cancel), -4 unless the best may still be taken. tries_made is the
// number reported as tries.
int finish_tries(Puzzle& p, int best_rating, BoardSave const* best, int tries_made, int itries, time_t start,
                 bool stopped, TryTally const& tally);

}  // namespace generation
