// The pool store over SQLite's C interface: prepared statements kept for the life of the
// store, errors raised as std::runtime_error with SQLite's text.
#include "pool/pool_store.h"

#include <sqlite3.h>

#include <cstdlib>
#include <sstream>
#include <stdexcept>

#include "pool/pool_key.h"
#include "pool/pool_schema.h"

namespace pool {

namespace {

struct Statement {
  sqlite3_stmt* s = nullptr;
  Statement() = default;
  Statement(sqlite3* db, char const* sql) {
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK) throw std::runtime_error(sqlite3_errmsg(db));
  }
  ~Statement() { sqlite3_finalize(s); }
  Statement(Statement const&) = delete;
  Statement& operator=(Statement const&) = delete;
  // Resets the statement for a new run with fresh bindings.
  sqlite3_stmt* fresh() {
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    return s;
  }
};

void exec(sqlite3* db, char const* sql) {
  char* message = nullptr;
  if (sqlite3_exec(db, sql, nullptr, nullptr, &message) != SQLITE_OK) {
    std::string const text = message ? message : sqlite3_errmsg(db);
    sqlite3_free(message);
    throw std::runtime_error(text);
  }
}

// Runs a statement to its end; true when it produced a row first.
bool step(sqlite3* db, sqlite3_stmt* s) {
  int const rc = sqlite3_step(s);
  if (rc == SQLITE_ROW) return true;
  if (rc != SQLITE_DONE) throw std::runtime_error(sqlite3_errmsg(db));
  return false;
}

std::string column_text(sqlite3_stmt* s, int i) {
  auto const* t = reinterpret_cast<char const*>(sqlite3_column_text(s, i));
  return t ? t : "";
}

void bind_text(sqlite3_stmt* s, int i, std::string const& t) {
  sqlite3_bind_text(s, i, t.data(), static_cast<int>(t.size()), SQLITE_TRANSIENT);
}

std::string found_text(std::array<long, kBuckets> const& found) {
  std::string s;
  for (int b = 0; b < kBuckets; ++b) s += (b ? " " : "") + std::to_string(found[b]);
  return s;
}

std::array<long, kBuckets> found_of(std::string const& text) {
  std::array<long, kBuckets> found{};
  std::istringstream in(text);
  for (long& f : found) in >> f;
  return found;
}

Method method_of(std::string const& name) {
  return name == "targeted" ? Method::targeted : name == "generate" ? Method::generate : Method::harvest;
}

constexpr char kPuzzleColumns[] =
    "id, clues, solution, groups, jigsaw, x, bucket, level_index, label, givens, method, seed, exported IS NOT NULL";

PoolPuzzle puzzle_row(sqlite3_stmt* s) {
  PoolPuzzle p;
  p.id = sqlite3_column_int64(s, 0);
  p.clues = column_text(s, 1);
  p.solution = column_text(s, 2);
  p.groups = column_text(s, 3);
  p.kind = PoolKind{sqlite3_column_int(s, 4) != 0, sqlite3_column_int(s, 5) != 0};
  p.bucket = sqlite3_column_int(s, 6);
  p.level_index = sqlite3_column_int(s, 7);
  p.label = column_text(s, 8);
  p.givens = sqlite3_column_int(s, 9);
  p.method = method_of(column_text(s, 10));
  p.seed = static_cast<uint64_t>(sqlite3_column_int64(s, 11));
  p.exported = sqlite3_column_int(s, 12) != 0;
  return p;
}

}  // namespace

char const* method_name(Method m) {
  return m == Method::targeted ? "targeted" : m == Method::generate ? "generate" : "harvest";
}

// The statement of the hot path, prepared once; the others are prepared where they run.
struct PoolStore::Statements {
  Statement insert;
  explicit Statements(sqlite3* db)
      : insert(db,
               "INSERT OR IGNORE INTO puzzles(canonical, clues, solution, groups, jigsaw, x, bucket, level_index, "
               "label, givens, method, seed, stream) VALUES(?,?,?,?,?,?,?,?,?,?,?,?,?)") {}
};

