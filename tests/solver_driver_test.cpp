// The solver driver: ladder, statistics slots, cancellation, dispatch and brute force.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "reference_solver.h"
#include "solver_fixtures.h"

using solver_fixtures::make_random_puzzle;
using test_boards::square_map;

namespace {

std::vector<uint32_t> candidates_of(Puzzle const& p) {
  std::vector<uint32_t> out;
  for (auto const& cell : p.cells) out.push_back(cell.elim_bits);
  return out;
}

// The first seeded random puzzle (from first_seed on) that `accept` takes.
template <class Accept>
bool find_puzzle(Puzzle& p, uint64_t first_seed, Accept accept, ADJACENCY_TYPE adjacency = ADJ_NONE) {
  for (uint64_t seed = first_seed; seed < first_seed + 200; ++seed) {
    if (!make_random_puzzle(p, seed, square_map(), adjacency)) continue;
    if (accept(p)) {
      p.apply_mask();
      return true;
    }
  }
  return false;
}

// A solved grid with the four corners of a swappable rectangle (two rows of one
// band, two columns of different boxes, digits a b / b a) left open: two solutions.
// The clues are propagated.
bool two_solution_board(Puzzle& p) {
  for (uint64_t seed = 1; seed < 200; ++seed) {
    sudoku_seed_random(seed);
    solver_fixtures::setup_board(p, square_map(), ADJ_NONE);
    bool const built = p.construct_solution();
    sudoku_seed_random(0);
    if (!built) return false;
    auto s = [&](int r, int c) { return p.cells[r * 9 + c].solution; };
    for (int r1 = 0; r1 < 9; ++r1)
      for (int r2 = r1 + 1; r2 < (r1 / 3 + 1) * 3; ++r2)
        for (int c1 = 0; c1 < 9; ++c1)
          for (int c2 = (c1 / 3 + 1) * 3; c2 < 9; ++c2)
            if (s(r1, c1) == s(r2, c2) && s(r1, c2) == s(r2, c1)) {
              for (auto& cell : p.cells) cell.mask = 1;
              for (int c : {r1 * 9 + c1, r1 * 9 + c2, r2 * 9 + c1, r2 * 9 + c2}) p.cells[c].mask = 0;
              p.apply_mask();
              p.solve(SIMPLE_ELIMINATION);
              return true;
            }
  }
  return false;
}

bool solved_by(Puzzle& p, METHOD_TYPE m) {
  p.apply_mask();
  p.solve(m);
  return p.method_counts[kSlotUnsolved] == 0;
}

}  // namespace

TEST(SolverDriver, PredecessorLadder) {
  std::vector<int> ladder;
  for (METHOD_TYPE m = FORCING_NET; m != SIMPLE_ELIMINATION; m = Puzzle::predecessor(m)) ladder.push_back(m);
  EXPECT_EQ(ladder, (std::vector<int>{26, 17, 5, 11, 10, 9, 51, 12, 25, 8, 7, 4, 3, 2, 1}));
  EXPECT_EQ(Puzzle::predecessor(BRUTE_FORCE), FORCING_NET);
  EXPECT_EQ(Puzzle::predecessor(FINNED_FISH), FRANKEN_FISH);
  EXPECT_EQ(Puzzle::predecessor(FINNED_FISH_ALT), FRANKEN_FISH);
  EXPECT_EQ(Puzzle::predecessor(INACTIVE_FISH), ALMOST_LOCKED_SETS);
  EXPECT_EQ(Puzzle::predecessor(LARGE_FISH), XYZ_WING);
  EXPECT_EQ(Puzzle::predecessor(XYZ_WING), XY_WING);
  EXPECT_EQ(Puzzle::predecessor(static_cast<METHOD_TYPE>(24)), static_cast<METHOD_TYPE>(23));
}

TEST(SolverDriver, SimpleEliminationStopsWhereAHiddenSingleIsNeeded) {
  Puzzle p;
  ASSERT_TRUE(find_puzzle(p, 100, [](Puzzle& q) {
    return !solved_by(q, SIMPLE_ELIMINATION) && solved_by(q, HIDDEN_SINGLES);
  }));
  int clues = 0;
  for (auto const& cell : p.cells) clues += cell.mask & 1;

  p.solve(SIMPLE_ELIMINATION);
  EXPECT_EQ(p.method_counts[kSlotUnsolved], 1);
  EXPECT_EQ(p.method_counts[SIMPLE_ELIMINATION], 1);
  EXPECT_EQ(p.method_counts[kSlotClueCount], clues);
  EXPECT_TRUE(p.check_elim_bits_against_soln());

  p.apply_mask();
  p.solve(HIDDEN_SINGLES);
  EXPECT_EQ(p.method_counts[kSlotUnsolved], 0);
  EXPECT_GE(p.method_counts[HIDDEN_SINGLES], 1);
  // Every hidden single is counted once, by the kind of house it was found in.
  EXPECT_EQ(p.method_counts[kSlotHiddenSingleGroup] + p.method_counts[kSlotHiddenSingleLine], p.method_counts[HIDDEN_SINGLES]);
  // Base-level runs that removed something: the first, then at most one per success.
  EXPECT_GE(p.method_counts[SIMPLE_ELIMINATION], 1);
  EXPECT_LE(p.method_counts[SIMPLE_ELIMINATION], p.method_counts[HIDDEN_SINGLES] + 1);
  EXPECT_EQ(p.method_counts[kSlotClueCount], clues);
  for (auto const& cell : p.cells) {
    EXPECT_EQ(cell.elim_bits, static_cast<uint32_t>(cell.solution));
    EXPECT_EQ(cell.mask & ~1, 0);  // propagation marks cleared
  }
  // Nothing above the requested technique is credited.
  for (int slot = 2; slot < N_METHOD_COUNTS; ++slot)
    if (slot != 28 && slot != 29 && slot != 32 && slot != 33) {
      EXPECT_EQ(p.method_counts[slot], 0) << slot;
    }
}

