#include "cli/pool_fill_run.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <stdexcept>
#include <thread>
#include <vector>

#include "api/engine_api.h"
#include "classify/classify.h"
#include "cli/tool.h"
#include "pool/pool_fill.h"

namespace {

constexpr char kWho[] = "nonet pool fill";

// Runs the jobs on up to `threads` threads; outcome k belongs to job k.
std::vector<pool::JobOutcome> run_jobs(std::vector<pool::PoolJob> const& jobs, int threads) {
  std::vector<pool::JobOutcome> outcomes(jobs.size());
  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t k; (k = next.fetch_add(1)) < jobs.size();) outcomes[k] = pool::run_pool_job(jobs[k]);
  };
  std::vector<std::thread> pool_threads;
  int const n = std::min<int>(threads, static_cast<int>(jobs.size()));
  for (int t = 1; t < n; ++t) pool_threads.emplace_back(work);
  work();
  for (std::thread& t : pool_threads) t.join();
  return outcomes;
}

// Per wanted bucket: count/share, the rate of this run and the time left at that rate.
std::string progress_text(pool::PoolFill const& fill, std::array<long, pool::kBuckets> const& at_start,
                          double seconds) {
  std::string text;
  for (int b = 0; b < pool::kBuckets; ++b) {
    long const share = fill.share(b);
    if (!share) continue;
    long const count = fill.counts()[b], made = count - at_start[b];
    double const rate = seconds > 0 ? static_cast<double>(made) / seconds : 0;
    char line[160];
    if (count >= share)
      std::snprintf(line, sizeof line, "%s %ld/%ld done", gen_bucket_name(b), count, share);
    else if (rate > 0)
      std::snprintf(line, sizeof line, "%s %ld/%ld %.2f/s %.0f s left", gen_bucket_name(b), count, share, rate,
                    static_cast<double>(share - count) / rate);
    else
      std::snprintf(line, sizeof line, "%s %ld/%ld", gen_bucket_name(b), count, share);
    text += (text.empty() ? "" : " | ") + std::string(line);
  }
  return text;
}

std::string counts_text(pool::PoolFill const& fill) {
  std::string text;
  for (int b = 0; b < pool::kBuckets; ++b)
    if (fill.share(b))
      text += (text.empty() ? "" : " ") + std::string(gen_bucket_name(b)) + "=" + std::to_string(fill.counts()[b]) +
              "/" + std::to_string(fill.share(b));
  return text;
}

}  // namespace

int run_pool_fill(PoolFillOptions const& o) {
  std::string why;
  std::unique_ptr<pool::PoolStore> store = pool::PoolStore::open(o.pool, true, why);
  if (!store) {
    tool::say(kWho, tool::escaped(o.pool) + ": " + tool::escaped(why));
    return tool::kExitInputProblem;
  }
  tool::route_engine_messages(o.verbose);
  tool::catch_interrupts();
  // SIGTERM (a cluster's scheduler ending the job) stops like Ctrl-C: after the batch in flight.
  auto const on_interrupt = std::signal(SIGINT, SIG_IGN);
  std::signal(SIGINT, on_interrupt);
  std::signal(SIGTERM, on_interrupt);
  try {
    pool::PoolFill fill(*store, o.plan);
    auto const at_start = fill.counts();
    auto const start = std::chrono::steady_clock::now();
    long batches = 0, stored = 0;
    while (!fill.done() && !tool::interrupted()) {
      int const stalled = fill.stalled_bucket();
      if (stalled >= 0) {
        tool::progress_finish();
        tool::say(kWho, std::string("no puzzle of ") + gen_bucket_name(stalled) + " after " +
                            std::to_string(pool::kStallJobs) + " jobs; stopping (" + counts_text(fill) + ")");
        return tool::kExitInputProblem;
      }
      std::vector<pool::PoolJob> const jobs = fill.next_batch();
      stored += fill.commit(run_jobs(jobs, o.threads));
      ++batches;
      double const seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      tool::progress(progress_text(fill, at_start, seconds));
    }
    tool::progress_finish();
    tool::say(kWho, "stored " + std::to_string(stored) + " puzzles in " + std::to_string(batches) + " batches (" +
                        counts_text(fill) + ")");
    if (!fill.done()) {
      tool::say(kWho, "interrupted; the same command resumes");
      return tool::kExitInterrupted;
    }
  } catch (std::exception const& e) {
    tool::progress_finish();
    tool::say(kWho, tool::escaped(o.pool) + ": " + tool::escaped(e.what()));
    return tool::kExitInputProblem;
  }
  return tool::kExitOk;
}
