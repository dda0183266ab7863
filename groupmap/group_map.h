// GroupMap: the partition of the 81 cells into nine groups for one new puzzle
// (the 3x3 boxes, or a jigsaw map loaded from a group-map file, completed by its
// symmetry and turned at random) and a colour for each group.
#pragma once

#include "model/matrix.h"
#include "model/types.h"
#include "util/export.h"

constexpr int GAMESIZE = 9;

// Inflated size limit of a group-map file, and the layout of its content.
constexpr int kGroupMapFileCapacity = 230000;
constexpr int kGroupMapHeaderSize = 80;
constexpr int kMaxCompressedMapBytes = 40;

// The fifteen map files (names without directory and suffix): ten mirror, five rotational.
extern "C" NONET_EXPORT char const* jigsawGroupMapFilenames[15];

class NONET_EXPORT GroupMap {
 public:
  explicit GroupMap(MAP_TYPE mapType);

  Matrix<int, 9> groupMap;
  int colorMap[GAMESIZE];
  MAP_TYPE mapType;
  bool usedSquareFallback;
  int symmetryType;  // 0 "MIR", 1 "ROT", 2 "NON"
  int compressize;   // bytes per stored map, 1..40
  int nMaps;
  unsigned char compressedMap[kMaxCompressedMapBytes];

 private:
  friend struct GroupMapTestAccess;

  void initMap();
  bool get_random_compressed_group_map();
  // Needs the 80 header bytes readable.
  bool parseHeader(unsigned char const* data);
  void binaryToIntegerMap();
  bool mapIsSquareBoxes() const;
  // True when groupMap holds group numbers 0..8, nine cells each.
  bool mapIsNineGroupsOfNine() const;
  void print_group_map();
  void print_color_map();

  // Symmetric completion and group helpers.
  void fillOutMirrorMap(int next);
  void fillOutRotationalMap(int next);
  void reduceGroupMap(Matrix<int, 9>& m);
  int renumberGroupMap(Matrix<int, 9>& m);
  DIMENSION dimWithLongestRun();

  // Colouring.
  void makeColorMap();
  void makeIrregColorMap();
  void change_3_color_map_to_4();
  void fillAdjacencyMatrix(bool adjacency[9][9], Matrix<int, 9>& m);
};

// Colours the nodes of a small graph (at most nine nodes) so that adjacent nodes differ:
// randomised backtracking from the highest node down.
class NONET_EXPORT FourColorMap {
 public:
  bool mapColorsToNodes(int nColors, int nNodes, int* colors, bool adjacency[][9]);
  int mapColorsToNodes(int nColors, int nNodes, int* colors, bool (*adjacent)(int, int));

  int* colors = nullptr;
  int nNodes = 0;
  int nColors = 0;

 private:
  bool colorGroupRecursion(int node, bool adjacency[][9]);
  bool checkValidity(int node, bool adjacency[][9]);
};
