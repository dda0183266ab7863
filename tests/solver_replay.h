// Replay of the solver over seeded random positions against recorded fingerprints.
// Each position is a sparse random board; every rung below is solved from its clues and
// the exact candidates of all 81 cells plus the full method counts are folded into
// one 64-bit fingerprint per rung. The fingerprints were recorded from the solver
// before its searches were reworked for speed, so any change in which elimination
// comes first (search order, first-success rules) shows up as a mismatch.
//
// To re-record after an intended change in behaviour, run the test with
// NONET_RECORD_SOLVER_REPLAY=1: it then writes the data file instead of comparing.
#pragma once

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "solver_fixtures.h"

namespace solver_replay {

// The rungs replayed, in the order their fingerprints are stored.
inline std::vector<METHOD_TYPE> replay_rungs() {
  return {X_WING,   SWORDFISH, SHORT_X_CHAINS, XY_XYZ_WINGS, W_WING,      JELLYFISH,
          X_CHAINS, XY_CHAINS, ALMOST_LOCKED_SETS, FRANKEN_FISH, FINNED_FISH, FORCING_NET};
}

// FNV-1a over 32-bit words.
inline void fold(uint64_t& h, uint32_t v) {
  for (int b = 0; b < 4; ++b) {
    h ^= (v >> (8 * b)) & 0xFFu;
    h *= 1099511628211ull;
  }
}

inline uint64_t fingerprint(Puzzle const& p) {
  uint64_t h = 14695981039346656037ull;
  for (auto const& cell : p.cells) fold(h, cell.elim_bits);
  for (int i = 0; i < N_METHOD_COUNTS; ++i) fold(h, static_cast<uint32_t>(p.method_counts[i]));
  return h;
}

enum BoardKind { REGULAR = 0, X_BOARD = 1, JIGSAW = 2 };

struct Position {
  BoardKind kind;
  uint64_t seed;
};

struct Record {
  Position pos;
  std::vector<uint64_t> prints;
};

// One line per position: kind, seed, then the fingerprints (hex). The long sweep
// stores them folded into one (`folded`), which keeps its data file small.
inline std::string record_line(Record const& r, bool folded = false) {
  std::vector<uint64_t> prints = r.prints;
  if (folded) {
    uint64_t h = 14695981039346656037ull;
    for (uint64_t p : r.prints) {
      fold(h, static_cast<uint32_t>(p));
      fold(h, static_cast<uint32_t>(p >> 32));
    }
    prints.assign(1, h);
  }
  std::ostringstream out;
  out << static_cast<int>(r.pos.kind) << ' ' << r.pos.seed;
  char buf[20];
  for (uint64_t h : prints) {
    std::snprintf(buf, sizeof buf, " %016" PRIx64, h);
    out << buf;
  }
  return out.str();
}

// A position: a seeded random solution that keeps only 22 to 35 of its cells as
// clues (chosen at random, uniqueness not required). Such boards stall the easy
// techniques, so every rung gets to run its own search many times.
inline bool make_position(Puzzle& p, Position const& pos) {
  sudoku_seed_random(pos.seed);
  switch (pos.kind) {
    case REGULAR: solver_fixtures::setup_board(p, test_boards::square_map(), ADJ_NONE); break;
    case X_BOARD: solver_fixtures::setup_board(p, test_boards::square_map(), ADJ_X); break;
    case JIGSAW: solver_fixtures::setup_board(p, solver_fixtures::shifted_map(), ADJ_NONE, MAP_IRREGULAR); break;
  }
  bool const ok = p.construct_solution();
  if (ok) {
    int const n_clues = 22 + static_cast<int>(pos.seed % 14);
    int order[81];
    for (int i = 0; i < 81; ++i) order[i] = i;
    int const* const kept = random_combination(n_clues, 81, order);
    for (auto& cell : p.cells) cell.mask = 0;
    for (int i = 0; i < n_clues; ++i) p.cells[kept[i]].mask = 1;
    p.apply_mask();
  }
  sudoku_seed_random(0);
  return ok;
}

// Builds the position and solves it at every replay rung.
inline bool replay(Position const& pos, Record& out) {
  Puzzle p;
  out.pos = pos;
  out.prints.clear();
  if (!make_position(p, pos)) return false;
  for (METHOD_TYPE rung : replay_rungs()) {
    p.apply_mask();
    p.solve(rung);
    out.prints.push_back(fingerprint(p));
  }
  return true;
}

// The techniques replayed step by step on random candidate boards.
inline std::vector<METHOD_TYPE> step_techniques() {
  return {X_WING,   SWORDFISH, JELLYFISH,    FRANKEN_FISH, FINNED_FISH, SHORT_X_CHAINS,
          X_CHAINS, XY_CHAINS, XY_XYZ_WINGS, W_WING,       ALMOST_LOCKED_SETS};
}

// A random candidate board: every cell holds each digit with a seed-chosen
// probability (at least two digits per cell). Not a consistent position, which is
// the point: the searches find many patterns, so their order is what is compared.
inline void make_candidate_board(Puzzle& p, Position const& pos) {
  sudoku_seed_random(pos.seed);
  switch (pos.kind) {
    case REGULAR: solver_fixtures::setup_board(p, test_boards::square_map(), ADJ_NONE); break;
    case X_BOARD: solver_fixtures::setup_board(p, test_boards::square_map(), ADJ_X); break;
    case JIGSAW: solver_fixtures::setup_board(p, solver_fixtures::shifted_map(), ADJ_NONE, MAP_IRREGULAR); break;
  }
  uint32_t const percent = 25 + static_cast<uint32_t>(pos.seed % 5) * 8;
  for (auto& cell : p.cells) {
    uint32_t bits = 0;
    for (int d = 1; d <= 9; ++d)
      if (arc4random_uniform(100) < percent) bits |= 1u << d;
    while (n_candidates(bits) < 2) bits |= 1u << (1 + arc4random_uniform(9));
    cell.elim_bits = bits;
    cell.mask = 0;
    cell.solution = 0;
    cell.user_answer = 0;
  }
  sudoku_seed_random(0);
}

// Every step technique from the fresh board: up to eight successive finds, each
// folded (with its result) into the technique's fingerprint.
inline void replay_steps(Position const& pos, Record& out) {
  out.pos = pos;
  out.prints.clear();
  for (METHOD_TYPE m : step_techniques()) {
    Puzzle p;
    make_candidate_board(p, pos);
    uint64_t h = 14695981039346656037ull;
    for (int step = 0; step < 8; ++step) {
      bool const found = p.simplify(m);
      fold(h, found ? 1u : 0u);
      fold(h, static_cast<uint32_t>(fingerprint(p)));
      fold(h, static_cast<uint32_t>(fingerprint(p) >> 32));
      if (!found) break;
    }
    out.prints.push_back(h);
  }
}

// The positions: per board kind, `count` consecutive seeds from a kind-specific base.
inline std::vector<Position> positions(int regular, int x_boards, int jigsaws, uint64_t base) {
  std::vector<Position> out;
  for (int i = 0; i < regular; ++i) out.push_back({REGULAR, base + 100000 + static_cast<uint64_t>(i)});
  for (int i = 0; i < x_boards; ++i) out.push_back({X_BOARD, base + 200000 + static_cast<uint64_t>(i)});
  for (int i = 0; i < jigsaws; ++i) out.push_back({JIGSAW, base + 300000 + static_cast<uint64_t>(i)});
  return out;
}

inline std::string data_path(char const* name) {
  return std::string(NONET_SOURCE_DIR) + "/tests/data/solver_replay/" + name;
}

// Compares every position with the recorded file (or records it when asked).
// With `steps`, the positions are random candidate boards replayed technique by
// technique; otherwise sparse boards solved at every rung.
inline void check_against_file(std::vector<Position> const& list, char const* file_name, bool steps = false,
                               bool folded = false) {
  std::vector<std::string> lines;
  for (Position const& pos : list) {
    Record r;
    if (steps)
      replay_steps(pos, r);
    else
      ASSERT_TRUE(replay(pos, r)) << "no puzzle for seed " << pos.seed;
    lines.push_back(record_line(r, folded));
  }
  std::string const path = data_path(file_name);
  char const* record = std::getenv("NONET_RECORD_SOLVER_REPLAY");
  if (record && *record && *record != '0') {
    std::ofstream out(path);
    for (auto const& l : lines) out << l << '\n';
    ASSERT_TRUE(out.good()) << "cannot write " << path;
    GTEST_SKIP() << "recorded " << lines.size() << " positions to " << path;
  }
  std::ifstream in(path);
  ASSERT_TRUE(in.good()) << "missing " << path;
  std::vector<std::string> expected;
  for (std::string l; std::getline(in, l);)
    if (!l.empty()) expected.push_back(l);
  ASSERT_EQ(expected.size(), lines.size());
  int mismatches = 0;
  for (size_t i = 0; i < lines.size(); ++i)
    if (lines[i] != expected[i] && ++mismatches <= 10)
      ADD_FAILURE() << "position " << i << "\n  got      " << lines[i] << "\n  recorded " << expected[i];
  EXPECT_EQ(mismatches, 0);
}

}  // namespace solver_replay
