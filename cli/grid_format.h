// Printing 81-cell grids for the command-line tool.
#pragma once

#include <string>

// The grid (81 characters) as nine lines with box rules; with groups (81 group
// numbers) each cell is followed by its region letter a..i instead.
std::string format_grid_text(std::string const& grid81, int const* groups = nullptr);
