// A set of the 81 cells as two machine words (bit i = cell i in row-major
// order), for the chain and wing searches' membership tests and set algebra.
#pragma once

#include <cstdint>

struct CellSet {
  uint64_t lo = 0;  // cells 0..63
  uint64_t hi = 0;  // cells 64..80

  static CellSet of(int i) {
    CellSet s;
    s.add(i);
    return s;
  }
  bool has(int i) const { return i < 64 ? (lo >> i) & 1u : (hi >> (i - 64)) & 1u; }
  void add(int i) {
    if (i < 64)
      lo |= uint64_t{1} << i;
    else
      hi |= uint64_t{1} << (i - 64);
  }
  void remove(int i) {
    if (i < 64)
      lo &= ~(uint64_t{1} << i);
    else
      hi &= ~(uint64_t{1} << (i - 64));
  }
  bool empty() const { return (lo | hi) == 0; }
  // Exactly two members (without a popcount, which baseline x86-64 makes a library call).
  bool has_two() const {
    CellSet rest = without_lowest();
    if (rest.empty()) return false;
    return rest.without_lowest().empty();
  }
  // The cells after cell i.
  static CellSet after(int i) {
    if (i < 63) return {~uint64_t{0} << (i + 1), ~uint64_t{0}};
    if (i == 63) return {0, ~uint64_t{0}};
    return {0, i < 127 ? ~uint64_t{0} << (i - 63) : 0};
  }
  CellSet without_lowest() const { return lo ? CellSet{lo & (lo - 1), hi} : CellSet{0, hi & (hi - 1)}; }
  // The lowest cell of a non-empty set.
  int first() const { return lo ? __builtin_ctzll(lo) : 64 + __builtin_ctzll(hi); }

  CellSet operator&(CellSet o) const { return {lo & o.lo, hi & o.hi}; }
  CellSet operator|(CellSet o) const { return {lo | o.lo, hi | o.hi}; }
  CellSet without(CellSet o) const { return {lo & ~o.lo, hi & ~o.hi}; }
  CellSet& operator|=(CellSet o) {
    lo |= o.lo;
    hi |= o.hi;
    return *this;
  }
  bool operator==(CellSet const& o) const = default;
  bool meets(CellSet o) const { return ((lo & o.lo) | (hi & o.hi)) != 0; }

  // Calls f(cell) for every member in ascending order.
  template <class F>
  void for_each(F&& f) const {
    for (uint64_t w = lo; w; w &= w - 1) f(__builtin_ctzll(w));
    for (uint64_t w = hi; w; w &= w - 1) f(64 + __builtin_ctzll(w));
  }
};
