// Lets the nonet tool find the shipped group maps without configuration: unless
// $SUDOKU_GROUP_MAPS_DIR is set, it uses the build tree's copy, else the installed one.
#include <sys/stat.h>

#include <cstdlib>

#include "util/zipped_file.h"

namespace {

bool is_directory(char const* path) {
  struct stat st;
  return ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

struct GroupMapsLocation {
  GroupMapsLocation() {
    char const* env = std::getenv("SUDOKU_GROUP_MAPS_DIR");
    if (env && *env) return;
    for (char const* dir : {NONET_BUILD_GROUPMAPS_DIR, NONET_INSTALLED_GROUPMAPS_DIR})
      if (is_directory(dir)) {
        set_group_maps_dir(dir);
        return;
      }
  }
} const group_maps_location;

}  // namespace
