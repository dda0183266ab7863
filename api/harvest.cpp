// Harvest and targeted generation. Solutions come from the handle calls, as a host
// would make them; every candidate puzzle is rated by classify_puzzle.
#include "api/harvest.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "api/engine_api.h"
#include "classify/classify.h"
#include "matrix_engine/matrix_engine.h"
#include "model/puzzle.h"
#include "util/clock.h"

namespace {

struct Stopwatch {
  int64_t start = steady_now_ms();
  int elapsed() const { return static_cast<int>(steady_now_ms() - start); }
  bool past(int limit_ms) const { return limit_ms > 0 && steady_now_ms() - start > limit_ms; }
};

struct Solution {
  int digits[81];
  int groups[81];
  int colors[9];
};

// One solution through a handle. A request for jigsaw regions that fell back to the
// boxes (no map files) is a failure: its puzzles would be filed as irregular.
bool build_solution(GenParams const& p, Solution& s) {
  std::unique_ptr<SudokuPuzzle, void (*)(SudokuPuzzle*)> h(sudoku_new(), sudoku_free);
  if (p.solution_deadline_ms > 0) sudoku_set_deadline_ms(h.get(), p.solution_deadline_ms);
  if (!sudoku_generate_solution(h.get(), p.map_type == 1 ? 1 : 0, p.adjacency_type == 1 ? 1 : 0)) return false;
  bool boxes = true;
  for (int c = 0; c < 81; ++c) {
    int view[9];
    sudoku_get_cell(h.get(), c, view);
    s.digits[c] = view[0];
    s.groups[c] = view[6];
    boxes = boxes && view[6] == square_group_map[c / 9][c % 9];
  }
  sudoku_get_color_map(h.get(), s.colors);
  return !(p.map_type == 1 && boxes);
}

struct Rating {
  int bucket;  // -1 when not usable
};

// Most removals leave a second solution. Such a grid's rating would never be usable
// (it is not unique), so one completion count, far cheaper than the climb up the
// ladder, settles it first. A count that runs out of budget settles nothing: logic
// may still solve the grid.
bool surely_not_unique(GenParams const& p, int const grid[81], int const groups[81], long budget) {
  using namespace matrix_engine;
  std::shared_ptr<Ops const> const ops = compile_shared(p.adjacency_type == 1, reinterpret_cast<int const(*)[9]>(groups));
  Vec cand, placed;
  cand.fill_all();
  for (int c = 0; c < 81; ++c)
    if (grid[c] >= 1 && grid[c] <= 9) placed.set(lit(c, grid[c]));
  long long nodes = budget >= 1 ? budget : (1LL << 62);
  int out[2][81];
  int const n = count_completions_collect(*ops, cand, placed, 2, out, 0, nodes);
  return n == 0 || n >= 2;
}

// One rating, counted in n_classified.
Rating rate(GenParams const& p, int const grid[81], int const groups[81], long budget, int& n_classified) {
  ++n_classified;
  if (surely_not_unique(p, grid, groups, budget)) return Rating{-1};
  PuzzleClassifyResult const r =
      classify_puzzle(static_cast<MAP_TYPE>(p.map_type), static_cast<ADJACENCY_TYPE>(p.adjacency_type),
                      reinterpret_cast<int const(*)[9]>(grid), reinterpret_cast<int const(*)[9]>(groups), budget);
  bool const usable = r.unique && r.level_index < kLadderLength;
  return Rating{usable ? gen_bucket_index(r.bucket) : -1};
}

int count_clues(int const grid[81]) {
  int n = 0;
  for (int c = 0; c < 81; ++c) n += grid[c] != 0;
  return n;
}

unsigned seed_or(int seed, unsigned fallback) { return seed ? static_cast<unsigned>(seed) : fallback; }

}  // namespace

void shuffle_removal_order(unsigned& x, int order[81]) {
  for (int i = 0; i < 81; ++i) order[i] = i;
  for (int i = 80; i >= 1; --i) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    int const j = static_cast<int>(x % static_cast<unsigned>(i + 1));
    int const t = order[i];
    order[i] = order[j];
    order[j] = t;
  }
}

