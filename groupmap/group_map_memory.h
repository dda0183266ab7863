// Group-map file contents held in memory (a host without a file system, such as a web page,
// hands them over inflated). The loader looks here before it reads the file of a name.
#pragma once

#include <cstddef>

// Keeps a copy of the inflated contents of map file index (0..14, as jigsawGroupMapFilenames);
// null bytes forget it. False for an index out of range or a length outside
// 1..kGroupMapFileCapacity (nothing changes then).
bool set_group_map_in_memory(int index, unsigned char const* bytes, size_t length);

// A zero-filled calloc copy of capacity bytes holding the contents of map file index (owned by
// the caller, released with free) and its length; null when none is held.
unsigned char const* group_map_in_memory(int index, size_t& length, int capacity);
