// The body of the fast search, included once per instruction set by fast_kernel.cpp
// (inside a namespace of its own, after the board layout, State and Kernel).
// No include guard: it is meant to be compiled more than once. Every function carries
// NONET_SEARCH_TARGET, the instruction set of this copy (empty for the portable one).

[[gnu::always_inline]] NONET_SEARCH_TARGET inline int lowest_position(std::uint64_t lo, std::uint64_t hi) {
  return lo ? __builtin_ctzll(lo) : 64 + __builtin_ctzll(hi);
}

[[gnu::always_inline]] NONET_SEARCH_TARGET inline void place(Kernel const& k, State& s, int pos, int d) {
  std::uint64_t bit_lo = 0, bit_hi = 0;
  set_position(bit_lo, bit_hi, pos);
  for (int e = 0; e < 9; ++e) {
    s.lo[e] &= ~bit_lo;
    s.hi[e] &= ~bit_hi;
  }
  s.lo[d] = (s.lo[d] & ~k.peers_lo[pos]) | bit_lo;
  s.hi[d] = (s.hi[d] & ~k.peers_hi[pos]) | bit_hi;
  s.solved_lo |= bit_lo;
  s.solved_hi |= bit_hi;
}

// The peers of the cells of (lo, hi), together.
[[gnu::always_inline]] NONET_SEARCH_TARGET inline void peers_of(Kernel const& k, std::uint64_t lo, std::uint64_t hi,
                                            std::uint64_t& peers_lo, std::uint64_t& peers_hi) {
  peers_lo = peers_hi = 0;
  for (; lo; lo &= lo - 1) {
    int const p = __builtin_ctzll(lo);
    peers_lo |= k.peers_lo[p], peers_hi |= k.peers_hi[p];
  }
  for (; hi; hi &= hi - 1) {
    int const p = 64 + __builtin_ctzll(hi);
    peers_lo |= k.peers_lo[p], peers_hi |= k.peers_hi[p];
  }
}

// Four 64-bit lanes; the nine digit boards fill lanes 0..8 of three of them.
typedef std::uint64_t Lanes __attribute__((vector_size(32)));
constexpr int kLaneGroups = 3;

