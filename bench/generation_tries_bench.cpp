// Cost of the generator's tries at the hardest difficulties: one iteration makes
// a puzzle at quality 0 (a fixed, small number of tries, each a series of solver
// runs) from a fixed seed sequence, so the time is dominated by the solver.
//   nonet_bench --benchmark_filter=GenerationTries
#include <benchmark/benchmark.h>

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include "groupmap/group_map.h"
#include "model/puzzle.h"
#include "util/random.h"

namespace {

void BM_GenerationTries(benchmark::State& state) {
  auto const difficulty = static_cast<UI_DIFFICULTY>(state.range(0));
  bool const x = state.range(1) != 0;
  uint64_t seed = 100;
  // The generator prints one diagnostic line per puzzle: keep the report readable.
  std::fflush(stderr);
  int const saved = dup(2);
  int const devnull = open("/dev/null", O_WRONLY);
  if (devnull >= 0) dup2(devnull, 2);
  for (auto _ : state) {
    state.PauseTiming();
    sudoku_seed_random(seed++);
    Puzzle p;
    GroupMap gm(MAP_REGULAR);
    p.set_types(MAP_REGULAR, x ? ADJ_X : ADJ_NONE);
    p.set_difficulty(difficulty);
    p.setup(gm.groupMap);
    p.define_are_neighbors_array();
    p.setup_ptrs_first_in_dims();
    p.construct_solution();
    state.ResumeTiming();
    p.define_are_neighbors_array();
    p.set_n_clues(UI_QUALITY_2);
    p.set_symmetry();
    if (p.symmetry != 2) p.build_sym_pool();
    p.define_overlap_maps();
    benchmark::DoNotOptimize(p.make_puzzle(UI_QUALITY_0));
  }
  std::fflush(stderr);
  if (saved >= 0) dup2(saved, 2), close(saved);
  if (devnull >= 0) close(devnull);
  sudoku_seed_random(0);
}

}  // namespace

BENCHMARK(BM_GenerationTries)
    ->ArgNames({"difficulty", "x"})
    ->Args({8, 0})
    ->Args({9, 0})
    ->Args({8, 1})
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);
