// Reading puzzles, group maps and options from Python values, with the errors Python expects.
#include <limits>
#include <thread>

#include "cli/generated_puzzle.h"
#include "cli/grid_format.h"
#include "cli/puzzle_input.h"
#include "python/bindings.h"

namespace nonet_py {

namespace {

// 81 integers from an integer array of shape (9, 9) or (81,); nothing for other shapes.
std::optional<Grid81> ints_from_array(py::handle value, char const* what) {
  if (!py::isinstance<py::array>(value) && !py::isinstance<py::list>(value) && !py::isinstance<py::tuple>(value))
    return std::nullopt;
  auto const array = py::array::ensure(value);
  if (!array) return std::nullopt;
  if (array.dtype().kind() != 'i' && array.dtype().kind() != 'u')
    throw py::value_error(std::string(what) + " array must hold integers");
  bool const shape_ok = (array.ndim() == 2 && array.shape(0) == 9 && array.shape(1) == 9) ||
                        (array.ndim() == 1 && array.shape(0) == 81);
  if (!shape_ok) throw py::value_error(std::string(what) + " array must have shape (9, 9) or (81,)");
  auto const ints = py::array_t<long long, py::array::c_style | py::array::forcecast>::ensure(array);
  Grid81 grid{};
  long long const* data = ints.data();
  for (int c = 0; c < 81; ++c) {
    if (data[c] < 0 || data[c] > 9)
      throw py::value_error(std::string(what) + " array: cell " + std::to_string(c) + " holds " +
                            std::to_string(data[c]));
    grid[c] = static_cast<int>(data[c]);
  }
  return grid;
}

}  // namespace

Grid81 box_groups() {
  Grid81 groups{};
  for (int c = 0; c < 81; ++c) groups[c] = 3 * (c / 27) + (c % 9) / 3;
  return groups;
}

Grid81 clues_from(py::handle value) {
  if (py::isinstance<PyPuzzle>(value)) return value.cast<PyPuzzle const&>().clues;
  if (py::isinstance<py::str>(value)) {
    std::string error;
    auto const line = parse_grid_line(value.cast<std::string>(), error);
    if (!line) throw py::value_error("malformed puzzle: " + error);
    Grid81 grid{};
    for (int c = 0; c < 81; ++c) grid[c] = (*line)[c] == '.' ? 0 : (*line)[c] - '0';
    return grid;
  }
  if (auto grid = ints_from_array(value, "puzzle")) return *grid;
  throw py::type_error("a puzzle is a nonet.Puzzle, an 81-character string or an integer array of 81 cells");
}

Grid81 groups_from(py::handle value) {
  if (value.is_none()) return box_groups();
  Grid81 groups{};
  std::string text;
  if (py::isinstance<py::str>(value)) {
    text = value.cast<std::string>();
  } else if (auto grid = ints_from_array(value, "groups")) {
    for (int c = 0; c < 81; ++c) text += static_cast<char>('0' + (*grid)[c]);
  } else {
    throw py::type_error("groups are None, a string of 81 digits 0-8 or an integer array of 81 cells");
  }
  std::string error;
  if (!parse_group_map(text, groups.data(), error)) throw py::value_error("malformed groups: " + error);
  return groups;
}

int difficulty_from(py::handle value) {
  if (py::isinstance<py::bool_>(value)) throw py::type_error("difficulty is a name or an int 0..9");
  if (py::isinstance<py::int_>(value)) {
    long long const level = value.cast<long long>();
    if (level < 0 || level > 9) throw py::value_error("difficulty " + std::to_string(level) + " is not in 0..9");
    return static_cast<int>(level);
  }
  if (py::isinstance<py::str>(value)) {
    std::string const name = value.cast<std::string>();
    int const level = parse_difficulty(name);
    if (level < 0)
      throw py::value_error("unknown difficulty '" + name + "' (use 0..9 or a name such as 'moderate')");
    return level;
  }
  throw py::type_error("difficulty is a name such as 'hard' or an int 0..9");
}

int threads_from(py::handle value, std::size_t items) {
  long long threads = 0;
  if (value.is_none()) {
    threads = std::max(1u, std::thread::hardware_concurrency());
  } else {
    threads = value.cast<long long>();
    if (threads < 1) throw py::value_error("threads must be at least 1");
  }
  return static_cast<int>(std::max<long long>(1, std::min<long long>(threads, static_cast<long long>(items))));
}

uint64_t seed_from(py::handle value) {
  if (value.is_none()) return 0;
  py::int_ const seed = value.cast<py::int_>();
  if (seed < py::int_(0) || seed > py::int_(std::numeric_limits<uint64_t>::max()))
    throw py::value_error("seed must be in 0..2**64-1");
  return seed.cast<uint64_t>();
}

int cell_from(py::handle value) {
  int cell = -1;
  if (py::isinstance<py::tuple>(value)) {
    auto const pair = value.cast<py::tuple>();
    if (pair.size() != 2) throw py::index_error("a cell is an index 0..80 or a (row, column) pair");
    long long const row = pair[0].cast<long long>(), column = pair[1].cast<long long>();
    if (row < 0 || row > 8 || column < 0 || column > 8)
      throw py::index_error("row and column must be in 0..8");
    cell = static_cast<int>(9 * row + column);
  } else {
    long long const index = value.cast<long long>();
    if (index < 0 || index > 80) throw py::index_error("cell " + std::to_string(index) + " is not in 0..80");
    cell = static_cast<int>(index);
  }
  return cell;
}

py::array_t<uint8_t> grid_array(Grid81 const& grid) {
  py::array_t<uint8_t> array({9, 9});
  uint8_t* out = array.mutable_data();
  for (int c = 0; c < 81; ++c) out[c] = static_cast<uint8_t>(grid[c]);
  return array;
}

std::string grid_line(Grid81 const& grid) {
  std::string line(81, '.');
  for (int c = 0; c < 81; ++c)
    if (grid[c]) line[c] = static_cast<char>('0' + grid[c]);
  return line;
}

}  // namespace nonet_py
