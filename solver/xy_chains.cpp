// XY-chains through bivalue cells: each cell's other digit is carried to the
// next cell, which must hold it; the links alternate between strong (conjugate
// pair in the carried digit) and any shared house. A chain that carries the
// start's other digit ("target") into its last cell proves that the start or the
// last cell holds the target, so the cells seeing both lose it.
// Cells on the current chain carry user_answer = 1 and are reset to 0 on the way back.
#include "model/puzzle.h"
#include "solver/chain_walks.h"
#include "solver/pattern_note.h"

using chain_walks::count_in_house;
using chain_walks::lowest_bit;
using chain_walks::remove_digits;

namespace {

// The node of a bivalue cell: its houses in chain order.
CHAIN_NODE node_of(PUZZLE_CELL const* cell, int index, bool x_board) {
  CHAIN_NODE node{};
  node.cell = index;
  node.n_dims = chain_walks::chain_houses(cell, x_board, node.dims);
  return node;
}

thread_local chain_walks::XyChainSearchScope const* active_search = nullptr;

}  // namespace

chain_walks::XyChainSearchScope::XyChainSearchScope(Puzzle const& p) : count(), puzzle(&p) {
  int const n_dims = p.adjacency_type == ADJ_X ? 5 : 3;
  for (int dim = 0; dim < n_dims; ++dim)
    for (int h = 0; h < (dim < 3 ? 9 : 1); ++h) {
      PUZZLE_CELL const* const first = p.ptrs_first_in_dims[dim][h];
      if (!first) continue;
      PUZZLE_CELL const* x = first;
      do {
        for (uint32_t bits = x->elim_bits & ALL_DIGITS; bits; bits &= bits - 1) ++count[__builtin_ctz(bits)][dim][h];
        x = Puzzle::next_in(x, dim);
      } while (x != first);
    }
  active_search = this;
}

chain_walks::XyChainSearchScope::~XyChainSearchScope() { active_search = nullptr; }

void Puzzle::find_possible_nodes(CHAIN_NODE* nodes) {
  bool const x_board = adjacency_type == ADJ_X;
  for (int i = 0; i < 81; ++i)
    if (chain_walks::n_digits(cells[i].elim_bits) == 2) nodes[i] = node_of(&cells[i], i, x_board);
}

bool Puzzle::do_xy_chain(CHAIN_NODE const& a, CHAIN_NODE const& b) {
  uint32_t const a_digits = cells[a.cell].elim_bits;
  uint32_t const b_digits = cells[b.cell].elim_bits;
  for (uint32_t common = a_digits & b_digits; common; common &= common - 1) {
    uint32_t const c = lowest_bit(common);
    if (do_next_xy_chain_link(2, true, false, a_digits & ~c, a, b_digits & ~c, b)) {
      // The chain's cells are noted from its end back to its start.
      pattern_note::cell(&cells[b.cell]);
      pattern_note::cell(&cells[a.cell]);
      return true;
    }
  }
  return false;
}

bool Puzzle::do_next_xy_chain_link(int depth, bool first, bool weak_ok, unsigned target, CHAIN_NODE const& start,
                                   unsigned carry, CHAIN_NODE const& current) {
  if (depth > 8 || current.n_dims == 0) return false;
  PUZZLE_CELL* const cur = &cells[current.cell];
  PUZZLE_CELL* const start_cell = &cells[start.cell];
  bool const x_board = adjacency_type == ADJ_X;
  for (int k = 0; k < current.n_dims; ++k) {
    int const dim = current.dims[k];
    for (PUZZLE_CELL* y = next_in(cur, dim); y != cur; y = next_in(y, dim)) {
      if (y->user_answer || chain_walks::n_digits(y->elim_bits) != 2 || !(y->elim_bits & carry)) continue;
      if (!weak_ok && !are_strongly_linked(carry, current, *y)) continue;
      uint32_t const next = y->elim_bits & ~carry;

      if (!first && weak_ok && next == target) {
        bool changed = false;
        int dims[5];
        int const n = chain_walks::chain_houses(y, x_board, dims);
        for (int h = 0; h < n; ++h)
          for (PUZZLE_CELL* x = next_in(y, dims[h]); x != y; x = next_in(x, dims[h])) {
            if (x == start_cell) continue;
            if ((x->elim_bits & target) && are_neighbors(x, start_cell)) changed |= remove_digits(x, target);
          }
        if (changed) {
          pattern_note::cell(y);
          pattern_note::digits(target);
          return true;
        }
      }

      int const y_index = static_cast<int>(y - cells);
      CHAIN_NODE const y_node = node_of(y, y_index, x_board);
      y->user_answer = 1;
      bool const ok = do_next_xy_chain_link(depth + 1, false, !weak_ok, target, start, next, y_node);
      y->user_answer = 0;
      if (ok) {
        pattern_note::cell(y);
        return true;
      }
    }
  }
  return false;
}

bool Puzzle::are_strongly_linked(unsigned digit_bit, CHAIN_NODE const& node, PUZZLE_CELL const& cell) {
  PUZZLE_CELL const* const node_cell = &cells[node.cell];
  for (int k = 0; k < node.n_dims; ++k) {
    int const dim = node.dims[k];
    int const house = node_cell->house[dim];
    if (house < 0 || house != cell.house[dim]) continue;
    bool const one_digit = digit_bit != 0 && (digit_bit & (digit_bit - 1)) == 0 && (digit_bit & ~ALL_DIGITS) == 0;
    if (active_search && active_search->puzzle == this && one_digit && house <= 8 && node_cell->next_in_dim[dim] != 0)
      return active_search->count[__builtin_ctz(digit_bit)][dim][house] == 2;
    return count_in_house(node_cell, dim, digit_bit) == 2;
  }
  return false;
}
