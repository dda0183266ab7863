// The q-quantile (0..1) of a sample, by sorting a copy; 0 for an empty sample.
#pragma once

#include <algorithm>
#include <cstddef>
#include <vector>

template <class T>
T percentile(std::vector<T> v, double q) {
  if (v.empty()) return T{};
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<std::size_t>(q * static_cast<double>(v.size())))];
}
