// The order in which hints try the techniques (easiest first) and the stable
// names they are reported under. The order is the classification ladder, ranked
// by human difficulty; this is the one place to change it.
#pragma once

#include "model/types.h"

namespace hint {

inline constexpr METHOD_TYPE kLadder[] = {
    SIMPLE_ELIMINATION, HIDDEN_SINGLES, CELL_RESTRICTION, MULTIPLE_DIGITS, DOUBLE_RESTRICTION, X_WING,
    SWORDFISH,          SHORT_X_CHAINS, XY_XYZ_WINGS,     W_WING,          JELLYFISH,          X_CHAINS,
    XY_CHAINS,          ALMOST_LOCKED_SETS, FRANKEN_FISH, FORCING_NET,
};
inline constexpr int kLadderSize = sizeof kLadder / sizeof kLadder[0];

// Position of a technique value on the ladder; brute force ranks above it (16); -1 for anything else.
inline int ladder_position(int method) {
  for (int i = 0; i < kLadderSize; ++i)
    if (kLadder[i] == method) return i;
  return method == BRUTE_FORCE ? kLadderSize : -1;
}

}  // namespace hint