namespace {

// One pass of clue removal over the solution, in the order x draws, until the time runs out:
// a removal stays when keep(bucket) accepts the rating of what is left, and kept(bucket)
// then sees the grid.
template <typename Keep, typename Kept>
void remove_clues(GenParams const& p, Solution const& s, unsigned& x, Stopwatch const& clock, int grid[81],
                  int& n_classified, Keep keep, Kept kept) {
  std::memcpy(grid, s.digits, sizeof s.digits);
  int order[81];
  shuffle_removal_order(x, order);
  for (int k = 0; k < 81 && !clock.past(p.time_limit_ms) && !p.cancelled(); ++k) {
    int const cell = order[k];
    int const v = grid[cell];
    if (!v) continue;
    grid[cell] = 0;
    int const b = rate(p, grid, s.groups, p.node_budget, n_classified).bucket;
    if (!keep(b)) {
      grid[cell] = v;
      continue;
    }
    kept(b);
  }
}

}  // namespace

HarvestResult generate_harvest(GenParams const& p) {
  HarvestResult result;
  std::memset(&result, 0, sizeof result);
  Stopwatch const clock;
  Solution s;
  if (!build_solution(p, s)) {
    result.elapsed_ms = clock.elapsed();
    return result;
  }
  result.ok = true;
  std::memcpy(result.solution, s.digits, sizeof s.digits);
  std::memcpy(result.groupmap, s.groups, sizeof s.groups);
  std::memcpy(result.colormap, s.colors, sizeof s.colors);

  int grid[81];
  unsigned x = seed_or(p.seed, kHarvestDefaultSeed);
  remove_clues(p, s, x, clock, grid, result.n_classified, [](int b) { return b >= 0; },
               [&](int b) {
                 std::memcpy(result.clues[b], grid, sizeof grid);
                 result.found[b] = true;
                 result.n_clues[b] = count_clues(grid);
               });
  result.elapsed_ms = clock.elapsed();
  return result;
}

GenResult generate_targeted(GenParams const& p) {
  GenResult result;
  std::memset(&result, 0, sizeof result);
  result.bucket = -1;
  Stopwatch const clock;
  unsigned x = seed_or(p.seed, kTargetedDefaultSeed);
  int best_distance = 0x40000000;
  auto store = [&](int const grid[81], Solution const& s, int bucket) {
    result.bucket = bucket;
    result.n_clues = count_clues(grid);
    std::memcpy(result.clues, grid, sizeof result.clues);
    std::memcpy(result.solution, s.digits, sizeof result.solution);
    std::memcpy(result.groupmap, s.groups, sizeof result.groupmap);
  };
  // Counted in 64 bits: max_attempts = INT_MAX must end, not wrap.
  for (long long attempt = 0; attempt <= static_cast<long long>(p.max_attempts); ++attempt) {
    if (clock.past(p.time_limit_ms) || p.cancelled()) break;
    result.attempt = static_cast<int>(attempt);
    Solution s;
    if (!build_solution(p, s)) continue;
    int grid[81], snapshot[81];
    bool have_snapshot = false;
    remove_clues(p, s, x, clock, grid, result.n_classified, [&](int b) { return b >= 0 && b <= p.target_bucket; },
                 [&](int b) {
                   if (b != p.target_bucket) return;
                   std::memcpy(snapshot, grid, sizeof grid);
                   have_snapshot = true;
                 });
    if (p.cancelled()) break;
    if (have_snapshot) std::memcpy(grid, snapshot, sizeof grid);
    int const b = rate(p, grid, s.groups, 0, result.n_classified).bucket;
    if (b == p.target_bucket) {
      store(grid, s, b);
      result.ok = true;
      break;
    }
    if (b >= 0 && std::abs(b - p.target_bucket) < best_distance) {
      best_distance = std::abs(b - p.target_bucket);
      store(grid, s, b);
    }
  }
  result.elapsed_ms = clock.elapsed();
  return result;
}

HarvestResult& harvest_record() {
  thread_local HarvestResult record{};
  return record;
}
