// Candidate bookkeeping: simple elimination, the undo of a player's digit, and
// the solved / consistency tests.
#include <cstring>

#include "model/puzzle.h"
#include "solver/elimination_pass.h"
#include "solver/peer_sets.h"

// A change is noted as bits are cleared (the mark in mask alone is not a change),
// instead of copying and comparing the whole board.
bool Puzzle::one_round_of_elimination() { return chain_walks::elimination_pass(*this); }

// The rounds visit the unmarked singles in index order, a round ending where the
// index order wraps; so does this loop, keeping the singles still to visit in an
// 81-bit set instead of scanning every cell in every round. A visit changes only
// the visited single's peers, so a cell enters the set exactly when a visit leaves
// it (unmarked) with one candidate, and leaves it when a visit empties it. The rounds
// stop after one that clears nothing: no single is left to visit then, and none is
// left here either, so both end with the same candidates and marks.
bool elimination::to_fixed_point(Puzzle& p) {
  peer_sets::PeerSets const* const peers = peer_sets::active_for(p);
  if (!peers) {
    if (!p.one_round_of_elimination()) return false;
    while (p.one_round_of_elimination()) {
    }
    return true;
  }
  PUZZLE_CELL* const cells = p.cells;
  uint64_t pending[2] = {0, 0};
  for (int c = 0; c < 81; ++c)
    if (!(cells[c].mask & 2) && n_candidates(cells[c].elim_bits) == 1) pending[c >> 6] |= uint64_t{1} << (c & 63);
  bool changed = false;
  bool first_round_changed = false;
  bool first_round = true;
  int last = -1;  // the cell visited last in this round
  for (;;) {
    // The next single above the last one visited in this round.
    int next = -1;
    if (last < 63) {
      uint64_t const above = last < 0 ? pending[0] : pending[0] & (~uint64_t{0} << (last + 1));
      if (above) next = __builtin_ctzll(above);
    }
    if (next < 0) {
      uint64_t const above = last < 64 ? pending[1] : pending[1] & (~uint64_t{0} << (last - 63));
      if (above) next = 64 + __builtin_ctzll(above);
    }
    if (next < 0) {
      if (first_round) {
        first_round_changed = changed;
        first_round = false;
      }
      if (!(pending[0] | pending[1])) break;
      last = -1;
      continue;
    }
    pending[next >> 6] &= ~(uint64_t{1} << (next & 63));
    uint32_t const bit = cells[next].elim_bits;
    uint8_t const* const peer = peers->peers[next];
    for (int k = 0, n_peers = peers->n_peers[next]; k < n_peers; ++k) {
      PUZZLE_CELL& other = cells[peer[k]];
      if (!(other.elim_bits & bit)) continue;
      other.elim_bits &= ~bit;
      changed = true;
      if (other.mask & 2) continue;
      int const n = n_candidates(other.elim_bits);
      uint64_t const o_bit = uint64_t{1} << (peer[k] & 63);
      if (n == 1)
        pending[peer[k] >> 6] |= o_bit;
      else if (n == 0)
        pending[peer[k] >> 6] &= ~o_bit;
    }
    cells[next].mask |= 2;
    last = next;
  }
  return first_round_changed;
}

bool Puzzle::puzzle_is_solved() const {
  for (auto const& cell : cells)
    if (n_candidates(cell.elim_bits) != 1) return false;
  return true;
}

void Puzzle::simplify_by_elimination_using_cell(PUZZLE_CELL* cell) {
  uint32_t const bits = cell->elim_bits;
  int dims[5];
  int const n = houses_of(cell, dims);
  for (int k = 0; k < n; ++k)
    for (PUZZLE_CELL* other = next_in(cell, dims[k]); other != cell; other = next_in(other, dims[k]))
      other->elim_bits &= ~bits;
}

namespace {

// The digit a cell holds for the player: its answer, or its solution when it is a given.
int placed_digit(PUZZLE_CELL const* x) {
  if (x->user_answer) return x->user_answer;
  if (x->mask) return x->solution;
  return 0;
}

}  // namespace

void Puzzle::reverse_elimination_for_cell_and_digit(PUZZLE_CELL* cell, unsigned old_bit) {
  cell->elim_bits = ALL_DIGITS;
  int dims[4];
  int n = 0;
  dims[n++] = DIM_GROUP;
  dims[n++] = DIM_ROW;
  dims[n++] = DIM_COL;
  if (adjacency_type == ADJ_X && cell->house[DIM_DIAG] == 0) dims[n++] = DIM_DIAG;
  for (int k = 0; k < n; ++k)
    for (PUZZLE_CELL* x = next_in(cell, dims[k]); x != cell; x = next_in(x, dims[k])) {
      if (x->user_answer)
        cell->elim_bits &= ~bit_of_digit(x->user_answer);
      else if (x->mask)
        cell->elim_bits &= ~bit_of_digit(x->solution);
      else
        alt_eliminate_in_cell_for_digit(x, old_bit);
    }
  if (adjacency_type == ADJ_X && cell->house[DIM_ANTI_DIAG] == 0)
    reverse_eliminate_in_dimension_for_cell_and_old_bit_digit(cell, DIM_ANTI_DIAG, old_bit);
}

void Puzzle::reverse_eliminate_in_dimension_for_cell_and_old_bit_digit(PUZZLE_CELL* cell, int dim,
                                                                       unsigned old_bit) {
  if (cell->next_in_dim[dim] == 0) return;
  for (PUZZLE_CELL* x = next_in(cell, dim); x != cell; x = next_in(x, dim)) {
    if (x->user_answer || x->mask)
      cell->elim_bits &= ~bit_of_digit(placed_digit(x));
    else
      alt_eliminate_in_cell_for_digit(x, old_bit);
  }
}

void Puzzle::alt_eliminate_in_cell_for_digit(PUZZLE_CELL* x, unsigned old_bit) {
  if (old_bit == 0) return;
  int dims[5];
  int const n = houses_of(x, dims);
  for (int k = 0; k < n; ++k)
    for (PUZZLE_CELL* y = next_in(x, dims[k]); y != x; y = next_in(y, dims[k]))
      if (bit_of_digit(y->user_answer) == old_bit || (y->mask && bit_of_digit(y->solution) == old_bit)) return;
  x->elim_bits |= old_bit;
}

bool Puzzle::check_elim_bits_against_soln() const {
  for (auto const& cell : cells)
    if (!(cell.elim_bits & static_cast<uint32_t>(cell.solution))) return false;
  return true;
}

void Puzzle::reset_solver() {
  std::memset(method_counts, 0, sizeof method_counts);
  apply_mask();
}
