// The nonet classify and nonet harvest commands, run as programs.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include "testing/test_boards.h"

namespace {

struct ToolResult {
  std::string out, err;
  int status = -1;
};

std::string tool() { return std::string(NONET_BINARY_DIR) + "/cli/nonet"; }

std::string scratch(char const* what) {
  return std::string(NONET_BINARY_DIR) + "/classify_cli_" + what + "_" + std::to_string(getpid()) + ".txt";
}

ToolResult run(std::string const& args, std::string const& input = "") {
  std::string const in = scratch("in"), err = scratch("err");
  std::ofstream(in) << input;
  ToolResult r;
  FILE* p = popen((tool() + " " + args + " < " + in + " 2> " + err).c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int const status = pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  std::ifstream e(err);
  r.err.assign(std::istreambuf_iterator<char>(e), std::istreambuf_iterator<char>());
  std::remove(in.c_str());
  std::remove(err.c_str());
  return r;
}

std::vector<std::string> lines_of(std::string const& text) {
  std::vector<std::string> out;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) out.push_back(line);
  return out;
}

std::vector<std::string> fields(std::string const& line, char sep) {
  std::vector<std::string> out;
  std::istringstream in(line);
  for (std::string f; std::getline(in, f, sep);) out.push_back(f);
  return out;
}

bool have_tool() { return std::ifstream(tool()).good(); }

char const* const kBeyondLogic = "1.......2.9.4...5...6...7...5.9.3.......7.......85..4.7.....6...3...9.8...2.....1";

TEST(CliClassify, InputOrderBadLinesAndFormats) {
  if (!have_tool()) GTEST_SKIP() << "nonet tool not built";
  std::string const input = std::string(kBeyondLogic) + "\nnot a puzzle\n" + test_boards::kClassicPuzzle + "\n" +
                            std::string(81, '.') + "\n";
  ToolResult const r = run("classify -j 2", input);
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("nonet classify: line 2:"), std::string::npos) << r.err;
  auto const lines = lines_of(r.out);
  ASSERT_EQ(lines.size(), 3u) << r.out;
  auto const first = fields(lines[0], '\t'), second = fields(lines[1], '\t'), third = fields(lines[2], '\t');
  ASSERT_EQ(first.size(), 5u);
  EXPECT_EQ(first[0], "beyond_hell");
  EXPECT_EQ(first[1], "16");
  EXPECT_EQ(first[2], "Beyond Hell \xE2\x80\x94 Brute Force");
  EXPECT_EQ(first[3], "21");
  EXPECT_EQ(first[4], "unique");
  EXPECT_EQ(second[3], "30");
  EXPECT_EQ(third[0], "unsolvable");
  EXPECT_EQ(third[4], "several");

  ToolResult const json = run(std::string("classify -f json --detail ") + test_boards::kClassicPuzzle);
  EXPECT_EQ(json.status, 0);
  EXPECT_NE(json.out.find("\"value\":\"" + std::string(test_boards::kClassicSolution) + "\""), std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"method\":[-2,-2,"), std::string::npos);
  EXPECT_NE(json.out.find("\"givens\":30"), std::string::npos);

  ToolResult const csv = run(std::string("classify -f csv ") + kBeyondLogic);
  auto const rows = lines_of(csv.out);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(fields(rows[0], ',').size(), fields(rows[1], ',').size());
  EXPECT_EQ(rows[0].rfind("source,puzzle,bucket,", 0), 0u);
}

TEST(CliHarvest, SeededOutputIsTheSameForAnyThreadCount) {
  if (!have_tool()) GTEST_SKIP() << "nonet tool not built";
  ToolResult const one = run("harvest -n 4 -j 1 --seed 17");
  ToolResult const two = run("harvest -n 4 -j 2 --seed 17");
  EXPECT_EQ(one.status, 0);
  EXPECT_EQ(one.out, two.out);
  EXPECT_NE(one.err.find("nonet harvest: "), std::string::npos);
  // Every kept puzzle rates into the bucket printed with it.
  std::string puzzles, buckets;
  for (auto const& line : lines_of(one.out)) {
    auto const f = fields(line, ' ');
    ASSERT_EQ(f.size(), 3u) << line;
    buckets += f[0] + "\n";
    puzzles += f[1] + "\n";
  }
  ASSERT_FALSE(puzzles.empty());
  ToolResult const rated = run("classify", puzzles);
  std::string rated_buckets;
  for (auto const& line : lines_of(rated.out)) rated_buckets += fields(line, '\t')[0] + "\n";
  EXPECT_EQ(rated_buckets, buckets);

  ToolResult const targeted = run("harvest --bucket medium --count 2 --seed 4 -j 2");
  auto const found = lines_of(targeted.out);
  ASSERT_EQ(found.size(), 2u) << targeted.err;
  for (auto const& line : found) EXPECT_EQ(fields(line, ' ')[0], "moderate");

  EXPECT_NE(run("harvest --bucket nonsense").status, 0);
  EXPECT_NE(run("harvest --count 3").status, 0);  // --count needs --bucket
}

}  // namespace
