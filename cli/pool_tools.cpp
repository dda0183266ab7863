#include "cli/pool_tools.h"

#include <unistd.h>
#include <zlib.h>

#include <atomic>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <optional>
#include <thread>

#include "classify/classify.h"
#include "cli/tool.h"
#include "pool/pool_check.h"
#include "pool/pool_plan.h"
#include "pool/pool_store.h"

namespace {

struct ToolOptions {
  std::string pool;
  std::vector<std::string> inputs;
  std::string queue, bucket, format = "text";
  long games = 0;
  bool jigsaw = false, x = false, raw = false, rates = false;
  int threads = 1;
  int budget = pool::kDefaultBudget;
};

std::unique_ptr<pool::PoolStore> open_pool(char const* who, std::string const& path, bool create) {
  std::string why;
  // An existing file only, unless asked to create: a typo must not make an empty pool.
  if (!create && ::access(path.c_str(), F_OK) != 0) why = "no such file";
  std::unique_ptr<pool::PoolStore> store = why.empty() ? pool::PoolStore::open(path, create, why) : nullptr;
  if (!store) tool::say(who, tool::escaped(path) + ": " + tool::escaped(why));
  return store;
}

std::string kind_name(pool::PoolKind k) {
  return std::string(k.jigsaw ? "jigsaw" : "boxes") + (k.x ? "+x" : "");
}

// Per kind and method: jobs, CPU time, ratings, and puzzles made per bucket with their rate per core-hour.
void print_rates(std::vector<pool::KindRates> const& rates) {
  if (rates.empty()) return;
  std::printf("\n%-10s %-26s %7s %9s %10s  %s\n", "kind", "method", "jobs", "cpu s", "ratings",
              "puzzles made (per core-hour)");
  for (pool::KindRates const& k : rates) {
    std::string const method = k.method < 0 ? "harvest" : std::string("targeted ") + gen_bucket_name(k.method);
    std::string made;
    for (int b = 0; b < pool::kBuckets; ++b) {
      if (!k.rates.found[b]) continue;
      double const per_hour =
          k.rates.cpu_seconds > 0 ? static_cast<double>(k.rates.found[b]) * 3600 / k.rates.cpu_seconds : 0;
      char item[96];
      std::snprintf(item, sizeof item, "%s%s %ld (%.0f)", made.empty() ? "" : ", ", gen_bucket_name(b),
                    k.rates.found[b], per_hour);
      made += item;
    }
    std::printf("%-10s %-26s %7ld %9.1f %10ld  %s\n", kind_name(k.kind).c_str(), method.c_str(), k.rates.jobs,
                k.rates.cpu_seconds, k.rates.ratings, made.c_str());
  }
}

int run_stats(ToolOptions const& o) {
  constexpr char kWho[] = "nonet pool stats";
  auto store = open_pool(kWho, o.pool, false);
  if (!store) return tool::kExitInputProblem;
  try {
    std::vector<pool::BucketStats> const rows = store->stats();
    if (o.format == "json") {
      for (pool::BucketStats const& r : rows)
        std::cout << nlohmann::json{{"jigsaw", r.kind.jigsaw}, {"x", r.kind.x}, {"bucket", gen_bucket_name(r.bucket)},
                                    {"bucket_index", r.bucket}, {"count", r.count}, {"exported", r.exported},
                                    {"min_givens", r.min_givens}, {"max_givens", r.max_givens}}
                         .dump()
                  << "\n";
      return tool::kExitOk;
    }
    std::printf("%-10s %-16s %9s %9s %s\n", "kind", "bucket", "puzzles", "exported", "givens");
    long total = 0;
    for (pool::BucketStats const& r : rows) {
      std::printf("%-10s %-16s %9ld %9ld %d-%d\n", kind_name(r.kind).c_str(), gen_bucket_name(r.bucket), r.count,
                  r.exported, r.min_givens, r.max_givens);
      total += r.count;
    }
    std::printf("%-27s %9ld\n", "total", total);
    if (o.rates) print_rates(store->rates());
  } catch (std::exception const& e) {
    tool::say(kWho, tool::escaped(o.pool) + ": " + tool::escaped(e.what()));
    return tool::kExitInputProblem;
  }
  return tool::kExitOk;
}

std::string csv_row(pool::PoolPuzzle const& p) {
  return std::to_string(p.id) + "," + p.clues + "," + p.solution + "," + p.groups + "," + (p.kind.jigsaw ? "1" : "0") +
         "," + (p.kind.x ? "1" : "0") + "," + gen_bucket_name(p.bucket) + "," + std::to_string(p.level_index) + "," +
         tool::json_string(p.label) + "," + std::to_string(p.givens) + "," + pool::method_name(p.method) + "," +
         std::to_string(p.seed) + "\n";
}

std::string json_row(pool::PoolPuzzle const& p) {
  return nlohmann::json{{"id", p.id},
                        {"clues", p.clues},
                        {"solution", p.solution},
                        {"groups", p.groups},
                        {"jigsaw", p.kind.jigsaw},
                        {"x", p.kind.x},
                        {"bucket", gen_bucket_name(p.bucket)},
                        {"bucket_index", p.bucket},
                        {"level_index", p.level_index},
                        {"label", p.label},
                        {"givens", p.givens},
                        {"method", pool::method_name(p.method)},
                        {"seed", p.seed},
                        {"exported", p.exported}}
             .dump() +
         "\n";
}

// Writes bytes to path through a temporary file in the same folder, so a reader never sees half a file.
bool write_whole(std::string const& path, std::vector<unsigned char> const& bytes) {
  std::string const tmp = path + ".tmp" + std::to_string(::getpid());
  {
    std::ofstream f(tmp, std::ios::binary);
    f.write(reinterpret_cast<char const*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f.flush()) {
      std::remove(tmp.c_str());
      return false;
    }
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::remove(tmp.c_str());
    return false;
  }
  return true;
}

int run_export(ToolOptions const& o) {
  constexpr char kWho[] = "nonet pool export";
  std::optional<int> bucket;
  if (!o.bucket.empty()) {
    int const b = parse_bucket_name(o.bucket.c_str());
    if (b < 0) {
      tool::say(kWho, "unknown bucket '" + tool::escaped(o.bucket) + "'");
      return tool::kExitUsage;
    }
    bucket = b;
  }
  bool const queue = !o.queue.empty();
  if (queue == (o.format != "queue")) {
    tool::say(kWho, queue ? "--queue writes a queue file: leave out -f" : "give --queue FILE, or -f jsonl|csv");
    return tool::kExitUsage;
  }
  if (queue && o.games < 1) {
    tool::say(kWho, "--queue needs --games N");
    return tool::kExitUsage;
  }
  auto store = open_pool(kWho, o.pool, false);
  if (!store) return tool::kExitInputProblem;
  pool::PoolKind const kind{o.jigsaw, o.x};
  try {
    long const limit = o.games > 0 ? o.games : -1;
    std::vector<pool::PoolPuzzle> const picked = store->pick_for_export(kind, bucket, limit);
    if (!queue) {
      if (o.format == "csv") std::cout << "id,clues,solution,groups,jigsaw,x,bucket,level_index,label,givens,method,seed\n";
      for (pool::PoolPuzzle const& p : picked) std::cout << (o.format == "csv" ? csv_row(p) : json_row(p));
      return tool::kExitOk;
    }
    if (static_cast<long>(picked.size()) < o.games) {
      tool::say(kWho, "the pool holds " + std::to_string(picked.size()) + " puzzles of that kind" +
                          (bucket ? std::string(" and bucket") : "") + ", not " + std::to_string(o.games) +
                          "; nothing written");
      return tool::kExitInputProblem;
    }
    std::vector<unsigned char> blob;
    std::string why;
    if (!pool::queue_blob(picked, blob, why)) {
      tool::say(kWho, why);
      return tool::kExitInputProblem;
    }
    if (!o.raw) {
      uLongf packed = compressBound(blob.size());
      std::vector<unsigned char> out(packed);
      if (compress2(out.data(), &packed, blob.data(), blob.size(), Z_BEST_COMPRESSION) != Z_OK) {
        tool::say(kWho, "compression failed");
        return tool::kExitInputProblem;
      }
      out.resize(packed);
      blob.swap(out);
    }
    if (!write_whole(o.queue, blob)) {
      tool::say(kWho, "cannot write " + tool::escaped(o.queue));
      return tool::kExitInputProblem;
    }
    std::vector<int64_t> ids;
    long fresh = 0;
    for (pool::PoolPuzzle const& p : picked) {
      ids.push_back(p.id);
      fresh += !p.exported;
    }
    store->begin();
    store->mark_exported(ids);
    store->commit();
    tool::say(kWho, "wrote " + std::to_string(picked.size()) + " games (" + std::to_string(fresh) +
                        " not exported before) to " + tool::escaped(o.queue));
  } catch (std::exception const& e) {
    store->rollback();
    tool::say(kWho, tool::escaped(o.pool) + ": " + tool::escaped(e.what()));
    return tool::kExitInputProblem;
  }
  return tool::kExitOk;
}

int run_merge(ToolOptions const& o) {
  constexpr char kWho[] = "nonet pool merge";
  auto store = open_pool(kWho, o.pool, true);
  if (!store) return tool::kExitInputProblem;
  int status = tool::kExitOk;
  for (std::string const& in : o.inputs) {
    std::string why;
    if (::access(in.c_str(), R_OK) != 0) why = "cannot read it";
    long const added = why.empty() ? store->merge_from(in, why) : -1;
    if (added < 0) {
      tool::say(kWho, tool::escaped(in) + ": " + tool::escaped(why));
      status = tool::kExitInputProblem;
      continue;
    }
    tool::say(kWho, tool::escaped(in) + ": " + std::to_string(added) + " puzzles added");
  }
  return status;
}

// Checks the puzzles in chunks on worker threads; damaged rows are printed by id in id order.
int run_check(ToolOptions const& o) {
  constexpr char kWho[] = "nonet pool check";
  auto store = open_pool(kWho, o.pool, false);
  if (!store) return tool::kExitInputProblem;
  tool::catch_interrupts();
  long checked = 0, damaged = 0;
  std::vector<pool::PoolPuzzle> chunk;
  auto check_chunk = [&] {
    std::vector<std::string> verdicts(chunk.size());
    std::atomic<size_t> next{0};
    auto work = [&] {
      for (size_t k; (k = next.fetch_add(1)) < chunk.size();) verdicts[k] = pool::check_puzzle(chunk[k], o.budget);
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < o.threads; ++t) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    for (size_t k = 0; k < chunk.size(); ++k)
      if (!verdicts[k].empty()) {
        std::cout << "puzzle " << chunk[k].id << ": " << verdicts[k] << "\n";
        ++damaged;
      }
    checked += static_cast<long>(chunk.size());
    chunk.clear();
    tool::progress(std::to_string(checked) + " puzzles checked, " + std::to_string(damaged) + " damaged");
  };
  try {
    for (std::string const& problem : store->integrity_problems()) {
      std::cout << "database: " << problem << "\n";
      ++damaged;
    }
    store->for_each([&](pool::PoolPuzzle const& p) {
      if (tool::interrupted()) return false;
      chunk.push_back(p);
      if (chunk.size() == 1024) check_chunk();
      return true;
    });
    if (!tool::interrupted()) check_chunk();
  } catch (std::exception const& e) {
    tool::progress_finish();
    tool::say(kWho, tool::escaped(o.pool) + ": " + tool::escaped(e.what()));
    return tool::kExitInputProblem;
  }
  tool::progress_finish();
  tool::say(kWho, std::to_string(checked) + " puzzles checked, " + std::to_string(damaged) + " damaged");
  if (tool::interrupted()) return tool::kExitInterrupted;
  return damaged ? tool::kExitInputProblem : tool::kExitOk;
}

}  // namespace

