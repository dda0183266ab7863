// Generation calls: a new puzzle or a complete solution in a handle, with cancel
// and deadline.
#include <cstdio>
#include <cstring>

#include "api/handle.h"
#include "api/last_error.h"
#include "groupmap/group_map.h"
#include "util/clock.h"
#include "util/message.h"

namespace {

// Records why a stopped or failed construction returned 0. sudoku_cancel sets both flags, so
// the cancel flag decides first.
void record_stop_reason(Puzzle const* p, int otherwise_code, char const* otherwise_message) {
  if (p->cancel_is_requested())
    set_last_error(SUDOKU_ERROR_CANCELLED, "the generation was cancelled");
  else if (p->deadline_has_passed())
    set_last_error(SUDOKU_ERROR_DEADLINE, "the solution deadline passed");
  else
    set_last_error(otherwise_code, otherwise_message);
}

// Steps shared by both calls: clear the stop flags, make the group map, set up the
// board and build a random solution. Returns false after printing failed_message.
bool build_solution(Puzzle* p, int map, int adjacency, UI_DIFFICULTY difficulty, char const* failed_message) {
  clear_last_error();
  p->store_both_stop_flags(false);
  MAP_TYPE const map_type = normalised_map(map);
  GroupMap groups(map_type);
  if (groups.usedSquareFallback) {
    // The box map in a board typed irregular would be filed as a jigsaw puzzle: refuse.
    set_last_error(SUDOKU_ERROR_MAPS_NOT_FOUND,
                   "no jigsaw map could be read from the group-maps directory (sudoku_set_group_maps_dir or "
                   "$SUDOKU_GROUP_MAPS_DIR)");
    return false;
  }
  p->set_types(map_type, normalised_adjacency(adjacency));
  p->set_difficulty(difficulty);
  p->setup(groups.groupMap);
  p->set_color_map(groups.colorMap);
  p->define_are_neighbors_array();
  p->setup_ptrs_first_in_dims();
  if (!p->construct_solution()) {
    engine_message("%s", failed_message);
    record_stop_reason(p, SUDOKU_ERROR_NO_SOLUTION, "no complete solution fits the board's houses");
    return false;
  }
  if (p->cancel_is_requested() || p->deadline_has_passed()) {
    record_stop_reason(p, SUDOKU_ERROR_DEADLINE, "the solution deadline passed");
    return false;
  }
  return true;
}

}  // namespace

extern "C" {

int sudoku_generate(SudokuPuzzle* h, int map, int adjacency, int difficulty, int /*quality*/) {
  Puzzle* p = as_puzzle(h);
  if (!build_solution(p, map, adjacency, normalised_difficulty(difficulty),
                      "sudoku_generate: construct_solution failed\n"))
    return 0;
  // Construction always works at the highest effort.
  if (p->construct_puzzle(UI_QUALITY_2, p->map_type) < 1) {
    engine_message("sudoku_generate: construct_puzzle failed\n");
    record_stop_reason(p, SUDOKU_ERROR_NO_PUZZLE, "no try met the level: call again");
    return 0;
  }
  if (p->cancel_is_requested()) {
    record_stop_reason(p, SUDOKU_ERROR_CANCELLED, "the generation was cancelled");
    return 0;
  }
  p->make_ready_for_UI();
  p->define_are_neighbors_array();
  return 1;
}

int sudoku_generate_solution(SudokuPuzzle* h, int map, int adjacency) {
  Puzzle* p = as_puzzle(h);
  if (!build_solution(p, map, adjacency, UI_EASY, "sudoku_generate_solution: construct_solution failed\n")) return 0;
  p->make_ready_for_UI();
  p->define_are_neighbors_array();
  return 1;
}

void sudoku_cancel(SudokuPuzzle* h) { as_puzzle(h)->store_both_stop_flags(true); }

void sudoku_set_generation_threads(SudokuPuzzle* h, int n) {
  as_puzzle(h)->generation_threads = n < 1 ? 1 : n > 64 ? 64 : n;
}

void sudoku_set_deadline_ms(SudokuPuzzle* h, int ms) {
  Puzzle* p = as_puzzle(h);
  p->deadline_ms = ms < 1 ? 0 : steady_now_ms() + ms;
}

}  // extern "C"
