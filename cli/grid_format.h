// Reading and printing 81-cell grids for the command-line tool.
#pragma once

#include <optional>
#include <string>

// Parses 81 characters, '1'..'9' for digits and '.' or '0' for empty cells; white
// space is ignored. On failure returns nothing and sets error.
std::optional<std::string> parse_grid_line(std::string const& text, std::string& error);

// The grid as nine lines with box rules; groups (81 group numbers) optional.
std::string format_grid_text(std::string const& grid81, int const* groups = nullptr);
