// nonet harvest: fills puzzle pools. Each harvest builds one solution and keeps, per
// difficulty bucket, the last puzzle met while removing clues; with --bucket, targeted
// generation repeats until enough puzzles of one bucket exist.
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <climits>
#include <iostream>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "api/engine_api.h"
#include "api/harvest.h"
#include "classify/classify.h"
#include "cli/commands.h"
#include "cli/ordered_jobs.h"
#include "cli/puzzle_seed.h"
#include "cli/tool.h"

namespace {

struct HarvestOptions {
  bool x = false;
  bool jigsaw = false;
  int count = 1;
  int threads = 1;
  uint64_t seed = 0;
  int budget = 100000;
  std::string format = "line";
  std::string bucket;
  int wanted = 1;
  bool verbose = false;
};

// Attempts of one targeted job; the command starts jobs until enough puzzles exist.
constexpr int kAttemptsPerJob = 20;

struct Kept {
  int bucket;
  int clues[81];
  int solution[81];
  int groups[81];
};

std::string digits(int const* v, int n, bool dot_for_zero) {
  std::string s;
  for (int i = 0; i < n; ++i) s += v[i] == 0 && dot_for_zero ? '.' : static_cast<char>('0' + v[i]);
  return s;
}

int n_clues(int const* clues) {
  int n = 0;
  for (int c = 0; c < 81; ++c) n += clues[c] != 0;
  return n;
}

std::string format_kept(HarvestOptions const& o, Kept const& k, long job) {
  std::ostringstream out;
  if (o.format == "json") {
    nlohmann::json j;
    j["job"] = job;
    j["bucket"] = gen_bucket_name(k.bucket);
    j["bucket_index"] = k.bucket;
    j["clue_count"] = n_clues(k.clues);
    j["clues"] = digits(k.clues, 81, true);
    j["solution"] = digits(k.solution, 81, false);
    j["groups"] = digits(k.groups, 81, false);
    j["jigsaw"] = o.jigsaw;
    j["x"] = o.x;
    out << j.dump() << "\n";
  } else {
    out << gen_bucket_name(k.bucket) << ' ' << digits(k.clues, 81, true) << ' ' << digits(k.solution, 81, false);
    if (o.jigsaw) out << ' ' << digits(k.groups, 81, false);
    out << "\n";
  }
  return out.str();
}

// The seeds of one job: the random draws of its solutions, and its removal order.
struct JobSeeds {
  unsigned long long draws = 0;  // 0: system randomness
  int removal = 0;               // 0: the generator's default
};

JobSeeds seeds_for(HarvestOptions const& o, long job) {
  if (!o.seed) return {};
  uint64_t const s = puzzle_seed(o.seed, static_cast<int>(job));
  return {s, static_cast<int>(static_cast<unsigned>(s >> 32) | 1u)};
}

// A failure that every later job would meet too (no jigsaw map can be read) ends the run
// with the engine's reason, instead of harvesting nothing or searching forever.
struct RunStopper {
  std::mutex mutex;
  std::string reason;
  std::atomic<bool> stopped{false};

