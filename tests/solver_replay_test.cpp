// The solver reproduces its recorded results (candidates and method counts after
// every rung) on seeded random positions of regular, X and jigsaw boards. The long
// form is tests/sweep/solver_replay_sweep.cpp.
#include "solver_replay.h"

TEST(SolverReplay, RecordedPositions) {
  solver_replay::check_against_file(solver_replay::positions(40, 20, 20, 0), "short.txt");
}

TEST(SolverReplay, TechniqueStepsOnCandidateBoards) {
  solver_replay::check_against_file(solver_replay::positions(40, 20, 20, 0), "short_steps.txt", true);
}

TEST(SolverReplay, FingerprintSeesEveryCellAndCounter) {
  Puzzle p;
  solver_fixtures::open_board(p);
  uint64_t const base = solver_replay::fingerprint(p);
  p.cells[80].elim_bits &= ~(1u << 9);
  uint64_t const cell_changed = solver_replay::fingerprint(p);
  EXPECT_NE(base, cell_changed);
  p.method_counts[N_METHOD_COUNTS - 1] += 1;
  EXPECT_NE(cell_changed, solver_replay::fingerprint(p));
}
