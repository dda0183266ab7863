// The diagonal test: are the cells of the two main diagonals set apart from the
// others by shading or colour?
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstdio>

#include "ocr/ocr.h"

namespace {

bool on_diagonal(int cell) { return cell / 9 == cell % 9 || cell / 9 + cell % 9 == 8; }

// Component-wise median (element n / 2) of the descriptions of the chosen cells.
OcrCellDescription median_description(std::array<OcrCellDescription, 81> const& cells,
                                      std::vector<int> const& chosen) {
  OcrCellDescription m{};
  std::vector<float> values;
  for (int k = 0; k < 4; ++k) {
    values.clear();
    for (int cell : chosen) values.push_back(cells[static_cast<std::size_t>(cell)][k]);
    std::nth_element(values.begin(), values.begin() + static_cast<long>(values.size() / 2), values.end());
    m[k] = values[values.size() / 2];
  }
  return m;
}

// Residuals against the off-diagonal cells of the same palette entry. A colour that
// only diagonal cells have (the diagonals' own fill) is measured against all
// off-diagonal cells instead: against itself it would look plain.
std::array<OcrCellDescription, 81> residuals_by_entry(std::array<OcrCellDescription, 81> const& cells,
                                                      std::array<int, 81> const& entries, std::size_t palette_size) {
  std::vector<int> off_diagonal;
  for (int cell = 0; cell < 81; ++cell)
    if (!on_diagonal(cell)) off_diagonal.push_back(cell);
  OcrCellDescription const overall = median_description(cells, off_diagonal);
  std::array<OcrCellDescription, 81> residual{};
  int const entry_count = std::max(1, static_cast<int>(palette_size));
  for (int e = 0; e < entry_count; ++e) {
    std::vector<int> same;
    for (int cell : off_diagonal)
      if (entries[static_cast<std::size_t>(cell)] == e) same.push_back(cell);
    OcrCellDescription const reference = same.empty() ? overall : median_description(cells, same);
    for (int cell = 0; cell < 81; ++cell)
      if (entries[static_cast<std::size_t>(cell)] == e)
        for (int k = 0; k < 4; ++k)
          residual[static_cast<std::size_t>(cell)][k] = cells[static_cast<std::size_t>(cell)][k] - reference[k];
  }
  return residual;
}

// Residuals against the nearest off-diagonal cells of the same group (other than the
// cell itself): the ring of cells around it, widened until it holds at least four
// (all off-diagonal cells when the group has too few). Light that falls off
// towards a corner, or fills that differ from region to region, then cancel out.
std::array<OcrCellDescription, 81> residuals_nearby(std::array<OcrCellDescription, 81> const& cells,
                                                    int const* groups) {
  std::array<OcrCellDescription, 81> residual{};
  std::vector<int> near;
  for (int cell = 0; cell < 81; ++cell) {
    int const r = cell / 9, c = cell % 9;
    near.clear();
    for (int reach = 1; reach <= 8 && near.size() < 4; ++reach) {
      near.clear();
      for (int other = 0; other < 81; ++other)
        if (other != cell && !on_diagonal(other) && groups[other] == groups[cell] &&
            std::abs(other / 9 - r) <= reach && std::abs(other % 9 - c) <= reach)
          near.push_back(other);
    }
    if (near.empty())
      for (int other = 0; other < 81; ++other)
        if (other != cell && !on_diagonal(other)) near.push_back(other);
    OcrCellDescription const reference = median_description(cells, near);
    for (int k = 0; k < 4; ++k)
      residual[static_cast<std::size_t>(cell)][k] = cells[static_cast<std::size_t>(cell)][k] - reference[k];
  }
  return residual;
}

}  // namespace

OcrTestOutcome ocr_diagonal_test(OcrPictureView const& picture, unsigned char const* grey, OcrBox const& box,
                                 OcrNearbyReference const* nearby) {
  OcrLattice const lattice = ocr_box_lattice(box);
  if (lattice.pitch_x < 6 || lattice.pitch_y < 6) return OcrTestOutcome::unmeasured;
  std::array<OcrCellDescription, 81> cells;
  if (!ocr_describe_cells(picture, grey, lattice, cells)) return OcrTestOutcome::unmeasured;
  std::vector<OcrColour> const palette = ocr_palette(picture, grey, lattice);
  std::array<int, 81> entries{};
  if (palette.size() >= 2) {
    entries = ocr_palette_entries(picture, grey, lattice, palette);
    for (int& e : entries) e = std::max(e, 0);
  }

  std::array<OcrCellDescription, 81> const residual =
      nearby == nullptr ? residuals_by_entry(cells, entries, palette.size())
                        : residuals_nearby(cells, nearby->groups ? nearby->groups : entries.data());
  double dir[4] = {};
  for (int cell = 0; cell < 81; ++cell)
    if (on_diagonal(cell))
      for (int k = 0; k < 4; ++k) dir[k] += residual[static_cast<std::size_t>(cell)][k] / 17.0;
  double const length = std::sqrt(dir[0] * dir[0] + dir[1] * dir[1] + dir[2] * dir[2] + dir[3] * dir[3]);
  double diag_low = 0, off_high = 0, noise = 0;
  bool marked = false;
  if (length >= 1.5) {
    std::vector<double> diagonal, off, off_abs;
    for (int cell = 0; cell < 81; ++cell) {
      double p = 0;
      for (int k = 0; k < 4; ++k) p += residual[static_cast<std::size_t>(cell)][k] * dir[k] / length;
      if (on_diagonal(cell)) {
        diagonal.push_back(p);
      } else {
        off.push_back(p);
        off_abs.push_back(std::fabs(p));
      }
    }
    std::sort(diagonal.begin(), diagonal.end());
    std::sort(off.begin(), off.end());
    std::sort(off_abs.begin(), off_abs.end());
    diag_low = diagonal[3];
    off_high = off[off.size() - 6];
    noise = std::max(off_abs[off_abs.size() / 2], 1.0);
    marked = diag_low > off_high && diag_low - off_high > 2 * noise && diag_low > 3;
  }
  if (ocr_debug)
    std::printf("x_marked box %d,%d..%d,%d pal %zu |dir| %.2f diagLow %.2f offHigh %.2f noise %.2f -> %s\n", box.left,
                box.top, box.right, box.bottom, palette.size(), length, diag_low, off_high, noise,
                marked ? "X" : "plain");
  return marked ? OcrTestOutcome::present : OcrTestOutcome::absent;
}