// The row, column and box checks of all nine digits at once, lane by lane (lane d is
// digit d; lanes 9..11 hold full boards, which have no single and no empty unit).
// Fills single_lo/hi[d] with the cells of digit d that are the only place of d in a
// row, column or box; false when some row, column or box has no place for some digit.
[[gnu::always_inline]] NONET_SEARCH_TARGET inline bool regular_unit_singles(Kernel const& k, State const& s, std::uint64_t* single_lo,
                                                        std::uint64_t* single_hi) {
  std::uint64_t in_lo[4 * kLaneGroups], in_hi[4 * kLaneGroups];
  for (int d = 0; d < 9; ++d) in_lo[d] = s.lo[d], in_hi[d] = s.hi[d];
  for (int d = 9; d < 4 * kLaneGroups; ++d) in_lo[d] = kCellsLo, in_hi[d] = kCellsHi;
  Lanes fail = {0, 0, 0, 0};
  for (int g = 0; g < kLaneGroups; ++g) {
    Lanes x, y;
    __builtin_memcpy(&x, in_lo + 4 * g, sizeof x);
    __builtin_memcpy(&y, in_hi + 4 * g, sizeof y);
    Lanes sl = {0, 0, 0, 0}, sh = {0, 0, 0, 0};
    if (k.rows_and_columns) {
      // Rows: per field v & (v - 1), then which fields are non-zero.
      Lanes const rest_lo = ((x | kSpacerLo) - kFieldLsbLo) & x;
      Lanes const rest_hi = ((y | kSpacerHi) - kFieldLsbHi) & y;
      Lanes const some_lo = (x + kCellsLo) & kSpacerLo;
      Lanes const some_hi = (y + kCellsHi) & kSpacerHi;
      fail |= (kSpacerLo & ~some_lo) | (kSpacerHi & ~some_hi);
      Lanes const row1_lo = some_lo & ~((rest_lo + kCellsLo) & kSpacerLo);
      Lanes const row1_hi = some_hi & ~((rest_hi + kCellsHi) & kSpacerHi);
      // A spacer bit minus its field's lowest bit: the nine bits of that field.
      sl |= x & (row1_lo - (row1_lo >> 9));
      sh |= y & (row1_hi - (row1_hi >> 9));
      // Columns: fold the nine rows with at-least-one / at-least-two counters.
      Lanes const up = x >> 30;
      Lanes const o1 = (x | up) & kThreeFields, t1 = x & up & kThreeFields;
      Lanes const t2 = t1 | (o1 & y), o2 = o1 | y;
      Lanes const oa = o2 & 0x1FF, ob = (o2 >> 10) & 0x1FF, oc = (o2 >> 20) & 0x1FF;
      Lanes const col_one = oa | ob | oc;
      Lanes const col_two = ((t2 | (t2 >> 10) | (t2 >> 20)) & 0x1FF) | (oa & ob) | ((oa | ob) & oc);
      fail |= ~col_one & 0x1FF;
      Lanes const col1 = col_one & ~col_two;
      Lanes const col1_hi = col1 | (col1 << 10) | (col1 << 20);
      sl |= x & (col1_hi | (col1_hi << 30));
      sh |= y & col1_hi;
    }
    if (k.boxes) {
      // Boxes: fold the three rows of each band, then the three columns of each stack.
      Lanes const b_lo = x >> 10, c_lo = x >> 20, b_hi = y >> 10, c_hi = y >> 20;
      Lanes const r1_lo = (x | b_lo | c_lo) & kBandFields, r1_hi = (y | b_hi | c_hi) & 0x1FF;
      Lanes const r2_lo = ((x & b_lo) | ((x | b_lo) & c_lo)) & kBandFields;
      Lanes const r2_hi = ((y & b_hi) | ((y | b_hi) & c_hi)) & 0x1FF;
      Lanes const box1_lo = (r1_lo | (r1_lo >> 1) | (r1_lo >> 2)) & kStackBitsLo;
      Lanes const box1_hi = (r1_hi | (r1_hi >> 1) | (r1_hi >> 2)) & kStackBitsHi;
      Lanes const box2_lo =
          (r2_lo | (r2_lo >> 1) | (r2_lo >> 2) | (r1_lo & (r1_lo >> 1)) | ((r1_lo | (r1_lo >> 1)) & (r1_lo >> 2))) &
          kStackBitsLo;
      Lanes const box2_hi =
          (r2_hi | (r2_hi >> 1) | (r2_hi >> 2) | (r1_hi & (r1_hi >> 1)) | ((r1_hi | (r1_hi >> 1)) & (r1_hi >> 2))) &
          kStackBitsHi;
      fail |= (kStackBitsLo & ~box1_lo) | (kStackBitsHi & ~box1_hi);
      // Each lone box bit spread over its three columns, then over the band's three rows.
      Lanes const lone_lo = box1_lo & ~box2_lo, lone_hi = box1_hi & ~box2_hi;
      Lanes const cols_lo = lone_lo | (lone_lo << 1) | (lone_lo << 2);
      Lanes const cols_hi = lone_hi | (lone_hi << 1) | (lone_hi << 2);
      sl |= x & (cols_lo | (cols_lo << 10) | (cols_lo << 20));
      sh |= y & (cols_hi | (cols_hi << 10) | (cols_hi << 20));
    }
    __builtin_memcpy(in_lo + 4 * g, &sl, sizeof sl);
    __builtin_memcpy(in_hi + 4 * g, &sh, sizeof sh);
  }
  for (int d = 0; d < 9; ++d) single_lo[d] = in_lo[d], single_hi[d] = in_hi[d];
  return !(fail[0] | fail[1] | fail[2] | fail[3]);
}

