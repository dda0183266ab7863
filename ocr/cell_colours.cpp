// What the paper of each cell looks like: brightness and colour of its light
// pixels (cell descriptions) and the few colours the cells are filled with (the
// palette), shared by the diagonal and region tests.
#include <algorithm>
#include <cmath>
#include <limits>

#include "ocr/ocr.h"

namespace {

// A pixel is paper rather than ink at this grey value and above.
constexpr int light_grey = 120;

OcrColour colour_at(OcrPictureView const& p, std::size_t index) {
  unsigned char const* px = p.pixels + index * static_cast<std::size_t>(p.bpp);
  if (p.bpp < 3) return {px[0], px[0], px[0]};
  return {px[0], px[1], px[2]};
}

// The three shares of a colour, each 255 x component / sum (85 each for black).
void shares(OcrColour const& c, int out[3]) {
  int const sum = c.r + c.g + c.b;
  if (sum == 0) {
    out[0] = out[1] = out[2] = 85;
    return;
  }
  out[0] = 255 * c.r / sum;
  out[1] = 255 * c.g / sum;
  out[2] = 255 * c.b / sum;
}

// The pixels of cell (r, c) between the fractions lo and hi of its width and height,
// clamped to the picture; visit(index) for each.
template <class Visit>
void for_each_in_cell(OcrPictureView const& p, OcrLattice const& l, int r, int c, double lo, double hi,
                      Visit&& visit) {
  double const x0 = l.left + c * l.pitch_x, y0 = l.top + r * l.pitch_y;
  int const xa = std::max(0, static_cast<int>(std::ceil(x0 + lo * l.pitch_x)));
  int const xb = std::min(p.width, static_cast<int>(std::ceil(x0 + hi * l.pitch_x)));
  int const ya = std::max(0, static_cast<int>(std::ceil(y0 + lo * l.pitch_y)));
  int const yb = std::min(p.height, static_cast<int>(std::ceil(y0 + hi * l.pitch_y)));
  for (int y = ya; y < yb; ++y)
    for (int x = xa; x < xb; ++x) visit(static_cast<std::size_t>(y) * p.width + x);
}

}  // namespace

OcrLattice ocr_box_lattice(OcrBox const& box) {
  return {static_cast<double>(box.left), static_cast<double>(box.top), (box.right - box.left + 1) / 9.0,
          (box.bottom - box.top + 1) / 9.0};
}

int ocr_chroma_distance(OcrColour const& a, OcrColour const& b) {
  int sa[3], sb[3];
  shares(a, sa);
  shares(b, sb);
  int d = 0;
  for (int i = 0; i < 3; ++i) d += (sa[i] - sb[i]) * (sa[i] - sb[i]);
  return d;
}

bool ocr_describe_cells(OcrPictureView const& picture, unsigned char const* grey, OcrLattice const& lattice,
                        std::array<OcrCellDescription, 81>& cells) {
  std::vector<int> greys, reds, greens;
  for (int cell = 0; cell < 81; ++cell) {
    greys.clear();
    reds.clear();
    greens.clear();
    for_each_in_cell(picture, lattice, cell / 9, cell % 9, 0.2, 0.8, [&](std::size_t i) {
      if (grey[i] < light_grey) return;
      int s[3];
      shares(colour_at(picture, i), s);
      greys.push_back(grey[i]);
      reds.push_back(s[0]);
      greens.push_back(s[1]);
    });
    std::size_t const n = greys.size();
    if (n < 9) return false;
    std::sort(greys.begin(), greys.end());
    std::nth_element(reds.begin(), reds.begin() + static_cast<long>(n / 2), reds.end());
    std::nth_element(greens.begin(), greens.begin() + static_cast<long>(n / 2), greens.end());
    cells[static_cast<std::size_t>(cell)] = {static_cast<float>(greys[3 * n / 4]), static_cast<float>(greys[n / 4]),
                                             static_cast<float>(reds[n / 2]), static_cast<float>(greens[n / 2])};
  }
  return true;
}

