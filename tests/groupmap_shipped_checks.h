// Checks of the shipped group-map files through the real loader: every stored map is unpacked,
// completed and turned by GroupMap itself, then checked independently.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <set>
#include <string>

#include "group_maps_location.h"
#include "groupmap_test_support.h"
#include "matrix_engine/matrix_engine.h"
#include "model/puzzle.h"
#include "util/random.h"

namespace shipped_maps {

// One file's inflated content.
struct MapFile {
  unsigned char const* data = nullptr;
  size_t length = 0;
  ~MapFile() { std::free(const_cast<unsigned char*>(data)); }
};

// Image of cell k under the symmetry of a loaded map: left-right for mirror maps, 180 degrees otherwise.
inline int image_of(int symmetry, int k) { return symmetry == 0 ? (k / 9) * 9 + 8 - k % 9 : 80 - k; }

// The partition is mapped onto itself by the symmetry; partner[g] is the image of group g.
inline bool symmetric(Matrix<int, 9> const& m, int symmetry, int partner[9]) {
  for (int g = 0; g < 9; ++g) partner[g] = -1;
  for (int k = 0; k < 81; ++k) {
    int const g = m.data()[k], h = m.data()[image_of(symmetry, k)];
    if (partner[g] < 0) partner[g] = h;
    if (partner[g] != h) return false;
  }
  for (int g = 0; g < 9; ++g)
    if (partner[partner[g]] != g) return false;
  return true;
}

// Edge-adjacent groups differ in colour unless they are partners; partners share a colour.
inline bool colours_valid(Matrix<int, 9> const& m, int const colours[9], int const partner[9]) {
  for (int g = 0; g < 9; ++g)
    if (colours[g] < 0 || colours[g] > 3 || colours[g] != colours[partner[g]]) return false;
  for (int k = 0; k < 81; ++k) {
    int const g = m.data()[k];
    for (int n : {k % 9 < 8 ? k + 1 : -1, k < 72 ? k + 9 : -1}) {
      if (n < 0) continue;
      int const h = m.data()[n];
      if (h != g && partner[g] != h && colours[g] == colours[h]) return false;
    }
  }
  return true;
}

// Completion check: randomized depth-first search, fewest candidates first, restarted with a node
// budget (heavy tails of one fixed order are avoided). True when a grid was found; the grid itself
// is the proof, and every placement respects all units by construction.
class Completion {
 public:
  Completion(Matrix<int, 9> const& m, bool diagonals) {
    for (int a = 0; a < 81; ++a)
      for (int b = 0; b < 81; ++b) {
        int const ra = a / 9, ca = a % 9, rb = b / 9, cb = b % 9;
        bool s = a != b && (ra == rb || ca == cb || m.data()[a] == m.data()[b]);
        if (diagonals && a != b) s = s || (ra == ca && rb == cb) || (ra + ca == 8 && rb + cb == 8);
        if (s) nb_[a][n_[a]++] = b;
      }
  }
  bool exists() {
    for (int restart = 0; restart < 1000; ++restart) {
      std::array<unsigned, 81> cand;
      cand.fill(0x3FE);
      unsigned long long open[2] = {~0ull, (1ull << 17) - 1};
      nodes_ = 0;
      if (search(cand, open)) {
        for (int k = 0; k < 81; ++k) grid_[k] = __builtin_ctz(cand[k]);
        return true;
      }
    }
    return false;
  }
  // The grid found by the last successful exists().
  int const* grid() const { return grid_; }

