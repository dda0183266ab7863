// The probe that lets clue removal skip the solver on clue sets with a second
// solution: it must agree with an independent counter, and the solver it replaces
// must indeed never solve such a clue set.
#include <gtest/gtest.h>

#include "generator/uniqueness_probe.h"
#include "testing/random_puzzles.h"
#include "testing/test_boards.h"
#include "util/random.h"

namespace {

using random_puzzles::Kind;

void load_clues(Puzzle& p, Kind kind, std::array<int, 81> const& clues, std::array<int, 81> const& solution) {
  random_puzzles::load(p, kind, {random_puzzles::to_text(clues), random_puzzles::to_text(solution)});
}

class ProbeOnBoards : public ::testing::TestWithParam<Kind> {};

// A minimal puzzle has one solution and loses it with any clue taken away: exact
// expectations from the independent search, on each kind of board.
TEST_P(ProbeOnBoards, MinimalPuzzleAndEveryClueRemoved) {
  Kind const kind = GetParam();
  random_puzzles::Layout const layout = random_puzzles::layout_for(kind);
  for (uint64_t seed = 1; seed <= 4; ++seed) {
    sudoku_seed_random(7000 + seed + 100 * static_cast<uint64_t>(kind));
    auto const solution = random_puzzles::random_solution(layout);
    auto const minimal = random_puzzles::minimal_puzzle(layout, solution);
    sudoku_seed_random(0);
    Puzzle p;
    load_clues(p, kind, minimal, solution);
    UniquenessProbe probe(p);
    EXPECT_FALSE(probe.has_second_solution(p)) << "seed " << seed;
    for (int i = 0; i < 81; ++i) {
      if (!minimal[i]) continue;
      p.cells[i].mask = 0;
      EXPECT_TRUE(probe.has_second_solution(p)) << "seed " << seed << " without clue " << i;
      EXPECT_TRUE(probe.has_second_solution_after_removing(p, i, -1)) << "seed " << seed << " without clue " << i;
      p.cells[i].mask = 1;
    }
  }
}

// Removing one or two clues from a puzzle with one solution: the quick form, which only
// tries other digits in the removed cells, agrees with the full count.
TEST_P(ProbeOnBoards, RemovalFormAgreesWithFullCount) {
  Kind const kind = GetParam();
  random_puzzles::Layout const layout = random_puzzles::layout_for(kind);
  int several = 0, unique = 0;
  for (uint64_t seed = 1; seed <= 3; ++seed) {
    sudoku_seed_random(13000 + seed + 100 * static_cast<uint64_t>(kind));
    auto const solution = random_puzzles::random_solution(layout);
    auto clues = random_puzzles::minimal_puzzle(layout, solution);
    for (int extra = 0; extra < 6;) {  // a few clues beyond minimal, so some removals keep one solution
      int const i = static_cast<int>(arc4random_uniform(81));
      if (!clues[i]) clues[i] = solution[i], ++extra;
    }
    Puzzle p;
    load_clues(p, kind, clues, solution);
    UniquenessProbe probe(p);
    for (int k = 0; k < 40; ++k) {
      int const a = static_cast<int>(arc4random_uniform(81));
      int const b = k % 2 ? static_cast<int>(arc4random_uniform(81)) : -1;
      if (!clues[a] || (b >= 0 && (!clues[b] || b == a))) continue;
      p.cells[a].mask = 0;
      if (b >= 0) p.cells[b].mask = 0;
      bool const full = probe.has_second_solution(p);
      EXPECT_EQ(probe.has_second_solution_after_removing(p, a, b), full) << "seed " << seed << " cells " << a << " " << b;
      (full ? several : unique)++;
      p.cells[a].mask = 1;
      if (b >= 0) p.cells[b].mask = 1;
    }
    sudoku_seed_random(0);
  }
  EXPECT_GT(several, 0);
  EXPECT_GT(unique, 0);
}

// Random clue sets around the counts where uniqueness comes and goes.
TEST_P(ProbeOnBoards, AgreesWithIndependentCounterOnRandomClueSets) {
  Kind const kind = GetParam();
  random_puzzles::Layout const layout = random_puzzles::layout_for(kind);
  random_puzzles::Search search(layout);
  int unique = 0, several = 0;
  for (uint64_t seed = 1; seed <= 30; ++seed) {
    sudoku_seed_random(9000 + seed + 100 * static_cast<uint64_t>(kind));
    auto const solution = random_puzzles::random_solution(layout);
    int const n_clues = 24 + static_cast<int>(arc4random_uniform(16));
    std::array<int, 81> clues{};
    for (int placed = 0; placed < n_clues;) {
      int const i = static_cast<int>(arc4random_uniform(81));
      if (!clues[i]) clues[i] = solution[i], ++placed;
    }
    sudoku_seed_random(0);
    Puzzle p;
    load_clues(p, kind, clues, solution);
    bool const second = UniquenessProbe(p).has_second_solution(p);
    int const count = search.count(clues, 2);
    EXPECT_EQ(second, count >= 2) << "seed " << seed << ": " << random_puzzles::to_text(clues);
    (count == 1 ? unique : several)++;
  }
  EXPECT_GT(unique, 0);
  EXPECT_GT(several, 0);
}

// What makes skipping the solver exact: the whole ladder never solves a clue set that
// has a second solution (no technique assumes uniqueness).
TEST_P(ProbeOnBoards, LadderNeverSolvesWhatTheProbeRejects) {
  Kind const kind = GetParam();
  random_puzzles::Layout const layout = random_puzzles::layout_for(kind);
  sudoku_seed_random(11000 + 100 * static_cast<uint64_t>(kind));
  auto const solution = random_puzzles::random_solution(layout);
  auto const minimal = random_puzzles::minimal_puzzle(layout, solution);
  sudoku_seed_random(0);
  Puzzle p;
  load_clues(p, kind, minimal, solution);
  int checked = 0;
  for (int i = 0; i < 81 && checked < 6; ++i) {
    if (!minimal[i]) continue;
    p.cells[i].mask = 0;
    ASSERT_TRUE(UniquenessProbe(p).has_second_solution(p));
    p.apply_mask();
    p.solve(FORCING_NET);
    EXPECT_EQ(p.method_counts[kSlotUnsolved], 1) << "clue " << i << " removed";
    for (int c = 0; c < 81; ++c)  // every candidate of some solution survives
      EXPECT_TRUE(p.cells[c].elim_bits & static_cast<uint32_t>(p.cells[c].solution)) << "cell " << c;
    p.cells[i].mask = 1;
    ++checked;
  }
  EXPECT_EQ(checked, 6);
}

// Two clues with one digit: a shared row, column, group or (on X boards) diagonal is a
// clash, which the probe leaves to the solver (false); two clues that do not clash
// leave many solutions (true). (A nearly empty jigsaw board can outlast the
// probe's search budget, so the jigsaw row is a clash only.)
TEST(Probe, TwoCluesWithOneDigitClashExactlyWhenTheyShareAUnit) {
  struct Case {
    Kind kind;
    int a, b;
    bool clash;
  };
  Case const cases[] = {
      {Kind::Regular, 0, 8, true},  {Kind::Regular, 0, 72, true}, {Kind::Regular, 0, 20, true},
      {Kind::Regular, 0, 80, false}, {Kind::X, 0, 80, true},       {Kind::X, 8, 72, true},
      {Kind::X, 1, 79, false},       {Kind::Jigsaw, 27, 1, true},
  };
  std::array<int, 81> none{};
  for (Case const& c : cases) {
    sudoku_seed_random(5);
    random_puzzles::Layout const layout = random_puzzles::layout_for(c.kind);
    std::array<int, 81> const solution = random_puzzles::random_solution(layout);
    Puzzle p;
    load_clues(p, c.kind, none, solution);
    for (int cell : {c.a, c.b}) {
      p.cells[cell].mask = 1;
      p.cells[cell].solution = 1 << 5;
    }
    UniquenessProbe probe(p);
    EXPECT_EQ(probe.has_second_solution(p), !c.clash) << "cells " << c.a << " and " << c.b;
  }
  sudoku_seed_random(0);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ProbeOnBoards, ::testing::Values(Kind::Regular, Kind::X, Kind::Jigsaw),
                         [](auto const& info) {
                           return info.param == Kind::Regular ? "Regular" : info.param == Kind::X ? "X" : "Jigsaw";
                         });

}  // namespace
