// X-chains on one digit: strong links (a house with exactly two cells for the
// digit) alternating with weak links (any shared house), from a strong link to a
// strong link; every cell that sees both ends loses the digit.
//
// The search walks each cell's houses in chain order (group, row, column,
// diagonals) and reports the first chain in that order. Cells on the chain are
// kept in a cell set; cells whose user_answer is set when a search starts count
// as on the chain, and the two cells of the first strong link carry
// user_answer = 1 while their search runs.
#include <algorithm>
#include <optional>

#include "model/puzzle.h"
#include "solver/chain_geometry.h"
#include "solver/chain_walks.h"
#include "solver/failure_memo.h"
#include "solver/pattern_note.h"

using chain_walks::remove_digits;

namespace {

// Statistics slot of a 3-link chain, from the kinds of its two strong links.
int three_link_slot(int first_dim, int last_dim) {
  bool const first_line = first_dim == DIM_ROW || first_dim == DIM_COL;
  bool const last_line = last_dim == DIM_ROW || last_dim == DIM_COL;
  if (first_line && last_line) return first_dim == last_dim ? kSlotThreeLinkSameLine : kSlotThreeLinkCrossLines;
  return kSlotThreeLinkOtherHouse;
}

// The digit's strong links: every house holding it exactly twice, with its two
// cells in ring order (rings run in ascending cell order from the house's lowest
// cell), and each cell's partners over all those houses.
struct StrongLinks {
  int8_t pair[5][9][2];  // -1 unless the house holds the digit exactly twice
  CellSet partners[81];
  CellSet linked;        // the cells with a partner

  StrongLinks(ChainGeometry const& g, CellSet digit_cells, int n_dims) {
    for (auto& dim : pair)
      for (auto& house : dim) house[0] = house[1] = -1;
    for (int dim = 0; dim < n_dims; ++dim)
      for (int h = 0; h < 9; ++h) {
        CellSet const in_house = g.house[dim][h] & digit_cells;
        if (!in_house.has_two()) continue;
        int const a = in_house.first();
        int const b = in_house.without_lowest().first();
        pair[dim][h][0] = static_cast<int8_t>(a);
        pair[dim][h][1] = static_cast<int8_t>(b);
        link(a, b);
        link(b, a);
      }
  }

  void link(int a, int b) {
    linked.add(a);
    partners[a].add(b);
  }

  CellSet partners_of(CellSet cells) const {
    CellSet out;
    (cells & linked).for_each([&](int c) { out |= partners[c]; });
    return out;
  }
};

// One search on a digit from a start cell. Besides the walk it holds, for k
// strong links still allowed, the cells from which a strong step could still reach
// an elimination on a relaxed board where a chain may revisit cells. The weak
// step skips cells outside that set: on the real board, which only has fewer ways,
// their search would find nothing and, finding nothing, changes nothing.
class XChainSearch {
 public:
  XChainSearch(Puzzle& p, ChainGeometry const& g, StrongLinks const& links, uint32_t digit_bit, CellSet digit_cells,
               int start, int max_len, int first_dim)
      : p_(p),
        g_(g),
        links_(links),
        digit_bit_(digit_bit),
        digits_(digit_cells),
        start_(start),
        max_len_(max_len),
        first_dim_(first_dim) {
    digits_.for_each([&](int c) {
      if (p_.cells[c].user_answer) on_chain_.add(c);
    });
    build_reach();
  }

  bool extend(int length, int current, bool weak_next) {
    if (length >= max_len_) return false;
    return weak_next ? weak_step(length, current) : strong_step(length, current);
  }

 private:
  static constexpr int kMaxLevels = 16;

  // Strong steps a strong call at `length` still has (at length, length + 2, ...).
  int strong_steps_left(int length) const { return length < max_len_ ? (max_len_ - 1 - length) / 2 + 1 : 0; }

  bool weak_step(int length, int current) {
    int const steps = std::min(strong_steps_left(length + 1), n_levels_);
    if (steps <= 0) return false;
    CellSet const options = (g_.peers[current] & reach_[steps]).without(on_chain_);
    if (options.empty()) return false;
    // A neighbour met again through a second house would repeat a failed attempt, so
    // the walk offers each once.
    return g_.walk_until(p_, current, options, [&](int y) {
      on_chain_.add(y);
      bool const ok = extend(length + 1, y, false);
      on_chain_.remove(y);
      if (ok) pattern_note::cell(&p_.cells[y]);
      return ok;
    });
  }

