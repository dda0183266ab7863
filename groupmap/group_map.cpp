// GroupMap construction: choosing, reading and unpacking a map from the group-map files.
#include "groupmap/group_map.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "util/zipped_file.h"
#include "model/puzzle.h"
#include "util/message.h"
#include "util/random.h"

char const* jigsawGroupMapFilenames[15] = {
    "mir01", "mir02", "mir03",      "mir04",      "mir05",      "mir06",      "mir07",      "mir08",
    "mir09", "mir10", "rot_2grp01", "rot_3grp01", "rot_3grp02", "rot_3grp03", "rot_3grp04",
};

namespace {

constexpr int kAttempts = 4;

void copy_square_map(Matrix<int, 9>& m) {
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) m[r][c] = square_group_map[r][c];
}

}  // namespace

GroupMap::GroupMap(MAP_TYPE type)
    : colorMap{}, mapType(type), usedSquareFallback(false), symmetryType(0), compressize(0), nMaps(0),
      compressedMap{} {
  initMap();
}

void GroupMap::initMap() {
  if (mapType == MAP_REGULAR) {
    copy_square_map(groupMap);
  } else if (mapType == MAP_IRREGULAR) {
    bool accepted = false;
    for (int attempt = 0; attempt < kAttempts && !accepted; ++attempt) {
      if (!get_random_compressed_group_map()) continue;
      binaryToIntegerMap();
      if (!mapIsNineGroupsOfNine()) {
        // A corrupt map (label 0, too many or too few labels): never hand out-of-range groups on.
        engine_message("GroupMap: loaded map %d is not nine groups of nine cells; retrying\n", attempt);
        continue;
      }
      if (mapIsSquareBoxes()) {
        engine_message("GroupMap: loaded map %d is the square box map; retrying\n", attempt);
        continue;
      }
      accepted = true;
    }
    if (!accepted) {
      copy_square_map(groupMap);
      usedSquareFallback = true;
      engine_message(
                   "GroupMap: *** could not load an irregular map after %d attempts; falling back to the SQUARE box "
                   "map. Any puzzle generated now is a SQUARE puzzle and must not be filed as irregular. ***\n",
                   kAttempts);
    }
  } else {
    std::printf("initMapType: unknown mapType %d", static_cast<int>(mapType));
    return;
  }
  if (mapType == MAP_REGULAR)
    makeColorMap();
  else
    makeIrregColorMap();
}

bool GroupMap::get_random_compressed_group_map() {
  uint32_t k = arc4random_uniform(30);
  if (k >= 10) k = (k - 10) / 4 + 10;
  std::string const path = get_full_filename(jigsawGroupMapFilenames[k], "z");
  size_t length = 0;
  unsigned char const* data = get_zipped_file_contents(path, length, kGroupMapFileCapacity);
  if (!data) {
    engine_message("GroupMap: couldn't read %s\n", path.c_str());
    return false;
  }
  compressize = 0;
  nMaps = 0;
  bool const ok = parseHeader(data);
  // The maps must lie inside the inflated data: a count that runs past it is a bad header.
  bool const fits = compressize >= 1 && compressize <= kMaxCompressedMapBytes && nMaps >= 1 &&
                    kGroupMapHeaderSize + static_cast<long long>(nMaps) * compressize <= static_cast<long long>(length);
  if (!ok || !fits) {
    engine_message("GroupMap: bad header in %s (ok=%d compressize=%d nMaps=%d)\n", path.c_str(), ok ? 1 : 0,
                 compressize, nMaps);
    std::free(const_cast<unsigned char*>(data));
    return false;
  }
  uint32_t const r = arc4random_uniform(static_cast<uint32_t>(nMaps));
  std::memcpy(compressedMap, data + kGroupMapHeaderSize + static_cast<size_t>(r) * compressize,
              static_cast<size_t>(compressize));
  std::free(const_cast<unsigned char*>(data));
  return true;
}

bool GroupMap::parseHeader(unsigned char const* data) {
  // The file's bytes may sort before the magic (strncmp < 0) and still pass.
  if (std::strncmp(reinterpret_cast<char const*>(data), "SGM0.001", 8) > 0) return false;
  if (std::memcmp(data + 8, "ROT", 3) == 0)
    symmetryType = 1;
  else if (std::memcmp(data + 8, "MIR", 3) == 0)
    symmetryType = 0;
  else if (std::memcmp(data + 8, "NON", 3) == 0)
    symmetryType = 2;
  else
    return false;
  // The conversions read a terminated copy of the header, so they cannot run past the data.
  char header[kGroupMapHeaderSize + 1];
  std::memcpy(header, data, kGroupMapHeaderSize);
  header[kGroupMapHeaderSize] = '\0';
  if (std::sscanf(header + 11, "%2d", &compressize) != 1) compressize = 0;
  if (std::sscanf(header + 13, "%10d", &nMaps) != 1) nMaps = 0;
  return true;
}

void GroupMap::binaryToIntegerMap() {
  int* cells = groupMap.data();
  cells[0] = 1;
  int const stored = compressize < 0 ? 0 : (compressize > kMaxCompressedMapBytes ? kMaxCompressedMapBytes : compressize);
  for (int i = 0; i < stored; ++i) {
    cells[1 + 2 * i] = compressedMap[i] >> 4;
    cells[2 + 2 * i] = compressedMap[i] & 0x0F;
  }
  int const next = 1 + 2 * stored;
  if (symmetryType == 1)
    fillOutRotationalMap(next);
  else
    fillOutMirrorMap(next);
  renumberGroupMap(groupMap);
}

bool GroupMap::mapIsSquareBoxes() const {
  int const* cells = groupMap.data();
  int const* boxes = &square_group_map[0][0];
  for (int i = 0; i < 81; ++i)
    for (int j = i + 1; j < 81; ++j)
      if ((cells[i] == cells[j]) != (boxes[i] == boxes[j])) return false;
  return true;
}

bool GroupMap::mapIsNineGroupsOfNine() const {
  int sizes[GAMESIZE] = {};
  for (int i = 0; i < 81; ++i) {
    int const g = groupMap.data()[i];
    if (g < 0 || g >= GAMESIZE) return false;
    ++sizes[g];
  }
  for (int s : sizes)
    if (s != GAMESIZE) return false;
  return true;
}

void GroupMap::print_group_map() {
  for (int r = 0; r < 9; ++r) {
    for (int c = 0; c < 9; ++c) std::printf("%d ", groupMap[r][c]);
    std::printf("\n");
  }
}

void GroupMap::print_color_map() {
  for (int g = 0; g < GAMESIZE; ++g) std::printf("%d ", colorMap[g]);
  std::printf("\n");
}
