// measure_generation: jigsaw puzzle generation per difficulty, without and with diagonals, through the
// C interface as a caller sees it: one sudoku_generate call per seed (no retries), its success, its
// time, and for every puzzle made a check that its clues have exactly one solution (the matrix
// engine's completion counter).
//
//   measure_generation [--maps DIR] [--levels FIRST-LAST] [--count N] [--seed S] [--x 0|1|both] [--map 0|1]
//                      [--threads N]
//
// --threads N runs each call's tries on N threads (sudoku_set_generation_threads).
//
// The generator's own diagnostics go to standard error; the table goes to standard output.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "percentile.h"

#include "api/engine_api.h"
#include "matrix_engine/matrix_engine.h"
#include "util/random.h"

namespace {

// 1 when the clues of the handle's puzzle have exactly one completion and it is the handle's solution.
int unique_solution(SudokuPuzzle* h, bool x) {
  int groups[9][9], solution[81], clues[81];
  for (int i = 0; i < 81; ++i) {
    int v[9];
    sudoku_get_cell(h, i, v);
    solution[i] = v[0];
    clues[i] = v[1] ? v[0] : 0;
    groups[i / 9][i % 9] = v[6];
  }
  matrix_engine::Ops const& ops = matrix_engine::compile(x, groups);
  matrix_engine::Vec cand, placed;
  cand.fill_all();
  for (int i = 0; i < 81; ++i)
    if (clues[i]) placed.set(matrix_engine::lit(i, clues[i]));
  int out[2][81] = {};
  long long budget = 50000000;
  if (matrix_engine::count_completions_collect(ops, cand, placed, 2, out, 0, budget) != 1) return 0;
  for (int i = 0; i < 81; ++i)
    if (out[0][i] != solution[i]) return 0;
  return 1;
}

uint64_t hash_clues(SudokuPuzzle* h, uint64_t hash) {
  for (int i = 0; i < 81; ++i) {
    int v[9];
    sudoku_get_cell(h, i, v);
    hash = (hash ^ static_cast<uint64_t>(v[1] ? v[0] : 0)) * 1099511628211ull;
  }
  return hash;
}

}  // namespace

int main(int argc, char** argv) {
  std::string maps = "data/groupmaps";
  int first = 0, last = 9, count = 10;
  uint64_t seed = 1;
  std::string x_option = "both";
  int map = 1;  // 1: jigsaw maps, 0: the boxes
  int threads = 1;
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string const opt = argv[i];
    if (opt == "--maps") maps = argv[i + 1];
    else if (opt == "--levels") std::sscanf(argv[i + 1], "%d-%d", &first, &last);
    else if (opt == "--count") count = std::atoi(argv[i + 1]);
    else if (opt == "--seed") seed = std::strtoull(argv[i + 1], nullptr, 10);
    else if (opt == "--x") x_option = argv[i + 1];
    else if (opt == "--map") map = std::atoi(argv[i + 1]) == 0 ? 0 : 1;
    else if (opt == "--threads") threads = std::atoi(argv[i + 1]);
    else {
      std::fprintf(stderr, "usage: measure_generation [--maps DIR] [--levels FIRST-LAST] [--count N] [--seed S] [--x 0|1|both] [--map 0|1] [--threads N]\n");
      return 2;
    }
  }
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  sudoku_set_group_maps_dir(maps.c_str());
  std::printf("%s, %d seeded sudoku_generate calls per level and rule set\n",
              map ? ("jigsaw maps of " + maps).c_str() : "boxes", count);
  std::printf("level x  made  unique  ms/call: median   mean    max   ms per puzzle made   puzzles' hash\n");
  SudokuPuzzle* h = sudoku_new();
  sudoku_set_generation_threads(h, threads);
  for (int level = first; level <= last; ++level)
    for (int x = 0; x <= 1; ++x) {
      if (x_option != "both" && std::atoi(x_option.c_str()) != x) continue;
      int made = 0, unique = 0;
      uint64_t hash = 1469598103934665603ull;  // FNV-1a over the clue grids made: equal runs give equal puzzles
      std::vector<double> ms;
      for (int k = 0; k < count; ++k) {
        sudoku_seed_random(seed + static_cast<uint64_t>(level * 100000 + x * 50000 + k));
        auto const t0 = std::chrono::steady_clock::now();
        int const ok = sudoku_generate(h, map, x, level, 2);
        ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
        sudoku_seed_random(0);
        if (ok == 1) ++made, unique += unique_solution(h, x == 1), hash = hash_clues(h, hash);
      }
      double total = 0;
      for (double v : ms) total += v;
      std::printf("%5d %d %3d/%-3d %3d/%-3d %14.0f %6.0f %6.0f %10.0f %20llx\n", level, x, made, count, unique, made,
                  percentile(ms, 0.5), total / count, percentile(ms, 1.0), made ? total / made : 0.0,
                  static_cast<unsigned long long>(hash));
    }
  sudoku_free(h);
  return 0;
}
