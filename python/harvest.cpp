// harvest and targeted: batch generation for puzzle pools (generate_harvest and
// generate_targeted), run off the GIL; with a seed the whole call is reproducible.
#include <atomic>

#include "api/engine_api.h"
#include "api/harvest.h"
#include "cli/puzzle_seed.h"
#include "python/bindings.h"
#include "python/workers.h"

namespace nonet_py {

namespace {

struct HarvestOptions {
  bool jigsaw, diagonals;
  uint64_t seed;
  int node_budget, solution_deadline_ms, time_limit_ms;
};

GenParams params_from(HarvestOptions const& o, int target_bucket, int max_attempts) {
  // The removal order's seed follows the call's seed; 0 leaves the engine's default order.
  int const removal_seed = o.seed ? static_cast<int>(puzzle_seed(o.seed, 1) & 0x7FFFFFFF) | 1 : 0;
  return GenParams{o.jigsaw ? 1 : 0,  o.diagonals ? 1 : 0,    target_bucket,   o.node_budget,
                   max_attempts,      o.solution_deadline_ms, o.time_limit_ms, removal_seed};
}

// Runs one engine call on a worker thread, seeded as the options say; Ctrl-C sets the
// call's cancel flag, so it stops before its next rating (KeyboardInterrupt follows).
template <class Result, class Call>
Result run_seeded(HarvestOptions const& o, GenParams params, Call call) {
  Result result{};
  std::atomic<bool> stop{false};
  params.cancel = &stop;
  run_interruptible(
      1,
      [&](int) {
        if (o.seed) sudoku_seed_random(puzzle_seed(o.seed, 0));
        result = call(params);
        if (o.seed) sudoku_seed_random(0);
      },
      [&] { stop.store(true); });
  return result;
}

PyPuzzle puzzle_of(int const clues[81], int const solution[81], int const groups[81], HarvestOptions const& o,
                   int bucket) {
  PyPuzzle p;
  std::copy(clues, clues + 81, p.clues.begin());
  std::copy(solution, solution + 81, p.solution.begin());
  std::copy(groups, groups + 81, p.groups.begin());
  p.has_solution = true;
  p.jigsaw = o.jigsaw;
  p.diagonals = o.diagonals;
  p.difficulty = bucket;
  return p;
}

struct Harvest {
  bool ok = false;
  PyPuzzle solution_board;  // clues = the whole solution
  py::dict puzzles;         // bucket -> Puzzle
  int n_classified = 0, elapsed_ms = 0;
};

Harvest harvest(bool jigsaw, bool diagonals, py::handle seed, int node_budget, int solution_deadline_ms,
                int time_limit_ms) {
  HarvestOptions const o{jigsaw, diagonals, seed_from(seed), node_budget, solution_deadline_ms, time_limit_ms};
  auto const r = run_seeded<HarvestResult>(o, params_from(o, 0, 0), generate_harvest);
  Harvest h;
  h.ok = r.ok;
  h.n_classified = r.n_classified;
  h.elapsed_ms = r.elapsed_ms;
  h.solution_board = puzzle_of(r.solution, r.solution, r.groupmap, o, -1);
  std::copy(r.colormap, r.colormap + 9, h.solution_board.colors.begin());
  h.solution_board.has_solution = r.ok;
  for (int b = 0; b < 10; ++b)
    if (r.ok && r.found[b]) {
      PyPuzzle p = puzzle_of(r.clues[b], r.solution, r.groupmap, o, b);
      p.colors = h.solution_board.colors;
      h.puzzles[py::int_(b)] = p;
    }
  return h;
}

struct Targeted {
  bool ok = false;
  py::object puzzle = py::none();
  int bucket = -1, attempt = 0, n_classified = 0, elapsed_ms = 0;
};

Targeted targeted(py::handle difficulty, bool jigsaw, bool diagonals, py::handle seed, int max_attempts,
                  int node_budget, int solution_deadline_ms, int time_limit_ms) {
  int const target = difficulty_from(difficulty);
  HarvestOptions const o{jigsaw, diagonals, seed_from(seed), node_budget, solution_deadline_ms, time_limit_ms};
  auto const r = run_seeded<GenResult>(o, params_from(o, target, max_attempts), generate_targeted);
  Targeted t;
  t.ok = r.ok;
  t.bucket = r.bucket;
  t.attempt = r.attempt;
  t.n_classified = r.n_classified;
  t.elapsed_ms = r.elapsed_ms;
  if (r.bucket >= 0) t.puzzle = py::cast(puzzle_of(r.clues, r.solution, r.groupmap, o, r.bucket));
  return t;
}

}  // namespace

void register_harvest(py::module_& m) {
  py::class_<Harvest>(m, "Harvest", "The puzzles one harvest kept: the last one rated into each bucket.")
      .def_readonly("ok", &Harvest::ok, "False when no solution could be built.")
      .def_property_readonly("solution", [](Harvest const& h) { return grid_array(h.solution_board.solution); },
                             "The solution every kept puzzle shares, (9, 9) uint8.")
      .def_property_readonly("groups", [](Harvest const& h) { return grid_array(h.solution_board.groups); })
      .def_readonly("puzzles", &Harvest::puzzles, "dict: bucket 0..9 -> Puzzle (difficulty = bucket).")
      .def_readonly("n_classified", &Harvest::n_classified, "Classifications made.")
      .def_readonly("elapsed_ms", &Harvest::elapsed_ms)
      .def("__repr__", [](Harvest const& h) {
        return "<nonet.Harvest " + std::to_string(py::len(h.puzzles)) + " buckets filled>";
      });
  m.def("harvest", &harvest, py::arg("jigsaw") = false, py::arg("diagonals") = false, py::arg("seed") = py::none(),
        py::arg("node_budget") = 0, py::arg("solution_deadline_ms") = 0, py::arg("time_limit_ms") = 0,
        R"(One harvest: a random solution whose clues are removed one at a time in random order,
every intermediate puzzle classified; keeps for each bucket the last puzzle rated into it
(one pass can fill several buckets). seed: None, or an int for a reproducible harvest.
node_budget bounds each rating's search (0: none); time_limit_ms bounds the call (0: none).
Runs without the GIL; Ctrl-C stops it before its next rating (KeyboardInterrupt).)");

  py::class_<Targeted>(m, "Targeted", "The result of targeted generation.")
      .def_readonly("ok", &Targeted::ok, "True when the puzzle is of exactly the requested bucket.")
      .def_readonly("puzzle", &Targeted::puzzle, "The puzzle (when not ok, the closest found), or None.")
      .def_readonly("bucket", &Targeted::bucket, "Its bucket; -1 when nothing was found.")
      .def_readonly("attempt", &Targeted::attempt, "The last attempt started (0-based).")
      .def_readonly("n_classified", &Targeted::n_classified)
      .def_readonly("elapsed_ms", &Targeted::elapsed_ms)
      .def("__repr__", [](Targeted const& t) {
        return std::string("<nonet.Targeted ") + (t.ok ? "ok" : "not met") + " bucket " + std::to_string(t.bucket) +
               " after " + std::to_string(t.attempt + 1) + " attempts>";
      });
  m.def("targeted", &targeted, py::arg("difficulty"), py::arg("jigsaw") = false, py::arg("diagonals") = false,
        py::arg("seed") = py::none(), py::arg("max_attempts") = 50, py::arg("node_budget") = 0,
        py::arg("solution_deadline_ms") = 0, py::arg("time_limit_ms") = 0,
        R"(Repeats harvest passes on fresh solutions until one yields a puzzle of the requested
difficulty (a bucket name or 0..9), at most max_attempts + 1 of them. Returns a Targeted:
ok False (with the closest puzzle, if any) when no attempt met the bucket. seed: None or
an int for a reproducible call. Runs without the GIL; Ctrl-C stops it before its next
rating (KeyboardInterrupt).)");
}

}  // namespace nonet_py
