// The XY-chain, X-chain and W-wing searches against plain ring-walk searches in the
// same exploration order, on random candidate boards of every kind: both must report
// the same first pattern (result, eliminations, statistics slot, pattern notes) and
// leave no chain mark behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "solver/cell_set.h"
#include "solver/chain_geometry.h"
#include "solver/pattern_note.h"
#include "testing/random_puzzles.h"
#include "tests/candidate_boards.h"

namespace {

using Ring = PUZZLE_CELL*;

// The searches walked house by house, marking chain cells in user_answer.
struct Reference {
  Puzzle& p;

  int houses(PUZZLE_CELL const* c, int dims[5]) const { return p.houses_of(c, dims); }
  static int count(PUZZLE_CELL* c, int dim, uint32_t digits) {
    int n = 0;
    Ring x = c;
    do {
      n += (x->elim_bits & digits) != 0;
      x = Puzzle::next_in(x, dim);
    } while (x != c);
    return n;
  }
  bool sees(PUZZLE_CELL const* a, PUZZLE_CELL const* b) const { return p.are_neighbors(a, b); }
  bool remove_where(uint32_t digits, Ring from, auto&& keep_if) {
    bool changed = false;
    int dims[5];
    for (int k = 0, n = houses(from, dims); k < n; ++k)
      for (Ring x = Puzzle::next_in(from, dims[k]); x != from; x = Puzzle::next_in(x, dims[k]))
        if ((x->elim_bits & digits) && keep_if(x)) {
          x->elim_bits &= ~digits;
          changed = true;
        }
    return changed;
  }

  bool xy_link(int depth, bool first, bool weak_ok, uint32_t target, Ring start, uint32_t carry, Ring cur) {
    if (depth > 8) return false;
    int dims[5];
    for (int k = 0, n = houses(cur, dims); k < n; ++k)
      for (Ring y = Puzzle::next_in(cur, dims[k]); y != cur; y = Puzzle::next_in(y, dims[k])) {
        if (y->user_answer || n_candidates(y->elim_bits) != 2 || !(y->elim_bits & carry)) continue;
        if (!weak_ok) {
          int h = 0;
          while (h < n && cur->house[dims[h]] != y->house[dims[h]]) ++h;
          if (h == n || count(cur, dims[h], carry) != 2) continue;
        }
        uint32_t const next = y->elim_bits & ~carry;
        if (!first && weak_ok && next == target &&
            remove_where(target, y, [&](Ring x) { return x != start && sees(x, start); })) {
          pattern_note::cell(y);
          pattern_note::digits(target);
          return true;
        }
        y->user_answer = 1;
        bool const ok = xy_link(depth + 1, false, !weak_ok, target, start, next, y);
        y->user_answer = 0;
        if (ok) {
          pattern_note::cell(y);
          return true;
        }
      }
    return false;
  }

  bool xy_pass() {
    for (int i = 0; i < 81; ++i)
      for (int j = i + 1; j < 81; ++j) {
        Ring const a = &p.cells[i], b = &p.cells[j];
        if (n_candidates(a->elim_bits) != 2 || n_candidates(b->elim_bits) != 2 || !sees(a, b)) continue;
        for (auto [s, c] : {std::pair{a, b}, std::pair{b, a}})
          for (uint32_t common = a->elim_bits & b->elim_bits; common; common &= common - 1) {
            uint32_t const d = common & (0u - common);
            a->user_answer = b->user_answer = 1;
            bool const ok = xy_link(2, true, false, s->elim_bits & ~d, s, c->elim_bits & ~d, c);
            a->user_answer = b->user_answer = 0;
            if (ok) {
              pattern_note::cell(c);
              pattern_note::cell(s);
              return true;
            }
          }
      }
    return false;
  }

  bool x_extend(uint32_t bit, int length, Ring start, Ring cur, bool weak_next, int max_len, int first_dim) {
    if (length >= max_len) return false;
    int dims[5];
    for (int k = 0, n = houses(cur, dims); k < n; ++k) {
      Ring y = Puzzle::next_in(cur, dims[k]);
      if (!weak_next) {
        if (count(cur, dims[k], bit) != 2) continue;
        while (!(y->elim_bits & bit)) y = Puzzle::next_in(y, dims[k]);
        if (y->user_answer) continue;
        if (remove_where(bit, start, [&](Ring x) { return x != y && sees(x, y); })) {
          bool const line_a = first_dim == DIM_ROW || first_dim == DIM_COL;
          bool const line_b = dims[k] == DIM_ROW || dims[k] == DIM_COL;
          if (length == 3)
            ++p.method_counts[!(line_a && line_b)   ? kSlotThreeLinkOtherHouse
                              : first_dim == dims[k] ? kSlotThreeLinkSameLine
                                                     : kSlotThreeLinkCrossLines];
          pattern_note::cell(y);
          pattern_note::digits(bit);
          return true;
        }
      }
      for (; y != cur; y = weak_next ? Puzzle::next_in(y, dims[k]) : cur) {
        if (weak_next && (y->user_answer || !(y->elim_bits & bit))) continue;
        y->user_answer = 1;
        bool const ok = x_extend(bit, length + 1, start, y, !weak_next, max_len, first_dim);
        y->user_answer = 0;
        if (ok) {
          pattern_note::cell(y);
          return true;
        }
      }
    }
    return false;
  }

