// Cell forcing net: every candidate of every unsolved cell is tried with
// singles-only propagation; candidates that end in a contradiction go. Unlike
// the other techniques one call processes all 81 cells, each on the state
// improved by the cells before it.
//
// What a trial decides does not depend on the order in which the singles are
// applied: the two rules (a single's digit leaves its houses; a digit left in one
// cell of a house is placed there) only remove candidates, and from a given start
// every order ends either in a contradiction (an empty cell, or a house without
// some digit) or in one and the same state where neither rule changes anything.
// A removal that a rule makes on a state is made on every smaller state too (or
// that state already lacks the candidate, or it contradicts), so:
//  - the start is first propagated once (the base); a trial then starts from the
//    base with its cell fixed, and ends where it would have from the start;
//  - a trial whose digit the base no longer holds contradicts;
//  - a trial whose start holds the end state F of another (every cell's
//    candidates include F's) never leaves F, so the trial of any digit that F
//    places in a cell ends without contradiction.
// So the trials work on candidate sets with a queue of new singles, per-digit cell
// sets for the naked singles and a rescan only of the houses that changed.
#include <cstring>

#include "model/puzzle.h"
#include "solver/chain_walks.h"

using chain_walks::n_digits;

namespace {

constexpr int kMaxHouses = 29;

// The houses as lists of cell numbers, and the houses of every cell, in the order
// the singles use them (group, row, column, then the diagonals on X boards).
struct NetGeometry {
  uint8_t house_cells[kMaxHouses][9];
  uint8_t house_size[kMaxHouses];
  int n_houses = 0;
  uint32_t cell_houses[81];  // bit h: the cell lies in house h
  uint64_t peers[81][2];     // the other cells of its houses, cells 0-63 and 64-80

  explicit NetGeometry(Puzzle const& p) {
    int const n_dims = p.adjacency_type == ADJ_X ? 5 : 3;
    int id_of[5][9];
    for (int dim = 0; dim < n_dims; ++dim)
      for (int h = 0; h < (dim < 3 ? 9 : 1); ++h) {
        id_of[dim][h] = -1;
        PUZZLE_CELL const* const first = p.ptrs_first_in_dims[dim][h];
        if (!first) continue;
        int const id = n_houses++;
        id_of[dim][h] = id;
        int n = 0;
        PUZZLE_CELL const* x = first;
        do {
          if (n < 9) house_cells[id][n++] = static_cast<uint8_t>(x - p.cells);
          x = Puzzle::next_in(x, dim);
        } while (x != first);
        house_size[id] = static_cast<uint8_t>(n);
      }
    for (int c = 0; c < 81; ++c) {
      int dims[5];
      int const n = p.houses_of(&p.cells[c], dims);
      cell_houses[c] = 0;
      peers[c][0] = peers[c][1] = 0;
      for (int j = 0; j < n; ++j) {
        int const dim = dims[j];
        int const h = dim < 3 ? p.cells[c].house[dim] : 0;
        if (dim >= n_dims || h < 0 || h > 8 || id_of[dim][h] < 0) continue;
        int const id = id_of[dim][h];
        cell_houses[c] |= 1u << id;
        for (int k = 0; k < house_size[id]; ++k) {
          int const q = house_cells[id][k];
          if (q != c) peers[c][q >> 6] |= 1ull << (q & 63);
        }
      }
    }
  }
};

// Candidates, the cells holding each digit, and the cells whose single has left
// their houses already.
struct NetState {
  uint32_t cand[81];
  uint64_t holding[10][2];
  bool done[81];

