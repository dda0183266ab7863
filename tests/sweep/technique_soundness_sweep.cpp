// Long soundness runs of the wing, chain, almost-locked-set and forcing-net
// techniques: a thousand seeded random puzzles over regular, X and jigsaw boards.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/soundness_sweep.h"

namespace {

using random_puzzles::Kind;

void sweep(Kind kind, int n, uint64_t seed) {
  technique_runs::Tally tally;
  soundness_sweep::run(kind, n, seed, tally);
  std::printf("%s: %s\n", soundness_sweep::kind_name(kind), soundness_sweep::summary(tally).c_str());
  for (int t = 0; t < technique_runs::kTechniqueCount; ++t)
    EXPECT_GT(tally.successes[t], 0) << technique_runs::name(static_cast<technique_runs::Technique>(t));
}

TEST(TechniqueSoundnessSweep, RegularBoards) { sweep(Kind::Regular, 500, 100000); }
TEST(TechniqueSoundnessSweep, XBoards) { sweep(Kind::X, 300, 200000); }
TEST(TechniqueSoundnessSweep, JigsawBoards) { sweep(Kind::Jigsaw, 200, 300000); }

}  // namespace
