// Enumerations and stored records shared by the whole engine.
#pragma once

#include <cstddef>
#include <cstdint>

#include "util/export.h"

enum DIMENSION : int32_t {
  DIM_GROUP = 0,
  DIM_ROW = 1,
  DIM_COL = 2,
  DIM_DIAG = 3,       // main diagonal, row == column
  DIM_ANTI_DIAG = 4,  // row + column == 8
};

enum MAP_TYPE : int32_t { MAP_REGULAR = 0, MAP_IRREGULAR = 1 };

enum ADJACENCY_TYPE : int32_t { ADJ_NONE = 0, ADJ_X = 1 };

enum UI_DIFFICULTY : int32_t {
  UI_QUICKIE = 0,
  UI_EASY = 1,
  UI_MODERATELY_EASY = 2,
  UI_MODERATE = 3,
  UI_MODERATELY_HARD = 4,
  UI_HARD = 5,
  UI_VICIOUS = 6,
  UI_FIENDISH = 7,
  UI_HELL = 8,
  UI_BEYOND_HELL = 9,
};

enum UI_QUALITY : int32_t { UI_QUALITY_0 = 0, UI_QUALITY_1 = 1, UI_QUALITY_2 = 2 };

enum PUZZLE_STATE : int32_t {
  PUZZLE_IN_PROGRESS = 0,
  PUZZLE_SOLVED = 1,
  PUZZLE_FULL_WITH_ERRORS = 2,
};

// Technique values are fixed: generator and classifier tables store them as numbers.
enum METHOD_TYPE : int32_t {
  SIMPLE_ELIMINATION = 0,
  HIDDEN_SINGLES = 1,
  CELL_RESTRICTION = 2,
  MULTIPLE_DIGITS = 3,
  DOUBLE_RESTRICTION = 4,
  ALMOST_LOCKED_SETS = 5,
  INACTIVE_FISH = 6,
  X_WING = 7,
  SWORDFISH = 8,
  JELLYFISH = 9,
  X_CHAINS = 10,
  XY_CHAINS = 11,
  XY_XYZ_WINGS = 12,
  XY_WING = 13,
  XYZ_WING = 14,
  LARGE_FISH = 15,
  FRANKEN_FISH = 17,
  FINNED_FISH = 18,
  FINNED_FISH_ALT = 19,
  SHORT_X_CHAINS = 25,
  FORCING_NET = 26,
  BRUTE_FORCE = 27,
  W_WING = 51,
};

enum SOLVER_RESULT_CODE : int32_t {
  SOLVED = 0,
  UNSOLVED = 1,
  NO_PROGRESS = 2,
  CANCELLED = 5,
};

constexpr int N_METHOD_COUNTS = 53;

// Slots of method_counts that are not a technique of METHOD_TYPE: the outcome of a solve,
// and finer statistics counted inside a technique (the atoms of the clue tables rank them).
constexpr int kSlotTwoFins = FINNED_FISH_ALT;         // a finned fish with a second fin
constexpr int kSlotAlsBivalueRestricted = 20;         // bivalue cell and an ALS of its group
constexpr int kSlotAlsThreeDigitPair = 21;            // two cells of three digits and an ALS of the group
constexpr int kSlotAlsPairOf2 = 22;                   // paired cells of two digits ...
constexpr int kSlotAlsPairOf3 = 23;                   // ... and of three digits
constexpr int kSlotUnsolved = 28;                     // 1 when the solve left the puzzle unsolved
constexpr int kSlotClueCount = 29;                    // givens on the board
constexpr int kSlotFirstAtom = 30;                    // atoms: 30..52
constexpr int kSlotHiddenSingleGroup = 32;
constexpr int kSlotHiddenSingleLine = 33;
constexpr int kSlotGroupToLine = 34;
constexpr int kSlotLineToGroup = 35;
constexpr int kSlotSubsetOf2 = 39;                    // 40 and 41 for subsets of 3 and 4 digits
constexpr int kSlotThreeLinkSameLine = 42;            // 3-link X-chain, both strong links on one kind of line
constexpr int kSlotThreeLinkCrossLines = 43;          // ... on a row and a column
constexpr int kSlotThreeLinkOtherHouse = 44;          // ... a group or a diagonal among them
constexpr int kSlotLastAtom = 52;
static_assert(kSlotLastAtom < N_METHOD_COUNTS);
constexpr unsigned ALL_DIGITS = 0x3FE;  // bits 1..9

// One cell record, 64 bytes. The byte layout is part of the stored formats
// (host puzzle bytes and queue records).
struct NONET_EXPORT PUZZLE_CELL {
  int32_t house[5];        // house index per DIMENSION (-1 off a diagonal)
  int32_t next_in_dim[5];  // ring link: signed cell distance to the next cell of the house
  int32_t solution;        // one-bit digit mask while building/solving, digit 1..9 in play form
  int32_t mask;            // bit 0: given
  uint32_t elim_bits;      // candidates (pencil marks during play)
  int32_t user_answer;     // player's digit, 0 = none
  bool small_mode;         // shows pencil marks instead of an answer
  uint8_t padding[3];
  int32_t ui_reserved;

  // Row-major index of this cell.
  int offset() const { return house[DIM_ROW] * 9 + house[DIM_COL]; }
};

// Stored board image: the host's puzzle bytes are its first 5184 bytes, a queue
// record is the whole image.
struct NONET_EXPORT PuzzleData {
  PUZZLE_CELL cells[81];
  int32_t color_map[9];
  MAP_TYPE map_type;
  ADJACENCY_TYPE adjacency_type;
  UI_DIFFICULTY difficulty;

  PUZZLE_CELL& cell(long i) { return cells[i]; }
  PUZZLE_CELL const& cell(long i) const { return cells[i]; }
};

static_assert(sizeof(PUZZLE_CELL) == 64);
static_assert(offsetof(PUZZLE_CELL, house) == 0);
static_assert(offsetof(PUZZLE_CELL, next_in_dim) == 20);
static_assert(offsetof(PUZZLE_CELL, solution) == 40);
static_assert(offsetof(PUZZLE_CELL, mask) == 44);
static_assert(offsetof(PUZZLE_CELL, elim_bits) == 48);
static_assert(offsetof(PUZZLE_CELL, user_answer) == 52);
static_assert(offsetof(PUZZLE_CELL, small_mode) == 56);
static_assert(offsetof(PUZZLE_CELL, ui_reserved) == 60);
static_assert(sizeof(PuzzleData) == 5232);
static_assert(offsetof(PuzzleData, color_map) == 5184);
static_assert(offsetof(PuzzleData, map_type) == 5220);
static_assert(offsetof(PuzzleData, adjacency_type) == 5224);
static_assert(offsetof(PuzzleData, difficulty) == 5228);

constexpr size_t PUZZLE_BYTES = sizeof(PUZZLE_CELL) * 81;  // 5184
static_assert(PUZZLE_BYTES == 5184);
