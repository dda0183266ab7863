// An engine puzzle handle owned by C++ scope.
#pragma once

#include <memory>

#include "api/engine_api.h"

namespace nonet_py {

struct HandleDeleter {
  void operator()(SudokuPuzzle* h) const { sudoku_free(h); }
};
using Handle = std::unique_ptr<SudokuPuzzle, HandleDeleter>;

}  // namespace nonet_py
