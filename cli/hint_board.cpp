#include "cli/hint_board.h"

#include <algorithm>
#include <iostream>

#include "cli/puzzle_input.h"
#include "cli/tool.h"

void add_hint_options(CLI::App& sub, HintOptions& opt) {
  sub.add_option("puzzles", opt.puzzles,
                 "Puzzles or boards in play (a cell '+5' is the player's answer 5, '[129]' an empty cell showing "
                 "pencil marks 1, 2, 9), files of them or saved board images, or '-' for standard input (the "
                 "default); every form `nonet solve` reads");
  sub.add_flag("--x", opt.x, "The two main diagonals are units too");
  sub.add_option("--groups", opt.groups, "Jigsaw map: 81 group digits 0-8, each used nine times");
  tool::add_format_option(sub, opt.format, {"text", "json"}, "Output: text or json (JSON Lines)");
}

namespace {

// The player's answers and pencil marks of a board in play, as a front end enters them:
// answers shown, marks shown in their cells (no assistant: the marks are the player's).
void enter_play(SudokuPuzzle* board, ReadPuzzle const& p) {
  for (int c = 0; c < 81; ++c) {
    int view[9];
    if (p.answers[c]) {
      sudoku_set_user_answer(board, c, p.answers[c], 0, 0);
    } else if (p.marks[c]) {
      sudoku_toggle_elim_bit(board, c, 0);
      for (int d = 1; d <= 9; ++d)
        if (p.marks[c] >> d & 1) sudoku_toggle_elim_bit(board, c, d);
    } else {
      continue;
    }
    sudoku_get_cell(board, c, view);
    if ((view[SUDOKU_CELL_SMALL_MODE] != 0) != (p.marks[c] != 0)) sudoku_toggle_small_mode(board, c);
  }
}

}  // namespace

int for_each_board(char const* command, HintOptions const& opt,
                   std::function<void(PuzzleInput const&, SudokuPuzzle*)> const& work) {
  std::string const who = std::string("nonet ") + command;
  int map[81], boxes[81];
  for (int c = 0; c < 81; ++c) boxes[c] = 3 * (c / 27) + (c % 9) / 3;
  if (!opt.groups.empty()) {
    std::string error;
    if (!parse_group_map(opt.groups, map, error)) {
      tool::say(who, "bad --groups map: " + error);
      return tool::kExitUsage;
    }
  } else {
    std::copy(boxes, boxes + 81, map);
  }
  int colours[9] = {0, 1, 2, 3, 0, 1, 2, 3, 0};

  tool::catch_interrupts();
  PuzzleStream in(opt.puzzles);
  ReadPuzzle p;
  bool failed = false, any = false;
  long done = 0;
  while (!tool::interrupted() && in.next_reported(p, who.c_str(), failed)) {
    any = true;
    int const* groups = p.has_groups ? p.groups : map;
    bool const x = opt.x || p.x;
    int solution[81];
    int const count = sudoku_count_solutions(p.clues, groups, x ? 1 : 0, 2, solution);
    if (count != 1) {
      std::string const repeated = repeated_given(p.clues, groups, x);
      tool::say(who, source_of(p) + ": " +
                         (!repeated.empty() ? repeated
                          : count < 0       ? tool::engine_reason("the puzzle cannot be counted")
                          : count == 0      ? std::string("the puzzle has no solution")
                                            : std::string("the puzzle has more than one solution")));
      failed = true;
      continue;
    }
    PuzzleInput const input = text_of(p);
    BoardHandle board(sudoku_new(), sudoku_free);
    // Groups that are the 3x3 boxes make a classic board, whatever form carried them.
    bool const irregular = !std::equal(groups, groups + 81, boxes);
    if (!sudoku_build_from_clues(board.get(), irregular ? 1 : 0, x ? 1 : 0, 7, p.clues, solution, groups,
                                 colours)) {
      tool::say(who, source_of(p) + ": " + tool::engine_reason("the board cannot be built"));
      failed = true;
      continue;
    }
    if (p.has_board) enter_play(board.get(), p);
    work(input, board.get());
    std::cout.flush();
    ++done;
  }
  if (tool::interrupted()) {
    tool::say(who, "interrupted after " + std::to_string(done) + (done == 1 ? " puzzle" : " puzzles"));
    return tool::kExitInterrupted;
  }
  if (!any && !failed) {
    tool::say(who, "no puzzle in " + in.description());
    return tool::kExitInputProblem;
  }
  return failed ? tool::kExitInputProblem : tool::kExitOk;
}

nlohmann::json hint_json(SudokuHint const& hint) {
  auto pairs = [](int32_t const (*list)[2], int n) {
    nlohmann::json a = nlohmann::json::array();
    for (int i = 0; i < n; ++i) a.push_back({list[i][0], list[i][1]});
    return a;
  };
  nlohmann::json j;
  j["technique"] = hint.name;
  j["level"] = hint.level;
  j["placements"] = pairs(hint.placements, hint.n_placements);
  j["eliminations"] = pairs(hint.eliminations, hint.n_eliminations);
  j["pattern"] = std::vector<int>(hint.pattern, hint.pattern + hint.n_pattern);
  j["text"] = hint.text;
  return j;
}
