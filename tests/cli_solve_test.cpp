// nonet solve and nonet show, run as programs: every puzzle form the tool prints
// or users have, read back; messages, exit codes and threads.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/cli_run.h"
#include "testing/random_puzzles.h"
#include "testing/test_boards.h"

using cli_run::Result;
using cli_run::run_args;
using cli_run::run_input;

namespace {

std::string with_empty_mark(std::string grid, char mark) {
  for (char& ch : grid)
    if (ch == '.') ch = mark;
  return grid;
}

std::string rows_of(std::string const& grid, std::string const& separator) {
  std::string out;
  for (int r = 0; r < 9; ++r) {
    for (int c = 0; c < 9; ++c) out += grid.substr(9 * r + c, 1) + (c < 8 ? separator : "");
    out += "\n";
  }
  return out;
}

}  // namespace

TEST(CliSolve, ReadsEveryPuzzleFormOfTheToolAndTheCommonOnes) {
  if (!cli_run::have_cli()) GTEST_SKIP() << "nonet tool not built";
  std::string const puzzle = test_boards::kClassicPuzzle, solution = test_boards::kClassicSolution;
  std::string const framed = run_args({"show", puzzle}).out;  // the frame nonet prints
  ASSERT_NE(framed.find("------+-------+------"), std::string::npos) << framed;
  struct Case {
    char const* form;
    std::string input;
  };
  Case const cases[] = {
      {"81 cells, '.' empty", puzzle + "\n"},
      {"'0' empty", with_empty_mark(puzzle, '0') + "\n"},
      {"'-' empty", with_empty_mark(puzzle, '-') + "\n"},
      {"spaced cells, no final newline", rows_of(puzzle, " ").substr(0, 17) + " " + puzzle.substr(9)},
      {"nine lines of nine", rows_of(puzzle, "")},
      {"the frame of show, with a header line", "moderate, 30 clues\n" + framed},
      {"photo .dat layout", "sonyEricsson s500i\n640x480:24 JPG\n" + rows_of(with_empty_mark(puzzle, '0'), " ")},
      {"generate's JSON", "{\"clues\":\"" + puzzle + "\",\"difficulty\":\"moderate\",\"x\":false}\n"},
      {"solve's JSON", "{\"source\":\"line 1\",\"puzzle\":\"" + puzzle + "\",\"solutions\":1}\n"},
      {"comments and blank lines", "# puzzles\n\n" + puzzle + "\n\n"},
  };
  for (Case const& k : cases) {
    Result const r = run_input({"solve"}, k.input);
    EXPECT_EQ(r.status, 0) << k.form << "\n" << r.err;
    EXPECT_EQ(r.out, "1 " + solution + "\n") << k.form;
    EXPECT_EQ(r.err, "") << k.form;
  }
  // Its own line output reads back: the solution is a complete puzzle of one solution.
  Result const again = run_input({"solve"}, run_input({"solve"}, puzzle + "\n").out);
  EXPECT_EQ(again.out, "1 " + solution + "\n");
  // Arguments and files.
  std::string const file = cli_run::scratch("puzzles.txt");
  cli_run::write_file(file, rows_of(puzzle, " "));
  Result const mixed = run_args({"solve", puzzle, file, std::string(81, '.')});
  EXPECT_EQ(mixed.out, "1 " + solution + "\n1 " + solution + "\n2+\n");
  EXPECT_EQ(mixed.status, 0) << mixed.err;
  ::unlink(file.c_str());
}

TEST(CliSolve, JigsawRegionsTravelWithThePuzzle) {
  if (!cli_run::have_cli()) GTEST_SKIP() << "nonet tool not built";
  sudoku_seed_random(77);
  random_puzzles::Generated const g = random_puzzles::generate(random_puzzles::Kind::Jigsaw);
  sudoku_seed_random(0);
  std::string groups;
  for (int v : random_puzzles::jigsaw_layout().group) groups += static_cast<char>('0' + v);
  std::string const expected = "1 " + g.solution + "\n";
  EXPECT_EQ(run_args({"solve", "--groups", groups, g.clues}).out, expected);
  // Boxes are wrong for this puzzle: its solution breaks them.
  EXPECT_NE(run_args({"solve", g.clues}).out, expected);
  std::string const line = g.clues + " " + groups;  // the jigsaw line form
  EXPECT_EQ(run_input({"solve"}, line + "\n").out, expected);
  // show prints region letters; they read back as the same puzzle and map.
  Result const lettered = run_args({"show", line});
  ASSERT_EQ(lettered.status, 0) << lettered.err;
  EXPECT_NE(lettered.out.find('a'), std::string::npos);
  EXPECT_EQ(run_input({"solve"}, lettered.out).out, expected);
  EXPECT_EQ(run_input({"show", "-f", "line"}, lettered.out).out, line + "\n");
  Result const json = run_input({"solve", "-f", "json"}, lettered.out);
  EXPECT_NE(json.out.find("\"groups\":\"" + groups + "\""), std::string::npos) << json.out;
  EXPECT_NE(json.out.find("\"solutions\":1,"), std::string::npos) << json.out;
}

