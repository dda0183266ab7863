// The solver's suffix cache changes no result: series of solves on clue sets that
// differ by a clue or two, as clue removal makes them, give the same candidates,
// masks and statistics with the cache as without it, on all three kinds of board
// and at the two hardest tops the generator uses; and the cache is used.
#include <gtest/gtest.h>

#include <cstring>

#include "testing/random_puzzles.h"
#include "solver/suffix_cache.h"
#include "util/random.h"

namespace {

void expect_same_boards(Puzzle const& a, Puzzle const& b, char const* what) {
  ASSERT_EQ(std::memcmp(a.cells, b.cells, sizeof a.cells), 0) << what;
  ASSERT_EQ(std::memcmp(a.method_counts, b.method_counts, sizeof a.method_counts), 0) << what;
}

TEST(SuffixCache, SolvesOfNearbyClueSetsGiveTheSameResultsWithAndWithoutTheCache) {
  uint64_t const hits_before = suffix_cache::hits();
  int solves = 0;
  random_puzzles::Kind const kinds[] = {random_puzzles::Kind::Regular, random_puzzles::Kind::X,
                                        random_puzzles::Kind::Jigsaw};
  for (uint64_t seed = 500; seed < 509; ++seed) {
    sudoku_seed_random(seed);
    random_puzzles::Kind const kind = kinds[seed % 3];
    random_puzzles::Generated const g = random_puzzles::generate(kind);
    Puzzle cached;
    random_puzzles::load(cached, kind, g);
    Puzzle plain(cached);
    METHOD_TYPE const top = seed % 2 ? FORCING_NET : FINNED_FISH;
    suffix_cache::SuffixCacheScope const scope(cached);
    // Two extra clues from the solution, then each clue left out in turn.
    for (int extra = 0; extra < 2; ++extra) {
      int const cell = static_cast<int>(arc4random_uniform(81));
      cached.cells[cell].mask = plain.cells[cell].mask = 1;
    }
    for (int left_out = 0; left_out < 81; ++left_out) {
      if (!(cached.cells[left_out].mask & 1)) continue;
      for (Puzzle* p : {&cached, &plain}) {
        p->cells[left_out].mask = 0;
        p->apply_mask();
        p->solve(top);
      }
      ++solves;
      expect_same_boards(cached, plain, "after a solve");
      // Keep the removal when the board was solved, as clue removal does.
      if (cached.method_counts[kSlotUnsolved] != 0)
        for (Puzzle* p : {&cached, &plain}) p->cells[left_out].mask = 1;
    }
  }
  sudoku_seed_random(0);
  EXPECT_GT(solves, 150);
  EXPECT_GT(suffix_cache::hits(), hits_before);
}

}  // namespace
