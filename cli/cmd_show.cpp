// nonet show PUZZLE: prints an 81-character puzzle as a grid.
#include <iostream>

#include "cli/commands.h"
#include "cli/grid_format.h"

namespace {

CommandRegistration show_command{Command{
    "show", "Print an 81-character puzzle ('.' or '0' for empty cells) as a grid",
    [](CLI::App& sub) -> std::function<int()> {
      auto puzzle = std::make_shared<std::string>();
      sub.add_option("puzzle", *puzzle, "81 characters: digits 1-9, '.' or '0' for empty")->required();
      return [puzzle] {
        std::string error;
        auto grid = parse_grid_line(*puzzle, error);
        if (!grid) {
          std::cerr << "nonet show: bad puzzle: " << error << "\n";
          return 2;
        }
        std::cout << format_grid_text(*grid);
        return 0;
      };
    }}};

}  // namespace
