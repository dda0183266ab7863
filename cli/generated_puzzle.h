// A puzzle read back from a handle, and its printed forms.
#pragma once

#include <CLI/CLI.hpp>
#include <string>

#include "api/engine_api.h"
#include "model/types.h"

struct GeneratedPuzzle {
  std::string clues;     // 81 chars, '.' for empty
  std::string solution;  // 81 digits
  int groups[81] = {0};
  int colors[9] = {0};
  int difficulty = 0;
  int n_clues = 0;
  bool jigsaw = false;
  bool x = false;
};

// Reads the givens, solution, groups and colours of a handle in play form.
GeneratedPuzzle read_generated_puzzle(SudokuPuzzle* h, int difficulty, bool jigsaw, bool x);

// The same from a stored board image in play form (a queue record).
GeneratedPuzzle generated_from_record(PuzzleData const& record);

extern char const* const kDifficultyNames[10];
// "easy", "hard", ... or "0".."9"; -1 when the text names no difficulty.
int parse_difficulty(std::string const& text);
// -d/--difficulty, checked: a name or 0..9.
CLI::Option* add_difficulty_option(CLI::App& app, std::string& difficulty);

enum class OutputFormat { text, line, json };
// "text", "line" or "json"; false for anything else.
bool parse_output_format(std::string const& name, OutputFormat& format);
std::string format_generated(GeneratedPuzzle const& p, OutputFormat format);
