// The C handle is an opaque pointer to one Puzzle.
#pragma once

#include "api/engine_api.h"
#include "model/puzzle.h"

inline Puzzle* as_puzzle(SudokuPuzzle* h) { return reinterpret_cast<Puzzle*>(h); }
inline SudokuPuzzle* as_handle(Puzzle* p) { return reinterpret_cast<SudokuPuzzle*>(p); }

// Argument normalisation shared by the loading and generation calls.
inline MAP_TYPE normalised_map(int map) { return map == 1 ? MAP_IRREGULAR : MAP_REGULAR; }
inline ADJACENCY_TYPE normalised_adjacency(int adjacency) { return adjacency == 1 ? ADJ_X : ADJ_NONE; }
inline UI_DIFFICULTY normalised_difficulty(int difficulty) {
  return (difficulty == 0 || (difficulty >= 2 && difficulty <= 9)) ? static_cast<UI_DIFFICULTY>(difficulty)
                                                                    : UI_EASY;
}
