// The benchmark puzzle sets: files under bench/data, made deterministically by
// this code when missing (or when NONET_BENCH_REGENERATE is set).
#pragma once

#include <array>
#include <string>
#include <vector>

namespace bench_sets {

using Puzzle = std::array<int, 81>;  // 0 = empty

// "minimal": random minimal puzzles; "hard": the minimal puzzles that cost the
// counter the most search nodes among many; "17clue": 17-clue puzzles (transforms of a
// few verified seeds); "hardest": three famous hard puzzles under random transforms;
// "empty": the empty grid.
std::vector<Puzzle> const& load(std::string const& name);

// Search nodes the counter needs for the puzzle with limit 2.
long long nodes_for(Puzzle const& p);

}  // namespace bench_sets
