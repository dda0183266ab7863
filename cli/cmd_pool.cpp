// nonet pool: puzzle pools in a SQLite file. fill (harvest and targeted generation until
// every target is met, resumable, sharded), stats, export (queue files, JSON Lines, CSV),
// merge and check.
#include <sys/random.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "classify/classify.h"
#include "cli/commands.h"
#include "cli/pool_fill_run.h"
#include "cli/pool_tools.h"
#include "cli/tool.h"

namespace {

constexpr char kFill[] = "nonet pool fill";

struct FillArguments {
  PoolFillOptions options;
  std::vector<std::string> targets;
  std::string shard;
};

// "K/N" with 1 <= K <= N <= 1000000: shard K of N (stored 0-based).
bool parse_shard(std::string const& text, int& shard, int& shards) {
  int k = 0, n = 0;
  char tail = 0;
  if (std::sscanf(text.c_str(), "%d/%d%c", &k, &n, &tail) != 2 || n < 1 || n > 1000000 || k < 1 || k > n)
    return false;
  shard = k - 1;
  shards = n;
  return true;
}

int run_fill(FillArguments a) {
  pool::FillPlan& plan = a.options.plan;
  for (std::string const& t : a.targets) {
    size_t const eq = t.find('=');
    int const bucket = eq == std::string::npos ? -1 : parse_bucket_name(t.substr(0, eq).c_str());
    long count = -1;
    if (eq != std::string::npos) {
      char* end = nullptr;
      std::string const digits = t.substr(eq + 1);
      count = std::strtol(digits.c_str(), &end, 10);
      if (digits.empty() || *end || count < 1 || count > 100000000) count = -1;
    }
    if (bucket < 0 || count < 0) {
      tool::say(kFill, "--target '" + tool::escaped(t) +
                           "': BUCKET=N with a bucket name (quickie .. beyond_hell, medium, expert, ultimate, "
                           "bruteforce) and N in 1..100000000");
      return tool::kExitUsage;
    }
    plan.targets[bucket] = count;
  }
  if (!a.shard.empty() && !parse_shard(a.shard, plan.shard, plan.shards)) {
    tool::say(kFill, "--shard '" + tool::escaped(a.shard) + "': K/N with 1 <= K <= N");
    return tool::kExitUsage;
  }
  if (plan.shards > 1 && !plan.seed) {
    tool::say(kFill, "--shard needs --seed: every shard takes its part of one seed's stream");
    return tool::kExitUsage;
  }
  if (!plan.seed) {
    while (!plan.seed)
      if (getrandom(&plan.seed, sizeof plan.seed, 0) != sizeof plan.seed) plan.seed = 1;
    tool::say(kFill, "seed " + std::to_string(plan.seed));
  }
  return run_pool_fill(a.options);
}

CommandRegistration pool_command{Command{
    "pool", "Puzzle pools in a SQLite file: fill, stats, export, merge, check",
    [](CLI::App& sub) -> std::function<int()> {
      sub.require_subcommand(1);
      auto action = std::make_shared<std::function<int()>>();

      auto fill = std::make_shared<FillArguments>();
      CLI::App* f = sub.add_subcommand(
          "fill", "Harvest and targeted generation until every target is met; stopped fills resume");
      f->add_option("pool", fill->options.pool, "Pool file (created if missing)")->required();
      f->add_option("--target", fill->targets, "BUCKET=N[,BUCKET=N...]: puzzles wanted per bucket")
          ->delimiter(',')
          ->required();
      f->add_flag("--jigsaw", fill->options.plan.kind.jigsaw, "Irregular (jigsaw) regions instead of 3x3 boxes");
      f->add_flag("--x", fill->options.plan.kind.x, "Both main diagonals are units too");
      f->add_option("-j,--threads", fill->options.threads, "Worker threads")->check(CLI::Range(1, 256))
          ->capture_default_str();
      tool::add_seed_option(*f, fill->options.plan.seed,
                            "Seed of the fill's stream, 0 to 2^64-1 (0: a random seed, printed)");
      f->add_option("--shard", fill->shard,
                    "K/N: fill shard K of N (1 <= K <= N) of the seed's stream with its share of each target; "
                    "merge the N pools afterwards");
      f->add_option("--budget", fill->options.plan.budget,
                    "Search nodes a rating may spend settling a puzzle logic cannot finish")
          ->check(CLI::Range(1, 1000000000))
          ->capture_default_str();
      f->add_option("--batch-jobs", fill->options.plan.batch_jobs,
                    "Jobs per batch (one transaction each; part of the plan, like the seed)")
          ->check(CLI::Range(1, 4096))
          ->capture_default_str();
      f->add_flag("--choose-by-cpu", fill->options.plan.choose_by_cpu,
                  "Choose between harvest and targeted generation by CPU seconds a puzzle instead of ratings a "
                  "puzzle (faster fills where ratings differ in cost, as on jigsaw; the pool then depends on the "
                  "machine)");
      tool::add_verbose_flag(*f, fill->options.verbose);
      f->callback([=] { *action = [=] { return run_fill(*fill); }; });

      add_pool_tool_commands(sub, action);
      return [action] { return *action ? (*action)() : tool::kExitUsage; };
    }}};

}  // namespace
