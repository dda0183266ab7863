// Counting the solutions of a clue grid for hosts (extension), over the matrix
// engine; and the route of the engine's diagnostic lines.
#include <climits>
#include <cstring>
#include <memory>

#include "api/engine_api.h"
#include "api/last_error.h"
#include "matrix_engine/matrix_engine.h"
#include "util/message.h"

namespace {

using matrix_engine::Ops;

// The compiled tables of the last group map this thread asked for: a solver that
// reads many puzzles of one map skips the shared cache's lock and lookup.
Ops const& tables_for(bool diag, int const (&groups)[9][9]) {
  thread_local bool last_diag = false;
  thread_local int last_groups[9][9];
  // Shared ownership: the cache of recent maps may drop these tables while this thread still uses them.
  thread_local std::shared_ptr<Ops const> last_ops;
  if (last_ops && last_diag == diag && std::memcmp(last_groups, groups, sizeof last_groups) == 0) return *last_ops;
  last_ops = matrix_engine::compile_shared(diag, groups);
  last_diag = diag;
  std::memcpy(last_groups, groups, sizeof last_groups);
  return *last_ops;
}

bool read_groups(int const* groups, int (&out)[9][9]) {
  int used[9] = {};
  for (int c = 0; c < 81; ++c) {
    int const g = groups ? groups[c] : 3 * (c / 27) + (c % 9) / 3;
    if (g < 0 || g > 8 || ++used[g] > 9) return false;
    out[c / 9][c % 9] = g;
  }
  return true;
}

// True when no unit holds a given digit twice.
bool givens_consistent(Ops const& ops, int const clues[81]) {
  unsigned seen[32] = {};
  for (int c = 0; c < 81; ++c) {
    if (!clues[c]) continue;
    unsigned const bit = 1u << clues[c];
    for (std::uint32_t units = ops.cell_units[c]; units; units &= units - 1) {
      int const u = __builtin_ctz(units);
      if (seen[u] & bit) return false;
      seen[u] |= bit;
    }
  }
  return true;
}

}  // namespace

extern "C" {

int sudoku_count_solutions(int const clues[81], int const groups[81], int adjacency, int limit, int solution[81]) {
  clear_last_error();
  int grid_groups[9][9];
  if (!clues || limit < 1) {
    set_last_error(SUDOKU_ERROR_INVALID_ARGUMENT, "sudoku_count_solutions needs clues and a limit of at least 1");
    return -1;
  }
  if (!read_groups(groups, grid_groups)) {
    set_last_error(SUDOKU_ERROR_INVALID_GROUPS, "the group map is not nine groups of nine cells numbered 0..8");
    return -1;
  }
  for (int c = 0; c < 81; ++c)
    if (clues[c] < 0 || clues[c] > 9) {
      set_last_error(SUDOKU_ERROR_INVALID_ARGUMENT, "a clue outside 0..9");
      return -1;
    }
  Ops const& ops = tables_for(adjacency == 1, grid_groups);
  if (!givens_consistent(ops, clues)) return 0;
  matrix_engine::Vec cand, placed;
  cand.fill_all();
  for (int c = 0; c < 81; ++c)
    if (clues[c]) placed.set(matrix_engine::lit(c, clues[c]));
  int found[2][81];
  long long budget = LLONG_MAX;
  int const count = matrix_engine::count_completions_any_order(ops, cand, placed, limit, found, budget);
  if (solution && count >= 1) std::memcpy(solution, found[0], sizeof found[0]);
  return count;
}

void sudoku_set_message_handler(void (*fn)(char const* line, void* user), void* user) {
  set_engine_message_handler(fn, user);
}

}  // extern "C"
