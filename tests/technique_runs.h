// Drives the wing, chain, almost-locked-set and forcing-net techniques over a
// board and checks every call: the result says whether candidates changed, no
// true candidate is ever removed, and no chain mark is left behind.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>

#include "model/puzzle.h"

namespace technique_runs {

// In ladder order.
enum Technique { kShortXChains, kWings, kWWing, kXChains, kXYChains, kAls, kForcingNet, kTechniqueCount };

inline char const* name(Technique t) {
  switch (t) {
    case kWings: return "XY/XYZ wings";
    case kWWing: return "W-wing";
    case kShortXChains: return "short X-chains";
    case kXChains: return "X-chains";
    case kXYChains: return "XY-chains";
    case kAls: return "almost locked sets";
    case kForcingNet: return "forcing net";
    default: return "?";
  }
}

// The XY-chain pass of the ladder: every pair of bivalue cells that see each
// other and share a digit, both ends marked while their chains are tried.
inline bool xy_chains_once(Puzzle& p) {
  CHAIN_NODE nodes[81];
  std::memset(nodes, 0, sizeof nodes);
  p.find_possible_nodes(nodes);
  auto usable = [&](int i) { return n_candidates(p.cells[i].elim_bits) == 2; };
  for (int i = 0; i < 80; ++i) {
    if (!usable(i)) continue;
    p.cells[i].user_answer = 1;
    for (int j = i + 1; j < 81; ++j) {
      if (!usable(j) || !p.are_neighbors(&p.cells[i], &p.cells[j])) continue;
      if (!(p.cells[i].elim_bits & p.cells[j].elim_bits)) continue;
      p.cells[j].user_answer = 1;
      if (p.do_xy_chain(nodes[i], nodes[j]) || p.do_xy_chain(nodes[j], nodes[i])) {
        p.cells[i].user_answer = 0;
        p.cells[j].user_answer = 0;
        return true;
      }
      p.cells[j].user_answer = 0;
    }
    p.cells[i].user_answer = 0;
  }
  return false;
}

inline bool apply(Puzzle& p, Technique t) {
  switch (t) {
    case kWings: return p.simplify_XY_XYZ_wing();
    case kWWing: return p.simplify_w_wing();
    case kShortXChains: return p.simplify_x_chain_vexor(4);
    case kXChains: return p.simplify_x_chain_vexor(-1);
    case kXYChains: return xy_chains_once(p);
    case kAls: return p.simplify_almost_locked_sets();
    case kForcingNet: return p.simplify_cell_forcing_net();
    default: return false;
  }
}

inline void exhaust_elimination(Puzzle& p) {
  while (p.one_round_of_elimination()) {
  }
}

// One hidden single in row-major cell order (the ladder's rung 1).
inline bool hidden_single_once(Puzzle& p) {
  for (auto& cell : p.cells)
    if (n_candidates(cell.elim_bits) != 1 && p.simplify_cell_using_digits(&cell)) return true;
  return false;
}

struct Tally {
  std::array<int, kTechniqueCount> calls{};
  std::array<int, kTechniqueCount> successes{};
  std::array<int, N_METHOD_COUNTS> slot_growth{};  // statistics added by the techniques
  int solved = 0;
};

inline bool same_candidates(PUZZLE_CELL const (&a)[81], PUZZLE_CELL const (&b)[81]) {
  for (int i = 0; i < 81; ++i)
    if (a[i].elim_bits != b[i].elim_bits) return false;
  return true;
}

inline bool marks_clear(Puzzle const& p) {
  for (auto const& cell : p.cells)
    if (cell.user_answer != 0) return false;
  return true;
}

// Applies t once with every check; returns its result.
inline bool checked_apply(Puzzle& p, Technique t, Tally& tally, std::string const& context) {
  PUZZLE_CELL before[81];
  std::memcpy(before, p.cells, sizeof before);
  auto chain_slots = [&] { return p.method_counts[kSlotThreeLinkSameLine] + p.method_counts[kSlotThreeLinkCrossLines] + p.method_counts[kSlotThreeLinkOtherHouse]; };
  auto als_slots = [&] { return p.method_counts[kSlotAlsBivalueRestricted] + p.method_counts[kSlotAlsThreeDigitPair] + p.method_counts[kSlotAlsPairOf2] + p.method_counts[kSlotAlsPairOf3]; };
  int const chain_slots_before = chain_slots();
  int const als_slots_before = als_slots();
  int32_t counts_before[N_METHOD_COUNTS];
  std::memcpy(counts_before, p.method_counts, sizeof counts_before);
  bool const ok = apply(p, t);
  ++tally.calls[t];
  int const chain_slot_growth = chain_slots() - chain_slots_before;
  if (t == kShortXChains) {
    EXPECT_EQ(chain_slot_growth, ok ? 1 : 0) << "a short chain is always a 3-link chain; " << context;
  } else if (t == kXChains) {
    EXPECT_LE(chain_slot_growth, ok ? 1 : 0) << context;
  } else {
    EXPECT_EQ(chain_slot_growth, 0) << context;
  }
  if (t == kAls) {
    EXPECT_EQ(als_slots() - als_slots_before, ok ? 1 : 0) << "one ALS slot per success; " << context;
  }
  if (t == kForcingNet) {
    EXPECT_EQ(std::memcmp(counts_before, p.method_counts, sizeof counts_before), 0)
        << "the forcing net changed the statistics; " << context;
  }
  if (ok) ++tally.successes[t];
  for (int k = 0; k < N_METHOD_COUNTS; ++k) tally.slot_growth[k] += p.method_counts[k] - counts_before[k];
  EXPECT_EQ(ok, !same_candidates(before, p.cells)) << name(t) << " result does not match its changes; " << context;
  EXPECT_TRUE(p.check_elim_bits_against_soln()) << name(t) << " removed a true candidate; " << context;
  EXPECT_TRUE(marks_clear(p)) << name(t) << " left a chain mark; " << context;
  for (int i = 0; i < 81; ++i)
    EXPECT_EQ(p.cells[i].elim_bits & ~before[i].elim_bits, 0u) << name(t) << " added a candidate; " << context;
  return ok;
}

// Each technique alone from the given state, with simple elimination between calls.
inline void run_each_alone(Puzzle& p, Tally& tally, std::string const& context) {
  PUZZLE_CELL start[81];
  std::memcpy(start, p.cells, sizeof start);
  for (int t = 0; t < kTechniqueCount; ++t) {
    for (int round = 0; round < 40 && !::testing::Test::HasFailure(); ++round) {
      if (!checked_apply(p, static_cast<Technique>(t), tally, context)) break;
      exhaust_elimination(p);
      EXPECT_TRUE(p.check_elim_bits_against_soln()) << "after elimination; " << context;
    }
    std::memcpy(p.cells, start, sizeof start);
  }
}

// A small ladder: elimination and hidden singles to exhaustion, then the
// techniques in order, restarting from the bottom after every success.
inline void run_ladder(Puzzle& p, Tally& tally, std::string const& context) {
  for (int step = 0; step < 2000 && !::testing::Test::HasFailure(); ++step) {
    if (p.one_round_of_elimination()) continue;
    if (hidden_single_once(p)) {
      EXPECT_TRUE(p.check_elim_bits_against_soln()) << "hidden single; " << context;
      continue;
    }
    bool progressed = false;
    for (int t = 0; t < kTechniqueCount && !progressed; ++t)
      progressed = checked_apply(p, static_cast<Technique>(t), tally, context);
    if (!progressed) break;
  }
  if (p.puzzle_is_solved()) {
    ++tally.solved;
    for (auto const& cell : p.cells) EXPECT_EQ(cell.elim_bits, static_cast<uint32_t>(cell.solution)) << context;
  }
}

}  // namespace technique_runs
