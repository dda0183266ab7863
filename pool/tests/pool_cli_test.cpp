// nonet pool as a program: fills that resume after Ctrl-C and kill -9 and end with the same
// pool as an uninterrupted fill, shard plans merged, queue export, check, usage errors.
#include <gtest/gtest.h>
#include <signal.h>
#include <sqlite3.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "api/engine_api.h"
#include "tests/cli_run.h"

namespace {

using cli_run::run_args;

std::string fresh(std::string const& name) {
  std::string const path = cli_run::scratch(name);
  for (char const* suffix : {"", "-wal", "-shm"}) ::unlink((path + suffix).c_str());
  return path;
}

// Rows of a pool as sorted text (key, bucket, how made, seed): equal pools give equal lists.
std::vector<std::string> rows(std::string const& path, std::string const& where = "") {
  sqlite3* db = nullptr;
  std::vector<std::string> out;
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) return out;
  sqlite3_stmt* s = nullptr;
  std::string const sql = "SELECT canonical || ' ' || bucket || ' ' || method || ' ' || seed FROM puzzles " + where +
                          " ORDER BY canonical";
  sqlite3_prepare_v2(db, sql.c_str(), -1, &s, nullptr);
  while (s && sqlite3_step(s) == SQLITE_ROW) out.emplace_back(reinterpret_cast<char const*>(sqlite3_column_text(s, 0)));
  sqlite3_finalize(s);
  sqlite3_close(db);
  return out;
}

void exec(std::string const& path, char const* sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(path.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(db);
  sqlite3_close(db);
}

constexpr char kTargets[] = "quickie=30,easy=30,moderate=30,moderately_hard=4";

std::vector<std::string> fill_args(std::string const& db, std::vector<std::string> more = {},
                                   char const* threads = "2") {
  std::vector<std::string> a = {"pool", "fill", db, "--target", kTargets, "--seed", "2024", "-j", threads,
                                "--batch-jobs", "8"};
  a.insert(a.end(), more.begin(), more.end());
  return a;
}

class PoolCli : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!cli_run::have_cli()) GTEST_SKIP() << "the nonet tool is not built";
  }
};

TEST_F(PoolCli, StoppedFillsResumeToTheSamePoolAsOneUninterruptedFill) {
  std::string const whole = fresh("whole.db");
  auto const r = run_args(fill_args(whole));
  ASSERT_EQ(r.status, 0) << r.err;
  std::vector<std::string> const expected = rows(whole);
  EXPECT_EQ(expected.size(), 94u);
  auto const again = run_args(fill_args(whole));
  EXPECT_EQ(again.status, 0);
  EXPECT_NE(again.err.find("stored 0 puzzles"), std::string::npos) << again.err;

  // kill -9 and Ctrl-C at a few moments: the store stays sound and the next fill completes it.
  for (int signal_number : {SIGKILL, SIGINT, SIGTERM}) {
    for (int after_ms : {30, 150}) {
      std::string const db = fresh("stopped.db");
      auto const stopped = run_args(fill_args(db), "/dev/null", after_ms, signal_number);
      // Ctrl-C and SIGTERM end a fill with 130 (or by the signal itself, when it came before the
      // handlers were set up).
      if (signal_number != SIGKILL && stopped.status != 0) {
        EXPECT_TRUE(stopped.status == 130 || stopped.status == 128 + signal_number) << stopped.status << stopped.err;
      }
      // A process stopped before it opened the pool leaves no file to check.
      if (::access(db.c_str(), F_OK) == 0) {
        auto const check = run_args({"pool", "check", db});
        EXPECT_EQ(check.status, 0) << check.out << check.err;
      }
      auto const resumed = run_args(fill_args(db));
      ASSERT_EQ(resumed.status, 0) << resumed.err;
      EXPECT_EQ(rows(db), expected) << "signal " << signal_number << " after " << after_ms << " ms";
    }
  }
}

TEST_F(PoolCli, TwoShardsMergedEqualBothShardsFilledInOnePool) {
  std::string const one = fresh("one.db"), a = fresh("shard1.db"), b = fresh("shard2.db"), merged = fresh("m.db");
  for (std::string const shard : {"1/2", "2/2"}) {
    EXPECT_EQ(run_args(fill_args(one, {"--shard", shard})).status, 0);
    EXPECT_EQ(run_args(fill_args(shard == std::string("1/2") ? a : b, {"--shard", shard}, "1")).status, 0);
  }
  auto const m = run_args({"pool", "merge", merged, a, b});
  ASSERT_EQ(m.status, 0) << m.err;
  EXPECT_EQ(rows(merged), rows(one));
  EXPECT_EQ(rows(merged).size(), 94u);
  // The shards' streams are disjoint: the two halves share no puzzle.
  EXPECT_EQ(rows(a).size() + rows(b).size(), rows(merged).size());
  // Merging again adds nothing.
  auto const again = run_args({"pool", "merge", merged, a});
  EXPECT_NE(again.err.find(": 0 puzzles added"), std::string::npos) << again.err;
}

