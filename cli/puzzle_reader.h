// Reading puzzles for the command-line tool: arguments or a text stream holding
// 81-character lines or blocks of nine lines of nine cells.
#pragma once

#include <istream>
#include <string>
#include <vector>

struct PuzzleInput {
  std::string grid;    // 81 characters, '1'..'9' or '.'
  std::string source;  // "line N" or "argument N"
  int line = 0;        // first input line (or argument number)
};

// Appends the puzzles read to inputs; each malformed line adds a message
// "line N: ..." to errors and reading goes on.
void read_puzzle_stream(std::istream& in, std::vector<PuzzleInput>& inputs, std::vector<std::string>& errors);
void read_puzzle_arguments(std::vector<std::string> const& args, std::vector<PuzzleInput>& inputs,
                           std::vector<std::string>& errors);

// The line (or argument) number at the start of an error message; -1 when none.
int error_line(std::string const& message);

// 81 group digits 0..8, each used by nine cells; white space is ignored.
bool parse_group_map(std::string const& text, int groups[81], std::string& error);
