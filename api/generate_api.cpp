// Generation calls: a new puzzle or a complete solution in a handle, with cancel
// and deadline.
#include <cstdio>
#include <cstring>

#include "api/handle.h"
#include "groupmap/group_map.h"
#include "util/clock.h"
#include "util/message.h"

namespace {

// Steps shared by both calls: clear the stop flags, make the group map, set up the
// board and build a random solution. Returns false after printing failed_message.
bool build_solution(Puzzle* p, int map, int adjacency, UI_DIFFICULTY difficulty, char const* failed_message) {
  p->store_both_stop_flags(false);
  MAP_TYPE const map_type = normalised_map(map);
  GroupMap groups(map_type);
  p->set_types(map_type, normalised_adjacency(adjacency));
  p->set_difficulty(difficulty);
  p->setup(groups.groupMap);
  p->set_color_map(groups.colorMap);
  p->define_are_neighbors_array();
  p->setup_ptrs_first_in_dims();
  if (!p->construct_solution()) {
    engine_message("%s", failed_message);
    return false;
  }
  return !p->cancel_is_requested() && !p->deadline_has_passed();
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
    return 0;
  }
  if (p->cancel_is_requested()) return 0;
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

void sudoku_set_deadline_ms(SudokuPuzzle* h, int ms) {
  Puzzle* p = as_puzzle(h);
  p->deadline_ms = ms < 1 ? 0 : steady_now_ms() + ms;
}

}  // extern "C"
