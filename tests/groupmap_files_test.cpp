// Group-map files: the path rules, the compressed-file reader and the loader's header checks.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>

#include "api/engine_api.h"
#include "groupmap_test_support.h"
#include "util/random.h"

using namespace groupmap_test;

namespace {

struct SeededRandom {
  explicit SeededRandom(uint64_t seed) { sudoku_seed_random(seed); }
  ~SeededRandom() { sudoku_seed_random(0); }
};

// A well-formed rotational map (cells 1..40 stored, 20 bytes): rows 0..3 and row 4 up to the centre.
std::vector<unsigned char> rotational_map_bytes() {
  // Labels as the file stores them: partners 1-2, 3-4, 5-6, 7-8, centre group 9.
  char const* stored = "111133355" "111333555" "117733555" "777793958" "77999";
  std::vector<unsigned char> bytes;
  for (int i = 0; i < 20; ++i)
    bytes.push_back(static_cast<unsigned char>(((stored[1 + 2 * i] - '0') << 4) | (stored[2 + 2 * i] - '0')));
  return bytes;
}

std::vector<unsigned char> file_content(char const* magic, char const* tag, int compressize, int n_maps,
                                        std::vector<unsigned char> const& map, int maps_written) {
  std::vector<unsigned char> content = header(magic, tag, compressize, n_maps);
  // Byte by byte: GCC 12 at -O3 misreads a range insert here as out of bounds.
  for (int i = 0; i < maps_written; ++i)
    for (unsigned char byte : map) content.push_back(byte);
  return content;
}

// Writes the same content under all fifteen names, so that every random file choice finds it.
void write_all_files(std::string const& dir, std::vector<unsigned char> const& content) {
  auto const zipped = deflate_bytes(content);
  for (char const* name : jigsawGroupMapFilenames) write_file(dir + "/" + name + ".z", zipped);
}

struct LoadResult {
  GroupMap map;
  std::string err;
};

LoadResult load_irregular() {
  testing::internal::CaptureStderr();
  GroupMap g(MAP_IRREGULAR);
  return {g, testing::internal::GetCapturedStderr()};
}

int count_of(std::string const& text, std::string const& what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

char const kFallback[] =
    "GroupMap: *** could not load an irregular map after 4 attempts; falling back to the SQUARE box map. Any "
    "puzzle generated now is a SQUARE puzzle and must not be filed as irregular. ***\n";

}  // namespace

TEST(GroupMapPaths, SlashRules) {
  DirGuard guard;
  set_group_maps_dir("maps");
  EXPECT_EQ(get_full_filename(jigsawGroupMapFilenames[0], "z"), "maps/mir01.z");
  set_group_maps_dir("maps/");
  EXPECT_EQ(get_full_filename(jigsawGroupMapFilenames[0], "z"), "maps/mir01.z");
  set_group_maps_dir("maps\\");
  EXPECT_EQ(get_full_filename("rot_3grp04", "z"), "maps\\/rot_3grp04.z");
  sudoku_set_group_maps_dir("/x");
  EXPECT_EQ(group_maps_dir(), "/x");
  EXPECT_EQ(get_full_filename("q", "z"), "/x/q.z");
}

TEST(GroupMapPaths, EnvironmentOnlyWhenNoDirectoryIsSet) {
  DirGuard guard;
  char const* old = std::getenv("SUDOKU_GROUP_MAPS_DIR");
  std::string const saved = old ? old : "";
  setenv("SUDOKU_GROUP_MAPS_DIR", "/env/maps", 1);
  set_group_maps_dir(nullptr);
  EXPECT_EQ(get_full_filename("mir02", "z"), "/env/maps/mir02.z");
  set_group_maps_dir("/call");
  EXPECT_EQ(get_full_filename("mir02", "z"), "/call/mir02.z");
  if (old)
    setenv("SUDOKU_GROUP_MAPS_DIR", saved.c_str(), 1);
  else
    unsetenv("SUDOKU_GROUP_MAPS_DIR");
}

// The printed-once flag is process state, so the check runs in a child process.
TEST(GroupMapPaths, MissingDirectoryMessagePrintedOnce) {
  std::string const log = make_temp_dir() + "/stderr.txt";
  pid_t const pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    int const fd = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    dup2(fd, 2);
    unsetenv("SUDOKU_GROUP_MAPS_DIR");
    set_group_maps_dir("");
    std::string const first = get_full_filename("mir01", "z");
    GroupMap g(MAP_IRREGULAR);
    GroupMap again(MAP_IRREGULAR);
    bool const ok = first.empty() && g.usedSquareFallback && again.usedSquareFallback;
    std::fflush(stderr);
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  FILE* f = std::fopen(log.c_str(), "rb");
  ASSERT_NE(f, nullptr);
  std::string err;
  char buf[4096];
  for (size_t n; (n = std::fread(buf, 1, sizeof buf, f)) > 0;) err.append(buf, n);
  std::fclose(f);
  std::string const message =
      "Filenames: no group-maps directory configured \xE2\x80\x94 set $SUDOKU_GROUP_MAPS_DIR or call "
      "set_group_maps_dir().\n";
  EXPECT_EQ(count_of(err, message), 1);
  EXPECT_EQ(err.rfind(message, 0), 0u);  // first line
  EXPECT_EQ(count_of(err, "GroupMap: couldn't read \n"), 8);
  EXPECT_EQ(count_of(err, kFallback), 2);
}

TEST(CompressedFileReader, InflatesWithinCapacity) {
  std::string const dir = make_temp_dir();
  std::vector<unsigned char> raw(1000);
  for (size_t i = 0; i < raw.size(); ++i) raw[i] = static_cast<unsigned char>(i * 7 + 1);
  write_file(dir + "/a.z", deflate_bytes(raw));
  size_t length = 12345;
  unsigned char const* data = get_zipped_file_contents(dir + "/a.z", length, 1100);
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(length, 1000u);
  EXPECT_EQ(std::memcmp(data, raw.data(), raw.size()), 0);
  for (int i = 1000; i < 1100; ++i) EXPECT_EQ(data[i], 0);
  std::free(const_cast<unsigned char*>(data));

  data = get_zipped_file_contents(dir + "/a.z", length, 1000);
  ASSERT_NE(data, nullptr);
  std::free(const_cast<unsigned char*>(data));

  length = 77;
  EXPECT_EQ(get_zipped_file_contents(dir + "/a.z", length, 999), nullptr);  // capacity overflow
  EXPECT_EQ(get_zipped_file_contents(dir + "/missing.z", length, 2000), nullptr);
  write_file(dir + "/empty.z", {});
  EXPECT_EQ(get_zipped_file_contents(dir + "/empty.z", length, 2000), nullptr);
  write_file(dir + "/plain.z", raw);
  EXPECT_EQ(get_zipped_file_contents(dir + "/plain.z", length, 2000), nullptr);
  auto truncated = deflate_bytes(raw);
  truncated.resize(truncated.size() / 2);
  write_file(dir + "/short.z", truncated);
  EXPECT_EQ(get_zipped_file_contents(dir + "/short.z", length, 2000), nullptr);
  EXPECT_EQ(length, 77u);  // untouched on failure
}

TEST(CompressedFileReader, SizeGuard) {
  std::string const dir = make_temp_dir();
  auto sparse = [&](std::string const& name, off_t size) {
    std::string const path = dir + "/" + name;
    int const fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    EXPECT_EQ(ftruncate(fd, size), 0);
    ::close(fd);
    return path;
  };
  std::string const at_guard = sparse("at.z", 67108864);
  std::string const over = sparse("over.z", 67108865);
  size_t length = 0;
  testing::internal::CaptureStdout();
  EXPECT_EQ(get_zipped_file_contents(at_guard, length, 100), nullptr);  // passes the guard, then bad data
  std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, "");
  testing::internal::CaptureStdout();
  EXPECT_EQ(get_zipped_file_contents(over, length, 100), nullptr);
  out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(out, over + " is 67108865 bytes, over the 67108864 byte compressed-file guard\n");
}

