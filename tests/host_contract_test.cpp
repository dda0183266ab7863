// What a host can rely on: a reason for every failed call (per thread), and an honest
// failure when a jigsaw puzzle is asked for but no map can be read.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "api/engine_api.h"
#include "util/zipped_file.h"
#include "group_maps_location.h"
#include "groupmap_test_support.h"
#include "testing/test_boards.h"

namespace {

struct LastError {
  int code;
  std::string text;
};

LastError last_error() {
  char buf[256];
  int const code = sudoku_last_error(buf, sizeof buf);
  return {code, buf};
}

// A reason is "word: message"; its word is the same for every call that fails the same way.
void expect_error(int code, char const* word) {
  LastError const e = last_error();
  EXPECT_EQ(e.code, code);
  EXPECT_EQ(e.text.rfind(std::string(word) + ": ", 0), 0u) << e.text;
  EXPECT_GT(e.text.size(), std::string(word).size() + 2) << "no message after the word";
}

std::vector<unsigned char> bytes_of(SudokuPuzzle* h) {
  std::vector<unsigned char> bytes(static_cast<size_t>(sudoku_puzzle_byte_size()));
  sudoku_get_puzzle_bytes(h, bytes.data());
  return bytes;
}

}  // namespace

TEST(LastError, EveryFailingCallSaysWhyAndASuccessClearsIt) {
  SudokuPuzzle* h = test_boards::new_classic_handle();
  std::array<int, 81> const clues = test_boards::digits_of(test_boards::kClassicPuzzle);
  std::array<int, 81> const solution = test_boards::digits_of(test_boards::kClassicSolution);
  std::array<int, 81> groups = test_boards::square_groups();
  int const colors[9] = {0, 1, 0, 1, 0, 1, 0, 1, 0};
  int const identity[9] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
  int const repeated[9] = {1, 2, 3, 4, 5, 6, 7, 8, 8};

  groups[0] = 9;
  EXPECT_EQ(sudoku_build_from_clues(h, 0, 0, 1, clues.data(), solution.data(), groups.data(), colors), 0);
  expect_error(SUDOKU_ERROR_INVALID_GROUPS, "invalid_groups");
  groups = test_boards::square_groups();
  EXPECT_EQ(sudoku_build_from_clues(h, 0, 0, 1, clues.data(), solution.data(), groups.data(), colors), 1);
  EXPECT_EQ(last_error().code, SUDOKU_OK);
  EXPECT_EQ(last_error().text, "");

  sudoku_transform_puzzle(h, 8, identity);
  expect_error(SUDOKU_ERROR_INVALID_ARGUMENT, "invalid_argument");
  sudoku_transform_puzzle(h, SUDOKU_TRANSFORM_HALF_TURN, repeated);
  expect_error(SUDOKU_ERROR_INVALID_ARGUMENT, "invalid_argument");
  // A call that cannot fail leaves the reason alone.
  EXPECT_EQ(sudoku_distance(h), 81 - 30);
  EXPECT_EQ(last_error().code, SUDOKU_ERROR_INVALID_ARGUMENT);

  unsigned char const not_a_queue[64] = {'S', 'Q', 'D', '0', '.', '0', '0', '9'};
  EXPECT_EQ(sudoku_queue_load(not_a_queue, sizeof not_a_queue), nullptr);
  expect_error(SUDOKU_ERROR_BAD_QUEUE, "bad_queue");
  EXPECT_EQ(sudoku_queue_load(nullptr, 0), nullptr);
  expect_error(SUDOKU_ERROR_INVALID_ARGUMENT, "invalid_argument");
  int cells_colours[9], kind, adjacency, difficulty;
  std::vector<unsigned char> cells(static_cast<size_t>(sudoku_puzzle_byte_size()));
  EXPECT_EQ(sudoku_queue_get_game(nullptr, 0, cells.data(), cells_colours, &kind, &adjacency, &difficulty), 0);
  expect_error(SUDOKU_ERROR_INVALID_ARGUMENT, "invalid_argument");

  std::vector<unsigned char> blank(100 * 100, 255);
  int box[4], digits[81];
  EXPECT_EQ(sudoku_ocr_locate(blank.data(), 100, 100, 5, box), 0);
  expect_error(SUDOKU_ERROR_BAD_PICTURE, "bad_picture");
  EXPECT_EQ(sudoku_ocr_recognize(blank.data(), 20, 100, 1, digits), 0);
  expect_error(SUDOKU_ERROR_BAD_PICTURE, "bad_picture");
  EXPECT_EQ(sudoku_ocr_locate(blank.data(), 100, 100, 1, box), 0);
  expect_error(SUDOKU_ERROR_NO_GRID, "no_grid");
  EXPECT_EQ(sudoku_ocr_detect_x(blank.data(), 100, 100, 0), 0);
  expect_error(SUDOKU_ERROR_BAD_PICTURE, "bad_picture");
  // "No diagonals marked" is an answer, not a failure.
  EXPECT_EQ(sudoku_ocr_detect_x(blank.data(), 100, 100, 1), 0);
  EXPECT_EQ(last_error().code, SUDOKU_OK);
  int diagonals = 0;
  EXPECT_EQ(sudoku_ocr_read_puzzle(blank.data(), 100, 100, 1, digits, nullptr, &diagonals), 0);
  expect_error(SUDOKU_ERROR_INVALID_ARGUMENT, "invalid_argument");  // a null output, not the picture

  ClassifyReport report;
  EXPECT_EQ(sudoku_classify_clues(clues.data(), nullptr, 0, 0, &report), 0);
  expect_error(SUDOKU_ERROR_INVALID_ARGUMENT, "invalid_argument");
  groups[40] = 0;
  EXPECT_EQ(sudoku_classify_clues(clues.data(), groups.data(), 0, 0, &report), 0);
  expect_error(SUDOKU_ERROR_INVALID_GROUPS, "invalid_groups");
  EXPECT_EQ(sudoku_classify_handle(h, 0, 0, nullptr), 0);
  expect_error(SUDOKU_ERROR_INVALID_ARGUMENT, "invalid_argument");
  int harvested[81];
  EXPECT_EQ(sudoku_harvest_clues(10, harvested), -1);
  expect_error(SUDOKU_ERROR_INVALID_ARGUMENT, "invalid_argument");
  SudokuHint hint;
  EXPECT_EQ(sudoku_hint(nullptr, &hint), -1);
  expect_error(SUDOKU_ERROR_INVALID_ARGUMENT, "invalid_argument");
  EXPECT_EQ(sudoku_hint(h, &hint), 1);
  EXPECT_EQ(last_error().code, SUDOKU_OK);
  sudoku_free(h);
}

