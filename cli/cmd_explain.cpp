// nonet explain: the whole solving path of puzzles, one step at a time (each the
// easiest the ladder can take), with a tally of the techniques used and the hardest.
#include <iostream>

#include "cli/commands.h"
#include "cli/hint_board.h"
#include "cli/tool.h"
#include "hint/path_tally.h"

namespace {

int run_explain(HintOptions const& opt) {
  bool stuck = false;
  int const status = for_each_board("explain", opt, [&](PuzzleInput const& in, SudokuPuzzle* board) {
    bool const json = opt.format == "json";
    if (!json) std::cout << in.source << ": " << in.grid << "\n";
    hint::PathTally tally;
    SudokuHint hint;
    while (tally.steps < hint::kMaxPathSteps && sudoku_hint(board, &hint) == 1) {
      if (sudoku_apply_hint(board, &hint) != 1) {
        std::cout.flush();
        std::cerr << "nonet explain: " << in.source << ": step " << tally.steps + 1
                  << " does not apply: " << tool::engine_reason("the board refused it") << "\n";
        stuck = true;
        break;
      }
      tally.add(hint);
      if (json) {
        nlohmann::json j = hint_json(hint);
        j["source"] = in.source;
        j["step"] = tally.steps;
        std::cout << j.dump() << "\n";
      } else {
        std::cout << "  " << tally.steps << ". " << hint.text << "\n";
      }
    }
    if (json) {
      nlohmann::json j;
      j["source"] = in.source;
      j["steps"] = tally.steps;
      j["tally"] = tally.uses;
      j["hardest"] = tally.hardest;
      j["hardest_level"] = tally.hardest_level;
      std::cout << j.dump() << "\n";
    } else {
      std::cout << "  " << tally.steps << " steps:";
      char const* sep = " ";
      for (auto const& [name, count] : tally.uses) {
        std::cout << sep << name << " " << count;
        sep = ", ";
      }
      std::cout << "; hardest: " << tally.hardest << " (level " << tally.hardest_level << ")\n";
    }
  });
  return status == 0 && stuck ? 1 : status;
}

CommandRegistration explain_command{Command{
    "explain", "Print the whole solving path of puzzles step by step, with the techniques used and the hardest",
    [](CLI::App& sub) -> std::function<int()> {
      auto opt = std::make_shared<HintOptions>();
      add_hint_options(sub, *opt);
      return [opt] { return run_explain(*opt); };
    }}};

}  // namespace
