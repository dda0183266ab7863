// The two helpers every compressed file of the engine goes through: the path
// builder (group-maps directory, name, suffix) and the whole-file zlib reader.
#pragma once

#include <cstddef>
#include <string>

#include "util/export.h"

// Stores a copy of dir as the group-maps directory; null or "" means none is configured.
NONET_EXPORT void set_group_maps_dir(char const* dir);
// The configured directory ("" when none was set by call).
NONET_EXPORT std::string group_maps_dir();

// directory + "/" + name + "." + suffix, the directory being the configured one or, when none is,
// $SUDOKU_GROUP_MAPS_DIR. "" when neither is known (a message says so, once per process).
NONET_EXPORT std::string get_full_filename(char const* name, char const* suffix);

// Files larger than this are not read.
constexpr long kCompressedFileGuard = 0x4000000;  // 67,108,864 bytes

// Reads the zlib file at path and inflates it into a zero-filled calloc buffer of capacity bytes
// (owned by the caller, released with free). Sets length to the inflated size. Null on any failure
// (missing file, empty or oversized file, short read, bad stream, output over capacity); length is
// then untouched.
NONET_EXPORT unsigned char const* get_zipped_file_contents(std::string path, size_t& length, int capacity);
