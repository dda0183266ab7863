// XY-chains through bivalue cells: each cell's other digit is carried to the
// next cell, which must hold it; the links alternate between strong (conjugate
// pair in the carried digit) and any shared house. A chain that carries the
// start's other digit ("target") into its last cell proves that the start or the
// last cell holds the target, so the cells seeing both lose it.
//
// The search walks each cell's neighbours in ring order (group, row, column,
// diagonals) and reports the first chain in that order. Cells on the chain are
// kept in a cell set; cells whose user_answer is set when a search starts (the
// caller's chain ends, a player's answers) count as on the chain.
#include "model/puzzle.h"
#include "solver/chain_geometry.h"
#include "solver/chain_walks.h"
#include "solver/pattern_note.h"

using chain_walks::count_in_house;
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

bool one_digit(uint32_t mask) { return mask != 0 && (mask & (mask - 1)) == 0 && (mask & ~ALL_DIGITS) == 0; }

int other_digit(uint32_t cell_digits, int digit) { return __builtin_ctz(cell_digits & ~(1u << digit)); }

// The deepest call that examines cells. Only a call that accepts a weak link
// eliminates, and it does so at its own step or through a deeper call.
constexpr int kMaxDepth = 8;

// One search from a start cell and target digit. Calls that provably find nothing
// are skipped (finding nothing, they change nothing): a call deeper than kMaxDepth,
// a call at kMaxDepth that needs a strong link, and a weak-link call whose callees
// would all be such calls (at kMaxDepth - 1 or deeper) unless one of its
// neighbours ends a chain: a bivalue cell {carried digit, target} that sees a
// target candidate which the start sees too.
class XySearch {
 public:
  XySearch(Puzzle& p, chain_walks::XyChainSearchScope const& s, int start, uint32_t target)
      : p_(p), s_(s), g_(*s.geometry), target_(target) {
    for (int i = 0; i < s_.n_bivalue; ++i)
      if (p_.cells[s_.bivalue[i]].user_answer) on_chain_.add(s_.bivalue[i]);
    start_peers_ = g_.peers[start];
    target_cells_ = holding(target);
  }

  // True when the call (depth, weak_ok, carry) at `current` may find something.
  bool may_succeed(int depth, bool weak_ok, uint32_t carry, int current) {
    if (depth > kMaxDepth || (depth == kMaxDepth && !weak_ok)) return false;
    if (depth < kMaxDepth - 1 || !weak_ok || !one_digit(target_) || !one_digit(carry)) return true;
    if (!ends_built_) build_ends();
    return next_to_end_[__builtin_ctz(carry)].has(current);
  }

  bool extend(int depth, bool first, bool weak_ok, uint32_t carry, int current) {
    if (depth > kMaxDepth) return false;
    CellSet const options = (g_.peers[current] & bivalue_holding(carry)).without(on_chain_);
    if (options.empty()) return false;
    // A neighbour met again through a second house would repeat a failed attempt, so
    // the walk offers each once.
    return g_.walk_until(p_, current, options, [&](int y) {
      if (!weak_ok && !strongly_linked(carry, current, y)) return false;
      uint32_t const next = p_.cells[y].elim_bits & ~carry;

      if (!first && weak_ok && next == target_) {
        CellSet const hit = g_.peers[y] & start_peers_ & target_cells_;
        if (!hit.empty()) {
          hit.for_each([&](int x) { remove_digits(&p_.cells[x], target_); });
          pattern_note::cell(&p_.cells[y]);
          pattern_note::digits(target_);
          return true;
        }
      }

      if (!may_succeed(depth + 1, !weak_ok, next, y)) return false;
      on_chain_.add(y);
      bool const ok = extend(depth + 1, false, !weak_ok, next, y);
      on_chain_.remove(y);
      if (ok) pattern_note::cell(&p_.cells[y]);
      return ok;
    });
  }

 private:
  CellSet holding(uint32_t digits) const {
    if (one_digit(digits)) return s_.holding[__builtin_ctz(digits)];
    return cells_holding(p_, digits);
  }
  CellSet bivalue_holding(uint32_t digits) const {
    CellSet set;
    for (uint32_t d = digits & ALL_DIGITS; d; d &= d - 1) set |= s_.bivalue_with[__builtin_ctz(d)];
    return set;
  }

