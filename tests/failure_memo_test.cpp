// The failure memo of the single-digit techniques changes no result: a board whose
// techniques run inside a memo scope and a copy whose techniques run without one go
// through the same steps. Between the techniques' calls a few candidates are
// removed (as another technique would), so most digits stand as before and the
// memo's skips are exercised; the scope must also leave no trace once it ends.
#include <gtest/gtest.h>

#include <cstring>

#include "testing/random_puzzles.h"
#include "solver/failure_memo.h"
#include "tests/technique_runs.h"
#include "util/random.h"

namespace {

constexpr METHOD_TYPE kMemoTechniques[] = {X_WING,       SWORDFISH,   JELLYFISH, LARGE_FISH, SHORT_X_CHAINS,
                                           X_CHAINS,     FRANKEN_FISH, FINNED_FISH, FINNED_FISH_ALT};

// Removes one false candidate from an unsolved cell chosen by the random stream.
bool remove_a_false_candidate(Puzzle& a, Puzzle& b) {
  int const from = static_cast<int>(arc4random_uniform(81));
  for (int k = 0; k < 81; ++k) {
    int const i = (from + k) % 81;
    uint32_t const wrong = a.cells[i].elim_bits & ~static_cast<uint32_t>(a.cells[i].solution) & ALL_DIGITS;
    if (n_candidates(a.cells[i].elim_bits) < 2 || !wrong) continue;
    uint32_t const bit = wrong & (0u - wrong);
    a.cells[i].elim_bits &= ~bit;
    b.cells[i].elim_bits &= ~bit;
    return true;
  }
  return false;
}

TEST(FailureMemo, TechniquesGiveTheSameResultsWithAndWithoutTheMemo) {
  uint64_t const skipped_before = failure_memo::skipped_searches();
  int calls = 0, successes = 0;
  random_puzzles::Kind const kinds[] = {random_puzzles::Kind::Regular, random_puzzles::Kind::X,
                                        random_puzzles::Kind::Jigsaw};
  for (uint64_t seed = 300; seed < 312; ++seed) {
    sudoku_seed_random(seed);
    random_puzzles::Kind const kind = kinds[seed % 3];
    random_puzzles::Generated const g = random_puzzles::generate(kind);
    Puzzle with_memo;
    random_puzzles::load(with_memo, kind, g);
    with_memo.define_overlap_maps();
    technique_runs::exhaust_elimination(with_memo);
    Puzzle without(with_memo);
    {
      failure_memo::FailureMemoScope const scope(with_memo);
      for (int round = 0; round < 40 && !with_memo.puzzle_is_solved(); ++round) {
        for (METHOD_TYPE m : kMemoTechniques) {
          bool const r_memo = with_memo.simplify(m);
          bool const r_plain = without.simplify(m);
          ++calls;
          ASSERT_EQ(r_memo, r_plain) << "seed " << seed << " method " << m << " round " << round;
          ASSERT_EQ(std::memcmp(with_memo.cells, without.cells, sizeof with_memo.cells), 0)
              << "seed " << seed << " method " << m << " round " << round;
          successes += r_memo;
        }
        if (!remove_a_false_candidate(with_memo, without)) break;
        technique_runs::exhaust_elimination(with_memo);
        technique_runs::exhaust_elimination(without);
      }
    }
    // Outside the scope nothing is skipped.
    uint64_t const skipped = failure_memo::skipped_searches();
    for (METHOD_TYPE m : kMemoTechniques) with_memo.simplify(m);
    EXPECT_EQ(failure_memo::skipped_searches(), skipped);
  }
  sudoku_seed_random(0);
  EXPECT_GT(successes, 0);
  EXPECT_GT(calls, 500);
  EXPECT_GT(failure_memo::skipped_searches(), skipped_before);
}

}  // namespace