  bool x_chains(int max_len) {
    int const n_dims = p.adjacency_type == ADJ_X ? 5 : 3;
    for (uint32_t bit = 2; bit <= (1u << 9); bit <<= 1)
      for (int dim = 0; dim < n_dims; ++dim)
        for (int h = 0; h < (dim < 3 ? 9 : 1); ++h) {
          Ring const first = p.ptrs_first_in_dims[dim][h];
          if (count(first, dim, bit) != 2) continue;
          Ring ends[2];
          int n = 0;
          Ring x = first;
          do {
            if (x->elim_bits & bit) ends[n++] = x;
            x = Puzzle::next_in(x, dim);
          } while (x != first);
          for (int o = 0; o < 2; ++o) {
            ends[0]->user_answer = ends[1]->user_answer = 1;
            bool const ok = x_extend(bit, 2, ends[o], ends[1 - o], true, max_len, dim);
            ends[0]->user_answer = ends[1]->user_answer = 0;
            if (ok) {
              pattern_note::cell(ends[1 - o]);
              pattern_note::cell(ends[o]);
              return true;
            }
          }
        }
    return false;
  }

  bool w_wing() {
    int const n_dims = p.adjacency_type == ADJ_X ? 5 : 3;
    for (int i = 0; i < 81; ++i)
      for (int j = i + 1; j < 81; ++j) {
        Ring const p1 = &p.cells[i], p2 = &p.cells[j];
        if (n_candidates(p1->elim_bits) != 2 || p2->elim_bits != p1->elim_bits || sees(p1, p2)) continue;
        uint32_t const low = p1->elim_bits & (0u - p1->elim_bits);
        for (uint32_t const w : {low, p1->elim_bits & ~low})
          for (int dim = 0; dim < n_dims; ++dim)
            for (int h = 0; h < (dim < 3 ? 9 : 1); ++h) {
              Ring s[2] = {};
              int found = 0;
              Ring const first = p.ptrs_first_in_dims[dim][h];
              Ring x = first;
              do {
                if (x != p1 && x != p2 && (x->elim_bits & w) && found++ < 2) s[found - 1] = x;
                x = Puzzle::next_in(x, dim);
              } while (x != first);
              if (found != 2) continue;
              auto only = [&](Ring a, Ring b) { return sees(s[0], a) && sees(s[1], b) && !sees(s[0], b) && !sees(s[1], a); };
              if (!only(p1, p2) && !only(p2, p1)) continue;
              uint32_t const z = p1->elim_bits & ~w;
              bool changed = false;
              for (auto& c : p.cells)
                if (&c != p1 && &c != p2 && (c.elim_bits & z) && sees(&c, p1) && sees(&c, p2)) {
                  c.elim_bits &= ~z;
                  changed = true;
                }
              if (changed) {
                for (Ring c : {p1, p2, s[0], s[1]}) pattern_note::cell(c);
                pattern_note::digits(w);
                pattern_note::house(dim, h);
                return true;
              }
            }
      }
    return false;
  }
};

// A board of the kind whose candidates are random, two per cell in about half the cells.
void random_board(Puzzle& p, random_puzzles::Kind kind, std::mt19937& rng) {
  candidate_boards::open_board(p, kind == random_puzzles::Kind::X ? ADJ_X : ADJ_NONE);
  if (kind == random_puzzles::Kind::Jigsaw) {
    p.setup(random_puzzles::jigsaw_layout().matrix());
    p.define_are_neighbors_array();
  }
  for (auto& cell : p.cells) {
    int const roll = static_cast<int>(rng() % 10);
    int const n = roll < 5 ? 2 : roll < 7 ? 1 : roll < 9 ? 3 : 4;
    uint32_t mask = 0;
    while (n_candidates(mask) < n) mask |= 2u << (rng() % 9);
    cell.elim_bits = mask;
  }
}

struct Outcome {
  bool found;
  uint32_t masks[81];
  int32_t slots[3];
  pattern_note::Pattern pattern;
  bool marks_clear;
};

Outcome run(Puzzle& p, auto&& search) {
  Outcome out{};
  {
    pattern_note::Scope const notes(out.pattern);
    out.found = search();
  }
  for (int i = 0; i < 81; ++i) out.masks[i] = p.cells[i].elim_bits;
  out.slots[0] = p.method_counts[kSlotThreeLinkSameLine];
  out.slots[1] = p.method_counts[kSlotThreeLinkCrossLines];
  out.slots[2] = p.method_counts[kSlotThreeLinkOtherHouse];
  out.marks_clear = candidate_boards::all_marks_clear(p);
  return out;
}

void expect_same(Outcome const& got, Outcome const& want, char const* what, int board) {
  SCOPED_TRACE(testing::Message() << what << " on board " << board);
  ASSERT_EQ(got.found, want.found);
  EXPECT_EQ(std::memcmp(got.masks, want.masks, sizeof got.masks), 0);
  EXPECT_EQ(std::memcmp(got.slots, want.slots, sizeof got.slots), 0);
  ASSERT_EQ(got.pattern.n_cells, want.pattern.n_cells);
  for (int i = 0; i < got.pattern.n_cells; ++i) EXPECT_EQ(got.pattern.cells[i], want.pattern.cells[i]);
  EXPECT_EQ(got.pattern.digits, want.pattern.digits);
  ASSERT_EQ(got.pattern.n_houses, want.pattern.n_houses);
  if (got.pattern.n_houses) {
    EXPECT_EQ(got.pattern.houses[0], want.pattern.houses[0]);
  }
  EXPECT_TRUE(got.marks_clear);
}

TEST(ChainSearchReference, SameFirstPatternOnRandomCandidateBoards) {
  struct Case {
    char const* name;
    bool (*fast)(Puzzle&);
    bool (*plain)(Reference&);
  };
  Case const cases[] = {
      {"XY-chains", [](Puzzle& p) { return p.simplify(XY_CHAINS); }, [](Reference& r) { return r.xy_pass(); }},
      {"short X-chains", [](Puzzle& p) { return p.simplify_x_chain_vexor(4); },
       [](Reference& r) { return r.x_chains(4); }},
      {"X-chains", [](Puzzle& p) { return p.simplify_x_chain_vexor(-1); }, [](Reference& r) { return r.x_chains(10); }},
      {"W-wing", [](Puzzle& p) { return p.simplify_w_wing(); }, [](Reference& r) { return r.w_wing(); }},
  };
  std::mt19937 rng(20261207);
  int found[4] = {};
  int missed[4] = {};
  // Each board is worked until no search finds anything, so later calls meet thinned
  // boards where the searches run long and fail.
  for (auto kind : {random_puzzles::Kind::Regular, random_puzzles::Kind::X, random_puzzles::Kind::Jigsaw})
    for (int board = 0; board < 12; ++board) {
      Puzzle fast;
      random_board(fast, kind, rng);
      for (bool progress = true; progress;) {
        progress = false;
        for (int c = 0; c < 4; ++c) {
          Puzzle plain(fast);
          Reference ref{plain};
          Outcome const want = run(plain, [&] { return cases[c].plain(ref); });
          Outcome const got = run(fast, [&] { return cases[c].fast(fast); });
          expect_same(got, want, cases[c].name, board);
          if (testing::Test::HasFatalFailure()) return;
          ++(got.found ? found : missed)[c];
          progress |= got.found;
        }
      }
    }
  // Each search must both find and miss, or the comparison proves little.
  for (int c = 0; c < 4; ++c) {
    std::printf("%s: %d found, %d missed\n", cases[c].name, found[c], missed[c]);
    EXPECT_GT(found[c], 20) << cases[c].name;
    EXPECT_GT(missed[c], 20) << cases[c].name;
  }
}

TEST(ChainGeometry, NeighboursAndWalkOrderMatchTheRings) {
  for (auto kind : {random_puzzles::Kind::Regular, random_puzzles::Kind::X, random_puzzles::Kind::Jigsaw}) {
    std::mt19937 rng(7);
    Puzzle p;
    random_board(p, kind, rng);
    ChainGeometry const& g = ChainGeometry::of(p);
    CellSet every;
    for (int i = 0; i < 81; ++i) every.add(i);
    for (int i = 0; i < 81; ++i) {
      for (int j = 0; j < 81; ++j)
        EXPECT_EQ(g.peers[i].has(j), i != j && p.are_neighbors(&p.cells[i], &p.cells[j])) << i << "," << j;
      // The walk meets every neighbour once, in the order of the rings.
      std::vector<int> rings, walked;
      int dims[5];
      for (int k = 0, n = p.houses_of(&p.cells[i], dims); k < n; ++k)
        for (Ring y = Puzzle::next_in(&p.cells[i], dims[k]); y != &p.cells[i]; y = Puzzle::next_in(y, dims[k]))
          if (std::find(rings.begin(), rings.end(), y->offset()) == rings.end()) rings.push_back(y->offset());
      g.walk_until(p, i, every, [&](int y) {
        walked.push_back(y);
        return false;
      });
      EXPECT_EQ(walked, rings) << "cell " << i;
    }
  }
}

}  // namespace
