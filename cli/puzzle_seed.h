// Seeds of reproducible batches: puzzle k of a batch seeded with s draws from its own
// stream, so a batch gives the same puzzles whatever the number of threads.
#pragma once

#include <cstdint>

// Generations asked for one puzzle before it counts as failed (a generation that meets no
// acceptable puzzle within its tries, common at the harder jigsaw levels, is asked again).
inline constexpr int kAttemptsPerPuzzle = 20;

// The seed of draw k of a batch seeded with seed (splitmix64 of seed + k + 1; never 0).
inline uint64_t puzzle_seed(uint64_t seed, int k) {
  uint64_t z = seed + 0x9E3779B97F4A7C15ull * static_cast<uint64_t>(k + 1);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return z ? z : 1;
}
