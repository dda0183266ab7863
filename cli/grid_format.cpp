#include "cli/grid_format.h"

std::string format_grid_text(std::string const& grid81, int const* groups) {
  std::string out;
  if (!groups) {
    for (int r = 0; r < 9; ++r) {
      if (r == 3 || r == 6) out += "------+-------+------\n";
      for (int c = 0; c < 9; ++c) {
        if (c == 3 || c == 6) out += "| ";
        out += grid81[r * 9 + c];
        out += c == 8 ? '\n' : ' ';
      }
    }
    return out;
  }
  // Jigsaw grids: each cell is followed by its region letter.
  for (int r = 0; r < 9; ++r) {
    for (int c = 0; c < 9; ++c) {
      out += grid81[r * 9 + c];
      out += static_cast<char>('a' + groups[r * 9 + c]);
      out += c == 8 ? '\n' : ' ';
    }
  }
  return out;
}
