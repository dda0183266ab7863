// Building the constraint tables and the process-wide cache that owns them.
#include <map>
#include <memory>
#include <mutex>

#include "matrix_engine/fast_kernel.h"
#include "matrix_engine/ops.h"

namespace matrix_engine {

namespace {

std::vector<std::vector<int>> build_units(bool diag, int const grp[9][9]) {
  std::vector<std::vector<int>> units;
  for (int r = 0; r < 9; ++r) {
    std::vector<int> row;
    for (int c = 0; c < 9; ++c) row.push_back(9 * r + c);
    units.push_back(row);
  }
  for (int c = 0; c < 9; ++c) {
    std::vector<int> col;
    for (int r = 0; r < 9; ++r) col.push_back(9 * r + c);
    units.push_back(col);
  }
  for (int g = 0; g < 9; ++g) {
    std::vector<int> group;
    for (int cell = 0; cell < 81; ++cell)
      if (grp[cell / 9][cell % 9] == g) group.push_back(cell);
    units.push_back(group);
  }
  if (diag) {
    std::vector<int> main_diag, anti_diag;
    for (int k = 0; k < 9; ++k) {
      main_diag.push_back(10 * k);
      anti_diag.push_back(8 * (k + 1));
    }
    units.push_back(main_diag);
    units.push_back(anti_diag);
  }
  return units;
}

std::unique_ptr<Ops> build_ops(bool diag, int const grp[9][9]) {
  auto ops = std::make_unique<Ops>();
  ops->units = build_units(diag, grp);
  ops->n_units = static_cast<int>(ops->units.size());
  int const n_units = ops->n_units;

  for (int u = 0; u < n_units; ++u)
    for (int cell : ops->units[u]) ops->cell_units[cell] |= std::uint32_t{1} << u;

  bool peer[81][81] = {};
  for (auto const& unit : ops->units)
    for (int a : unit)
      for (int b : unit)
        if (a != b) peer[a][b] = true;

  ops->conflicts.resize(729);
  for (int cell = 0; cell < 81; ++cell)
    for (int d = 1; d <= 9; ++d) {
      Vec& v = ops->conflicts[lit(cell, d)];
      for (int e = 1; e <= 9; ++e)
        if (e != d) v.set(lit(cell, e));
      for (int p = 0; p < 81; ++p)
        if (peer[cell][p]) v.set(lit(p, d));
    }

  ops->unit_digit.resize(static_cast<std::size_t>(n_units) * 9);
  for (int u = 0; u < n_units; ++u)
    for (int d = 1; d <= 9; ++d)
      for (int cell : ops->units[u]) ops->unit_digit[u * 9 + d - 1].set(lit(cell, d));

  for (int a = 0; a < n_units; ++a)
    for (int b = 0; b < n_units; ++b) {
      if (a == b) continue;
      std::uint32_t const bit_b = std::uint32_t{1} << b;
      std::vector<int> overlap;
      for (int cell : ops->units[a])
        if (ops->cell_units[cell] & bit_b) overlap.push_back(cell);
      if (overlap.size() < 2) continue;
      std::uint32_t const bit_a = std::uint32_t{1} << a;
      for (int d = 1; d <= 9; ++d) {
        Ops::LC lc;
        for (int cell : overlap) lc.overlap.set(lit(cell, d));
        for (int cell : ops->units[a])
          if (!(ops->cell_units[cell] & bit_b)) lc.rest_a.set(lit(cell, d));
        for (int cell : ops->units[b])
          if (!(ops->cell_units[cell] & bit_a)) lc.rest_b.set(lit(cell, d));
        ops->lcs.push_back(lc);
      }
    }
  return ops;
}

}  // namespace

Ops const& compile(bool diag, int const grp[9][9]) {
  static std::map<std::vector<int>, std::unique_ptr<Ops>> cache;
  static std::mutex cache_mutex;
  std::lock_guard<std::mutex> lock(cache_mutex);

  std::vector<int> key;
  key.reserve(82);
  key.push_back(diag ? 1 : 0);
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) key.push_back(grp[r][c]);

  auto found = cache.find(key);
  if (found != cache.end()) return *found->second;

  auto ops = build_ops(diag, grp);
  Ops const& ref = *ops;
  detail::register_kernel(ref);
  cache.emplace(std::move(key), std::move(ops));
  return ref;
}

}  // namespace matrix_engine