void add_pool_tool_commands(CLI::App& sub, std::shared_ptr<std::function<int()>> const& action) {
  auto o = std::make_shared<ToolOptions>();
  CLI::App* s = sub.add_subcommand("stats", "Puzzles per kind and bucket, with exported counts and givens ranges");
  s->add_option("pool", o->pool, "Pool file")->required();
  tool::add_format_option(*s, o->format, {"text", "json"}, "text: a table; json: JSON Lines, one object a bucket");
  s->add_flag("--rates", o->rates,
              "text: also what the fills measured per kind and method (jobs, CPU time, puzzles per core-hour)");
  s->callback([=] { *action = [=] { return run_stats(*o); }; });

  CLI::App* e = sub.add_subcommand(
      "export", "Write a queue file of games (puzzles never exported first, then marked exported), or print "
                "puzzles as JSON Lines or CSV");
  e->add_option("pool", o->pool, "Pool file")->required();
  e->add_option("--queue", o->queue, "Queue file to write (zlib-compressed, for the engine's loader)");
  e->add_option("--games", o->games, "Games in the queue file (at most " +
                                         std::to_string(pool::queue_file_capacity()) + "); with -f: at most this many")
      ->check(CLI::Range(1, pool::queue_file_capacity()));
  e->add_option("--bucket", o->bucket, "Only this bucket (quickie .. beyond_hell, or an alias)");
  e->add_flag("--jigsaw", o->jigsaw, "Jigsaw puzzles (default: the boxes)");
  e->add_flag("--x", o->x, "Puzzles with both diagonals as units");
  e->add_flag("--raw", o->raw, "With --queue: the uncompressed blob");
  tool::add_format_option(*e, o->format, {"queue", "jsonl", "csv"},
                          "queue (with --queue), jsonl (JSON Lines, one object a puzzle) or csv");
  e->callback([=] { *action = [=] { return run_export(*o); }; });

  CLI::App* m = sub.add_subcommand("merge", "Copy pools into one (the same puzzle is kept once)");
  m->add_option("out", o->pool, "Pool file to merge into (created if missing)")->required();
  m->add_option("inputs", o->inputs, "Pool files to copy in")->required();
  m->callback([=] { *action = [=] { return run_merge(*o); }; });

  CLI::App* c = sub.add_subcommand(
      "check", "Re-verify every stored puzzle (one solution equal to the stored one, the stored bucket); damaged "
               "rows are printed by id and the exit status is 1");
  c->add_option("pool", o->pool, "Pool file")->required();
  c->add_option("-j,--threads", o->threads, "Worker threads")->check(CLI::Range(1, 256))->capture_default_str();
  c->add_option("--budget", o->budget, "Search nodes a rating may spend (as the fill used)")
      ->check(CLI::Range(1, 1000000000))
      ->capture_default_str();
  c->callback([=] { *action = [=] { return run_check(*o); }; });
}
