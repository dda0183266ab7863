// One generation on several threads (sudoku_set_generation_threads): a seeded call gives
// the same valid puzzle for any thread count from two up, one thread is the plain loop,
// and a cancel stops every thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "group_maps_location.h"
#include "reference_solver.h"
#include "testing/test_boards.h"
#include "util/random.h"

namespace {

struct Made {
  int ok = 0;
  std::vector<int> clues, solution, groups;
};

Made generate(int threads, uint64_t seed, int map, int x, int level) {
  SudokuPuzzle* h = sudoku_new();
  if (threads) sudoku_set_generation_threads(h, threads);
  sudoku_seed_random(seed);
  testing::internal::CaptureStderr();
  Made m;
  m.ok = sudoku_generate(h, map, x, level, 2);
  testing::internal::GetCapturedStderr();
  sudoku_seed_random(0);
  for (int i = 0; i < 81; ++i) {
    int v[9];
    sudoku_get_cell(h, i, v);
    m.solution.push_back(v[0]);
    m.clues.push_back(v[1] ? v[0] : 0);
    m.groups.push_back(v[6]);
  }
  sudoku_free(h);
  return m;
}

struct Case {
  int level, map, x;
  uint64_t seed;
};

// Level 0 ends its tries at the first one with the planned clue count; levels 2 and 3 keep
// the best rating of 100 tries.
Case const kCases[] = {{0, 0, 0, 11}, {2, 1, 1, 12}, {3, 0, 1, 13}, {3, 1, 0, 14}};

TEST(GenerateThreads, SeededCallGivesOnePuzzleForTwoAndThreeThreads) {
  static test_group_maps::UseShippedGroupMaps const use_shipped_maps;
  for (Case const& c : kCases) {
    SCOPED_TRACE("level " + std::to_string(c.level) + " map " + std::to_string(c.map) + " x " + std::to_string(c.x));
    Made const two = generate(2, c.seed, c.map, c.x, c.level);
    Made const three = generate(3, c.seed, c.map, c.x, c.level);
    ASSERT_EQ(two.ok, 1);
    ASSERT_EQ(three.ok, 1);
    EXPECT_EQ(two.clues, three.clues);
    EXPECT_EQ(two.solution, three.solution);
    std::array<int, 81> found{};
    ASSERT_EQ(reference::count_solutions(two.clues.data(), two.groups.data(), c.x == 1, 2, &found), 1);
    for (int i = 0; i < 81; ++i) EXPECT_EQ(found[i], two.solution[i]);
  }
}

// One thread is the loop on the calling thread: the same puzzle as a handle never set.
TEST(GenerateThreads, OneThreadIsThePlainLoop) {
  for (Case const& c : {kCases[0], kCases[2]}) {
    Made const plain = generate(0, c.seed, c.map, c.x, c.level);
    Made const one = generate(1, c.seed, c.map, c.x, c.level);
    ASSERT_EQ(plain.ok, 1);
    EXPECT_EQ(plain.clues, one.clues);
    EXPECT_EQ(plain.solution, one.solution);
  }
}

TEST(GenerateThreads, CancelStopsEveryThread) {
  SudokuPuzzle* h = sudoku_new();
  sudoku_set_generation_threads(h, 2);
  std::atomic<bool> started{false};
  std::atomic<int> result{-1};
  testing::internal::CaptureStderr();
  std::thread caller([&] {
    started = true;
    result = sudoku_generate(h, 0, 1, 9, 2);  // 20000 tries: long enough to cancel
  });
  while (!started) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(200));
  sudoku_cancel(h);
  caller.join();
  std::string const log = testing::internal::GetCapturedStderr();
  EXPECT_EQ(result.load(), 0) << log;
  sudoku_free(h);
}

// The deadline stops the tries too: the try loop ends early and reports a stop (-4) or
// no acceptable puzzle (-3), never a puzzle of a level below 7.
TEST(GenerateThreads, DeadlineStopsTheTries) {
  Puzzle p;
  p.set_types(MAP_REGULAR, ADJ_X);
  p.set_difficulty(UI_DIFFICULTY(6));
  p.setup(test_boards::square_map());
  p.define_are_neighbors_array();
  p.setup_ptrs_first_in_dims();
  sudoku_seed_random(21);
  ASSERT_TRUE(p.construct_solution());
  sudoku_seed_random(0);
  p.generation_threads = 2;
  sudoku_set_deadline_ms(reinterpret_cast<SudokuPuzzle*>(&p), 30);
  testing::internal::CaptureStderr();
  int const result = p.construct_puzzle(UI_QUALITY_2, MAP_REGULAR);
  std::string const log = testing::internal::GetCapturedStderr();
  EXPECT_TRUE(result == -4 || result == -3) << result << log;
  EXPECT_TRUE(p.deadline_has_passed());
}

// No tries at all (quality 0 at level 0): the threaded loop reports the failure as the plain one does.
TEST(GenerateThreads, NoTriesReportsFailure) {
  Puzzle p;
  p.set_types(MAP_REGULAR, ADJ_NONE);
  p.set_difficulty(UI_QUICKIE);
  p.setup(test_boards::square_map());
  p.define_are_neighbors_array();
  p.setup_ptrs_first_in_dims();
  ASSERT_TRUE(p.construct_solution());
  p.set_n_clues(UI_QUALITY_2);
  p.generation_threads = 3;
  testing::internal::CaptureStderr();
  EXPECT_EQ(p.make_puzzle(UI_QUALITY_0), -3);
  std::string const log = testing::internal::GetCapturedStderr();
  EXPECT_NE(log.find("make_puzzle FAILED -3: itries=0/0"), std::string::npos) << log;
}

}  // namespace