// The rule on the rows of the bands of one word (x: four digits' boards, one a lane):
// segment occupancy at the first bit of each stack (kStackBits), kBandFirst the lowest
// bit of each band's first row field.
template <std::uint64_t kStackBits, std::uint64_t kBandFirst>
[[gnu::always_inline]] NONET_SEARCH_TARGET inline void band_rows_rule(Lanes& x, Lanes& fail, Lanes& diff) {
  Lanes const a = x, b = x >> 10, c = x >> 20;
  Lanes const oa = (a | (a >> 1) | (a >> 2)) & kStackBits;
  Lanes const ob = (b | (b >> 1) | (b >> 2)) & kStackBits;
  Lanes const oc = (c | (c >> 1) | (c >> 2)) & kStackBits;
  Lanes const ka = NONET_ON_PERMUTATION(oa, ob, oc, NONET_STACK_ROTATE1, NONET_STACK_ROTATE2);
  Lanes const kb = NONET_ON_PERMUTATION(ob, oa, oc, NONET_STACK_ROTATE1, NONET_STACK_ROTATE2);
  Lanes const kc = NONET_ON_PERMUTATION(oc, oa, ob, NONET_STACK_ROTATE1, NONET_STACK_ROTATE2);
  // With no permutation every kept set is empty; with one, every row keeps a segment.
  fail |= kBandFirst & ~(ka | (ka >> 3) | (ka >> 6));
  Lanes const keep = (ka * 7) | ((kb * 7) << 10) | ((kc * 7) << 20);
  diff |= x & ~keep;
  x &= keep;
}

// The band and stack rule for all nine digits at once. In a band a digit takes one
// cell in each of the three rows and in each of the three boxes, so the (row, box)
// pairs it uses form a 3x3 permutation; a row segment of three cells that lies on no
// permutation of the segments still open loses the digit. The same holds for the
// column segments of a stack. This covers locked candidates in both directions.
// Returns false when some band or stack has no permutation left; sets changed when a
// candidate went.
[[gnu::always_inline]] NONET_SEARCH_TARGET inline bool band_rule(State& s, bool& changed) {
  std::uint64_t in_lo[4 * kLaneGroups], in_hi[4 * kLaneGroups];
  for (int d = 0; d < 9; ++d) in_lo[d] = s.lo[d], in_hi[d] = s.hi[d];
  for (int d = 9; d < 4 * kLaneGroups; ++d) in_lo[d] = kCellsLo, in_hi[d] = kCellsHi;
  Lanes fail = {0, 0, 0, 0}, diff = {0, 0, 0, 0};
  for (int g = 0; g < kLaneGroups; ++g) {
    Lanes x, y;
    __builtin_memcpy(&x, in_lo + 4 * g, sizeof x);
    __builtin_memcpy(&y, in_hi + 4 * g, sizeof y);
    band_rows_rule<kStackBitsLo, 1ull | 1ull << 30>(x, fail, diff);
    band_rows_rule<kStackBitsHi, 1ull>(y, fail, diff);
    // Columns of a stack: the column occupancy of each band, then the same rule with
    // bands in the place of rows.
    {
      Lanes const band_lo = (x | (x >> 10) | (x >> 20));
      Lanes const b0 = band_lo & 0x1FF, b1 = (band_lo >> 30) & 0x1FF, b2 = (y | (y >> 10) | (y >> 20)) & 0x1FF;
      Lanes const k0 = NONET_ON_PERMUTATION(b0, b1, b2, NONET_COLUMN_ROTATE1, NONET_COLUMN_ROTATE2);
      Lanes const k1 = NONET_ON_PERMUTATION(b1, b0, b2, NONET_COLUMN_ROTATE1, NONET_COLUMN_ROTATE2);
      Lanes const k2 = NONET_ON_PERMUTATION(b2, b0, b1, NONET_COLUMN_ROTATE1, NONET_COLUMN_ROTATE2);
      fail |= 0x49ull & ~(k0 | (k0 >> 1) | (k0 >> 2));
      Lanes const keep_lo = (k0 | (k1 << 30)) * kFieldLsbHi;
      Lanes const keep_hi = k2 * kFieldLsbHi;
      diff |= (x & ~keep_lo) | (y & ~keep_hi);
      x &= keep_lo;
      y &= keep_hi;
    }
    __builtin_memcpy(in_lo + 4 * g, &x, sizeof x);
    __builtin_memcpy(in_hi + 4 * g, &y, sizeof y);
  }
  for (int d = 0; d < 9; ++d) s.lo[d] = in_lo[d], s.hi[d] = in_hi[d];
  changed = diff[0] | diff[1] | diff[2] | diff[3];
  return !(fail[0] | fail[1] | fail[2] | fail[3]);
}

