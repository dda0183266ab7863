// Boards for `nonet hint` and `nonet explain`: a puzzle line made into a board in
// play (its unique solution found by the matrix engine), and a step as JSON or text.
#pragma once

#include <CLI/CLI.hpp>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "api/engine_api.h"
#include "cli/puzzle_input.h"

struct HintOptions {
  std::vector<std::string> puzzles;
  bool x = false;
  std::string groups;
  std::string format = "text";
};

// Adds the options the two commands share.
void add_hint_options(CLI::App& sub, HintOptions& opt);

using BoardHandle = std::unique_ptr<SudokuPuzzle, void (*)(SudokuPuzzle*)>;

// Runs each input of the options through `work` (a board in play per puzzle, with the
// answers and pencil marks of a board input entered), in input order; every puzzle form
// `nonet solve` reads is read (jigsaw lines and JSON carry their regions and diagonals);
// messages name the input. Ctrl-C stops after the puzzle in work. Returns the exit
// status: 130 after Ctrl-C, 2 for a bad --groups map, 1 when an input was bad or had no
// unique solution, else 0.
int for_each_board(char const* command, HintOptions const& opt,
                   std::function<void(PuzzleInput const&, SudokuPuzzle*)> const& work);

// One step as a JSON object: technique, level, placements, eliminations, pattern, text.
nlohmann::json hint_json(SudokuHint const& hint);
