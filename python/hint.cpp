// Hints and solving paths: nonet.Hint, Game.hint() / Game.apply_hint() (through the
// hooks below, called by game.cpp) and nonet.explain.
#include <cstring>
#include <map>
#include <vector>

#include "api/engine_api.h"
#include "hint/path_tally.h"
#include "python/bindings.h"
#include "python/engine_handle.h"

namespace nonet_py {

namespace {

// A hint as Python sees it; the engine's record is kept for apply_hint.
struct PyHint {
  SudokuHint record;

  std::string kind() const {
    switch (record.kind) {
      case SUDOKU_HINT_STEP: return "step";
      case SUDOKU_HINT_WRONG_ANSWER: return "wrong_answer";
      case SUDOKU_HINT_WRONG_MARK: return "wrong_mark";
      default: return "none";
    }
  }
  static std::vector<std::pair<int, int>> pairs(int32_t const (*list)[2], int n) {
    std::vector<std::pair<int, int>> out;
    for (int i = 0; i < n; ++i) out.emplace_back(list[i][0], list[i][1]);
    return out;
  }
  std::vector<std::pair<int, int>> placements() const { return pairs(record.placements, record.n_placements); }
  std::vector<std::pair<int, int>> eliminations() const { return pairs(record.eliminations, record.n_eliminations); }
  std::vector<int> pattern() const { return {record.pattern, record.pattern + record.n_pattern}; }
  std::vector<int> houses() const { return {record.houses, record.houses + record.n_houses}; }
  std::vector<int> digits() const {
    std::vector<int> out;
    for (int d = 1; d <= 9; ++d)
      if (record.digits & (1 << d)) out.push_back(d);
    return out;
  }

