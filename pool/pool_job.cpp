// One job of a fill: a harvest or a targeted generation seeded by the job's own seed.
#include <time.h>

#include <algorithm>

#include "api/engine_api.h"
#include "classify/classify.h"
#include "api/harvest.h"
#include "pool/pool_key.h"
#include "pool/pool_plan.h"

namespace pool {

namespace {

double thread_cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// A made puzzle with its level and label from a fresh rating; false when that rating does
// not give a unique puzzle of a ladder level.
bool rated_puzzle(PoolJob const& job, Method method, int const clues[81], int const solution[81],
                  int const groups[81], PoolPuzzle& p) {
  PuzzleClassifyResult const r = classify_puzzle(
      static_cast<MAP_TYPE>(job.kind.jigsaw ? 1 : 0), static_cast<ADJACENCY_TYPE>(job.kind.x ? 1 : 0),
      reinterpret_cast<int const(*)[9]>(clues), reinterpret_cast<int const(*)[9]>(groups), job.budget);
  int const bucket = gen_bucket_index(r.bucket);
  if (!r.unique || r.level_index < 0 || r.level_index >= kLadderLength || bucket < 0) return false;
  p.clues = clue_text(clues);
  p.solution = digit_text(solution);
  p.groups = digit_text(groups);
  p.kind = job.kind;
  p.bucket = bucket;
  p.level_index = r.level_index;
  p.label = r.label ? r.label : "";
  p.givens = static_cast<int>(std::count_if(clues, clues + 81, [](int v) { return v >= 1 && v <= 9; }));
  p.method = method;
  p.seed = job.seed;
  return true;
}

}  // namespace

JobOutcome run_pool_job(PoolJob const& job) {
  JobOutcome out;
  out.index = job.index;
  out.method = job.method;
  double const cpu_start = thread_cpu_seconds();
  // The job's seed drives the solution's random draws; its high half is the removal order's seed.
  sudoku_seed_random(job.seed);
  int const removal_seed = static_cast<int>(static_cast<unsigned>(job.seed >> 32) | 1u);
  GenParams params{job.kind.jigsaw ? 1 : 0, job.kind.x ? 1 : 0, std::max(job.method, 0), job.budget,
                   kTargetedPassesPerJob - 1, 0, 0, removal_seed};
  PoolPuzzle p;
  if (job.method < 0) {
    HarvestResult const h = generate_harvest(params);
    out.ratings = h.n_classified;
    for (int b = 0; h.ok && b < kBuckets; ++b)
      if (h.found[b] && rated_puzzle(job, Method::harvest, h.clues[b], h.solution, h.groupmap, p))
        out.puzzles.push_back(p);
  } else {
    GenResult const g = generate_targeted(params);
    out.ratings = g.n_classified;
    if (g.bucket >= 0 && rated_puzzle(job, Method::targeted, g.clues, g.solution, g.groupmap, p))
      out.puzzles.push_back(p);
  }
  sudoku_seed_random(0);
  out.cpu_seconds = thread_cpu_seconds() - cpu_start;
  return out;
}

}  // namespace pool
