// classify and classify_many: technique-level classification of clue grids through the
// engine's sudoku_classify_clues.
#include <atomic>
#include <cstring>
#include <vector>

#include "api/engine_api.h"
#include "python/batch_input.h"
#include "python/bindings.h"
#include "python/workers.h"

namespace nonet_py {

namespace {

ClassifyReport classify_grid(Grid81 const& clues, Grid81 const& groups, bool jigsaw, bool diagonals) {
  ClassifyReport report;
  std::memset(&report, 0, sizeof report);
  sudoku_classify_clues(clues.data(), groups.data(), jigsaw ? 1 : 0, diagonals ? 1 : 0, &report);
  return report;
}

template <class T>
py::array_t<T> cell_grid(int32_t const (&cells)[81]) {
  py::array_t<T> out({9, 9});
  for (int c = 0; c < 81; ++c) out.mutable_data()[c] = static_cast<T>(cells[c]);
  return out;
}

struct ClassifyArgs {
  Grid81 groups;
  bool jigsaw = false;
  bool diagonals = false;
};

// A Puzzle brings its own groups and diagonals unless the call names them.
ClassifyArgs classify_args(py::handle puzzle, py::handle groups, py::handle diagonals) {
  ClassifyArgs args{groups_from(groups)};
  if (py::isinstance<PyPuzzle>(puzzle)) {
    auto const& p = puzzle.cast<PyPuzzle const&>();
    if (groups.is_none()) args.groups = p.groups;
    args.diagonals = p.diagonals;
  }
  if (!diagonals.is_none()) args.diagonals = diagonals.cast<bool>();
  args.jigsaw = args.groups != box_groups();
  return args;
}

ClassifyReport classify(py::handle puzzle, py::handle groups, py::handle diagonals) {
  Grid81 const clues = clues_from(puzzle);
  ClassifyArgs const args = classify_args(puzzle, groups, diagonals);
  py::gil_scoped_release release;
  return classify_grid(clues, args.groups, args.jigsaw, args.diagonals);
}

// One row per puzzle, in numpy columns (a dict, ready for pandas.DataFrame).
py::dict classify_many(py::handle puzzles, py::handle groups, bool diagonals, py::handle threads) {
  BatchGrids const batch = grids_from_batch(puzzles);
  Grid81 const map = groups_from(groups);
  bool const jigsaw = map != box_groups();
  std::size_t const n = batch.size();
  auto const rows = static_cast<py::ssize_t>(n);
  py::array_t<int8_t> bucket(rows), level(rows), n_givens(rows), method({rows, py::ssize_t{81}});
  py::array_t<bool> has_solution(rows), unique(rows), solved(rows);
  py::array_t<uint8_t> value({rows, py::ssize_t{81}});
  std::vector<std::string> names(n), labels(n);
  int8_t *bucket_out = bucket.mutable_data(), *level_out = level.mutable_data(),
         *givens_out = n_givens.mutable_data(), *method_out = method.mutable_data();
  bool *has_solution_out = has_solution.mutable_data(), *unique_out = unique.mutable_data(),
       *solved_out = solved.mutable_data();
  uint8_t* value_out = value.mutable_data();
  std::atomic<bool> stop{false};
  for_each_index(
      n, threads_from(threads, n), kQuickItemBlock,
      [&](std::size_t k) {
        ClassifyReport const r = classify_grid(batch.grid(k), map, jigsaw, diagonals);
        bucket_out[k] = static_cast<int8_t>(r.bucket_index);
        level_out[k] = static_cast<int8_t>(r.level_index);
        givens_out[k] = static_cast<int8_t>(r.n_givens);
        has_solution_out[k] = r.has_solution != 0;
        unique_out[k] = r.unique != 0;
        solved_out[k] = r.solved != 0;
        for (int c = 0; c < 81; ++c) {
          method_out[k * 81 + c] = static_cast<int8_t>(r.method[c]);
          value_out[k * 81 + c] = static_cast<uint8_t>(r.value[c]);
        }
        names[k] = r.bucket_text;
        labels[k] = r.label_text;
      },
      stop);
  py::dict out;
  out["bucket"] = bucket;
  out["bucket_name"] = py::cast(names);
  out["level"] = level;
  out["label"] = py::cast(labels);
  out["has_solution"] = has_solution;
  out["unique"] = unique;
  out["solved"] = solved;
  out["n_givens"] = n_givens;
  out["method"] = method;
  out["value"] = value;
  return out;
}

}  // namespace

void register_classify(py::module_& m) {
  py::class_<ClassifyReport>(m, "Classification", R"(How hard a clue grid is for a person: the hardest
rung of the technique ladder that logic needs, with the completion count settling the rest.)")
      .def_readonly("bucket", &ClassifyReport::bucket_index,
                    "Difficulty bucket 0 ('quickie') .. 9 ('beyond_hell'); -1 when unsolvable.")
      .def_property_readonly("bucket_name", [](ClassifyReport const& r) { return std::string(r.bucket_text); },
                             "The bucket word, or 'unsolvable'.")
      .def_readonly("level", &ClassifyReport::level_index,
                    "Ladder rung 0..15 logic needed; 16 settled by search; -1 nothing solved by logic.")
      .def_property_readonly("label", [](ClassifyReport const& r) { return std::string(r.label_text); },
                             "The rung's label.")
      .def_property_readonly("has_solution", [](ClassifyReport const& r) { return r.has_solution != 0; })
      .def_property_readonly("unique", [](ClassifyReport const& r) { return r.unique != 0; })
      .def_property_readonly("solved", [](ClassifyReport const& r) { return r.solved != 0; },
                             "True when logic solved every cell.")
      .def_readonly("n_givens", &ClassifyReport::n_givens)
      .def_property_readonly("method", [](ClassifyReport const& r) { return cell_grid<int8_t>(r.method); },
                             "Per cell, (9, 9) int8: the technique that placed it; -2 given or unsolved, 27 search.")
      .def_property_readonly("value", [](ClassifyReport const& r) { return cell_grid<uint8_t>(r.value); },
                             "Per cell, (9, 9) uint8: the clue or the digit found, 0 unknown.")
      .def_property_readonly("given", [](ClassifyReport const& r) { return cell_grid<bool>(r.given); },
                             "Per cell, (9, 9) bool: a clue.")
      .def("__repr__", [](ClassifyReport const& r) {
        return std::string("<nonet.Classification ") + r.bucket_text + " level " + std::to_string(r.level_index) +
               ": " + r.label_text + ">";
      });

  m.def("classify", &classify, py::arg("puzzle"), py::arg("groups") = py::none(), py::arg("diagonals") = py::none(),
        R"(Classifies a clue grid (a Puzzle, an 81-character string or an integer array) by the
techniques a person needs. Returns a Classification. A Puzzle brings its own groups and
diagonals unless given here. Raises ValueError for a malformed puzzle or group map.)");
  m.def("classify_many", &classify_many, py::arg("puzzles"), py::arg("groups") = py::none(),
        py::arg("diagonals") = false, py::arg("threads") = py::none(),
        R"(Classifies many clue grids on several threads (None: every core).

puzzles: an integer array (n, 81) or (n, 9, 9), or a sequence of puzzles; all share
groups and diagonals. Returns a dict of columns: bucket, level, n_givens (int8, (n,)),
has_solution, unique, solved (bool, (n,)), bucket_name and label (lists of str),
method (int8, (n, 81)) and value (uint8, (n, 81)). pandas.DataFrame takes the (n,) columns.)");
}

}  // namespace nonet_py
