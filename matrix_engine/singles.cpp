// Naked and hidden single propagation and the dead-position test on Vec positions.
#include "matrix_engine/search.h"

namespace matrix_engine {

void singles_fix(Ops const& ops, Vec& cand, Vec& placed, bool hidden) {
  Vec excluded;
  for (int k = 0; k < Vec::kWords; ++k) {
    // Bits above the last literal have no conflicts entry; they are never read.
    std::uint64_t w = k == Vec::kWords - 1 ? placed.words[k] & Vec::kLastWordMask : placed.words[k];
    for (; w; w &= w - 1) excluded |= ops.conflicts[k * 64 + __builtin_ctzll(w)];
  }

  int const n_unit_digits = ops.n_units * 9;
  for (;;) {
    cand.and_not(excluded);
    cand |= placed;

    int pending[81];
    int n_pending = 0;
    for (int c = 0; c < 81 && n_pending < 81; ++c) {
      if (cell9_inline(placed, c) != 0) continue;
      unsigned const m = cell9_inline(cand, c);
      if (m != 0 && (m & (m - 1)) == 0) pending[n_pending++] = lit(c, __builtin_ctz(m) + 1);
    }
    if (hidden) {
      for (int i = 0; i < n_unit_digits && n_pending < 81; ++i) {
        Vec const& ud = ops.unit_digit[i];
        if (ud.intersects(placed)) continue;
        if (cand.dot(ud) == 1) {
          int const l = cand.first_common(ud);
          if (!placed.test(l)) pending[n_pending++] = l;
        }
      }
    }
    if (n_pending == 0) return;

    bool progress = false;
    for (int k = 0; k < n_pending; ++k) {
      int const l = pending[k];
      if (placed.test(l)) continue;
      if (excluded.test(l)) {
        cand.clear();
        return;
      }
      placed.set(l);
      excluded |= ops.conflicts[l];
      progress = true;
    }
    if (!progress) return;
  }
}

bool contradiction(Ops const& ops, Vec const& cand, Vec const& /*placed*/) {
  for (int c = 0; c < 81; ++c)
    if (cell9_inline(cand, c) == 0) return true;
  int const n_unit_digits = ops.n_units * 9;
  for (int i = 0; i < n_unit_digits; ++i)
    if (cand.dot(ops.unit_digit[i]) == 0) return true;
  return false;
}

}  // namespace matrix_engine
