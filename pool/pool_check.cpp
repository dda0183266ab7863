#include "pool/pool_check.h"

#include "api/engine_api.h"
#include "classify/classify.h"
#include "pool/pool_key.h"

namespace pool {

std::string check_puzzle(PoolPuzzle const& p, int budget) {
  int clues[81], solution[81], groups[81];
  if (!cells_of(p.clues, clues) || !cells_of(p.solution, solution) || !cells_of(p.groups, groups))
    return "a grid text is not 81 characters";
  int count = 0;
  for (int v : clues) count += v != 0;
  if (count != p.givens) return "stored " + std::to_string(p.givens) + " givens, the clues have " + std::to_string(count);
  int found[81];
  int const n = sudoku_count_solutions(clues, groups, p.kind.x ? 1 : 0, 2, found);
  if (n < 0) return "the groups are not nine groups of nine cells";
  if (n == 0) return "no solution";
  if (n > 1) return "more than one solution";
  for (int c = 0; c < 81; ++c)
    if (found[c] != solution[c]) return "the stored solution differs from the puzzle's at cell " + std::to_string(c);
  PuzzleClassifyResult const r = classify_puzzle(
      static_cast<MAP_TYPE>(p.kind.jigsaw ? 1 : 0), static_cast<ADJACENCY_TYPE>(p.kind.x ? 1 : 0),
      reinterpret_cast<int const(*)[9]>(clues), reinterpret_cast<int const(*)[9]>(groups), budget);
  int const bucket = gen_bucket_index(r.bucket);
  if (bucket != p.bucket)
    return std::string("stored bucket ") + gen_bucket_name(p.bucket) + ", classified " + r.bucket;
  if (r.level_index != p.level_index)
    return "stored level " + std::to_string(p.level_index) + ", classified " + std::to_string(r.level_index);
  return "";
}

}  // namespace pool
