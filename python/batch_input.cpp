#include "python/batch_input.h"

#include <string>

namespace nonet_py {

namespace {

bool is_grid_array(py::handle value) {
  if (!py::isinstance<py::array>(value)) return false;
  auto const array = py::reinterpret_borrow<py::array>(value);
  char const kind = array.dtype().kind();
  if (kind != 'i' && kind != 'u') return false;
  return (array.ndim() == 2 && array.shape(1) == 81) ||
         (array.ndim() == 3 && array.shape(1) == 9 && array.shape(2) == 9);
}

}  // namespace

BatchGrids grids_from_batch(py::handle puzzles) {
  BatchGrids batch;
  if (is_grid_array(puzzles)) {
    auto const array = py::reinterpret_borrow<py::array>(puzzles);
    auto check = [](long long v, std::size_t at) {
      if (v < 0 || v > 9)
        throw py::value_error("puzzle " + std::to_string(at / 81) + ": cell " + std::to_string(at % 81) +
                              " holds " + std::to_string(v));
    };
    if (array.dtype().is(py::dtype::of<uint8_t>())) {
      auto const bytes = py::array_t<uint8_t, py::array::c_style>::ensure(array);
      batch.cells.assign(bytes.data(), bytes.data() + bytes.size());
      for (std::size_t at = 0; at < batch.cells.size(); ++at) check(batch.cells[at], at);
    } else {
      auto const ints = py::array_t<long long, py::array::c_style | py::array::forcecast>::ensure(array);
      batch.cells.resize(static_cast<std::size_t>(ints.size()));
      for (std::size_t at = 0; at < batch.cells.size(); ++at) {
        check(ints.data()[at], at);
        batch.cells[at] = static_cast<uint8_t>(ints.data()[at]);
      }
    }
    return batch;
  }
  if (py::isinstance<py::str>(puzzles) || !py::isinstance<py::iterable>(puzzles))
    throw py::type_error("puzzles are an integer array of shape (n, 81) or (n, 9, 9), or a sequence of puzzles");
  std::size_t k = 0;
  for (py::handle item : puzzles) {
    Grid81 grid;
    try {
      grid = clues_from(item);
    } catch (py::value_error const& e) {
      throw py::value_error("puzzle " + std::to_string(k) + ": " + e.what());
    }
    batch.cells.insert(batch.cells.end(), grid.begin(), grid.end());
    ++k;
  }
  return batch;
}

}  // namespace nonet_py
