#include "util/random.h"

#include <sys/random.h>
#ifdef __EMSCRIPTEN__
#include <unistd.h>
#endif

#include <cerrno>
#include <cstdio>
#include <ctime>

namespace {

// Per-thread deterministic stream (xoshiro256**, seeded through splitmix64).
struct SeededStream {
  bool active = false;
  uint64_t s[4] = {0, 0, 0, 0};

  void seed(uint64_t x) {
    for (auto& w : s) {
      x += 0x9E3779B97F4A7C15ull;
      uint64_t z = x;
      z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
      z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
      w = z ^ (z >> 31);
    }
    active = true;
  }

  static uint64_t rotl(uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }

  uint32_t next() {
    uint64_t const result = rotl(s[1] * 5, 7) * 9;
    uint64_t const t = s[1] << 17;
    s[2] ^= s[0];
    s[3] ^= s[1];
    s[1] ^= s[2];
    s[0] ^= s[3];
    s[2] ^= t;
    s[3] = rotl(s[3], 45);
    return static_cast<uint32_t>(result >> 32);
  }
};

thread_local SeededStream seeded;

uint32_t system_random32() {
  unsigned char buf[4];
  size_t got = 0;
  while (got < sizeof buf) {
#ifdef __EMSCRIPTEN__
    // The browser's crypto.getRandomValues, through getentropy (WebAssembly has no getrandom).
    ssize_t n = getentropy(buf + got, sizeof buf - got) == 0 ? static_cast<ssize_t>(sizeof buf - got) : -1;
#else
    ssize_t n = getrandom(buf + got, sizeof buf - got, 0);
#endif
    if (n < 0) {
      if (errno == EINTR) continue;
      // Returning anything here would hand the engine a predictable stream.
      std::fprintf(stderr, "arc4random: the system random generator failed (errno %d); stopping\n", errno);
      std::abort();
    }
    got += static_cast<size_t>(n);
  }
  return static_cast<uint32_t>(buf[0]) | static_cast<uint32_t>(buf[1]) << 8 |
         static_cast<uint32_t>(buf[2]) << 16 | static_cast<uint32_t>(buf[3]) << 24;
}

}  // namespace

extern "C" uint32_t arc4random(void) noexcept {
  return seeded.active ? seeded.next() : system_random32();
}

extern "C" uint32_t arc4random_uniform(uint32_t upper_bound) noexcept {
  if (upper_bound < 2) return 0;
  uint32_t const threshold = (0u - upper_bound) % upper_bound;
  uint32_t r;
  do r = arc4random();
  while (r < threshold);
  return r % upper_bound;
}

extern "C" int initialize_rand(void) {
  time_t t = std::time(nullptr);
  unsigned seed;
  int result;
  if (t == static_cast<time_t>(-1)) {
    clock_t c = std::clock();
    seed = static_cast<unsigned>(c);
    result = (c == static_cast<clock_t>(-1)) ? -2 : -1;
  } else {
    seed = static_cast<unsigned>(t);
    result = static_cast<int>(seed);
  }
  std::srand(seed);
  for (int i = 0; i < 3; ++i) (void)arc4random();
  return result;
}

extern "C" void sudoku_seed_random(uint64_t seed) {
  if (seed == 0)
    seeded.active = false;
  else
    seeded.seed(seed);
}
