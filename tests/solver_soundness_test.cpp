// Soundness of the technique ladder over seeded random puzzles: no rung removes a
// true candidate and every puzzle reported solved equals its solution. The long
// form of this sweep is tests/sweep/solver_soundness_sweep.cpp.
#include "solver_soundness.h"

namespace {

// Small enough for a Debug+ASan run of the default suite: fewer puzzles, and a
// smaller brute-force budget while clues are removed (so a few more clues stay).
constexpr int kPuzzlesPerBoardKind = 4;
constexpr long kCallLimit = 2000;

}  // namespace

TEST(SolverSoundness, RegularBoards) {
  solver_soundness::check_random_puzzles(2 * kPuzzlesPerBoardKind, 1000, test_boards::square_map(), ADJ_NONE,
                                         MAP_REGULAR, kCallLimit);
}

TEST(SolverSoundness, XBoards) {
  solver_soundness::check_random_puzzles(kPuzzlesPerBoardKind, 2000, test_boards::square_map(), ADJ_X, MAP_REGULAR,
                                         kCallLimit);
}

TEST(SolverSoundness, IrregularBoards) {
  solver_soundness::check_random_puzzles(kPuzzlesPerBoardKind, 3000, solver_fixtures::shifted_map(), ADJ_NONE,
                                         MAP_IRREGULAR, kCallLimit);
}
