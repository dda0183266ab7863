// Region colouring: a small randomised backtracking colouring of the group adjacency
// graph, partners sharing a colour, and the checkerboard of the square map.
#include <cstdio>

#include "groupmap/group_map.h"
#include "util/combinations.h"
#include "util/message.h"
#include "util/random.h"

bool FourColorMap::mapColorsToNodes(int nColors_, int nNodes_, int* colors_, bool adjacency[][9]) {
  nColors = nColors_;
  nNodes = nNodes_;
  colors = colors_;
  // At most nine nodes (the adjacency is 9 x 9); nine colours always suffice.
  if (nNodes < 1 || nNodes > GAMESIZE) return false;
  if (nColors > GAMESIZE) nColors = GAMESIZE;
  for (int i = 0; i < nNodes; ++i) colors[i] = 0;
  return colorGroupRecursion(nNodes - 1, adjacency);
}

int FourColorMap::mapColorsToNodes(int nColors_, int nNodes_, int* colors_, bool (*adjacent)(int, int)) {
  bool adjacency[9][9] = {};
  int const n = nNodes_ > GAMESIZE ? GAMESIZE : nNodes_;
  for (int i = 0; i < n - 1; ++i)
    for (int j = i; j < n; ++j) adjacency[i][j] = adjacency[j][i] = adjacent(i, j);
  mapColorsToNodes(nColors_, nNodes_, colors_, adjacency);
  return 0;
}

bool FourColorMap::colorGroupRecursion(int node, bool adjacency[][9]) {
  int order[GAMESIZE];
  int const n = nColors < 0 ? 0 : nColors;
  initialize_comb(n, order);
  random_combination(n, n, order);
  if (nColors < 1) return false;
  for (int i = 0; i < n; ++i) {
    colors[node] = order[i];
    if (!checkValidity(node, adjacency)) continue;
    if (node == 0 || colorGroupRecursion(node - 1, adjacency)) return true;
  }
  return false;
}

bool FourColorMap::checkValidity(int node, bool adjacency[][9]) {
  for (int j = nNodes - 1; j > node; --j)
    if (adjacency[node][j] && colors[j] == colors[node]) return false;
  return true;
}

void GroupMap::fillAdjacencyMatrix(bool adjacency[9][9], Matrix<int, 9>& m) {
  for (int i = 0; i < 9; ++i)
    for (int j = 0; j < 9; ++j) adjacency[i][j] = false;
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      int const g = m[r][c];
      if (c < 8 && m[r][c + 1] != g) adjacency[g][m[r][c + 1]] = adjacency[m[r][c + 1]][g] = true;
      if (r < 8 && m[r + 1][c] != g) adjacency[g][m[r + 1][c]] = adjacency[m[r + 1][c]][g] = true;
    }
}

void GroupMap::makeColorMap() {
  if (mapType == MAP_REGULAR) {
    int const c = static_cast<int>(arc4random_uniform(2) ^ 1u);
    for (int g = 0; g < GAMESIZE; ++g) colorMap[g] = (g % 2 == 0) ? c : 1 - c;
  } else if (mapType == MAP_IRREGULAR) {
    makeIrregColorMap();
  } else {
    engine_message("makeColorMap: unknown mapType %d", static_cast<int>(mapType));
  }
}

void GroupMap::makeIrregColorMap() {
  Matrix<int, 9> reduced(groupMap);
  reduceGroupMap(reduced);
  int const n = renumberGroupMap(reduced);
  if (n > GAMESIZE) {
    engine_message("GroupMap::makeIrregColorMap: nNodes=%d > GAMESIZE=%d \xE2\x80\x94 bad map\n", n, GAMESIZE);
    static constexpr int kFixed[GAMESIZE] = {0, 1, 2, 3, 0, 1, 2, 3, 0};
    for (int g = 0; g < GAMESIZE; ++g) colorMap[g] = kFixed[g];
    return;
  }
  bool adjacency[9][9];
  fillAdjacencyMatrix(adjacency, reduced);
  FourColorMap colouring;
  if (colouring.mapColorsToNodes(4, n, colorMap, adjacency)) {
    int permutation[4];
    initialize_comb(4, permutation);
    random_combination(4, 4, permutation);
    int node_colour[GAMESIZE];
    for (int k = 0; k < n; ++k) node_colour[k] = permutation[colorMap[k]];
    for (int g = 0; g < GAMESIZE; ++g)
      for (int i = 0; i < 81; ++i)
        if (groupMap.data()[i] == g) {
          colorMap[g] = node_colour[reduced.data()[i]];
          break;
        }
    if (arc4random_uniform(4) != 0) change_3_color_map_to_4();
  } else {
    fillAdjacencyMatrix(adjacency, groupMap);
    if (!colouring.mapColorsToNodes(3, GAMESIZE, colorMap, adjacency))
      colouring.mapColorsToNodes(4, GAMESIZE, colorMap, adjacency);
  }
}

void GroupMap::change_3_color_map_to_4() {
  int counts[4] = {};
  for (int g = 0; g < GAMESIZE; ++g)
    if (colorMap[g] >= 0 && colorMap[g] < 4) ++counts[colorMap[g]];
  int unused = -1;
  for (int c = 0; c < 4 && unused < 0; ++c)
    if (counts[c] == 0) unused = c;
  if (unused < 0) return;
  bool some_colour_on_four = false;
  for (int c = 0; c < 4; ++c) some_colour_on_four |= counts[c] == 4;
  if (some_colour_on_four) {
    colorMap[groupMap[0][0]] = unused;
    colorMap[symmetryType != 0 ? groupMap[8][8] : groupMap[0][8]] = unused;
  } else {
    colorMap[groupMap[4][4]] = unused;
  }
}
