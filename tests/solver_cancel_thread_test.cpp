// Cancelling a running construction and a running solve from another thread.
//
// The stop flags are written with atomic stores and read with atomic loads, so
// this test is clean under ThreadSanitizer:
//   cmake -S . -B build-tsan -DNONET_TSAN=ON -DCMAKE_BUILD_TYPE=Debug -DNONET_BUILD_BENCH=OFF
//   cmake --build build-tsan -j2 --target nonet_tests
//   build-tsan/tests/nonet_tests --gtest_filter='CancelFromAnotherThread.*'
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "solver_fixtures.h"
#include "util/clock.h"

TEST(CancelFromAnotherThread, StopsARunningConstruction) {
  // Group 4 of this map is the whole of row 4; the search for a completion runs
  // far longer than the test waits, so only the cancel can end it.
  Puzzle p;
  solver_fixtures::setup_board(p, solver_fixtures::row_group_map(), ADJ_NONE, MAP_IRREGULAR);
  std::atomic<bool> started{false};
  bool result = true;
  // A deadline an hour away: the poll counter shows how far the search ran.
  p.deadline_ms = steady_now_ms() + 3600 * 1000;
  std::thread builder([&] {
    sudoku_seed_random(31);
    started.store(true);
    result = p.construct_solution();
    sudoku_seed_random(0);
  });
  while (!started.load()) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  p.store_both_stop_flags(true);  // what the cancel call does
  builder.join();
  EXPECT_FALSE(result);
  EXPECT_TRUE(p.deadline_has_passed());
  EXPECT_GT(p.deadline_poll_count, 0u);
  // The natural group order is back even after a cancelled search.
  EXPECT_EQ(p.ptrs_first_in_dims[DIM_GROUP][0], &p.cells[0]);
}

TEST(CancelFromAnotherThread, StopsARunningSolve) {
  std::vector<Puzzle> boards(3);
  for (size_t i = 0; i < boards.size(); ++i)
    ASSERT_TRUE(solver_fixtures::make_random_puzzle(boards[i], 900 + i, test_boards::square_map(), ADJ_NONE,
                                                    MAP_REGULAR, 2000));
  Puzzle& p = boards[0];
  std::atomic<bool> running{false};
  std::atomic<int> solves{0};
  std::thread solver([&] {
    running.store(true);
    // Solve the boards round and round until a solve reports the cancel. The cancel
    // may land after a solve has finished, so only a solve that began with it set
    // must report it.
    for (size_t i = 0;; i = (i + 1) % boards.size()) {
      Puzzle& b = boards[i];
      bool const cancelled_before = b.cancel_is_requested();
      b.apply_mask();
      b.solve(FINNED_FISH);
      solves.fetch_add(1);
      if (cancelled_before) {
        EXPECT_EQ(b.method_counts[kSlotUnsolved], 1);
      }
      if (cancelled_before || (b.cancel_is_requested() && b.method_counts[kSlotUnsolved] == 1)) break;
      if (&b != &p) continue;
      EXPECT_TRUE(b.check_elim_bits_against_soln());
    }
  });
  while (!running.load()) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  for (auto& b : boards) b.store_both_stop_flags(true);
  solver.join();
  EXPECT_GE(solves.load(), 1);
  // A fresh solve on a cancelled board leaves every candidate as it was.
  p.apply_mask();
  std::vector<uint32_t> before;
  for (auto const& cell : p.cells) before.push_back(cell.elim_bits);
  p.solve(FORCING_NET);
  std::vector<uint32_t> after;
  for (auto const& cell : p.cells) after.push_back(cell.elim_bits);
  EXPECT_EQ(before, after);
  EXPECT_EQ(p.method_counts[kSlotUnsolved], 1);
}
