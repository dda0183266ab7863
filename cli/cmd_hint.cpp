// nonet hint: the next step of a puzzle's solving path, named and shown.
#include <iostream>

#include "cli/commands.h"
#include "cli/hint_board.h"
#include "cli/tool.h"

namespace {

int run_hint(HintOptions const& opt) {
  bool failed = false;
  int const status = for_each_board("hint", opt, [&](PuzzleInput const& in, SudokuPuzzle* board) {
    SudokuHint hint;
    if (sudoku_hint(board, &hint) < 0) {
      tool::say("nonet hint", in.source + ": " + tool::engine_reason("no hint can be given"));
      failed = true;
      return;
    }
    if (opt.format == "json") {
      nlohmann::json j = hint_json(hint);
      j["source"] = in.source;
      std::cout << j.dump() << "\n";
    } else {
      std::cout << in.source << ": " << hint.text << "\n";
    }
  });
  return failed && status == tool::kExitOk ? tool::kExitInputProblem : status;
}

CommandRegistration hint_command{Command{
    "hint", "Print the next logical step of puzzles: the easiest technique that makes progress",
    [](CLI::App& sub) -> std::function<int()> {
      auto opt = std::make_shared<HintOptions>();
      add_hint_options(sub, *opt);
      return [opt] { return run_hint(*opt); };
    }}};

}  // namespace
