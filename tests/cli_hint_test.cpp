// nonet hint and nonet explain, run as programs: the path in JSON Lines replays to
// the solution, the tally adds up, and bad or ambiguous puzzles are reported.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>
#include <sys/wait.h>
#include <unistd.h>

#include "api/engine_api.h"
#include "model/types.h"
#include "testing/test_boards.h"

namespace {

std::string nonet_path() { return std::string(NONET_BINARY_DIR) + "/cli/nonet"; }

struct ToolRun {
  std::string out, err;
  int status = -1;
};

// Runs nonet with args and input on standard input.
ToolRun run_nonet(std::string const& args, std::string const& input) {
  std::string const base = std::string(NONET_BINARY_DIR) + "/hint_test_" + std::to_string(getpid());
  std::ofstream(base + ".in") << input;
  std::string const cmd = nonet_path() + " " + args + " < " + base + ".in 2> " + base + ".err";
  ToolRun r;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[4096];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    int const status = pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::ifstream e(base + ".err");
  r.err.assign(std::istreambuf_iterator<char>(e), std::istreambuf_iterator<char>());
  return r;
}

bool have_cli() { return std::ifstream(nonet_path()).good(); }

std::string first_hard_puzzle() {
  std::ifstream in(std::string(NONET_SOURCE_DIR) + "/bench/data/hard.txt");
  std::string line;
  std::getline(in, line);
  return line;
}

TEST(CliExplain, JsonPathReplaysToTheSolutionAndTheTallyAddsUp) {
  if (!have_cli()) GTEST_SKIP() << "nonet tool not built";
  std::string grid = first_hard_puzzle();
  ToolRun const r = run_nonet("explain -f json", grid + "\n");
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.out);
  std::string line;
  std::vector<nlohmann::json> objects;
  while (std::getline(lines, line)) objects.push_back(nlohmann::json::parse(line));
  ASSERT_GE(objects.size(), 2u);
  int steps = 0;
  std::map<std::string, int> uses;
  for (size_t i = 0; i + 1 < objects.size(); ++i) {
    auto const& step = objects[i];
    for (char const* key : {"technique", "level", "placements", "eliminations", "pattern", "text"})
      ASSERT_TRUE(step.contains(key)) << key << " in " << step.dump();
    EXPECT_EQ(step["step"], ++steps);
    ++uses[step["technique"].get<std::string>()];
    for (auto const& p : step["placements"]) {
      int const cell = p[0], digit = p[1];
      ASSERT_EQ(grid[static_cast<size_t>(cell)], '.') << step.dump();
      grid[static_cast<size_t>(cell)] = static_cast<char>('0' + digit);
    }
  }
  auto const& tally = objects.back();
  EXPECT_EQ(tally["steps"], steps);
  using Uses = std::map<std::string, int>;
  EXPECT_EQ(tally["tally"].get<Uses>(), uses);
  EXPECT_TRUE(uses.count(tally["hardest"].get<std::string>()));
  // The placements fill the grid with its unique solution.
  ToolRun const solved = run_nonet("solve", first_hard_puzzle() + "\n");
  EXPECT_EQ(solved.out, "1 " + grid + "\n");
}

TEST(CliHint, TextPerPuzzleAndProblemsNamed) {
  if (!have_cli()) GTEST_SKIP() << "nonet tool not built";
  std::string input = std::string(test_boards::kClassicPuzzle) + "\n";
  input += "not a puzzle\n";
  input += std::string(81, '.') + "\n";  // many solutions
  ToolRun const r = run_nonet("hint", input);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out.rfind("line 1: Naked single: ", 0), 0u) << r.out;
  EXPECT_EQ(r.out.find("line 3"), std::string::npos) << r.out;
  EXPECT_NE(r.err.find("nonet hint: line 2:"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("nonet hint: line 3: the puzzle has more than one solution"), std::string::npos) << r.err;

  ToolRun const bad_map = run_nonet("explain --groups 123", "");
  EXPECT_EQ(bad_map.status, 2);
  EXPECT_EQ(bad_map.err.rfind("nonet explain: bad --groups map", 0), 0u) << bad_map.err;
}

// Boards in play: the classic puzzle with answers and marks, in the tool's board forms.
struct Board {
  std::string cells[81];  // "5" given, "+5" answer, "[129]" marks, "." empty

