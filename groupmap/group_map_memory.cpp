#include "groupmap/group_map_memory.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "groupmap/group_map.h"

namespace {

constexpr int kMapFiles = 15;

struct MemoryMaps {
  std::mutex lock;
  std::vector<unsigned char> contents[kMapFiles];
};

MemoryMaps& memory_maps() {
  static MemoryMaps maps;
  return maps;
}

}  // namespace

bool set_group_map_in_memory(int index, unsigned char const* bytes, size_t length) {
  if (index < 0 || index >= kMapFiles) return false;
  if (bytes && (length < 1 || length > static_cast<size_t>(kGroupMapFileCapacity))) return false;
  MemoryMaps& maps = memory_maps();
  std::lock_guard<std::mutex> hold(maps.lock);
  if (bytes)
    maps.contents[index].assign(bytes, bytes + length);
  else
    maps.contents[index].clear();
  return true;
}

unsigned char const* group_map_in_memory(int index, size_t& length, int capacity) {
  if (index < 0 || index >= kMapFiles || capacity <= 0) return nullptr;
  MemoryMaps& maps = memory_maps();
  std::lock_guard<std::mutex> hold(maps.lock);
  std::vector<unsigned char> const& held = maps.contents[index];
  if (held.empty() || held.size() > static_cast<size_t>(capacity)) return nullptr;
  auto* out = static_cast<unsigned char*>(std::calloc(static_cast<size_t>(capacity), 1));
  if (!out) return nullptr;
  std::memcpy(out, held.data(), held.size());
  length = held.size();
  return out;
}