 private:
  bool search(std::array<unsigned, 81>& cand, unsigned long long open[2]) {
    if (++nodes_ > 20000) return false;
    int best = -1, best_n = 10;
    for (int k = 0; k < 81; ++k)
      if (open[k / 64] >> (k % 64) & 1) {
        int const c = __builtin_popcount(cand[k]);
        if (c < best_n) best = k, best_n = c;
      }
    if (best < 0) return true;
    std::array<unsigned, 81> const saved = cand;
    open[best / 64] &= ~(1ull << (best % 64));
    for (unsigned rest = cand[best]; rest;) {
      // A random remaining digit.
      int pick = static_cast<int>(arc4random_uniform(static_cast<uint32_t>(__builtin_popcount(rest))));
      unsigned bit = rest;
      while (pick--) bit &= bit - 1;
      bit &= ~bit + 1;
      rest &= ~bit;
      cand[best] = bit;  // the digit placed (the cell is closed: only the reported grid reads it)
      bool ok = true;
      for (int j = 0; j < n_[best] && ok; ++j) {
        int const o = nb_[best][j];
        if (!(open[o / 64] >> (o % 64) & 1)) continue;
        cand[o] &= ~bit;
        ok = cand[o] != 0;
      }
      if (ok && search(cand, open)) return true;
      cand = saved;
    }
    open[best / 64] |= 1ull << (best % 64);
    return false;
  }
  int nb_[81][40];
  int n_[81] = {};
  int grid_[81] = {};
  long nodes_ = 0;
};

// The smallest partition signature of m over the eight turns and reflections of the grid: equal for
// every orientation the loader can give one stored map.
inline Matrix<int, 9> turn_free_signature(Matrix<int, 9> const& m) {
  Matrix<int, 9> best;
  for (int t = 0; t < 8; ++t) {
    Matrix<int, 9> g;
    for (int r = 0; r < 9; ++r)
      for (int c = 0; c < 9; ++c) {
        int sr = r, sc = c;
        if (t & 1) std::swap(sr, sc);
        if (t & 2) sr = 8 - sr;
        if (t & 4) sc = 8 - sc;
        g[r][c] = m[sr][sc];
      }
    g = groupmap_test::canonical(g);
    if (t == 0 || std::lexicographical_compare(g.data(), g.data() + 81, best.data(), best.data() + 81)) best = g;
  }
  return best;
}

// Every unit of the map (rows, columns, groups, and the diagonals when they are units) holds 1..9.
inline bool grid_fits(Matrix<int, 9> const& m, int const digits[81], bool diagonals) {
  unsigned rows[9] = {}, cols[9] = {}, groups[9] = {}, diag = 0, anti = 0;
  for (int k = 0; k < 81; ++k) {
    int const r = k / 9, c = k % 9, d = digits[k];
    if (d < 1 || d > 9) return false;
    unsigned const bit = 1u << d;
    rows[r] |= bit, cols[c] |= bit, groups[m.data()[k]] |= bit;
    if (r == c) diag |= bit;
    if (r + c == 8) anti |= bit;
  }
  for (int i = 0; i < 9; ++i)
    if (rows[i] != 0x3FE || cols[i] != 0x3FE || groups[i] != 0x3FE) return false;
  return !diagonals || (diag == 0x3FE && anti == 0x3FE);
}

// A grid built by the engine's own solution construction (which restarts a failing attempt),
// checked unit by unit here: the fallback when the random search above misses.
inline bool engine_builds_completion(Matrix<int, 9> const& m, bool diagonals, int* grid = nullptr) {
  Puzzle p;
  p.set_types(MAP_IRREGULAR, diagonals ? ADJ_X : ADJ_NONE);
  p.set_difficulty(UI_EASY);
  p.setup(m);
  p.define_are_neighbors_array();
  p.define_overlap_maps();
  p.store_both_stop_flags(false);
  p.deadline_ms = 0;
  if (!p.construct_solution()) return false;
  int digits[81];
  for (int k = 0; k < 81; ++k) digits[k] = __builtin_ctz(static_cast<unsigned>(p.cells[k].solution));
  if (grid) std::copy(digits, digits + 81, grid);
  return grid_fits(m, digits, diagonals);
}

// A completion of the map, cross-checked by the matrix engine: the search above finds a grid; the
// matrix engine's completion counter, given that grid with about half its cells cleared, completes
// it with its own constraint tables, and the grid it reports fits every unit. (From the empty grid
// the counter's fixed branching order can take millions of nodes on a jigsaw map.)
inline ::testing::AssertionResult matrix_engine_completes(Matrix<int, 9> const& m, bool diagonals) {
  Completion search(m, diagonals);
  int grid[81];
  if (search.exists())
    std::copy(search.grid(), search.grid() + 81, grid);
  else if (!engine_builds_completion(m, diagonals, grid))
    return ::testing::AssertionFailure() << "no completion found";
  int grp[9][9];
  for (int k = 0; k < 81; ++k) grp[k / 9][k % 9] = m.data()[k];
  matrix_engine::Ops const& ops = matrix_engine::compile(diagonals, grp);
  matrix_engine::Vec cand, placed;
  cand.fill_all();
  for (int k = 0; k < 81; ++k)
    if (arc4random_uniform(2)) placed.set(matrix_engine::lit(k, grid[k]));
  int out[1][81] = {};
  long long budget = 2000000;
  int const found = matrix_engine::count_completions_collect(ops, cand, placed, 1, out, 0, budget);
  if (found != 1) return ::testing::AssertionFailure() << "completion count " << found << ", budget left " << budget;
  if (!grid_fits(m, out[0], diagonals)) return ::testing::AssertionFailure() << "the completion breaks a unit";
  return ::testing::AssertionSuccess();
}

// Loads map index of a file through GroupMap's own unpacking, completion and turn.
inline GroupMap load_map(GroupMap const& header, unsigned char const* data, int index) {
  GroupMap g(MAP_REGULAR);
  g.mapType = MAP_IRREGULAR;
  g.symmetryType = header.symmetryType;
  g.compressize = header.compressize;
  g.nMaps = header.nMaps;
  std::memcpy(g.compressedMap, data + kGroupMapHeaderSize + static_cast<size_t>(index) * header.compressize,
              static_cast<size_t>(header.compressize));
  GroupMapTestAccess::binaryToIntegerMap(g);
  GroupMapTestAccess::makeIrregColorMap(g);
  return g;
}

// What check_file does beyond structure, symmetry, colours and duplicates (checked on every map).
struct FileChecks {
  int loads = 2;            // loads of every map (the turn is random)
  int completion_step = 0;  // a completion search on every completion_step-th map (0: none)
  int matrix_samples = 0;   // maps per file, drawn at random, whose completions the matrix engine finds
};

// Reads a shipped file and checks its header and every stored map.
inline void check_file(char const* name, FileChecks const& checks, int& maps_checked) {
  SCOPED_TRACE(name);
  std::string const path = test_group_maps::shipped_dir() + "/" + name + ".z";
  MapFile file;
  file.data = get_zipped_file_contents(path, file.length, kGroupMapFileCapacity);
  ASSERT_NE(file.data, nullptr) << path;
  GroupMap header(MAP_REGULAR);
  ASSERT_TRUE(GroupMapTestAccess::parseHeader(header, file.data));
  bool const mirror = std::string(name).rfind("mir", 0) == 0;
  EXPECT_EQ(header.symmetryType, mirror ? 0 : 1);
  EXPECT_EQ(header.compressize, mirror ? 22 : 20);
  ASSERT_GE(header.nMaps, 1);
  ASSERT_EQ(kGroupMapHeaderSize + static_cast<size_t>(header.nMaps) * header.compressize, file.length);
  std::set<int> matrix_sample;
  for (int i = 0; i < checks.matrix_samples; ++i)
    matrix_sample.insert(static_cast<int>(arc4random_uniform(static_cast<uint32_t>(header.nMaps))));
  std::set<std::array<int, 81>> signatures;
  int const step = 1, loads = checks.loads, completion_step = checks.completion_step;
  int turned = 0, in_file = 0;
  for (int i = 0; i < header.nMaps; i += step) {
    bool saw_different_turns = false;
    Matrix<int, 9> first;
    for (int l = 0; l < loads; ++l) {
      GroupMap const g = load_map(header, file.data, i);
      ASSERT_TRUE(groupmap_test::nine_connected_groups_of_nine(g.groupMap)) << "map " << i;
      EXPECT_FALSE(GroupMapTestAccess::mapIsSquareBoxes(g)) << "map " << i;
      int partner[9];
      ASSERT_TRUE(symmetric(g.groupMap, g.symmetryType, partner)) << "map " << i;
      if (!mirror) {
        int self = 0;
        for (int p = 0; p < 9; ++p) self += partner[p] == p;
        EXPECT_EQ(self, 1) << "map " << i;
        int in_middle_row = 0;
        bool counted[9] = {};
        for (int c = 0; c < 9; ++c) {
          int const grp = g.groupMap[4][c], key = std::min(grp, partner[grp]);
          if (!counted[key]) counted[key] = true, ++in_middle_row;
        }
        int middle_row_col = 0;  // the turn may make the middle column the middle row
        bool counted_col[9] = {};
        for (int r = 0; r < 9; ++r) {
          int const grp = g.groupMap[r][4], key = std::min(grp, partner[grp]);
          if (!counted_col[key]) counted_col[key] = true, ++middle_row_col;
        }
        int const expected = std::string(name).find("2grp") != std::string::npos ? 2 : 3;
        EXPECT_TRUE(in_middle_row == expected || middle_row_col == expected) << "map " << i;
      }
      EXPECT_TRUE(colours_valid(g.groupMap, g.colorMap, partner)) << "map " << i;
      if (l == 0) first = g.groupMap;
      saw_different_turns |= !(groupmap_test::canonical(g.groupMap) == groupmap_test::canonical(first));
      if (l == 0) {
        Matrix<int, 9> const signature = turn_free_signature(g.groupMap);
        std::array<int, 81> key;
        std::copy(signature.data(), signature.data() + 81, key.begin());
        EXPECT_TRUE(signatures.insert(key).second) << "map " << i << " repeats an earlier map of the file";
      }
      if (l == 0 && matrix_sample.count(i)) {
        EXPECT_TRUE(matrix_engine_completes(g.groupMap, false)) << "map " << i;
        EXPECT_TRUE(matrix_engine_completes(g.groupMap, true)) << "map " << i << " with diagonals";
      }
      if (l == 0 && completion_step > 0 && (i / step) % completion_step == 0) {
        // A grid with the diagonals as units is also a grid without them. The random search
        // can miss in a hard orientation; the engine's construction, checked here, then decides.
        bool const with_diagonals = Completion(g.groupMap, true).exists() || engine_builds_completion(g.groupMap, true);
        EXPECT_TRUE(with_diagonals) << "map " << i << " with diagonals";
        if (!with_diagonals) {
          EXPECT_TRUE(Completion(g.groupMap, false).exists()) << "map " << i;
        }
      }
    }
    turned += saw_different_turns;
    ++maps_checked;
    ++in_file;
  }
  // Loaded eight times, a map shows more than one orientation (unless it has extra symmetry).
  if (loads >= 8) {
    EXPECT_GT(turned * 10, in_file * 9);
  }
}

}  // namespace shipped_maps