TEST(GroupMapHeader, MagicSortsBeforeOrEqual) {
  GroupMap g(MAP_REGULAR);
  auto h = header("SGM0.000", "ROT", 20, 5);
  EXPECT_TRUE(GroupMapTestAccess::parseHeader(g, h.data()));
  EXPECT_EQ(g.symmetryType, 1);
  EXPECT_EQ(g.compressize, 20);
  EXPECT_EQ(g.nMaps, 5);
  h = header("SGM0.002", "ROT", 20, 5);
  EXPECT_FALSE(GroupMapTestAccess::parseHeader(g, h.data()));
  h = header("SGM0.001", "MIR", 22, 1234567);
  EXPECT_TRUE(GroupMapTestAccess::parseHeader(g, h.data()));
  EXPECT_EQ(g.symmetryType, 0);
  EXPECT_EQ(g.nMaps, 1234567);
  h = header("SGM0.001", "NON", 40, 1);
  EXPECT_TRUE(GroupMapTestAccess::parseHeader(g, h.data()));
  EXPECT_EQ(g.symmetryType, 2);
  h = header("SGM0.001", "ROX", 20, 5);
  EXPECT_FALSE(GroupMapTestAccess::parseHeader(g, h.data()));
  h = header("SGM0.001", "ROT", 20, 5);
  h[13] = 'x';  // count field that does not convert
  h[14] = 'y';
  g.nMaps = 0;
  EXPECT_TRUE(GroupMapTestAccess::parseHeader(g, h.data()));
  EXPECT_EQ(g.nMaps, 0);
}

