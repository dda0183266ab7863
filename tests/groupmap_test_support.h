// Access to GroupMap's internals and small file helpers for the group-map tests.
#pragma once

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "groupmap/group_map.h"
#include "util/zipped_file.h"

struct GroupMapTestAccess {
  static bool parseHeader(GroupMap& g, unsigned char const* d) { return g.parseHeader(d); }
  static void binaryToIntegerMap(GroupMap& g) { g.binaryToIntegerMap(); }
  static bool mapIsSquareBoxes(GroupMap const& g) { return g.mapIsSquareBoxes(); }
  static void fillOutMirrorMap(GroupMap& g, int next) { g.fillOutMirrorMap(next); }
  static void fillOutRotationalMap(GroupMap& g, int next) { g.fillOutRotationalMap(next); }
  static void reduceGroupMap(GroupMap& g, Matrix<int, 9>& m) { g.reduceGroupMap(m); }
  static int renumberGroupMap(GroupMap& g, Matrix<int, 9>& m) { return g.renumberGroupMap(m); }
  static DIMENSION dimWithLongestRun(GroupMap& g) { return g.dimWithLongestRun(); }
  static void makeColorMap(GroupMap& g) { g.makeColorMap(); }
  static void makeIrregColorMap(GroupMap& g) { g.makeIrregColorMap(); }
  static void change_3_color_map_to_4(GroupMap& g) { g.change_3_color_map_to_4(); }
  static void fillAdjacencyMatrix(GroupMap& g, bool a[9][9], Matrix<int, 9>& m) { g.fillAdjacencyMatrix(a, m); }
  static void print_group_map(GroupMap& g) { g.print_group_map(); }
  static void print_color_map(GroupMap& g) { g.print_color_map(); }
};

namespace groupmap_test {

inline std::vector<unsigned char> deflate_bytes(std::vector<unsigned char> const& raw) {
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<unsigned char> out(size);
  compress2(out.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 9);
  out.resize(size);
  return out;
}

inline void write_file(std::string const& path, std::vector<unsigned char> const& bytes) {
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f);
  std::fclose(f);
}

// A fresh empty directory under the test temp dir.
inline std::string make_temp_dir() {
  std::string templ = ::testing::TempDir() + "nonet_gm_XXXXXX";
  std::vector<char> buf(templ.begin(), templ.end());
  buf.push_back('\0');
  char* dir = mkdtemp(buf.data());
  return dir ? std::string(dir) : std::string();
}

// Header text of a group-map file: magic, tag, "%2d", "%10d", zero padding to 80 bytes.
inline std::vector<unsigned char> header(char const* magic, char const* tag, int compressize, int n_maps) {
  char text[96] = {};
  std::snprintf(text, sizeof text, "%.8s%.3s%2d%10d", magic, tag, compressize, n_maps);
  return std::vector<unsigned char>(text, text + kGroupMapHeaderSize);
}

// Restores the configured group-maps directory when a test ends.
struct DirGuard {
  std::string saved = group_maps_dir();
  ~DirGuard() { set_group_maps_dir(saved.c_str()); }
};

// Group numbers of m as a partition signature: each cell's label renumbered by first appearance.
inline Matrix<int, 9> canonical(Matrix<int, 9> m) {
  int next = 0, seen[64];
  for (int& s : seen) s = -1;
  for (int i = 0; i < 81; ++i) {
    int const v = m.data()[i] + 16;
    if (seen[v] < 0) seen[v] = next++;
    m.data()[i] = seen[v];
  }
  return m;
}

// True when every group of m (labels 0..8) has nine edge-connected cells.
inline bool nine_connected_groups_of_nine(Matrix<int, 9> const& m) {
  int sizes[9] = {};
  for (int i = 0; i < 81; ++i) {
    int const g = m.data()[i];
    if (g < 0 || g > 8) return false;
    ++sizes[g];
  }
  for (int s : sizes)
    if (s != 9) return false;
  for (int g = 0; g < 9; ++g) {
    int start = 0;
    while (m.data()[start] != g) ++start;
    bool seen[81] = {};
    int stack[81], top = 0, count = 0;
    stack[top++] = start;
    seen[start] = true;
    while (top) {
      int const k = stack[--top];
      ++count;
      int const r = k / 9, c = k % 9;
      int const nb[4][2] = {{r - 1, c}, {r + 1, c}, {r, c - 1}, {r, c + 1}};
      for (auto const& n : nb) {
        if (n[0] < 0 || n[0] > 8 || n[1] < 0 || n[1] > 8) continue;
        int const j = n[0] * 9 + n[1];
        if (!seen[j] && m.data()[j] == g) seen[j] = true, stack[top++] = j;
      }
    }
    if (count != 9) return false;
  }
  return true;
}

}  // namespace groupmap_test
