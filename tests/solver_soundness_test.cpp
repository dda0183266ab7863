// Soundness of the technique ladder over seeded random puzzles: no rung removes a
// true candidate and every puzzle reported solved equals its solution. The long
// form of this sweep is tests/sweep/solver_soundness_sweep.cpp.
#include "solver_soundness.h"

namespace {

// Small enough for a Debug+ASan run of the default suite.
constexpr int kPuzzlesPerBoardKind = 8;

}  // namespace

TEST(SolverSoundness, RegularBoards) {
  solver_soundness::check_random_puzzles(kPuzzlesPerBoardKind, 1000, test_boards::square_map(), ADJ_NONE);
}

TEST(SolverSoundness, XBoards) {
  solver_soundness::check_random_puzzles(kPuzzlesPerBoardKind, 2000, test_boards::square_map(), ADJ_X);
}

TEST(SolverSoundness, IrregularBoards) {
  solver_soundness::check_random_puzzles(kPuzzlesPerBoardKind, 3000, solver_fixtures::shifted_map(), ADJ_NONE,
                                         MAP_IRREGULAR);
}
