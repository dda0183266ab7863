// The records of a puzzle pool: a stored puzzle, the kind of board it is for, and the
// per-method rates a fill measures (kept in the store so a resumed fill goes on with them).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace pool {

constexpr int kBuckets = 10;

struct PoolKind {
  bool jigsaw = false;  // irregular regions instead of the 3x3 boxes
  bool x = false;       // both main diagonals are units
  bool operator==(PoolKind const&) const = default;
};

// How a stored puzzle was made.
enum class Method : int { harvest = 0, targeted = 1, generate = 2 };
char const* method_name(Method m);

struct PoolPuzzle {
  int64_t id = 0;          // row id once stored
  std::string clues;       // 81 characters, '.' for an empty cell
  std::string solution;    // 81 digits
  std::string groups;      // 81 digits 0..8
  PoolKind kind;
  int bucket = -1;         // 0..9
  int level_index = -1;    // ladder position 0..15, 16 for the completion count
  std::string label;       // the level's label
  int givens = 0;
  Method method = Method::harvest;
  uint64_t seed = 0;       // the seed of the job that made it
  bool exported = false;
};

// What the jobs of one method have cost and found, in ratings (the engine's unit of work:
// deterministic, so a fill's choices replay the same on any machine) and CPU seconds.
struct MethodRates {
  long jobs = 0;
  long ratings = 0;
  double cpu_seconds = 0;
  std::array<long, kBuckets> found{};  // puzzles made per bucket (kept or not)
};

// Rates of one fill stream: harvests, and targeted generation per wanted bucket.
struct StreamRates {
  MethodRates harvest;
  std::array<MethodRates, kBuckets> targeted;
};

}  // namespace pool