TEST(LastError, BufferIsCutAndTerminatedAndEachThreadKeepsItsOwn) {
  int const bad_map[9] = {0};
  sudoku_transform_puzzle(nullptr, 0, bad_map);
  char small[8];
  std::fill(std::begin(small), std::end(small), 'x');
  EXPECT_EQ(sudoku_last_error(small, sizeof small), SUDOKU_ERROR_INVALID_ARGUMENT);
  EXPECT_EQ(std::string(small), "invalid");
  EXPECT_EQ(sudoku_last_error(nullptr, 100), SUDOKU_ERROR_INVALID_ARGUMENT);
  small[0] = 'x';
  EXPECT_EQ(sudoku_last_error(small, 0), SUDOKU_ERROR_INVALID_ARGUMENT);
  EXPECT_EQ(small[0], 'x');

  // Another thread's failures and successes do not touch this thread's reason.
  int other_before = -1, other_after = -1;
  std::thread other([&] {
    other_before = sudoku_last_error(nullptr, 0);
    EXPECT_EQ(sudoku_queue_load(bad_map, sizeof bad_map), nullptr);
    other_after = sudoku_last_error(nullptr, 0);
  });
  other.join();
  EXPECT_EQ(other_before, SUDOKU_OK);
  EXPECT_EQ(other_after, SUDOKU_ERROR_BAD_QUEUE);
  EXPECT_EQ(sudoku_last_error(nullptr, 0), SUDOKU_ERROR_INVALID_ARGUMENT);
}

