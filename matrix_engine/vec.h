// Vec: the matrix engine's set of (cell, digit) literals, one bit per literal.
#pragma once

#include <cstdint>

#include "util/export.h"

namespace matrix_engine {

// 768 bits in 12 words; bit i is bit (i % 64) of words[i / 64]. Only bits 0..728
// carry literals; bits 729..767 stay clear.
struct NONET_EXPORT Vec {
  static constexpr int kWords = 12;
  static constexpr int kLiterals = 729;
  // Low 25 bits of the last word: literals 704..728.
  static constexpr std::uint64_t kLastWordMask = 0x1FFFFFFull;

  std::uint64_t words[kWords] = {};

  void set(int i) { words[i >> 6] |= std::uint64_t{1} << (i & 63); }
  bool test(int i) const { return (words[i >> 6] >> (i & 63)) & 1u; }
  void clear() {
    for (auto& w : words) w = 0;
  }
  void fill_all() {
    for (int k = 0; k < kWords - 1; ++k) words[k] = ~std::uint64_t{0};
    words[kWords - 1] = kLastWordMask;
  }
  Vec& operator|=(Vec const& o) {
    for (int k = 0; k < kWords; ++k) words[k] |= o.words[k];
    return *this;
  }
  void and_not(Vec const& o) {
    for (int k = 0; k < kWords; ++k) words[k] &= ~o.words[k];
  }
  int dot(Vec const& o) const {
    int n = 0;
    for (int k = 0; k < kWords; ++k) n += __builtin_popcountll(words[k] & o.words[k]);
    return n;
  }
  int first_common(Vec const& o) const {
    for (int k = 0; k < kWords; ++k) {
      std::uint64_t const both = words[k] & o.words[k];
      if (both) return k * 64 + __builtin_ctzll(both);
    }
    return -1;
  }
  bool intersects(Vec const& o) const {
    for (int k = 0; k < kWords; ++k)
      if (words[k] & o.words[k]) return true;
    return false;
  }
};

// The literal of digit 1..9 in cell 0..80. No range check.
NONET_EXPORT int lit(int cell, int digit);

// The nine literal bits of a cell; bit k stands for digit k + 1. The nine bits may
// straddle two words.
NONET_EXPORT unsigned cell9(Vec const& v, int cell);

// Inline forms for the engine's own hot loops.
inline unsigned cell9_inline(Vec const& v, int cell) {
  int const bit = 9 * cell;
  int const w = bit >> 6, s = bit & 63;
  std::uint64_t x = v.words[w] >> s;
  if (s > 55) x |= v.words[w + 1] << (64 - s);
  return static_cast<unsigned>(x & 0x1FF);
}

}  // namespace matrix_engine
