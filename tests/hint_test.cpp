// Hints through the C calls: following them always finishes a puzzle with its
// solution and never removes a true candidate (seeded random and hard puzzles, with
// and without pencil marks), wrong answers and missing marks come before any
// technique, and bad input is refused.
#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "api/engine_api.h"
#include "classify/classify.h"
#include "hint/ladder.h"
#include "matrix_engine/matrix_engine.h"
#include "solver_fixtures.h"
#include "testing/test_boards.h"

namespace {

using Grid = std::array<int, 81>;

struct Board {
  SudokuPuzzle* h = sudoku_new();
  Grid solution{}, clues{}, groups{};
  int map = 0, adjacency = 0;
  Board() = default;
  Board(Board const&) = delete;
  Board& operator=(Board const&) = delete;
  ~Board() { sudoku_free(h); }
};

void build(Board& b, int map, int adjacency, Grid const& clues, Grid const& groups) {
  int colors[9] = {0, 1, 2, 3, 0, 1, 2, 3, 0};
  b.clues = clues;
  b.groups = groups;
  b.map = map;
  b.adjacency = adjacency;
  Grid c = clues, s = b.solution, g = groups;
  ASSERT_EQ(sudoku_build_from_clues(b.h, map, adjacency, 7, c.data(), s.data(), g.data(), colors), 1);
}

// The classification's level of the puzzle as given: its hardest rung (16: the completion count).
int classified_level(Board const& b) {
  int clues[9][9], grp[9][9];
  for (int i = 0; i < 81; ++i) {
    clues[i / 9][i % 9] = b.clues[i];
    grp[i / 9][i % 9] = b.groups[i];
  }
  return classify_puzzle_direct(static_cast<MAP_TYPE>(b.map), static_cast<ADJACENCY_TYPE>(b.adjacency), clues, grp, 0)
      .level_index;
}

// A seeded random puzzle of the solver's sets, in play form.
void random_board(Board& b, uint64_t seed, Matrix<int, 9> const& groups, ADJACENCY_TYPE adj, MAP_TYPE map) {
  Puzzle p;
  ASSERT_TRUE(solver_fixtures::make_random_puzzle(p, seed, groups, adj, map, 2000));
  Grid clues{}, g{};
  for (int i = 0; i < 81; ++i) {
    b.solution[i] = digit_of_bit(static_cast<uint32_t>(p.cells[i].solution));
    clues[i] = p.cells[i].mask ? b.solution[i] : 0;
    g[i] = groups[i / 9][i % 9];
  }
  build(b, map, adj, clues, g);
}

// A puzzle line on the boxes, solved by the matrix engine.
void line_board(Board& b, std::string const& line) {
  int grp[9][9];
  Grid clues{}, groups{};
  matrix_engine::Vec cand, placed;
  cand.fill_all();
  for (int i = 0; i < 81; ++i) {
    grp[i / 9][i % 9] = groups[i] = square_group_map[i / 9][i % 9];
    clues[i] = line[i] >= '1' && line[i] <= '9' ? line[i] - '0' : 0;
    if (clues[i]) placed.set(matrix_engine::lit(i, clues[i]));
  }
  int out[2][81] = {};
  long long budget = 1LL << 40;
  ASSERT_EQ(matrix_engine::count_completions_collect(matrix_engine::compile(false, grp), cand, placed, 2, out, 0,
                                                     budget),
            1);
  for (int i = 0; i < 81; ++i) b.solution[i] = out[0][i];
  build(b, 0, 0, clues, groups);
}

std::vector<unsigned char> bytes_of(SudokuPuzzle* h) {
  std::vector<unsigned char> out(static_cast<size_t>(sudoku_puzzle_byte_size()));
  sudoku_get_puzzle_bytes(h, out.data());
  return out;
}

struct PathTally {
  std::map<std::string, int> uses;
  int hardest_position = -1;
};

// Follows hints to the end, checking every step against the solution; the path's
// hardest step stands where the classification puts the puzzle.
void follow_hints(Board& b, PathTally& tally) {
  SudokuHint hint;
  int steps = 0, hardest = -1;
  for (;;) {
    auto const before = bytes_of(b.h);
    int const r = sudoku_hint(b.h, &hint);
    ASSERT_EQ(bytes_of(b.h), before) << "a hint changed the board";
    if (r == 0) break;
    ASSERT_EQ(r, 1);
    ASSERT_EQ(hint.kind, SUDOKU_HINT_STEP) << hint.text;
    ASSERT_GT(hint.n_placements + hint.n_eliminations, 0);
    for (int i = 0; i < hint.n_placements; ++i)
      ASSERT_EQ(hint.placements[i][1], b.solution[hint.placements[i][0]]) << hint.text;
    for (int i = 0; i < hint.n_eliminations; ++i)
      ASSERT_NE(hint.eliminations[i][1], b.solution[hint.eliminations[i][0]]) << hint.text;
    ASSERT_GT(std::strlen(hint.text), 0u);
    ASSERT_EQ(sudoku_apply_hint(b.h, &hint), 1) << hint.text;
    ++tally.uses[hint.name];
    hardest = std::max(hardest, hint::ladder_position(hint.level));
    ASSERT_LT(++steps, 81 * 9);
  }
  tally.hardest_position = std::max(tally.hardest_position, hardest);
  EXPECT_EQ(hardest, classified_level(b));
  EXPECT_EQ(hint.kind, SUDOKU_HINT_NONE);
  int counts[10];
  EXPECT_EQ(sudoku_get_state(b.h, counts), 1);
  EXPECT_EQ(sudoku_distance(b.h), 0);
}

std::string summary(PathTally const& t) {
  std::string s;
  for (auto const& [name, n] : t.uses) s += name + " " + std::to_string(n) + ", ";
  return s;
}

struct SeededSet {
  char const* title;
  int count;
  uint64_t first_seed;
  Matrix<int, 9> groups;
  ADJACENCY_TYPE adjacency;
  MAP_TYPE map;
};

TEST(HintPath, SeededPuzzlesFinishWithTheSolutionWithAndWithoutMarks) {
  SeededSet const sets[] = {
      {"regular", 6, 1000, test_boards::square_map(), ADJ_NONE, MAP_REGULAR},
      {"diagonals", 3, 2000, test_boards::square_map(), ADJ_X, MAP_REGULAR},
      {"jigsaw", 3, 3000, solver_fixtures::shifted_map(), ADJ_NONE, MAP_IRREGULAR},
  };
  PathTally tally;
  for (auto const& set : sets)
    for (int i = 0; i < set.count; ++i) {
      SCOPED_TRACE(std::string(set.title) + " seed " + std::to_string(set.first_seed + i));
      Board b;
      random_board(b, set.first_seed + i, set.groups, set.adjacency, set.map);
      if (i % 2) sudoku_digit_assistant_all(b.h);  // the player's marks are used
      follow_hints(b, tally);
      if (HasFatalFailure()) return;
    }
  std::cout << "techniques used: " << summary(tally) << "\n";
}

TEST(HintPath, HardPuzzlesFinishWithTheSolution) {
  std::ifstream in(std::string(NONET_SOURCE_DIR) + "/bench/data/hard.txt");
  ASSERT_TRUE(in);
  std::string line;
  PathTally tally;
  for (int n = 0; n < 6 && std::getline(in, line); ++n) {
    SCOPED_TRACE(line);
    Board b;
    line_board(b, line);
    if (n % 2) sudoku_digit_assistant_all(b.h);
    follow_hints(b, tally);
    if (HasFatalFailure()) return;
  }
  std::cout << "techniques used: " << summary(tally) << "\n";
  EXPECT_GT(tally.hardest_position, hint::ladder_position(HIDDEN_SINGLES));
}

class HintOnClassic : public ::testing::Test {
 protected:
  SudokuPuzzle* h = test_boards::new_classic_handle();
  void TearDown() override { sudoku_free(h); }
  int solution(int cell) const { return test_boards::kClassicSolution[cell] - '0'; }
};

TEST_F(HintOnClassic, WrongAnswerComesBeforeAnyTechniqueThenMissingMarks) {
  sudoku_digit_assistant_all(h);
  // An empty cell showing several marks loses its true one (a cell whose marks are
  // all cleared counts as unmarked).
  int marked = -1, view[9];
  for (int i = 0; i < 81 && marked < 0; ++i) {
    sudoku_get_cell(h, i, view);
    if (view[1] == 0 && __builtin_popcount(static_cast<unsigned>(view[2])) >= 2) marked = i;
  }
  ASSERT_GE(marked, 0);
  sudoku_toggle_elim_bit(h, marked, solution(marked));
  int const wrong_cell = 72, wrong_digit = solution(72) == 9 ? 1 : 9;
  sudoku_set_user_answer(h, wrong_cell, wrong_digit, 0, 1);

  SudokuHint hint;
  ASSERT_EQ(sudoku_hint(h, &hint), 1);
  EXPECT_EQ(hint.kind, SUDOKU_HINT_WRONG_ANSWER);
  EXPECT_STREQ(hint.name, "wrong_answer");
  ASSERT_EQ(hint.n_pattern, 1);
  EXPECT_EQ(hint.pattern[0], wrong_cell);
  EXPECT_EQ(hint.digits, 1 << wrong_digit);
  EXPECT_EQ(hint.n_placements + hint.n_eliminations, 0);
  ASSERT_EQ(sudoku_apply_hint(h, &hint), 1);
  sudoku_get_cell(h, wrong_cell, view);
  EXPECT_EQ(view[3], 0);
  EXPECT_EQ(sudoku_apply_hint(h, &hint), 0);  // stale now

  ASSERT_EQ(sudoku_hint(h, &hint), 1);
  EXPECT_EQ(hint.kind, SUDOKU_HINT_WRONG_MARK);
  ASSERT_EQ(hint.n_pattern, 1);
  EXPECT_EQ(hint.pattern[0], marked);
  EXPECT_EQ(hint.digits, 1 << solution(marked));
  ASSERT_EQ(sudoku_apply_hint(h, &hint), 1);
  sudoku_get_cell(h, marked, view);
  EXPECT_TRUE(view[2] & (1 << solution(marked)));

  ASSERT_EQ(sudoku_hint(h, &hint), 1);
  EXPECT_EQ(hint.kind, SUDOKU_HINT_STEP);
}

TEST(HintMarks, EliminationsOnABoardWithoutMarksShowTheCellsCandidates) {
  // Apply steps until one removes candidates; its cells then show marks without the digit.
  std::ifstream in(std::string(NONET_SOURCE_DIR) + "/bench/data/hard.txt");
  std::string line;
  ASSERT_TRUE(std::getline(in, line));
  Board b;
  line_board(b, line);
  SudokuHint hint;
  int view[9];
  for (int guard = 0; guard < 81 && sudoku_hint(b.h, &hint) == 1; ++guard) {
    ASSERT_EQ(sudoku_apply_hint(b.h, &hint), 1);
    if (hint.n_eliminations == 0) continue;
    for (int i = 0; i < hint.n_eliminations; ++i) {
      int const cell = hint.eliminations[i][0];
      sudoku_get_cell(b.h, cell, view);
      EXPECT_EQ(view[4], 1);
      EXPECT_FALSE(view[2] & (1 << hint.eliminations[i][1]));
      EXPECT_TRUE(view[2] & (1 << b.solution[cell]));
    }
    return;
  }
  FAIL() << "no elimination step on a hard puzzle";
}

TEST_F(HintOnClassic, ForgedAndStaleHintsAreRefusedWhole) {
  SudokuHint hint;
  ASSERT_EQ(sudoku_hint(h, &hint), 1);
  ASSERT_EQ(hint.kind, SUDOKU_HINT_STEP);
  auto const before = bytes_of(h);
  SudokuHint forged = hint;
  struct Forgery {
    char const* what;
    void (*change)(SudokuHint&);
  };
  Forgery const forgeries[] = {
      {"wrong digit placed", [](SudokuHint& f) { f.n_placements = 1, f.placements[0][0] = 2, f.placements[0][1] = 1; }},
      {"true candidate removed",
       [](SudokuHint& f) { f.n_eliminations = 1, f.eliminations[0][0] = 2, f.eliminations[0][1] = 4; }},
      {"cell out of range", [](SudokuHint& f) { f.n_eliminations = 1, f.eliminations[0][0] = 81; }},
      {"count out of range", [](SudokuHint& f) { f.n_eliminations = SUDOKU_HINT_MAX_ELIMINATIONS + 1; }},
      {"negative count", [](SudokuHint& f) { f.n_placements = -1; }},
      {"given cell", [](SudokuHint& f) { f.n_placements = 1, f.placements[0][0] = 0, f.placements[0][1] = 5; }},
      {"unknown kind", [](SudokuHint& f) { f.kind = 7; }},
      {"nothing to do", [](SudokuHint& f) { f.kind = SUDOKU_HINT_NONE; }},
      {"wrong answer that is not on the board", [](SudokuHint& f) { f.kind = SUDOKU_HINT_WRONG_ANSWER; }},
      {"missing mark that is not missing", [](SudokuHint& f) { f.kind = SUDOKU_HINT_WRONG_MARK; }},
  };
  for (auto const& f : forgeries) {
    forged = hint;
    f.change(forged);
    EXPECT_EQ(sudoku_apply_hint(h, &forged), 0) << f.what;
    EXPECT_EQ(bytes_of(h), before) << f.what;
  }
  EXPECT_EQ(sudoku_apply_hint(h, nullptr), -1);
  EXPECT_EQ(sudoku_apply_hint(nullptr, &hint), -1);
  EXPECT_EQ(sudoku_apply_hint(h, &hint), 1);
  EXPECT_EQ(sudoku_apply_hint(h, &hint), 0);  // already placed
}

TEST(HintBadInput, NullEmptyAndInconsistentBoards) {
  SudokuHint hint;
  std::memset(&hint, 0x5A, sizeof hint);
  EXPECT_EQ(sudoku_hint(nullptr, &hint), -1);
  EXPECT_EQ(hint.kind, 0);
  EXPECT_EQ(hint.n_pattern, 0);

  SudokuPuzzle* empty = sudoku_new();
  EXPECT_EQ(sudoku_hint(empty, nullptr), -1);
  EXPECT_EQ(sudoku_hint(empty, &hint), -1);  // no board, no solution
  sudoku_free(empty);

  // A board whose solution repeats a digit in a row cannot be hinted from.
  SudokuPuzzle* h = test_boards::new_classic_handle();
  auto bytes = bytes_of(h);
  int const two = 2;
  std::memcpy(bytes.data() + 64 * 1 + 40, &two, sizeof two);  // cell 1's solution := 2, twice in row 0
  sudoku_set_puzzle_bytes(h, bytes.data());
  sudoku_setup_loaded(h, 0, 0);
  EXPECT_EQ(sudoku_hint(h, &hint), -1);
  sudoku_free(h);

  // Random bytes never make a hint read or write outside the board.
  std::vector<unsigned char> noise(static_cast<size_t>(sudoku_puzzle_byte_size()));
  uint32_t state = 12345;
  for (int round = 0; round < 20; ++round) {
    for (auto& byte : noise) byte = static_cast<unsigned char>((state = state * 1103515245u + 12345u) >> 24);
    SudokuPuzzle* r = sudoku_new();
    sudoku_set_puzzle_bytes(r, noise.data());
    sudoku_setup_loaded(r, round % 2, round % 3 == 0);
    EXPECT_EQ(sudoku_hint(r, &hint), -1);
    EXPECT_EQ(sudoku_apply_hint(r, &hint), 0);
    sudoku_free(r);
  }
}

TEST(HintBadInput, SolvedBoardHasNothingToHint) {
  SudokuPuzzle* h = test_boards::new_classic_handle();
  for (int i = 0; i < 81; ++i)
    if (test_boards::kClassicPuzzle[i] == '.') sudoku_set_user_answer(h, i, test_boards::kClassicSolution[i] - '0', 0, 1);
  SudokuHint hint;
  EXPECT_EQ(sudoku_hint(h, &hint), 0);
  EXPECT_EQ(hint.kind, SUDOKU_HINT_NONE);
  EXPECT_EQ(sudoku_apply_hint(h, &hint), 0);
  sudoku_free(h);
}

}  // namespace
