// The unique key of a stored puzzle and the grid texts of the store.
#pragma once

#include <string>

#include "pool/pool_types.h"

namespace pool {

// The kind ("b" boxes or "j" jigsaw, then "x" or "-") followed by the engine's canonical
// form of clues and groups (81 + 81 digits): one key for every rotation, reflection and
// digit renaming of the same puzzle. The eight orientations keep both diagonals, so the
// key holds for diagonal puzzles too.
std::string canonical_key(PoolPuzzle const& p);

// 81 cells from a grid text ('1'-'9' a digit, anything else 0); false unless 81 characters.
bool cells_of(std::string const& text, int out[81]);
// The texts of the store: clues with '.', digits for solutions and groups.
std::string clue_text(int const cells[81]);
std::string digit_text(int const cells[81]);

}  // namespace pool
