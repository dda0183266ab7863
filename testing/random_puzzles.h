// Seeded random puzzles for property tests and benchmarks, built without the
// engine: an independent bit-mask solution counter, the classic solution grid
// relabelled and shuffled, or a random fill for diagonal and jigsaw boards, and
// clue removal while the counter still finds exactly one solution.
// Draws come from arc4random_uniform, so sudoku_seed_random makes them repeatable.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <utility>

#include "testing/test_boards.h"
#include "util/random.h"

namespace random_puzzles {

// Units of a board: 9 rows, 9 columns, 9 groups and, on X boards, the two diagonals.
struct Layout {
  std::array<int, 81> group{};
  bool x = false;
  int units_of[81][5]{};
  int n_units_of[81]{};
  int unit_cells[29][9]{};
  int n_units = 27;

  Layout(std::array<int, 81> const& groups, bool diagonals) : group(groups), x(diagonals) {
    for (int i = 0; i < 81; ++i) {
      int const r = i / 9, c = i % 9;
      int n = 0;
      units_of[i][n++] = r;
      units_of[i][n++] = 9 + c;
      units_of[i][n++] = 18 + group[i];
      if (x && r == c) units_of[i][n++] = 27;
      if (x && r + c == 8) units_of[i][n++] = 28;
      n_units_of[i] = n;
    }
    if (x) n_units = 29;
    int filled[29] = {};
    for (int i = 0; i < 81; ++i)
      for (int k = 0; k < n_units_of[i]; ++k) {
        int const u = units_of[i][k];
        unit_cells[u][filled[u]++] = i;
      }
  }

  Matrix<int, 9> matrix() const {
    Matrix<int, 9> m;
    for (int i = 0; i < 81; ++i) m[i / 9][i % 9] = group[i];
    return m;
  }
};

inline Layout square_layout(bool x) { return Layout(test_boards::square_groups(), x); }

// A jigsaw layout: the square boxes with two pairs of cells traded across box borders.
inline Layout jigsaw_layout() {
  auto g = test_boards::square_groups();
  g[2 * 9 + 2] = 3;  // (2,2) joins group 3 ...
  g[3 * 9 + 0] = 0;  // ... and (3,0) joins group 0
  g[4 * 9 + 5] = 5;  // (4,5) joins group 5 ...
  g[3 * 9 + 6] = 4;  // ... and (3,6) joins group 4
  return Layout(g, false);
}

// Depth-first search over a digit grid (0 = empty), most constrained cell first.
class Search {
 public:
  explicit Search(Layout const& layout) : layout_(layout) {}

  // Number of completions of grid, counting no further than limit.
  int count(std::array<int, 81> grid, int limit) {
    if (!load(grid)) return 0;
    grid_ = grid;
    found_ = 0;
    limit_ = limit;
    randomize_ = false;
    node_budget_ = -1;
    gave_up_ = false;
    dfs();
    return found_;
  }

  // A random completion of grid (filled in place); false when none was found
  // within the node budget.
  bool fill_randomly(std::array<int, 81>& grid, long node_budget) {
    if (!load(grid)) return false;
    grid_ = grid;
    found_ = 0;
    limit_ = 1;
    randomize_ = true;
    node_budget_ = node_budget;
    gave_up_ = false;
    dfs();
    if (gave_up_ || found_ != 1) return false;
    grid = solution_;
    return true;
  }

 private:
  bool load(std::array<int, 81> const& grid) {
    used_.fill(0);
    for (int i = 0; i < 81; ++i) {
      if (grid[i] == 0) continue;
      uint32_t const bit = 1u << grid[i];
      for (int k = 0; k < layout_.n_units_of[i]; ++k) {
        if (used_[layout_.units_of[i][k]] & bit) return false;
        used_[layout_.units_of[i][k]] |= bit;
      }
    }
    return true;
  }

  uint32_t options(int i) const {
    uint32_t used = 0;
    for (int k = 0; k < layout_.n_units_of[i]; ++k) used |= used_[layout_.units_of[i][k]];
    return ALL_DIGITS & ~used;
  }

  void place(int i, int d, bool on) {
    grid_[i] = on ? d : 0;
    for (int k = 0; k < layout_.n_units_of[i]; ++k) used_[layout_.units_of[i][k]] ^= 1u << d;
  }

