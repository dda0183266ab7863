// The shipped group maps for the tests: the build tree's copy, unless $SUDOKU_GROUP_MAPS_DIR is set.
#pragma once

#include <cstdlib>
#include <string>

#include "util/zipped_file.h"

namespace test_group_maps {

inline std::string shipped_dir() {
  char const* env = std::getenv("SUDOKU_GROUP_MAPS_DIR");
  return env && *env ? std::string(env) : std::string(NONET_BUILD_GROUPMAPS_DIR);
}

// Configures the directory at start-up, as a host would.
struct UseShippedGroupMaps {
  UseShippedGroupMaps() {
    char const* env = std::getenv("SUDOKU_GROUP_MAPS_DIR");
    if (!(env && *env)) set_group_maps_dir(NONET_BUILD_GROUPMAPS_DIR);
  }
};

}  // namespace test_group_maps
