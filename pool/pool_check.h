// Re-verification of stored puzzles, and queue files of stored puzzles.
#pragma once

#include <string>
#include <vector>

#include "pool/pool_types.h"

namespace pool {

// "" when the row holds: 81-character texts, nine groups of nine, exactly one solution equal
// to the stored one, the givens count, and a fresh classification (with budget) equal to the
// stored bucket and level. Otherwise what is wrong.
std::string check_puzzle(PoolPuzzle const& p, int budget);

// The most games one queue file holds.
int queue_file_capacity();
// The uncompressed queue blob ("SQD0.002" header, one game record a puzzle, its difficulty the
// bucket); false with why when a puzzle cannot become a board.
bool queue_blob(std::vector<PoolPuzzle> const& puzzles, std::vector<unsigned char>& blob, std::string& why);

}  // namespace pool