TEST(GroupMapLoading, LoadsAWellFormedRotationalMap) {
  DirGuard guard;
  std::string const dir = make_temp_dir();
  set_group_maps_dir(dir.c_str());
  write_all_files(dir, file_content("SGM0.000", "ROT", 20, 3, rotational_map_bytes(), 3));
  SeededRandom seed(21);
  for (int trial = 0; trial < 8; ++trial) {
    LoadResult r = load_irregular();
    EXPECT_EQ(r.err, "");
    EXPECT_FALSE(r.map.usedSquareFallback);
    EXPECT_EQ(r.map.symmetryType, 1);
    EXPECT_TRUE(nine_connected_groups_of_nine(r.map.groupMap));
    for (int k = 0; k < 81; ++k) EXPECT_EQ(r.map.colorMap[r.map.groupMap.data()[k]], r.map.colorMap[r.map.groupMap.data()[80 - k]]);
  }
}

TEST(GroupMapLoading, BadHeadersFallBackToTheSquareMap) {
  DirGuard guard;
  std::string const dir = make_temp_dir();
  set_group_maps_dir(dir.c_str());
  auto const map = rotational_map_bytes();
  struct Case {
    std::vector<unsigned char> content;
    std::string line;
  };
  std::vector<Case> cases = {
      {file_content("SGM0.002", "ROT", 20, 3, map, 3), "(ok=0 compressize=0 nMaps=0)"},
      {file_content("SGM0.001", "ROT", 0, 3, map, 3), "(ok=1 compressize=0 nMaps=3)"},
      {file_content("SGM0.001", "ROT", 41, 3, map, 3), "(ok=1 compressize=41 nMaps=3)"},
      {file_content("SGM0.001", "ROT", 20, 0, map, 3), "(ok=1 compressize=20 nMaps=0)"},
      // More maps claimed than the data holds.
      {file_content("SGM0.001", "ROT", 20, 4, map, 3), "(ok=1 compressize=20 nMaps=4)"},
      {file_content("SGM0.001", "ROT", 20, 1, map, 0), "(ok=1 compressize=20 nMaps=1)"},
  };
  SeededRandom seed(22);
  for (auto const& c : cases) {
    write_all_files(dir, c.content);
    LoadResult r = load_irregular();
    EXPECT_TRUE(r.map.usedSquareFallback);
    EXPECT_TRUE(GroupMapTestAccess::mapIsSquareBoxes(r.map));
    EXPECT_EQ(count_of(r.err, "GroupMap: bad header in " + dir + "/"), 4) << r.err;
    EXPECT_EQ(count_of(r.err, c.line + "\n"), 4) << r.err;
    EXPECT_EQ(count_of(r.err, kFallback), 1);
  }
}

TEST(GroupMapLoading, SquareAndCorruptMapsAreRetried) {
  DirGuard guard;
  std::string const dir = make_temp_dir();
  set_group_maps_dir(dir.c_str());
  SeededRandom seed(23);

  // The box partition itself, stored as a "NON" map.
  std::vector<unsigned char> boxes;
  for (int i = 0; i < 40; ++i) {
    int const a = 1 + 2 * i, b = 2 + 2 * i;
    int const la = 1 + 3 * (a / 27) + (a % 9) / 3, lb = 1 + 3 * (b / 27) + (b % 9) / 3;
    boxes.push_back(static_cast<unsigned char>(la << 4 | lb));
  }
  write_all_files(dir, file_content("SGM0.001", "NON", 40, 1, boxes, 1));
  LoadResult r = load_irregular();
  for (int a = 0; a < 4; ++a)
    EXPECT_EQ(count_of(r.err, "GroupMap: loaded map " + std::to_string(a) + " is the square box map; retrying\n"), 1);
  EXPECT_TRUE(r.map.usedSquareFallback);

  // Label 0 in a rotational map completes to -1; too few or too many labels: never groups out of 0..8.
  auto zero = rotational_map_bytes();
  zero[3] = 0x00;
  auto many = rotational_map_bytes();
  for (int i = 0; i < 20; ++i) many[i] = static_cast<unsigned char>(((i % 15) + 1) << 4 | ((i + 7) % 15 + 1));
  for (auto const& stored : {zero, many}) {
    write_all_files(dir, file_content("SGM0.001", "ROT", 20, 1, stored, 1));
    r = load_irregular();
    EXPECT_EQ(count_of(r.err, "is not nine groups of nine cells; retrying\n"), 4) << r.err;
    EXPECT_TRUE(r.map.usedSquareFallback);
    for (int k = 0; k < 81; ++k) {
      EXPECT_GE(r.map.groupMap.data()[k], 0);
      EXPECT_LE(r.map.groupMap.data()[k], 8);
    }
  }
}

TEST(GroupMapLoading, UnknownMapTypeMakesNothing) {
  testing::internal::CaptureStdout();
  GroupMap g(static_cast<MAP_TYPE>(5));
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "initMapType: unknown mapType 5");
  for (int k = 0; k < 81; ++k) EXPECT_EQ(g.groupMap.data()[k], 0);
}