  // The carried digit is in exactly two cells of the first house, in chain order,
  // that `current` shares with `y`.
  bool strongly_linked(uint32_t carry, int current, int y) const {
    PUZZLE_CELL const& a = p_.cells[current];
    PUZZLE_CELL const& b = p_.cells[y];
    int dims[5];
    int const n = chain_walks::chain_houses(&a, p_.adjacency_type == ADJ_X, dims);
    for (int k = 0; k < n; ++k) {
      int const dim = dims[k];
      int const house = a.house[dim];
      if (house < 0 || house != b.house[dim]) continue;
      return (g_.house[dim][house] & holding(carry)).has_two();
    }
    return false;
  }

  // next_to_end_[d]: the cells next to a chain end that is bivalue {d, target}.
  void build_ends() {
    int const t = __builtin_ctz(target_);
    s_.bivalue_with[t].for_each([&](int y) {
      if ((g_.peers[y] & start_peers_ & target_cells_).empty()) return;
      next_to_end_[other_digit(p_.cells[y].elim_bits, t)] |= g_.peers[y];
    });
    ends_built_ = true;
  }

  Puzzle& p_;
  chain_walks::XyChainSearchScope const& s_;
  ChainGeometry const& g_;
  uint32_t const target_;
  CellSet on_chain_;
  CellSet start_peers_;
  CellSet target_cells_;
  bool ends_built_ = false;
  CellSet next_to_end_[10];
};

}  // namespace

chain_walks::XyChainSearchScope::XyChainSearchScope(Puzzle const& p)
    : puzzle(&p),
      geometry(&ChainGeometry::of(p)),
      holding(),
      bivalue_with(),
      bivalue(),
      n_bivalue(0),
      previous_(active_search) {
  cells_by_digit(p, holding);
  for (int i = 0; i < 81; ++i) {
    uint32_t const digits = p.cells[i].elim_bits & ALL_DIGITS;
    if (n_candidates(digits) != 2) continue;
    bivalue[n_bivalue++] = static_cast<uint8_t>(i);
    for (uint32_t d = digits; d; d &= d - 1) bivalue_with[__builtin_ctz(d)].add(i);
  }
  active_search = this;
}

chain_walks::XyChainSearchScope::~XyChainSearchScope() { active_search = previous_; }

void Puzzle::find_possible_nodes(CHAIN_NODE* nodes) {
  bool const x_board = adjacency_type == ADJ_X;
  for (int i = 0; i < 81; ++i)
    if (chain_walks::n_digits(cells[i].elim_bits) == 2) nodes[i] = node_of(&cells[i], i, x_board);
}

bool Puzzle::do_xy_chain(CHAIN_NODE const& a, CHAIN_NODE const& b) {
  uint32_t const a_digits = cells[a.cell].elim_bits;
  uint32_t const b_digits = cells[b.cell].elim_bits;
  for (uint32_t common = a_digits & b_digits; common; common &= common - 1) {
    uint32_t const c = chain_walks::lowest_bit(common);
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
  if (depth > kMaxDepth || current.n_dims == 0) return false;
  bool const own_scope = !active_search || active_search->puzzle != this;
  if (own_scope) {
    chain_walks::XyChainSearchScope const scope(*this);
    return do_next_xy_chain_link(depth, first, weak_ok, target, start, carry, current);
  }
  XySearch search(*this, *active_search, start.cell, target);
  return search.may_succeed(depth, weak_ok, carry, current.cell) &&
         search.extend(depth, first, weak_ok, carry, current.cell);
}

bool Puzzle::are_strongly_linked(unsigned digit_bit, CHAIN_NODE const& node, PUZZLE_CELL const& cell) {
  PUZZLE_CELL const* const node_cell = &cells[node.cell];
  for (int k = 0; k < node.n_dims; ++k) {
    int const dim = node.dims[k];
    int const house = node_cell->house[dim];
    if (house < 0 || house != cell.house[dim]) continue;
    return count_in_house(node_cell, dim, digit_bit) == 2;
  }
  return false;
}
