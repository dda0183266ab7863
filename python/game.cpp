// nonet.Game: a puzzle played through an engine handle (answers, pencil marks, small
// mode, restart, state, distance and the digit assistant).
#include <vector>

#include "api/engine_api.h"
#include "python/bindings.h"
#include "python/engine_handle.h"

namespace nonet_py {

namespace {

// The cell view of sudoku_get_cell, by name.
enum CellField { kSolution, kMask, kMarks, kAnswer, kSmallMode, kReserved, kGroup, kRow, kColumn };

enum class GameState { in_progress = 0, solved = 1, full_with_errors = 2 };

struct CellView {
  int index, row, column, group, solution, answer;
  bool given, small_mode;
  std::vector<int> marks;
};

class Game {
 public:
  explicit Game(PyPuzzle const& puzzle, bool assist) : puzzle_(puzzle), assist_(assist), h_(sudoku_new()) {
    if (!puzzle.has_solution) throw py::value_error("a game needs a puzzle with exactly one solution");
    sudoku_build_from_clues(h_.get(), puzzle.jigsaw ? 1 : 0, puzzle.diagonals ? 1 : 0,
                            puzzle.difficulty < 0 ? 0 : puzzle.difficulty, puzzle.clues.data(),
                            puzzle.solution.data(), puzzle.groups.data(), puzzle.colors.data());
  }

  PyPuzzle const& puzzle() const { return puzzle_; }
  bool assist() const { return assist_; }
  void set_assist(bool on) { assist_ = on; }

  std::array<int, 9> view(int cell) const {
    std::array<int, 9> v{};
    sudoku_get_cell(h_.get(), cell, v.data());
    return v;
  }

  CellView cell(py::handle where) const {
    int const i = cell_from(where);
    auto const v = view(i);
    CellView out{i, v[kRow], v[kColumn], v[kGroup], v[kSolution], v[kAnswer], v[kMask] != 0, v[kSmallMode] != 0, {}};
    for (int d = 1; d <= 9; ++d)
      if (v[kMarks] & (1 << d)) out.marks.push_back(d);
    return out;
  }

  void enter(py::handle where, int digit) {
    int const i = cell_from(where);
    if (digit < 0 || digit > 9) throw py::value_error("digit must be in 0..9 (0 clears)");
    auto const v = view(i);
    if (v[kMask]) throw py::value_error("cell " + std::to_string(i) + " is a given");
    sudoku_set_user_answer(h_.get(), i, digit, v[kAnswer], assist_ ? 1 : 0);
    // An entered digit is shown: the cell leaves pencil-mark display, as a player expects.
    if (digit && v[kSmallMode]) sudoku_toggle_small_mode(h_.get(), i);
  }

  void toggle_mark(py::handle where, int digit) {
    int const i = cell_from(where);
    if (digit < 1 || digit > 9) throw py::value_error("digit must be in 1..9");
    sudoku_toggle_elim_bit(h_.get(), i, digit);
  }

  void clear_marks(py::handle where) { sudoku_toggle_elim_bit(h_.get(), cell_from(where), 0); }
  bool toggle_small_mode(py::handle where) { return sudoku_toggle_small_mode(h_.get(), cell_from(where)) != 0; }
  void restart() { sudoku_restart(h_.get()); }
  int distance() const { return sudoku_distance(h_.get()); }

  GameState state() const {
    int counts[10] = {};
    return static_cast<GameState>(sudoku_get_state(h_.get(), counts));
  }

  // How often each digit is shown (entry 0 is 0).
  std::vector<int> counts() const {
    int counts[10] = {};
    sudoku_get_state(h_.get(), counts);
    return std::vector<int>(counts, counts + 10);
  }

  // Shown digit of every cell: givens, and answers of cells not showing marks.
  py::array_t<uint8_t> board() const {
    Grid81 shown{};
    for (int i = 0; i < 81; ++i) {
      auto const v = view(i);
      shown[i] = v[kMask] ? v[kSolution] : (v[kSmallMode] ? 0 : v[kAnswer]);
    }
    return grid_array(shown);
  }

  // Pencil marks of every cell as digit masks (bit d = digit d), (9, 9) uint16.
  py::array_t<uint16_t> marks() const {
    py::array_t<uint16_t> out({9, 9});
    for (int i = 0; i < 81; ++i) out.mutable_data()[i] = static_cast<uint16_t>(view(i)[kMarks]);
    return out;
  }

  std::vector<int> maxed_digits() const {
    int out[10] = {};
    sudoku_maxed_digits(h_.get(), out);
    std::vector<int> digits;
    for (int d = 1; d <= 9; ++d)
      if (out[d]) digits.push_back(d);
    return digits;
  }

  bool are_neighbors(py::handle a, py::handle b) const {
    return sudoku_are_neighbors(h_.get(), cell_from(a), cell_from(b)) != 0;
  }
  bool same_group_right(py::handle where) const { return sudoku_same_group_right(h_.get(), cell_from(where)) != 0; }
  bool same_group_below(py::handle where) const { return sudoku_same_group_below(h_.get(), cell_from(where)) != 0; }

  void assistant_all() { sudoku_digit_assistant_all(h_.get()); }
  void assistant_update() { sudoku_digit_assistant_update(h_.get()); }
  void assistant_hide() { sudoku_digit_assistant_hide(h_.get()); }

