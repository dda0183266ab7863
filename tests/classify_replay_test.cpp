// Replay of classification over a fixed set against recorded result hashes: speed
// work on the classifier, the solver or the counter must never change a result.
// Re-record after an intended change with NONET_RECORD_CLASSIFY_REPLAY=1.
#include <gtest/gtest.h>

#include <cinttypes>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "classify_support.h"

namespace {

using classify_test::Board;

std::string data_path() { return std::string(NONET_SOURCE_DIR) + "/tests/data/classify_replay.txt"; }

void fold(uint64_t& h, uint32_t v) {
  for (int b = 0; b < 4; ++b) {
    h ^= (v >> (8 * b)) & 0xFFu;
    h *= 1099511628211ull;
  }
}

uint64_t result_hash(PuzzleClassifyResult const& r) {
  uint64_t h = 14695981039346656037ull;
  for (char const* s : {r.bucket, r.label})
    for (; *s; ++s) fold(h, static_cast<unsigned char>(*s));
  fold(h, static_cast<uint32_t>(r.level_index));
  fold(h, (r.solved ? 1u : 0u) | (r.has_solution ? 2u : 0u) | (r.unique ? 4u : 0u) | (r.budget_exhausted ? 8u : 0u));
  for (int c = 0; c < 81; ++c) {
    fold(h, static_cast<uint32_t>(r.method[c]));
    fold(h, static_cast<uint32_t>(r.value[c]));
  }
  return h;
}

// The fixed set: seeded minimal puzzles of the three kinds, then published hard ones.
std::vector<std::pair<std::string, Board>> replay_set() {
  std::vector<std::pair<std::string, Board>> set;
  for (int kind = 0; kind < 3; ++kind)
    for (uint64_t seed = 1; seed <= 20; ++seed)
      set.emplace_back("kind" + std::to_string(kind) + "/" + std::to_string(seed),
                       classify_test::random_board(static_cast<random_puzzles::Kind>(kind), 7100 + seed));
  char const* const hard[] = {
      "1.......2.9.4...5...6...7...5.9.3.......7.......85..4.7.....6...3...9.8...2.....1",
      "8..........36......7..9.2...5...7.......457.....1...3...1....68..85...1..9....4..",
      "1....7.9..3..2...8..96..5....53..9...1..8...26....4...3......1..4......7..7...3..",
      "..............3.85..1.2.......5.7.....4...1...9.......5......73..2.1........4...9",
  };
  for (char const* h : hard) set.emplace_back(std::string(h, 12), classify_test::square_board(h));
  // A few with budget-limited counts and X rules.
  set.emplace_back("x-boxes", classify_test::square_board(hard[2], ADJ_X));
  return set;
}

TEST(ClassifyReplay, ResultsMatchTheRecording) {
  // NONET_CLASSIFY_FULL_RUNGS=1 replays with every rung's full solve(), the definition
  // the recorded results must also satisfy.
  classify_use_full_rungs(std::getenv("NONET_CLASSIFY_FULL_RUNGS") != nullptr);
  std::ostringstream now;
  for (auto const& [name, board] : replay_set()) {
    char line[64];
    std::snprintf(line, sizeof line, " %016" PRIx64 "\n", result_hash(classify_test::classify(board, 200000)));
    now << name << line;
  }
  classify_use_full_rungs(false);
  if (std::getenv("NONET_RECORD_CLASSIFY_REPLAY")) {
    std::ofstream(data_path()) << now.str();
    GTEST_SKIP() << "recorded " << data_path();
  }
  std::ifstream in(data_path());
  ASSERT_TRUE(in.good()) << data_path();
  std::string const recorded((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::istringstream a(recorded), b(now.str());
  std::string la, lb;
  while (std::getline(a, la)) {
    ASSERT_TRUE(std::getline(b, lb));
    EXPECT_EQ(la, lb);
  }
  EXPECT_FALSE(std::getline(b, lb));
}

}  // namespace
