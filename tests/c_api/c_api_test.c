/* A host written in C99 against the public header alone: builds a board from its
   clues, checks geometry and play with the named values, asks why a call failed, and
   runs random bytes through the loading path. */
#include <stdio.h>
#include <stddef.h>
#include <stdlib.h>
#include <string.h>

#include "check.h"
#include "engine_api.h"

/* The hint record's layout is fixed: a C host reads it through the header alone. */
typedef char hint_size_is_fixed[sizeof(SudokuHint) == SUDOKU_HINT_SIZE ? 1 : -1];
typedef char hint_text_is_last[offsetof(SudokuHint, text) + SUDOKU_HINT_TEXT_SIZE == SUDOKU_HINT_SIZE ? 1 : -1];
typedef char hint_eliminations_at_92[offsetof(SudokuHint, eliminations) == 92 ? 1 : -1];

/* Follows hints on a fresh board of the puzzle to the end: every placement is the
   solution's digit and no elimination removes it. Returns the number of steps. */
static int follow_hints(SudokuPuzzle* h, int const solution[81]) {
  SudokuHint hint;
  int steps = 0, k;
  while (sudoku_hint(h, &hint) == 1 && steps < 729) {
    CHECK(hint.kind == SUDOKU_HINT_STEP);
    CHECK(hint.name[0] != '\0' && hint.text[0] != '\0');
    for (k = 0; k < hint.n_placements; ++k) CHECK(hint.placements[k][1] == solution[hint.placements[k][0]]);
    for (k = 0; k < hint.n_eliminations; ++k) CHECK(hint.eliminations[k][1] != solution[hint.eliminations[k][0]]);
    CHECK(sudoku_apply_hint(h, &hint) == 1);
    ++steps;
  }
  CHECK(hint.kind == SUDOKU_HINT_NONE);
  return steps;
}

static char const* const kPuzzle =
    "53..7....6..195....98....6.8...6...34..8.3..17...2...6.6....28....419..5....8..79";
static char const* const kSolution =
    "534678912672195348198342567859761423426853791713924856961537284287419635345286179";