TEST(SolverDriver, CancelBeforeSolveChangesNothing) {
  Puzzle p;
  ASSERT_TRUE(make_random_puzzle(p, 7, square_map(), ADJ_NONE));
  p.apply_mask();
  auto const before = candidates_of(p);
  p.set_cancel_requested(true);
  p.solve(FORCING_NET);
  EXPECT_EQ(p.method_counts[kSlotUnsolved], 1);
  EXPECT_EQ(p.method_counts[SIMPLE_ELIMINATION], 0);
  EXPECT_EQ(candidates_of(p), before);
  EXPECT_EQ(p.solve_by_recursion(SIMPLE_ELIMINATION), CANCELLED);
  EXPECT_EQ(p.solve_by_recursion(X_WING), CANCELLED);
  p.set_cancel_requested(false);
  EXPECT_NE(p.solve_by_recursion(SIMPLE_ELIMINATION), CANCELLED);
}

TEST(SolverDriver, ResultCodesOfTheBaseLevel) {
  Puzzle p;
  ASSERT_TRUE(find_puzzle(p, 300, [](Puzzle& q) { return !solved_by(q, SIMPLE_ELIMINATION); }));
  for (int& c : p.method_counts) c = 0;
  EXPECT_EQ(p.solve_by_recursion(SIMPLE_ELIMINATION), UNSOLVED);
  EXPECT_EQ(p.solve_by_recursion(SIMPLE_ELIMINATION), NO_PROGRESS);  // every single already marked
  EXPECT_EQ(p.method_counts[SIMPLE_ELIMINATION], 1);
}

TEST(SolverDriver, SolveStartsFreshStatisticsEachCall) {
  Puzzle p;
  ASSERT_TRUE(find_puzzle(p, 100, [](Puzzle& q) { return !solved_by(q, HIDDEN_SINGLES); }));
  p.solve(FORCING_NET);
  int const zero = p.method_counts[SIMPLE_ELIMINATION];
  // A second solve continues from the candidates left behind but counts afresh.
  p.solve(FORCING_NET);
  EXPECT_LE(p.method_counts[SIMPLE_ELIMINATION], zero);
  EXPECT_TRUE(p.check_elim_bits_against_soln());
}

TEST(SolverDriver, MethodsWithoutATechniqueEndTheProcess) {
  Puzzle p;
  solver_fixtures::open_board(p);
  EXPECT_EXIT(p.simplify(XY_WING), testing::ExitedWithCode(5), "simplify: no technique for method 13");
  EXPECT_EXIT(p.simplify(static_cast<METHOD_TYPE>(20)), testing::ExitedWithCode(5), "");
  EXPECT_EXIT(p.simplify(SIMPLE_ELIMINATION), testing::ExitedWithCode(5), "");
  EXPECT_EXIT(p.solve(LARGE_FISH), testing::ExitedWithCode(5), "");  // its ladder runs through 13
  // Values below the ladder stop too instead of descending without end.
  EXPECT_EXIT(p.solve(static_cast<METHOD_TYPE>(-3)), testing::ExitedWithCode(5), "");
  EXPECT_EXIT(p.solve(static_cast<METHOD_TYPE>(99)), testing::ExitedWithCode(5), "");
}

TEST(SolverDriver, InactiveFishNeverSucceeds) {
  Puzzle p;
  ASSERT_TRUE(make_random_puzzle(p, 400, square_map(), ADJ_NONE));
  p.solve(INACTIVE_FISH);
  EXPECT_EQ(p.method_counts[INACTIVE_FISH], 0);
  EXPECT_FALSE(p.simplify(INACTIVE_FISH));
}

TEST(SolverDriver, BruteForceStepTerminates) {
  // The ladder cannot finish a board with two solutions; the brute-force step
  // restores the board, so it must count as no progress instead of looping.
  Puzzle p;
  ASSERT_TRUE(two_solution_board(p));
  p.apply_mask();
  p.solve(FORCING_NET);
  auto const after_ladder = candidates_of(p);
  p.apply_mask();
  p.solve(BRUTE_FORCE);
  EXPECT_EQ(p.method_counts[kSlotUnsolved], 1);
  EXPECT_EQ(p.method_counts[BRUTE_FORCE], 0);  // not unique
  EXPECT_EQ(candidates_of(p), after_ladder);
  EXPECT_EQ(p.brute_force_solutions, 2);
}

