// The engine's single random source: the kernel's generator, or, for a thread
// that asked for it with sudoku_seed_random, a deterministic per-thread stream.
#pragma once

#include <cstdint>
#include <cstdlib>  // glibc declares arc4random and arc4random_uniform here

#include "util/export.h"

// Where the C library has its own arc4random family (NONET_LIBC_HAS_ARC4RANDOM, found at
// configure time), the engine's functions stay private to the library: a host's calls must
// keep reaching the C library's cryptographic generator, never a stream that
// sudoku_seed_random made reproducible. Elsewhere the library exports them for hosts.
#if defined(NONET_LIBC_HAS_ARC4RANDOM)
#define NONET_RANDOM_API __attribute__((visibility("hidden")))
#else
#define NONET_RANDOM_API NONET_EXPORT
#endif

extern "C" {
// A uniformly distributed 32-bit value.
NONET_RANDOM_API uint32_t arc4random(void) noexcept;
// A uniformly distributed value in 0..upper_bound-1 without modulo bias; 0 for bounds below 2.
NONET_RANDOM_API uint32_t arc4random_uniform(uint32_t upper_bound) noexcept;
// Seeds the C library generator from the clock and discards three draws; returns the seed.
NONET_EXPORT int initialize_rand(void);
// Switches the calling thread to a deterministic stream (seed != 0) or back to the system generator (0).
NONET_EXPORT void sudoku_seed_random(uint64_t seed);
}