  Board() {
    for (int c = 0; c < 81; ++c)
      cells[c] = test_boards::kClassicPuzzle[c] == '.' ? "." : std::string(1, test_boards::kClassicPuzzle[c]);
  }
  static char digit(int c) { return test_boards::kClassicSolution[c]; }
  std::string line() const {
    std::string out;
    for (auto const& cell : cells) out += cell + " ";
    return out;
  }
  // Nine rows with the frame `nonet show` prints.
  std::string rows() const {
    std::string out;
    for (int r = 0; r < 9; ++r) {
      if (r % 3 == 0) out += "+-------+-------+-------+\n";
      for (int c = 0; c < 9; ++c) out += (c % 3 == 0 ? "| " : "") + cells[9 * r + c] + " ";
      out += "|\n";
    }
    return out + "+-------+-------+-------+\n";
  }
};

std::vector<int> empty_cells() {
  std::vector<int> out;
  for (int c = 0; c < 81; ++c)
    if (test_boards::kClassicPuzzle[c] == '.') out.push_back(c);
  return out;
}

nlohmann::json only_json(ToolRun const& r) {
  EXPECT_EQ(r.status, 0) << r.err;
  return nlohmann::json::parse(r.out.substr(0, r.out.find('\n')));
}

TEST(CliHint, BoardsWithAnswersAndMarksInEveryForm) {
  if (!have_cli()) GTEST_SKIP() << "nonet tool not built";
  auto const empty = empty_cells();
  using Pairs = std::vector<std::vector<int>>;
  // Every answer right but the last empty cell's: that cell is the next naked single.
  Board all_but_one;
  for (int c : empty) all_but_one.cells[c] = std::string("+") + Board::digit(c);
  int const last = empty.back();
  all_but_one.cells[last] = ".";
  for (std::string const& input : {all_but_one.line(), all_but_one.rows()}) {
    auto const j = only_json(run_nonet("hint -f json", input));
    EXPECT_EQ(j["technique"], "naked_single") << input;
    EXPECT_EQ(j["placements"].get<Pairs>(), (Pairs{{last, Board::digit(last) - '0'}})) << input;
  }
  // A wrong answer far down the board comes before any step.
  Board wrong;
  wrong.cells[empty[0]] = std::string("+") + Board::digit(empty[0]);
  wrong.cells[last] = std::string("+") + static_cast<char>('1' + (Board::digit(last) - '0') % 9);
  auto const j = only_json(run_nonet("hint -f json", wrong.line()));
  EXPECT_EQ(j["technique"], "wrong_answer");
  EXPECT_EQ(j["pattern"].get<std::vector<int>>(), std::vector<int>{last});
  // The same board as JSON gives the same hint.
  std::string answers(81, '.');
  answers[static_cast<size_t>(empty[0])] = Board::digit(empty[0]);
  answers[static_cast<size_t>(last)] = wrong.cells[last][1];
  nlohmann::json board{{"clues", test_boards::kClassicPuzzle}, {"answers", answers}};
  EXPECT_EQ(only_json(run_nonet("hint -f json", board.dump())), j);
  // Marks: a cell showing marks without its digit is named; marks cut to its digit make it a
  // naked single before any other cell (JSON marks as digit strings and as masks).
  int const first = empty[0];
  Board marks;
  marks.cells[first] = "[" + std::string(1, static_cast<char>('1' + (Board::digit(first) - '0') % 9)) + "]";
  EXPECT_EQ(only_json(run_nonet("hint -f json", marks.rows()))["technique"], "wrong_mark");
  marks.cells[first] = std::string("[") + Board::digit(first) + "]";
  auto const single = only_json(run_nonet("hint -f json", marks.line()));
  EXPECT_EQ(single["placements"].get<Pairs>(), (Pairs{{first, Board::digit(first) - '0'}}));
  std::vector<nlohmann::json> mark_list(81, "");
  mark_list[static_cast<size_t>(first)] = 1 << (Board::digit(first) - '0');
  board = {{"clues", test_boards::kClassicPuzzle}, {"marks", mark_list}};
  EXPECT_EQ(only_json(run_nonet("hint -f json", board.dump())), single);

  // explain from a board: the wrong answer first, then the path to the solution.
  ToolRun const path = run_nonet("explain -f json", wrong.line());
  ASSERT_EQ(path.status, 0) << path.err;
  std::istringstream lines(path.out);
  std::string line, grid = test_boards::kClassicPuzzle;
  grid[static_cast<size_t>(empty[0])] = Board::digit(empty[0]);
  std::getline(lines, line);
  EXPECT_EQ(nlohmann::json::parse(line)["technique"], "wrong_answer");
  while (std::getline(lines, line))
    for (auto const& p : nlohmann::json::parse(line).value("placements", nlohmann::json::array()))
      grid[p[0].get<size_t>()] = static_cast<char>('0' + p[1].get<int>());
  EXPECT_EQ(grid, test_boards::kClassicSolution);
}

