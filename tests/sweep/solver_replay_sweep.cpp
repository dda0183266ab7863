// The long replay: a few thousand seeded random positions (regular, X and jigsaw
// boards) solved at every replay rung, compared with the recorded fingerprints.
#include "../solver_replay.h"

TEST(SolverReplaySweep, RegularBoards) {
  solver_replay::check_against_file(solver_replay::positions(1400, 0, 0, 1000000), "sweep_regular.txt", false, true);
}

TEST(SolverReplaySweep, XBoards) {
  solver_replay::check_against_file(solver_replay::positions(0, 900, 0, 1000000), "sweep_x.txt", false, true);
}

TEST(SolverReplaySweep, JigsawBoards) {
  solver_replay::check_against_file(solver_replay::positions(0, 0, 700, 1000000), "sweep_jigsaw.txt", false, true);
}

TEST(SolverReplaySweep, TechniqueStepsOnCandidateBoards) {
  solver_replay::check_against_file(solver_replay::positions(800, 500, 500, 2000000), "sweep_steps.txt", true, true);
}
