// The long soundness sweep: well over a thousand seeded random puzzles through
// every rung of the ladder, on regular, X and irregular boards.
// Run with: ctest -L sweep   (or build/tests/nonet_sweep_tests)
#include "../solver_soundness.h"

TEST(SolverSoundnessSweep, RegularBoards) {
  auto const tally = solver_soundness::check_random_puzzles(600, 100000, test_boards::square_map(), ADJ_NONE);
  EXPECT_EQ(tally.puzzles, 600);
}

TEST(SolverSoundnessSweep, XBoards) {
  auto const tally = solver_soundness::check_random_puzzles(400, 200000, test_boards::square_map(), ADJ_X);
  EXPECT_EQ(tally.puzzles, 400);
}

TEST(SolverSoundnessSweep, IrregularBoards) {
  auto const tally = solver_soundness::check_random_puzzles(200, 300000, solver_fixtures::shifted_map(), ADJ_NONE,
                                                            MAP_IRREGULAR);
  EXPECT_EQ(tally.puzzles, 200);
}
