// make_group_maps: builds the fifteen jigsaw group-map files the engine ships
// (data/groupmaps/<name>.z, "SGM0.001" format). Deterministic: the same seed
// gives byte-identical files.
//
//   make_group_maps [--out DIR] [--maps-per-file N] [--seed S] [--max-attempts N]
//
// Every map written is: nine edge-connected groups of nine cells, symmetric as
// its file says, not the 3x3 box partition, completable as a sudoku without and
// with both diagonals as units (a filled grid is found and checked), quick to
// fill (the engine's solution-construction search, with its static cell order
// and forward checking, succeeds within a small budget in every one of several
// seeded runs, with and without diagonals), and unique within all files up to
// the eight turns and reflections of the grid.
//
// Mirror files "mir01".."mir10": maps symmetric top-bottom as stored (the
// loader turns them to left-right symmetry). Groups with a cell in row 4 are
// their own mirror image; the others come in pairs.
// Rotational files: 180-degree symmetric maps; the group through the centre is
// its own image and the other eight form four pairs. "rot_2grp01" holds maps in
// which exactly two of the four pairs reach the middle row (row 4 holds five
// groups); "rot_3grp01".."rot_3grp04" maps in which exactly three pairs reach
// it (row 4 holds seven groups).
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "engine_fill.h"
#include "util/random.h"