std::vector<OcrColour> ocr_palette(OcrPictureView const& picture, unsigned char const* grey,
                                   OcrLattice const& lattice) {
  constexpr int bins = 1 << 15;
  std::vector<long long> count(bins, 0), sum_r(bins, 0), sum_g(bins, 0), sum_b(bins, 0);
  long long total = 0;
  for (int cell = 0; cell < 81; ++cell)
    for_each_in_cell(picture, lattice, cell / 9, cell % 9, 0.15, 0.85, [&](std::size_t i) {
      if (grey[i] < light_grey) return;
      OcrColour const c = colour_at(picture, i);
      int const bin = (c.r >> 3) << 10 | (c.g >> 3) << 5 | (c.b >> 3);
      ++count[bin];
      sum_r[bin] += c.r;
      sum_g[bin] += c.g;
      sum_b[bin] += c.b;
      ++total;
    });
  auto const bin_colour = [&](int bin) {
    return OcrColour{static_cast<int>(sum_r[bin] / count[bin]), static_cast<int>(sum_g[bin] / count[bin]),
                     static_cast<int>(sum_b[bin] / count[bin])};
  };
  std::vector<bool> used(bins, false);
  std::vector<OcrColour> palette;
  for (int round = 0; round < 9; ++round) {
    int top = -1;
    for (int b = 0; b < bins; ++b)
      if (!used[b] && count[b] > 0 && (top < 0 || count[b] > count[top])) top = b;
    if (top < 0) break;
    OcrColour const centre = bin_colour(top);
    long long n = 0, r = 0, g = 0, bl = 0;
    for (int b = 0; b < bins; ++b) {
      if (used[b] || count[b] == 0 || ocr_chroma_distance(bin_colour(b), centre) >= 100) continue;
      used[b] = true;
      n += count[b];
      r += sum_r[b];
      g += sum_g[b];
      bl += sum_b[b];
    }
    if (n * 20 >= total && n > 0)
      palette.push_back({static_cast<int>(r / n), static_cast<int>(g / n), static_cast<int>(bl / n)});
  }
  return palette;
}

std::array<int, 81> ocr_palette_entries(OcrPictureView const& picture, unsigned char const* grey,
                                        OcrLattice const& lattice, std::vector<OcrColour> const& palette) {
  std::array<int, 81> entries;
  entries.fill(-1);
  if (palette.empty()) return entries;
  std::vector<std::array<int, 3>> palette_shares(palette.size());
  for (std::size_t k = 0; k < palette.size(); ++k) shares(palette[k], palette_shares[k].data());
  auto const vote_of = [&](OcrColour const& c) {
    int s[3];
    shares(c, s);
    long long nearest = std::numeric_limits<long long>::max(), second = nearest;
    int best = -1;
    for (std::size_t k = 0; k < palette.size(); ++k) {
      long long d = 0;
      for (int i = 0; i < 3; ++i) d += (s[i] - palette_shares[k][i]) * (s[i] - palette_shares[k][i]);
      if (d < nearest) {
        second = nearest;
        nearest = d;
        best = static_cast<int>(k);
      } else if (d < second) {
        second = d;
      }
    }
    // With a single colour there is no second-nearest: the vote is never ambiguous.
    return palette.size() == 1 || 3 * nearest <= second ? best : -1;
  };
  // Paper of one fill repeats a few colours many times: each colour's vote is kept
  // in a small table (colour + 1 as the key, 0 for an empty slot).
  constexpr std::size_t slots = 4096;
  std::vector<std::pair<int, int>> remembered(slots, {0, 0});
  auto const cached_vote = [&](OcrColour const& c) {
    int const key = (c.r << 16 | c.g << 8 | c.b) + 1;
    auto& slot = remembered[(static_cast<unsigned>(key) * 2654435761u) >> 20];
    if (slot.first != key) slot = {key, vote_of(c)};
    return slot.second;
  };
  for (int cell = 0; cell < 81; ++cell) {
    int votes[9] = {};
    for_each_in_cell(picture, lattice, cell / 9, cell % 9, 0.12, 0.88, [&](std::size_t i) {
      if (grey[i] < light_grey) return;
      int const k = cached_vote(colour_at(picture, i));
      if (k >= 0) ++votes[k];
    });
    int best = -1;
    for (int k = 0; k < static_cast<int>(palette.size()); ++k)
      if (votes[k] > 0 && (best < 0 || votes[k] > votes[best])) best = k;
    entries[static_cast<std::size_t>(cell)] = best;
  }
  return entries;
}