  SudokuPuzzle* handle() const { return h_.get(); }

 private:
  PyPuzzle puzzle_;
  bool assist_;
  Handle h_;
};

}  // namespace

void register_game(py::module_& m) {
  py::enum_<GameState>(m, "GameState", py::arithmetic(), "State of a game: the engine's 0, 1, 2.")
      .value("in_progress", GameState::in_progress)
      .value("solved", GameState::solved)
      .value("full_with_errors", GameState::full_with_errors);

  py::class_<CellView>(m, "Cell", "One cell of a game as the player sees it.")
      .def_readonly("index", &CellView::index)
      .def_readonly("row", &CellView::row)
      .def_readonly("column", &CellView::column)
      .def_readonly("group", &CellView::group)
      .def_readonly("solution", &CellView::solution, "The cell's digit in the solution.")
      .def_readonly("given", &CellView::given)
      .def_readonly("answer", &CellView::answer, "The player's digit, 0 for none (givens: 0).")
      .def_readonly("small_mode", &CellView::small_mode, "True while the cell shows pencil marks.")
      .def_readonly("marks", &CellView::marks, "Pencil marks, digits ascending (a given: its own digit).")
      .def("__repr__", [](CellView const& c) {
        return "<nonet.Cell " + std::to_string(c.index) + (c.given ? " given " + std::to_string(c.solution)
                                                                    : " answer " + std::to_string(c.answer)) + ">";
      });

  py::class_<Game>(m, "Game", R"(A puzzle in play, through an engine handle.

Cells are an index 0..80 (9 * row + column) or a (row, column) pair. With assist on,
entering or clearing an answer keeps the pencil marks of the cell's houses current (as
the digit assistant does); assistant_all() switches the marks on for every empty cell.)")
      .def(py::init<PyPuzzle const&, bool>(), py::arg("puzzle"), py::arg("assist") = false,
           "Starts a game; ValueError when the puzzle has no unique solution.")
      .def_property_readonly("puzzle", &Game::puzzle)
      .def_property("assist", &Game::assist, &Game::set_assist, "Keep pencil marks current on every answer.")
      .def("cell", &Game::cell, py::arg("cell"))
      .def("enter", &Game::enter, py::arg("cell"), py::arg("digit"),
           "Enters digit 1..9 and shows it (the cell leaves pencil-mark display), or 0 to clear the answer.\n"
           "IndexError for a bad cell, ValueError for a given or a digit outside 0..9.")
      .def("clear", [](Game& g, py::handle where) { g.enter(where, 0); }, py::arg("cell"), "Clears an answer.")
      .def("toggle_mark", &Game::toggle_mark, py::arg("cell"), py::arg("digit"), "Flips pencil mark digit 1..9.")
      .def("clear_marks", &Game::clear_marks, py::arg("cell"), "Removes every pencil mark of a cell.")
      .def("toggle_small_mode", &Game::toggle_small_mode, py::arg("cell"),
           "Switches a cell between answer and pencil marks; returns True when it now shows marks.")
      .def("restart", &Game::restart, "Clears every answer and mark; the givens stay.")
      .def_property_readonly("state", &Game::state, "GameState: in_progress, solved or full_with_errors.")
      .def_property_readonly("counts", &Game::counts, "counts[d]: how often digit d is shown (counts[0] is 0).")
      .def_property_readonly("distance", &Game::distance, "Cells not yet correctly filled.")
      .def_property_readonly("board", &Game::board, "Shown digits, (9, 9) uint8: givens and answers, 0 elsewhere.")
      .def_property_readonly("marks", &Game::marks, "Pencil marks as digit masks (bit d = digit d), (9, 9) uint16.")
      .def_property_readonly("maxed_digits", &Game::maxed_digits, "Digits shown exactly nine times.")
      .def("are_neighbors", &Game::are_neighbors, py::arg("a"), py::arg("b"), "True when two cells share a house.")
      .def("same_group_right", &Game::same_group_right, py::arg("cell"))
      .def("same_group_below", &Game::same_group_below, py::arg("cell"))
      .def("assistant_all", &Game::assistant_all,
           "Shows every empty cell's candidates: the digits no placed digit of its houses excludes.")
      .def("assistant_update", &Game::assistant_update, "Brings the marks up to date, keeping marks removed by hand.")
      .def("assistant_hide", &Game::assistant_hide, "Hides the marks of empty cells (they are kept).")
      .def("hint", [](Game const& g) { return game_hint(g.handle()); },
           "The next step from the position shown (givens, answers, and the pencil marks of cells showing\n"
           "them): a wrong answer or a missing mark first, else the easiest technique that makes progress.\n"
           "Returns a Hint, or None when every cell is placed. Nothing on the board changes.")
      .def("apply_hint", [](Game& g, py::handle hint) { game_apply_hint(g.handle(), hint); }, py::arg("hint"),
           "Applies a Hint: places its digits, removes its eliminations from the pencil marks (cells\n"
           "without marks first get their candidates), clears a wrong answer or restores a missing mark.\n"
           "ValueError when the hint no longer fits the board.")
      .def("__repr__", [](Game const& g) {
        return "<nonet.Game distance " + std::to_string(g.distance()) + ">";
      });
}

}  // namespace nonet_py