  // The fields of `nonet hint -f json` (cells and digits as lists).
  py::dict to_dict() const {
    auto lists = [](std::vector<std::pair<int, int>> const& v) {
      py::list out;
      for (auto const& [cell, digit] : v) {
        py::list pair;
        pair.append(cell);
        pair.append(digit);
        out.append(pair);
      }
      return out;
    };
    py::dict d;
    d["technique"] = std::string(record.name);
    d["level"] = record.level;
    d["placements"] = lists(placements());
    d["eliminations"] = lists(eliminations());
    d["pattern"] = pattern();
    d["text"] = std::string(record.text);
    return d;
  }
};

std::string engine_reason() {
  char message[256];
  sudoku_last_error(message, sizeof message);
  return message;
}

// A solving path and its tally.
struct Explanation {
  std::vector<PyHint> steps;
  hint::PathTally tally;
  Grid81 solution{};
};

Explanation explain(py::handle puzzle, py::handle groups, py::handle diagonals) {
  Grid81 const clues = clues_from(puzzle);
  Grid81 map = groups_from(groups);
  bool x = false;
  if (py::isinstance<PyPuzzle>(puzzle)) {
    auto const& p = puzzle.cast<PyPuzzle const&>();
    if (groups.is_none()) map = p.groups;
    x = p.diagonals;
  }
  if (!diagonals.is_none()) x = diagonals.cast<bool>();
  PyPuzzle const p = make_puzzle(clues, map, x, -1);
  if (!p.has_solution) throw py::value_error("the puzzle has no unique solution");
  Explanation out;
  out.solution = p.solution;
  py::gil_scoped_release release;
  Handle h(sudoku_new());
  sudoku_build_from_clues(h.get(), p.jigsaw ? 1 : 0, x ? 1 : 0, 0, p.clues.data(), p.solution.data(), p.groups.data(),
                          p.colors.data());
  PyHint step;
  while (out.tally.steps < hint::kMaxPathSteps && sudoku_hint(h.get(), &step.record) == 1) {
    if (sudoku_apply_hint(h.get(), &step.record) != 1)
      throw std::runtime_error("step " + std::to_string(out.tally.steps + 1) + " does not apply: " + engine_reason());
    out.tally.add(step.record);
    out.steps.push_back(step);
  }
  return out;
}

}  // namespace

py::object game_hint(SudokuPuzzle* h) {
  PyHint hint;
  int const result = sudoku_hint(h, &hint.record);
  if (result < 0) throw std::runtime_error(engine_reason());
  if (result == 0) return py::none();
  return py::cast(hint);
}

void game_apply_hint(SudokuPuzzle* h, py::handle hint) {
  if (!py::isinstance<PyHint>(hint)) throw py::type_error("apply_hint takes a Hint from Game.hint()");
  if (sudoku_apply_hint(h, &hint.cast<PyHint const&>().record) != 1) throw py::value_error(engine_reason());
}

void register_hint(py::module_& m) {
  py::class_<PyHint>(m, "Hint", R"(One step of a solving path, or a mistake on the board.

kind: 'step' (a technique places digits or removes candidates), 'wrong_answer'
(pattern[0] holds an answer that is not its digit), 'wrong_mark' (pattern[0] shows
pencil marks without its digit). Cells are 0..80 (9 * row + column); a house is
dimension * 9 + index: groups 0..8, rows 9..17, columns 18..26, main diagonal 27,
anti-diagonal 36.)")
      .def_property_readonly("kind", &PyHint::kind)
      .def_property_readonly("technique", [](PyHint const& h) { return std::string(h.record.name); },
                             "Stable name: 'naked_single', 'x_wing', ..., 'brute_force', 'wrong_answer', 'wrong_mark'.")
      .def_property_readonly("level", [](PyHint const& h) { return h.record.level; },
                             "Ladder technique value (0 naked singles .. 26 forcing net, 27 brute force); -1 for a "
                             "mistake.")
      .def_property_readonly("method", [](PyHint const& h) { return h.record.method; },
                             "Finer technique value (13 XY-wing, 14 XYZ-wing at level 12), else the level.")
      .def_property_readonly("placements", &PyHint::placements, "(cell, digit) pairs the step places.")
      .def_property_readonly("eliminations", &PyHint::eliminations, "(cell, digit) candidates the step removes.")
      .def_property_readonly("pattern", &PyHint::pattern, "Cells of the pattern (a chain's in chain order).")
      .def_property_readonly("houses", &PyHint::houses, "Houses of the pattern (a fish: base, then cover).")
      .def_property_readonly("n_base_houses", [](PyHint const& h) { return h.record.n_base_houses; },
                             "A fish: how many of houses are its base set.")
      .def_property_readonly("digits", &PyHint::digits, "Digits of the pattern, ascending.")
      .def_property_readonly("text", [](PyHint const& h) { return std::string(h.record.text); }, "One English line.")
      .def("to_dict", &PyHint::to_dict,
           "The fields of `nonet hint -f json`: technique, level, placements, eliminations, pattern, text.")
      .def("__str__", [](PyHint const& h) { return std::string(h.record.text); })
      .def("__repr__", [](PyHint const& h) { return "<nonet.Hint " + std::string(h.record.name) + ">"; });

  py::class_<Explanation>(m, "Explanation", "A solving path: its steps (Hints) and their tally.")
      .def_readonly("steps", &Explanation::steps)
      .def_property_readonly("tally", [](Explanation const& e) { return e.tally.uses; },
                             "Technique name -> how many steps used it.")
      .def_property_readonly("hardest", [](Explanation const& e) { return e.tally.hardest; },
                             "Name of the hardest step ('none' for a path without steps).")
      .def_property_readonly("hardest_level", [](Explanation const& e) { return e.tally.hardest_level; })
      .def_property_readonly("solution", [](Explanation const& e) { return grid_array(e.solution); })
      .def("__len__", [](Explanation const& e) { return e.steps.size(); })
      .def("__iter__", [](py::object e) { return e.attr("steps").attr("__iter__")(); })
      .def("__repr__", [](Explanation const& e) {
        return "<nonet.Explanation " + std::to_string(e.steps.size()) + " steps, hardest " + e.tally.hardest + ">";
      });

  m.def("explain", &explain, py::arg("puzzle"), py::arg("groups") = py::none(), py::arg("diagonals") = py::none(),
        R"(The whole solving path of a puzzle: at each step the easiest technique of the
ladder that makes progress, applied, until every cell is placed (brute force last,
named as such). Returns an Explanation (steps and tally), the path `nonet explain`
prints. puzzle: a Puzzle, an 81-character string or an array of 81 cells; groups:
None (a Puzzle's own, else the 3x3 boxes) or 81 group digits; diagonals: None (a
Puzzle's own, else False) or a bool. ValueError when the puzzle is malformed or has no
unique solution. Runs without the GIL.)");
}

}  // namespace nonet_py