// With the map directory pointing at an empty folder, a jigsaw request fails as a failure:
// 0, the handle untouched, the loader's messages as before, and a reason.
TEST(LastError, JigsawWithoutMapsFailsAndLeavesTheHandle) {
  std::string const saved_dir = group_maps_dir();
  std::string const empty = groupmap_test::make_temp_dir();
  ASSERT_FALSE(empty.empty());
  sudoku_set_group_maps_dir(empty.c_str());

  SudokuPuzzle* h = test_boards::new_classic_handle();
  std::vector<unsigned char> const before = bytes_of(h);
  for (int solution_only = 0; solution_only <= 1; ++solution_only) {
    testing::internal::CaptureStderr();
    int const result = solution_only ? sudoku_generate_solution(h, SUDOKU_MAP_IRREGULAR, SUDOKU_ADJACENCY_X)
                                     : sudoku_generate(h, SUDOKU_MAP_IRREGULAR, SUDOKU_ADJACENCY_NONE,
                                                       SUDOKU_DIFFICULTY_EASY, 0);
    std::string const err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, 0);
    EXPECT_NE(err.find("GroupMap: couldn't read " + empty + "/"), std::string::npos) << err;
    EXPECT_NE(err.find("falling back to the SQUARE box map"), std::string::npos) << err;
    expect_error(SUDOKU_ERROR_MAPS_NOT_FOUND, "maps_not_found");
    EXPECT_EQ(bytes_of(h), before);
  }
  // A harvest builds its solution the same way, and says the same.
  testing::internal::CaptureStderr();
  EXPECT_EQ(sudoku_generate_harvest(nullptr, SUDOKU_MAP_IRREGULAR, SUDOKU_ADJACENCY_NONE, 1000, 0, 1), 0);
  testing::internal::GetCapturedStderr();
  expect_error(SUDOKU_ERROR_MAPS_NOT_FOUND, "maps_not_found");
  // Box puzzles need no map file.
  testing::internal::CaptureStderr();
  EXPECT_EQ(sudoku_generate(h, SUDOKU_MAP_REGULAR, SUDOKU_ADJACENCY_NONE, SUDOKU_DIFFICULTY_QUICKIE, 0), 1);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(last_error().code, SUDOKU_OK);
  sudoku_free(h);
  set_group_maps_dir(saved_dir.empty() ? nullptr : saved_dir.c_str());
}

// Generations on several threads at once, each seeded, give what the same seeds give one after
// another on one thread: the engine's shared state (combination table, compiled-table cache,
// map files) is safe to share. The ThreadSanitizer stage of CI runs this test.
TEST(ConcurrentGeneration, SeededJigsawOnThreadsMatchesOneThread) {
  static test_group_maps::UseShippedGroupMaps const use_shipped_maps;
  constexpr int kThreads = 3;
  auto generate = [](uint64_t seed, std::vector<unsigned char>& out, int& result) {
    SudokuPuzzle* h = sudoku_new();
    sudoku_seed_random(seed);
    result = sudoku_generate(h, SUDOKU_MAP_IRREGULAR, static_cast<int>(seed % 2), SUDOKU_DIFFICULTY_EASY, 0);
    sudoku_seed_random(0);
    out = bytes_of(h);
    sudoku_free(h);
  };
  std::vector<unsigned char> alone[kThreads], together[kThreads];
  int alone_result[kThreads], together_result[kThreads];
  testing::internal::CaptureStderr();
  for (int t = 0; t < kThreads; ++t) generate(100 + t, alone[t], alone_result[t]);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back(generate, 100 + t, std::ref(together[t]), std::ref(together_result[t]));
  for (auto& thread : threads) thread.join();
  testing::internal::GetCapturedStderr();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(alone_result[t], 1) << "seed " << 100 + t;
    EXPECT_EQ(together_result[t], 1) << "seed " << 100 + t;
    EXPECT_EQ(together[t], alone[t]) << "seed " << 100 + t;
  }
}
