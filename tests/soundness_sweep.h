// Generates seeded random puzzles of one kind and runs every technique over
// them (alone and as a ladder), accumulating a tally of calls and successes.
#pragma once

#include <string>

#include "testing/random_puzzles.h"
#include "tests/technique_runs.h"
#include "util/random.h"

namespace soundness_sweep {

inline char const* kind_name(random_puzzles::Kind kind) {
  switch (kind) {
    case random_puzzles::Kind::Regular: return "regular";
    case random_puzzles::Kind::X: return "X";
    default: return "jigsaw";
  }
}

inline void run(random_puzzles::Kind kind, int n_puzzles, uint64_t seed, technique_runs::Tally& tally) {
  for (int k = 0; k < n_puzzles && !::testing::Test::HasFailure(); ++k) {
    sudoku_seed_random(seed + static_cast<uint64_t>(k));
    random_puzzles::Generated const g = random_puzzles::generate(kind);
    sudoku_seed_random(0);
    std::string const context = std::string(kind_name(kind)) + " puzzle " + g.clues + " (seed " +
                                std::to_string(seed + static_cast<uint64_t>(k)) + ")";
    Puzzle p;
    random_puzzles::load(p, kind, g);
    technique_runs::exhaust_elimination(p);
    ASSERT_TRUE(p.check_elim_bits_against_soln()) << context;
    technique_runs::run_each_alone(p, tally, context);
    technique_runs::run_ladder(p, tally, context);
  }
}

inline std::string summary(technique_runs::Tally const& tally) {
  std::string s;
  for (int t = 0; t < technique_runs::kTechniqueCount; ++t)
    s += std::string(technique_runs::name(static_cast<technique_runs::Technique>(t))) + ": " +
         std::to_string(tally.successes[t]) + "/" + std::to_string(tally.calls[t]) + "  ";
  // Appended piece by piece: GCC 12 at -O3 warns falsely on literal + temporary string.
  s += "solved: ";
  s += std::to_string(tally.solved);
  s += "\nslots";
  for (int k : {13, 14, 20, 21, 22, 23, 42, 43, 44}) {
    s += ' ';
    s += std::to_string(k);
    s += ':';
    s += std::to_string(tally.slot_growth[k]);
  }
  return s;
}

}  // namespace soundness_sweep
