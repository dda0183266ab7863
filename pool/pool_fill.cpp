#include "pool/pool_fill.h"

namespace pool {

PoolFill::PoolFill(PoolStore& store, FillPlan const& plan) : store_(store), plan_(plan) {
  store_.begin();
  try {
    state_ = store_.stream(plan_);
    store_.commit();
  } catch (...) {
    store_.rollback();
    throw;
  }
  counts_ = store_.counts(plan_.kind, plan_.shards > 1 ? state_.id : 0);
}

int PoolFill::stalled_bucket() const {
  StreamRates const& r = state_.rates;
  long jobs = r.harvest.jobs;
  for (MethodRates const& t : r.targeted) jobs += t.jobs;
  if (jobs < kStallJobs) return -1;
  for (int b = 0; b < kBuckets; ++b) {
    if (counts_[b] >= share(b)) continue;
    long found = r.harvest.found[b];
    for (MethodRates const& t : r.targeted) found += t.found[b];
    if (!found) return b;
  }
  return -1;
}

std::vector<PoolJob> PoolFill::next_batch() const {
  return plan_batch(plan_, state_.next_batch, state_.rates, counts_);
}

long PoolFill::commit(std::vector<JobOutcome> const& outcomes) {
  StreamState next = state_;
  std::array<long, kBuckets> counts = counts_;
  long stored = 0;
  store_.begin();
  try {
    for (JobOutcome const& o : outcomes) {
      add_outcome(next.rates, o);
      for (PoolPuzzle const& p : o.puzzles) {
        if (p.kind != plan_.kind || counts[p.bucket] >= share(p.bucket)) continue;
        if (store_.insert(p, state_.id)) {
          ++counts[p.bucket];
          ++stored;
        }
      }
    }
    ++next.next_batch;
    store_.save_stream(next);
    store_.commit();
  } catch (...) {
    store_.rollback();
    throw;
  }
  state_ = next;
  counts_ = counts;
  return stored;
}

}  // namespace pool
