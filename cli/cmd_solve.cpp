// nonet solve: counts the solutions of puzzles (0, 1 or "2+") with the matrix engine
// and prints the unique solution; optionally the canonical form.
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "classify/canonical.h"
#include "cli/commands.h"
#include "cli/grid_format.h"
#include "cli/puzzle_reader.h"
#include "matrix_engine/matrix_engine.h"

namespace {

struct SolveOptions {
  std::vector<std::string> puzzles;
  bool x = false;
  std::string groups;
  std::string format = "line";
  bool canonical = false;
};

struct Outcome {
  int count = 0;  // 0, 1 or 2 (two or more)
  std::string solution;
  int transform = 0;
  int relabel[10] = {};
  std::string canonical_clues, canonical_groups;
};

std::string count_text(int count) { return count >= 2 ? "2+" : std::to_string(count); }

std::string grid_text(int const grid[9][9], bool zero_is_dot) {
  std::string s;
  for (int c = 0; c < 81; ++c) {
    int const v = grid[c / 9][c % 9];
    s += v == 0 && zero_is_dot ? '.' : static_cast<char>('0' + v);
  }
  return s;
}

Outcome solve_one(std::string const& puzzle, int const groups[9][9], bool x, bool canonical) {
  using namespace matrix_engine;
  Outcome o;
  int clues[9][9];
  Vec cand, placed;
  cand.fill_all();
  for (int c = 0; c < 81; ++c) {
    clues[c / 9][c % 9] = puzzle[c] == '.' ? 0 : puzzle[c] - '0';
    if (clues[c / 9][c % 9]) placed.set(lit(c, clues[c / 9][c % 9]));
  }
  // A digit repeated in a unit cannot be completed; the counter expects consistent clues.
  Ops const& ops = compile(x, groups);
  bool consistent = true;
  for (int c = 0; c < 81 && consistent; ++c)
    if (clues[c / 9][c % 9] && ops.conflicts[lit(c, clues[c / 9][c % 9])].intersects(placed)) consistent = false;
  if (consistent) {
    int out[2][81] = {};
    long long budget = 1LL << 50;
    o.count = count_completions_collect(ops, cand, placed, 2, out, 0, budget);
    if (o.count == 1)
      for (int c = 0; c < 81; ++c) o.solution += static_cast<char>('0' + out[0][c]);
  }
  if (canonical) {
    int cc[9][9], cg[9][9];
    canonical_form(clues, groups, cc, cg, &o.transform, o.relabel);
    o.canonical_clues = grid_text(cc, true);
    o.canonical_groups = grid_text(cg, false);
  }
  return o;
}

void print_outcome(SolveOptions const& opt, PuzzleInput const& in, Outcome const& o, int const* groups81) {
  std::string relabel;
  for (int d = 0; d < 10; ++d) relabel += static_cast<char>('0' + o.relabel[d]);
  if (opt.format == "json") {
    nlohmann::json j;
    j["source"] = in.source;
    j["puzzle"] = in.grid;
    j["solutions"] = count_text(o.count);
    if (o.count == 1) j["solution"] = o.solution;
    if (opt.canonical) {
      j["canonical"] = {{"clues", o.canonical_clues},
                        {"groups", o.canonical_groups},
                        {"orientation", o.transform},
                        {"relabel", std::vector<int>(o.relabel, o.relabel + 10)}};
    }
    std::cout << j.dump() << "\n";
  } else if (opt.format == "text") {
    std::cout << in.source << ": " << count_text(o.count) << (o.count == 1 ? " solution\n" : " solutions\n");
    if (o.count == 1) std::cout << format_grid_text(o.solution, groups81);
    if (opt.canonical) {
      std::cout << "canonical form (orientation " << o.transform << ", relabel " << relabel << "):\n"
                << format_grid_text(o.canonical_clues) << "canonical groups: " << o.canonical_groups << "\n";
    }
  } else {
    std::cout << count_text(o.count);
    if (o.count == 1) std::cout << ' ' << o.solution;
    if (opt.canonical)
      std::cout << " canonical " << o.canonical_clues << " groups " << o.canonical_groups << " orientation "
                << o.transform << " relabel " << relabel;
    std::cout << "\n";
  }
}

int run_solve(SolveOptions const& opt) {
  int groups[9][9];
  int groups81[81];
  bool const jigsaw = !opt.groups.empty();
  if (jigsaw) {
    std::string error;
    if (!parse_group_map(opt.groups, groups81, error)) {
      std::cerr << "nonet solve: bad --groups map: " << error << "\n";
      return 2;
    }
  } else {
    for (int c = 0; c < 81; ++c) groups81[c] = 3 * (c / 27) + (c % 9) / 3;
  }
  for (int c = 0; c < 81; ++c) groups[c / 9][c % 9] = groups81[c];

  std::vector<PuzzleInput> inputs;
  std::vector<std::string> errors;
  if (!opt.puzzles.empty())
    read_puzzle_arguments(opt.puzzles, inputs, errors);
  else
    read_puzzle_stream(std::cin, inputs, errors);

  // Inputs and errors are reported in input order.
  std::size_t next_error = 0;
  auto flush_errors_before = [&](int line) {
    while (next_error < errors.size() && (line < 0 || error_line(errors[next_error]) < line))
      std::cerr << "nonet solve: " << errors[next_error++] << "\n";
  };
  for (auto const& in : inputs) {
    flush_errors_before(in.line);
    std::cout.flush();
    print_outcome(opt, in, solve_one(in.grid, groups, opt.x, opt.canonical), jigsaw ? groups81 : nullptr);
  }
  std::cout.flush();
  flush_errors_before(-1);
  return errors.empty() ? 0 : 1;
}

CommandRegistration solve_command{Command{
    "solve", "Count the solutions of puzzles (0, 1 or 2+) and print the unique solution",
    [](CLI::App& sub) -> std::function<int()> {
      auto opt = std::make_shared<SolveOptions>();
      sub.add_option("puzzles", opt->puzzles,
                     "Puzzles of 81 characters ('.' or '0' for empty); standard input when none "
                     "(one puzzle per line, or nine lines of nine)");
      sub.add_flag("--x", opt->x, "The two main diagonals are units too");
      sub.add_option("--groups", opt->groups, "Jigsaw map: 81 group digits 0-8, each used nine times");
      sub.add_option("--format", opt->format, "Output: line, text or json")
          ->check(CLI::IsMember({"line", "text", "json"}));
      sub.add_flag("--canonical", opt->canonical, "Also print the canonical form, orientation and relabelling");
      return [opt] { return run_solve(*opt); };
    }}};

}  // namespace
