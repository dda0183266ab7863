// Building the constraint tables and the process-wide cache that owns them.
#include <array>
#include <list>
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

// Least recently used entries go first; an entry still held by a caller stays alive
// through its shared pointer until the caller lets go.
class CompileCache {
 public:
  std::shared_ptr<Ops const> get(bool diag, int const grp[9][9], bool keep_for_ever) {
    std::array<int, 82> key;
    key[0] = diag ? 1 : 0;
    for (int cell = 0; cell < 81; ++cell) key[1 + cell] = grp[cell / 9][cell % 9];
    std::lock_guard<std::mutex> lock(mutex_);
    if (keep_for_ever) {
      auto pinned = pinned_.find(key);
      if (pinned != pinned_.end()) return pinned->second;
    }
    std::shared_ptr<Ops const> ops;
    auto found = index_.find(key);
    if (found != index_.end()) {
      recent_.splice(recent_.begin(), recent_, found->second);
      ops = found->second->second;
    } else {
      ops = build(diag, grp);
      recent_.emplace_front(key, ops);
      index_[key] = recent_.begin();
      trim();
    }
    if (keep_for_ever) pinned_.emplace(key, ops);
    return ops;
  }

  std::size_t set_capacity(std::size_t entries) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t const previous = capacity_;
    capacity_ = entries < 1 ? 1 : entries;
    trim();
    return previous;
  }

  std::size_t size() {
    std::lock_guard<std::mutex> lock(mutex_);
    return recent_.size();
  }

 private:
  using Key = std::array<int, 82>;
  using Entry = std::pair<Key, std::shared_ptr<Ops const>>;

  static std::shared_ptr<Ops const> build(bool diag, int const grp[9][9]) {
    std::unique_ptr<Ops> ops = build_ops(diag, grp);
    ops->kernel = detail::build_fast_tables(*ops);
    return std::shared_ptr<Ops const>(std::move(ops));
  }

  void trim() {
    while (recent_.size() > capacity_) {
      index_.erase(recent_.back().first);
      recent_.pop_back();
    }
  }

  std::mutex mutex_;
  std::size_t capacity_ = 32;
  std::list<Entry> recent_;  // most recently used first
  std::map<Key, std::list<Entry>::iterator> index_;
  std::map<Key, std::shared_ptr<Ops const>> pinned_;
};

CompileCache& compile_cache() {
  static CompileCache cache;
  return cache;
}

}  // namespace

std::shared_ptr<Ops const> compile_shared(bool diag, int const grp[9][9]) {
  return compile_cache().get(diag, grp, false);
}

Ops const& compile(bool diag, int const grp[9][9]) { return *compile_cache().get(diag, grp, true); }

std::size_t set_compile_cache_capacity(std::size_t entries) { return compile_cache().set_capacity(entries); }

std::size_t compile_cache_size() { return compile_cache().size(); }

}  // namespace matrix_engine
