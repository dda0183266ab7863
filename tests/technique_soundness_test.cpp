// Soundness over seeded random puzzles: no wing, chain, almost-locked-set or
// forcing-net call ever removes a true candidate, on regular, X and jigsaw boards.
// Longer runs of the same property live in tests/sweep/.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/soundness_sweep.h"

namespace {

using random_puzzles::Kind;

TEST(TechniqueSoundness, RandomPuzzlesOnEveryBoardKindKeepTheSolution) {
  technique_runs::Tally tally;
  soundness_sweep::run(Kind::Regular, 24, 1000, tally);
  soundness_sweep::run(Kind::X, 16, 2000, tally);
  soundness_sweep::run(Kind::Jigsaw, 8, 3000, tally);
  std::printf("%s\n", soundness_sweep::summary(tally).c_str());
  // The run must exercise every technique, or it proves nothing about it.
  for (int t = 0; t < technique_runs::kTechniqueCount; ++t)
    EXPECT_GT(tally.successes[t], 0) << technique_runs::name(static_cast<technique_runs::Technique>(t));
}

}  // namespace
