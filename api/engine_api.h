/*
 * nonet: an engine for 9x9 number-placement puzzles.
 *
 * Conventions
 * - A puzzle handle (SudokuPuzzle*) is an opaque board owned by the host from
 *   sudoku_new() to sudoku_free(). One thread works on a handle at a time; the
 *   only call allowed concurrently with a running generation is sudoku_cancel().
 * - Integers are 32-bit. Results are 0/1 flags, counts or small codes.
 * - Grids are 81 ints in row-major order (cell = 9 * row + column); clue 0 is an
 *   empty cell, 1..9 a digit; group numbers are 0..8.
 * - Map arguments: 1 = irregular (jigsaw) groups, anything else = 3x3 boxes.
 *   Adjacency: 1 = both main diagonals are extra units, anything else = none.
 *   Difficulty: 0 and 2..9 as given, anything else = 1 ("easy").
 * - The interface trusts its caller for valid handles, cell indices 0..80,
 *   digits 0..9 and arrays of the stated sizes; only the calls documented so
 *   check for null. Bytes loaded with sudoku_set_puzzle_bytes() are not trusted:
 *   after sudoku_setup_loaded() no call reads or writes outside the board,
 *   whatever they held.
 */
#ifndef NONET_ENGINE_API_H
#define NONET_ENGINE_API_H

#include <stdint.h>

#if defined(_WIN32)
#define SUDOKU_API __declspec(dllimport)
#else
#define SUDOKU_API __attribute__((visibility("default")))
#endif

