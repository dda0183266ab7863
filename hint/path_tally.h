// The tally of a solving path: how often each technique was used and the hardest
// step (by ladder position), shared by `nonet explain` and the Python module.
#pragma once

#include <map>
#include <string>

#include "api/engine_api.h"
#include "hint/ladder.h"

namespace hint {

// A solving path never needs more steps than there are candidates to remove.
constexpr int kMaxPathSteps = 81 * 9;

struct PathTally {
  std::map<std::string, int> uses;
  int steps = 0;
  std::string hardest = "none";
  int hardest_level = -1;

  void add(SudokuHint const& step) {
    ++steps;
    ++uses[step.name];
    if (ladder_position(step.level) > ladder_position(hardest_level)) {
      hardest = step.name;
      hardest_level = step.level;
    }
  }
};

}  // namespace hint