TEST(SolverDriver, BruteForceStepCreditsAUniqueSolution) {
  Puzzle p;
  // A published very hard puzzle that the whole ladder up to the forcing net leaves unsolved.
  char const* const clues81 =
      "1.......2.9.4...5...6...7...5.9.3.......7.......85..4.7.....6...3...9.8...2.....1";
  int clues[81], groups[81];
  for (int i = 0; i < 81; ++i) {
    clues[i] = clues81[i] == '.' ? 0 : clues81[i] - '0';
    groups[i] = square_group_map[i / 9][i % 9];
  }
  std::array<int, 81> solution{};
  ASSERT_EQ(reference::count_solutions(clues, groups, false, 2, &solution), 1);
  std::string sol81;
  for (int d : solution) sol81 += static_cast<char>('0' + d);
  test_boards::load_generation_board(p, clues81, sol81.c_str(), square_map());
  p.solve(FORCING_NET);
  ASSERT_EQ(p.method_counts[kSlotUnsolved], 1);
  auto const after_ladder = candidates_of(p);
  p.apply_mask();
  p.solve(BRUTE_FORCE);
  EXPECT_EQ(p.method_counts[kSlotUnsolved], 1);
  EXPECT_EQ(p.method_counts[BRUTE_FORCE], 1);
  EXPECT_EQ(p.brute_force_solutions, 1);
  EXPECT_EQ(candidates_of(p), after_ladder);
}

TEST(SolverDriver, BruteForceCountsTwoSolutions) {
  Puzzle p;
  ASSERT_TRUE(two_solution_board(p));
  auto const before = candidates_of(p);
  EXPECT_FALSE(p.solve_by_brute_force(nullptr, 0));
  EXPECT_EQ(p.brute_force_solutions, 2);
  EXPECT_FALSE(p.brute_force_limit_reached);
  EXPECT_EQ(candidates_of(p), before);
}

TEST(SolverDriver, BruteForcePrintsTheOneSolutionOnce) {
  Puzzle p;
  ASSERT_TRUE(make_random_puzzle(p, 21, square_map(), ADJ_NONE));
  p.solve(SIMPLE_ELIMINATION);
  p.method_counts[kSlotUnsolved] = 1;
  auto const before = candidates_of(p);
  char* text = nullptr;
  size_t size = 0;
  FILE* stream = open_memstream(&text, &size);
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(p.solve_by_brute_force(stream, 0));
  std::fclose(stream);
  std::string expected = "solved puzzle:\n";
  char field[8];
  for (int r = 0; r < 9; ++r) {
    for (int c = 0; c < 9; ++c) {
      std::snprintf(field, sizeof field, "%3d ", digit_of_bit(static_cast<uint32_t>(p.cells[r * 9 + c].solution)));
      expected += field;
    }
    expected += "\n";
  }
  EXPECT_EQ(std::string(text, size), expected);
  std::free(text);
  EXPECT_EQ(p.brute_force_solutions, 1);
  EXPECT_EQ(p.method_counts[kSlotUnsolved], 0);
  EXPECT_EQ(candidates_of(p), before);
}

TEST(SolverDriver, BruteForceCallLimit) {
  Puzzle p;
  ASSERT_TRUE(make_random_puzzle(p, 22, square_map(), ADJ_NONE));
  p.solve(SIMPLE_ELIMINATION);
  auto const before = candidates_of(p);
  EXPECT_FALSE(p.solve_by_brute_force(nullptr, 1));
  EXPECT_TRUE(p.brute_force_limit_reached);
  EXPECT_EQ(p.brute_force_solutions, 2);
  EXPECT_EQ(p.brute_force_call_limit, 1);
  EXPECT_EQ(candidates_of(p), before);
  // A generous limit finds the single solution and records the calls made.
  EXPECT_TRUE(p.solve_by_brute_force(nullptr, 1000000));
  EXPECT_FALSE(p.brute_force_limit_reached);
  EXPECT_GE(p.brute_force_calls, 1);
}

TEST(SolverDriver, TrivialMembersDoNothing) {
  Puzzle p;
  solver_fixtures::open_board(p);
  auto const before = candidates_of(p);
  EXPECT_FALSE(mutant_chains(1u << 3));
  EXPECT_FALSE(turbot_chains(1u << 3));
  EXPECT_FALSE(p.als3(&p.cells[0], &p.cells[1], &p.cells[2]));
  int houses[3][9] = {};
  EXPECT_FALSE(p.simplify_once_mutant_fish_for_digit(1u << 3, 0, 0, houses));
  EXPECT_FALSE(p.simplify_using_chains_for_cell_and_digit(&p.cells[0], 1u << 3, CHAINS_PATTERN_NONE));
  p.check_elim_bits_over_dims();
  p.yield();
  EXPECT_EQ(candidates_of(p), before);
}