std::unique_ptr<PoolStore> PoolStore::open(std::string const& path, bool create, std::string& why) {
  sqlite3* db = nullptr;
  int const flags = SQLITE_OPEN_READWRITE | (create ? SQLITE_OPEN_CREATE : 0);
  if (sqlite3_open_v2(path.c_str(), &db, flags, nullptr) != SQLITE_OK) {
    why = db ? sqlite3_errmsg(db) : "out of memory";
    sqlite3_close(db);
    return nullptr;
  }
  sqlite3_busy_timeout(db, 10000);
  try {
    bool empty = false;
    int found = 0;
    {
      // Statements scoped so no read stays open when the journal mode changes below.
      Statement tables(db, "SELECT count(*) FROM sqlite_master");
      step(db, tables.s);
      empty = sqlite3_column_int(tables.s, 0) == 0;
    }
    if (!empty) {
      Statement version(db, "SELECT value FROM pool_meta WHERE key = 'schema_version'");
      if (step(db, version.s)) found = std::atoi(column_text(version.s, 0).c_str());
      if (found < 1) throw std::runtime_error("not a pool database");
    }
    if (found > kSchemaVersion) {
      why = "schema version " + std::to_string(found) + " is newer than this program's " +
            std::to_string(kSchemaVersion);
      sqlite3_close(db);
      return nullptr;
    }
    // WAL: a reader never blocks the writer, and a killed writer loses only its open transaction
    // (NORMAL syncing: committed batches survive a killed process; a power cut may lose the last few).
    exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
    if (empty) {
      exec(db, "BEGIN IMMEDIATE");
      exec(db, kPoolSchema);
      exec(db, ("INSERT OR IGNORE INTO pool_meta VALUES('schema_version', '" + std::to_string(kSchemaVersion) + "')").c_str());
      exec(db, "COMMIT");
    }
  } catch (std::exception const& e) {
    why = e.what();
    if (why.find("no such table") != std::string::npos || why.find("not a database") != std::string::npos)
      why = "not a pool database";
    sqlite3_close(db);
    return nullptr;
  }
  try {
    return std::unique_ptr<PoolStore>(new PoolStore(db));
  } catch (std::exception const& e) {
    why = e.what();
    sqlite3_close(db);
    return nullptr;
  }
}

PoolStore::PoolStore(sqlite3* db) : db_(db), statements_(std::make_unique<Statements>(db)) {}

PoolStore::~PoolStore() {
  statements_.reset();
  sqlite3_close(db_);
}

std::string PoolStore::last_error() const { return sqlite3_errmsg(db_); }

void PoolStore::begin() { exec(db_, "BEGIN IMMEDIATE"); }
void PoolStore::commit() { exec(db_, "COMMIT"); }
void PoolStore::rollback() { sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr); }

bool PoolStore::insert(PoolPuzzle const& p, int64_t stream) {
  sqlite3_stmt* s = statements_->insert.fresh();
  bind_text(s, 1, canonical_key(p));
  bind_text(s, 2, p.clues);
  bind_text(s, 3, p.solution);
  bind_text(s, 4, p.groups);
  sqlite3_bind_int(s, 5, p.kind.jigsaw);
  sqlite3_bind_int(s, 6, p.kind.x);
  sqlite3_bind_int(s, 7, p.bucket);
  sqlite3_bind_int(s, 8, p.level_index);
  bind_text(s, 9, p.label);
  sqlite3_bind_int(s, 10, p.givens);
  bind_text(s, 11, method_name(p.method));
  sqlite3_bind_int64(s, 12, static_cast<int64_t>(p.seed));
  if (stream) sqlite3_bind_int64(s, 13, stream);
  step(db_, s);
  return sqlite3_changes(db_) > 0;
}

StreamState PoolStore::stream(FillPlan const& plan) {
  auto bind_plan = [&](sqlite3_stmt* s) {
    sqlite3_bind_int(s, 1, plan.kind.jigsaw);
    sqlite3_bind_int(s, 2, plan.kind.x);
    sqlite3_bind_int64(s, 3, static_cast<int64_t>(plan.seed));
    sqlite3_bind_int(s, 4, plan.shard);
    sqlite3_bind_int(s, 5, plan.shards);
    sqlite3_bind_int(s, 6, plan.batch_jobs);
    sqlite3_bind_int(s, 7, plan.budget);
  };
  Statement make(db_,
                 "INSERT OR IGNORE INTO streams(jigsaw, x, seed, shard, shards, batch_jobs, budget) "
                 "VALUES(?,?,?,?,?,?,?)");
  bind_plan(make.s);
  step(db_, make.s);
  Statement find(db_,
                 "SELECT id, next_batch FROM streams WHERE jigsaw=? AND x=? AND seed=? AND shard=? AND shards=? "
                 "AND batch_jobs=? AND budget=?");
  bind_plan(find.s);
  StreamState state;
  if (!step(db_, find.s)) throw std::runtime_error("the fill stream could not be recorded");
  state.id = sqlite3_column_int64(find.s, 0);
  state.next_batch = static_cast<long>(sqlite3_column_int64(find.s, 1));
  Statement rates(db_, "SELECT method, jobs, ratings, cpu_seconds, found FROM rates WHERE stream=?");
  sqlite3_bind_int64(rates.s, 1, state.id);
  while (step(db_, rates.s)) {
    int const method = sqlite3_column_int(rates.s, 0);
    if (method < -1 || method >= kBuckets) continue;
    MethodRates& r = method < 0 ? state.rates.harvest : state.rates.targeted[method];
    r.jobs = static_cast<long>(sqlite3_column_int64(rates.s, 1));
    r.ratings = static_cast<long>(sqlite3_column_int64(rates.s, 2));
    r.cpu_seconds = sqlite3_column_double(rates.s, 3);
    r.found = found_of(column_text(rates.s, 4));
  }
  return state;
}

