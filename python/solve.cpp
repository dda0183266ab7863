// solve, solve_many and canonical: solution counting with the matrix engine and the
// canonical form of a clue grid.
#include <atomic>
#include <vector>

#include "classify/canonical.h"
#include "python/batch_input.h"
#include "python/bindings.h"
#include "python/workers.h"

namespace nonet_py {

namespace {

struct SolveArgs {
  Grid81 groups;
  bool diagonals;
};

// A Puzzle brings its own groups and diagonals unless the call names them.
SolveArgs solve_args(py::handle puzzle, py::handle groups, py::handle diagonals) {
  SolveArgs args{groups_from(groups), false};
  if (py::isinstance<PyPuzzle>(puzzle)) {
    auto const& p = puzzle.cast<PyPuzzle const&>();
    if (groups.is_none()) args.groups = p.groups;
    args.diagonals = p.diagonals;
  }
  if (!diagonals.is_none()) args.diagonals = diagonals.cast<bool>();
  return args;
}

int limit_from(int limit) {
  if (limit < 1) throw py::value_error("limit must be at least 1");
  return limit;
}

py::tuple solve(py::handle puzzle, py::handle groups, py::handle diagonals, int limit) {
  Grid81 const clues = clues_from(puzzle);
  SolveArgs const args = solve_args(puzzle, groups, diagonals);
  limit_from(limit);
  Grid81 first{};
  int count = 0;
  {
    py::gil_scoped_release release;
    count = count_solutions(clues, args.groups, args.diagonals, limit, &first);
  }
  if (count == 1) return py::make_tuple(count, grid_array(first));
  return py::make_tuple(count, py::none());
}

py::tuple solve_many(py::handle puzzles, py::handle groups, bool diagonals, int limit, py::handle threads) {
  BatchGrids const batch = grids_from_batch(puzzles);
  Grid81 const map = groups_from(groups);
  limit_from(limit);
  std::size_t const n = batch.size();
  py::array_t<int32_t> counts(static_cast<py::ssize_t>(n));
  py::array_t<uint8_t> solutions({static_cast<py::ssize_t>(n), py::ssize_t{81}});
  int32_t* count_out = counts.mutable_data();
  uint8_t* solution_out = solutions.mutable_data();
  std::fill(solution_out, solution_out + n * 81, 0);
  auto const& ops = constraint_tables(map, diagonals);
  std::atomic<bool> cancelled{false};
  for_each_index(
      n, threads_from(threads, n), kQuickItemBlock,
      [&](std::size_t k) {
        Grid81 first{};
        int const count = count_solutions(ops, batch.grid(k), limit, &first);
        count_out[k] = count;
        if (count == 1)
          for (int c = 0; c < 81; ++c) solution_out[k * 81 + c] = static_cast<uint8_t>(first[c]);
      },
      cancelled);
  return py::make_tuple(counts, solutions);
}

py::tuple canonical(py::handle puzzle, py::handle groups) {
  Grid81 const clues = clues_from(puzzle);
  SolveArgs const args = solve_args(puzzle, groups, py::none());
  int in_clues[9][9], in_groups[9][9], out_clues[9][9], out_groups[9][9], relabel[10], transform = 0;
  for (int c = 0; c < 81; ++c) {
    in_clues[c / 9][c % 9] = clues[c];
    in_groups[c / 9][c % 9] = args.groups[c];
  }
  canonical_form(in_clues, in_groups, out_clues, out_groups, &transform, relabel);
  Grid81 canon_clues{}, canon_groups{};
  for (int c = 0; c < 81; ++c) {
    canon_clues[c] = out_clues[c / 9][c % 9];
    canon_groups[c] = out_groups[c / 9][c % 9];
  }
  int difficulty = py::isinstance<PyPuzzle>(puzzle) ? puzzle.cast<PyPuzzle const&>().difficulty : -1;
  PyPuzzle const form = make_puzzle(canon_clues, canon_groups, args.diagonals, difficulty);
  return py::make_tuple(form, transform, py::make_tuple(relabel[0], relabel[1], relabel[2], relabel[3], relabel[4],
                                                         relabel[5], relabel[6], relabel[7], relabel[8], relabel[9]));
}

}  // namespace

void register_solve(py::module_& m) {
  m.def("solve", &solve, py::arg("puzzle"), py::arg("groups") = py::none(), py::arg("diagonals") = py::none(),
        py::arg("limit") = 2,
        R"(Counts the solutions of a puzzle, stopping at limit.

puzzle: a Puzzle, an 81-character string ('.' or '0' for empty cells) or an integer
array of 81 cells (shape (9, 9) or (81,)). groups: None for the 3x3 boxes, 81 group
digits 0-8 or an array; a Puzzle brings its own groups and diagonals unless given here.
Returns (count, solution): solution is a (9, 9) uint8 array when count is 1, else None.
Raises ValueError for a malformed puzzle or group map.)");
  m.def("solve_many", &solve_many, py::arg("puzzles"), py::arg("groups") = py::none(), py::arg("diagonals") = false,
        py::arg("limit") = 2, py::arg("threads") = py::none(),
        R"(Counts the solutions of many puzzles on several threads (None: every core).

puzzles: an integer array of shape (n, 81) or (n, 9, 9), or a sequence of strings,
arrays or Puzzles; all share groups and diagonals. Returns (counts, solutions): an int32
array (n,) and a uint8 array (n, 81) holding each unique solution (zeros otherwise).)");
  m.def("canonical", &canonical, py::arg("puzzle"), py::arg("groups") = py::none(),
        R"(The canonical form of a puzzle: one representative of its rotations, reflections
and digit renamings. Returns (form, orientation, relabel): form is a Puzzle, orientation
0..7 the symmetry that leads to it, relabel[d] the canonical name of input digit d.)");
}

}  // namespace nonet_py
