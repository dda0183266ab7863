// Generation time per difficulty, regular grid, without and with diagonals, with the
// tries on the calling thread and (GenerateThreads) on two threads. Each benchmark makes
// one puzzle per repetition from a fixed seed sequence and reports the median and the
// slowest repetition (CPU time is the calling thread's alone; read the real time):
//   nonet_bench --benchmark_filter=Generate --benchmark_repetitions=9
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "api/engine_api.h"

namespace {

void BM_Generate(benchmark::State& state) {
  int const difficulty = static_cast<int>(state.range(0));
  int const x = static_cast<int>(state.range(1));
  int const map = static_cast<int>(state.range(2));
  int const threads = static_cast<int>(state.range(3));
  static uint64_t seed = 1;
  SudokuPuzzle* h = sudoku_new();
  sudoku_set_generation_threads(h, threads);
  // The generator prints one diagnostic line per puzzle: keep the report readable.
  std::fflush(stderr);
  int const saved = dup(2);
  int const devnull = open("/dev/null", O_WRONLY);
  if (devnull >= 0) dup2(devnull, 2);
  for (auto _ : state) {
    sudoku_seed_random(seed++);
    if (sudoku_generate(h, map, x, difficulty, 2) != 1) state.SkipWithError("generation failed");
  }
  std::fflush(stderr);
  if (saved >= 0) dup2(saved, 2), close(saved);
  if (devnull >= 0) close(devnull);
  sudoku_seed_random(0);
  sudoku_free(h);
}

double slowest(std::vector<double> const& v) { return *std::max_element(v.begin(), v.end()); }

}  // namespace

BENCHMARK(BM_Generate)
    ->ArgsProduct({benchmark::CreateDenseRange(0, 9, 1), {0, 1}, {0}, {1}})
    ->ArgNames({"difficulty", "x", "jigsaw", "threads"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("max", slowest)
    ->ReportAggregatesOnly(true);

BENCHMARK(BM_Generate)
    ->Name("BM_GenerateThreads")
    ->ArgsProduct({benchmark::CreateDenseRange(6, 9, 1), {0, 1}, {0}, {2}})
    ->ArgNames({"difficulty", "x", "jigsaw", "threads"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->ComputeStatistics("max", slowest)
    ->ReportAggregatesOnly(true);