  void remove_from_holding(int cell, uint32_t bits) {
    for (; bits; bits &= bits - 1) holding[__builtin_ctz(bits)][cell >> 6] &= ~(1ull << (cell & 63));
  }
};

// Applies the singles to `s` until neither rule changes anything (returns false)
// or a contradiction shows (returns true). `queue` holds the singles not yet
// applied (room for 81), `dirty` the houses changed since they were last scanned
// for hidden singles.
bool propagate(NetGeometry const& g, NetState& s, uint8_t* queue, int tail, uint32_t dirty) {
  int head = 0;
  for (;;) {
    while (head < tail) {
      int const c = queue[head++];
      uint32_t const v = s.cand[c];
      if (v == 0) return true;
      int const d = __builtin_ctz(v);
      for (int w = 0; w < 2; ++w) {
        uint64_t const hits = s.holding[d][w] & g.peers[c][w];
        s.holding[d][w] &= ~hits;
        for (uint64_t m = hits; m; m &= m - 1) {
          int const p = w * 64 + __builtin_ctzll(m);
          uint32_t const left = s.cand[p] &= ~v;
          if (left == 0) return true;
          dirty |= g.cell_houses[p];
          if (!s.done[p] && (left & (left - 1)) == 0) {
            s.done[p] = true;
            queue[tail++] = static_cast<uint8_t>(p);
          }
        }
      }
    }
    if (!dirty) return false;
    // Hidden singles in the houses that changed; a house is scanned again once a
    // placement changes it.
    uint32_t const scan = dirty;
    dirty = 0;
    for (uint32_t hs = scan; hs; hs &= hs - 1) {
      int const h = __builtin_ctz(hs);
      uint8_t const* const members = g.house_cells[h];
      int const size = g.house_size[h];
      uint32_t once = 0, more = 0, open = 0;
      for (int j = 0; j < size; ++j) {
        uint32_t const bits = s.cand[members[j]];
        more |= once & bits;
        once |= bits;
        open |= (bits & (bits - 1)) ? bits : 0;
      }
      if ((once & ALL_DIGITS) != ALL_DIGITS) return true;
      // Only a lone digit of a cell with other candidates places anything.
      uint32_t const lone = once & ~more & open;
      if (!lone) continue;
      for (int j = 0; j < size; ++j) {
        int const p = members[j];
        uint32_t const alone = s.cand[p] & lone;
        if (!alone) continue;
        // The only place of two digits in the house: whichever it takes, the other
        // leaves the house.
        if (alone & (alone - 1)) return true;
        if (s.cand[p] == alone) continue;
        s.remove_from_holding(p, s.cand[p] & ~alone);
        s.cand[p] = alone;
        dirty |= g.cell_houses[p];
        if (!s.done[p]) {
          s.done[p] = true;
          queue[tail++] = static_cast<uint8_t>(p);
        }
      }
    }
  }
}

// The start propagated once; every trial begins from it.
struct Base {
  NetState state;
  bool contradicts;

  Base(NetGeometry const& g, uint32_t const* start, bool const* done) {
    uint8_t queue[81];
    int tail = 0;
    std::memset(state.holding, 0, sizeof state.holding);
    contradicts = false;
    for (int c = 0; c < 81; ++c) {
      uint32_t const bits = start[c];
      state.cand[c] = bits;
      state.done[c] = done[c];
      contradicts |= bits == 0;
      for (uint32_t b = bits; b; b &= b - 1) state.holding[__builtin_ctz(b)][c >> 6] |= 1ull << (c & 63);
      if (!done[c] && n_digits(bits) == 1) {
        state.done[c] = true;
        queue[tail++] = static_cast<uint8_t>(c);
      }
    }
    uint32_t const all_houses = g.n_houses == 32 ? ~0u : (1u << g.n_houses) - 1;
    if (!contradicts) contradicts = propagate(g, state, queue, tail, all_houses);
  }