void PoolStore::save_stream(StreamState const& state) {
  Statement next(db_, "UPDATE streams SET next_batch=? WHERE id=?");
  sqlite3_bind_int64(next.s, 1, state.next_batch);
  sqlite3_bind_int64(next.s, 2, state.id);
  step(db_, next.s);
  Statement save(db_, "INSERT OR REPLACE INTO rates(stream, method, jobs, ratings, cpu_seconds, found) "
                      "VALUES(?,?,?,?,?,?)");
  for (int method = -1; method < kBuckets; ++method) {
    MethodRates const& r = method < 0 ? state.rates.harvest : state.rates.targeted[method];
    if (!r.jobs) continue;
    sqlite3_stmt* s = save.fresh();
    sqlite3_bind_int64(s, 1, state.id);
    sqlite3_bind_int(s, 2, method);
    sqlite3_bind_int64(s, 3, r.jobs);
    sqlite3_bind_int64(s, 4, r.ratings);
    sqlite3_bind_double(s, 5, r.cpu_seconds);
    bind_text(s, 6, found_text(r.found));
    step(db_, s);
  }
}

std::array<long, kBuckets> PoolStore::counts(PoolKind kind, int64_t stream) {
  Statement count(db_, stream ? "SELECT bucket, count(*) FROM puzzles WHERE stream=? GROUP BY bucket"
                              : "SELECT bucket, count(*) FROM puzzles WHERE jigsaw=? AND x=? GROUP BY bucket");
  if (stream) {
    sqlite3_bind_int64(count.s, 1, stream);
  } else {
    sqlite3_bind_int(count.s, 1, kind.jigsaw);
    sqlite3_bind_int(count.s, 2, kind.x);
  }
  std::array<long, kBuckets> counts{};
  while (step(db_, count.s)) {
    int const b = sqlite3_column_int(count.s, 0);
    if (b >= 0 && b < kBuckets) counts[b] = static_cast<long>(sqlite3_column_int64(count.s, 1));
  }
  return counts;
}

std::vector<BucketStats> PoolStore::stats() {
  Statement q(db_,
              "SELECT jigsaw, x, bucket, count(*), count(exported), min(givens), max(givens) FROM puzzles "
              "GROUP BY jigsaw, x, bucket ORDER BY jigsaw, x, bucket");
  std::vector<BucketStats> out;
  while (step(db_, q.s)) {
    BucketStats b;
    b.kind = PoolKind{sqlite3_column_int(q.s, 0) != 0, sqlite3_column_int(q.s, 1) != 0};
    b.bucket = sqlite3_column_int(q.s, 2);
    b.count = static_cast<long>(sqlite3_column_int64(q.s, 3));
    b.exported = static_cast<long>(sqlite3_column_int64(q.s, 4));
    b.min_givens = sqlite3_column_int(q.s, 5);
    b.max_givens = sqlite3_column_int(q.s, 6);
    out.push_back(b);
  }
  return out;
}

std::vector<KindRates> PoolStore::rates() {
  Statement q(db_,
              "SELECT s.jigsaw, s.x, r.method, r.jobs, r.ratings, r.cpu_seconds, r.found FROM rates r "
              "JOIN streams s ON s.id = r.stream ORDER BY s.jigsaw, s.x, r.method");
  std::vector<KindRates> out;
  while (step(db_, q.s)) {
    PoolKind const kind{sqlite3_column_int(q.s, 0) != 0, sqlite3_column_int(q.s, 1) != 0};
    int const method = sqlite3_column_int(q.s, 2);
    if (out.empty() || !(out.back().kind == kind) || out.back().method != method) out.push_back({kind, method, {}});
    MethodRates& r = out.back().rates;
    r.jobs += static_cast<long>(sqlite3_column_int64(q.s, 3));
    r.ratings += static_cast<long>(sqlite3_column_int64(q.s, 4));
    r.cpu_seconds += sqlite3_column_double(q.s, 5);
    std::array<long, kBuckets> const found = found_of(column_text(q.s, 6));
    for (int b = 0; b < kBuckets; ++b) r.found[b] += found[b];
  }
  return out;
}

