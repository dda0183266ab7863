// The matrix engine's table cache: bounded, least recently used first, and tables a
// caller still holds stay usable after the cache has dropped them.
#include <gtest/gtest.h>

#include <cstring>

#include "classify_support.h"
#include "matrix_engine/matrix_engine.h"

namespace {

using classify_test::Board;

// Restores the cache's capacity when a test ends.
struct CapacityScope {
  explicit CapacityScope(std::size_t entries) : previous(matrix_engine::set_compile_cache_capacity(entries)) {}
  ~CapacityScope() { matrix_engine::set_compile_cache_capacity(previous); }
  std::size_t previous;
};

// The same group map with groups renamed: another cache key for the same constraints.
Board renamed(Board b, int shift) {
  for (auto& row : b.groups)
    for (int& g : row) g = (g + shift) % 9;
  return b;
}

int count(matrix_engine::Ops const& ops, Board const& b) {
  using namespace matrix_engine;
  Vec cand, placed;
  cand.fill_all();
  for (int c = 0; c < 81; ++c)
    if (b.clues[c / 9][c % 9]) placed.set(lit(c, b.clues[c / 9][c % 9]));
  long long budget = 1 << 24;
  int out[2][81] = {};
  return count_completions_collect(ops, cand, placed, 2, out, 0, budget);
}

TEST(CompileCache, BoundedWithSharedOwnership) {
  Board const base = classify_test::random_board(random_puzzles::Kind::Jigsaw, 61);
  CapacityScope const scope(2);
  EXPECT_LE(matrix_engine::compile_cache_size(), 2u);

  std::shared_ptr<matrix_engine::Ops const> held = matrix_engine::compile_shared(false, renamed(base, 1).groups);
  for (int shift = 2; shift < 9; ++shift) {
    matrix_engine::compile_shared(shift % 2 == 0, renamed(base, shift).groups);
    EXPECT_LE(matrix_engine::compile_cache_size(), 2u);
  }
  // Dropped from the cache long ago, still whole for its holder.
  EXPECT_EQ(count(*held, renamed(base, 1)), 1);
  EXPECT_NE(held, matrix_engine::compile_shared(false, renamed(base, 1).groups));
  // The same key twice in a row is one entry, shared.
  EXPECT_EQ(matrix_engine::compile_shared(true, base.groups), matrix_engine::compile_shared(true, base.groups));
  // Tables taken by reference stay for the life of the process.
  matrix_engine::Ops const& kept = matrix_engine::compile(false, renamed(base, 3).groups);
  for (int shift = 4; shift < 9; ++shift) matrix_engine::compile_shared(false, renamed(base, shift).groups);
  EXPECT_EQ(count(kept, renamed(base, 3)), 1);
}

// Eight orientations of a jigsaw map are eight keys; with room for one, every rating
// still comes out as with a roomy cache. Few clues leave several solutions, so every
// orientation runs the completion count.
TEST(CompileCache, ResultsDoNotDependOnTheCapacity) {
  Board b = classify_test::random_board(random_puzzles::Kind::Jigsaw, 62);
  int kept = 0;
  for (auto& row : b.clues)
    for (int& v : row)
      if (v && ++kept > 12) v = 0;
  int t_roomy = -1, t_tight = -1;
  PuzzleClassifyResult const roomy = classify_puzzle_best_orientation(b.map, b.adj, b.clues, b.groups, 0, &t_roomy);
  CapacityScope const scope(1);
  PuzzleClassifyResult const tight = classify_puzzle_best_orientation(b.map, b.adj, b.clues, b.groups, 0, &t_tight);
  EXPECT_EQ(matrix_engine::compile_cache_size(), 1u);
  EXPECT_TRUE(roomy.has_solution && !roomy.unique);
  EXPECT_EQ(t_roomy, t_tight);
  EXPECT_STREQ(roomy.bucket, tight.bucket);
  EXPECT_EQ(0, std::memcmp(roomy.method, tight.method, sizeof roomy.method));
  EXPECT_EQ(0, std::memcmp(roomy.value, tight.value, sizeof roomy.value));
}

}  // namespace