TEST_F(PoolCli, ExportWritesQueueFilesTheLoaderAcceptsNeverExportedFirst) {
  std::string const db = fresh("export.db"), queue = fresh("q.z");
  ASSERT_EQ(run_args({"pool", "fill", db, "--target", "easy=6,moderate=5", "--seed", "9", "--x"}).status, 0);
  std::vector<std::string> seen;
  for (int round = 0; round < 2; ++round) {
    auto const e = run_args({"pool", "export", db, "--queue", queue, "--games", "5", "--x"});
    ASSERT_EQ(e.status, 0) << e.err;
    std::string const packed = cli_run::slurp(queue);
    std::vector<unsigned char> blob(4 << 20);
    uLongf length = blob.size();
    ASSERT_EQ(uncompress(blob.data(), &length, reinterpret_cast<Bytef const*>(packed.data()), packed.size()), Z_OK);
    SudokuQueue* q = sudoku_queue_load(blob.data(), static_cast<long long>(length));
    ASSERT_TRUE(q);
    ASSERT_EQ(sudoku_queue_game_count(q), 5);
    std::vector<unsigned char> cells(static_cast<size_t>(sudoku_puzzle_byte_size()));
    for (int i = 0; i < 5; ++i) {
      int colours[9], map = -1, adjacency = -1, difficulty = -1;
      ASSERT_EQ(sudoku_queue_get_game(q, i, cells.data(), colours, &map, &adjacency, &difficulty), 1);
      EXPECT_EQ(adjacency, 1);
      EXPECT_TRUE(difficulty == 1 || difficulty == 3) << difficulty;
      seen.emplace_back(reinterpret_cast<char const*>(cells.data()), cells.size());
    }
    sudoku_queue_free(q);
  }
  // Ten games from eleven puzzles: the second file holds the five not exported by the first.
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end());
  EXPECT_EQ(rows(db, "WHERE exported IS NOT NULL").size(), 10u);

  auto const lines = run_args({"pool", "export", db, "-f", "jsonl", "--x", "--bucket", "moderate"});
  EXPECT_EQ(lines.status, 0);
  EXPECT_EQ(cli_run::count_lines(lines.out), 5);
  EXPECT_NE(lines.out.find("\"bucket\":\"moderate\""), std::string::npos);
  auto const csv = run_args({"pool", "export", db, "-f", "csv", "--x"});
  EXPECT_EQ(cli_run::count_lines(csv.out), 12);
  auto const short_pool = run_args({"pool", "export", db, "--queue", queue, "--games", "50", "--x"});
  EXPECT_EQ(short_pool.status, 1);
  auto const stats = run_args({"pool", "stats", db, "-f", "json"});
  EXPECT_EQ(cli_run::count_lines(stats.out), 2) << stats.out;
}

TEST_F(PoolCli, CheckReportsDamagedRowsById) {
  std::string const db = fresh("check.db");
  ASSERT_EQ(run_args({"pool", "fill", db, "--target", "easy=3,moderate=3", "--seed", "5", "--jigsaw"}).status, 0);
  EXPECT_EQ(run_args({"pool", "check", db, "-j", "2"}).status, 0);
  exec(db, "UPDATE puzzles SET bucket = 9 WHERE id = 2; "
           "UPDATE puzzles SET solution = '1' || substr(solution, 2) WHERE id = 4 AND substr(solution, 1, 1) != '1';"
           "UPDATE puzzles SET solution = '2' || substr(solution, 2) WHERE id = 4 AND substr(solution, 1, 1) = '1';");
  auto const r = run_args({"pool", "check", db});
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.out.find("puzzle 2: stored bucket beyond_hell"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("puzzle 4: the stored solution differs"), std::string::npos) << r.out;
  EXPECT_EQ(cli_run::count_lines(r.out), 2);
}

TEST_F(PoolCli, UsageErrorsAndMissingFiles) {
  std::string const db = fresh("usage.db");
  struct Case {
    std::vector<std::string> args;
    int status;
    char const* message;
  } const cases[] = {
      {{"pool", "fill", db, "--target", "easy"}, 2, "BUCKET=N"},
      {{"pool", "fill", db, "--target", "nosuch=3"}, 2, "BUCKET=N"},
      {{"pool", "fill", db, "--target", "easy=0"}, 2, "BUCKET=N"},
      {{"pool", "fill", db, "--target", "easy=3", "--shard", "3/2", "--seed", "1"}, 2, "K/N"},
      {{"pool", "fill", db, "--target", "easy=3", "--shard", "1/2"}, 2, "needs --seed"},
      {{"pool", "stats", db + ".absent"}, 1, "no such file"},
      {{"pool", "check", "/dev/null"}, 1, "nonet pool check"},
      {{"pool", "export", db + ".absent", "-f", "jsonl"}, 1, "no such file"},
      {{"pool", "export", db, "--games", "3"}, 2, "--queue"},
      {{"pool", "merge", db, db + ".absent"}, 1, "cannot read"},
  };
  for (Case const& c : cases) {
    auto const r = run_args(c.args);
    EXPECT_EQ(r.status, c.status) << c.args[1] << " " << r.err;
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
  }
}

}  // namespace
