// Batch generation and classification for the host: harvest and its readers,
// classification of clue grids and handles into ClassifyReport records.
#include <cstddef>
#include <cstdio>
#include <cstring>

#include "api/classify_report.h"
#include "api/handle.h"
#include "api/last_error.h"
#include "classify/classify.h"
#include "api/harvest.h"
#include "util/combinations.h"

static_assert(sizeof(ClassifyReport) == 1076);
static_assert(offsetof(ClassifyReport, bucket_index) == 0);
static_assert(offsetof(ClassifyReport, level_index) == 4);
static_assert(offsetof(ClassifyReport, has_solution) == 8);
static_assert(offsetof(ClassifyReport, unique) == 12);
static_assert(offsetof(ClassifyReport, solved) == 16);
static_assert(offsetof(ClassifyReport, n_givens) == 20);
static_assert(offsetof(ClassifyReport, method) == 24);
static_assert(offsetof(ClassifyReport, value) == 348);
static_assert(offsetof(ClassifyReport, given) == 672);
static_assert(offsetof(ClassifyReport, bucket_text) == 996);
static_assert(offsetof(ClassifyReport, label_text) == 1012);

namespace {

void copy_text(char* out, std::size_t size, char const* text) {
  std::memset(out, 0, size);
  if (text) std::strncpy(out, text, size - 1);
}

// The givens and groups of a handle. Only a board in play form marks its givens with
// mask 1 and a digit 1..9; any other cell (or a solution still held as a bit mask)
// reads as empty.
void grids_of_handle(SudokuPuzzle* h, int clues[9][9], int groups[9][9]) {
  Puzzle const* p = as_puzzle(h);
  for (int c = 0; c < 81; ++c) {
    PUZZLE_CELL const& cell = p->cells[c];
    int const v = cell.solution;
    clues[c / 9][c % 9] = (cell.mask == 1 && v >= 1 && v <= 9) ? v : 0;
    groups[c / 9][c % 9] = cell.house[DIM_GROUP];
  }
}

int null_argument(char const* call) {
  char message[96];
  std::snprintf(message, sizeof message, "%s was given a null pointer", call);
  set_last_error(SUDOKU_ERROR_INVALID_ARGUMENT, message);
  return 0;
}

int classify_into(int const clues[9][9], int const groups[9][9], int map, int adjacency, ClassifyReport* out) {
  initialize_comb_routine();
  fill_classify_report(out, classify_puzzle(normalised_map(map), normalised_adjacency(adjacency), clues, groups, 0));
  return 1;
}

}  // namespace

void fill_classify_report(ClassifyReport* out, PuzzleClassifyResult const& r) {
  out->bucket_index = parse_bucket_name(r.bucket);
  out->level_index = r.level_index;
  out->has_solution = r.has_solution ? 1 : 0;
  out->unique = r.unique ? 1 : 0;
  out->solved = r.solved ? 1 : 0;
  out->n_givens = r.n_givens;
  for (int c = 0; c < 81; ++c) {
    out->method[c] = r.method[c];
    out->value[c] = r.value[c];
    out->given[c] = r.given[c] ? 1 : 0;
  }
  copy_text(out->bucket_text, sizeof out->bucket_text, r.bucket);
  copy_text(out->label_text, sizeof out->label_text, r.label);
}

extern "C" {

int sudoku_generate_harvest(void*, int map, int adjacency, int node_budget, int solution_deadline_ms, int seed) {
  clear_last_error();
  GenParams const p{map == 1 ? 1 : 0, adjacency == 1 ? 1 : 0, 0, node_budget, 0, solution_deadline_ms, 0, seed};
  HarvestResult& record = harvest_record();
  record = generate_harvest(p);
  if (!record.ok) {
    // The solution call has said why (no map files, deadline, ...) unless nothing did.
    if (sudoku_last_error(nullptr, 0) == SUDOKU_OK)
      set_last_error(SUDOKU_ERROR_NO_SOLUTION, "no complete solution could be built for the harvest");
    return 0;
  }
  int mask = 0;
  for (int b = 0; b < 10; ++b)
    if (record.found[b]) mask |= 1 << b;
  return mask;
}

int sudoku_harvest_clues(int bucket, int* out) {
  clear_last_error();
  HarvestResult const& record = harvest_record();
  if (bucket < 0 || bucket > 9 || !out) {
    set_last_error(SUDOKU_ERROR_INVALID_ARGUMENT, "sudoku_harvest_clues needs a bucket 0..9 and an output");
    return -1;
  }
  if (!record.found[bucket]) {
    set_last_error(SUDOKU_ERROR_NO_PUZZLE, "the last harvest on this thread filled no puzzle of that bucket");
    return -1;
  }
  std::memcpy(out, record.clues[bucket], sizeof record.clues[bucket]);
  return record.n_clues[bucket];
}

void sudoku_harvest_solution(int* out) {
  if (out) std::memcpy(out, harvest_record().solution, sizeof harvest_record().solution);
}

void sudoku_harvest_groupmap(int* out) {
  if (out) std::memcpy(out, harvest_record().groupmap, sizeof harvest_record().groupmap);
}

void sudoku_harvest_colormap(int* out) {
  if (out) std::memcpy(out, harvest_record().colormap, sizeof harvest_record().colormap);
}

int sudoku_classify_clues(int const* clues, int const* groups, int map, int adjacency, ClassifyReport* out) {
  clear_last_error();
  if (!clues || !groups || !out) return null_argument("sudoku_classify_clues");
  int const(*group_grid)[9] = reinterpret_cast<int const(*)[9]>(groups);
  if (!group_map_is_partition(group_grid)) {
    set_last_error(SUDOKU_ERROR_INVALID_GROUPS, "the group map is not nine groups of nine cells numbered 0..8");
    return 0;
  }
  return classify_into(reinterpret_cast<int const(*)[9]>(clues), group_grid, map, adjacency, out);
}

int sudoku_classify_handle(SudokuPuzzle* h, int map, int adjacency, ClassifyReport* out) {
  clear_last_error();
  if (!h || !out) return null_argument("sudoku_classify_handle");
  int clues[9][9], groups[9][9];
  grids_of_handle(h, clues, groups);
  return classify_into(clues, groups, map, adjacency, out);
}

int sudoku_candidate_state_handle(SudokuPuzzle* h, int map, int adjacency, int level, int* out) {
  clear_last_error();
  if (!h || !out) return null_argument("sudoku_candidate_state_handle");
  int clues[9][9], groups[9][9];
  grids_of_handle(h, clues, groups);
  initialize_comb_routine();
  return candidate_state_at_level(normalised_map(map), normalised_adjacency(adjacency), clues, groups,
                                  static_cast<METHOD_TYPE>(level), out);
}

}  // extern "C"
