#include "cli/hint_board.h"

#include <iostream>

#include "matrix_engine/matrix_engine.h"

namespace {

// The unique completion of the clues, or false (none, several, or a digit repeated in a unit).
bool unique_solution(std::string const& grid, bool x, int const groups[9][9], int solution[81]) {
  using namespace matrix_engine;
  Ops const& ops = compile(x, groups);
  Vec cand, placed;
  cand.fill_all();
  for (int c = 0; c < 81; ++c)
    if (grid[c] != '.') placed.set(lit(c, grid[c] - '0'));
  for (int c = 0; c < 81; ++c)
    if (grid[c] != '.' && ops.conflicts[lit(c, grid[c] - '0')].intersects(placed)) return false;
  int out[2][81] = {};
  long long budget = 1LL << 50;
  if (count_completions_collect(ops, cand, placed, 2, out, 0, budget) != 1) return false;
  for (int c = 0; c < 81; ++c) solution[c] = out[0][c];
  return true;
}

}  // namespace

void add_hint_options(CLI::App& sub, HintOptions& opt) {
  sub.add_option("puzzles", opt.puzzles,
                 "Puzzles of 81 characters ('.' or '0' for empty); standard input when none "
                 "(one puzzle per line, or nine lines of nine)");
  sub.add_flag("--x", opt.x, "The two main diagonals are units too");
  sub.add_option("--groups", opt.groups, "Jigsaw map: 81 group digits 0-8, each used nine times");
  sub.add_option("-f,--format", opt.format, "Output: text or json (JSON Lines)")
      ->check(CLI::IsMember({"text", "json"}));
}

int for_each_board(char const* command, HintOptions const& opt,
                   std::function<void(PuzzleInput const&, SudokuPuzzle*)> const& work) {
  int groups81[81];
  bool const jigsaw = !opt.groups.empty();
  if (jigsaw) {
    std::string error;
    if (!parse_group_map(opt.groups, groups81, error)) {
      std::cerr << "nonet " << command << ": bad --groups map: " << error << "\n";
      return 2;
    }
  } else {
    for (int c = 0; c < 81; ++c) groups81[c] = 3 * (c / 27) + (c % 9) / 3;
  }
  int groups[9][9];
  for (int c = 0; c < 81; ++c) groups[c / 9][c % 9] = groups81[c];
  int colours[9] = {0, 1, 2, 3, 0, 1, 2, 3, 0};

  std::vector<PuzzleInput> inputs;
  std::vector<std::string> errors;
  if (!opt.puzzles.empty())
    read_puzzle_arguments(opt.puzzles, inputs, errors);
  else
    read_puzzle_stream(std::cin, inputs, errors);

  bool failed = !errors.empty();
  std::size_t next_error = 0;
  auto flush_errors_before = [&](int line) {
    while (next_error < errors.size() && (line < 0 || error_line(errors[next_error]) < line))
      std::cerr << "nonet " << command << ": " << errors[next_error++] << "\n";
  };
  for (auto const& in : inputs) {
    flush_errors_before(in.line);
    int clues[81], solution[81];
    for (int c = 0; c < 81; ++c) clues[c] = in.grid[c] == '.' ? 0 : in.grid[c] - '0';
    if (!unique_solution(in.grid, opt.x, groups, solution)) {
      std::cout.flush();
      std::cerr << "nonet " << command << ": " << in.source << ": the puzzle has no unique solution\n";
      failed = true;
      continue;
    }
    BoardHandle board(sudoku_new(), sudoku_free);
    sudoku_build_from_clues(board.get(), jigsaw ? 1 : 0, opt.x ? 1 : 0, 7, clues, solution, groups81, colours);
    work(in, board.get());
    std::cout.flush();
  }
  flush_errors_before(-1);
  return failed ? 1 : 0;
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
