// The exported classification calls: the report record, untrusted host input
// (group maps, clue values, handles not in play form) and the candidate states.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "api/classify_report.h"
#include "api/engine_api.h"
#include "classify_support.h"
#include "testing/test_boards.h"

namespace {

struct Grids {
  int clues[81];
  int groups[81];
};

Grids classic() {
  Grids g;
  auto const clues = test_boards::digits_of(test_boards::kClassicPuzzle);
  auto const groups = test_boards::square_groups();
  std::memcpy(g.clues, clues.data(), sizeof g.clues);
  std::memcpy(g.groups, groups.data(), sizeof g.groups);
  return g;
}

bool untouched(ClassifyReport const& r) {
  unsigned char const* bytes = reinterpret_cast<unsigned char const*>(&r);
  for (size_t i = 0; i < sizeof r; ++i)
    if (bytes[i] != 0xA5) return false;
  return true;
}

TEST(ClassifyApi, ReportMatchesTheClassification) {
  Grids const g = classic();
  ClassifyReport out;
  ASSERT_EQ(sudoku_classify_clues(g.clues, g.groups, 0, 0, &out), 1);
  PuzzleClassifyResult const r = classify_puzzle(MAP_REGULAR, ADJ_NONE, reinterpret_cast<int const(*)[9]>(g.clues),
                                                 reinterpret_cast<int const(*)[9]>(g.groups), 0);
  EXPECT_EQ(out.bucket_index, gen_bucket_index(r.bucket));
  EXPECT_EQ(out.level_index, r.level_index);
  EXPECT_EQ(out.unique, 1);
  EXPECT_EQ(out.solved, 1);
  EXPECT_EQ(out.has_solution, 1);
  EXPECT_EQ(out.n_givens, 30);
  EXPECT_STREQ(out.bucket_text, r.bucket);
  EXPECT_STREQ(out.label_text, r.label);
  auto const solution = test_boards::digits_of(test_boards::kClassicSolution);
  for (int c = 0; c < 81; ++c) {
    EXPECT_EQ(out.value[c], solution[c]);
    EXPECT_EQ(out.given[c], g.clues[c] ? 1 : 0);
    EXPECT_EQ(out.method[c], r.method[c]);
  }

  // The handle of the same board gives the same report.
  SudokuPuzzle* h = test_boards::new_classic_handle();
  ClassifyReport from_handle;
  ASSERT_EQ(sudoku_classify_handle(h, 0, 0, &from_handle), 1);
  EXPECT_EQ(0, std::memcmp(&out, &from_handle, sizeof out));
  sudoku_free(h);
}

TEST(ClassifyApi, ReportTexts) {
  PuzzleClassifyResult r{};
  r.bucket = "unsolvable";
  r.label = "No solution \xE2\x80\x94 the given digits contradict";
  ClassifyReport out;
  std::memset(&out, 0xA5, sizeof out);
  fill_classify_report(&out, r);
  EXPECT_EQ(out.bucket_index, -1);
  EXPECT_STREQ(out.bucket_text, "unsolvable");
  for (int i = 10; i < 16; ++i) EXPECT_EQ(out.bucket_text[i], 0);
  EXPECT_STREQ(out.label_text, r.label);

  r.bucket = "moderately_easy";  // 15 bytes: fills 0..14, byte 15 stays 0
  r.label = "0123456789012345678901234567890123456789012345678901234567890123456789";
  fill_classify_report(&out, r);
  EXPECT_EQ(out.bucket_index, 2);
  EXPECT_EQ(std::memcmp(out.bucket_text, "moderately_easy", 15), 0);
  EXPECT_EQ(out.bucket_text[15], 0);
  EXPECT_EQ(std::strlen(out.label_text), 63u);
  EXPECT_EQ(out.label_text[63], 0);

  r.bucket = "expert";
  r.label = nullptr;
  fill_classify_report(&out, r);
  EXPECT_EQ(out.bucket_index, 7);
  EXPECT_EQ(out.label_text[0], 0);
}

TEST(ClassifyApi, UntrustedInput) {
  Grids const g = classic();
  ClassifyReport out;
  std::memset(&out, 0xA5, sizeof out);
  EXPECT_EQ(sudoku_classify_clues(nullptr, g.groups, 0, 0, &out), 0);
  EXPECT_EQ(sudoku_classify_clues(g.clues, nullptr, 0, 0, &out), 0);
  EXPECT_EQ(sudoku_classify_clues(g.clues, g.groups, 0, 0, nullptr), 0);
  EXPECT_EQ(sudoku_classify_handle(nullptr, 0, 0, &out), 0);
  int marks_out[81];
  EXPECT_EQ(sudoku_candidate_state_handle(nullptr, 0, 0, 3, marks_out), 0);

  // Group maps that are not nine groups of nine cells numbered 0..8: nothing written.
  int const bad_values[] = {9, -1, INT_MAX, INT_MIN, 15};
  for (int v : bad_values) {
    Grids bad = g;
    bad.groups[40] = v;
    EXPECT_EQ(sudoku_classify_clues(bad.clues, bad.groups, 1, 1, &out), 0) << v;
  }
  Grids uneven = g;
  uneven.groups[0] = 1;  // group 0 has eight cells, group 1 ten
  EXPECT_EQ(sudoku_classify_clues(uneven.clues, uneven.groups, 1, 0, &out), 0);
  EXPECT_TRUE(untouched(out));

  // Clue values outside 0..9 read as empty cells.
  Grids stray = g;
  int const strays[] = {10, -1, INT_MAX, INT_MIN, 1 << 20};
  int k = 0;
  for (int c = 0; c < 81 && k < 5; ++c)
    if (!stray.clues[c]) stray.clues[c] = strays[k++];
  ClassifyReport clean, odd;
  ASSERT_EQ(sudoku_classify_clues(g.clues, g.groups, 0, 0, &clean), 1);
  ASSERT_EQ(sudoku_classify_clues(stray.clues, stray.groups, 0, 0, &odd), 1);
  EXPECT_EQ(0, std::memcmp(&clean, &odd, sizeof clean));

  // Right after sudoku_generate_solution the board is not in play form: no clue may
  // come out of range, whatever the cells hold.
  SudokuPuzzle* h = sudoku_new();
  ASSERT_EQ(sudoku_generate_solution(h, 0, 1), 1);
  std::memset(&out, 0xA5, sizeof out);
  ASSERT_EQ(sudoku_classify_handle(h, 0, 1, &out), 1);
  for (int c = 0; c < 81; ++c) {
    EXPECT_GE(out.value[c], 0);
    EXPECT_LE(out.value[c], 9);
  }
  int marks[81];
  EXPECT_EQ(sudoku_candidate_state_handle(h, 0, 1, 26, marks), 1);
  for (int m : marks) EXPECT_EQ(m & ~0x3FE, 0);

  // Loaded random bytes: the handle's groups may be anything until set up again.
  unsigned char bytes[5184];
  for (size_t i = 0; i < sizeof bytes; ++i) bytes[i] = static_cast<unsigned char>((i * 2654435761u) >> 13);
  sudoku_set_puzzle_bytes(h, bytes);
  EXPECT_EQ(sudoku_classify_handle(h, 1, 1, &out), 1);
  EXPECT_EQ(sudoku_candidate_state_handle(h, 1, 1, 7, marks), 1);
  sudoku_free(h);
}

TEST(ClassifyApi, CandidateStateOfAHandle) {
  SudokuPuzzle* h = test_boards::new_classic_handle();
  Grids const g = classic();
  for (int level : {0, 1, 7, 26, 99}) {
    int from_handle[81], direct[81];
    ASSERT_EQ(sudoku_candidate_state_handle(h, 0, 0, level, from_handle), 1);
    candidate_state_at_level(MAP_REGULAR, ADJ_NONE, reinterpret_cast<int const(*)[9]>(g.clues),
                             reinterpret_cast<int const(*)[9]>(g.groups), static_cast<METHOD_TYPE>(level), direct);
    EXPECT_EQ(0, std::memcmp(from_handle, direct, sizeof direct)) << level;
  }
  int level0[81];
  sudoku_candidate_state_handle(h, 0, 0, 0, level0);
  EXPECT_EQ(level0[0], 1 << 5);  // a given keeps its digit
  sudoku_free(h);
}

}  // namespace
