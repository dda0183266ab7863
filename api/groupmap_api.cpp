// Group-map directory configuration and map contents from memory.
#include <cstring>

#include "api/engine_api.h"
#include "api/last_error.h"
#include "groupmap/group_map.h"
#include "groupmap/group_map_memory.h"
#include "util/zipped_file.h"

extern "C" void sudoku_set_group_maps_dir(char const* dir) { set_group_maps_dir(dir); }

extern "C" int sudoku_set_group_map_data(char const* name, void const* data, long long length) {
  clear_last_error();
  int index = -1;
  for (int k = 0; name && k < 15; ++k)
    if (std::strcmp(name, jigsawGroupMapFilenames[k]) == 0) index = k;
  if (index < 0) {
    set_last_error(SUDOKU_ERROR_INVALID_ARGUMENT, "not the name of a group-map file (mir01 .. rot_3grp04)");
    return 0;
  }
  bool const fits = length >= 1 && length <= kGroupMapFileCapacity;
  if (data && !fits) {
    set_last_error(SUDOKU_ERROR_INVALID_ARGUMENT, "group-map contents must be 1 to 230000 bytes");
    return 0;
  }
  set_group_map_in_memory(index, static_cast<unsigned char const*>(data), data ? static_cast<size_t>(length) : 0);
  return 1;
}
