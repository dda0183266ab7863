// The engine's own solution construction on a given partition, with a count of its recursive
// calls (every attempt of the construction included): the call counter runs only while a
// deadline is set, so one is set (it also stops a run that would take very long).
#pragma once

#include <array>
#include <cstdint>

#include "model/matrix.h"
#include "model/puzzle.h"
#include "util/clock.h"

namespace engine_fill {

// The loader's turns: mirror maps (stored top-bottom) get rotate90 or rotate270, rotational maps
// identity, rotate270, reflectDiag00 or reflectLR.
inline int turn_count(bool mirror) { return mirror ? 2 : 4; }

inline Matrix<int, 9> turned(std::array<int, 81> const& groups, bool mirror, int turn) {
  Matrix<int, 9> m;
  for (int k = 0; k < 81; ++k) m.data()[k] = groups[k];
  if (mirror) {
    if (turn == 0) m.rotate90(); else m.rotate270();
  } else if (turn == 1) {
    m.rotate270();
  } else if (turn == 2) {
    m.reflectDiag00();
  } else if (turn == 3) {
    m.reflectLR();
  }
  return m;
}

struct Run {
  bool filled = false;   // construct_solution finished before the deadline
  bool valid = false;    // ... and its grid holds every digit once in every unit
  bool stopped = false;  // the deadline stopped it
  long calls = 0;        // recursive calls of all attempts
};

// Every unit (rows, columns, groups, and the diagonals when they are units) holds each digit once.
inline bool grid_is_valid(Puzzle const& p, bool diagonals) {
  unsigned seen[5][9] = {};
  for (auto const& cell : p.cells) {
    unsigned const bit = static_cast<unsigned>(cell.solution);
    if (__builtin_popcount(bit) != 1 || (bit & ~ALL_DIGITS)) return false;
    for (int dim = 0; dim < (diagonals ? 5 : 3); ++dim) {
      int const h = cell.house[dim];
      if (h < 0) continue;
      if (h > 8 || (seen[dim][h] & bit)) return false;
      seen[dim][h] |= bit;
    }
  }
  for (int dim = 0; dim < 3; ++dim)
    for (unsigned s : seen[dim])
      if (s != ALL_DIGITS) return false;
  return true;
}

// Sets a puzzle up as generation does and runs construct_solution once. Groups are 0..8.
inline Run run_once(Matrix<int, 9> const& groups, bool diagonals, long deadline_after_ms) {
  Puzzle p;
  int const colours[9] = {0, 1, 2, 3, 0, 1, 2, 3, 0};
  p.store_both_stop_flags(false);
  p.set_types(MAP_IRREGULAR, diagonals ? ADJ_X : ADJ_NONE);
  p.set_difficulty(UI_EASY);
  p.setup(groups);
  p.set_color_map(colours);
  p.define_are_neighbors_array();
  p.setup_ptrs_first_in_dims();
  p.deadline_ms = steady_now_ms() + deadline_after_ms;
  p.deadline_poll_count = 0;
  Run r;
  bool const ok = p.construct_solution();
  r.stopped = p.deadline_has_passed();
  r.filled = ok && !r.stopped;
  r.valid = r.filled && grid_is_valid(p, diagonals);
  r.calls = static_cast<long>(p.deadline_poll_count);
  return r;
}

}  // namespace engine_fill
