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

}  // namespace
