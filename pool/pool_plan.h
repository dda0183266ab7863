// The plan of a fill: numbered batches of numbered jobs, each a harvest or a targeted
// generation with its own seed. Shard K of N takes the batches K, K+N, K+2N, ... of one
// seed's stream and a share of every target, so N machines give N disjoint reproducible
// pools. The method of each job is chosen from the rates measured in ratings, which do
// not depend on timing: the same seed and plan give the same pool on any machine.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "pool/pool_types.h"

namespace pool {

constexpr int kDefaultBatchJobs = 16;
constexpr int kDefaultBudget = 100000;
// Passes of one targeted job (each a fresh solution).
constexpr int kTargetedPassesPerJob = 5;

struct FillPlan {
  PoolKind kind;
  uint64_t seed = 0;
  int shard = 0;       // 0-based K
  int shards = 1;      // N
  int batch_jobs = kDefaultBatchJobs;
  int budget = kDefaultBudget;           // node budget of every rating
  std::array<long, kBuckets> targets{};  // puzzles wanted per bucket (whole pool; 0 = none)
  // Compare the methods by CPU seconds a puzzle instead of ratings a puzzle: closer to the real
  // cost where ratings differ widely in cost (jigsaw), but the choices then depend on the
  // machine, so the pool is no longer the same on every machine.
  bool choose_by_cpu = false;
};

// This shard's part of target: the N shares add up to target.
long shard_share(long target, int shard, int shards);

struct PoolJob {
  int64_t index = 0;  // the job's number in the seed's stream (all shards together)
  int method = -1;    // -1 harvest, else the bucket of a targeted generation
  PoolKind kind;
  uint64_t seed = 0;  // the job's own seed
  int budget = kDefaultBudget;
  // A short text form for hosts that move jobs between processes; parse_job reverses it.
  std::string text() const;
};
bool parse_job(std::string const& text, PoolJob& job);

struct JobOutcome {
  int64_t index = 0;
  int method = -1;
  long ratings = 0;
  double cpu_seconds = 0;
  std::vector<PoolPuzzle> puzzles;
  std::string text() const;
};
bool parse_outcome(std::string const& text, JobOutcome& outcome);

// The seed of job k of a stream seeded with seed (splitmix64; never 0).
uint64_t job_seed(uint64_t seed, uint64_t k);

// The jobs of batch `batch` of this shard, chosen from the rates so far and the counts
// toward this shard's targets. Harvests first (they measure every bucket at once); a bucket
// whose harvest rate stays under one puzzle in two harvests is probed with targeted jobs,
// and from then on each bucket goes to the method with fewer ratings (or CPU seconds, with
// choose_by_cpu) per puzzle. Job slots
// are shared in proportion to the jobs each method still needs.
std::vector<PoolJob> plan_batch(FillPlan const& plan, long batch, StreamRates const& rates,
                                std::array<long, kBuckets> const& counts);

// True when every bucket's count has reached this shard's share of its target.
bool targets_met(FillPlan const& plan, std::array<long, kBuckets> const& counts);

// Adds an outcome to the rates (everything it found, whether kept or not).
void add_outcome(StreamRates& rates, JobOutcome const& outcome);

// Runs one job in the calling thread: the puzzles it made, each rated again for its
// level and label. Thread-safe; the same job gives the same outcome anywhere.
JobOutcome run_pool_job(PoolJob const& job);

}  // namespace pool
