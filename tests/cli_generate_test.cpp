// nonet generate and nonet queue, run as programs; the conventions every
// subcommand follows (exit codes, "nonet:" messages, checked options).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "queue/queue_data.h"
#include "tests/cli_run.h"
#include "util/zipped_file.h"

using cli_run::Result;
using cli_run::run_args;
using cli_run::run_input;

TEST(CliGenerate, SeededBatchesAreReproducibleWhateverTheThreads) {
  Result const a = run_args({"generate", "-d", "easy", "-n", "4", "-j", "1", "--seed", "9", "-f", "line"});
  Result const b = run_args({"generate", "-d", "1", "-n", "4", "-j", "3", "--seed", "9", "-f", "line"});
  ASSERT_EQ(a.status, 0);
  ASSERT_EQ(b.status, 0);
  EXPECT_EQ(a.out, b.out);
  EXPECT_EQ(cli_run::count_lines(a.out), 4);
  EXPECT_EQ(a.out.find_first_not_of(".123456789\n"), std::string::npos);
  Result const json = run_args({"generate", "-d", "quickie", "--x", "--seed", "3", "-f", "json"});
  ASSERT_EQ(json.status, 0);
  for (char const* key : {"\"clues\"", "\"solution\"", "\"groups\"", "\"colors\"", "\"clue_count\":", "\"x\":true"})
    EXPECT_NE(json.out.find(key), std::string::npos) << key;
}

TEST(CliGenerate, EveryOutputFormReadsBackIntoSolve) {
  for (std::string const format : {"text", "line", "json"}) {
    Result const made = run_args({"generate", "-d", "3", "-n", "2", "--seed", "11", "-f", format});
    ASSERT_EQ(made.status, 0) << format;
    Result const solved = run_input({"solve"}, made.out);
    EXPECT_EQ(solved.status, 0) << format << ": " << solved.err;
    EXPECT_EQ(cli_run::count_lines(solved.out), 2) << format;
    EXPECT_EQ(std::count(solved.out.begin(), solved.out.end(), ' '), 2) << format << ": one solution each\n"
                                                                          << solved.out;
    EXPECT_EQ(run_input({"show"}, made.out).status, 0) << format;
  }
  // Jigsaw puzzles keep their regions in the line form, and diagonals in JSON.
  Result const jigsaw = run_args({"generate", "--jigsaw", "-d", "1", "--seed", "5", "-f", "line"});
  ASSERT_EQ(jigsaw.status, 0) << jigsaw.err;
  EXPECT_EQ(jigsaw.out.size(), 81u + 1 + 81 + 1);
  Result const solved = run_input({"solve"}, jigsaw.out);
  EXPECT_EQ(solved.out.rfind("1 ", 0), 0u) << solved.out << solved.err;
  Result const x = run_args({"generate", "--x", "-d", "1", "--seed", "5", "-f", "json"});
  EXPECT_EQ(run_input({"solve"}, x.out).out.rfind("1 ", 0), 0u);
}

TEST(CliGenerate, QuietUnlessVerboseAndHonestAfterCtrlC) {
  Result const quiet = run_args({"generate", "-d", "3", "--seed", "4"});
  EXPECT_EQ(quiet.status, 0);
  EXPECT_EQ(quiet.err, "");  // no engine diagnostics, no progress (standard error is no terminal)
  Result const verbose = run_args({"generate", "-d", "3", "--seed", "4", "--verbose"});
  EXPECT_EQ(verbose.out, quiet.out);
  EXPECT_NE(verbose.err.find("nonet: make_puzzle: itries="), std::string::npos) << verbose.err;
  // Interrupted early: it says how many puzzles it printed, and they are on standard output.
  Result const stopped = run_args({"generate", "-d", "9", "-n", "3", "-j", "2", "-f", "line"}, "/dev/null", 800);
  EXPECT_EQ(stopped.status, 130);
  int const printed = cli_run::count_lines(stopped.out);
  EXPECT_NE(stopped.err.find("nonet generate: interrupted: printed " + std::to_string(printed) + " of 3 puzzles"),
            std::string::npos)
      << stopped.err;
}

