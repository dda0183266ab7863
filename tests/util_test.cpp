// Random source, combination table, bit scans and sorts.
#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <vector>

#include "util/combinations.h"
#include "util/random.h"

TEST(Random, UniformBoundsBelowTwoReturnZeroWithoutDrawing) {
  sudoku_seed_random(99);
  EXPECT_EQ(arc4random_uniform(0), 0u);
  EXPECT_EQ(arc4random_uniform(1), 0u);
  uint32_t const next_after = arc4random();
  sudoku_seed_random(99);
  EXPECT_EQ(arc4random(), next_after);  // nothing was consumed by the two calls
  sudoku_seed_random(0);
}

TEST(Random, UniformNineIsEvenlySpread) {
  sudoku_seed_random(1234);
  int hist[9] = {0};
  int const n = 90000;
  for (int i = 0; i < n; ++i) ++hist[arc4random_uniform(9)];
  for (int h : hist) EXPECT_NEAR(h, n / 9, 400);
  sudoku_seed_random(0);
  // The system generator is spread as well.
  int sys[9] = {0};
  for (int i = 0; i < 18000; ++i) ++sys[arc4random_uniform(9)];
  for (int h : sys) EXPECT_NEAR(h, 2000, 250);
}

TEST(Random, SameSeedSameDrawsAndThreadsIndependent) {
  auto draws = [](uint64_t seed) {
    sudoku_seed_random(seed);
    std::vector<uint32_t> v;
    for (int i = 0; i < 64; ++i) v.push_back(arc4random());
    sudoku_seed_random(0);
    return v;
  };
  auto const a = draws(42);
  EXPECT_EQ(a, draws(42));
  EXPECT_NE(a, draws(43));

  // Another thread drawing meanwhile, seeded or not, does not disturb this thread's stream.
  sudoku_seed_random(42);
  std::vector<uint32_t> here;
  std::thread other([] {
    sudoku_seed_random(7);
    for (int i = 0; i < 10000; ++i) (void)arc4random();
  });
  std::thread unseeded([] {
    for (int i = 0; i < 1000; ++i) (void)arc4random();
  });
  for (int i = 0; i < 64; ++i) here.push_back(arc4random());
  other.join();
  unseeded.join();
  sudoku_seed_random(0);
  EXPECT_EQ(here, a);
}

TEST(Random, SystemStreamDoesNotRepeat) {
  sudoku_seed_random(0);
  std::set<uint32_t> seen;
  for (int i = 0; i < 1000; ++i) seen.insert(arc4random());
  EXPECT_GT(seen.size(), 990u);
}

TEST(Combinations, TableValues) {
  EXPECT_EQ(n_combinations(9, 4), 126);
  EXPECT_EQ(n_combinations(9, 0), 1);
  EXPECT_EQ(n_combinations(4, 5), 0);
  EXPECT_EQ(n_combinations(0, 0), 1);
  int const* c = combination_for_combnumber(5, 3, 0);
  EXPECT_EQ(std::vector<int>(c, c + 3), (std::vector<int>{0, 1, 2}));
  c = combination_for_combnumber(5, 3, 1);
  EXPECT_EQ(std::vector<int>(c, c + 3), (std::vector<int>{0, 1, 3}));
  c = combination_for_combnumber(5, 3, 9);
  EXPECT_EQ(std::vector<int>(c, c + 3), (std::vector<int>{2, 3, 4}));
  // Every (n, k) list is lexicographic, ascending within, and complete.
  for (int n = 1; n <= 9; ++n)
    for (int k = 1; k <= n; ++k) {
      std::set<std::vector<int>> all;
      std::vector<int> prev;
      for (int i = 0; i < n_combinations(n, k); ++i) {
        int const* e = combination_for_combnumber(n, k, i);
        std::vector<int> v(e, e + k);
        for (int j = 0; j < k; ++j) {
          ASSERT_GE(v[j], 0);
          ASSERT_LT(v[j], n);
          if (j) {
            ASSERT_LT(v[j - 1], v[j]);
          }
        }
        if (!prev.empty()) {
          ASSERT_LT(prev, v);
        }
        prev = v;
        all.insert(v);
      }
      EXPECT_EQ(static_cast<int>(all.size()), n_combinations(n, k));
    }
}

TEST(Combinations, LexicographicSuccessor) {
  int last[3] = {2, 3, 4};
  EXPECT_FALSE(generate_combination(3, 5, last));
  EXPECT_EQ(last[0], 2);
  int c[3] = {0, 3, 4};
  EXPECT_TRUE(generate_combination(3, 5, c));
  EXPECT_EQ(std::vector<int>(c, c + 3), (std::vector<int>{1, 2, 3}));
  int fresh[2] = {0, 0};
  EXPECT_TRUE(generate_combination(2, 4, fresh));
  EXPECT_EQ(fresh[1], 1);
  int one[1] = {3};
  EXPECT_FALSE(generate_combination_kequals1(4, one));
  one[0] = 1;
  EXPECT_TRUE(generate_combination_kequals1(4, one));
  EXPECT_EQ(one[0], 2);
}

TEST(Combinations, RandomCombinationAndInverse) {
  int a[9];
  initialize_comb(9, a);
  int* r = random_combination(0, 9, a);
  EXPECT_EQ(r, a + 9);
  for (int i = 0; i < 9; ++i) EXPECT_EQ(a[i], i);
  r = random_combination(9, 9, a);
  EXPECT_EQ(r, a);
  EXPECT_EQ(std::set<int>(a, a + 9), (std::set<int>{0, 1, 2, 3, 4, 5, 6, 7, 8}));

  int comb[3] = {1, 4, 6}, out[6];
  EXPECT_EQ(inverse_combination(7, 3, comb, out), 7);
  EXPECT_EQ(std::vector<int>(out, out + 4), (std::vector<int>{0, 2, 3, 5}));
}

TEST(Bits, NthNonzeroBitCountsFromBitOne) {
  EXPECT_EQ(find_nth_nonzero_bit(0b1010010, 2), 4);
  EXPECT_EQ(get_nth_nonzero_bit(0b1010010, 2), 16);
  EXPECT_EQ(find_nth_nonzero_bit(0b1010010, 0), 0);
  EXPECT_EQ(get_nth_nonzero_bit(0b1010010, 0), 1);
  EXPECT_EQ(find_nth_nonzero_bit(0b1, 1), 0);  // bit 0 is not counted; too few bits terminates
  EXPECT_EQ(set_nth_zero_bit(0b0110, 1), 0b1110);
}

TEST(Sorts, StableInBothDirections) {
  int keys[6] = {3, 1, 3, 2, 1, 3};
  int tags[6] = {0, 1, 2, 3, 4, 5};
  void* items[6];
  for (int i = 0; i < 6; ++i) items[i] = &tags[i];
  sort_by_insertion(keys, 6, items);
  int order[6];
  for (int i = 0; i < 6; ++i) order[i] = *static_cast<int*>(items[i]);
  EXPECT_EQ(std::vector<int>(order, order + 6), (std::vector<int>{0, 2, 5, 3, 1, 4}));

  int k2[6] = {3, 1, 3, 2, 1, 3};
  int it2[6] = {0, 1, 2, 3, 4, 5};
  sort_by_insertion_ascending(k2, 6, it2);
  EXPECT_EQ(std::vector<int>(it2, it2 + 6), (std::vector<int>{1, 4, 3, 0, 2, 5}));
  sort_by_insertion_ascending(keys, 6);
  EXPECT_EQ(std::vector<int>(keys, keys + 6), (std::vector<int>{1, 1, 2, 3, 3, 3}));
}