// Naked and hidden singles to a fixpoint; false on a contradiction: a cell or a
// (unit, digit) pair without candidates. Naked singles are placed round after round
// until none is left; then one round finds the hidden singles of every digit on the
// boards as they are and places them, and it starts over. The fixpoint does not depend on the order, and a
// contradiction shows up in every order (as a single that lost its digit, or as an
// empty cell or unit).
// With kBandRule (any-order searches on boards with boxes) the band and stack rule runs
// at each singles fixpoint, and propagation goes on while it removes candidates.
template <bool kBandRule>
[[gnu::always_inline]] NONET_SEARCH_TARGET inline bool propagate(Kernel const& k, State& s) {
  for (;;) {
    std::uint64_t one_lo = 0, one_hi = 0, two_lo = 0, two_hi = 0;
    for (int d = 0; d < 9; ++d) {
      two_lo |= one_lo & s.lo[d];
      two_hi |= one_hi & s.hi[d];
      one_lo |= s.lo[d];
      one_hi |= s.hi[d];
    }
    if ((kCellsLo & ~one_lo) | (kCellsHi & ~one_hi)) return false;
    std::uint64_t const naked_lo = one_lo & ~two_lo & ~s.solved_lo;
    std::uint64_t const naked_hi = one_hi & ~two_hi & ~s.solved_hi;
    if (naked_lo | naked_hi) {
      // Every naked single keeps its own digit, so placing them one after another
      // fails only when two cells with the same digit are peers.
      std::uint64_t peers_lo[9], peers_hi[9], clash = 0;
      for (int d = 0; d < 9; ++d) {
        std::uint64_t const lo = naked_lo & s.lo[d], hi = naked_hi & s.hi[d];
        peers_of(k, lo, hi, peers_lo[d], peers_hi[d]);
        clash |= (peers_lo[d] & lo) | (peers_hi[d] & hi);
      }
      if (clash) return false;
      for (int d = 0; d < 9; ++d) {
        std::uint64_t const lo = naked_lo & s.lo[d], hi = naked_hi & s.hi[d];
        s.lo[d] = (s.lo[d] & ~naked_lo & ~peers_lo[d]) | lo;
        s.hi[d] = (s.hi[d] & ~naked_hi & ~peers_hi[d]) | hi;
      }
      s.solved_lo |= naked_lo;
      s.solved_hi |= naked_hi;
      // Naked singles are cheap to find: their chains run out before the units are read.
      continue;
    }

    std::uint64_t single_lo[9], single_hi[9];
    if (!regular_unit_singles(k, s, single_lo, single_hi)) return false;
    for (int d = 0; k.n_masks && d < 9; ++d) {
      std::uint64_t const x = s.lo[d], y = s.hi[d];
      for (int m = 0; m < k.n_masks; ++m) {
        std::uint64_t const in_lo = x & k.mask_lo[m], in_hi = y & k.mask_hi[m];
        int const n = __builtin_popcountll(in_lo) + __builtin_popcountll(in_hi);
        if (n == 0) return false;
        if (n == 1) single_lo[d] |= in_lo, single_hi[d] |= in_hi;
      }
    }
    // Placed one after another, a hidden single fails when its cell is a hidden
    // single of another digit too, or when a peer gets the same digit: both are
    // checked before anything changes.
    std::uint64_t any_lo = 0, any_hi = 0, twice_lo = 0, twice_hi = 0;
    for (int d = 0; d < 9; ++d) {
      single_lo[d] &= ~s.solved_lo;
      single_hi[d] &= ~s.solved_hi;
      twice_lo |= any_lo & single_lo[d];
      twice_hi |= any_hi & single_hi[d];
      any_lo |= single_lo[d];
      any_hi |= single_hi[d];
    }
    if (!(any_lo | any_hi)) {
      if (!kBandRule || !k.boxes) return true;
      bool changed = false;
      if (!band_rule(s, changed)) return false;
      if (!changed) return true;
      continue;
    }
    if (twice_lo | twice_hi) return false;
    std::uint64_t peers_lo[9], peers_hi[9], clash = 0;
    for (int d = 0; d < 9; ++d) {
      peers_of(k, single_lo[d], single_hi[d], peers_lo[d], peers_hi[d]);
      clash |= (peers_lo[d] & single_lo[d]) | (peers_hi[d] & single_hi[d]);
    }
    if (clash) return false;
    for (int d = 0; d < 9; ++d) {
      s.lo[d] = (s.lo[d] & ~any_lo & ~peers_lo[d]) | single_lo[d];
      s.hi[d] = (s.hi[d] & ~any_hi & ~peers_hi[d]) | single_hi[d];
    }
    s.solved_lo |= any_lo;
    s.solved_hi |= any_hi;
  }
}

