// The Python module nonet: shared types and the registration of each family of calls.
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "python/engine_count.h"

struct SudokuPuzzle;

namespace nonet_py {

namespace py = pybind11;

// A puzzle as Python sees it: givens, the unique solution when it has one, its groups.
struct PyPuzzle {
  Grid81 clues{};     // 0 = empty, 1..9 = given digit
  Grid81 solution{};  // meaningful when has_solution
  Grid81 groups{};    // 0..8
  std::array<int, 9> colors{};
  bool has_solution = false;
  bool jigsaw = false;     // groups other than the 3x3 boxes
  bool diagonals = false;  // both main diagonals are units
  int difficulty = -1;     // 0..9, -1 when not known
};

// ---- grid_input.cpp: reading Python values ----

Grid81 box_groups();
// Clues from a Puzzle (its givens), an 81-character string ('1'-'9', '.' or '0' empty, white
// space ignored) or an integer array of 81 values 0..9 (shape (9, 9) or (81,)); ValueError otherwise.
Grid81 clues_from(py::handle value);
// Groups from None (the 3x3 boxes), a string of 81 digits 0-8 or an integer array of 81 values;
// ValueError unless there are nine groups of nine cells.
Grid81 groups_from(py::handle value);
// A difficulty name as the nonet tool accepts it ("hard", "beyond_hell", ...) or 0..9.
int difficulty_from(py::handle value);
// A thread count: None = the machine's cores; ValueError below 1. Never more than items (at least 1).
int threads_from(py::handle value, std::size_t items);
// A seed: None or 0 = system randomness, else 1..2**64-1; ValueError when negative or too large.
uint64_t seed_from(py::handle value);
// Cell index from an int 0..80 or a (row, column) pair; IndexError outside the grid.
int cell_from(py::handle value);

// A (9, 9) uint8 array holding a copy of grid.
py::array_t<uint8_t> grid_array(Grid81 const& grid);
// The 81-character text of a grid, '.' for empty cells.
std::string grid_line(Grid81 const& grid);

// ---- puzzle.cpp ----

// A puzzle from its clues: the solution is found by the matrix engine when it is unique.
PyPuzzle make_puzzle(Grid81 const& clues, Grid81 const& groups, bool diagonals, int difficulty);

void register_puzzle(py::module_& m);
void register_solve(py::module_& m);
void register_generate(py::module_& m);
void register_game(py::module_& m);
void register_classify(py::module_& m);
void register_harvest(py::module_& m);
void register_photo(py::module_& m);
void register_pool(py::module_& m);
void register_hint(py::module_& m);
void register_messages(py::module_& m);

// ---- hint.cpp: Game.hint() and Game.apply_hint() on the game's handle ----

// The next Hint, or None when every cell is placed.
py::object game_hint(SudokuPuzzle* h);
// Applies a Hint; ValueError (with the engine's reason) when it does not fit the board.
void game_apply_hint(SudokuPuzzle* h, py::handle hint);

}  // namespace nonet_py
