#include "cli/generated_puzzle.h"

#include <nlohmann/json.hpp>

#include "cli/grid_format.h"
#include "cli/tool.h"

char const* const kDifficultyNames[10] = {"quickie", "easy",  "moderately_easy", "moderate", "moderately_hard",
                                          "hard",    "vicious", "fiendish",      "hell",     "beyond_hell"};

int parse_difficulty(std::string const& text) {
  for (int d = 0; d < 10; ++d)
    if (text == kDifficultyNames[d] || text == std::to_string(d)) return d;
  return -1;
}

CLI::Option* add_difficulty_option(CLI::App& app, std::string& difficulty) {
  std::string names;
  for (char const* name : kDifficultyNames) names += std::string(names.empty() ? "" : ", ") + name;
  return app
      .add_option("-d,--difficulty", difficulty, names + ", or 0..9")
      ->check(CLI::Validator(
          [](std::string& text) {
            return parse_difficulty(text) < 0 ? "unknown difficulty '" + tool::escaped(text) + "' (0..9 or a name)"
                                              : std::string();
          },
          "LEVEL"))
      ->capture_default_str();
}

GeneratedPuzzle read_generated_puzzle(SudokuPuzzle* h, int difficulty, bool jigsaw, bool x) {
  GeneratedPuzzle p;
  p.difficulty = difficulty;
  p.jigsaw = jigsaw;
  p.x = x;
  for (int i = 0; i < 81; ++i) {
    int v[9];
    sudoku_get_cell(h, i, v);
    char const digit = static_cast<char>('0' + v[0]);
    p.solution += digit;
    p.clues += v[1] ? digit : '.';
    p.n_clues += v[1] ? 1 : 0;
    p.groups[i] = v[6];
  }
  sudoku_get_color_map(h, p.colors);
  return p;
}

bool parse_output_format(std::string const& name, OutputFormat& format) {
  if (name == "text")
    format = OutputFormat::text;
  else if (name == "line")
    format = OutputFormat::line;
  else if (name == "json")
    format = OutputFormat::json;
  else
    return false;
  return true;
}

GeneratedPuzzle generated_from_record(PuzzleData const& record) {
  GeneratedPuzzle p;
  p.difficulty = (record.difficulty >= 0 && record.difficulty <= 9) ? record.difficulty : 0;
  p.jigsaw = record.map_type == MAP_IRREGULAR;
  p.x = record.adjacency_type == ADJ_X;
  for (int i = 0; i < 81; ++i) {
    PUZZLE_CELL const& cell = record.cells[i];
    int const d = cell.solution;
    char const digit = (d >= 1 && d <= 9) ? static_cast<char>('0' + d) : '?';
    p.solution += digit;
    p.clues += cell.mask ? digit : '.';
    p.n_clues += cell.mask ? 1 : 0;
    int const g = cell.house[DIM_GROUP];
    p.groups[i] = (g >= 0 && g <= 8) ? g : 0;
  }
  for (int g = 0; g < 9; ++g) p.colors[g] = record.color_map[g];
  return p;
}

std::string format_generated(GeneratedPuzzle const& p, OutputFormat format) {
  switch (format) {
    case OutputFormat::line: {
      // Jigsaw puzzles carry their regions: the line reads back as a puzzle with its map.
      if (!p.jigsaw) return p.clues + "\n";
      std::string groups;
      for (int g : p.groups) groups += static_cast<char>('0' + g);
      return p.clues + " " + groups + "\n";
    }
    case OutputFormat::json: {
      nlohmann::json j;
      j["clues"] = p.clues;
      j["solution"] = p.solution;
      std::string groups;
      for (int g : p.groups) groups += static_cast<char>('0' + g);
      j["groups"] = groups;
      j["colors"] = std::vector<int>(p.colors, p.colors + 9);
      j["difficulty"] = kDifficultyNames[p.difficulty];
      j["difficulty_level"] = p.difficulty;
      j["clue_count"] = p.n_clues;
      j["jigsaw"] = p.jigsaw;
      j["x"] = p.x;
      return j.dump() + "\n";
    }
    case OutputFormat::text:
    default:
      return std::string(kDifficultyNames[p.difficulty]) + (p.jigsaw ? " jigsaw" : "") + (p.x ? " x" : "") + ", " +
             std::to_string(p.n_clues) + " clues\n" + format_grid_text(p.clues, p.jigsaw ? p.groups : nullptr);
  }
}
