// From boundary strengths to regions: walls at a threshold, flood fill, and the
// threshold search over the gaps between sorted strengths.
#include <algorithm>
#include <array>
#include <vector>

#include "ocr/ocr.h"

bool ocr_regions_from_walls(bool const* vertical, bool const* horizontal, int* regions) {
  if (!vertical || !horizontal || !regions) return false;
  int label[81];
  std::fill_n(label, 81, -1);
  int next = 0;
  int stack[81];
  for (int seed = 0; seed < 81; ++seed) {
    if (label[seed] >= 0) continue;
    if (next == 9) return false;  // a tenth region would start
    int top = 0, size = 0;
    label[seed] = next;
    stack[top++] = seed;
    while (top > 0) {
      int const cell = stack[--top];
      ++size;
      int const r = cell / 9, c = cell % 9;
      int const neighbours[4][2] = {{c < 8 && !vertical[r * 8 + c] ? cell + 1 : -1, 0},
                                    {c > 0 && !vertical[r * 8 + c - 1] ? cell - 1 : -1, 0},
                                    {r < 8 && !horizontal[r * 9 + c] ? cell + 9 : -1, 0},
                                    {r > 0 && !horizontal[(r - 1) * 9 + c] ? cell - 9 : -1, 0}};
      for (auto const& n : neighbours)
        if (n[0] >= 0 && label[n[0]] < 0) {
          label[n[0]] = next;
          stack[top++] = n[0];
        }
    }
    if (size != 9) return false;
    ++next;
  }
  if (next != 9) return false;
  std::copy_n(label, 81, regions);
  return true;
}

bool ocr_regions_from_strengths(float const* vertical, float const* horizontal, int* regions) {
  if (!vertical || !horizontal || !regions) return false;
  std::vector<float> sorted(vertical, vertical + 72);
  sorted.insert(sorted.end(), horizontal, horizontal + 72);
  std::sort(sorted.begin(), sorted.end());
  struct Gap {
    float size, midpoint;
  };
  std::vector<Gap> gaps;
  for (std::size_t i = 1; i < sorted.size(); ++i)
    if (sorted[i] - sorted[i - 1] > 1e-6f) gaps.push_back({sorted[i] - sorted[i - 1], (sorted[i] + sorted[i - 1]) / 2});
  std::stable_sort(gaps.begin(), gaps.end(), [](Gap const& a, Gap const& b) { return a.size > b.size; });
  bool v[72], h[72];
  for (Gap const& g : gaps) {
    for (int i = 0; i < 72; ++i) {
      v[i] = vertical[i] > g.midpoint;
      h[i] = horizontal[i] > g.midpoint;
    }
    if (ocr_regions_from_walls(v, h, regions)) return true;
  }
  return false;
}
