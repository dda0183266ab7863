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
// So the trials here work on a plain array of candidate sets with a queue of new
// singles, and place every hidden single one scan finds at once.
#include <cstring>

#include "model/puzzle.h"
#include "solver/chain_walks.h"

using chain_walks::n_digits;

namespace {

// The houses as lists of cell numbers, and the houses of every cell, in the order
// the singles use them (group, row, column, then the diagonals on X boards).
struct NetGeometry {
  uint8_t house_cells[29][9];
  uint8_t house_size[29];
  int n_houses = 0;
  uint8_t cell_houses[81][5];
  uint8_t n_cell_houses[81];

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
      int k = 0;
      for (int j = 0; j < n; ++j) {
        int const dim = dims[j];
        int const h = dim < 3 ? p.cells[c].house[dim] : 0;
        if (dim < n_dims && h >= 0 && h <= 8 && id_of[dim][h] >= 0) cell_houses[c][k++] = static_cast<uint8_t>(id_of[dim][h]);
      }
      n_cell_houses[c] = static_cast<uint8_t>(k);
    }
  }
};

// One trial: `start` with cell `cell` set to `bit`, propagated by singles. `done`
// marks the cells whose single has already left their houses. Returns true on a
// contradiction; otherwise `end` holds the state where the singles stop.
bool trial_contradicts(NetGeometry const& g, uint32_t const* start, bool const* start_done, int cell, uint32_t bit,
                       uint32_t* end) {
  uint32_t* const cand = end;
  std::memcpy(cand, start, 81 * sizeof *cand);
  bool done[81];
  std::memcpy(done, start_done, sizeof done);
  cand[cell] = bit;
  uint8_t queue[81];
  int head = 0, tail = 0;
  for (int c = 0; c < 81; ++c) {
    if (cand[c] == 0) return true;
    if (!done[c] && n_digits(cand[c]) == 1) {
      done[c] = true;
      queue[tail++] = static_cast<uint8_t>(c);
    }
  }
  for (;;) {
    while (head < tail) {
      int const c = queue[head++];
      uint32_t const v = cand[c];
      if (v == 0) return true;
      for (int k = 0; k < g.n_cell_houses[c]; ++k) {
        int const h = g.cell_houses[c][k];
        for (int j = 0; j < g.house_size[h]; ++j) {
          int const p = g.house_cells[h][j];
          if (p == c || !(cand[p] & v)) continue;
          cand[p] &= ~v;
          if (cand[p] == 0) return true;
          if (!done[p] && n_digits(cand[p]) == 1) {
            done[p] = true;
            queue[tail++] = static_cast<uint8_t>(p);
          }
        }
      }
    }
    // Hidden singles: every cell holding a digit that is alone in one of its houses.
    uint32_t lone[29];
    for (int h = 0; h < g.n_houses; ++h) {
      uint32_t once = 0, more = 0;
      for (int j = 0; j < g.house_size[h]; ++j) {
        uint32_t const bits = cand[g.house_cells[h][j]];
        more |= once & bits;
        once |= bits;
      }
      if ((once & ALL_DIGITS) != ALL_DIGITS) return true;
      lone[h] = once & ~more;
    }
    bool placed = false;
    for (int c = 0; c < 81; ++c) {
      if (n_digits(cand[c]) < 2) continue;
      uint32_t alone = 0;
      for (int k = 0; k < g.n_cell_houses[c]; ++k) alone |= lone[g.cell_houses[c][k]];
      alone &= cand[c];
      if (!alone) continue;
      cand[c] = alone & (0u - alone);
      placed = true;
      if (!done[c]) {
        done[c] = true;
        queue[tail++] = static_cast<uint8_t>(c);
      }
    }
    if (!placed) return false;
  }
}

}  // namespace

bool Puzzle::simplify_cell_forcing_net() {
  NetGeometry const geometry(*this);
  uint32_t start[81];
  bool done[81];
  for (int c = 0; c < 81; ++c) {
    start[c] = cells[c].elim_bits & ALL_DIGITS;
    done[c] = (cells[c].mask & 2) != 0;
  }
  // Trials known to end without contradiction on the current `start`: a trial whose
  // start holds the end state F of another (every cell's candidates include F's)
  // never leaves F, so the trial of any digit that F places in a cell ends without
  // contradiction too, as long as `start` stays as it is.
  uint32_t safe[81] = {};
  uint32_t end[81];
  bool changed = false;
  for (int i = 0; i < 81; ++i) {
    uint32_t const candidates = start[i];
    if (n_digits(candidates) < 2) continue;
    uint32_t contradicted = 0;
    for (uint32_t rest = candidates & ALL_DIGITS; rest; rest &= rest - 1) {
      uint32_t const bit = rest & (0u - rest);
      if (safe[i] & bit) continue;
      if (trial_contradicts(geometry, start, done, i, bit, end)) {
        contradicted |= bit;
        continue;
      }
      for (int j = 0; j < 81; ++j)
        if (n_digits(end[j]) == 1) safe[j] |= end[j];
    }
    if (contradicted) {
      start[i] &= ~contradicted;
      cells[i].elim_bits &= ~contradicted;
      changed = true;
      std::memset(safe, 0, sizeof safe);
    }
  }
  return changed;
}
