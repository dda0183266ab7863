// Harvest and targeted generation: kept puzzles rate into their buckets with one
// solution equal to the stored one, seeds and removal order, attempt bounds, the
// irregular fallback, and the thread-local harvest record.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <cstring>
#include <set>
#include <thread>

#include "api/engine_api.h"
#include "api/harvest.h"
#include "classify_support.h"
#include "group_maps_location.h"
#include "util/zipped_file.h"

namespace {

test_group_maps::UseShippedGroupMaps const use_shipped_maps;

GenParams params(int map, int adjacency, int seed) {
  return GenParams{map, adjacency, 0, 200000, 0, 0, 0, seed};
}

// A kept puzzle: its rating is the bucket, and the tests' own counter finds exactly
// one solution, the stored one.
void expect_kept_puzzle(int const clues[81], int const solution[81], int const groups[81], int map, int adjacency,
                        int bucket) {
  PuzzleClassifyResult const r =
      classify_puzzle(static_cast<MAP_TYPE>(map), static_cast<ADJACENCY_TYPE>(adjacency),
                      reinterpret_cast<int const(*)[9]>(clues), reinterpret_cast<int const(*)[9]>(groups), 0);
  EXPECT_EQ(gen_bucket_index(r.bucket), bucket);
  EXPECT_TRUE(r.unique);
  int found[81];
  ASSERT_EQ(classify_test::count_independently(clues, groups, adjacency == 1, found), 1);
  EXPECT_EQ(0, std::memcmp(found, solution, sizeof found));
  for (int c = 0; c < 81; ++c) {
    if (clues[c]) {
      EXPECT_EQ(clues[c], solution[c]);
    }
  }
}

TEST(Harvest, RemovalOrderIsAPermutationForEverySeed) {
  for (int seed : {1, -1, INT_MIN, INT_MAX, static_cast<int>(kHarvestDefaultSeed)}) {
    unsigned x = static_cast<unsigned>(seed);
    int order[81];
    shuffle_removal_order(x, order);
    std::set<int> seen(order, order + 81);
    EXPECT_EQ(seen.size(), 81u) << seed;
    EXPECT_EQ(*seen.begin(), 0);
    EXPECT_EQ(*seen.rbegin(), 80);
  }
  // The state carries on: a second shuffle differs from the first.
  unsigned x = 7;
  int first[81], second[81];
  shuffle_removal_order(x, first);
  shuffle_removal_order(x, second);
  EXPECT_NE(0, std::memcmp(first, second, sizeof first));
}

TEST(Harvest, KeptPuzzlesRateIntoTheirBuckets) {
  struct Kind {
    int map, adjacency;
  } const kinds[] = {{0, 0}, {0, 1}, {1, 0}};
  for (Kind const& k : kinds)
    for (int seed : {0, -5}) {
      sudoku_seed_random(900 + static_cast<uint64_t>(k.map * 2 + k.adjacency));
      HarvestResult const h = generate_harvest(params(k.map, k.adjacency, seed));
      sudoku_seed_random(0);
      ASSERT_TRUE(h.ok);
      EXPECT_EQ(h.n_classified, 81);
      int n_found = 0;
      for (int b = 0; b < 10; ++b) {
        if (!h.found[b]) continue;
        ++n_found;
        int n = 0;
        for (int c = 0; c < 81; ++c) n += h.clues[b][c] != 0;
        EXPECT_EQ(h.n_clues[b], n);
        expect_kept_puzzle(h.clues[b], h.solution, h.groupmap, k.map, k.adjacency, b);
      }
      EXPECT_GT(n_found, 0);
    }
}

TEST(Harvest, SeedZeroIsTheDefaultSeed) {
  auto run = [](int seed) {
    sudoku_seed_random(31);
    HarvestResult const h = generate_harvest(params(0, 0, seed));
    sudoku_seed_random(0);
    return h;
  };
  HarvestResult const a = run(0), b = run(static_cast<int>(kHarvestDefaultSeed)), c = run(12345);
  EXPECT_EQ(0, std::memcmp(a.solution, b.solution, sizeof a.solution));
  EXPECT_EQ(0, std::memcmp(a.clues, b.clues, sizeof a.clues));
  EXPECT_EQ(0, std::memcmp(a.solution, c.solution, sizeof a.solution));  // same solution ...
  EXPECT_NE(0, std::memcmp(a.clues, c.clues, sizeof a.clues));            // ... other removal order
}

TEST(Targeted, AttemptBoundsAndTheTargetBucket) {
  GenParams p = params(0, 0, 0);
  p.target_bucket = 2;
  p.max_attempts = -1;
  GenResult r = generate_targeted(p);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.bucket, -1);
  EXPECT_EQ(r.n_classified, 0);

  p.max_attempts = 0;
  sudoku_seed_random(5);
  r = generate_targeted(p);
  EXPECT_EQ(r.attempt, 0);
  EXPECT_GE(r.n_classified, 1);

