#include "cli/puzzle_reader.h"

#include <cctype>
#include <cstdlib>

#include "cli/grid_format.h"

namespace {

std::string without_space(std::string const& s) {
  std::string out;
  for (char ch : s)
    if (!std::isspace(static_cast<unsigned char>(ch))) out += ch;
  return out;
}

}  // namespace

void read_puzzle_stream(std::istream& in, std::vector<PuzzleInput>& inputs, std::vector<std::string>& errors) {
  std::string line;
  int number = 0;
  std::string block;  // rows of a nine-line puzzle read so far
  int block_start = 0;
  auto abandon_block = [&] {
    if (block.empty()) return;
    errors.push_back("line " + std::to_string(block_start) + ": puzzle of nine rows ends after " +
                     std::to_string(block.size() / 9) + " rows");
    block.clear();
  };
  while (std::getline(in, line)) {
    ++number;
    std::string const text = without_space(line);
    if (text.empty() || text[0] == '#') continue;
    std::string error;
    if (text.size() == 9) {
      if (!parse_grid_line(text + std::string(72, '.'), error)) {
        abandon_block();
        errors.push_back("line " + std::to_string(number) + ": " + error);
        continue;
      }
      if (block.empty()) block_start = number;
      block += text;
      if (block.size() == 81) {
        auto grid = parse_grid_line(block, error);
        inputs.push_back({*grid, "line " + std::to_string(block_start), block_start});
        block.clear();
      }
      continue;
    }
    abandon_block();
    auto grid = parse_grid_line(text, error);
    if (!grid) {
      errors.push_back("line " + std::to_string(number) + ": " + error);
      continue;
    }
    inputs.push_back({*grid, "line " + std::to_string(number), number});
  }
  abandon_block();
}

void read_puzzle_arguments(std::vector<std::string> const& args, std::vector<PuzzleInput>& inputs,
                           std::vector<std::string>& errors) {
  for (std::size_t i = 0; i < args.size(); ++i) {
    int const number = static_cast<int>(i) + 1;
    std::string error;
    auto grid = parse_grid_line(args[i], error);
    if (!grid)
      errors.push_back("argument " + std::to_string(number) + ": " + error);
    else
      inputs.push_back({*grid, "argument " + std::to_string(number), number});
  }
}

int error_line(std::string const& message) {
  auto const space = message.find(' ');
  if (space == std::string::npos) return -1;
  return std::atoi(message.c_str() + space + 1);
}

bool parse_group_map(std::string const& text, int groups[81], std::string& error) {
  std::string const map = without_space(text);
  if (map.size() != 81) {
    error = "expected 81 group digits, got " + std::to_string(map.size());
    return false;
  }
  int used[9] = {};
  for (int c = 0; c < 81; ++c) {
    if (map[c] < '0' || map[c] > '8') {
      error = std::string("unexpected character '") + map[c] + "' (groups are 0-8)";
      return false;
    }
    groups[c] = map[c] - '0';
    ++used[groups[c]];
  }
  for (int g = 0; g < 9; ++g)
    if (used[g] != 9) {
      error = "group " + std::to_string(g) + " has " + std::to_string(used[g]) + " cells, not 9";
      return false;
    }
  return true;
}
