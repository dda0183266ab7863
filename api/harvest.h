// Batch generation for puzzle pools: one random solution whose clues are removed in
// a seeded random order, every intermediate puzzle rated (harvest), and repeated
// passes until a wanted bucket is met (targeted generation).
#pragma once

#include <atomic>

#include "util/export.h"

struct GenParams {
  int map_type;              // 1 = irregular
  int adjacency_type;        // 1 = both main diagonals are units
  int target_bucket;         // bucket 0..9 wanted by generate_targeted
  int node_budget;           // completion-count budget of every rating during removal (< 1: none)
  int max_attempts;          // generate_targeted runs attempts 0..max_attempts; negative: none
  int solution_deadline_ms;  // > 0: deadline of each solution build
  int time_limit_ms;         // > 0: the whole call stops after this many milliseconds
  int seed;                  // removal-order seed; 0 = the default of each generator
  // (extension) When set and true, the call stops before its next rating or attempt and
  // returns what it found so far; another thread may set it (Ctrl-C in a host).
  std::atomic<bool> const* cancel = nullptr;

  bool cancelled() const { return cancel && cancel->load(std::memory_order_relaxed); }
};

struct HarvestResult {
  bool ok;  // a solution on the requested map kind was built and the removal pass ran
  int solution[81];
  int groupmap[81];
  int colormap[9];
  bool found[10];
  int clues[10][81];
  int n_clues[10];
  int n_classified;  // ratings made (81 for a pass without a time limit)
  int elapsed_ms;
};

struct GenResult {
  bool ok;  // a puzzle of exactly target_bucket
  int clues[81];
  int solution[81];
  int groupmap[81];
  int n_clues;
  int bucket;   // -1 when no puzzle was found at all
  int attempt;  // the last attempt started
  int n_classified;  // ratings made over all attempts
  int elapsed_ms;
};

constexpr unsigned kHarvestDefaultSeed = 0x85EBCA6Bu;
constexpr unsigned kTargetedDefaultSeed = 0x9E3779B9u;

NONET_EXPORT HarvestResult generate_harvest(GenParams const& p);
NONET_EXPORT GenResult generate_targeted(GenParams const& p);

// (extension, for tests) The removal order: 0..80 shuffled by Fisher-Yates with the 32-bit xorshift state x,
// which carries on from call to call.
NONET_EXPORT void shuffle_removal_order(unsigned& x, int order[81]);

// The calling thread's record of its last sudoku_generate_harvest (all zero before).
NONET_EXPORT HarvestResult& harvest_record();
