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
 * - Map arguments: SUDOKU_MAP_IRREGULAR (1) = jigsaw groups, anything else = 3x3 boxes.
 *   Adjacency: SUDOKU_ADJACENCY_X (1) = both main diagonals are extra units, anything else
 *   = none. Difficulty: 0 and 2..9 as given, anything else = 1 ("easy").
 * - The interface trusts its caller for valid handles, cell indices 0..80,
 *   digits 0..9 and arrays of the stated sizes; only the calls documented so
 *   check for null. Bytes loaded with sudoku_set_puzzle_bytes() are not trusted:
 *   after sudoku_setup_loaded() no call reads or writes outside the board,
 *   whatever they held.
 * - Calls that can fail return 0, -1 or null as documented; sudoku_last_error() then
 *   tells why.
 * - Random numbers: where the C library has arc4random() and arc4random_uniform()
 *   (glibc 2.36 and later, the BSDs, macOS) the engine's own functions of those
 *   names are private to the library, so a host's calls keep reaching the C
 *   library and sudoku_seed_random() never touches them. Elsewhere the library
 *   exports its own under those names for hosts that lack them.
 * - Extensions beyond the original interface are marked "(extension)".
 */
#ifndef NONET_ENGINE_API_H
#define NONET_ENGINE_API_H

#include <stdint.h>

/* SUDOKU_API exports a function while the library is built (NONET_BUILDING_LIBRARY) and
   imports it in a host; NONET_STATIC marks a host linked with the static library. */
#if defined(NONET_STATIC) && !defined(NONET_BUILDING_LIBRARY)
#define SUDOKU_API
#elif defined(_WIN32)
#if defined(NONET_BUILDING_LIBRARY)
#define SUDOKU_API __declspec(dllexport)
#else
#define SUDOKU_API __declspec(dllimport)
#endif
#elif defined(NONET_BUILDING_LIBRARY)
#define SUDOKU_API __attribute__((visibility("default")))
#else
#define SUDOKU_API
#endif

/* ---- Version (extension) ---- */

#define NONET_VERSION_MAJOR 0
#define NONET_VERSION_MINOR 1
#define NONET_VERSION_PATCH 0
/* The version as one number: major * 10000 + minor * 100 + patch. */
#define NONET_VERSION_NUMBER (NONET_VERSION_MAJOR * 10000 + NONET_VERSION_MINOR * 100 + NONET_VERSION_PATCH)

/* ---- Named values (extension; the plain numbers keep working) ---- */

/* Map kinds. */
#define SUDOKU_MAP_REGULAR 0   /* nine 3x3 boxes */
#define SUDOKU_MAP_IRREGULAR 1 /* nine jigsaw regions from the group-map files */
/* Adjacency kinds. */
#define SUDOKU_ADJACENCY_NONE 0
#define SUDOKU_ADJACENCY_X 1 /* both main diagonals are extra units */
/* Difficulty levels, easiest first. */
#define SUDOKU_DIFFICULTY_QUICKIE 0
#define SUDOKU_DIFFICULTY_EASY 1
#define SUDOKU_DIFFICULTY_MODERATELY_EASY 2
#define SUDOKU_DIFFICULTY_MODERATE 3
#define SUDOKU_DIFFICULTY_MODERATELY_HARD 4
#define SUDOKU_DIFFICULTY_HARD 5
#define SUDOKU_DIFFICULTY_VICIOUS 6
#define SUDOKU_DIFFICULTY_FIENDISH 7
#define SUDOKU_DIFFICULTY_HELL 8
#define SUDOKU_DIFFICULTY_BEYOND_HELL 9
/* Play states (sudoku_get_state). */
#define SUDOKU_STATE_PLAYING 0
#define SUDOKU_STATE_SOLVED 1
#define SUDOKU_STATE_FULL_WITH_ERRORS 2
/* Fields of the cell view (sudoku_get_cell). */
#define SUDOKU_CELL_SOLUTION 0
#define SUDOKU_CELL_MASK 1 /* bit 0 set: a given */
#define SUDOKU_CELL_MARKS 2
#define SUDOKU_CELL_ANSWER 3
#define SUDOKU_CELL_SMALL_MODE 4
#define SUDOKU_CELL_RESERVED 5
#define SUDOKU_CELL_GROUP 6
#define SUDOKU_CELL_ROW 7
#define SUDOKU_CELL_COLUMN 8
/* Transforms (sudoku_transform_puzzle): where the record of cell (r, c) goes. */
#define SUDOKU_TRANSFORM_IDENTITY 0          /* (r, c) */
#define SUDOKU_TRANSFORM_ROWS_REVERSED 1     /* (8 - r, c) */
#define SUDOKU_TRANSFORM_COLUMNS_REVERSED 2  /* (r, 8 - c) */
#define SUDOKU_TRANSFORM_HALF_TURN 3         /* (8 - r, 8 - c) */
#define SUDOKU_TRANSFORM_MAIN_DIAGONAL 4     /* (c, r) */
#define SUDOKU_TRANSFORM_ANTI_DIAGONAL 5     /* (8 - c, 8 - r) */
#define SUDOKU_TRANSFORM_QUARTER_TURN_CW 6   /* (c, 8 - r) */
#define SUDOKU_TRANSFORM_QUARTER_TURN_CCW 7  /* (8 - c, r) */
/* Error codes (sudoku_last_error). */
#define SUDOKU_OK 0
#define SUDOKU_ERROR_INVALID_ARGUMENT 1 /* a null, out-of-range or malformed argument */
#define SUDOKU_ERROR_CANCELLED 2        /* sudoku_cancel() stopped the call */
#define SUDOKU_ERROR_DEADLINE 3         /* the sudoku_set_deadline_ms() bound passed */
#define SUDOKU_ERROR_NO_PUZZLE 4        /* no try met the level: call again */
#define SUDOKU_ERROR_NO_SOLUTION 5      /* the board admits no complete solution */
#define SUDOKU_ERROR_MAPS_NOT_FOUND 6   /* no jigsaw map could be read from the group-maps directory */
#define SUDOKU_ERROR_INVALID_GROUPS 7   /* a group map that is not nine groups of nine cells */
#define SUDOKU_ERROR_BAD_QUEUE 8        /* a queue blob with a bad header or length */
#define SUDOKU_ERROR_BAD_PICTURE 9      /* unusable picture arguments */
#define SUDOKU_ERROR_NO_GRID 10         /* no grid found in the picture */
#define SUDOKU_ERROR_OUT_OF_MEMORY 11