void PoolStore::for_each(std::function<bool(PoolPuzzle const&)> const& visit) {
  Statement q(db_, (std::string("SELECT ") + kPuzzleColumns + " FROM puzzles ORDER BY id").c_str());
  while (step(db_, q.s))
    if (!visit(puzzle_row(q.s))) break;
}

std::vector<std::string> PoolStore::integrity_problems() {
  Statement q(db_, "PRAGMA quick_check");
  std::vector<std::string> problems;
  while (step(db_, q.s)) {
    std::string const line = column_text(q.s, 0);
    if (line != "ok") problems.push_back(line);
  }
  return problems;
}

std::vector<PoolPuzzle> PoolStore::pick_for_export(PoolKind kind, std::optional<int> bucket, long limit) {
  std::string sql = std::string("SELECT ") + kPuzzleColumns + " FROM puzzles WHERE jigsaw=? AND x=?";
  if (bucket) sql += " AND bucket=?";
  sql += " ORDER BY exported IS NOT NULL, id LIMIT ?";
  Statement q(db_, sql.c_str());
  int i = 1;
  sqlite3_bind_int(q.s, i++, kind.jigsaw);
  sqlite3_bind_int(q.s, i++, kind.x);
  if (bucket) sqlite3_bind_int(q.s, i++, *bucket);
  sqlite3_bind_int64(q.s, i, limit);
  std::vector<PoolPuzzle> out;
  while (step(db_, q.s)) out.push_back(puzzle_row(q.s));
  return out;
}

void PoolStore::mark_exported(std::vector<int64_t> const& ids) {
  Statement mark(db_, "UPDATE puzzles SET exported=strftime('%Y-%m-%dT%H:%M:%SZ', 'now') WHERE id=?");
  for (int64_t id : ids) {
    sqlite3_stmt* s = mark.fresh();
    sqlite3_bind_int64(s, 1, id);
    step(db_, s);
  }
}

long PoolStore::merge_from(std::string const& path, std::string& why) {
  {
    // The source must be a pool this program can read.
    std::unique_ptr<PoolStore> source = open(path, false, why);
    if (!source) return -1;
  }
  try {
    Statement attach(db_, "ATTACH DATABASE ? AS source");
    bind_text(attach.s, 1, path);
    step(db_, attach.s);
  } catch (std::exception const& e) {
    why = e.what();
    return -1;
  }
  long added = 0;
  try {
    begin();
    // Streams by their plan; the source's stream ids mapped to this pool's.
    exec(db_,
         "INSERT OR IGNORE INTO streams(jigsaw, x, seed, shard, shards, batch_jobs, budget, next_batch) "
         "SELECT jigsaw, x, seed, shard, shards, batch_jobs, budget, next_batch FROM source.streams;"
         "CREATE TEMP TABLE stream_map AS SELECT s.id AS old, m.id AS new FROM source.streams s JOIN main.streams m "
         "USING(jigsaw, x, seed, shard, shards, batch_jobs, budget);"
         "INSERT OR IGNORE INTO rates(stream, method, jobs, ratings, cpu_seconds, found) "
         "SELECT (SELECT new FROM stream_map WHERE old = r.stream), method, jobs, ratings, cpu_seconds, found "
         "FROM source.rates r;");
    int const before = sqlite3_total_changes(db_);
    exec(db_,
         "INSERT OR IGNORE INTO puzzles(canonical, clues, solution, groups, jigsaw, x, bucket, level_index, label, "
         "givens, method, seed, stream, created, exported) "
         "SELECT canonical, clues, solution, groups, jigsaw, x, bucket, level_index, label, givens, method, seed, "
         "(SELECT new FROM stream_map WHERE old = p.stream), created, exported FROM source.puzzles p ORDER BY id;");
    added = sqlite3_total_changes(db_) - before;
    exec(db_, "DROP TABLE temp.stream_map");
    commit();
  } catch (std::exception const& e) {
    why = e.what();
    rollback();
    added = -1;
  }
  sqlite3_exec(db_, "DETACH DATABASE source", nullptr, nullptr, nullptr);
  return added;
}

}  // namespace pool
