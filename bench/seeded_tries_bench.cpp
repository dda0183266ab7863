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

#include "solver/suffix_cache.h"
#include "testing/seeded_tries.h"
#include "util/zipped_file.h"

namespace {

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
  for (auto _ : state) all ^= seeded_tries::fingerprint(level, map, x, seed++, tries);
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
