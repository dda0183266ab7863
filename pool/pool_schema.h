// The pool database's schema (version kSchemaVersion), in one place for every writer.
#pragma once

namespace pool {

inline constexpr char kPoolSchema[] = R"sql(
CREATE TABLE IF NOT EXISTS pool_meta(
  key TEXT PRIMARY KEY,
  value TEXT NOT NULL);
CREATE TABLE IF NOT EXISTS puzzles(
  id INTEGER PRIMARY KEY,
  canonical TEXT NOT NULL UNIQUE,   -- kind + canonical clues + canonical groups
  clues TEXT NOT NULL,              -- 81 characters, '.' empty
  solution TEXT NOT NULL,           -- 81 digits
  groups TEXT NOT NULL,             -- 81 digits 0..8
  jigsaw INTEGER NOT NULL,
  x INTEGER NOT NULL,
  bucket INTEGER NOT NULL,          -- 0 quickie .. 9 beyond_hell
  level_index INTEGER NOT NULL,
  label TEXT NOT NULL,
  givens INTEGER NOT NULL,
  method TEXT NOT NULL,             -- harvest, targeted or generate
  seed INTEGER NOT NULL,            -- the job's 64-bit seed, stored as a signed integer
  stream INTEGER,                   -- the fill stream that stored it
  created TEXT NOT NULL DEFAULT (strftime('%Y-%m-%dT%H:%M:%SZ', 'now')),
  exported TEXT);                   -- when it went into a queue file
CREATE INDEX IF NOT EXISTS puzzles_by_kind ON puzzles(jigsaw, x, bucket, exported IS NOT NULL, id);
CREATE INDEX IF NOT EXISTS puzzles_by_stream ON puzzles(stream, bucket);
CREATE TABLE IF NOT EXISTS streams(
  id INTEGER PRIMARY KEY,
  jigsaw INTEGER NOT NULL,
  x INTEGER NOT NULL,
  seed INTEGER NOT NULL,
  shard INTEGER NOT NULL,
  shards INTEGER NOT NULL,
  batch_jobs INTEGER NOT NULL,
  budget INTEGER NOT NULL,
  next_batch INTEGER NOT NULL DEFAULT 0,
  UNIQUE(jigsaw, x, seed, shard, shards, batch_jobs, budget));
CREATE TABLE IF NOT EXISTS rates(
  stream INTEGER NOT NULL,
  method INTEGER NOT NULL,          -- -1 harvest, else the targeted bucket
  jobs INTEGER NOT NULL,
  ratings INTEGER NOT NULL,
  cpu_seconds REAL NOT NULL,
  found TEXT NOT NULL,              -- ten counts, space-separated
  PRIMARY KEY(stream, method));
)sql";

}  // namespace pool
