// nonet show: prints puzzles (arguments, files or standard input) as grids.
#include <iostream>

#include "cli/commands.h"
#include "cli/grid_format.h"
#include "cli/puzzle_input.h"
#include "cli/tool.h"

namespace {

constexpr char kWho[] = "nonet show";

struct ShowOptions {
  std::vector<std::string> inputs;
  std::string format;
};

std::string cells_of(int const grid[81], bool dots) {
  std::string s(81, '.');
  for (int c = 0; c < 81; ++c)
    if (grid[c] || !dots) s[c] = static_cast<char>('0' + grid[c]);
  return s;
}

int run_show(ShowOptions const& o) {
  PuzzleStream in(o.inputs);
  ReadPuzzle p;
  bool problems = false, any = false;
  while (in.next_reported(p, kWho, problems)) {
    any = true;
    std::string const clues = cells_of(p.clues, true);
    if (o.format == "line") {
      std::cout << clues << (p.has_groups ? " " + cells_of(p.groups, false) : "") << "\n";
    } else if (o.format == "json") {
      std::cout << "{\"source\":" << tool::json_string(source_of(p)) << ",\"puzzle\":\"" << clues << '"';
      if (p.has_groups) std::cout << ",\"groups\":\"" << cells_of(p.groups, false) << '"';
      std::cout << ",\"x\":" << (p.x ? "true" : "false") << "}\n";
    } else {
      std::cout << format_grid_text(clues, p.has_groups ? p.groups : nullptr);
    }
  }
  std::cout.flush();
  if (!any && !problems) {
    tool::say(kWho, "no puzzle in " + in.description());
    return tool::kExitInputProblem;
  }
  return problems ? tool::kExitInputProblem : tool::kExitOk;
}

CommandRegistration show_command{Command{
    "show", "Print puzzles as grids (jigsaw regions as letters)",
    [](CLI::App& sub) -> std::function<int()> {
      auto o = std::make_shared<ShowOptions>();
      sub.add_option("input", o->inputs,
                     "Puzzles, files of puzzles, or '-' for standard input (the default); every form `nonet solve` "
                     "reads");
      tool::add_format_option(sub, o->format, {"text", "line", "json"},
                              "text: the grid; line: 81 cells (and 81 group digits for jigsaw); json: JSON Lines "
                              "{source, puzzle, groups, x}");
      return [o] { return run_show(*o); };
    }}};

}  // namespace
