// Completing a stored partial map by its symmetry, and the group-numbering helpers.
#include <algorithm>

#include "groupmap/group_map.h"
#include "util/random.h"

void GroupMap::fillOutMirrorMap(int next) {
  int* cells = groupMap.data();
  // Groups with a cell in the middle row are their own mirror image and keep their label.
  int middle_row[9];
  for (int c = 0; c < 9; ++c) middle_row[c] = groupMap[4][c];
  auto in_middle_row = [&](int label) { return std::find(middle_row, middle_row + 9, label) != middle_row + 9; };
  for (int k = std::max(next, 0); k < 81; ++k) {
    int const r = k / 9, c = k % 9;
    int const label = groupMap[8 - r][c];
    cells[k] = in_middle_row(label) ? label : label + 1;
  }
  // Top-bottom symmetry becomes left-right symmetry either way.
  if (arc4random_uniform(2) != 0)
    groupMap.rotate90();
  else
    groupMap.rotate270();
}

void GroupMap::fillOutRotationalMap(int next) {
  int* cells = groupMap.data();
  for (int k = std::max(next, 0); k < 81; ++k) {
    int const label = cells[80 - k];
    cells[k] = label == 9 ? 9 : (label % 2 != 0 ? label + 1 : label - 1);
  }
  switch (arc4random_uniform(4)) {
    case 1: groupMap.rotate270(); break;
    case 2: groupMap.reflectDiag00(); break;
    case 3: groupMap.reflectLR(); break;
    default: break;
  }
}

void GroupMap::reduceGroupMap(Matrix<int, 9>& m) {
  int* cells = m.data();
  bool merged[GAMESIZE] = {};
  for (int g = 0; g < GAMESIZE; ++g) {
    if (merged[g]) continue;
    int const first = static_cast<int>(std::find(cells, cells + 81, g) - cells);
    if (first == 81) continue;
    merged[g] = true;
    int const r = first / 9, c = first % 9;
    int const partner = symmetryType == 0 ? r * 9 + (8 - c) : (8 - r) * 9 + (8 - c);
    int const h = cells[partner];
    if (h == g) continue;
    if (h >= 0 && h < GAMESIZE) merged[h] = true;
    std::replace(cells, cells + 81, h, g);
  }
}

int GroupMap::renumberGroupMap(Matrix<int, 9>& m) {
  int* cells = m.data();
  for (int i = 0; i < 81; ++i) cells[i] += 10;
  int n = 0;
  for (int i = 0; i < 81; ++i) {
    if (cells[i] < 10) continue;
    int const label = cells[i];
    for (int j = i; j < 81; ++j)
      if (cells[j] == label) cells[j] = n;
    ++n;
  }
  return n;
}

DIMENSION GroupMap::dimWithLongestRun() {
  int longest_row = 1, longest_col = 1;
  for (int a = 0; a < 9; ++a) {
    int row_run = 1, col_run = 1;
    for (int b = 1; b < 9; ++b) {
      row_run = groupMap[a][b] == groupMap[a][b - 1] ? row_run + 1 : 1;
      col_run = groupMap[b][a] == groupMap[b - 1][a] ? col_run + 1 : 1;
      longest_row = std::max(longest_row, row_run);
      longest_col = std::max(longest_col, col_run);
    }
  }
  return longest_col > longest_row ? DIM_COL : DIM_ROW;
}