int main(void) {
  int clues[81], solution[81], groups[81], colors[9], counts[10], view[9];
  int i, state, givens = 0;
  unsigned char* bytes;
  SudokuPuzzle* h = sudoku_new();
  SudokuPuzzle* copy;

  for (i = 0; i < 81; ++i) {
    clues[i] = kPuzzle[i] == '.' ? 0 : kPuzzle[i] - '0';
    solution[i] = kSolution[i] - '0';
    groups[i] = (i / 27) * 3 + (i % 9) / 3;
    givens += clues[i] != 0;
  }
  for (i = 0; i < 9; ++i) colors[i] = i % 2;

  CHECK(sudoku_version() == NONET_VERSION_NUMBER);
  CHECK(NONET_VERSION_NUMBER == NONET_VERSION_MAJOR * 10000 + NONET_VERSION_MINOR * 100 + NONET_VERSION_PATCH);
  CHECK(sudoku_puzzle_byte_size() == 5184);

  /* A broken group map is refused, and the reason says so. */
  {
    char why[64];
    groups[80] = 0;
    CHECK(sudoku_build_from_clues(h, SUDOKU_MAP_REGULAR, SUDOKU_ADJACENCY_NONE, SUDOKU_DIFFICULTY_MODERATE, clues,
                                  solution, groups, colors) == 0);
    CHECK(sudoku_last_error(why, (int)sizeof why) == SUDOKU_ERROR_INVALID_GROUPS);
    CHECK(strncmp(why, "invalid_groups: ", 16) == 0);
    groups[80] = 8;
  }
  CHECK(sudoku_build_from_clues(h, SUDOKU_MAP_REGULAR, SUDOKU_ADJACENCY_NONE, SUDOKU_DIFFICULTY_MODERATE, clues,
                                solution, groups, colors) == 1);
  CHECK(sudoku_last_error(NULL, 0) == SUDOKU_OK);
  CHECK(sudoku_distance(h) == 81 - givens);
  CHECK(sudoku_get_state(h, counts) == SUDOKU_STATE_PLAYING);
  CHECK(sudoku_are_neighbors(h, 0, 80) == 0);
  CHECK(sudoku_are_neighbors(h, 40, 40) == 1);
  sudoku_get_cell(h, 40, view);
  CHECK(view[SUDOKU_CELL_GROUP] == 4 && view[SUDOKU_CELL_ROW] == 4 && view[SUDOKU_CELL_COLUMN] == 4);
  sudoku_get_cell(h, 0, view);
  CHECK(view[SUDOKU_CELL_SOLUTION] == 5 && (view[SUDOKU_CELL_MASK] & 1) == 1);

  /* A quarter turn clockwise takes the top-left cell to the top-right; four of them take the
     board home. */
  {
    int const same[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    int turn;
    sudoku_transform_puzzle(h, SUDOKU_TRANSFORM_QUARTER_TURN_CW, same);
    sudoku_setup_loaded(h, SUDOKU_MAP_REGULAR, SUDOKU_ADJACENCY_NONE);
    sudoku_get_cell(h, 8, view);
    CHECK(view[SUDOKU_CELL_SOLUTION] == 5);
    for (turn = 0; turn < 3; ++turn) sudoku_transform_puzzle(h, SUDOKU_TRANSFORM_QUARTER_TURN_CW, same);
    sudoku_setup_loaded(h, SUDOKU_MAP_REGULAR, SUDOKU_ADJACENCY_NONE);
    sudoku_get_cell(h, 0, view);
    CHECK(view[SUDOKU_CELL_SOLUTION] == 5);
  }

  /* Hints: a wrong answer first, then steps to the end; bad input refused. */
  {
    SudokuHint hint;
    sudoku_set_user_answer(h, 2, kSolution[2] == '9' ? 1 : 9, 0, 1);
    CHECK(sudoku_hint(h, &hint) == 1 && hint.kind == SUDOKU_HINT_WRONG_ANSWER && hint.pattern[0] == 2);
    CHECK(sudoku_apply_hint(h, &hint) == 1);
    CHECK(follow_hints(h, solution) > 0);
    CHECK(sudoku_get_state(h, counts) == 1);
    CHECK(sudoku_hint(NULL, &hint) == -1 && hint.kind == SUDOKU_HINT_NONE);
    CHECK(sudoku_hint(h, NULL) == -1);
    CHECK(sudoku_apply_hint(h, NULL) == -1);
    sudoku_restart(h);
  }

  /* Enter every answer: solved. */
  for (i = 0; i < 81; ++i)
    if (!clues[i]) sudoku_set_user_answer(h, i, solution[i], 0, 1);
  state = sudoku_get_state(h, counts);
  CHECK(state == SUDOKU_STATE_SOLVED);
  CHECK(sudoku_distance(h) == 0);
  CHECK(counts[5] == 9);

  /* Bytes out and into a fresh handle play the same. */
  bytes = (unsigned char*)malloc((size_t)sudoku_puzzle_byte_size());
  sudoku_get_puzzle_bytes(h, bytes);
  copy = sudoku_new();
  sudoku_set_puzzle_bytes(copy, bytes);
  sudoku_setup_loaded(copy, 0, 0);
  CHECK(sudoku_get_state(copy, counts) == SUDOKU_STATE_SOLVED);
  sudoku_restart(copy);
  CHECK(sudoku_distance(copy) == 81 - givens);

  /* Random bytes must never take the engine outside the board. */
  srand(7);
  for (i = 0; i < 5184; ++i) bytes[i] = (unsigned char)(rand() & 0xFF);
  sudoku_set_puzzle_bytes(copy, bytes);
  sudoku_setup_loaded(copy, 1, 1);
  (void)sudoku_get_state(copy, counts);
  (void)sudoku_distance(copy);
  sudoku_digit_assistant_all(copy);
  sudoku_set_user_answer(copy, 10, 4, 3, 1);
  {
    int map[9] = {2, 3, 4, 5, 6, 7, 8, 9, 1};
    sudoku_transform_puzzle(copy, 6, map);
  }
  sudoku_setup_loaded(copy, 1, 1);
  sudoku_digit_assistant_update(copy);

  free(bytes);
  sudoku_free(copy);
  sudoku_free(h);
  sudoku_free(NULL);
  if (failures) {
    fprintf(stderr, "%d checks failed\n", failures);
    return 1;
  }
  printf("c_api_test: all checks passed\n");
  return 0;
}
