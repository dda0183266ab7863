// The pool store and plan: the canonical key across orientations and digit names, round
// trips of rows, jobs and outcomes, merging, shard plans, re-verification and queue export.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <set>

#include "api/engine_api.h"
#include "tests/group_maps_location.h"
#include "classify/canonical.h"
#include "pool/pool_check.h"
#include "pool/pool_fill.h"
#include "pool/pool_key.h"
#include "pool/pool_store.h"

namespace {

using pool::PoolPuzzle;

test_group_maps::UseShippedGroupMaps const use_shipped_maps;

std::string scratch(std::string const& name) {
  std::string const path = std::string(NONET_BINARY_DIR) + "/pool_test_" + std::to_string(::getpid()) + "_" + name;
  for (char const* suffix : {"", "-wal", "-shm"}) ::unlink((path + suffix).c_str());
  return path;
}

// Puzzles made by harvest jobs of a kind (a few per job), seeded.
std::vector<PoolPuzzle> harvested(pool::PoolKind kind, int jobs, uint64_t seed) {
  std::vector<PoolPuzzle> out;
  for (int k = 0; k < jobs; ++k) {
    pool::PoolJob job;
    job.index = k;
    job.kind = kind;
    job.seed = pool::job_seed(seed, static_cast<uint64_t>(k));
    for (PoolPuzzle const& p : pool::run_pool_job(job).puzzles) out.push_back(p);
  }
  EXPECT_FALSE(out.empty()) << "no puzzle made";
  return out;
}

// The puzzle turned by orientation t with its digits renamed by a shuffle drawn from rng.
PoolPuzzle transformed(PoolPuzzle const& p, int t, std::mt19937& rng) {
  int digits[10];
  std::iota(digits, digits + 10, 0);
  std::shuffle(digits + 1, digits + 10, rng);
  int clues[9][9], solution[9][9], groups[9][9], c2[9][9], s2[9][9], g2[9][9];
  pool::cells_of(p.clues, &clues[0][0]);
  pool::cells_of(p.solution, &solution[0][0]);
  pool::cells_of(p.groups, &groups[0][0]);
  for (int c = 0; c < 81; ++c) {
    (&clues[0][0])[c] = digits[(&clues[0][0])[c]];
    (&solution[0][0])[c] = digits[(&solution[0][0])[c]];
  }
  orient_grid(t, clues, c2);
  orient_grid(t, solution, s2);
  orient_grid(t, groups, g2);
  PoolPuzzle q = p;
  q.clues = pool::clue_text(&c2[0][0]);
  q.solution = pool::digit_text(&s2[0][0]);
  q.groups = pool::digit_text(&g2[0][0]);
  return q;
}

TEST(PoolStore, SamePuzzleInAnyOrientationAndDigitNamesIsStoredOnce) {
  std::mt19937 rng(7);
  for (pool::PoolKind kind : {pool::PoolKind{false, false}, pool::PoolKind{false, true}, pool::PoolKind{true, false}}) {
    std::vector<PoolPuzzle> const made = harvested(kind, 2, 31 + kind.x + 2 * kind.jigsaw);
    ASSERT_FALSE(made.empty());
    std::string why;
    std::string const path = scratch("orient");
    auto store = pool::PoolStore::open(path, true, why);
    ASSERT_TRUE(store) << why;
    std::set<std::string> distinct;
    for (PoolPuzzle const& p : made) {
      distinct.insert(pool::canonical_key(p));
      store->insert(p, 0);
      for (int t = 0; t < 8; ++t) {
        PoolPuzzle const q = transformed(p, t, rng);
        EXPECT_EQ(pool::canonical_key(q), pool::canonical_key(p)) << "orientation " << t;
        EXPECT_FALSE(store->insert(q, 0)) << "orientation " << t << " stored twice";
        // The turned puzzle is still a sound puzzle of its bucket.
        EXPECT_EQ(pool::check_puzzle(q, pool::kDefaultBudget), "");
      }
    }
    long stored = 0;
    for (long c : store->counts(kind, 0)) stored += c;
    EXPECT_EQ(stored, static_cast<long>(distinct.size()));
  }
}

TEST(PoolStore, KindIsPartOfTheKey) {
  PoolPuzzle p = harvested({}, 1, 5).front();
  std::string const boxes = pool::canonical_key(p);
  p.kind.x = true;
  EXPECT_NE(pool::canonical_key(p), boxes);
}

TEST(PoolStore, RowsRoundTripAndExportPicksNeverExportedFirst) {
  std::string why;
  std::string const path = scratch("rows");
  auto store = pool::PoolStore::open(path, true, why);
  ASSERT_TRUE(store) << why;
  std::vector<PoolPuzzle> made = harvested({}, 3, 99);
  store->begin();
  for (PoolPuzzle const& p : made) EXPECT_TRUE(store->insert(p, 0));
  store->commit();
  std::vector<PoolPuzzle> back;
  store->for_each([&](PoolPuzzle const& p) {
    back.push_back(p);
    return true;
  });
  ASSERT_EQ(back.size(), made.size());
  for (size_t i = 0; i < made.size(); ++i) {
    EXPECT_EQ(back[i].clues, made[i].clues);
    EXPECT_EQ(back[i].solution, made[i].solution);
    EXPECT_EQ(back[i].groups, made[i].groups);
    EXPECT_EQ(back[i].bucket, made[i].bucket);
    EXPECT_EQ(back[i].level_index, made[i].level_index);
    EXPECT_EQ(back[i].label, made[i].label);
    EXPECT_EQ(back[i].givens, made[i].givens);
    EXPECT_EQ(back[i].seed, made[i].seed);  // 64-bit seeds survive the signed column
    EXPECT_EQ(back[i].method, pool::Method::harvest);
  }
  auto first = store->pick_for_export({}, std::nullopt, 2);
  ASSERT_EQ(first.size(), 2u);
  store->mark_exported({first[0].id, first[1].id});
  auto second = store->pick_for_export({}, std::nullopt, static_cast<long>(made.size()));
  ASSERT_EQ(second.size(), made.size());
  EXPECT_FALSE(second.front().exported);
  EXPECT_TRUE(second.back().exported);
  EXPECT_TRUE(store->pick_for_export({true, false}, std::nullopt, 5).empty());
  long exported = 0;
  for (pool::BucketStats const& s : store->stats()) exported += s.exported;
  EXPECT_EQ(exported, 2);
}

TEST(PoolStore, RefusesFilesThatAreNotPoolsOrAreNewer) {
  std::string why;
  std::string const junk = scratch("junk");
  FILE* f = std::fopen(junk.c_str(), "wb");
  ASSERT_TRUE(f);
  std::fputs("not a database at all, just some bytes that are long enough to be a header page", f);
  std::fclose(f);
  EXPECT_FALSE(pool::PoolStore::open(junk, false, why));
  EXPECT_FALSE(why.empty());
  EXPECT_FALSE(pool::PoolStore::open(scratch("missing"), false, why));

  std::string const newer = scratch("newer");
  ASSERT_TRUE(pool::PoolStore::open(newer, true, why));
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(newer.c_str(), &db), SQLITE_OK);
  sqlite3_exec(db, "UPDATE pool_meta SET value='99' WHERE key='schema_version'", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  why.clear();
  EXPECT_FALSE(pool::PoolStore::open(newer, false, why));
  EXPECT_NE(why.find("newer"), std::string::npos) << why;
}

TEST(PoolStore, MergeKeepsEachPuzzleOnceAndMapsStreams) {
  std::string why;
  std::string const a = scratch("merge_a"), b = scratch("merge_b");
  std::vector<PoolPuzzle> const made = harvested({}, 4, 12);
  ASSERT_GE(made.size(), 4u);
  size_t const half = made.size() / 2;
  {
    auto sa = pool::PoolStore::open(a, true, why);
    auto sb = pool::PoolStore::open(b, true, why);
    ASSERT_TRUE(sa && sb);
    pool::FillPlan plan;
    plan.seed = 3;
    int64_t const stream = sb->stream(plan).id;
    for (size_t i = 0; i <= half; ++i) sa->insert(made[i], 0);
    std::mt19937 rng(1);
    for (size_t i = half; i < made.size(); ++i) sb->insert(transformed(made[i], static_cast<int>(i % 8), rng), stream);
  }
  auto out = pool::PoolStore::open(a, false, why);
  ASSERT_TRUE(out);
  EXPECT_EQ(out->merge_from(b, why), static_cast<long>(made.size() - half - 1)) << why;
  EXPECT_EQ(out->merge_from(b, why), 0);
  pool::FillPlan plan;
  plan.seed = 3;
  int64_t const stream = out->stream(plan).id;
  long from_stream = 0;
  for (long c : out->counts({}, stream)) from_stream += c;
  EXPECT_EQ(from_stream, static_cast<long>(made.size() - half - 1));
  EXPECT_LT(out->merge_from(scratch("absent"), why), 0);
}

TEST(PoolPlan, JobsAndOutcomesRoundTripAsText) {
  pool::PoolJob job;
  job.index = 123456789012;
  job.method = 7;
  job.kind = {true, true};
  job.seed = 0xFEDCBA9876543210ull;
  job.budget = 4321;
  pool::PoolJob back;
  ASSERT_TRUE(pool::parse_job(job.text(), back));
  EXPECT_EQ(back.text(), job.text());
  EXPECT_EQ(back.seed, job.seed);
  EXPECT_FALSE(pool::parse_job("1 11 0 0 5 100", back));
  EXPECT_FALSE(pool::parse_job("garbage", back));

  pool::JobOutcome outcome = pool::run_pool_job(pool::PoolJob{});
  outcome.cpu_seconds = 0.1234567890123;
  pool::JobOutcome parsed;
  ASSERT_TRUE(pool::parse_outcome(outcome.text(), parsed));
  EXPECT_EQ(parsed.text(), outcome.text());
  ASSERT_EQ(parsed.puzzles.size(), outcome.puzzles.size());
  for (size_t i = 0; i < parsed.puzzles.size(); ++i) EXPECT_EQ(parsed.puzzles[i].label, outcome.puzzles[i].label);
  std::string cut = outcome.text();
  cut.resize(cut.size() / 2);
  EXPECT_FALSE(pool::parse_outcome(cut, parsed));
}

TEST(PoolPlan, SharesAddUpAndShardsTakeDisjointJobs) {
  for (long target : {0L, 1L, 7L, 100L, 101L})
    for (int n : {1, 2, 3, 8}) {
      long sum = 0;
      for (int k = 0; k < n; ++k) sum += pool::shard_share(target, k, n);
      EXPECT_EQ(sum, target);
    }
  pool::FillPlan plan;
  plan.seed = 77;
  plan.targets[0] = 100;
  plan.shards = 3;
  std::set<int64_t> indices;
  std::set<uint64_t> seeds;
  size_t jobs = 0;
  for (int k = 0; k < 3; ++k) {
    plan.shard = k;
    for (long batch = 0; batch < 4; ++batch)
      for (pool::PoolJob const& j : pool::plan_batch(plan, batch, {}, {})) {
        indices.insert(j.index);
        seeds.insert(j.seed);
        ++jobs;
        EXPECT_EQ(j.seed, pool::job_seed(77, static_cast<uint64_t>(j.index)));
        EXPECT_EQ(j.method, -1) << "no rates yet: harvests";
      }
  }
  EXPECT_EQ(indices.size(), jobs);
  EXPECT_EQ(seeds.size(), jobs);
  EXPECT_EQ(*indices.rbegin(), static_cast<int64_t>(jobs) - 1);  // the shards tile the stream
}

TEST(PoolPlan, ABucketHarvestRarelyMeetsIsProbedThenGoesToTheCheaperMethod) {
  pool::FillPlan plan;
  plan.seed = 1;
  plan.targets[0] = 50;
  plan.targets[8] = 10;
  pool::StreamRates rates;
  rates.harvest.jobs = 64;
  rates.harvest.ratings = 64 * 100;
  rates.harvest.found[0] = 60;
  rates.harvest.found[8] = 1;
  auto methods = [&] {
    std::multiset<int> m;
    for (pool::PoolJob const& j : pool::plan_batch(plan, 4, rates, {10, 0, 0, 0, 0, 0, 0, 0, 0, 0})) m.insert(j.method);
    return m;
  };
  EXPECT_EQ(methods().count(8), 1u) << "one probe job";
  EXPECT_GT(methods().count(-1), 0u);
  rates.targeted[8].jobs = 4;
  rates.targeted[8].ratings = 4 * 500;
  rates.targeted[8].found[8] = 3;  // 667 ratings a puzzle against 6400 by harvest
  EXPECT_GT(methods().count(8), 1u);
  rates.targeted[8].found[8] = 0;  // 4000 a puzzle (half a puzzle assumed) against 6400: still cheaper
  rates.targeted[8].ratings = 4 * 5000;
  EXPECT_EQ(methods().count(8), 0u) << "dearer than harvest";
  rates.harvest.cpu_seconds = 64 * 0.003;
  rates.targeted[8].cpu_seconds = 4 * 0.0001;  // fewer CPU seconds a puzzle than harvest
  EXPECT_EQ(methods().count(8), 0u) << "ratings decide unless asked otherwise";
  plan.choose_by_cpu = true;
  EXPECT_GT(methods().count(8), 0u) << "CPU time decides";
  plan.choose_by_cpu = false;
  EXPECT_LE(pool::plan_batch(plan, 4, rates, {}).size(), static_cast<size_t>(plan.batch_jobs));
  EXPECT_TRUE(pool::plan_batch(plan, 4, rates, {50, 0, 0, 0, 0, 0, 0, 0, 10, 0}).empty());
}

TEST(PoolCheck, FindsDamagedRows) {
  std::vector<PoolPuzzle> const made = harvested({true, false}, 1, 8);
  ASSERT_FALSE(made.empty());
  PoolPuzzle const& good = made.front();
  EXPECT_EQ(pool::check_puzzle(good, pool::kDefaultBudget), "");
  struct Damage {
    char const* what;
    void (*apply)(PoolPuzzle&);
    char const* expect;
  } const damages[] = {
      {"solution", [](PoolPuzzle& p) { std::swap(p.solution[0], p.solution[1]); }, "solution"},
      {"bucket", [](PoolPuzzle& p) { p.bucket = (p.bucket + 3) % 10; }, "bucket"},
      {"givens", [](PoolPuzzle& p) { ++p.givens; }, "givens"},
      {"clue gone", [](PoolPuzzle& p) {
         p.clues[p.clues.find_first_not_of('.')] = '.';
         --p.givens;
       }, ""},
      {"groups", [](PoolPuzzle& p) { p.groups[0] = p.groups[0] == '0' ? '1' : '0'; }, "groups"},
      {"short", [](PoolPuzzle& p) { p.clues.pop_back(); }, "81"},
  };
  for (Damage const& d : damages) {
    PoolPuzzle bad = good;
    d.apply(bad);
    std::string const verdict = pool::check_puzzle(bad, pool::kDefaultBudget);
    EXPECT_NE(verdict, "") << d.what;
    EXPECT_NE(verdict.find(d.expect), std::string::npos) << d.what << ": " << verdict;
  }
}

TEST(PoolQueue, ExportedGamesLoadWithTheirCluesAndBuckets) {
  std::vector<PoolPuzzle> made = harvested({true, true}, 2, 4);
  std::vector<PoolPuzzle> boxes = harvested({}, 1, 4);
  made.insert(made.end(), boxes.begin(), boxes.end());
  std::vector<unsigned char> blob;
  std::string why;
  ASSERT_TRUE(pool::queue_blob(made, blob, why)) << why;
  SudokuQueue* q = sudoku_queue_load(blob.data(), static_cast<long long>(blob.size()));
  ASSERT_TRUE(q);
  ASSERT_EQ(sudoku_queue_game_count(q), static_cast<int>(made.size()));
  std::vector<unsigned char> cells(static_cast<size_t>(sudoku_puzzle_byte_size()));
  for (size_t i = 0; i < made.size(); ++i) {
    int colours[9], map = -1, adjacency = -1, difficulty = -1;
    ASSERT_EQ(sudoku_queue_get_game(q, static_cast<int>(i), cells.data(), colours, &map, &adjacency, &difficulty), 1);
    EXPECT_EQ(map, made[i].kind.jigsaw ? 1 : 0);
    EXPECT_EQ(adjacency, made[i].kind.x ? 1 : 0);
    EXPECT_EQ(difficulty, made[i].bucket);
    SudokuPuzzle* h = sudoku_new();
    sudoku_set_puzzle_bytes(h, cells.data());
    sudoku_setup_loaded(h, map, adjacency);
    std::string groups(81, '0');
    for (int c = 0; c < 81; ++c) {
      int view[9];
      sudoku_get_cell(h, c, view);
      groups[c] = static_cast<char>('0' + view[6]);
      EXPECT_EQ((view[1] & 1) != 0, made[i].clues[c] != '.') << "game " << i << " cell " << c;
      EXPECT_EQ(view[0], made[i].solution[c] - '0') << "game " << i << " cell " << c;
    }
    EXPECT_EQ(groups, made[i].groups);
    sudoku_free(h);
  }
  sudoku_queue_free(q);
  std::vector<PoolPuzzle> const too_many(static_cast<size_t>(pool::queue_file_capacity()) + 1, made.front());
  EXPECT_FALSE(pool::queue_blob(too_many, blob, why));
}

}  // namespace
