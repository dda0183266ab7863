// nonet generate and nonet queue, run as programs.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "groupmap/zipped_file.h"
#include "queue/queue_data.h"

namespace {

struct ToolResult {
  std::string out;
  int status = -1;
};

ToolResult run(std::string const& args) {
  std::string const cmd = std::string(NONET_BINARY_DIR) + "/cli/nonet " + args + " 2>/dev/null";
  ToolResult r;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
  int const status = pclose(p);
  r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return r;
}

}  // namespace

TEST(CliGenerate, SeededBatchesAreReproducibleWhateverTheThreads) {
  ToolResult const a = run("generate -d easy -n 4 -j 1 --seed 9 -f line");
  ToolResult const b = run("generate -d 1 -n 4 -j 3 --seed 9 -f line");
  ASSERT_EQ(a.status, 0);
  ASSERT_EQ(b.status, 0);
  EXPECT_EQ(a.out, b.out);
  EXPECT_EQ(std::count(a.out.begin(), a.out.end(), '\n'), 4);
  EXPECT_EQ(a.out.find_first_not_of(".123456789\n"), std::string::npos);
  ToolResult const json = run("generate -d quickie --x --seed 3 -f json");
  ASSERT_EQ(json.status, 0);
  for (char const* key : {"\"clues\"", "\"solution\"", "\"groups\"", "\"colors\"", "\"clue_count\"", "\"x\":true"})
    EXPECT_NE(json.out.find(key), std::string::npos) << key;
  EXPECT_NE(run("generate -d impossible").status, 0);
  EXPECT_NE(run("generate -f xml").status, 0);
}

TEST(CliQueue, PackedFileLoadsThroughTheEngineLoader) {
  std::string const dir = std::string(NONET_BINARY_DIR) + "/queue_cli_" + std::to_string(getpid());
  ASSERT_EQ(std::system(("mkdir -p " + dir).c_str()), 0);
  ASSERT_EQ(run("queue pack " + dir + "/stock.z --solutions 1 --puzzles 1 --games 2 -d easy --seed 5").status, 0);
  set_group_maps_dir(dir.c_str());
  queue_data* q = queue_data_from_zipped_file("stock");
  set_group_maps_dir(nullptr);
  ASSERT_NE(q, nullptr);
  EXPECT_EQ(q->n_solutions, 1u);
  EXPECT_EQ(q->n_puzzles, 1u);
  EXPECT_EQ(q->n_games, 2u);
  delete q;
  ToolResult const listed = run("queue list " + dir + "/stock.z");
  EXPECT_EQ(listed.status, 0);
  EXPECT_NE(listed.out.find("games 2"), std::string::npos);
  ToolResult const games = run("queue extract " + dir + "/stock.z -f line");
  EXPECT_EQ(games.status, 0);
  EXPECT_EQ(std::count(games.out.begin(), games.out.end(), '\n'), 2);
  EXPECT_NE(run("queue extract " + dir + "/stock.z -i 2").status, 0);
  EXPECT_NE(run("queue list " + dir + "/missing.z").status, 0);
}