namespace {

// ---- deterministic random source ----
struct Rng {
  uint64_t state;
  uint64_t next() {
    uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  int below(int n) { return static_cast<int>(next() % static_cast<uint64_t>(n)); }
};

using Grid = std::array<int, 81>;  // group number 0..8 per cell, -1 while unassigned

enum class Kind { Mirror, Rotational };

int image_of(Kind kind, int k) { return kind == Kind::Rotational ? 80 - k : (8 - k / 9) * 9 + k % 9; }

bool edge_adjacent(int a, int b) {
  int const ra = a / 9, ca = a % 9, rb = b / 9, cb = b % 9;
  return (ra == rb && std::abs(ca - cb) == 1) || (ca == cb && std::abs(ra - rb) == 1);
}

// ---- random symmetric partitions: a walk of symmetric cell exchanges from the 3x3 boxes ----
bool symmetric_partition(Kind kind, Grid const& grid, std::array<int, 9> const& partner) {
  for (int k = 0; k < 81; ++k)
    if (grid[image_of(kind, k)] != partner[grid[k]]) return false;
  return true;
}

bool group_connected(Grid const& grid, int g) {
  int start = -1, total = 0;
  for (int k = 0; k < 81; ++k)
    if (grid[k] == g) ++total, start = start < 0 ? k : start;
  if (total == 0) return false;
  bool seen[81] = {};
  int stack[81], top = 0, reached = 0;
  stack[top++] = start;
  seen[start] = true;
  while (top) {
    int const k = stack[--top];
    ++reached;
    for (int d : {k - 9, k + 9, k - 1, k + 1})
      if (d >= 0 && d < 81 && edge_adjacent(k, d) && !seen[d] && grid[d] == g) seen[d] = true, stack[top++] = d;
  }
  return reached == total;
}

// The box partition with its partners under the symmetry: rotational pairs box b with 8 - b (box 4 is
// its own image); mirror (top-bottom) pairs 0-6, 1-7, 2-8 and keeps the middle band's boxes.
void box_partition(Kind kind, Grid& grid, std::array<int, 9>& partner) {
  for (int k = 0; k < 81; ++k) grid[k] = 3 * (k / 27) + (k % 9) / 3;
  for (int b = 0; b < 9; ++b) partner[b] = kind == Kind::Rotational ? 8 - b : (b < 3 ? b + 6 : (b > 5 ? b - 6 : b));
}

// Each accepted step moves a cell of group A into an edge-adjacent group B and a cell of B that
// touches A into A, with the images of both moves, keeping every group connected and the
// partition symmetric.
bool perturb(Kind kind, Rng& rng, int steps, Grid& grid, std::array<int, 9> const& partner) {
  int accepted = 0;
  int const dirs[4] = {-9, 9, -1, 1};
  for (int tries = 0; accepted < steps && tries < steps * 400; ++tries) {
    int const a = rng.below(81);
    int const b = a + dirs[rng.below(4)];
    if (b < 0 || b >= 81 || !edge_adjacent(a, b) || grid[a] == grid[b]) continue;
    int const ga = grid[a], gb = grid[b];
    // Cells of B that touch A elsewhere than at a.
    int options[81], n = 0;
    for (int c = 0; c < 81; ++c) {
      if (grid[c] != gb || c == b) continue;
      for (int d : dirs)
        if (c + d >= 0 && c + d < 81 && c + d != a && edge_adjacent(c, c + d) && grid[c + d] == ga) {
          options[n++] = c;
          break;
        }
    }
    if (n == 0) continue;
    int const c = options[rng.below(n)];
    Grid next = grid;
    next[a] = gb;
    next[c] = ga;
    next[image_of(kind, a)] = partner[gb];
    next[image_of(kind, c)] = partner[ga];
    if (!symmetric_partition(kind, next, partner)) continue;
    bool ok = true;
    for (int g : {ga, gb, partner[ga], partner[gb]}) ok = ok && group_connected(next, g);
    if (!ok) continue;
    int sizes[9] = {};
    for (int v : next) ++sizes[v];
    for (int v : sizes) ok = ok && v == 9;
    if (!ok) continue;
    grid = next;
    ++accepted;
  }
  return accepted == steps;
}

// ---- checks ----
bool nine_connected_groups_of_nine(Grid const& grid) {
  for (int g = 0; g < 9; ++g) {
    int start = -1, total = 0;
    for (int k = 0; k < 81; ++k)
      if (grid[k] == g) ++total, start = start < 0 ? k : start;
    if (total != 9) return false;
    bool seen[81] = {};
    int stack[81], top = 0, reached = 0;
    stack[top++] = start;
    seen[start] = true;
    while (top) {
      int const k = stack[--top];
      ++reached;
      for (int d : {k - 9, k + 9, k - 1, k + 1})
        if (d >= 0 && d < 81 && edge_adjacent(k, d) && !seen[d] && grid[d] == g) seen[d] = true, stack[top++] = d;
    }
    if (reached != 9) return false;
  }
  return true;
}

Grid renumbered(Grid grid) {
  int map[16];
  std::fill(map, map + 16, -1);
  int next = 0;
  for (int& v : grid) {
    if (map[v] < 0) map[v] = next++;
    v = map[v];
  }
  return grid;
}

bool is_box_partition(Grid const& grid) {
  Grid boxes;
  for (int k = 0; k < 81; ++k) boxes[k] = 3 * (k / 27) + (k % 9) / 3;
  return renumbered(grid) == renumbered(boxes);
}

// The smallest renumbered form over the eight turns and reflections.
Grid canonical_form(Grid const& grid) {
  Grid best{};
  bool first = true;
  for (int t = 0; t < 8; ++t) {
    Grid g;
    for (int r = 0; r < 9; ++r)
      for (int c = 0; c < 9; ++c) {
        int sr = r, sc = c;
        if (t & 1) std::swap(sr, sc);
        if (t & 2) sr = 8 - sr;
        if (t & 4) sc = 8 - sc;
        g[r * 9 + c] = grid[sr * 9 + sc];
      }
    g = renumbered(g);
    if (first || g < best) best = g, first = false;
  }
  return best;
}

// Neighbour lists of every cell for a partition, with or without the diagonals as units.
struct Units {
  std::array<std::array<bool, 81>, 81> sees{};
  explicit Units(Grid const& grid, bool diagonals) {
    for (int a = 0; a < 81; ++a)
      for (int b = 0; b < 81; ++b) {
        if (a == b) continue;
        int const ra = a / 9, ca = a % 9, rb = b / 9, cb = b % 9;
        bool s = ra == rb || ca == cb || grid[a] == grid[b];
        if (diagonals) s = s || (ra == ca && rb == cb) || (ra + ca == 8 && rb + cb == 8);
        sees[a][b] = s;
      }
  }
};

// The engine's solution-construction search: seed group by restriction, greedy static order,
// random digits with forward checking. Returns the filled grid's digits, or false when the call
// budget runs out or no completion exists.
class Filler {
 public:
  Filler(Grid const& grid, bool diagonals) : units_(grid, diagonals) {
    // Seed group: the largest number of its cells in one line (rows, columns, diagonals on X).
    int best = -1, best_restriction = -1;
    for (int g = 0; g < 9; ++g) {
      int restriction = 0;
      for (int line = 0; line < 9; ++line) {
        int in_row = 0, in_col = 0;
        for (int i = 0; i < 9; ++i) in_row += grid[line * 9 + i] == g, in_col += grid[i * 9 + line] == g;
        restriction = std::max({restriction, in_row, in_col});
      }
      if (diagonals) {
        int d = 0, a = 0;
        for (int i = 0; i < 9; ++i) d += grid[i * 10] == g, a += grid[i * 9 + 8 - i] == g;
        restriction = std::max({restriction, d, a});
      }
      if (restriction > best_restriction) best_restriction = restriction, best = g;
    }
    for (int g = 0; g < 9; ++g) {
      int const group = g == 0 ? best : (g <= best ? g - 1 : g);
      for (int k = 0; k < 81; ++k)
        if (grid[k] == group) order_.push_back(k);
    }
    std::array<int, 81> placed_neighbours{};
    for (int i = 9; i < 81; ++i)
      for (int s = 0; s < 9; ++s) placed_neighbours[order_[i]] += units_.sees[order_[i]][order_[s]];
    for (int k = 9; k < 80; ++k) {
      // Stable: the first cell with the most placed neighbours.
      int pick = k;
      for (int i = k + 1; i < 81; ++i)
        if (placed_neighbours[order_[i]] > placed_neighbours[order_[pick]]) pick = i;
      std::rotate(order_.begin() + k, order_.begin() + pick, order_.begin() + pick + 1);
      for (int i = k + 1; i < 81; ++i) placed_neighbours[order_[i]] += units_.sees[order_[i]][order_[k]];
    }
  }

