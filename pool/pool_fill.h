// A fill of a pool store by its plan, independent of where the jobs run: the caller asks
// for a batch of jobs, runs them (threads, or the workers of a cluster) and hands the
// outcomes back; commit stores them in one transaction, so a stop at any moment loses at
// most the batch in flight, and the next fill with the same plan resumes from there.
#pragma once

#include <array>
#include <vector>

#include "pool/pool_plan.h"
#include "pool/pool_store.h"

namespace pool {

// A bucket that neither method produced after this many jobs stops the fill.
constexpr long kStallJobs = 1024;

class PoolFill {
 public:
  // Loads the plan's stream (its next batch and rates) and the counts toward its targets: the
  // whole pool's puzzles of the kind for a single shard, the shard's own puzzles otherwise.
  PoolFill(PoolStore& store, FillPlan const& plan);

  bool done() const { return targets_met(plan_, counts_); }
  // A bucket still short that no job has produced after kStallJobs jobs; -1 when none.
  int stalled_bucket() const;
  std::vector<PoolJob> next_batch() const;
  // Stores the outcomes of next_batch()'s jobs, in job order: each puzzle of a bucket still
  // short of its share is inserted (a duplicate is skipped), the rates and the stream's next
  // batch saved, all in one transaction. Returns the puzzles stored.
  long commit(std::vector<JobOutcome> const& outcomes);

  FillPlan const& plan() const { return plan_; }
  StreamState const& state() const { return state_; }
  std::array<long, kBuckets> const& counts() const { return counts_; }
  long share(int bucket) const { return shard_share(plan_.targets[bucket], plan_.shard, plan_.shards); }

 private:
  PoolStore& store_;
  FillPlan plan_;
  StreamState state_;
  std::array<long, kBuckets> counts_{};
};

}  // namespace pool
