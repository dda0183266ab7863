// The parts of `nonet solve` around the count, per puzzle, on the benchmark sets:
// reading a file of puzzle lines (SolveRead), and the count through the host call
// sudoku_count_solutions (SolveCount: the groups check, table lookup and givens
// check the tool pays, plus the count itself). Items per second = puzzles per second.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "api/engine_api.h"
#include "bench/puzzle_sets.h"
#include "cli/puzzle_input.h"

namespace {

// The set repeated to about 20000 lines, in a scratch file.
std::string set_file(std::string const& name) {
  std::string const path = "/tmp/nonet_solve_io_bench_" + std::to_string(::getpid()) + "_" + name + ".txt";
  auto const& puzzles = bench_sets::load(name);
  std::ofstream out(path);
  for (std::size_t k = 0; k < 20000 / puzzles.size() + 1; ++k)
    for (auto const& p : puzzles) {
      std::string line(81, '.');
      for (int c = 0; c < 81; ++c)
        if (p[c]) line[c] = static_cast<char>('0' + p[c]);
      out << line << '\n';
    }
  return path;
}

void read_set(benchmark::State& state, std::string const& name) {
  std::string const path = set_file(name);
  long long puzzles = 0;
  for (auto _ : state) {
    PuzzleStream in({path});
    ReadPuzzle p;
    std::string error;
    while (in.next(p, error) == PuzzleStream::kPuzzle) ++puzzles;
    benchmark::DoNotOptimize(p.clues);
  }
  state.SetItemsProcessed(puzzles);
  ::unlink(path.c_str());
}

void count_set(benchmark::State& state, std::string const& name) {
  auto const& puzzles = bench_sets::load(name);
  std::size_t i = 0;
  long long solutions = 0;
  for (auto _ : state) {
    int solution[81];
    solutions += sudoku_count_solutions(puzzles[i].data(), nullptr, 0, 2, solution);
    benchmark::DoNotOptimize(solution);
    if (++i == puzzles.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
  benchmark::DoNotOptimize(solutions);
}

void register_all() {
  for (char const* name : {"17clue", "hard", "minimal", "hardest"}) {
    benchmark::RegisterBenchmark((std::string("SolveRead/") + name).c_str(),
                                 [name](benchmark::State& s) { read_set(s, name); });
    benchmark::RegisterBenchmark((std::string("SolveCount/") + name).c_str(),
                                 [name](benchmark::State& s) { count_set(s, name); });
  }
}

int const registered = (register_all(), 0);

}  // namespace
