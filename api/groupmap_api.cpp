// Group-map directory configuration.
#include "api/engine_api.h"
#include "util/zipped_file.h"

extern "C" void sudoku_set_group_maps_dir(char const* dir) { set_group_maps_dir(dir); }
