// A scratch board for work that must not touch the live one (a finned-fish
// attempt, a hint's trial of the ladder). It copies what the techniques read
// (cells, overlap map, house entry points) and borrows the live board's read-only
// neighbour table instead of building its own; the destructor hands the table
// back so the scratch never frees it. Nothing here allocates.
#pragma once

#include <cstring>

#include "model/puzzle.h"

class ScratchBoard {
 public:
  explicit ScratchBoard(Puzzle const& live) {
    static_cast<PuzzleData&>(board) = static_cast<PuzzleData const&>(live);
    // The stop flags are not copied: another thread may be writing the live ones.
    board.cancel_requested = false;
    board.deadline_passed = false;
    std::memcpy(board.line_group_overlap, live.line_group_overlap, sizeof board.line_group_overlap);
    std::memset(board.method_counts, 0, sizeof board.method_counts);
    for (int d = 0; d < 5; ++d)
      for (int h = 0; h < 9; ++h) {
        PUZZLE_CELL* const p = live.ptrs_first_in_dims[d][h];
        board.ptrs_first_in_dims[d][h] = p ? board.cells + (p - live.cells) : nullptr;
      }
    board.are_neighbors_array = live.are_neighbors_array;
  }
  ~ScratchBoard() { board.are_neighbors_array = nullptr; }
  ScratchBoard(ScratchBoard const&) = delete;
  ScratchBoard& operator=(ScratchBoard const&) = delete;

  Puzzle board;
};
