// Pattern notes: a technique that has just made its elimination can report the
// cells, houses and digits of the pattern it used (the fish's lines, the wing's
// pivot and pincers, the chain's cells). Nobody listens unless a recorder is
// attached to the calling thread (the hint engine does so around one technique
// call); without one every note is a call that tests a null pointer, made only on
// the success path, so the generator's solving is not slowed.
#pragma once

#include <cstdint>

#include "model/puzzle.h"

namespace pattern_note {

struct Pattern {
  static constexpr int kMaxCells = 81;
  static constexpr int kMaxHouses = 16;
  int n_cells;
  int cells[kMaxCells];    // in the order noted; chains note their cells from the last to the first
  int n_houses;
  int houses[kMaxHouses];  // DIMENSION * 9 + house index
  int n_base_houses;       // fish: the first n_base_houses of houses are the base set, the rest the cover set
  uint32_t digits;         // digit bits of the pattern

  void clear() {
    n_cells = n_houses = n_base_houses = 0;
    digits = 0;
  }
  void add_cell(int index) {
    for (int i = 0; i < n_cells; ++i)
      if (cells[i] == index) return;
    if (n_cells < kMaxCells) cells[n_cells++] = index;
  }
  void add_house(int dim, int house) {
    if (n_houses < kMaxHouses) houses[n_houses++] = dim * 9 + house;
  }
};

// The notes. They are out-of-line and marked cold so that the hot search code
// around a success path keeps its shape; each returns at once without a recorder.
bool active();
void attach(Pattern* recorder);
void cell(PUZZLE_CELL const* c);
void house(int dim, int index);
// The houses of a 9-bit set of house indices of one dimension.
void houses(int dim, uint32_t set);
void digits(uint32_t bits);
// A fish: base houses, then cover houses (each given as sets of house indices of
// lines and of groups), and its digit.
void fish(int base_dim, uint32_t base, uint32_t base_groups, int cover_dim, uint32_t cover, uint32_t cover_groups,
          uint32_t digit_bit);

// Attaches a recorder for the lifetime of the scope.
class Scope {
 public:
  explicit Scope(Pattern& recorder) {
    recorder.clear();
    attach(&recorder);
  }
  ~Scope() { attach(nullptr); }
  Scope(Scope const&) = delete;
  Scope& operator=(Scope const&) = delete;
};

}  // namespace pattern_note
