// A quick test of whether a board's clues leave a second solution. Clue removal asks
// it before running the logical solver: a clue set with two solutions can never be
// solved logically (no technique of the ladder assumes a unique solution), and
// proving that by running the whole ladder, up to forcing nets, costs far more than
// finding the second solution by search.
#pragma once

#include <cstdint>

class Puzzle;

class UniquenessProbe {
 public:
  // Takes the board's houses: rows, columns, groups and, on X boards, both diagonals.
  explicit UniquenessProbe(Puzzle const& board);

  // True when the clues (mask bit 0; digits from solution, one-bit masks) certainly
  // have a second solution; false when they have exactly one, or when the search ran
  // out of budget (the caller then decides the slow way).
  bool has_second_solution(Puzzle const& board);

  // The same answer when the board had exactly one solution with the clues at cell_a
  // and cell_b (-1: none) still in place, and those clues are now removed: any second
  // solution then differs from the first at one of the two cells, so only those
  // digits need trying, which is much quicker on sparse boards.
  bool has_second_solution_after_removing(Puzzle const& board, int cell_a, int cell_b);

 private:
  struct Position {
    uint16_t used[29];  // digits placed per house, bit d - 1
    int8_t empty[81];   // cells still open
    int n_empty;
    bool open[81];
  };
  uint16_t open_digits(Position const& p, int cell) const;
  static int slot_of(Position const& p, int cell);  // index of an open cell in empty
  void place(Position& p, int slot, uint16_t bit) const;
  void unplace(Position& p, int slot, int cell, uint16_t bit) const;
  bool load(Puzzle const& board, Position& p) const;  // false when clues clash
  // Solutions, stopping at limit; -1 when out of budget.
  int count(Position& p, long& budget, int limit);

  int8_t houses_[81][5];
  int8_t n_houses_[81];
  int8_t house_cells_[29][9];
  int n_house_cells_ = 27;
};