TEST(CliSolve, ProblemsAreNamedAndExitOne) {
  if (!cli_run::have_cli()) GTEST_SKIP() << "nonet tool not built";
  std::string const puzzle = test_boards::kClassicPuzzle;
  std::string const repeated = "11" + std::string(79, '0');
  Result const r = run_input({"solve"}, puzzle + "\nnot a puzzle\n" + std::string(81, '.') + "\n" + repeated +
                                            "\n" + puzzle.substr(0, 80) + "\n\x01\x9b\xff garbage\n");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.out, std::string("1 ") + test_boards::kClassicSolution + "\n2+\n0\n");
  EXPECT_NE(r.err.find("nonet solve: line 2: not a puzzle: 'not a puzzle'"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("nonet solve: line 4: digit 1 twice in row 1 (r1c1, r1c2)"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("nonet solve: line 5: expected 81 cells, got 80"), std::string::npos) << r.err;
  EXPECT_NE(r.err.find("line 6: not a puzzle: '\\x01\\x9b\\xff garbage'"), std::string::npos) << r.err;
  for (char ch : r.err) EXPECT_TRUE(ch == '\n' || (ch >= 0x20 && ch < 0x7f)) << "raw byte in messages";

  struct Case {
    char const* what;
    std::vector<std::string> args;
    std::string stdin_path;
    int status;
    std::string message;
  };
  Case const cases[] = {
      {"empty input", {"solve"}, "/dev/null", 1, "nonet solve: no puzzle in standard input"},
      {"a directory on standard input", {"solve"}, "/", 1, "nonet solve: standard input: Is a directory"},
      {"a directory argument", {"solve", "/"}, "/dev/null", 1, "nonet solve: /: Is a directory"},
      {"a missing file", {"solve", "/nonexistent/p.txt"}, "/dev/null", 1, "/nonexistent/p.txt: No such file"},
      {"a short puzzle argument", {"solve", "123"}, "/dev/null", 1, "argument 1: expected 81 cells, got 3"},
      {"show of a bad puzzle", {"show", "12x"}, "/dev/null", 1, "nonet show: argument 1: not a puzzle"},
      {"hint of a repeated given", {"hint", "11" + std::string(79, '.')}, "/dev/null", 1,
       "nonet hint: argument 1: digit 1 twice in row 1"},
      {"explain of a puzzle of several solutions", {"explain", std::string(81, '.')}, "/dev/null", 1,
       "nonet explain: argument 1: the puzzle has more than one solution"},
      {"a bad map", {"solve", "--groups", "0123", puzzle}, "/dev/null", 2, "nonet solve: bad --groups map"},
      {"an unknown format", {"solve", "-f", "xml", puzzle}, "/dev/null", 2, "nonet solve: --format"},
      {"threads out of range", {"solve", "-j", "0", puzzle}, "/dev/null", 2, "nonet solve: --threads"},
  };
  for (Case const& k : cases) {
    Result const e = run_args(k.args, k.stdin_path);
    EXPECT_EQ(e.status, k.status) << k.what << "\n" << e.err;
    EXPECT_NE(e.err.find(k.message), std::string::npos) << k.what << "\n" << e.err;
    EXPECT_EQ(e.err.rfind("nonet", 0), 0u) << k.what << "\n" << e.err;
  }
}

TEST(CliSolve, DiagonalsTextJsonAndCanonicalForm) {
  if (!cli_run::have_cli()) GTEST_SKIP() << "nonet tool not built";
  std::string const puzzle = test_boards::kClassicPuzzle;
  // The classic solution repeats digits on the main diagonal (5, 7, 8, 7, ...): with
  // diagonal units the puzzle has no solution.
  EXPECT_EQ(run_args({"solve", "--x", puzzle}).out, "0\n");
  EXPECT_EQ(run_input({"solve"}, "{\"clues\":\"" + puzzle + "\",\"x\":true}\n").out, "0\n");
  Result const json = run_args({"solve", "--format", "json", "--canonical", puzzle});
  EXPECT_EQ(json.status, 0);
  EXPECT_NE(json.out.find("\"solutions\":1,\"solution\":\"" + std::string(test_boards::kClassicSolution) + "\""),
            std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"relabel\":[0,"), std::string::npos);
  Result const text = run_args({"solve", "-f", "text", puzzle});
  EXPECT_EQ(text.out.rfind("argument 1: 1 solution\n5 3 4 | 6 7 8 | 9 1 2\n", 0), 0u) << text.out;
}

TEST(CliSolve, ThreadsKeepInputOrderAcrossBatches) {
  if (!cli_run::have_cli()) GTEST_SKIP() << "nonet tool not built";
  // 9000 lines (more than two read batches): puzzles with 0, 1 or 2+ solutions and bad lines.
  std::string input;
  uint32_t state = 12345;
  for (int i = 0; i < 9000; ++i) {
    std::string p = test_boards::kClassicPuzzle;
    state = state * 1664525u + 1013904223u;
    if (i % 997 == 0) {
      input += "bad line " + std::to_string(i) + "\n";
      continue;
    }
    int const cell = static_cast<int>(state >> 8) % 81;
    if (i % 3 == 1) p[cell] = '.';                                          // one or more solutions
    if (i % 3 == 2 && p[cell] == '.') p[cell] = static_cast<char>('1' + i % 9);  // maybe none
    input += p + "\n";
  }
  Result const one = run_input({"solve"}, input);
  Result const three = run_input({"solve", "-j", "3", "-f", "json"}, input);
  Result const three_line = run_input({"solve", "-j", "3"}, input);
  EXPECT_EQ(one.status, 1);
  EXPECT_EQ(three_line.status, 1);
  EXPECT_EQ(three_line.out, one.out);
  EXPECT_EQ(three_line.err, one.err);
  EXPECT_EQ(cli_run::count_lines(one.out), 9000 - 10);
  EXPECT_EQ(cli_run::count_lines(three.out), 9000 - 10);
  EXPECT_NE(one.err.find("line 8974: not a puzzle: 'bad line 8973'"), std::string::npos);
}