// Among the cells of (lo, hi), the one with the most open peers (lowest first among equals).
[[gnu::always_inline]] NONET_SEARCH_TARGET inline int most_open_peers(Kernel const& k, std::uint64_t lo, std::uint64_t hi,
                                                  std::uint64_t open_lo, std::uint64_t open_hi) {
  int best = -1, best_n = -1;
  for (int word = 0; word < 2; ++word)
    for (std::uint64_t w = word ? hi : lo; w; w &= w - 1) {
      int const p = 64 * word + __builtin_ctzll(w);
      int const n = __builtin_popcountll(k.peers_lo[p] & open_lo) + __builtin_popcountll(k.peers_hi[p] & open_hi);
      if (n > best_n) best_n = n, best = p;
    }
  return best;
}

// The unplaced cell with the fewest candidates, lowest cell first among equals; the
// any-order search takes, among cells with two candidates, the one with the most open
// peers (its guess settles the most). At a fixpoint every unplaced cell has two or
// more candidates.
template <bool kAnyOrder>
[[gnu::always_inline]] NONET_SEARCH_TARGET inline int branch_position(Kernel const& k, State const& s, std::uint64_t open_lo,
                                                  std::uint64_t open_hi) {
  std::uint64_t g1_lo = 0, g1_hi = 0, g2_lo = 0, g2_hi = 0, g3_lo = 0, g3_hi = 0;
  for (int d = 0; d < 9; ++d) {
    g3_lo |= g2_lo & s.lo[d];
    g3_hi |= g2_hi & s.hi[d];
    g2_lo |= g1_lo & s.lo[d];
    g2_hi |= g1_hi & s.hi[d];
    g1_lo |= s.lo[d];
    g1_hi |= s.hi[d];
  }
  std::uint64_t const two_lo = g2_lo & ~g3_lo & open_lo, two_hi = g2_hi & ~g3_hi & open_hi;
  if (kAnyOrder && (two_lo | two_hi)) return most_open_peers(k, two_lo, two_hi, open_lo, open_hi);
  if (two_lo | two_hi) return lowest_position(two_lo, two_hi);

  // at_least[n]: cells with n or more candidates.
  std::uint64_t at_least_lo[11] = {}, at_least_hi[11] = {};
  at_least_lo[0] = kCellsLo;
  at_least_hi[0] = kCellsHi;
  for (int d = 0; d < 9; ++d)
    for (int n = d + 1; n >= 1; --n) {
      at_least_lo[n] |= at_least_lo[n - 1] & s.lo[d];
      at_least_hi[n] |= at_least_hi[n - 1] & s.hi[d];
    }
  for (int n = 3; n <= 9; ++n) {
    std::uint64_t const lo = at_least_lo[n] & ~at_least_lo[n + 1] & open_lo;
    std::uint64_t const hi = at_least_hi[n] & ~at_least_hi[n + 1] & open_hi;
    if (lo | hi) return lowest_position(lo, hi);
  }
  return lowest_position(open_lo, open_hi);  // not reached at a fixpoint
}

