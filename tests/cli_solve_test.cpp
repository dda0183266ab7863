// The nonet solve command, run as a program.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "test_boards.h"

namespace {

struct ToolRun {
  std::string out;
  int status = -1;
};

std::string nonet_path() { return std::string(NONET_BINARY_DIR) + "/cli/nonet"; }

// Runs nonet with args, feeding input on standard input; stderr goes to err_file.
ToolRun run_nonet(std::string const& args, std::string const& input, std::string const& err_file) {
  // One input file per test process: ctest runs the tests of this file in parallel.
  std::string const in_file =
      std::string(NONET_BINARY_DIR) + "/solve_test_input_" + std::to_string(getpid()) + ".txt";
  std::ofstream(in_file) << input;
  std::string const cmd = nonet_path() + " " + args + " < " + in_file + " 2> " + err_file;
  ToolRun r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int const status = pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

std::string slurp(std::string const& path) {
  std::ifstream f(path);
  return std::string(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
}

bool have_cli() { return std::ifstream(nonet_path()).good(); }

}  // namespace

TEST(CliSolve, CountsSolutionsAndReportsMalformedLines) {
  if (!have_cli()) GTEST_SKIP() << "nonet tool not built";
  std::string const err = std::string(NONET_BINARY_DIR) + "/solve_test_err_" + std::to_string(getpid()) + ".txt";
  std::string input = std::string(test_boards::kClassicPuzzle) + "\n";
  input += "not a puzzle\n";
  input += std::string(81, '.') + "\n";
  input += "11" + std::string(79, '0') + "\n";
  ToolRun const r = run_nonet("solve", input, err);
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, std::string("1 ") + test_boards::kClassicSolution + "\n2+\n0\n");
  std::string const e = slurp(err);
  EXPECT_NE(e.find("line 2:"), std::string::npos) << e;
  EXPECT_EQ(e.find("line 1:"), std::string::npos) << e;
}

TEST(CliSolve, NineLinesOfNineAndJson) {
  if (!have_cli()) GTEST_SKIP() << "nonet tool not built";
  std::string const err = std::string(NONET_BINARY_DIR) + "/solve_test_err_" + std::to_string(getpid()) + ".txt";
  std::string input;
  for (int r = 0; r < 9; ++r) input += std::string(test_boards::kClassicPuzzle + 9 * r, 9) + "\n";
  ToolRun const r = run_nonet("solve --format json --canonical", input, err);
  EXPECT_EQ(r.status, 0);
  EXPECT_NE(r.out.find("\"solution\":\"" + std::string(test_boards::kClassicSolution) + "\""), std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\"solutions\":\"1\""), std::string::npos);
  EXPECT_NE(r.out.find("\"orientation\":"), std::string::npos);
  EXPECT_NE(r.out.find("\"relabel\":[0,"), std::string::npos);
}

TEST(CliSolve, DiagonalsAndGroupMapsChangeTheCount) {
  if (!have_cli()) GTEST_SKIP() << "nonet tool not built";
  std::string const err = std::string(NONET_BINARY_DIR) + "/solve_test_err_" + std::to_string(getpid()) + ".txt";
  // The classic solution repeats digits on the main diagonal (5, 7, 8, 7, ...): with
  // diagonal units the puzzle has no solution.
  ToolRun const plain = run_nonet(std::string("solve ") + test_boards::kClassicPuzzle, "", err);
  ToolRun const x = run_nonet(std::string("solve --x ") + test_boards::kClassicPuzzle, "", err);
  EXPECT_EQ(plain.out.substr(0, 2), "1 ");
  EXPECT_EQ(x.out, "0\n");
  ToolRun const bad_map = run_nonet("solve --groups 0123 " + std::string(81, '.'), "", err);
  EXPECT_NE(bad_map.status, 0);
  EXPECT_NE(slurp(err).find("--groups"), std::string::npos);
}
