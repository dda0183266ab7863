// measure_group_maps: how quickly the engine's construct_solution fills the shipped jigsaw maps.
// Every map of every file, in every orientation the loader can give it, without and with the
// diagonals, is filled in several seeded runs; each run's recursive calls are recorded (a run is
// stopped after a time limit and counted as not filled).
//
//   measure_group_maps [--dir DIR] [--runs N] [--limit-ms MS] [--seed S] [--every N] [--per-map FILE]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "percentile.h"

#include "engine_fill.h"
#include "groupmap/group_map.h"
#include "util/zipped_file.h"
#include "util/random.h"

namespace {

// The loader's completion of a stored map (before its turn), groups renumbered 0..8 in reading order.
std::array<int, 81> unpack(bool mirror, unsigned char const* bytes, int n) {
  std::array<int, 81> m{};
  m[0] = 1;
  for (int i = 0; i < n; ++i) m[1 + 2 * i] = bytes[i] >> 4, m[2 + 2 * i] = bytes[i] & 15;
  for (int k = 1 + 2 * n; k < 81; ++k) {
    if (!mirror) {
      int const l = m[80 - k];
      m[k] = l == 9 ? 9 : (l % 2 ? l + 1 : l - 1);
    } else {
      int const l = m[(8 - k / 9) * 9 + k % 9];
      bool middle = false;
      for (int c = 0; c < 9; ++c) middle |= m[36 + c] == l;
      m[k] = middle ? l : l + 1;
    }
  }
  int map[16];
  std::fill(map, map + 16, -1);
  int next = 0;
  for (int& v : m) {
    if (map[v & 15] < 0) map[v & 15] = next++;
    v = map[v & 15];
  }
  return m;
}


}  // namespace

int main(int argc, char** argv) {
  std::string dir = "data/groupmaps";
  int runs = 5;
  long limit_ms = 50;
  uint64_t seed = 7;
  int every = 1;  // --every N: every N-th map of each file
  FILE* per_map = nullptr;  // --per-map FILE: each map's worst run (calls; stopped runs as 1e9)
  for (int i = 1; i + 1 < argc; i += 2) {
    std::string const opt = argv[i];
    if (opt == "--dir") dir = argv[i + 1];
    else if (opt == "--runs") runs = std::atoi(argv[i + 1]);
    else if (opt == "--limit-ms") limit_ms = std::atol(argv[i + 1]);
    else if (opt == "--every") every = std::max(1, std::atoi(argv[i + 1]));
    else if (opt == "--per-map") per_map = std::fopen(argv[i + 1], "w");
    else if (opt == "--seed") seed = std::strtoull(argv[i + 1], nullptr, 10);
    else {
      std::fprintf(stderr, "usage: measure_group_maps [--dir DIR] [--runs N] [--limit-ms MS] [--seed S] [--every N] [--per-map FILE]\n");
      return 2;
    }
  }
  std::setvbuf(stdout, nullptr, _IOLBF, 0);
  sudoku_seed_random(seed);
  std::vector<long> all_calls;  // filled runs only
  long total_runs = 0, stopped = 0, within_2000 = 0, within_20000 = 0, within_100000 = 0, maps = 0, slow_orientations = 0, orientations = 0;
  for (char const* name : jigsawGroupMapFilenames) {
    std::string const path = dir + "/" + name + ".z";
    size_t length = 0;
    unsigned char const* data = get_zipped_file_contents(path, length, kGroupMapFileCapacity);
    if (!data || length < 80) {
      std::fprintf(stderr, "cannot read %s\n", path.c_str());
      return 1;
    }
    bool const mirror = std::string(name).rfind("mir", 0) == 0;
    int const bytes = mirror ? 22 : 20;
    int const n_maps = static_cast<int>((length - 80) / bytes);
    long file_runs = 0, file_fast = 0, file_stopped = 0;
    for (int i = 0; i < n_maps; i += every) {
      auto const groups = unpack(mirror, data + 80 + static_cast<size_t>(i) * bytes, bytes);
      ++maps;
      long map_worst = 0;
      for (int t = 0; t < engine_fill::turn_count(mirror); ++t)
        for (bool diagonals : {false, true}) {
          Matrix<int, 9> const m = engine_fill::turned(groups, mirror, t);
          bool slow = false;
          ++orientations;
          for (int r = 0; r < runs; ++r) {
            engine_fill::Run const run = engine_fill::run_once(m, diagonals, limit_ms);
            map_worst = std::max(map_worst, run.filled ? run.calls : 1000000000L);
            ++total_runs, ++file_runs;
            if (!run.filled) {
              ++stopped, ++file_stopped, slow = true;
              continue;
            }
            all_calls.push_back(run.calls);
            within_2000 += run.calls <= 2000;
            within_20000 += run.calls <= 20000;
            within_100000 += run.calls <= 100000;
            file_fast += run.calls <= 20000;
            slow |= run.calls > 20000;
          }
          slow_orientations += slow;
        }
      if (per_map) std::fprintf(per_map, "%s %d %ld\n", name, i, map_worst);
    }
    std::printf("%-11s maps %5d  runs %6ld  within 20000 calls %6ld (%.1f%%)  stopped at %ld ms %ld\n", name, n_maps,
                file_runs, file_fast, 100.0 * static_cast<double>(file_fast) / static_cast<double>(file_runs),
                limit_ms, file_stopped);
    std::free(const_cast<unsigned char*>(data));
  }
  std::printf("maps %ld, orientations x rules %ld, runs %ld\n", maps, orientations, total_runs);
  std::printf("within 2000 calls %ld (%.1f%%), within 20000 calls %ld (%.1f%%), stopped at %ld ms %ld (%.1f%%)\n",
              within_2000, 100.0 * static_cast<double>(within_2000) / static_cast<double>(total_runs), within_20000,
              100.0 * static_cast<double>(within_20000) / static_cast<double>(total_runs), limit_ms, stopped,
              100.0 * static_cast<double>(stopped) / static_cast<double>(total_runs));
  double mean = 0;
  for (long c : all_calls) mean += static_cast<double>(c);
  std::printf("within 100000 calls %ld (%.1f%%); mean calls of filled runs %.0f\n", within_100000,
              100.0 * static_cast<double>(within_100000) / static_cast<double>(total_runs),
              all_calls.empty() ? 0.0 : mean / static_cast<double>(all_calls.size()));
  std::printf("calls of filled runs: median %ld, p90 %ld, p99 %ld, max %ld\n", percentile(all_calls, 0.5),
              percentile(all_calls, 0.9), percentile(all_calls, 0.99), percentile(all_calls, 1.0));
  std::printf("orientation/rule cases with a run over 20000 calls or stopped: %ld of %ld\n", slow_orientations,
              orientations);
  sudoku_seed_random(0);
  if (per_map) std::fclose(per_map);
  return 0;
}
