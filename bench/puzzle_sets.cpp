#include "puzzle_sets.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <mutex>

#include "matrix_engine/matrix_engine.h"
#include "util/random.h"

namespace bench_sets {

namespace {

using namespace matrix_engine;

Ops const& square_ops() {
  int g[9][9];
  for (int c = 0; c < 81; ++c) g[c / 9][c % 9] = 3 * (c / 27) + (c % 9) / 3;
  return compile(false, g);
}

int count(Puzzle const& p, int (*out)[81], long long* nodes = nullptr) {
  Vec cand, placed;
  cand.fill_all();
  for (int c = 0; c < 81; ++c)
    if (p[c]) placed.set(lit(c, p[c]));
  long long const start = 1LL << 40;
  long long budget = start;
  int const n = count_completions_collect(square_ops(), cand, placed, 2, out, 0, budget);
  if (nodes) *nodes = start - budget;
  return n;
}

uint32_t draw(uint32_t n) { return arc4random_uniform(n); }

// Random clues added until exactly one completion remains; returns that grid.
Puzzle random_solution() {
  Puzzle p{};
  int out[2][81];
  int order[81];
  for (int c = 0; c < 81; ++c) order[c] = c;
  for (int i = 80; i > 0; --i) std::swap(order[i], order[draw(i + 1)]);
  for (int c : order) {
    int digits[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    for (int i = 8; i > 0; --i) std::swap(digits[i], digits[draw(i + 1)]);
    for (int d : digits) {
      p[c] = d;
      bool consistent = true;
      for (int o = 0; o < 81; ++o)
        if (o != c && p[o] == d && (o / 9 == c / 9 || o % 9 == c % 9 || (o / 27 == c / 27 && o % 9 / 3 == c % 9 / 3)))
          consistent = false;
      int const n = consistent ? count(p, out) : 0;
      if (n == 1) {
        Puzzle s;
        for (int k = 0; k < 81; ++k) s[k] = out[0][k];
        return s;
      }
      if (n == 2) break;
      p[c] = 0;
    }
  }
  return p;  // not reached: the full grid has one completion
}

Puzzle random_minimal() {
  Puzzle p = random_solution();
  int out[2][81];
  int order[81];
  for (int c = 0; c < 81; ++c) order[c] = c;
  for (int i = 80; i > 0; --i) std::swap(order[i], order[draw(i + 1)]);
  for (int c : order) {
    int const keep = p[c];
    p[c] = 0;
    if (count(p, out) != 1) p[c] = keep;
  }
  return p;
}

Puzzle parse(std::string const& s) {
  Puzzle p{};
  for (int c = 0; c < 81 && c < static_cast<int>(s.size()); ++c) p[c] = s[c] >= '1' && s[c] <= '9' ? s[c] - '0' : 0;
  return p;
}

std::string text(Puzzle const& p) {
  std::string s;
  for (int v : p) s += v ? static_cast<char>('0' + v) : '.';
  return s;
}

// Bands, rows within bands, stacks, columns within stacks, transposition and digit
// names: each keeps a puzzle's number of solutions and clues.
Puzzle random_transform(Puzzle const& p) {
  int band[3] = {0, 1, 2}, stack[3] = {0, 1, 2}, rows[3][3], cols[3][3], digit[10];
  for (int i = 2; i > 0; --i) std::swap(band[i], band[draw(i + 1)]), std::swap(stack[i], stack[draw(i + 1)]);
  for (int b = 0; b < 3; ++b) {
    for (int k = 0; k < 3; ++k) rows[b][k] = k, cols[b][k] = k;
    for (int i = 2; i > 0; --i) std::swap(rows[b][i], rows[b][draw(i + 1)]), std::swap(cols[b][i], cols[b][draw(i + 1)]);
  }
  for (int d = 0; d < 10; ++d) digit[d] = d;
  for (int d = 9; d > 1; --d) std::swap(digit[d], digit[1 + draw(d)]);
  bool const transpose = draw(2);
  Puzzle q{};
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      int const nr = 3 * band[r / 3] + rows[r / 3][r % 3], nc = 3 * stack[c / 3] + cols[c / 3][c % 3];
      int const cell = transpose ? 9 * nc + nr : 9 * nr + nc;
      q[cell] = digit[p[9 * r + c]];
    }
  return q;
}

std::vector<Puzzle> make_minimal(int n) {
  std::vector<Puzzle> v;
  while (static_cast<int>(v.size()) < n) v.push_back(random_minimal());
  return v;
}

std::vector<Puzzle> make_hard(int keep, int candidates) {
  std::vector<std::pair<long long, Puzzle>> scored;
  for (int i = 0; i < candidates; ++i) {
    Puzzle const p = random_minimal();
    scored.push_back({nodes_for(p), p});
  }
  std::stable_sort(scored.begin(), scored.end(), [](auto const& a, auto const& b) { return a.first > b.first; });
  std::vector<Puzzle> v;
  for (int i = 0; i < keep && i < static_cast<int>(scored.size()); ++i) v.push_back(scored[i].second);
  return v;
}

std::vector<Puzzle> make_17(int n) {
  // Seeds: published 17-clue puzzles; only those this counter confirms (17 clues,
  // one solution) are used.
  char const* const seeds[] = {
      "000000010400000000020000000000050407008000300001090000300400200050100000000806000",
      "000000010400000000020000000000050604008000300001090000300400200050100000000807000",
      "000000012000035000000600070700000300000400800100000000000120000080000040050000600",
      "000000012003600000000007000410020000000500300700000600280000040000300500000000000",
      "000000012008030000000000040120500000000004700060000000507000300000620000000100000",
  };
  std::vector<Puzzle> valid;
  int out[2][81];
  for (char const* s : seeds) {
    Puzzle const p = parse(s);
    if (std::count_if(p.begin(), p.end(), [](int v) { return v != 0; }) == 17 && count(p, out) == 1) valid.push_back(p);
  }
  std::vector<Puzzle> v;
  if (valid.empty()) return v;
  for (int i = 0; i < n; ++i) v.push_back(random_transform(valid[i % valid.size()]));
  return v;
}

// Three famous hard puzzles (Inkala 2012, AI Escargot, Easter Monster) under random
// transforms, in turn.
std::vector<Puzzle> make_hardest(int n) {
  char const* const seeds[] = {
      "8..........36......7..9.2...5...7.......457.....1...3...1....68..85...1..9....4..",
      "1....7.9..3..2...8..96..5....53..9...1..8...26....4...3......1..4......7..7...3..",
      "1.......2.9.4...5...6...7...5.9.3.......7.......85..4.7.....6...3...9.8...2.....1",
  };
  std::vector<Puzzle> v;
  for (int i = 0; i < n; ++i) v.push_back(random_transform(parse(seeds[i % 3])));
  return v;
}

std::vector<Puzzle> make_set(std::string const& name) {
  sudoku_seed_random(name == "minimal"   ? 0x6d696eu
                     : name == "hard"    ? 0x68617264u
                     : name == "hardest" ? 0x68617273u
                                         : 0x3137u);
  std::vector<Puzzle> v;
  if (name == "minimal") v = make_minimal(200);
  if (name == "hard") v = make_hard(100, 4000);
  if (name == "17clue") v = make_17(200);
  if (name == "hardest") v = make_hardest(300);
  if (name == "empty") v.push_back(Puzzle{});
  sudoku_seed_random(0);
  return v;
}

}  // namespace

long long nodes_for(Puzzle const& p) {
  int out[2][81];
  long long nodes = 0;
  count(p, out, &nodes);
  return nodes;
}

std::vector<Puzzle> const& load(std::string const& name) {
  static std::mutex mutex;
  static std::map<std::string, std::vector<Puzzle>> sets;
  std::lock_guard<std::mutex> lock(mutex);
  auto found = sets.find(name);
  if (found != sets.end()) return found->second;

  std::string const path = std::string(NONET_SOURCE_DIR) + "/bench/data/" + name + ".txt";
  std::vector<Puzzle> v;
  if (!std::getenv("NONET_BENCH_REGENERATE")) {
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line))
      if (line.size() >= 81) v.push_back(parse(line));
  }
  if (v.empty()) {
    v = make_set(name);
    std::ofstream out(path);
    for (auto const& p : v) out << text(p) << "\n";
    std::fprintf(stderr, "bench: wrote %zu puzzles to %s\n", v.size(), path.c_str());
  }
  return sets.emplace(name, std::move(v)).first->second;
}

}  // namespace bench_sets