TEST(CliHint, BadBoardsAreNamed) {
  if (!have_cli()) GTEST_SKIP() << "nonet tool not built";
  std::string answers(81, '.');
  answers[0] = '5';  // r1c1 is a given
  struct Case {
    std::string input, message;
  } const cases[] = {
      {nlohmann::json{{"clues", test_boards::kClassicPuzzle}, {"answers", answers}}.dump(),
       "line 1: r1c1 is a given and holds an answer"},
      {nlohmann::json{{"clues", test_boards::kClassicPuzzle}, {"marks", std::vector<std::string>(80, "")}}.dump(),
       "line 1: bad \"marks\": not a list of 81 entries"},
      {nlohmann::json{{"clues", test_boards::kClassicPuzzle}, {"marks", std::vector<std::string>(81, "0")}}.dump(),
       "line 1: bad \"marks\" of r1c1"},
      {"53..7....6..195....98....6.8...6...34..8.3..17...2...6.6....28....419..5....8..7 +9 [12",
       "line 1: not a puzzle"},
  };
  for (auto const& c : cases) {
    ToolRun const r = run_nonet("hint", c.input + "\n");
    EXPECT_EQ(r.status, 1) << c.input;
    EXPECT_NE(r.err.find("nonet hint: " + c.message), std::string::npos) << r.err;
  }
}

// A saved board: the board image (5232 bytes) and the cell bytes of sudoku_get_puzzle_bytes
// (5184) read as the board they hold; damaged bytes are named.
TEST(CliHint, SavedBoardImages) {
  if (!have_cli()) GTEST_SKIP() << "nonet tool not built";
  auto const empty = empty_cells();
  int const wrong_cell = empty[5];
  SudokuPuzzle* h = test_boards::new_classic_handle();
  sudoku_set_user_answer(h, wrong_cell, 1 + (Board::digit(wrong_cell) - '0') % 9, 0, 0);
  PuzzleData image{};
  sudoku_get_puzzle_bytes(h, image.cells);
  sudoku_free(h);
  std::string const base = std::string(NONET_BINARY_DIR) + "/hint_image_" + std::to_string(getpid());
  auto write = [&](std::string const& name, void const* bytes, size_t n) {
    std::ofstream(base + name, std::ios::binary).write(static_cast<char const*>(bytes), static_cast<std::streamsize>(n));
    return base + name;
  };
  for (size_t size : {sizeof image, sizeof image.cells}) {
    auto const j = only_json(run_nonet("hint -f json " + write(".board", &image, size), ""));
    EXPECT_EQ(j["technique"], "wrong_answer") << size;
    EXPECT_EQ(j["pattern"].get<std::vector<int>>(), std::vector<int>{wrong_cell}) << size;
  }
  image.cells[3].house[DIM_GROUP] = 12;
  std::string const bad = write(".bad", &image, sizeof image);
  ToolRun const r = run_nonet("hint " + bad, "");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err, "nonet hint: " + bad + ": cell r1c4 of the board image is out of range\n");
}

// Ctrl-C during explain over endless input: whole paths printed, the count said, status 130.
TEST(CliExplain, CtrlCPrintsWhatFinishedAndExits130) {
  if (!have_cli()) GTEST_SKIP() << "nonet tool not built";
  std::string const base = std::string(NONET_BINARY_DIR) + "/explain_interrupt_" + std::to_string(getpid());
  std::string const cmd = "yes '" + first_hard_puzzle() + "' | " + nonet_path() + " explain -f json > " + base +
                          ".out 2> " + base + ".err & pid=$!; sleep 1; kill -INT $pid; wait $pid; echo $?";
  std::string status;
  if (FILE* p = popen(cmd.c_str(), "r")) {
    char buf[64];
    while (fgets(buf, sizeof buf, p)) status += buf;
    pclose(p);
  }
  EXPECT_EQ(status, "130\n");
  std::ifstream out(base + ".out"), err(base + ".err");
  std::string line, message((std::istreambuf_iterator<char>(err)), std::istreambuf_iterator<char>());
  long tallies = 0;
  while (std::getline(out, line)) tallies += nlohmann::json::parse(line).contains("tally");
  EXPECT_EQ(message, "nonet explain: interrupted after " + std::to_string(tallies) + (tallies == 1 ? " puzzle\n" : " puzzles\n"));
}

}  // namespace
