// The double restriction rung over the whole board (two lines over two groups).
#pragma once

#include "model/puzzle.h"

namespace restrictions {

// The first double restriction that changes the board, as the ladder looks for them;
// false when none does.
bool double_restriction_once(Puzzle& p);

}  // namespace restrictions
