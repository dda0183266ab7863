// Boards and helpers shared by the tests.
#pragma once

#include <array>
#include <cstring>
#include <string>

#include "api/engine_api.h"
#include "model/matrix.h"
#include "model/puzzle.h"

namespace test_boards {

inline constexpr char kClassicPuzzle[] =
    "53..7....6..195....98....6.8...6...34..8.3..17...2...6.6....28....419..5....8..79";
inline constexpr char kClassicSolution[] =
    "534678912672195348198342567859761423426853791713924856961537284287419635345286179";

inline Matrix<int, 9> square_map() {
  Matrix<int, 9> m;
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) m[r][c] = square_group_map[r][c];
  return m;
}

inline std::array<int, 81> digits_of(char const* grid81) {
  std::array<int, 81> out{};
  for (int i = 0; i < 81; ++i) out[i] = (grid81[i] >= '1' && grid81[i] <= '9') ? grid81[i] - '0' : 0;
  return out;
}

inline std::array<int, 81> square_groups() {
  std::array<int, 81> g{};
  for (int i = 0; i < 81; ++i) g[i] = square_group_map[i / 9][i % 9];
  return g;
}

// A handle holding the classic puzzle in play form.
inline SudokuPuzzle* new_classic_handle(int adjacency = 0) {
  SudokuPuzzle* h = sudoku_new();
  auto clues = digits_of(kClassicPuzzle);
  auto solution = digits_of(kClassicSolution);
  auto groups = square_groups();
  int colors[9] = {0, 1, 0, 1, 0, 1, 0, 1, 0};
  sudoku_build_from_clues(h, 0, adjacency, 3, clues.data(), solution.data(), groups.data(), colors);
  return h;
}

// A board (generation convention: one-bit solutions) set up on the given map with
// the clues of grid81 applied as givens.
inline void load_generation_board(Puzzle& p, char const* clues81, char const* solution81,
                                  Matrix<int, 9> const& groups, ADJACENCY_TYPE adjacency = ADJ_NONE) {
  p.set_types(MAP_REGULAR, adjacency);
  p.set_difficulty(UI_EASY);
  p.setup(groups);
  for (int i = 0; i < 81; ++i) {
    p.cells[i].solution = static_cast<int32_t>(1u << (solution81[i] - '0'));
    p.cells[i].mask = (clues81[i] >= '1' && clues81[i] <= '9') ? 1 : 0;
  }
  p.apply_mask();
  p.define_are_neighbors_array();
  p.define_overlap_maps();
}

}  // namespace test_boards