  bool strong_step(int length, int current) {
    PUZZLE_CELL const* const cell = &p_.cells[current];
    int dims[5];
    int const n = chain_walks::chain_houses(cell, p_.adjacency_type == ADJ_X, dims);
    CellSet tried;
    for (int k = 0; k < n; ++k) {
      int const dim = dims[k];
      int const house = cell->house[dim];
      if (house < 0 || house > 8) continue;
      int8_t const* const ends = links_.pair[dim][house];
      if (ends[0] < 0 || (ends[0] != current && ends[1] != current)) continue;
      int const end = ends[0] == current ? ends[1] : ends[0];
      // An end reached again through a second house would repeat a failed attempt.
      if (on_chain_.has(end) || tried.has(end)) continue;
      tried.add(end);

      // Every cell that sees both ends loses the digit.
      CellSet const hit = digits_ & g_.peers[start_] & g_.peers[end];
      if (!hit.empty()) {
        hit.for_each([&](int x) { remove_digits(&p_.cells[x], digit_bit_); });
        if (length == 3) ++p_.method_counts[three_link_slot(first_dim_, dim)];
        pattern_note::cell(&p_.cells[end]);
        pattern_note::digits(digit_bit_);
        return true;
      }
      on_chain_.add(end);
      bool const ok = extend(length + 1, end, true);
      on_chain_.remove(end);
      if (ok) {
        pattern_note::cell(&p_.cells[end]);
        return true;
      }
    }
    return false;
  }

  CellSet peers_of(CellSet cells) const {
    CellSet out;
    cells.for_each([&](int c) { out |= g_.peers[c]; });
    return out;
  }

  // reach_[k]: the cells from which a strong step may eliminate within k strong
  // links on the relaxed board. Grows with k; stops growing once a level repeats.
  void build_reach() {
    int const levels = strong_steps_left(3);
    if (levels > kMaxLevels - 1) {  // longer than any useful bound: no pruning
      reach_[1] = digits_;
      n_levels_ = 1;
      return;
    }
    // The ends that would eliminate: a cell with the digit sees them and the start.
    CellSet const ends = digits_ & peers_of(digits_ & g_.peers[start_]);
    reach_[1] = links_.partners_of(ends);
    n_levels_ = levels;
    for (int k = 1; k < levels; ++k) {
      // A strong link to e, a weak link from e to a cell that reaches within k.
      reach_[k + 1] = reach_[1] | links_.partners_of(digits_ & peers_of(reach_[k]));
      if (reach_[k + 1] == reach_[k]) {
        n_levels_ = k;
        break;
      }
    }
  }

  Puzzle& p_;
  ChainGeometry const& g_;
  StrongLinks const& links_;
  uint32_t const digit_bit_;
  CellSet const digits_;
  int const start_;
  int const max_len_;
  int const first_dim_;
  CellSet on_chain_;
  int n_levels_ = 0;
  CellSet reach_[kMaxLevels];
};

}  // namespace

bool Puzzle::simplify_x_chain_vexor(int max_len) {
  int const limit = max_len < 1 ? 10 : max_len;
  int const n_dims = adjacency_type == ADJ_X ? 5 : 3;
  ChainGeometry const& g = ChainGeometry::of(*this);
  failure_memo::Technique const memo_slot = max_len == 4 ? failure_memo::kShortXChains : failure_memo::kXChains;
  failure_memo::Memo* const memo = max_len == 4 || max_len < 1 ? failure_memo::active_for(*this) : nullptr;
  std::optional<failure_memo::DigitKeys> keys;
  if (memo) keys.emplace(*this);
  CellSet holding[10];
  cells_by_digit(*this, holding);
  for (int d = 1; d <= 9; ++d) {
    if (keys && failure_memo::known_to_fail(memo, memo_slot, *keys, d)) continue;
    uint32_t const bit = 1u << d;
    CellSet const digit_cells = holding[d];
    StrongLinks const links(g, digit_cells, n_dims);
    for (int dim = 0; dim < n_dims; ++dim) {
      int const n_houses = dim < 3 ? 9 : 1;
      for (int h = 0; h < n_houses; ++h) {
        int8_t const* const ends = links.pair[dim][h];
        if (ends[0] < 0) continue;
        for (int orientation = 0; orientation < 2; ++orientation) {
          PUZZLE_CELL* const start = &cells[ends[orientation]];
          PUZZLE_CELL* const current = &cells[ends[1 - orientation]];
          start->user_answer = 1;
          current->user_answer = 1;
          bool ok = false;
          if (2 < limit) {
            XChainSearch search(*this, g, links, bit, digit_cells, ends[orientation], limit, dim);
            ok = search.extend(2, ends[1 - orientation], true);
          }
          start->user_answer = 0;
          current->user_answer = 0;
          if (ok) {
            // The chain's cells are noted from its end back to its start.
            pattern_note::cell(current);
            pattern_note::cell(start);
            return true;
          }
        }
      }
    }
  }
  if (keys) failure_memo::record_failure(memo, memo_slot, *keys);
  return false;
}

bool Puzzle::x_chain_extend(unsigned digit_bit, int n_dims, int length, PUZZLE_CELL* start, PUZZLE_CELL* current,
                            bool weak_next, int max_len, DIMENSION first_dim) {
  if (length >= max_len) return false;
  ChainGeometry const& g = ChainGeometry::of(*this);
  CellSet const digit_cells = cells_holding(*this, digit_bit);
  StrongLinks const links(g, digit_cells, n_dims);
  XChainSearch search(*this, g, links, digit_bit, digit_cells, static_cast<int>(start - cells), max_len, first_dim);
  return search.extend(length, static_cast<int>(current - cells), weak_next);
}