  // The start lost `removed` in `cell`. Propagating the base without them ends
  // where propagating the smaller start would: the removals that led from the
  // start to the base are made on the smaller start too.
  void lose(NetGeometry const& g, int cell, uint32_t removed) {
    if (contradicts) return;
    removed &= state.cand[cell];
    if (!removed) return;
    state.remove_from_holding(cell, removed);
    uint32_t const left = state.cand[cell] &= ~removed;
    if (left == 0) {
      contradicts = true;
      return;
    }
    uint8_t queue[81];
    int tail = 0;
    if (!state.done[cell] && n_digits(left) == 1) {
      state.done[cell] = true;
      queue[tail++] = static_cast<uint8_t>(cell);
    }
    contradicts = propagate(g, state, queue, tail, g.cell_houses[cell]);
  }
};

// One trial: the base with cell `cell` set to `bit`, propagated. Returns true on a
// contradiction; otherwise `end` holds the state where the singles stop.
bool trial_contradicts(NetGeometry const& g, Base const& base, int cell, uint32_t bit, NetState& end) {
  if (base.contradicts || !(base.state.cand[cell] & bit)) return true;
  end = base.state;
  end.remove_from_holding(cell, end.cand[cell] & ~bit);
  end.cand[cell] = bit;
  uint8_t queue[81];
  int tail = 0;
  if (!end.done[cell]) {
    end.done[cell] = true;
    queue[tail++] = static_cast<uint8_t>(cell);
  }
  return propagate(g, end, queue, tail, g.cell_houses[cell]);
}

// End states of trials that ended without contradiction, kept while they stay below
// the start, and the singles they place (trials known to end without contradiction).
class SafeTrials {
 public:
  bool known(int cell, uint32_t bit) const { return (safe_[cell] & bit) != 0; }

  // Keeps the end while there is room; its singles count as known either way.
  void add(uint32_t const* end) {
    uint16_t* const kept = n_kept_ < kKept ? kept_[n_kept_++] : nullptr;
    for (int j = 0; j < 81; ++j) {
      if (kept) kept[j] = static_cast<uint16_t>(end[j]);
      if (n_digits(end[j]) == 1) safe_[j] |= end[j];
    }
  }

  // The start lost `removed` in `cell`: only the kept ends without those candidates
  // stay below it.
  void start_lost(int cell, uint32_t removed) {
    std::memset(safe_, 0, sizeof safe_);
    int n = 0;
    for (int k = 0; k < n_kept_; ++k) {
      uint16_t const* const end = kept_[k];
      if (end[cell] & removed) continue;
      for (int j = 0; j < 81; ++j)
        if (n_digits(end[j]) == 1) safe_[j] |= end[j];
      if (n != k) std::memcpy(kept_[n], end, sizeof kept_[n]);
      ++n;
    }
    n_kept_ = n;
  }

 private:
  static constexpr int kKept = 32;
  uint32_t safe_[81] = {};
  uint16_t kept_[kKept][81];
  int n_kept_ = 0;
};

}  // namespace

bool Puzzle::simplify_cell_forcing_net() {
  NetGeometry const geometry(*this);
  uint32_t start[81];
  bool done[81];
  for (int c = 0; c < 81; ++c) {
    start[c] = cells[c].elim_bits & ALL_DIGITS;
    done[c] = (cells[c].mask & 2) != 0;
  }
  Base base(geometry, start, done);
  SafeTrials safe;
  NetState end;
  bool changed = false;
  for (int i = 0; i < 81; ++i) {
    uint32_t const candidates = start[i];
    if (n_digits(candidates) < 2) continue;
    uint32_t contradicted = 0;
    for (uint32_t rest = candidates & ALL_DIGITS; rest; rest &= rest - 1) {
      uint32_t const bit = rest & (0u - rest);
      if (safe.known(i, bit)) continue;
      if (trial_contradicts(geometry, base, i, bit, end))
        contradicted |= bit;
      else
        safe.add(end.cand);
    }
    if (contradicted) {
      start[i] &= ~contradicted;
      cells[i].elim_bits &= ~contradicted;
      changed = true;
      safe.start_lost(i, contradicted);
      base.lose(geometry, i, contradicted);
    }
  }
  return changed;
}
