// Many clue grids from one Python value, read once into a flat buffer the worker
// threads can use without the GIL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "python/bindings.h"

namespace nonet_py {

// Items handed to a worker at a time for calls that take microseconds each.
inline constexpr std::size_t kQuickItemBlock = 64;

struct BatchGrids {
  std::vector<uint8_t> cells;  // 81 per grid

  std::size_t size() const { return cells.size() / 81; }
  Grid81 grid(std::size_t k) const {
    Grid81 g;
    for (int c = 0; c < 81; ++c) g[c] = cells[k * 81 + c];
    return g;
  }
};

// An integer array of shape (n, 81) or (n, 9, 9) with values 0..9, or a sequence whose
// items clues_from() accepts; ValueError naming the first bad item otherwise.
BatchGrids grids_from_batch(py::handle puzzles);

}  // namespace nonet_py
