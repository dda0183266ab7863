// sudoku_count_solutions against the independent counter, and the route of the
// engine's diagnostic lines (sudoku_set_message_handler).
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "api/engine_api.h"
#include "testing/random_puzzles.h"
#include "tests/reference_solver.h"

namespace {

std::array<int, 81> digits_of(std::string const& text) {
  std::array<int, 81> grid{};
  for (int i = 0; i < 81; ++i) grid[i] = text[i] == '.' ? 0 : text[i] - '0';
  return grid;
}

}  // namespace

TEST(CountSolutions, AgreesWithTheIndependentCounterOnSeededPuzzles) {
  using random_puzzles::Kind;
  for (Kind kind : {Kind::Regular, Kind::X, Kind::Jigsaw}) {
    random_puzzles::Layout const layout = random_puzzles::layout_for(kind);
    int const adjacency = kind == Kind::X ? 1 : 0;
    int const* groups = kind == Kind::Jigsaw ? layout.group.data() : nullptr;
    for (uint64_t seed = 1; seed <= 6; ++seed) {
      sudoku_seed_random(seed * 7919 + static_cast<uint64_t>(kind));
      random_puzzles::Generated const g = random_puzzles::generate(kind);
      std::array<int, 81> clues = digits_of(g.clues);
      int solution[81] = {};
      ASSERT_EQ(sudoku_count_solutions(clues.data(), groups, adjacency, 2, solution), 1) << g.clues;
      EXPECT_EQ(digits_of(g.solution), std::to_array(solution)) << g.clues;
      // Fewer clues: several solutions, counted up to each limit exactly as the reference counts.
      for (int removed = 0, i = 0; i < 81 && removed < 3; ++i)
        if (clues[i] && arc4random_uniform(3) == 0) clues[i] = 0, ++removed;
      for (int limit : {1, 3, 40}) {
        std::array<int, 81> first{};
        int const expected = reference::count_solutions(clues.data(), layout.group.data(), layout.x, limit, &first);
        ASSERT_EQ(sudoku_count_solutions(clues.data(), groups, adjacency, limit, solution), expected) << g.clues;
        // The first solution written is a completion of the clues.
        for (int c = 0; c < 81; ++c) {
          if (clues[c]) {
            EXPECT_EQ(solution[c], clues[c]);
          }
        }
        EXPECT_EQ(reference::count_solutions(solution, layout.group.data(), layout.x, 2), 1);
      }
    }
  }
  sudoku_seed_random(0);
}

TEST(CountSolutions, RejectsInvalidInputAndCountsRepeatedGivensAsNone) {
  std::array<int, 81> clues{};
  std::array<int, 81> boxes{};
  for (int c = 0; c < 81; ++c) boxes[c] = 3 * (c / 27) + (c % 9) / 3;
  EXPECT_EQ(sudoku_count_solutions(clues.data(), nullptr, 0, 2, nullptr), 2);
  EXPECT_EQ(sudoku_count_solutions(clues.data(), boxes.data(), 0, 2, nullptr), 2);
  struct Case {
    char const* what;
    int cell, clue, group;  // group -1: keep the boxes
    int limit;
  };
  Case const cases[] = {
      {"clue above 9", 40, 10, -1, 2}, {"negative clue", 0, -1, -1, 2}, {"group number 9", 5, 0, 9, 2},
      {"group of ten cells", 80, 0, 0, 2}, {"negative group", 3, 0, -1000, 2}, {"limit 0", 0, 0, -1, 0},
  };
  for (Case const& k : cases) {
    std::array<int, 81> c = clues, g = boxes;
    c[k.cell] = k.clue;
    if (k.group != -1) g[k.cell] = k.group;
    int solution[81] = {7};
    EXPECT_EQ(sudoku_count_solutions(c.data(), g.data(), 0, k.limit, solution), -1) << k.what;
    char why[256];
    EXPECT_GT(sudoku_last_error(why, sizeof why), 0) << k.what;
    EXPECT_EQ(solution[0], 7) << k.what << ": nothing written";
  }
  EXPECT_EQ(sudoku_count_solutions(nullptr, nullptr, 0, 2, nullptr), -1);
  // A digit given twice in a row, a box, or (with diagonals only) a diagonal.
  std::array<int, 81> row = clues, diagonal = clues;
  row[0] = row[8] = 4;
  diagonal[0] = diagonal[80] = 4;
  EXPECT_EQ(sudoku_count_solutions(row.data(), nullptr, 0, 2, nullptr), 0);
  EXPECT_EQ(sudoku_count_solutions(diagonal.data(), nullptr, 0, 2, nullptr), 2);
  EXPECT_EQ(sudoku_count_solutions(diagonal.data(), nullptr, 1, 2, nullptr), 0);
}

namespace {

void collect_line(char const* line, void* user) { static_cast<std::vector<std::string>*>(user)->push_back(line); }

}  // namespace

TEST(MessageHandler, ReceivesTheLinesAGenerationPrints) {
  std::vector<std::string> lines;
  sudoku_set_message_handler(collect_line, &lines);
  SudokuPuzzle* h = sudoku_new();
  sudoku_seed_random(21);
  ASSERT_EQ(sudoku_generate(h, 0, 0, 3, 2), 1);
  // Jigsaw maps from a folder without map files: the loader's lines, then the fallback.
  sudoku_set_group_maps_dir("/nonexistent-nonet-maps");
  sudoku_generate(h, 1, 0, 0, 2);
  sudoku_set_group_maps_dir(nullptr);
  sudoku_set_message_handler(nullptr, nullptr);
  sudoku_seed_random(0);
  sudoku_free(h);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0].rfind("make_puzzle: itries=", 0), 0u) << lines[0];
  int couldnt_read = 0, fallback = 0;
  for (auto const& line : lines) {
    EXPECT_EQ(line.find('\n'), std::string::npos) << line;
    couldnt_read += line.rfind("GroupMap: couldn't read /nonexistent-nonet-maps/", 0) == 0;
    fallback += line.find("falling back to the SQUARE box map") != std::string::npos;
  }
  EXPECT_GT(couldnt_read, 0);
  EXPECT_EQ(fallback, 1);
}
