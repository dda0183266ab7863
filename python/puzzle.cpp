// nonet.Puzzle: givens, solution and groups of one puzzle, as numpy arrays and text.
#include "cli/generated_puzzle.h"
#include "cli/grid_format.h"
#include "python/bindings.h"

namespace nonet_py {

PyPuzzle make_puzzle(Grid81 const& clues, Grid81 const& groups, bool diagonals, int difficulty) {
  PyPuzzle p;
  p.clues = clues;
  p.groups = groups;
  p.jigsaw = groups != box_groups();
  p.diagonals = diagonals;
  p.difficulty = difficulty;
  p.has_solution = count_solutions(clues, groups, diagonals, 2, &p.solution) == 1;
  if (!p.has_solution) p.solution = Grid81{};
  return p;
}

namespace {

PyPuzzle new_puzzle(py::handle clues, py::handle groups, bool diagonals, py::handle difficulty) {
  return make_puzzle(clues_from(clues), groups_from(groups), diagonals,
                     difficulty.is_none() ? -1 : difficulty_from(difficulty));
}

std::string groups_line(Grid81 const& groups) {
  std::string line(81, '0');
  for (int c = 0; c < 81; ++c) line[c] = static_cast<char>('0' + groups[c]);
  return line;
}

std::string short_repr(PyPuzzle const& p) {
  int n_clues = 0;
  for (int v : p.clues) n_clues += v != 0;
  std::string text = "<nonet.Puzzle ";
  if (p.difficulty >= 0) text += std::string(kDifficultyNames[p.difficulty]) + " ";
  text += std::to_string(n_clues) + " clues";
  if (p.jigsaw) text += " jigsaw";
  if (p.diagonals) text += " diagonals";
  if (!p.has_solution) text += " no unique solution";
  return text + " " + grid_line(p.clues).substr(0, 18) + "...>";
}

}  // namespace

void register_puzzle(py::module_& m) {
  py::class_<PyPuzzle>(m, "Puzzle", R"(A puzzle: its givens, its unique solution (when it has one) and its groups.

The grid properties return new (9, 9) uint8 arrays (copies: changing them does not
change the puzzle). str() is the 81-character line, '.' for empty cells.)")
      .def(py::init(&new_puzzle), py::arg("clues"), py::arg("groups") = py::none(), py::arg("diagonals") = false,
           py::arg("difficulty") = py::none(),
           R"(Puzzle(clues, groups=None, diagonals=False, difficulty=None)

clues: an 81-character string ('1'-'9', '.' or '0' for empty, white space ignored), an
integer array of 81 cells or a Puzzle. groups: None for the 3x3 boxes, or 81 group
digits 0-8 (string or array), nine cells each. Raises ValueError when malformed. The
solution is found when it is unique; a puzzle without one is allowed (solution None).)")
      .def_static("from_string", &new_puzzle, py::arg("text"), py::arg("groups") = py::none(),
                  py::arg("diagonals") = false, py::arg("difficulty") = py::none(),
                  "The puzzle of an 81-character line; the same as Puzzle(text, ...).")
      .def_property_readonly("clues", [](PyPuzzle const& p) { return grid_array(p.clues); },
                             "The givens, (9, 9) uint8, 0 = empty.")
      .def_property_readonly(
          "solution",
          [](PyPuzzle const& p) -> py::object {
            if (!p.has_solution) return py::none();
            return grid_array(p.solution);
          },
          "The unique solution, (9, 9) uint8, or None when the puzzle has none or several.")
      .def_property_readonly("groups", [](PyPuzzle const& p) { return grid_array(p.groups); },
                             "Group number 0..8 of every cell, (9, 9) uint8.")
      .def_property_readonly(
          "colors", [](PyPuzzle const& p) { return py::tuple(py::cast(std::vector<int>(p.colors.begin(), p.colors.end()))); },
          "Colour of each group for display (generated puzzles; zeros otherwise).")
      .def_property_readonly("map", [](PyPuzzle const& p) { return p.jigsaw ? 1 : 0; },
                             "0 for the 3x3 boxes, 1 for jigsaw groups (the engine's map argument).")
      .def_property_readonly("jigsaw", [](PyPuzzle const& p) { return p.jigsaw; }, "True for jigsaw groups.")
      .def_property_readonly("diagonals", [](PyPuzzle const& p) { return p.diagonals; },
                             "True when both main diagonals are units too.")
      .def_property_readonly(
          "difficulty",
          [](PyPuzzle const& p) -> py::object {
            if (p.difficulty < 0) return py::none();
            return py::int_(p.difficulty);
          },
          "Difficulty level 0..9 it was generated for, or None.")
      .def_property_readonly(
          "difficulty_name",
          [](PyPuzzle const& p) -> py::object {
            if (p.difficulty < 0) return py::none();
            return py::str(kDifficultyNames[p.difficulty]);
          },
          "The level's name ('quickie' .. 'beyond_hell'), or None.")
      .def_property_readonly(
          "n_clues",
          [](PyPuzzle const& p) {
            int n = 0;
            for (int v : p.clues) n += v != 0;
            return n;
          },
          "Number of givens.")
      .def_property_readonly("groups_string", [](PyPuzzle const& p) { return groups_line(p.groups); },
                             "The groups as 81 digits.")
      .def("to_grid_text", [](PyPuzzle const& p) {
            return format_grid_text(grid_line(p.clues), p.jigsaw ? p.groups.data() : nullptr);
          },
          "Nine lines of nine cells with box rules (jigsaw: each cell followed by its group letter).")
      .def("__str__", [](PyPuzzle const& p) { return grid_line(p.clues); })
      .def("__repr__", &short_repr)
      .def("__eq__",
           [](PyPuzzle const& a, PyPuzzle const& b) {
             return a.clues == b.clues && a.groups == b.groups && a.diagonals == b.diagonals;
           })
      .def("__hash__",
           [](PyPuzzle const& p) {
             return py::hash(py::make_tuple(grid_line(p.clues), groups_line(p.groups), p.diagonals));
           })
      .def(py::pickle(
          [](PyPuzzle const& p) {
            return py::make_tuple(grid_line(p.clues), groups_line(p.groups), p.diagonals, p.difficulty,
                                  std::vector<int>(p.colors.begin(), p.colors.end()), p.jigsaw);
          },
          [](py::tuple const& state) {
            if (state.size() != 6) throw std::runtime_error("bad pickled nonet.Puzzle");
            int const difficulty = state[3].cast<int>();
            PyPuzzle p = make_puzzle(clues_from(state[0]), groups_from(state[1]), state[2].cast<bool>(),
                                     difficulty >= 0 && difficulty <= 9 ? difficulty : -1);
            auto const colors = state[4].cast<std::vector<int>>();
            if (colors.size() == 9) std::copy(colors.begin(), colors.end(), p.colors.begin());
            p.jigsaw = state[5].cast<bool>();
            return p;
          }));
}

}  // namespace nonet_py