NONET_SEARCH_TARGET void store_state(Kernel const& k, State const& s, int (*out)[81], int index) {
  if (!out || index < 0 || index >= 2) return;
  for (int d = 0; d < 9; ++d) {
    for (std::uint64_t w = s.lo[d]; w; w &= w - 1) out[index][k.cell_at[__builtin_ctzll(w)]] = d + 1;
    for (std::uint64_t w = s.hi[d]; w; w &= w - 1) out[index][k.cell_at[64 + __builtin_ctzll(w)]] = d + 1;
  }
}

// The depth-first search with an explicit stack. The root's budget unit is taken by
// the caller; every other node takes its own before it is examined. The whole search
// stops when the completions found reach limit, as the per-level limits of the
// recursive definition do.
template <bool kAnyOrder>
[[gnu::always_inline]] NONET_SEARCH_TARGET inline int search(Kernel const& k, State const& root, int limit, int (*out)[81], int offset,
                                         long long& budget) {
  struct Frame {
    State s;
    int pos;
    unsigned digits;
  };
  Frame stack[82];
  int depth = 0;
  int total = 0;
  stack[0].s = root;
  bool at_root = true;
  for (;;) {
    State& s = stack[depth].s;
    if (propagate<kAnyOrder>(k, s)) {
      std::uint64_t const open_lo = kCellsLo & ~s.solved_lo, open_hi = kCellsHi & ~s.solved_hi;
      if (!(open_lo | open_hi)) {
        store_state(k, s, out, offset + total);
        ++total;
        if (at_root || total >= limit) return total;
      } else if (!at_root || limit >= 1) {
        int const pos = branch_position<kAnyOrder>(k, s, open_lo, open_hi);
        unsigned digits = 0;
        for (int d = 0; d < 9; ++d) {
          std::uint64_t const word = pos < 64 ? s.lo[d] >> pos : s.hi[d] >> (pos - 64);
          digits |= static_cast<unsigned>(word & 1) << d;
        }
        stack[depth].pos = pos;
        stack[depth].digits = digits;
        ++depth;
      }
    }
    at_root = false;
    for (;;) {
      if (depth == 0) return total;
      Frame& parent = stack[depth - 1];
      if (!parent.digits) {
        --depth;
        continue;
      }
      int const d = __builtin_ctz(parent.digits);
      parent.digits &= parent.digits - 1;
      if (!take_budget_unit(budget)) return -1;
      stack[depth].s = parent.s;
      place(k, stack[depth].s, parent.pos, d);
      break;
    }
  }
}

NONET_SEARCH_TARGET int run_search(Kernel const& k, State const& root, int limit, int (*out)[81], int offset, long long& budget,
                                   bool any_order) {
  if (any_order) return search<true>(k, root, limit, out, offset, budget);
  return search<false>(k, root, limit, out, offset, budget);
}
