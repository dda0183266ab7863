// The module's entry point.
#include "python/bindings.h"

PYBIND11_MODULE(_core, m) {
  m.doc() = R"(nonet: generate, solve, classify and play 9x9 number-placement puzzles.

Grids are numpy uint8 arrays of shape (9, 9) or 81-character strings ('.' for empty
cells). Long calls release the GIL and Ctrl-C cancels them.)";
  m.attr("__version__") = NONET_VERSION;
  nonet_py::register_messages(m);
  nonet_py::register_puzzle(m);
  nonet_py::register_solve(m);
  nonet_py::register_generate(m);
  nonet_py::register_game(m);
  nonet_py::register_classify(m);
  nonet_py::register_harvest(m);
  nonet_py::register_photo(m);
  nonet_py::register_pool(m);
  nonet_py::register_hint(m);
}
