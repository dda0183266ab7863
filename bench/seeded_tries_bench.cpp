// Cost of a fixed number of generator tries on a seeded board, per level and kind of
// board: the same work as the generation replay test (a seeded solution, then tries of
// "make a clue set solvable, thin it"), so the instruction count under callgrind is
// deterministic and comparable between builds, and each run prints the fingerprint of
// what the tries produced (it must not change when only the cost does).
//   nonet_bench --benchmark_filter=SeededTries
//   valgrind --tool=callgrind build/bench/nonet_bench --benchmark_filter='SeededTries/level:9/map:0/x:1'
// Jigsaw boards read the shipped maps from $SUDOKU_GROUP_MAPS_DIR (default: the source tree's data/groupmaps).
#include <benchmark/benchmark.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "groupmap/group_map.h"
#include "groupmap/zipped_file.h"
#include "model/puzzle.h"
#include "solver/suffix_cache.h"
#include "util/random.h"

namespace {

void fold(uint64_t& h, uint32_t v) {
  for (int b = 0; b < 4; ++b) {
    h ^= (v >> (8 * b)) & 0xFFu;
    h *= 1099511628211ull;
  }
}

// Runs `tries` tries on the board seeded by `seed` and returns their fingerprint.
uint64_t seeded_tries(int level, MAP_TYPE map, bool x, uint64_t seed, int tries) {
  sudoku_seed_random(seed);
  Puzzle p;
  GroupMap groups(map);
  p.set_types(map, x ? ADJ_X : ADJ_NONE);
  p.set_difficulty(static_cast<UI_DIFFICULTY>(level));
  p.setup(groups.groupMap);
  p.define_are_neighbors_array();
  p.setup_ptrs_first_in_dims();
  p.construct_solution();
  p.set_n_clues(UI_QUALITY_2);
  p.set_symmetry();
  if (p.symmetry != 2) p.build_sym_pool();
  p.define_overlap_maps();
  uint64_t h = 14695981039346656037ull;
  for (int t = 0; t < tries; ++t) {
    p.make_solvable_puzzle();
    fold(h, static_cast<uint32_t>(p.remove_clues_returning_rating(std::time(nullptr) + 600, 1)));
    for (auto const& cell : p.cells) {
      fold(h, cell.mask & 1u);
      fold(h, cell.elim_bits);
    }
    for (int i = 0; i < N_METHOD_COUNTS; ++i) fold(h, static_cast<uint32_t>(p.method_counts[i]));
  }
  sudoku_seed_random(0);
  return h;
}

void BM_SeededTries(benchmark::State& state) {
  int const level = static_cast<int>(state.range(0));
  auto const map = static_cast<MAP_TYPE>(state.range(1));
  bool const x = state.range(2) != 0;
  int const tries = 4;
  if (map != MAP_REGULAR) {
    char const* env = std::getenv("SUDOKU_GROUP_MAPS_DIR");
    set_group_maps_dir(env && *env ? env : NONET_SOURCE_DIR "/data/groupmaps");
  }
  uint64_t seed = 7000;
  uint64_t all = 0;
  uint64_t const hits_before = suffix_cache::hits();
  for (auto _ : state) all ^= seeded_tries(level, map, x, seed++, tries);
  std::fprintf(stderr, "SeededTries level %d map %d x %d: fingerprint %016" PRIx64 "\n", level,
               static_cast<int>(map), x ? 1 : 0, all);
  state.counters["cached_solves"] = static_cast<double>(suffix_cache::hits() - hits_before);
  state.counters["tries"] = benchmark::Counter(static_cast<double>(tries) * static_cast<double>(state.iterations()),
                                               benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

}  // namespace

BENCHMARK(BM_SeededTries)
    ->ArgNames({"level", "map", "x"})
    ->ArgsProduct({{8, 9}, {0, 1}, {0, 1}})
    ->Iterations(3)
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);
