// The pool store: one SQLite database file per pool. A table of puzzles with a unique
// key on the canonical form (the same puzzle in any orientation or digit naming is kept
// once), the fill streams with their rates (a fill resumes where its last committed batch
// ended), a schema version, WAL journaling and one transaction per batch.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pool/pool_plan.h"
#include "pool/pool_types.h"

struct sqlite3;

namespace pool {

constexpr int kSchemaVersion = 1;

// The fill stream of a plan in this store: where it stands and what it measured.
struct StreamState {
  int64_t id = 0;
  long next_batch = 0;
  StreamRates rates;
};

// One line of stats: the puzzles of one kind and bucket.
struct BucketStats {
  PoolKind kind;
  int bucket = 0;
  long count = 0, exported = 0;
  int min_givens = 0, max_givens = 0;
};

// What the fills of one kind have measured for one method (summed over their streams).
struct KindRates {
  PoolKind kind;
  int method = -1;  // -1 harvest, else the targeted bucket
  MethodRates rates;
};

class PoolStore {
 public:
  // Opens (create: creating if missing) the pool at path; an empty file (a fill stopped before
  // its first commit) is an empty pool. Null with the reason in why when it cannot be opened,
  // is not a pool, or has a newer schema.
  static std::unique_ptr<PoolStore> open(std::string const& path, bool create, std::string& why);
  ~PoolStore();
  PoolStore(PoolStore const&) = delete;
  PoolStore& operator=(PoolStore const&) = delete;

  // Stores a puzzle (its canonical key computed here) within the open transaction or alone;
  // false when the pool already holds it. stream: the fill stream's id, 0 for none.
  bool insert(PoolPuzzle const& p, int64_t stream);
  void begin();
  void commit();
  void rollback();

  // The stream of plan (created on first use) and its saved progress.
  StreamState stream(FillPlan const& plan);
  // Saves a stream's progress (inside the batch's transaction).
  void save_stream(StreamState const& state);
  // Puzzles per bucket of kind: all of them (stream 0) or those a stream stored.
  std::array<long, kBuckets> counts(PoolKind kind, int64_t stream);

  std::vector<BucketStats> stats();
  std::vector<KindRates> rates();
  // Every stored puzzle in id order, until visit returns false.
  void for_each(std::function<bool(PoolPuzzle const&)> const& visit);
  // SQLite's quick check of the file: empty when sound.
  std::vector<std::string> integrity_problems();
  // Up to limit puzzles of kind (and of bucket when given), the never exported first, then by id.
  std::vector<PoolPuzzle> pick_for_export(PoolKind kind, std::optional<int> bucket, long limit);
  void mark_exported(std::vector<int64_t> const& ids);
  // Copies another pool in: puzzles not held yet, its streams and rates. Returns the puzzles added;
  // -1 with why when it cannot be read.
  long merge_from(std::string const& path, std::string& why);

  // The last SQLite error text (for messages).
  std::string last_error() const;

 private:
  explicit PoolStore(sqlite3* db);
  sqlite3* db_;
  struct Statements;
  std::unique_ptr<Statements> statements_;
};

}  // namespace pool
