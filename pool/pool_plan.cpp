#include "pool/pool_plan.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sstream>

namespace pool {

namespace {

// Targeted jobs a bucket gets before its rate is trusted.
constexpr long kProbeJobs = 2;

// Ratings (or CPU seconds) per puzzle of a method for bucket b (half a puzzle when none was found yet).
double cost_per_puzzle(MethodRates const& r, int b, bool by_cpu) {
  double const spent = by_cpu ? r.cpu_seconds : static_cast<double>(r.ratings);
  return spent / std::max(static_cast<double>(r.found[b]), 0.5);
}

// Jobs a method still needs for `need` puzzles of bucket b at its measured rate.
double jobs_needed(MethodRates const& r, int b, long need) {
  if (!r.jobs) return static_cast<double>(need);
  double const per_job = std::max(static_cast<double>(r.found[b]), 0.5) / static_cast<double>(r.jobs);
  return static_cast<double>(need) / per_job;
}

}  // namespace

long shard_share(long target, int shard, int shards) {
  if (shards < 1) return target;
  return target / shards + (shard < target % shards ? 1 : 0);
}

uint64_t job_seed(uint64_t seed, uint64_t k) {
  uint64_t z = seed + 0x9E3779B97F4A7C15ull * (k + 1);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  z ^= z >> 31;
  return z ? z : 1;
}

bool targets_met(FillPlan const& plan, std::array<long, kBuckets> const& counts) {
  for (int b = 0; b < kBuckets; ++b)
    if (counts[b] < shard_share(plan.targets[b], plan.shard, plan.shards)) return false;
  return true;
}

void add_outcome(StreamRates& rates, JobOutcome const& outcome) {
  MethodRates& r = outcome.method < 0 ? rates.harvest : rates.targeted[outcome.method];
  ++r.jobs;
  r.ratings += outcome.ratings;
  r.cpu_seconds += outcome.cpu_seconds;
  for (PoolPuzzle const& p : outcome.puzzles)
    if (p.bucket >= 0 && p.bucket < kBuckets) ++r.found[p.bucket];
}

std::vector<PoolJob> plan_batch(FillPlan const& plan, long batch, StreamRates const& rates,
                                std::array<long, kBuckets> const& counts) {
  MethodRates const& h = rates.harvest;
  std::array<long, kBuckets> need{};
  for (int b = 0; b < kBuckets; ++b)
    need[b] = std::max(0L, shard_share(plan.targets[b], plan.shard, plan.shards) - counts[b]);

  // Wanted jobs per method: index 0 harvest, 1 + b targeted bucket b.
  std::array<double, kBuckets + 1> wanted{};
  std::array<bool, kBuckets + 1> probe{};
  for (int b = 0; b < kBuckets; ++b) {
    if (!need[b]) continue;
    MethodRates const& t = rates.targeted[b];
    bool const harvest_short = h.jobs >= plan.batch_jobs && 2 * h.found[b] < h.jobs;
    if (harvest_short && t.jobs < kProbeJobs) {
      probe[1 + b] = true;
      wanted[0] = std::max(wanted[0], jobs_needed(h, b, need[b]));
    } else if (t.jobs >= kProbeJobs && cost_per_puzzle(t, b, plan.choose_by_cpu) < cost_per_puzzle(h, b, plan.choose_by_cpu)) {
      wanted[1 + b] = jobs_needed(t, b, need[b]);
    } else {
      wanted[0] = std::max(wanted[0], jobs_needed(h, b, need[b]));
    }
  }

  // Slots: one per probe, the rest shared in proportion to the jobs wanted (largest remainder),
  // never more than a method wants.
  std::array<int, kBuckets + 1> slots{};
  int left = plan.batch_jobs;
  for (int m = 1; m <= kBuckets && left > 0; ++m)
    if (probe[m]) {
      slots[m] = 1;
      --left;
    }
  double total = 0;
  for (double w : wanted) total += w;
  if (total > 0 && left > 0) {
    std::array<double, kBuckets + 1> remainder{};
    int given = 0;
    for (int m = 0; m <= kBuckets; ++m) {
      double const share = std::min(wanted[m] / total * left, std::ceil(wanted[m]));
      int const whole = static_cast<int>(std::floor(share));
      slots[m] += whole;
      given += whole;
      remainder[m] = wanted[m] > 0 && whole < std::ceil(wanted[m]) ? share - whole : -1;
    }
    while (given < left) {
      int best = -1;
      for (int m = 0; m <= kBuckets; ++m)
        if (remainder[m] >= 0 && (best < 0 || remainder[m] > remainder[best])) best = m;
      if (best < 0) break;
      ++slots[best];
      ++given;
      remainder[best] = -1;
    }
  }

  std::vector<PoolJob> jobs;
  int64_t const first = (static_cast<int64_t>(batch) * plan.shards + plan.shard) * plan.batch_jobs;
  for (int m = 0; m <= kBuckets; ++m)
    for (int i = 0; i < slots[m]; ++i) {
      PoolJob job;
      job.index = first + static_cast<int64_t>(jobs.size());
      job.method = m - 1;
      job.kind = plan.kind;
      job.seed = job_seed(plan.seed, static_cast<uint64_t>(job.index));
      job.budget = plan.budget;
      jobs.push_back(job);
    }
  return jobs;
}

std::string PoolJob::text() const {
  std::ostringstream out;
  out << index << ' ' << method << ' ' << kind.jigsaw << ' ' << kind.x << ' ' << seed << ' ' << budget;
  return out.str();
}

bool parse_job(std::string const& text, PoolJob& job) {
  std::istringstream in(text);
  int jigsaw = 0, x = 0;
  if (!(in >> job.index >> job.method >> jigsaw >> x >> job.seed >> job.budget)) return false;
  job.kind = PoolKind{jigsaw != 0, x != 0};
  return job.method >= -1 && job.method < kBuckets;
}

// Header line "index method ratings cpu_seconds count", then one line a puzzle:
// clues solution groups jigsaw x bucket level_index givens method seed label (label to the end).
std::string JobOutcome::text() const {
  std::ostringstream out;
  char cpu[32];
  std::snprintf(cpu, sizeof cpu, "%.17g", cpu_seconds);
  out << index << ' ' << method << ' ' << ratings << ' ' << cpu << ' ' << puzzles.size() << '\n';
  for (PoolPuzzle const& p : puzzles)
    out << p.clues << ' ' << p.solution << ' ' << p.groups << ' ' << p.kind.jigsaw << ' ' << p.kind.x << ' '
        << p.bucket << ' ' << p.level_index << ' ' << p.givens << ' ' << static_cast<int>(p.method) << ' ' << p.seed
        << ' ' << p.label << '\n';
  return out.str();
}

bool parse_outcome(std::string const& text, JobOutcome& outcome) {
  std::istringstream in(text);
  size_t n = 0;
  if (!(in >> outcome.index >> outcome.method >> outcome.ratings >> outcome.cpu_seconds >> n)) return false;
  if (outcome.method < -1 || outcome.method >= kBuckets || n > 81) return false;
  outcome.puzzles.assign(n, PoolPuzzle{});
  for (PoolPuzzle& p : outcome.puzzles) {
    int jigsaw = 0, x = 0, method = 0;
    if (!(in >> p.clues >> p.solution >> p.groups >> jigsaw >> x >> p.bucket >> p.level_index >> p.givens >> method >>
          p.seed))
      return false;
    in.get();
    std::getline(in, p.label);
    p.kind = PoolKind{jigsaw != 0, x != 0};
    p.method = static_cast<Method>(method);
    if (p.clues.size() != 81 || p.solution.size() != 81 || p.groups.size() != 81) return false;
    if (p.bucket < 0 || p.bucket >= kBuckets || method < 0 || method > 2) return false;
  }
  return true;
}

}  // namespace pool
