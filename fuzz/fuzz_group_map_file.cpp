// Fuzzes the group-map loader end to end: the input becomes every one of the fifteen map files
// (as is, or zlib-compressed when its first byte is odd, so the header and map parsing are reached),
// then an irregular GroupMap is built. Whatever the file holds, the result must be nine groups of
// nine cells numbered 0..8 with colours 0..3. Run with -close_fd_mask=2 to silence the loader's messages.
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "groupmap/group_map.h"
#include "util/zipped_file.h"

namespace {

std::string const& input_path() {
  static std::string const path = [] {
    char dir[] = "/tmp/nonet_fuzz_gm_XXXXXX";
    std::string const d = mkdtemp(dir);
    std::string const target = d + "/input.z";
    for (char const* name : jigsawGroupMapFilenames) (void)!symlink(target.c_str(), (d + "/" + name + ".z").c_str());
    set_group_maps_dir(d.c_str());
    return target;
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) {
  std::string const& path = input_path();
  std::vector<unsigned char> bytes(data, data + size);
  if (size > 0 && (data[0] & 1)) {
    uLongf out = compressBound(static_cast<uLong>(size - 1));
    bytes.resize(out);
    compress2(bytes.data(), &out, data + 1, static_cast<uLong>(size - 1), 1);
    bytes.resize(out);
  }
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 0;
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);

  GroupMap g(MAP_IRREGULAR);
  int sizes[9] = {};
  for (int k = 0; k < 81; ++k) {
    int const v = g.groupMap.data()[k];
    if (v < 0 || v > 8) std::abort();
    ++sizes[v];
  }
  for (int g_ = 0; g_ < 9; ++g_) {
    if (sizes[g_] != 9) std::abort();
    if (g.colorMap[g_] < 0 || g.colorMap[g_] > 3) std::abort();
  }
  return 0;
}
