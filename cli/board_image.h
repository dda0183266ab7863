// A board in play saved as the engine stores it: the 5232-byte board image (81 cell
// records, colours, map kind, adjacency, difficulty; a queue record is one) or the
// 5184 cell bytes of sudoku_get_puzzle_bytes. Read as a puzzle with its answers and marks.
#pragma once

#include <cstddef>
#include <string>

#include "cli/puzzle_input.h"

// Sizes of the two saved forms.
std::size_t board_image_size();
std::size_t cell_bytes_size();

// Decodes bytes of either size into out (givens, groups, diagonals, answers and the marks
// of cells showing them). The bytes are not trusted: false with why set when a field is
// out of range or the groups are not nine groups of nine cells. The cell bytes alone do
// not say whether the diagonals are units: out.x is then false (a command's --x applies).
bool read_board_image(unsigned char const* bytes, std::size_t size, ReadPuzzle& out, std::string& why);

// True for the bytes of a saved board rather than text: one of the two sizes, with a NUL byte.
bool is_board_image(unsigned char const* bytes, std::size_t size);
