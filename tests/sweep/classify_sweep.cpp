// Long classification sweeps (ctest -L sweep): the orientation/relabelling property
// over 201 seeded puzzles, and harvests of every board kind whose kept puzzles must
// rate into their buckets with the stored solution as the only one.
#include <gtest/gtest.h>

#include <cstring>

#include "api/harvest.h"
#include "tests/classify_support.h"
#include "tests/group_maps_location.h"

namespace {

test_group_maps::UseShippedGroupMaps const use_shipped_maps;

TEST(ClassifySweep, SameRatingUnderOrientationAndRelabelling) { classify_test::check_orientation_property(67, 9000); }

TEST(ClassifySweep, HarvestedPuzzlesRateIntoTheirBuckets) {
  for (int kind = 0; kind < 4; ++kind)
    for (uint64_t seed = 1; seed <= 10; ++seed) {
      int const map = kind >= 2 ? 1 : 0, adjacency = kind % 2;
      sudoku_seed_random(seed * 131 + static_cast<uint64_t>(kind));
      HarvestResult const h = generate_harvest(GenParams{map, adjacency, 0, 100000, 0, 0, 0, static_cast<int>(seed)});
      sudoku_seed_random(0);
      ASSERT_TRUE(h.ok);
      for (int b = 0; b < 10; ++b) {
        if (!h.found[b]) continue;
        PuzzleClassifyResult const r =
            classify_puzzle(static_cast<MAP_TYPE>(map), static_cast<ADJACENCY_TYPE>(adjacency),
                            reinterpret_cast<int const(*)[9]>(h.clues[b]),
                            reinterpret_cast<int const(*)[9]>(h.groupmap), 0);
        EXPECT_EQ(gen_bucket_index(r.bucket), b);
        int solution[81];
        ASSERT_EQ(classify_test::count_independently(h.clues[b], h.groupmap, adjacency == 1, solution), 1);
        EXPECT_EQ(0, std::memcmp(solution, h.solution, sizeof solution));
      }
    }
}

}  // namespace