#ifdef __cplusplus
extern "C" {
#endif

typedef struct SudokuPuzzle SudokuPuzzle;

/* ---- Handles and loading ---- */

/* Creates an empty handle (never null). */
SUDOKU_API SudokuPuzzle* sudoku_new(void);
/* Frees a handle; null is ignored. */
SUDOKU_API void sudoku_free(SudokuPuzzle* h);
/* Builds a playable board from clues (non-zero = given), a complete solution (digits 1..9),
   a group map and nine group colours. Returns 1, or 0 (handle unchanged) when groups is not
   nine groups of nine cells numbered 0..8. */
SUDOKU_API int sudoku_build_from_clues(SudokuPuzzle* h, int map, int adjacency, int difficulty,
                                       int const clues[81], int const solution[81], int const groups[81],
                                       int const colors[9]);
/* Finishes a board whose cell records were loaded as bytes or transformed: rebuilds houses,
   ring links and the neighbour table for the given map and adjacency. */
SUDOKU_API void sudoku_setup_loaded(SudokuPuzzle* h, int map, int adjacency);
/* Copies the 81 cell records (sudoku_puzzle_byte_size() bytes) out of the handle. */
SUDOKU_API void sudoku_get_puzzle_bytes(SudokuPuzzle* h, void* out);
/* Copies 81 cell records into the handle; follow with sudoku_setup_loaded(). */
SUDOKU_API void sudoku_set_puzzle_bytes(SudokuPuzzle* h, void const* in);
/* Size of the cell records: 5184 bytes. */
SUDOKU_API int sudoku_puzzle_byte_size(void);
/* Moves the cells by symmetry 0..7 and renames digit d to digit_map[d-1]; no change when h or
   digit_map is null, transform > 7 or digit_map is not a permutation of 1..9. Follow with
   sudoku_setup_loaded(). */
SUDOKU_API void sudoku_transform_puzzle(SudokuPuzzle* h, unsigned transform, int const digit_map[9]);

/* ---- Play ---- */

/* Writes the cell view of cell i: solution, mask, marks, answer, small mode, reserved, group,
   row, column. */
SUDOKU_API void sudoku_get_cell(SudokuPuzzle* h, int i, int out[9]);
/* 1 solved, 2 full with errors, 0 otherwise; counts[d] = how often digit d is shown. */
SUDOKU_API int sudoku_get_state(SudokuPuzzle* h, int counts[10]);
/* Enters digit (0 clears) in cell i; previous is the digit it held. With assist non-zero the
   pencil marks of the cell's houses are kept current. */
SUDOKU_API void sudoku_set_user_answer(SudokuPuzzle* h, int i, int digit, int previous, int assist);
/* Flips pencil mark digit of cell i; digit 0 clears all of its marks. */
SUDOKU_API void sudoku_toggle_elim_bit(SudokuPuzzle* h, int i, int digit);
/* Flips whether cell i shows pencil marks; returns the new value (0 or 1). */
SUDOKU_API int sudoku_toggle_small_mode(SudokuPuzzle* h, int i);
/* Clears every answer and mark; the givens stay. */
SUDOKU_API void sudoku_restart(SudokuPuzzle* h);
/* Number of cells not yet correctly filled. */
SUDOKU_API int sudoku_distance(SudokuPuzzle* h);
/* out[d] = 1 when digit d is shown exactly nine times (out[0] = 0). */
SUDOKU_API void sudoku_maxed_digits(SudokuPuzzle* h, int out[10]);
/* Copies the nine group colours. */
SUDOKU_API void sudoku_get_color_map(SudokuPuzzle* h, int out[9]);
/* 1 when cell i and the cell to its right share a group (0 in column 8). */
SUDOKU_API int sudoku_same_group_right(SudokuPuzzle* h, int i);
/* 1 when cell i and the cell below share a group (0 in row 8). */
SUDOKU_API int sudoku_same_group_below(SudokuPuzzle* h, int i);
/* 1 when cells i and j share a house (a cell is its own neighbour). */
SUDOKU_API int sudoku_are_neighbors(SudokuPuzzle* h, int i, int j);

/* ---- Digit assistant ---- */

/* Shows every empty cell's candidates: the digits no placed digit of its houses excludes. */
SUDOKU_API void sudoku_digit_assistant_all(SudokuPuzzle* h);
/* Brings the marks up to date, keeping marks the player removed. */
SUDOKU_API void sudoku_digit_assistant_update(SudokuPuzzle* h);
/* Hides the marks of empty cells (they are kept). */
SUDOKU_API void sudoku_digit_assistant_hide(SudokuPuzzle* h);

/* ---- Generation ---- */

/* Fills the handle with a new puzzle of the given kind and difficulty (0..9), ready for play.
   quality is accepted and not used. Returns 1, or 0 when it failed or was cancelled. A call
   without a cancel can fail when no try met the level (often at jigsaw levels 4-5): call again. */
SUDOKU_API int sudoku_generate(SudokuPuzzle* h, int map, int adjacency, int difficulty, int quality);
/* Fills the handle with a complete random solution (digits in the cell view's solution field).
   Returns 1, or 0 when it failed, was cancelled or ran past the deadline. */
SUDOKU_API int sudoku_generate_solution(SudokuPuzzle* h, int map, int adjacency);
/* Asks a running generation on h to stop; may be called from another thread. */
SUDOKU_API void sudoku_cancel(SudokuPuzzle* h);
/* Bounds solution construction to ms milliseconds from now (steady clock); ms < 1 removes the bound. */
SUDOKU_API void sudoku_set_deadline_ms(SudokuPuzzle* h, int ms);

/* ---- Reproducible runs (extension) ---- */

/* seed != 0: the calling thread's random draws (every random choice of the engine) come from a
   deterministic stream seeded by seed; 0: back to the system generator. Other threads are not
   affected. */
SUDOKU_API void sudoku_seed_random(uint64_t seed);

/* ---- Solving and diagnostics (extension) ---- */

/* Counts the solutions of clues (0 = empty, 1..9) on groups (null = 3x3 boxes; else nine groups
   of nine cells numbered 0..8), with both diagonals as units when adjacency is 1, stopping at
   limit. Returns 0, 1, ... limit, or -1 for invalid input (a clue outside 0..9, a bad group map,
   limit < 1). Clues that repeat a digit in a unit have 0 solutions. When solution is not null
   and the count is at least 1, the first solution found is written there (digits 1..9).
   Thread-safe; a large limit on a nearly empty grid takes correspondingly long. */
SUDOKU_API int sudoku_count_solutions(int const clues[81], int const groups[81], int adjacency, int limit,
                                      int solution[81]);
/* Routes the engine's diagnostic lines ("make_puzzle: ...", "GroupMap: ...", "sudoku_generate:
   ...") to fn, one completed line at a time without its newline, with user passed through; fn may
   be called from any thread that runs an engine call. Null restores the standard error stream. */
SUDOKU_API void sudoku_set_message_handler(void (*fn)(char const* line, void* user), void* user);

/* ---- Group maps ---- */

/* Sets the directory of the group-map and queue files (<dir>/<name>.z); null or "" returns to
   $SUDOKU_GROUP_MAPS_DIR. Not to be called while another thread generates or loads a queue. */
SUDOKU_API void sudoku_set_group_maps_dir(char const* dir);

/* ---- Puzzle queues ---- */

typedef struct SudokuQueue SudokuQueue;

/* Loads a queue blob ("SQD0.002" header and 5232-byte records) by copying it; null when the header
   or the length does not match exactly. The host may release its buffer afterwards. */
SUDOKU_API SudokuQueue* sudoku_queue_load(void const* data, long long length);
/* Frees a queue; null is ignored. */
SUDOKU_API void sudoku_queue_free(SudokuQueue* q);
/* Number of game records in the queue (0 for null). */
SUDOKU_API int sudoku_queue_game_count(SudokuQueue* q);
/* Copies game index: its 5184 cell bytes, 9 colours, map kind, adjacency kind and difficulty;
   1 on success, 0 (nothing written) when index is outside 0..count-1. */
SUDOKU_API int sudoku_queue_get_game(SudokuQueue* q, int index, void* cells_out, int colour_map_out[9],
                                     int* map_kind_out, int* adjacency_out, int* difficulty_out);
/* Desired depth of a puzzle stock for (map kind 0..1, adjacency kind 0..1, difficulty 0..9); 3 otherwise. */
SUDOKU_API int sudoku_desired_queue_depth(unsigned map_kind, unsigned adjacency, unsigned difficulty);

/* ---- Reading a puzzle from a photo ---- */

/* Pictures: 8-bit samples, bpp (1..4) bytes per pixel, row-major without padding; for bpp 3
   and 4 the first three bytes are red, green, blue. Width and height must be at least 27. */

/* Finds the grid's outer lines: writes left, top, right, bottom (inclusive pixel coordinates)
   into box[0..3] and returns 1; returns 0 without writing when no grid is found or the
   arguments are unusable (null, a side below 27, bpp outside 1..4). */
SUDOKU_API int sudoku_ocr_locate(unsigned char const* pixels, int width, int height, int bpp, int* box);
/* Reads the given digits into digits[81] (0 = empty cell) and returns 1, even when nothing could
   be read; returns 0 without writing for unusable arguments as sudoku_ocr_locate. */
SUDOKU_API int sudoku_ocr_recognize(unsigned char const* pixels, int width, int height, int bpp, int* digits);

#ifdef __cplusplus
}
#endif

#endif /* NONET_ENGINE_API_H */