  for (int target : {2, 4}) {
    p.target_bucket = target;
    p.max_attempts = INT_MAX;  // ends at the first success, without overflow
    r = generate_targeted(p);
    ASSERT_TRUE(r.ok) << target;
    EXPECT_EQ(r.bucket, target);
    expect_kept_puzzle(r.clues, r.solution, r.groupmap, 0, 0, target);
  }
  // One attempt at the hardest bucket: ok only when it was met; otherwise the closest
  // puzzle found, if any, is kept.
  p.target_bucket = 9;
  p.max_attempts = 0;
  sudoku_seed_random(6);
  r = generate_targeted(p);
  EXPECT_EQ(r.ok, r.bucket == 9);
  if (r.bucket >= 0) expect_kept_puzzle(r.clues, r.solution, r.groupmap, 0, 0, r.bucket);
  // Seed 0 is 0x9E3779B9.
  p.target_bucket = 3;
  p.max_attempts = 3;
  sudoku_seed_random(8);
  GenResult const a = generate_targeted(p);
  p.seed = static_cast<int>(kTargetedDefaultSeed);
  sudoku_seed_random(8);
  GenResult const b = generate_targeted(p);
  sudoku_seed_random(0);
  EXPECT_EQ(0, std::memcmp(a.clues, b.clues, sizeof a.clues));
  EXPECT_EQ(a.attempt, b.attempt);
}

// The cancel flag: set before the call, nothing is rated; set by another thread during a
// search that would run for hours, the call returns with what it had.
TEST(HarvestCancel, FlagStopsHarvestAndTargetedGeneration) {
  std::atomic<bool> cancel{true};
  GenParams p = params(0, 0, 0);
  p.cancel = &cancel;
  HarvestResult const h = generate_harvest(p);
  EXPECT_EQ(h.n_classified, 0);
  EXPECT_TRUE(h.ok);  // the solution is built before the first rating
  for (bool found : h.found) EXPECT_FALSE(found);
  p.target_bucket = 9;
  p.max_attempts = INT_MAX;
  GenResult g = generate_targeted(p);
  EXPECT_FALSE(g.ok);
  EXPECT_EQ(g.n_classified, 0);

  cancel.store(false);
  p.target_bucket = 10;  // never met: only the flag ends the call
  std::thread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    cancel.store(true);
  });
  g = generate_targeted(p);
  stopper.join();
  EXPECT_FALSE(g.ok);
  EXPECT_LT(g.attempt, INT_MAX);
  ASSERT_GE(g.bucket, 0);  // the closest puzzle met before the stop
  expect_kept_puzzle(g.clues, g.solution, g.groupmap, 0, 0, g.bucket);
}

TEST(Harvest, IrregularWithoutMapFilesIsAFailure) {
  set_group_maps_dir("/nonexistent/nonet-maps");
  HarvestResult const h = generate_harvest(params(1, 0, 0));
  GenParams p = params(1, 0, 0);
  p.target_bucket = 2;
  p.max_attempts = 1;
  GenResult const g = generate_targeted(p);
  int const mask = sudoku_generate_harvest(nullptr, 1, 0, 0, 0, 0);
  set_group_maps_dir(test_group_maps::shipped_dir().c_str());
  EXPECT_FALSE(h.ok);
  EXPECT_FALSE(g.ok);
  EXPECT_EQ(g.bucket, -1);
  EXPECT_EQ(mask, 0);
  int out[81];
  EXPECT_EQ(sudoku_harvest_clues(0, out), -1);
}

TEST(HarvestApi, RecordAndReaders) {
  sudoku_seed_random(44);
  int const mask = sudoku_generate_harvest(nullptr, 0, 1, 0, 0, 9);
  sudoku_seed_random(0);
  ASSERT_NE(mask, 0);
  int solution[81], groups[81], colors[9] = {-1};
  sudoku_harvest_solution(solution);
  sudoku_harvest_groupmap(groups);
  sudoku_harvest_colormap(colors);
  for (int b = 0; b < 10; ++b) {
    int clues[81];
    int const n = sudoku_harvest_clues(b, clues);
    EXPECT_EQ(n >= 0, ((mask >> b) & 1) == 1);
    if (n >= 0) expect_kept_puzzle(clues, solution, groups, 0, 1, b);
  }
  for (int c : colors) EXPECT_TRUE(c >= 0 && c <= 3);
  int out[81];
  EXPECT_EQ(sudoku_harvest_clues(10, out), -1);
  EXPECT_EQ(sudoku_harvest_clues(-1, out), -1);

  // Another thread has its own, empty record.
  std::thread([] {
    int grid[81], colours[9];
    std::memset(grid, 0x5A, sizeof grid);
    for (int b = 0; b < 10; ++b) EXPECT_EQ(sudoku_harvest_clues(b, grid), -1);
    sudoku_harvest_solution(grid);
    for (int v : grid) EXPECT_EQ(v, 0);
    std::memset(grid, 0x5A, sizeof grid);
    sudoku_harvest_groupmap(grid);
    for (int v : grid) EXPECT_EQ(v, 0);
    std::memset(colours, 0x5A, sizeof colours);
    sudoku_harvest_colormap(colours);
    for (int v : colours) EXPECT_EQ(v, 0);
  }).join();
}

}  // namespace