  bool fill(Rng& rng, long budget, std::array<int, 81>& digits) {
    calls_ = 0;
    budget_ = budget;
    int perm[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    for (int i = 8; i > 0; --i) std::swap(perm[i], perm[rng.below(i + 1)]);
    candidates_.fill(0x3FE);
    for (int i = 0; i < 9; ++i) candidates_[order_[i]] = 1u << perm[i];
    for (int i = 9; i < 81; ++i) {
      for (int s = 0; s < 9; ++s)
        if (units_.sees[order_[i]][order_[s]]) candidates_[order_[i]] &= ~(1u << perm[s]);
      if (!candidates_[order_[i]]) return false;
    }
    if (!search(9, rng)) return false;
    for (int k = 0; k < 81; ++k) digits[k] = __builtin_ctz(candidates_[k]);
    return true;
  }

  long calls() const { return calls_; }

 private:
  bool search(int pos, Rng& rng) {
    if (++calls_ > budget_) return false;
    int const cell = order_[pos];
    if (pos == 80) return candidates_[cell] != 0;
    unsigned saved[81];
    for (int i = pos; i < 81; ++i) saved[i] = candidates_[order_[i]];
    unsigned open = candidates_[cell];
    while (open) {
      int const n = __builtin_popcount(open);
      int r = rng.below(n);
      unsigned bit = open;
      while (r--) bit &= bit - 1;
      bit &= -bit;
      candidates_[cell] = bit;
      bool ok = true;
      for (int i = pos + 1; i < 81 && ok; ++i) {
        int const later = order_[i];
        if (units_.sees[cell][later]) {
          candidates_[later] &= ~bit;
          ok = candidates_[later] != 0;
        }
      }
      if (ok && search(pos + 1, rng)) return true;
      if (calls_ > budget_) return false;
      open &= ~bit;
      for (int i = pos + 1; i < 81; ++i) candidates_[order_[i]] = saved[i];
    }
    candidates_[cell] = saved[pos];
    return false;
  }

  Units units_;
  std::vector<int> order_;
  std::array<unsigned, 81> candidates_{};
  long calls_ = 0, budget_ = 0;
};

// Randomized depth-first fill with a dynamic order: always the open cell with the fewest
// candidates, digits in random order, forward checking. Counts recursive calls against a budget.
class MrvFiller {
 public:
  MrvFiller(Grid const& grid, bool diagonals) : units_(grid, diagonals) {
    for (int a = 0; a < 81; ++a)
      for (int b = 0; b < 81; ++b)
        if (units_.sees[a][b]) neighbours_[a][n_neighbours_[a]++] = static_cast<uint8_t>(b);
  }