  // Branches on the empty cell with the fewest options, or on the places of the
  // unit digit with fewer places still.
  void dfs() {
    if (found_ >= limit_) return;
    if (node_budget_ >= 0 && --node_budget_ < 0) {
      found_ = limit_;  // stop the whole search
      gave_up_ = true;
      return;
    }
    uint32_t opts[81];
    int best = -1, best_n = 10;
    for (int i = 0; i < 81; ++i) {
      if (grid_[i]) continue;
      opts[i] = options(i);
      int const n = __builtin_popcount(opts[i]);
      if (n == 0) return;
      if (n < best_n) best = i, best_n = n;
    }
    if (best < 0) {
      ++found_;
      solution_ = grid_;
      return;
    }
    int best_unit = -1, best_digit = 0;
    if (best_n > 1) {
      for (int u = 0; u < layout_.n_units; ++u)
        for (int d = 1; d <= 9; ++d) {
          if (used_[u] & (1u << d)) continue;
          int places = 0;
          for (int i : layout_.unit_cells[u])
            if (!grid_[i] && (opts[i] & (1u << d))) ++places;
          if (places == 0) return;
          if (places < best_n) best_n = places, best_unit = u, best_digit = d;
        }
    }
    if (best_unit >= 0) {
      int cs[9], nc = 0;
      for (int i : layout_.unit_cells[best_unit])
        if (!grid_[i] && (opts[i] & (1u << best_digit))) cs[nc++] = i;
      if (randomize_) shuffle(cs, nc);
      for (int k = 0; k < nc && found_ < limit_; ++k) {
        place(cs[k], best_digit, true);
        dfs();
        place(cs[k], best_digit, false);
      }
      return;
    }
    int ds[9], nd = 0;
    for (int d = 1; d <= 9; ++d)
      if (opts[best] & (1u << d)) ds[nd++] = d;
    if (randomize_) shuffle(ds, nd);
    for (int k = 0; k < nd && found_ < limit_; ++k) {
      place(best, ds[k], true);
      dfs();
      place(best, ds[k], false);
    }
  }

  static void shuffle(int* v, int n) {
    for (int k = n - 1; k > 0; --k) std::swap(v[k], v[arc4random_uniform(static_cast<uint32_t>(k + 1))]);
  }

  Layout const& layout_;
  std::array<uint32_t, 29> used_{};
  std::array<int, 81> grid_{};
  std::array<int, 81> solution_{};
  int found_ = 0;
  int limit_ = 1;
  bool randomize_ = false;
  bool gave_up_ = false;
  long node_budget_ = -1;
};

// The classic solution grid with its digits relabelled and its rows and columns
// permuted at random within their bands and stacks.
inline std::array<int, 81> shuffled_classic_solution() {
  auto const base = test_boards::digits_of(test_boards::kClassicSolution);
  int relabel[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
  for (int k = 9; k > 1; --k) std::swap(relabel[k], relabel[1 + arc4random_uniform(static_cast<uint32_t>(k))]);
  int row_of[9], col_of[9];
  for (int band = 0; band < 3; ++band) {
    int rows[3] = {0, 1, 2}, cols[3] = {0, 1, 2};
    for (int k = 2; k > 0; --k) {
      std::swap(rows[k], rows[arc4random_uniform(static_cast<uint32_t>(k + 1))]);
      std::swap(cols[k], cols[arc4random_uniform(static_cast<uint32_t>(k + 1))]);
    }
    for (int k = 0; k < 3; ++k) {
      row_of[band * 3 + k] = band * 3 + rows[k];
      col_of[band * 3 + k] = band * 3 + cols[k];
    }
  }
  std::array<int, 81> out{};
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) out[r * 9 + c] = relabel[base[row_of[r] * 9 + col_of[c]]];
  return out;
}

// A random complete grid for the layout (retried until the search succeeds).
inline std::array<int, 81> random_solution(Layout const& layout) {
  Search search(layout);
  for (;;) {
    std::array<int, 81> grid{};
    if (search.fill_randomly(grid, 200000)) return grid;
  }
}

// Removes clues in random order, keeping a removal only while the puzzle keeps
// exactly one solution. Returns the clue grid (0 = empty).
inline std::array<int, 81> minimal_puzzle(Layout const& layout, std::array<int, 81> const& solution) {
  Search search(layout);
  std::array<int, 81> grid = solution;
  int order[81];
  for (int i = 0; i < 81; ++i) order[i] = i;
  for (int k = 80; k > 0; --k) std::swap(order[k], order[arc4random_uniform(static_cast<uint32_t>(k + 1))]);
  for (int i : order) {
    int const keep = grid[i];
    grid[i] = 0;
    if (search.count(grid, 2) != 1) grid[i] = keep;
  }
  return grid;
}

inline std::string to_text(std::array<int, 81> const& grid) {
  std::string s(81, '.');
  for (int i = 0; i < 81; ++i)
    if (grid[i]) s[i] = static_cast<char>('0' + grid[i]);
  return s;
}

struct Generated {
  std::string clues;
  std::string solution;
};

enum class Kind { Regular, X, Jigsaw };

inline Layout layout_for(Kind kind) {
  if (kind == Kind::Jigsaw) return jigsaw_layout();
  return square_layout(kind == Kind::X);
}

// One random puzzle of the kind; regular boards start from the shuffled classic grid.
inline Generated generate(Kind kind) {
  Layout const layout = layout_for(kind);
  auto const solution = kind == Kind::Regular ? shuffled_classic_solution() : random_solution(layout);
  return {to_text(minimal_puzzle(layout, solution)), to_text(solution)};
}

// Loads a generated puzzle onto a board (generation convention: one-bit solutions).
inline void load(Puzzle& p, Kind kind, Generated const& g) {
  Layout const layout = layout_for(kind);
  test_boards::load_generation_board(p, g.clues.c_str(), g.solution.c_str(), layout.matrix(),
                                     kind == Kind::X ? ADJ_X : ADJ_NONE);
  if (kind == Kind::Jigsaw) p.set_types(MAP_IRREGULAR, ADJ_NONE);
  for (auto& cell : p.cells) cell.user_answer = 0;
  for (auto& count : p.method_counts) count = 0;
}

}  // namespace random_puzzles
