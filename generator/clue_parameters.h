// Per-difficulty generation parameters and rating weights.
#pragma once

#include <cstdint>

#include "model/types.h"
#include "util/export.h"

// One clue-budget atom. Of the non-top atoms of an entry only `method` is read.
struct CLUE_ATOM {
  int32_t min_clues;
  int32_t max_clues;
  METHOD_TYPE method;      // hardest technique the solver may use
  int32_t rating_set;      // row of rating_coefficients
  int32_t stop_on_exact;   // end the try loop at the first better try with exactly n_clues
  int32_t tries[3];        // by UI_QUALITY
  int32_t clue_cdf[16];    // cumulative weights of the counts min_clues + i
};

struct CLUE_PARAMETERS {
  int32_t n_atoms;
  int32_t atom_order[8];
  CLUE_ATOM atoms[8];

  CLUE_ATOM const& top_atom() const { return atoms[atom_order[n_atoms - 1]]; }
};

static_assert(sizeof(CLUE_ATOM) == 24 * 4);

extern "C" {
// Indexed [difficulty][map_type][adjacency_type].
NONET_EXPORT extern CLUE_PARAMETERS const clue_parameters[10][2][2];
// Row = top atom's rating_set; column 0 weighs the clue term, column k weighs method_counts[k-1].
NONET_EXPORT extern int32_t const rating_coefficients[8][28];
}
