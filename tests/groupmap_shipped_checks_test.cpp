// The shipped-map checks themselves: they notice a repeated map, a turned copy, a grid that breaks
// a unit, and the matrix engine's completion of a real map.
#include <gtest/gtest-spi.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

#include "groupmap_shipped_checks.h"

namespace {

test_group_maps::UseShippedGroupMaps const use_shipped_maps;

// The first stored map of a shipped file, as the loader unpacks and turns it.
GroupMap first_map(char const* name) {
  std::string const path = test_group_maps::shipped_dir() + "/" + name + ".z";
  shipped_maps::MapFile file;
  file.data = get_zipped_file_contents(path, file.length, kGroupMapFileCapacity);
  GroupMap header(MAP_REGULAR);
  EXPECT_NE(file.data, nullptr);
  if (!file.data || !GroupMapTestAccess::parseHeader(header, file.data)) return header;
  return shipped_maps::load_map(header, file.data, 0);
}

// Checks "mir01" in a directory whose copy holds the first shipped map twice.
void check_file_with_a_repeated_map() {
  std::string const source = test_group_maps::shipped_dir() + "/mir01.z";
  shipped_maps::MapFile file;
  file.data = get_zipped_file_contents(source, file.length, kGroupMapFileCapacity);
  ASSERT_NE(file.data, nullptr);
  std::vector<unsigned char> raw = groupmap_test::header("SGM0.001", "MIR", 22, 3);
  for (int copy = 0; copy < 3; ++copy) {
    int const index = copy == 2 ? 0 : copy;  // maps 0, 1, 0
    raw.insert(raw.end(), file.data + kGroupMapHeaderSize + index * 22, file.data + kGroupMapHeaderSize + index * 22 + 22);
  }
  std::string const dir = groupmap_test::make_temp_dir();
  ASSERT_FALSE(dir.empty());
  groupmap_test::write_file(dir + "/mir01.z", groupmap_test::deflate_bytes(raw));
  char const* saved = std::getenv("SUDOKU_GROUP_MAPS_DIR");
  std::string const saved_value = saved ? saved : "";
  setenv("SUDOKU_GROUP_MAPS_DIR", dir.c_str(), 1);
  int checked = 0;
  shipped_maps::check_file("mir01", shipped_maps::FileChecks{}, checked);
  if (saved) setenv("SUDOKU_GROUP_MAPS_DIR", saved_value.c_str(), 1); else unsetenv("SUDOKU_GROUP_MAPS_DIR");
  EXPECT_EQ(checked, 3);
}

}  // namespace

TEST(ShippedGroupMapChecks, ARepeatedMapIsReported) {
  EXPECT_NONFATAL_FAILURE(check_file_with_a_repeated_map(), "map 2 repeats an earlier map of the file");
}

TEST(ShippedGroupMapChecks, TurnsKeepTheSignatureOtherMapsChangeIt) {
  for (char const* name : {"mir01", "rot_3grp01"}) {
    SCOPED_TRACE(name);
    GroupMap const g = first_map(name);
    Matrix<int, 9> const base = shipped_maps::turn_free_signature(g.groupMap);
    Matrix<int, 9> m = g.groupMap;
    m.rotate90();
    EXPECT_TRUE(shipped_maps::turn_free_signature(m) == base);
    m.reflectLR();
    EXPECT_TRUE(shipped_maps::turn_free_signature(m) == base);
    m.reflectDiag00();
    EXPECT_TRUE(shipped_maps::turn_free_signature(m) == base);
    Matrix<int, 9> boxes;
    for (int k = 0; k < 81; ++k) boxes.data()[k] = 3 * (k / 27) + (k % 9) / 3;
    EXPECT_FALSE(shipped_maps::turn_free_signature(boxes) == base);
  }
}

TEST(ShippedGroupMapChecks, CompletionsFitEveryUnitABrokenGridDoesNot) {
  sudoku_seed_random(44);
  GroupMap const g = first_map("rot_2grp01");
  for (bool diagonals : {false, true}) {
    SCOPED_TRACE(diagonals);
    EXPECT_TRUE(shipped_maps::matrix_engine_completes(g.groupMap, diagonals));
    shipped_maps::Completion search(g.groupMap, diagonals);
    ASSERT_TRUE(search.exists());
    int grid[81];
    std::copy(search.grid(), search.grid() + 81, grid);
    EXPECT_TRUE(shipped_maps::grid_fits(g.groupMap, grid, diagonals));
    std::swap(grid[0], grid[1]);  // two different digits of row 0 trade places: columns break
    EXPECT_FALSE(shipped_maps::grid_fits(g.groupMap, grid, diagonals));
  }
  // The box map's grid with its boxes as units does not fit a jigsaw map.
  Matrix<int, 9> boxes;
  for (int k = 0; k < 81; ++k) boxes.data()[k] = 3 * (k / 27) + (k % 9) / 3;
  shipped_maps::Completion box_search(boxes, false);
  ASSERT_TRUE(box_search.exists());
  int fits_both = 0;
  for (int t = 0; t < 20; ++t) fits_both += box_search.exists() && shipped_maps::grid_fits(g.groupMap, box_search.grid(), false);
  EXPECT_LT(fits_both, 20);
  sudoku_seed_random(0);
}