  // Called on the thread of the failed job, where the engine's reason is kept.
  void note_failure() {
    if (tool::engine_error_code() != SUDOKU_ERROR_MAPS_NOT_FOUND) return;
    std::lock_guard<std::mutex> lock(mutex);
    if (!stopped.load()) reason = tool::engine_reason("no solution could be built");
    stopped.store(true);
  }
};

RunStopper stopper;

std::vector<Kept> one_harvest(HarvestOptions const& o, long job) {
  JobSeeds const s = seeds_for(o, job);
  sudoku_seed_random(s.draws);
  GenParams const p{o.jigsaw ? 1 : 0, o.x ? 1 : 0, 0, o.budget, 0, 0, 0, s.removal};
  HarvestResult const h = generate_harvest(p);
  sudoku_seed_random(0);
  std::vector<Kept> kept;
  if (!h.ok) {
    stopper.note_failure();
    return kept;
  }
  for (int b = 0; b < 10; ++b) {
    if (!h.found[b]) continue;
    Kept k{b, {}, {}, {}};
    std::copy(h.clues[b], h.clues[b] + 81, k.clues);
    std::copy(h.solution, h.solution + 81, k.solution);
    std::copy(h.groupmap, h.groupmap + 81, k.groups);
    kept.push_back(k);
  }
  return kept;
}

std::vector<Kept> one_targeted(HarvestOptions const& o, int target, long job) {
  JobSeeds const s = seeds_for(o, job);
  sudoku_seed_random(s.draws);
  GenParams const p{o.jigsaw ? 1 : 0, o.x ? 1 : 0, target, o.budget, kAttemptsPerJob - 1, 0, 0, s.removal};
  GenResult const g = generate_targeted(p);
  sudoku_seed_random(0);
  std::vector<Kept> kept;
  if (!g.ok) {
    stopper.note_failure();
    return kept;
  }
  Kept k{g.bucket, {}, {}, {}};
  std::copy(g.clues, g.clues + 81, k.clues);
  std::copy(g.solution, g.solution + 81, k.solution);
  std::copy(g.groupmap, g.groupmap + 81, k.groups);
  kept.push_back(k);
  return kept;
}

std::string tally_text(long const tally[10]) {
  std::string s;
  for (int b = 0; b < 10; ++b)
    if (tally[b]) s += std::string(s.empty() ? "" : " ") + gen_bucket_name(b) + "=" + std::to_string(tally[b]);
  return s.empty() ? "nothing kept" : s;
}

int run_harvest(HarvestOptions const& o) {
  tool::route_engine_messages(o.verbose);
  int target = -1;
  if (!o.bucket.empty()) {
    target = parse_bucket_name(o.bucket.c_str());
    if (target < 0) {
      tool::say("nonet harvest", "unknown bucket '" + tool::escaped(o.bucket) +
                                     "' (quickie .. beyond_hell, or medium, expert, ultimate, bruteforce)");
      return tool::kExitUsage;
    }
  }
  long tally[10] = {};
  long n_found = 0;
  auto const start = std::chrono::steady_clock::now();
  long const goal = target >= 0 ? o.wanted : o.count;
  long const n_jobs = target >= 0 ? LONG_MAX : o.count;

  bool const interrupted = run_ordered_jobs<std::vector<Kept>>(
      n_jobs, o.threads,
      [&](long job) { return target >= 0 ? one_targeted(o, target, job) : one_harvest(o, job); },
      [&](long job, std::vector<Kept>& kept) {
        for (Kept const& k : kept) {
          std::cout << format_kept(o, k, job);
          ++tally[k.bucket];
        }
        std::cout.flush();
        long const done = target >= 0 ? (n_found = tally[target]) : job + 1;
        double const seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        double const left = done > 0 ? seconds / static_cast<double>(done) * static_cast<double>(goal - done) : 0;
        tool::progress(std::to_string(done) + "/" + std::to_string(goal) + (target >= 0 ? " found, " : " harvests, ") +
                       tally_text(tally) + ", about " + std::to_string(static_cast<long>(left + 0.5)) + " s left");
        return done < goal && !stopper.stopped.load();
      });
  tool::progress_finish();
  if (stopper.stopped.load()) {
    tool::say("nonet harvest", stopper.reason);
    return tool::kExitInputProblem;
  }
  tool::say("nonet harvest", tally_text(tally));
  if (interrupted) {
    tool::say("nonet harvest", "interrupted");
    return tool::kExitInterrupted;
  }
  return tool::kExitOk;
}

CommandRegistration harvest_command{Command{
    "harvest", "Fill puzzle pools: harvests, or targeted generation of one bucket",
    [](CLI::App& sub) -> std::function<int()> {
      auto o = std::make_shared<HarvestOptions>();
      sub.add_flag("--x", o->x, "Both main diagonals are units too");
      sub.add_flag("--jigsaw", o->jigsaw, "Irregular (jigsaw) regions instead of 3x3 boxes");
      sub.add_option("-n,--harvests", o->count, "Number of harvests")->check(CLI::Range(1, 10000000))
          ->capture_default_str();
      sub.add_option("-j,--threads", o->threads, "Worker threads")->check(CLI::Range(1, 256))->capture_default_str();
      tool::add_seed_option(sub, o->seed, "Seed for output identical for any thread count, 0 to 2^64-1 (0: system "
                                          "randomness)");
      sub.add_option("--budget", o->budget, "Search nodes a rating may spend settling a puzzle logic cannot finish")
          ->check(CLI::Range(1, INT_MAX))
          ->capture_default_str();
      tool::add_format_option(sub, o->format, {"line", "json"}, "Output: line, or json (JSON Lines, one object a "
                                                                 "puzzle)");
      tool::add_verbose_flag(sub, o->verbose);
      auto* bucket = sub.add_option("--bucket", o->bucket,
                                    "Targeted generation of this bucket (quickie .. beyond_hell, medium, expert, "
                                    "ultimate, bruteforce)");
      sub.add_option("--count", o->wanted, "With --bucket: puzzles wanted")->check(CLI::Range(1, 10000000))
          ->needs(bucket)
          ->capture_default_str();
      return [o] { return run_harvest(*o); };
    }}};

}  // namespace