  bool fill(Rng& rng, long budget, std::array<int, 81>& digits) {
    calls_ = 0;
    budget_ = budget;
    std::array<unsigned, 81> cand;
    cand.fill(0x3FE);
    std::array<bool, 81> open;
    open.fill(true);
    if (!search(cand, open, rng)) return false;
    for (int k = 0; k < 81; ++k) digits[k] = __builtin_ctz(cand[k]);
    return true;
  }
  long calls() const { return calls_; }

 private:
  bool search(std::array<unsigned, 81>& cand, std::array<bool, 81>& open, Rng& rng) {
    if (++calls_ > budget_) return false;
    int best = -1, best_n = 10;
    for (int k = 0; k < 81; ++k) {
      if (!open[k]) continue;
      int const n = __builtin_popcount(cand[k]);
      if (n < best_n) best = k, best_n = n;
    }
    if (best < 0) return true;
    int order[9], n = 0;
    for (int d = 1; d <= 9; ++d)
      if (cand[best] & (1u << d)) order[n++] = d;
    for (int i = n - 1; i > 0; --i) std::swap(order[i], order[rng.below(i + 1)]);
    std::array<unsigned, 81> const saved = cand;
    open[best] = false;
    for (int i = 0; i < n; ++i) {
      unsigned const bit = 1u << order[i];
      cand[best] = bit;
      bool ok = true;
      for (int j = 0; j < n_neighbours_[best] && ok; ++j) {
        int const other = neighbours_[best][j];
        if (!open[other]) continue;
        cand[other] &= ~bit;
        ok = cand[other] != 0;
      }
      if (ok && search(cand, open, rng)) return true;
      cand = saved;
      if (calls_ > budget_) break;
    }
    open[best] = true;
    return false;
  }

