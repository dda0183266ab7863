// Group-map contents handed over from memory (sudoku_set_group_map_data): jigsaw generation
// works with no map directory at all, bad arguments change nothing, and forgetting the
// contents brings back the file-based behaviour.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "api/engine_api.h"
#include "group_maps_location.h"
#include "groupmap/group_map.h"
#include "util/zipped_file.h"
#include "groupmap_test_support.h"

namespace {

std::vector<unsigned char> inflated_map(char const* name) {
  size_t length = 0;
  std::string const path = test_group_maps::shipped_dir() + "/" + name + ".z";
  unsigned char const* data = get_zipped_file_contents(path, length, kGroupMapFileCapacity);
  if (!data) return {};
  std::vector<unsigned char> bytes(data, data + length);
  std::free(const_cast<unsigned char*>(data));
  return bytes;
}

void forget_all_maps() {
  for (char const* name : jigsawGroupMapFilenames) sudoku_set_group_map_data(name, nullptr, 0);
}

int error_code() { return sudoku_last_error(nullptr, 0); }

}  // namespace

TEST(GroupMapData, JigsawGenerationNeedsNoDirectoryOnceTheMapsAreGiven) {
  std::string const saved_dir = group_maps_dir();
  std::string const empty = groupmap_test::make_temp_dir();
  ASSERT_FALSE(empty.empty());
  sudoku_set_group_maps_dir(empty.c_str());

  for (char const* name : jigsawGroupMapFilenames) {
    std::vector<unsigned char> const bytes = inflated_map(name);
    ASSERT_FALSE(bytes.empty()) << name;
    EXPECT_EQ(sudoku_set_group_map_data(name, bytes.data(), static_cast<long long>(bytes.size())), 1) << name;
  }
  SudokuPuzzle* h = sudoku_new();
  for (int seed = 1; seed <= 4; ++seed) {
    sudoku_seed_random(static_cast<uint64_t>(seed));
    ASSERT_EQ(sudoku_generate_solution(h, SUDOKU_MAP_IRREGULAR, seed % 2), 1) << seed;
    int groups[81];
    int cell[9];
    for (int i = 0; i < 81; ++i) {
      sudoku_get_cell(h, i, cell);
      groups[i] = cell[SUDOKU_CELL_GROUP];
    }
    // A real jigsaw: nine groups of nine cells, not the boxes, and its solution counts once.
    int sizes[9] = {};
    bool boxes = true;
    for (int i = 0; i < 81; ++i) {
      ASSERT_TRUE(groups[i] >= 0 && groups[i] <= 8);
      ++sizes[groups[i]];
      boxes = boxes && groups[i] == 3 * (i / 27) + (i % 9) / 3;
    }
    for (int n : sizes) EXPECT_EQ(n, 9);
    EXPECT_FALSE(boxes);
  }
  sudoku_seed_random(0);

  // Forgotten: the empty directory is all there is again.
  forget_all_maps();
  testing::internal::CaptureStderr();
  EXPECT_EQ(sudoku_generate_solution(h, SUDOKU_MAP_IRREGULAR, SUDOKU_ADJACENCY_NONE), 0);
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(error_code(), SUDOKU_ERROR_MAPS_NOT_FOUND);
  sudoku_free(h);
  set_group_maps_dir(saved_dir.empty() ? nullptr : saved_dir.c_str());
}

TEST(GroupMapData, BadArgumentsAreRefusedAndChangeNothing) {
  unsigned char const byte = 0;
  std::vector<unsigned char> const too_long(static_cast<size_t>(kGroupMapFileCapacity) + 1, 0);
  struct Case {
    char const* name;
    void const* data;
    long long length;
  };
  Case const cases[] = {
      {nullptr, &byte, 1},                                   // no name
      {"mir11", &byte, 1},                                   // not a map file
      {"mir01.z", &byte, 1},                                 // the file name, not the map name
      {"mir01", &byte, 0},                                   // empty
      {"mir01", &byte, -5},                                  // negative
      {"mir01", too_long.data(), static_cast<long long>(too_long.size())},  // over the capacity
  };
  for (Case const& c : cases) {
    EXPECT_EQ(sudoku_set_group_map_data(c.name, c.data, c.length), 0) << (c.name ? c.name : "(null)");
    EXPECT_EQ(error_code(), SUDOKU_ERROR_INVALID_ARGUMENT);
  }
  // Forgetting what was never given is fine, and the last error is clear again.
  EXPECT_EQ(sudoku_set_group_map_data("rot_3grp04", nullptr, 0), 1);
  EXPECT_EQ(error_code(), SUDOKU_OK);
}

// Contents that are no group-map file are refused when a map is chosen, as a corrupt file is:
// the loader falls back and the call reports that no map could be read.
TEST(GroupMapData, CorruptContentsFailLikeACorruptFile) {
  std::string const saved_dir = group_maps_dir();
  std::string const empty = groupmap_test::make_temp_dir();
  ASSERT_FALSE(empty.empty());
  sudoku_set_group_maps_dir(empty.c_str());
  std::vector<unsigned char> const junk(200, 'A');
  for (char const* name : jigsawGroupMapFilenames)
    ASSERT_EQ(sudoku_set_group_map_data(name, junk.data(), static_cast<long long>(junk.size())), 1);
  SudokuPuzzle* h = sudoku_new();
  testing::internal::CaptureStderr();
  EXPECT_EQ(sudoku_generate_solution(h, SUDOKU_MAP_IRREGULAR, SUDOKU_ADJACENCY_NONE), 0);
  std::string const err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("GroupMap: bad header"), std::string::npos) << err;
  EXPECT_EQ(error_code(), SUDOKU_ERROR_MAPS_NOT_FOUND);
  sudoku_free(h);
  forget_all_maps();
  set_group_maps_dir(saved_dir.empty() ? nullptr : saved_dir.c_str());
}