#ifdef __cplusplus
extern "C" {
#endif

typedef struct SudokuPuzzle SudokuPuzzle;

/* ---- Version and errors (extension) ---- */

/* The library's NONET_VERSION_NUMBER (compare with the header's to catch a mismatch). */
SUDOKU_API int sudoku_version(void);
/* Why the calling thread's last failing call returned 0 or null: returns its SUDOKU_ERROR_* code
   and writes "code: message" into buf (truncated to size bytes, always terminated; nothing
   written when buf is null or size < 1). SUDOKU_OK and "" when that call succeeded. Calls that
   can fail reset it when they start; other calls leave it alone. */
SUDOKU_API int sudoku_last_error(char* buf, int size);

/* ---- Handles and loading ---- */

/* Creates an empty handle (never null). */
SUDOKU_API SudokuPuzzle* sudoku_new(void);
/* Frees a handle; null is ignored. */
SUDOKU_API void sudoku_free(SudokuPuzzle* h);
/* Builds a playable board from clues (non-zero = given), a complete solution (digits 1..9),
   a group map and nine group colours. Returns 1, or 0 (handle unchanged) when groups is not
   nine groups of nine cells numbered 0..8 (SUDOKU_ERROR_INVALID_GROUPS). */
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
   digit_map is null, transform > 7 or digit_map is not a permutation of 1..9
   (SUDOKU_ERROR_INVALID_ARGUMENT). Follow with sudoku_setup_loaded(). */
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
   quality is accepted and not used. Returns 1, or 0 when it failed or was cancelled
   (sudoku_last_error() tells which). A call without a cancel can fail when no try met the
   level (often at jigsaw levels 4-5): call again. A jigsaw request when no map file can be
   read returns 0 (SUDOKU_ERROR_MAPS_NOT_FOUND) with the handle unchanged, instead of a box
   puzzle typed irregular; the loader's messages on standard error stay as they were. */
SUDOKU_API int sudoku_generate(SudokuPuzzle* h, int map, int adjacency, int difficulty, int quality);
/* Fills the handle with a complete random solution (digits in the cell view's solution field).
   Returns 1, or 0 when it failed, was cancelled, ran past the deadline or, for a jigsaw
   request, found no map file (as sudoku_generate). */
SUDOKU_API int sudoku_generate_solution(SudokuPuzzle* h, int map, int adjacency);
/* Asks a running generation on h to stop; may be called from another thread. */
SUDOKU_API void sudoku_cancel(SudokuPuzzle* h);
/* Bounds solution construction to ms milliseconds from now (steady clock); ms < 1 removes the bound. */
SUDOKU_API void sudoku_set_deadline_ms(SudokuPuzzle* h, int ms);

/* Extension: runs the independent tries of each later sudoku_generate on h on n threads (n is
   clamped to 1..64; 1, the default, keeps every try on the calling thread). With n >= 2 each try
   draws from its own random stream, so a seeded call gives the same puzzle for every n >= 2 (not
   the puzzle of n = 1); sudoku_cancel and the deadline of sudoku_set_deadline_ms stop every thread. */
SUDOKU_API void sudoku_set_generation_threads(SudokuPuzzle* h, int n);

/* ---- Batch generation and classification ---- */

/* A classification for the host: 1076 bytes, little-endian, no padding. */
typedef struct ClassifyReport {
  int32_t bucket_index;   /* 0 "quickie" .. 9 "beyond_hell"; -1 "unsolvable" */
  int32_t level_index;    /* -1 nothing solved by logic, 0..15 ladder rung, 16 settled by search */
  int32_t has_solution;   /* 0 or 1 */
  int32_t unique;         /* 0 or 1 */
  int32_t solved;         /* 0 or 1 */
  int32_t n_givens;
  int32_t method[81];     /* per cell: -2 given or unsolved, technique value or 30..52, 27 by search */
  int32_t value[81];      /* per cell: clue or digit found, 0 unknown */
  int32_t given[81];      /* per cell: 0 or 1 */
  char bucket_text[16];   /* bucket word, zero-filled, byte 15 always 0 */
  char label_text[64];    /* label (UTF-8), zero-filled, byte 63 always 0 */
} ClassifyReport;

/* One harvest on the calling thread: a random solution whose clues are removed one at a time,
   keeping for every bucket the last puzzle rated into it. Returns the mask of filled buckets
   (bit b = bucket b), 0 when no solution could be built (also when map 1 found no map files).
   x is not used. node_budget bounds each rating's search (< 1: none); seed 0 = default. */
SUDOKU_API int sudoku_generate_harvest(void* x, int map, int adjacency, int node_budget, int solution_deadline_ms,
                                       int seed);
/* Copies the calling thread's last harvest: the clues of bucket 0..9 and their count, or -1
   (nothing copied) when bucket is out of range or not filled. */
SUDOKU_API int sudoku_harvest_clues(int bucket, int* out);
/* Copies the last harvest's 81 solution digits (zeros on a thread that never harvested). */
SUDOKU_API void sudoku_harvest_solution(int* out);
/* Copies the last harvest's 81 group numbers. */
SUDOKU_API void sudoku_harvest_groupmap(int* out);
/* Copies the last harvest's 9 group colours. */
SUDOKU_API void sudoku_harvest_colormap(int* out);
/* Classifies a clue grid (values outside 0..9 read as empty) on a group map. Returns 1, or 0
   with nothing written when a pointer is null or groups is not nine groups of nine cells 0..8. */
SUDOKU_API int sudoku_classify_clues(int const* clues, int const* groups, int map, int adjacency,
                                     ClassifyReport* out);
/* Classifies the givens of a board in play form (other cells read as empty). 0 when h or out is
   null, else 1. */
SUDOKU_API int sudoku_classify_handle(SudokuPuzzle* h, int map, int adjacency, ClassifyReport* out);
/* Writes the 81 candidate masks (bit d = digit d) left on the handle's givens once every technique
   easier than level has been applied. 0 when h or out is null, else 1. */
SUDOKU_API int sudoku_candidate_state_handle(SudokuPuzzle* h, int map, int adjacency, int level, int* out);

/* ---- Reproducible runs (extension) ---- */

/* seed != 0: the calling thread's random draws (every random choice of the engine) come from a
   deterministic stream seeded by seed; 0: back to the system generator. Other threads are not
   affected. */
SUDOKU_API void sudoku_seed_random(uint64_t seed);

/* ---- Solving and diagnostics (extension) ---- */

/* Counts the solutions of clues (0 = empty, 1..9) on groups (null = 3x3 boxes; else nine groups
   of nine cells numbered 0..8), with both diagonals as units when adjacency is 1, stopping at
   limit. Returns 0, 1, ... limit, or -1 for invalid input (a clue outside 0..9, a bad group map,
   limit < 1; sudoku_last_error says which). Clues that repeat a digit in a unit have 0 solutions. When solution is not null
   and the count is at least 1, the first solution found is written there (digits 1..9); the search
   chooses its own order, so with several solutions which one comes first is not fixed.
   Thread-safe; a large limit on a nearly empty grid takes correspondingly long. */
SUDOKU_API int sudoku_count_solutions(int const clues[81], int const groups[81], int adjacency, int limit,
                                      int solution[81]);
/* Routes the engine's diagnostic lines ("make_puzzle: ...", "GroupMap: ...", "sudoku_generate:
   ...") to fn, one completed line at a time without its newline, with user passed through; fn may
   be called from any thread that runs an engine call. Null restores the standard error stream. */
SUDOKU_API void sudoku_set_message_handler(void (*fn)(char const* line, void* user), void* user);

/* ---- Hints (extension) ---- */

/* What a hint reports (SudokuHint.kind). */
#define SUDOKU_HINT_NONE 0         /* nothing to do: every cell is placed */
#define SUDOKU_HINT_STEP 1         /* a logical step: placements and/or eliminations */
#define SUDOKU_HINT_WRONG_ANSWER 2 /* pattern[0] holds an answer (digits) that differs from the solution */
#define SUDOKU_HINT_WRONG_MARK 3   /* pattern[0] shows pencil marks without its digit (digits) */

#define SUDOKU_HINT_MAX_PLACEMENTS 9
#define SUDOKU_HINT_MAX_ELIMINATIONS 96
#define SUDOKU_HINT_MAX_PATTERN 81
#define SUDOKU_HINT_MAX_HOUSES 16
#define SUDOKU_HINT_NAME_SIZE 24
#define SUDOKU_HINT_TEXT_SIZE 512
/* sizeof(SudokuHint); the layout below is fixed (every member is 4-byte aligned, no padding). */
#define SUDOKU_HINT_SIZE 1800

/* The next step from the position the player sees. Cells are 0..80 (row-major), digits 1..9.
   A house is DIMENSION * 9 + index: groups 0..8, rows 9..17, columns 18..26, main diagonal 27,
   anti-diagonal 36. */
typedef struct SudokuHint {
  int32_t kind;           /* SUDOKU_HINT_* */
  int32_t level;          /* technique value of the ladder rung (0 naked singles .. 26 forcing net,
                             27 brute force); -1 for a wrong answer or mark and for NONE */
  int32_t method;         /* finer technique value: 13 XY-wing or 14 XYZ-wing at level 12, else level */
  int32_t n_placements;
  int32_t placements[SUDOKU_HINT_MAX_PLACEMENTS][2];     /* cell, digit */
  int32_t n_eliminations;
  int32_t eliminations[SUDOKU_HINT_MAX_ELIMINATIONS][2]; /* cell, candidate digit it loses */
  int32_t n_pattern;
  int32_t pattern[SUDOKU_HINT_MAX_PATTERN];   /* the cells of the pattern (a chain's in chain order) */
  int32_t n_houses;
  int32_t houses[SUDOKU_HINT_MAX_HOUSES];     /* houses of the pattern (a fish: base, then cover) */
  int32_t n_base_houses;                      /* a fish: how many of houses are its base set */
  int32_t digits;                             /* digit bits (bit d = digit d) of the pattern */
  char name[SUDOKU_HINT_NAME_SIZE];           /* stable name, e.g. "x_wing"; NUL-terminated */
  char text[SUDOKU_HINT_TEXT_SIZE];           /* one English line; NUL-terminated */
} SudokuHint;

/* Finds the next hint for a board in play (built or generated, with its solution): first a
   placed answer that differs from the solution, then an empty cell whose shown pencil marks lack
   its digit, else the easiest technique of the ladder that makes progress from the placed digits
   and (for empty cells showing marks) the player's marks; brute force (from the solution) last.
   Nothing on the board changes. Returns 1 with a hint in *out, 0 when every cell is placed
   (kind NONE), -1 when h or out is null or the board has no solution (out zeroed when not null). */
SUDOKU_API int sudoku_hint(SudokuPuzzle* h, SudokuHint* out);
/* Applies a hint: places its digits as answers (pencil marks of their houses kept current),
   removes its eliminations from the cells' pencil marks (an empty cell without marks first gets
   the candidates the placed digits leave, shown), clears a wrong answer or restores a missing
   mark. Checked against the solution: returns 1 when applied, 0 (nothing changed) when the hint
   does not fit the board or would place a wrong digit or remove a true one, -1 for null
   arguments. */
SUDOKU_API int sudoku_apply_hint(SudokuPuzzle* h, SudokuHint const* hint);

/* ---- Group maps ---- */

/* Sets the directory of the group-map and queue files (<dir>/<name>.z); null or "" returns to
   $SUDOKU_GROUP_MAPS_DIR. Not to be called while another thread generates or loads a queue. */
SUDOKU_API void sudoku_set_group_maps_dir(char const* dir);
/* Extension: gives the engine the inflated contents of the group-map file name ("mir01" ..
   "rot_3grp04", as <dir>/<name>.z holds it compressed) from memory, for hosts without files or
   zlib (the WebAssembly build); later jigsaw generation reads these bytes instead of the file.
   The bytes are copied; null data forgets them. Returns 1, or 0 (nothing changed,
   SUDOKU_ERROR_INVALID_ARGUMENT) for an unknown name or a length outside 1..230000. Not to be
   called while another thread generates. */
SUDOKU_API int sudoku_set_group_map_data(char const* name, void const* data, long long length);

/* ---- Puzzle queues ---- */

typedef struct SudokuQueue SudokuQueue;

/* Loads a queue blob ("SQD0.002" header and 5232-byte records) by copying it; null when the header
   or the length does not match exactly (SUDOKU_ERROR_BAD_QUEUE). The host may release its buffer
   afterwards. */
SUDOKU_API SudokuQueue* sudoku_queue_load(void const* data, long long length);
/* Frees a queue; null is ignored. */
SUDOKU_API void sudoku_queue_free(SudokuQueue* q);
/* Number of game records in the queue (0 for null). */
SUDOKU_API int sudoku_queue_game_count(SudokuQueue* q);
/* Copies game index: its 5184 cell bytes, 9 colours, map kind, adjacency kind and difficulty;
   1 on success, 0 (nothing written) when q is null or index is outside 0..count-1
   (SUDOKU_ERROR_INVALID_ARGUMENT). */
SUDOKU_API int sudoku_queue_get_game(SudokuQueue* q, int index, void* cells_out, int colour_map_out[9],
                                     int* map_kind_out, int* adjacency_out, int* difficulty_out);
/* Desired depth of a puzzle stock for (map kind 0..1, adjacency kind 0..1, difficulty 0..9); 3 otherwise. */
SUDOKU_API int sudoku_desired_queue_depth(unsigned map_kind, unsigned adjacency, unsigned difficulty);

/* ---- Reading a puzzle from a photo ---- */

/* Pictures: 8-bit samples, bpp (1..4) bytes per pixel, row-major without padding; for bpp 3
   and 4 the first three bytes are red, green, blue. Width and height must be at least 27. */

/* Finds the grid's outer lines: writes left, top, right, bottom (inclusive pixel coordinates)
   into box[0..3] and returns 1; returns 0 without writing when no grid is found
   (SUDOKU_ERROR_NO_GRID) or the arguments are unusable (null, a side below 27, bpp outside 1..4:
   SUDOKU_ERROR_BAD_PICTURE). */
SUDOKU_API int sudoku_ocr_locate(unsigned char const* pixels, int width, int height, int bpp, int* box);
/* Reads the given digits into digits[81] (0 = empty cell) and returns 1, even when nothing could
   be read; returns 0 without writing for unusable arguments as sudoku_ocr_locate. */
SUDOKU_API int sudoku_ocr_recognize(unsigned char const* pixels, int width, int height, int bpp, int* digits);
/* Drawn jigsaw regions: writes 81 region numbers 0..8 (numbered in order of first appearance)
   into regions and returns 1; 0 when none are drawn (regions then all 0), or 0 without
   writing for unusable arguments. The 3x3 boxes of a classic grid count as drawn regions.
   sudoku_last_error() tells a refusal (SUDOKU_ERROR_BAD_PICTURE) from "none drawn" (SUDOKU_OK). */
SUDOKU_API int sudoku_ocr_regions(unsigned char const* pixels, int width, int height, int bpp, int* regions);
/* 1 when the cells of both main diagonals are marked (shaded or coloured), else 0 (also for
   unusable arguments, which sudoku_last_error() tells apart). */
SUDOKU_API int sudoku_ocr_detect_x(unsigned char const* pixels, int width, int height, int bpp);
/* Extension: the whole puzzle at once. Locates the grid once and writes the digits (0 = empty),
   the groups (region numbers 0..8; the 3x3 boxes when none are drawn) and *diagonals (1 when
   both diagonals are marked); digits are judged under those rules. Returns 1, even when
   nothing could be read; 0 without writing for unusable arguments (any output null too). */
SUDOKU_API int sudoku_ocr_read_puzzle(unsigned char const* pixels, int width, int height, int bpp, int digits[81],
                                      int groups[81], int* diagonals);

#ifdef __cplusplus
}
#endif

#endif /* NONET_ENGINE_API_H */
