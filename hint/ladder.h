// The order in which hints try the techniques, easiest first: the classification
// ladder (level_ladder), ranked by human difficulty.
#pragma once

#include "classify/classify.h"

namespace hint {

// Position of a technique value on the ladder; brute force ranks above it (16); -1 for anything else.
inline int ladder_position(int method) {
  int const p = ::ladder_position(method);
  return p >= 0 ? p : (method == BRUTE_FORCE ? kLadderLength : -1);
}

}  // namespace hint