  Units units_;
  uint8_t neighbours_[81][40];
  int n_neighbours_[81] = {};
  long calls_ = 0, budget_ = 0;
};

// Every unit holds each digit once.
bool valid_solution(Grid const& grid, std::array<int, 81> const& digits, bool diagonals) {
  Units const units(grid, diagonals);
  for (int a = 0; a < 81; ++a) {
    if (digits[a] < 1 || digits[a] > 9) return false;
    for (int b = a + 1; b < 81; ++b)
      if (units.sees[a][b] && digits[a] == digits[b]) return false;
  }
  return true;
}

constexpr int kMaxSteps = 4;          // exchanges between two candidates of the walk
constexpr long kRestartAfter = 2000;
constexpr long kJumpEvery = 50;  // attempts between jumps of the walk to a random earlier map  // failed candidates in a row before the walk restarts at the boxes
constexpr int kFillRuns = 4;       // seeded runs per map and per rule set
constexpr long kFillBudget = 2000;  // recursive calls allowed per run

// Every run of the randomized fill finds a grid, checked unit by unit, without and with diagonals.
bool quick_to_fill(Grid const& grid, Rng& rng, long& worst_calls) {
  for (bool diagonals : {false, true}) {
    MrvFiller filler(grid, diagonals);
    for (int run = 0; run < kFillRuns; ++run) {
      std::array<int, 81> digits;
      if (!filler.fill(rng, kFillBudget, digits)) return false;
      if (!valid_solution(grid, digits, diagonals)) return false;
      worst_calls = std::max(worst_calls, filler.calls());
    }
  }
  return true;
}

// The engine's own construct_solution, in every orientation the loader can give the map, without
// and with diagonals: every one of kEngineRuns seeded runs fills within kEngineBudget recursive calls.
int kEngineRuns = 0;         // --engine-runs; 0 leaves the check off
long kEngineBudget = 2000;   // --engine-budget
constexpr long kEngineStopMs = 5;  // some 40000 calls, beyond any budget used: only stops a stalled run

bool engine_fills_quickly(Kind kind, Grid const& grid, long& worst_engine_calls) {
  if (kEngineRuns <= 0) return true;
  bool const mirror = kind == Kind::Mirror;
  for (int t = 0; t < engine_fill::turn_count(mirror); ++t)
    for (bool diagonals : {false, true}) {
      Matrix<int, 9> const m = engine_fill::turned(grid, mirror, t);
      for (int run = 0; run < kEngineRuns; ++run) {
        engine_fill::Run const r = engine_fill::run_once(m, diagonals, kEngineStopMs);
        if (!r.filled || r.calls > kEngineBudget) return false;
        worst_engine_calls = std::max(worst_engine_calls, r.calls);
      }
    }
  return true;
}

// For the record: how often the engine's own construction order fills the map within a budget.
struct StaticOrderStats {
  long runs = 0, within_budget = 0;
  void measure(Grid const& grid, Rng& rng) {
    for (bool diagonals : {false, true}) {
      Filler filler(grid, diagonals);
      std::array<int, 81> digits;
      ++runs;
      within_budget += filler.fill(rng, 20000, digits);
    }
  }
};

// ---- the stored form ----
// Labels as the file stores them. Rotational: partners 1-2, 3-4, 5-6, 7-8, centre group 9, cell 0 is
// label 1. Mirror: a self group keeps one label; a pair has L above the middle row and L + 1 below.
Grid file_labels(Kind kind, Grid const& grid, std::array<int, 9> const& partner) {
  std::array<int, 9> label;
  label.fill(0);
  int next = 1;
  for (int k = 0; k < 81; ++k) {
    int const g = grid[k];
    if (label[g]) continue;
    if (kind == Kind::Rotational) {
      if (partner[g] == g) {
        label[g] = 9;
      } else {
        label[g] = next;
        label[partner[g]] = next + 1;
        next += 2;
      }
    } else if (partner[g] == g) {
      label[g] = next++;
    } else {
      label[g] = next;  // the group met first lies above the middle row
      label[partner[g]] = next + 1;
      next += 2;
    }
  }
  Grid out;
  for (int k = 0; k < 81; ++k) out[k] = label[grid[k]];
  return out;
}

int stored_bytes(Kind kind) { return kind == Kind::Rotational ? 20 : 22; }

std::vector<unsigned char> pack(Grid const& labels, int n_bytes) {
  std::vector<unsigned char> out;
  for (int i = 0; i < n_bytes; ++i)
    out.push_back(static_cast<unsigned char>(labels[1 + 2 * i] << 4 | labels[2 + 2 * i]));
  return out;
}

// The loader's completion, before its random turn: used to check the stored form reproduces the map.
Grid unpack(Kind kind, std::vector<unsigned char> const& bytes) {
  Grid m{};
  m[0] = 1;
  int const n = static_cast<int>(bytes.size());
  for (int i = 0; i < n; ++i) m[1 + 2 * i] = bytes[i] >> 4, m[2 + 2 * i] = bytes[i] & 15;
  for (int k = 1 + 2 * n; k < 81; ++k) {
    if (kind == Kind::Rotational) {
      int const l = m[80 - k];
      m[k] = l == 9 ? 9 : (l % 2 ? l + 1 : l - 1);
    } else {
      int const l = m[(8 - k / 9) * 9 + k % 9];
      bool middle = false;
      for (int c = 0; c < 9; ++c) middle |= m[36 + c] == l;
      m[k] = middle ? l : l + 1;
    }
  }
  return m;
}

int pairs_in_middle_row(Grid const& grid, std::array<int, 9> const& partner) {
  std::set<int> pairs;
  for (int c = 0; c < 9; ++c) {
    int const g = grid[36 + c];
    if (partner[g] != g) pairs.insert(std::min(g, partner[g]));
  }
  return static_cast<int>(pairs.size());
}

struct OutFile {
  std::string name;
  Kind kind;
  int middle_kinds;  // rotational files: groups in the middle row, a partner pair counted once; -1 mirror
  std::vector<std::vector<unsigned char>> maps;
};

bool write_file(std::string const& path, OutFile const& f) {
  int const n_bytes = stored_bytes(f.kind);
  char header[96] = {};
  std::snprintf(header, sizeof header, "SGM0.001%s%2d%10d", f.kind == Kind::Rotational ? "ROT" : "MIR", n_bytes,
                static_cast<int>(f.maps.size()));
  std::vector<unsigned char> raw(header, header + 80);
  for (auto const& m : f.maps) raw.insert(raw.end(), m.begin(), m.end());
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<unsigned char> z(size);
  if (compress2(z.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK) return false;
  FILE* out = std::fopen(path.c_str(), "wb");
  if (!out) return false;
  bool const ok = std::fwrite(z.data(), 1, size, out) == size;
  return std::fclose(out) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::string out_dir = "data/groupmaps";
  int per_file = 2000;
  uint64_t seed = 20261206;
  long max_attempts = 1000000;  // per kind of map: the files may end up shorter than asked
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string const opt = argv[i];
    if (opt == "--out") out_dir = argv[i + 1];
    else if (opt == "--maps-per-file") per_file = std::atoi(argv[i + 1]);
    else if (opt == "--seed") seed = std::strtoull(argv[i + 1], nullptr, 10);
    else if (opt == "--max-attempts") max_attempts = std::atol(argv[i + 1]);
    else if (opt == "--engine-runs") kEngineRuns = std::atoi(argv[i + 1]);
    else if (opt == "--engine-budget") kEngineBudget = std::atol(argv[i + 1]);
    else {
      std::fprintf(stderr, "usage: make_group_maps [--out DIR] [--maps-per-file N] [--seed S] [--max-attempts N] [--engine-runs N] [--engine-budget CALLS]\n");
      return 2;
    }
  }
  std::vector<OutFile> files;
  for (int i = 1; i <= 10; ++i) files.push_back({"mir" + std::string(i < 10 ? "0" : "") + std::to_string(i), Kind::Mirror, -1, {}});
  files.push_back({"rot_2grp01", Kind::Rotational, 2, {}});  // centre group and one pair in the middle row
  for (int i = 1; i <= 4; ++i)  // centre group and two pairs in the middle row
    files.push_back({"rot_3grp0" + std::to_string(i), Kind::Rotational, 3, {}});

  Rng rng{seed};
  std::set<Grid> seen;
  StaticOrderStats static_order;
  long attempts = 0, rejected_fill = 0, duplicates = 0, worst_calls = 0, worst_engine_calls = 0;
  sudoku_seed_random(seed);  // the engine's draws, for byte-identical output
  for (Kind kind : {Kind::Mirror, Kind::Rotational}) {
    // A walk through quick-to-fill maps: each candidate is a few exchanges away from the current map,
    // and the walk moves on only to candidates that pass every check.
    Grid current;
    std::array<int, 9> partner;
    box_partition(kind, current, partner);
    long failures_in_a_row = 0;
    std::vector<Grid> accepted;
    for (long kind_attempts = 0; kind_attempts < max_attempts; ++kind_attempts) {
      bool need[6] = {};  // by groups on the middle row, up to symmetry (1..5)
      bool any = false;
      for (auto& f : files)
        if (f.kind == kind && static_cast<int>(f.maps.size()) < per_file)
          need[f.middle_kinds < 0 ? 0 : f.middle_kinds] = any = true;
      if (!any) break;
      if (++attempts % 20000 == 0) {
        std::fprintf(stderr, "attempts %ld duplicates %ld rejected %ld files:", attempts, duplicates, rejected_fill);
        for (auto const& f : files) std::fprintf(stderr, " %zu", f.maps.size());
        std::fprintf(stderr, "\n");
      }
      if (failures_in_a_row > kRestartAfter) {
        box_partition(kind, current, partner);
        failures_in_a_row = 0;
      } else if (kind_attempts % kJumpEvery == 0 && !accepted.empty()) {
        current = accepted[rng.below(static_cast<int>(accepted.size()))];  // spreads the walk
      }
      Grid grid = current;
      if (!perturb(kind, rng, 1 + rng.below(kMaxSteps), grid, partner) || !nine_connected_groups_of_nine(grid) ||
          is_box_partition(grid)) {
        ++failures_in_a_row;
        continue;
      }
      Grid const key = canonical_form(grid);
      if (seen.count(key)) {
        ++duplicates;
        current = grid;
        continue;
      }
      if (!quick_to_fill(grid, rng, worst_calls) || !engine_fills_quickly(kind, grid, worst_engine_calls)) {
        ++rejected_fill;
        ++failures_in_a_row;
        continue;
      }
      current = grid;
      failures_in_a_row = 0;
      int const cls = kind == Kind::Rotational ? 1 + pairs_in_middle_row(grid, partner) : 0;
      if (!need[cls]) continue;
      Grid const labels = file_labels(kind, grid, partner);
      auto bytes = pack(labels, stored_bytes(kind));
      if (renumbered(unpack(kind, bytes)) != renumbered(grid)) {
        std::fprintf(stderr, "make_group_maps: stored form does not reproduce a map\n");
        return 1;
      }
      seen.insert(key);
      accepted.push_back(grid);
      static_order.measure(grid, rng);
      // Mirror maps go to the mirror files in turn; rotational maps to the files of their class in turn.
      OutFile* target = nullptr;
      for (auto& f : files)
        if (f.kind == kind && (kind == Kind::Mirror || f.middle_kinds == cls) &&
            (!target || f.maps.size() < target->maps.size()))
          target = &f;
      target->maps.push_back(bytes);
    }
  }
  for (auto const& f : files)
    if (f.maps.empty()) {  // an empty file would make the loader fall back to the box map
      std::fprintf(stderr, "make_group_maps: no map accepted for %s; nothing written\n", f.name.c_str());
      return 1;
    }
  for (auto const& f : files) {
    std::string const path = out_dir + "/" + f.name + ".z";
    if (!write_file(path, f)) {
      std::fprintf(stderr, "make_group_maps: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  std::printf("attempts %ld, duplicates %ld, slow or not completable %ld, worst accepted fill %ld calls\n", attempts,
              duplicates, rejected_fill, worst_calls);
  std::printf("engine construct_solution: worst accepted run %ld calls (budget %ld, %d runs per orientation and rule set)\n",
              worst_engine_calls, kEngineBudget, kEngineRuns);
  std::printf("engine construction order: %ld of %ld runs within 20000 calls on the shipped maps\n",
              static_order.within_budget, static_order.runs);
  return 0;
}
