// Handles, board building, byte loading and transforms.
#include <cstring>

#include "api/handle.h"
#include "api/last_error.h"
#include "util/combinations.h"

extern "C" {

SudokuPuzzle* sudoku_new(void) {
  initialize_comb_routine();
  Puzzle* p = new Puzzle();
  // A fresh handle reads as an empty board rather than as uninitialised memory.
  std::memset(static_cast<void*>(p), 0, sizeof(Puzzle));
  return as_handle(p);
}

void sudoku_free(SudokuPuzzle* h) { delete as_puzzle(h); }

int sudoku_build_from_clues(SudokuPuzzle* h, int map, int adjacency, int difficulty, int const clues[81],
                            int const solution[81], int const groups[81], int const colors[9]) {
  // An invalid group map would give the board broken houses: refuse it.
  clear_last_error();
  int sizes[9] = {0};
  bool valid = true;
  for (int i = 0; i < 81 && valid; ++i) {
    valid = groups[i] >= 0 && groups[i] <= 8;
    if (valid) ++sizes[groups[i]];
  }
  for (int s : sizes) valid = valid && s == 9;
  if (!valid) {
    set_last_error(SUDOKU_ERROR_INVALID_GROUPS, "the group map is not nine groups of nine cells numbered 0..8");
    return 0;
  }

  Puzzle* p = as_puzzle(h);
  p->set_types(normalised_map(map), normalised_adjacency(adjacency));
  p->set_difficulty(normalised_difficulty(difficulty));
  Matrix<int, 9> m;
  std::memcpy(m.data(), groups, sizeof(int) * 81);
  p->setup(m);
  p->set_color_map(colors);
  for (int i = 0; i < 81; ++i) {
    p->cells[i].solution = static_cast<int32_t>(1u << (static_cast<unsigned>(solution[i]) & 31u));
    p->cells[i].mask = clues[i] != 0 ? 1 : 0;
  }
  p->apply_mask();
  p->define_are_neighbors_array();
  p->setup_ptrs_first_in_dims();
  p->make_ready_for_UI();
  return 1;
}

void sudoku_setup_loaded(SudokuPuzzle* h, int map, int adjacency) {
  Puzzle* p = as_puzzle(h);
  p->set_types(normalised_map(map), normalised_adjacency(adjacency));
  for (auto& cell : p->cells) {
    // small_mode is a bool: any non-zero byte from outside means "on".
    unsigned char raw;
    std::memcpy(&raw, &cell.small_mode, 1);
    raw = raw != 0;
    std::memcpy(&cell.small_mode, &raw, 1);
  }
  p->rebuild_geometry_from_groups();
  p->define_are_neighbors_array();
  p->setup_ptrs_first_in_dims();
}

void sudoku_get_puzzle_bytes(SudokuPuzzle* h, void* out) { std::memcpy(out, as_puzzle(h)->cells, PUZZLE_BYTES); }

void sudoku_set_puzzle_bytes(SudokuPuzzle* h, void const* in) {
  std::memcpy(static_cast<void*>(as_puzzle(h)->cells), in, PUZZLE_BYTES);
}

int sudoku_puzzle_byte_size(void) { return static_cast<int>(PUZZLE_BYTES); }

void sudoku_transform_puzzle(SudokuPuzzle* h, unsigned transform, int const digit_map[9]) {
  clear_last_error();
  bool valid = h && digit_map && transform <= 7;
  bool used[10] = {false};
  for (int i = 0; i < 9 && valid; ++i) {
    int const d = digit_map[i];
    valid = d >= 1 && d <= 9 && !used[d];
    if (valid) used[d] = true;
  }
  if (!valid) {
    set_last_error(SUDOKU_ERROR_INVALID_ARGUMENT,
                   "sudoku_transform_puzzle needs a handle, a transform 0..7 and a permutation of 1..9");
    return;
  }
  Puzzle* p = as_puzzle(h);
  PUZZLE_CELL work[81];
  std::memcpy(work, p->cells, sizeof work);
  Puzzle temp;
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      int dr = r, dc = c;
      switch (transform) {
        case 1: dr = 8 - r; break;
        case 2: dc = 8 - c; break;
        case 3: dr = 8 - r, dc = 8 - c; break;
        case 4: dr = c, dc = r; break;
        case 5: dr = 8 - c, dc = 8 - r; break;
        case 6: dr = c, dc = 8 - r; break;
        case 7: dr = 8 - c, dc = r; break;
        default: break;
      }
      PUZZLE_CELL moved = work[r * 9 + c];
      std::memset(moved.next_in_dim, 0, sizeof moved.next_in_dim);
      if (moved.solution >= 1 && moved.solution <= 9) moved.solution = digit_map[moved.solution - 1];
      if (moved.user_answer >= 1 && moved.user_answer <= 9) moved.user_answer = digit_map[moved.user_answer - 1];
      uint32_t marks = 0;
      for (int d = 1; d <= 9; ++d)
        if (moved.elim_bits & (1u << d)) marks |= 1u << digit_map[d - 1];
      moved.elim_bits = marks;
      temp.cells[dr * 9 + dc] = moved;
    }
  temp.setup_with_grp_set();
  std::memcpy(static_cast<void*>(p->cells), temp.cells, sizeof work);
}

}  // extern "C"