TEST(CliConventions, UsageErrorsExitTwoWithTheToolsPrefix) {
  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  Case const cases[] = {
      {{"frobnicate"}, "nonet: unknown command 'frobnicate' (commands: "},
      {{"help", "frobnicate"}, "nonet: unknown command 'frobnicate'"},
      {{"generate", "--seed", "-1"}, "nonet generate: --seed"},
      {{"generate", "--seed", "99999999999999999999999"}, "nonet generate: --seed"},
      {{"generate", "--x=3"}, "nonet generate: "},
      {{"generate", "-d", "impossible"}, "nonet generate: "},
      {{"generate", "-n", "0"}, "nonet generate: --count"},
      {{"generate", "--bogus"}, "nonet generate: "},
      {{"queue", "pack", "out.z", "--games", "401"}, "nonet queue pack: "},
      {{"queue", "frob"}, "nonet queue: "},
      {{"ocr", "--eval", "/tmp", "photo.jpg"}, "nonet ocr: "},
      {{"ocr", "--worst", "x", "--eval", "/tmp"}, "nonet ocr: --worst"},
  };
  for (Case const& k : cases) {
    Result const r = run_args(k.args);
    std::string const what = k.args[0] + " " + (k.args.size() > 1 ? k.args[1] : "");
    EXPECT_EQ(r.status, 2) << what << "\n" << r.err;
    EXPECT_EQ(r.err.rfind(k.message, 0), 0u) << what << "\n" << r.err;
    EXPECT_EQ(r.out, "") << what;
  }
  Result const help = run_args({"help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.out.find("solve"), std::string::npos);
  EXPECT_EQ(run_args({"help", "solve"}).out, run_args({"solve", "--help"}).out);
  EXPECT_EQ(run_args({}).status, 2);
  EXPECT_NE(run_args({"queue", "pack", "--help"}).out.find("at most 400 records"), std::string::npos);
  // The largest seed is a seed like any other.
  EXPECT_EQ(run_args({"generate", "-d", "0", "--seed", "18446744073709551615", "-f", "line"}).status, 0);
}

// With no readable jigsaw map every generating command says the engine's reason once and
// exits 1 (a jigsaw harvest printed "nothing kept" and exited 0; a targeted one never ended).
TEST(CliGenerate, MissingJigsawMapsAreReportedOnceWithTheEnginesReason) {
  std::string const empty = cli_run::scratch("no_maps");
  ASSERT_EQ(std::system(("mkdir -p " + empty).c_str()), 0);
  ::setenv("SUDOKU_GROUP_MAPS_DIR", empty.c_str(), 1);
  struct Case {
    std::vector<std::string> args;
    std::string said;
  };
  std::string const reason = "no jigsaw map could be read from the group-maps directory";
  Case const cases[] = {
      {{"generate", "--jigsaw", "-d", "1", "-n", "3", "-j", "1"}, "nonet generate: puzzle 1: " + reason},
      {{"harvest", "--jigsaw", "-n", "2", "-j", "1"}, "nonet harvest: " + reason},
      {{"harvest", "--jigsaw", "--bucket", "easy", "--count", "1", "-j", "1"}, "nonet harvest: " + reason},
      {{"queue", "pack", empty + "/stock.z", "--jigsaw", "--solutions", "1", "--puzzles", "0", "--games", "0"},
       "nonet queue pack: record 1: " + reason},
  };
  for (Case const& c : cases) {
    Result const r = run_args(c.args);
    EXPECT_EQ(r.status, 1) << c.args[0] << ": " << r.err;
    EXPECT_NE(r.err.find(c.said), std::string::npos) << r.err;
    EXPECT_EQ(r.err.find(reason), r.err.rfind(reason)) << "said more than once: " << r.err;
    EXPECT_EQ(r.err.find("GroupMap:"), std::string::npos) << "engine lines without --verbose: " << r.err;
    EXPECT_EQ(r.out, "");
  }
  ::unsetenv("SUDOKU_GROUP_MAPS_DIR");
  ASSERT_EQ(std::system(("rm -rf " + empty).c_str()), 0);
}

TEST(CliQueue, PackedFileLoadsThroughTheEngineLoader) {
  std::string const dir = cli_run::scratch("queue");
  ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
  Result const packed = run_args(
      {"queue", "pack", dir + "/stock.z", "--solutions", "1", "--puzzles", "1", "--games", "2", "-d", "easy",
       "--seed", "5"});
  ASSERT_EQ(packed.status, 0) << packed.err;
  EXPECT_EQ(packed.err, "");
  set_group_maps_dir(dir.c_str());
  queue_data* q = queue_data_from_zipped_file("stock");
  set_group_maps_dir(nullptr);
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(q->n_solutions, 1u);
  EXPECT_EQ(q->n_puzzles, 1u);
  EXPECT_EQ(q->n_games, 2u);
  delete q;
  Result const listed = run_args({"queue", "list", dir + "/stock.z"});
  EXPECT_EQ(listed.status, 0);
  EXPECT_NE(listed.out.find("games 2"), std::string::npos);
  Result const records = run_args({"queue", "list", "-f", "json", dir + "/stock.z"});
  EXPECT_EQ(cli_run::count_lines(records.out), 4);
  EXPECT_EQ(records.out.rfind("{\"kind\":\"solution\",\"index\":0,\"clue_count\":", 0), 0u) << records.out;
  Result const games = run_args({"queue", "extract", dir + "/stock.z", "-f", "line"});
  EXPECT_EQ(games.status, 0);
  EXPECT_EQ(cli_run::count_lines(games.out), 2);
  // The games read back as puzzles of one solution.
  Result const solved = run_input({"solve"}, games.out);
  EXPECT_EQ(std::count(solved.out.begin(), solved.out.end(), ' '), 2) << solved.out;

  struct Case {
    std::vector<std::string> args;
    std::string message;
  };
  Case const cases[] = {
      {{"queue", "extract", dir + "/stock.z", "-i", "2"}, "no game 2 (the queue holds 2)"},
      {{"queue", "list", dir + "/missing.z"}, "missing.z: No such file or directory"},
      {{"queue", "list", dir}, dir + ": is a directory"},
      {{"queue", "extract", dir}, dir + ": is a directory"},
      {{"queue", "pack", dir + "/no/such/folder/q.z", "--games", "400", "-d", "9"}, "does not exist"},
  };
  for (Case const& k : cases) {
    Result const r = run_args(k.args);
    EXPECT_EQ(r.status, 1) << k.args[1] << "\n" << r.err;
    EXPECT_EQ(r.err.rfind("nonet queue " + k.args[1] + ": ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(k.message), std::string::npos) << r.err;
  }
  ASSERT_EQ(std::system(("rm -rf " + dir).c_str()), 0);
}
