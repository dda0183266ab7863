// Reading a printed puzzle from a camera picture: grid location (box search,
// comb score, span repair, tilt, perspective) and cell digit recognition.
//
// Grey images are one byte per pixel, row-major, width x height, no padding.
// Every function checks its sizes: a picture whose width x height x bpp would not
// fit in memory is refused, and no coordinate derived from the picture leads to a
// read outside it.
#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "util/export.h"

// True when the environment variable OCR_DEBUG existed at library load; the image
// functions then print their trace with printf.
NONET_EXPORT extern bool const ocr_debug;

using OcrImage = std::vector<unsigned char>;

struct OcrBox {
  int left = 0, top = 0, right = 0, bottom = 0;
};

// Corners top-left, top-right, bottom-right, bottom-left.
struct OcrQuad {
  float x[4] = {0, 0, 0, 0};
  float y[4] = {0, 0, 0, 0};
};

using OcrHomography = std::array<float, 9>;

// The rules a reading is judged by: drawn regions (81 region numbers 0..8; null for
// the 3x3 boxes) and whether both main diagonals are units.
struct OcrPictureRules {
  int const* regions = nullptr;
  bool diagonals = false;
};

// A colour (or grey) picture as the exported calls take it: bpp bytes per pixel,
// the first three red, green, blue for bpp 3 and 4.
struct OcrPictureView {
  unsigned char const* pixels = nullptr;
  int width = 0, height = 0, bpp = 1;
};
struct OcrPicture {
  OcrImage pixels;
  int width = 0, height = 0, bpp = 1;
  OcrPictureView view() const { return {pixels.data(), width, height, bpp}; }
};

inline constexpr int ocr_min_side = 27;
inline constexpr int ocr_patch_side = 24;
inline constexpr int ocr_patch_size = ocr_patch_side * ocr_patch_side;

// Calls visit(q) for each of the up to eight pixels around p = y * W + x in a W x H picture.
template <class Visit>
inline void ocr_for_each_neighbour8(int x, int y, int W, int H, Visit&& visit) {
  for (int dy = -1; dy <= 1; ++dy) {
    int const ny = y + dy;
    if (ny < 0 || ny >= H) continue;
    for (int dx = -1; dx <= 1; ++dx) {
      int const nx = x + dx;
      if ((dx == 0 && dy == 0) || nx < 0 || nx >= W) continue;
      visit(ny * W + nx);
    }
  }
}

// ---- Pictures and grey images ----

// Number of bytes of a width x height picture of bpp bytes per pixel, or 0 when a
// side is not positive, bpp is outside 1..4 or the size would overflow.
NONET_EXPORT std::size_t ocr_picture_bytes(int width, int height, int bpp);
// Grey conversion; empty when ocr_picture_bytes() refuses the sizes.
NONET_EXPORT OcrImage ocr_to_grey(unsigned char const* pixels, int width, int height, int bpp);
NONET_EXPORT std::size_t ocr_count_below(unsigned char const* grey, int width, int height, int threshold);
NONET_EXPORT void ocr_invert(OcrImage& image);
// Inverts the image when more than half of its pixels are below 128; true when it did.
NONET_EXPORT bool ocr_normalise_polarity(OcrImage& grey, int width, int height);
NONET_EXPORT OcrImage ocr_inverted(OcrImage const& image);

// ---- Box search ----

NONET_EXPORT std::vector<int> ocr_line_runs(unsigned char const* grey, int width, int height, double threshold,
                                            bool rows);
// Mean grey value split into the two group means, averaged (the two-means threshold).
NONET_EXPORT double ocr_two_means_threshold(unsigned char const* grey, std::size_t count);
// Pairs of vertical lines ocr_find_box examines at most (see box_search.cpp).
inline constexpr long long ocr_box_search_budget = 1'000'000;
NONET_EXPORT bool ocr_find_box(unsigned char const* grey, int width, int height, OcrBox& box, bool adaptive);
NONET_EXPORT void ocr_fallback_box(unsigned char const* grey, int width, int height, OcrBox& box);
NONET_EXPORT int ocr_comb_score(unsigned char const* image, int width, int height);
NONET_EXPORT int ocr_box_comb(unsigned char const* grey, int width, int height, OcrBox const& box);
NONET_EXPORT double ocr_line_pitch(std::vector<int> const& lines, int low, int high);
NONET_EXPORT bool ocr_repair_span(unsigned char const* grey, int width, int height, bool rows,
                                  std::vector<int> const& lines, int& low, int& high);
NONET_EXPORT void ocr_grid_bounds(unsigned char const* grey, int width, int height, bool whole_image, OcrBox& box);
NONET_EXPORT bool ocr_locate_grid(unsigned char const* grey, int width, int height, int* left, int* top, int* right,
                                  int* bottom);

// ---- Tilt and perspective ----

NONET_EXPORT float ocr_skew_angle(unsigned char const* grey, int width, int height);
NONET_EXPORT OcrImage ocr_shear(unsigned char const* grey, int width, int height, float angle_degrees);
NONET_EXPORT bool ocr_find_quad(unsigned char const* grey, int width, int height, OcrQuad& quad, bool dark);
NONET_EXPORT bool ocr_radial_quad(unsigned char const* grey, int width, int height, OcrQuad& quad);
NONET_EXPORT bool ocr_homography(OcrQuad const& quad, OcrHomography& h);
// channels bytes per pixel, warped channel by channel.
NONET_EXPORT OcrImage ocr_warp(unsigned char const* image, int width, int height, OcrHomography const& h, int size,
                               int channels = 1);
NONET_EXPORT int ocr_warp_comb(unsigned char const* grey, int width, int height, OcrQuad const& quad, int size,
                               OcrImage& warped);
// (width + height) / 2 clamped to 180..1200.
NONET_EXPORT int ocr_warp_size(int width, int height);

// ---- Cells and digits ----

// How the shape rules judged a cell window; no_ink covers a cell whose only ink spans it.
enum class OcrCellVerdict { digit, no_ink, too_small, too_short, too_wide, too_sparse, ambiguous };

// Receives every cell patch a reading produces (for the training tools); reading
// numbers count the ocr_read_cells calls of one recognition.
struct OcrPatchSink {
  virtual ~OcrPatchSink() = default;
  virtual void begin_reading() {}
  virtual void patch(int cell, float const* patch, int cls, float confidence) = 0;
  virtual void rejected(int /*cell*/, int /*verdict*/) {}
  // Training dumps: when true, an adaptive reading also passes every patch its retry
  // of unsure digits may use (each threshold depth), whatever the network answers.
  virtual bool wants_threshold_variants() const { return false; }
  virtual void threshold_variant(int /*cell*/, float const* /*patch*/) {}
};

NONET_EXPORT float ocr_median(unsigned char const* values, std::size_t count);
NONET_EXPORT std::vector<float> ocr_resample_area(float const* image, int rows, int columns, int out_rows,
                                                  int out_columns);
NONET_EXPORT bool ocr_cell_patch(unsigned char const* cell, int rows, int columns, float* patch);
NONET_EXPORT OcrCellVerdict ocr_cell_patch_verdict(unsigned char const* cell, int rows, int columns, float* patch);
// The component and shape rules of ocr_cell_patch_verdict applied to an ink mask
// (one byte per pixel, non-zero = ink).
NONET_EXPORT OcrCellVerdict ocr_patch_from_ink(unsigned char const* ink, int rows, int columns, float* patch);
// The same with the digit's least height, as a fraction of the window, given (0.4 above).
NONET_EXPORT OcrCellVerdict ocr_patch_from_ink_min_height(unsigned char const* ink, int rows, int columns,
                                                          float* patch, double min_height);
NONET_EXPORT int ocr_classify_patch(float const* patch, float& confidence);
// True when the built-in weight table is present and complete.
NONET_EXPORT bool ocr_network_ready();
// The digit a cell gets from its class: 1..9 with confidence at least 0.55, else 0.
NONET_EXPORT int ocr_accepted_digit(int cls, float confidence);
NONET_EXPORT int ocr_read_cells(unsigned char const* grey, int width, int height, OcrBox const& box, int* digits,
                                OcrPatchSink* sink = nullptr);
// ocr_read_cells with ocr_cell_patch_adaptive for every cell.
NONET_EXPORT int ocr_read_cells_adaptive(unsigned char const* grey, int width, int height, OcrBox const& box,
                                         int* digits, OcrPatchSink* sink = nullptr);
// box, when given, receives the box the cells were cut from.
NONET_EXPORT int ocr_read_digits(unsigned char const* grey, int width, int height, int* digits,
                                 OcrPatchSink* sink = nullptr, OcrBox* box = nullptr);
// Where a reading found its grid (outer corners in the reading's picture) and the
// rules to judge readings by: those the picture shows on a grid, asked for each grid
// a reading is made on. The regions a result points to stay valid as long as the
// context does.
struct OcrReadingContext {
  virtual ~OcrReadingContext() = default;
  virtual OcrPictureRules rules_for(OcrQuad const& grid) = 0;
  OcrQuad grid;       // set by the reading: the grid of the result
  bool found = false;
};
NONET_EXPORT int ocr_first_reading(unsigned char const* grey, int width, int height, int* digits,
                                   OcrPatchSink* sink = nullptr, OcrReadingContext* context = nullptr);
// ---- Second attempt for photos the plain reading gets wrong ----

// Grid outline from a locally thresholded image: the largest roughly square
// connected piece of ink, its corners by the extremes of x + y and x - y.
NONET_EXPORT bool ocr_adaptive_quad(unsigned char const* grey, int width, int height, OcrQuad& quad);
// A candidate grid outline of the second reading. bright: the ruling is brighter than
// the paper around it (negative print, or a dark photo the polarity rule inverted).
// Corners: extremes of the ink piece, its bounding box, lines fitted along its outer
// edges, or the ten-line lattice found around an outline (a grid merged with a frame
// cut down to its ruling, a partly found grid completed).
enum class OcrGridKind { extreme, box, edges, lattice };
struct OcrGridCandidate {
  OcrQuad quad;
  bool bright = false;
  OcrGridKind kind = OcrGridKind::extreme;
  double lattice = 0;  // ocr_lattice_score of its warp
  double rank = 0;     // lattice x sqrt(mean side / the largest candidate's mean side)
};
// How clearly a square image (a warped grid, ruling dark) shows the lines of a 9x9
// lattice: each of the 180 line stretches beside a cell counts up to 1 when it is
// darker than the paper on both sides of it (0..180).
NONET_EXPORT double ocr_lattice_score(unsigned char const* image, int size);
// Outlines of the largest roughly square pieces of locally dark and of locally bright
// ink (extreme and edge-fitted corners) and the lattices fitted around the best of
// them, highest rank first.
NONET_EXPORT std::vector<OcrGridCandidate> ocr_grid_candidates(unsigned char const* grey, int width, int height);
// The ruling around an outline located as ten equally spaced lines each way (pitch
// 0.55 to 1.7 of the outline's ninth, searched within half the outline's size on
// each side); bright: the ruling is brighter than the paper. shifted, when given,
// receives the fitted lattice moved by one pitch each way along each axis. (The
// region test's one-axis fit on a darkness profile is ocr_fit_lattice.)
NONET_EXPORT bool ocr_fit_outline_lattice(unsigned char const* image, int width, int height, OcrQuad const& quad,
                                          bool bright, OcrQuad& fitted, std::vector<OcrQuad>* shifted = nullptr);
// Cell patch with the ink threshold halfway between the window's paper (median) and
// its darkest central ink, after clearing ruled-line remnants along the window's edges.
NONET_EXPORT OcrCellVerdict ocr_cell_patch_adaptive(unsigned char const* cell, int rows, int columns, float* patch);
// The adaptive cell's ink at another threshold: depth of the way from the paper down
// to the darkest central ink (0.5 in ocr_cell_patch_adaptive), without the second
// look through the mean.
NONET_EXPORT OcrCellVerdict ocr_cell_patch_adaptive_depth(unsigned char const* cell, int rows, int columns,
                                                          float* patch, double depth);
// Threshold depths at which an adaptive reading looks again at a digit the table is unsure of.
inline constexpr double ocr_adaptive_retry_depths[] = {0.3, 0.4, 0.6, 0.7};
// Comb score the adaptive warp must reach to be read.
inline constexpr int ocr_robust_min_comb = 8;
// Grid candidates the second reading reads at most (best ranked first).
inline constexpr int ocr_robust_candidates = 3;
// Reads the grid warped from ocr_adaptive_quad with adaptive cells; -1 when no grid
// was found, else the digit count. Readings are ranked under rules, or with a context
// under the rules the picture shows on each candidate grid (a jigsaw read on a
// misplaced grid shows no regions, and under the boxes the right reading repeats).
NONET_EXPORT int ocr_robust_reading(unsigned char const* grey, int width, int height, int* digits,
                                    OcrPatchSink* sink = nullptr, OcrPictureRules const& rules = {},
                                    OcrQuad* grid = nullptr, OcrReadingContext* context = nullptr);
// True when a reading breaks no rule of the puzzle (no digit twice in a row, column,
// region or box, and diagonal when the rules have them).
NONET_EXPORT bool ocr_reading_consistent(int const* digits, OcrPictureRules const& rules = {});
// Search nodes the solution count may spend on one reading.
inline constexpr long long ocr_solution_budget = 200'000;
// Solutions of a reading under the rules: 0, 1 or 2 (two or more); -1 when the search
// ran out of its budget, a value is outside 0..9 or a region number outside 0..8.
NONET_EXPORT int ocr_solution_count(int const* digits, OcrPictureRules const& rules = {});
// Readings rank by: at least 17 digits, then no digit repeated in a unit, then exactly
// one solution, then the digit count (higher is better); ocr_proper_rank and above is
// a proper puzzle.
NONET_EXPORT int ocr_reading_rank(int const* digits, OcrPictureRules const& rules = {});
inline constexpr int ocr_proper_rank = 7000;

// The digits of ocr_read_puzzle: the first reading judged under the picture's own
// rules, and the referee.
NONET_EXPORT bool ocr_recognize(unsigned char const* pixels, int width, int height, int bpp, int* digits,
                                OcrPatchSink* sink = nullptr);

// ---- Regions, diagonals and the rules referee ----

// Names of the referee's three alternative readings, in their fixed order.
NONET_EXPORT extern char const* const ocr_alternative_names[3];

// Repeats of a digit within a unit: rows, columns, regions (the 3x3 boxes when
// regions is null; a region number outside 0..8 skips the cell's region) and, with
// diagonals, the two main diagonals. 0: the reading breaks no rule.
NONET_EXPORT int ocr_unit_conflicts(int const* digits, int const* regions, bool diagonals);
NONET_EXPORT int ocr_digit_count(int const* digits);

// Four numbers per cell from its light (paper) pixels: upper-quartile grey,
// lower-quartile grey, median red share and median green share.
using OcrCellDescription = std::array<float, 4>;
// A colour of the palette (count-weighted mean of a group of similar colours).
struct OcrColour {
  int r = 0, g = 0, b = 0;
};
// Grid geometry of a test: cell (r, c) spans x from left + c * pitch_x to
// left + (c + 1) * pitch_x, likewise down.
struct OcrLattice {
  double left = 0, top = 0, pitch_x = 0, pitch_y = 0;
};
NONET_EXPORT OcrLattice ocr_box_lattice(OcrBox const& box);
// Sum of the squared differences of two colours' shares (each component scaled so
// that the three sum to 255; 85 each for black).
NONET_EXPORT int ocr_chroma_distance(OcrColour const& a, OcrColour const& b);
// Describes the 81 cells; false when a cell has fewer than 9 light pixels.
NONET_EXPORT bool ocr_describe_cells(OcrPictureView const& picture, unsigned char const* grey,
                                     OcrLattice const& lattice, std::array<OcrCellDescription, 81>& cells);
// Up to 9 colours of the light pixels inside the cells.
NONET_EXPORT std::vector<OcrColour> ocr_palette(OcrPictureView const& picture, unsigned char const* grey,
                                                OcrLattice const& lattice);
// Each cell's palette entry by the votes of its light pixels; -1 for a cell without
// votes. With one colour every light pixel votes for it; with none no cell has one.
NONET_EXPORT std::array<int, 81> ocr_palette_entries(OcrPictureView const& picture, unsigned char const* grey,
                                                     OcrLattice const& lattice, std::vector<OcrColour> const& palette);

// What a detector's test measured: nothing (unusable box or cells: another frame may
// be tried), the plain answer (no diagonals; no drawn regions), or the marking.
enum class OcrTestOutcome { unmeasured, absent, present };
// The diagonal test's residuals taken against nearby cells instead of the whole grid:
// each cell against the closest off-diagonal cells of its group (groups: 81 group
// numbers, such as drawn regions; null: the cells' palette entries).
struct OcrNearbyReference {
  int const* groups = nullptr;
};
NONET_EXPORT OcrTestOutcome ocr_diagonal_test(OcrPictureView const& picture, unsigned char const* grey,
                                              OcrBox const& box, OcrNearbyReference const* nearby = nullptr);
// regions: zeroed first; the regions found when the outcome is present.
// description_differences: when the line strengths, the palette and the two together
// give no regions, try the differences of the cells' descriptions as well.
NONET_EXPORT OcrTestOutcome ocr_region_test(OcrPictureView const& picture, unsigned char const* grey,
                                            OcrBox const& box, int* regions, bool description_differences = false);

// One axis of the ruling as ten equally spaced lines on a darkness profile, near the
// box's first line and cell size; false when no lattice scores above 0.
NONET_EXPORT bool ocr_fit_lattice(std::vector<double> const& profile, double first, double cell_size, float& start,
                                  float& pitch);
// Walls: 72 vertical boundaries (right of cell (r, c) at r * 8 + c) and 72 horizontal
// ones (below cell (r, c) at r * 9 + c). True when they enclose exactly nine regions
// of nine cells each, numbered in order of first appearance.
NONET_EXPORT bool ocr_regions_from_walls(bool const* vertical, bool const* horizontal, int* regions);
// Walls where the strength is above a threshold between two sorted strengths, the
// widest gap first, until the walls give nine regions.
NONET_EXPORT bool ocr_regions_from_strengths(float const* vertical, float const* horizontal, int* regions);

// The common frame: the test on the picture, else on its outline's warp or its shear.
NONET_EXPORT bool ocr_detect_regions(unsigned char const* pixels, int width, int height, int bpp, int* regions);
NONET_EXPORT bool ocr_detect_x(unsigned char const* pixels, int width, int height, int bpp);
// The picture's rules by the two detectors; regions point into regions_out when found.
NONET_EXPORT OcrPictureRules ocr_picture_rules(unsigned char const* pixels, int width, int height, int bpp,
                                               int* regions_out);
NONET_EXPORT void ocr_alternative_readings(unsigned char const* grey, int width, int height, int readings[3][81]);
// Index of the alternative that reads at least as many digits as the first reading
// and repeats strictly fewer (the fewest, the first on a tie), or -1.
NONET_EXPORT int ocr_choose_reading(int const* digits, int const readings[3][81], int const* regions,
                                    bool diagonals);
// Replaces a first reading that repeats a digit by a better alternative, judged by
// the picture's rules (known_rules when given, else ocr_picture_rules).
NONET_EXPORT void ocr_referee(unsigned char const* pixels, int width, int height, int bpp, unsigned char const* grey,
                              int* digits, OcrPictureRules const* known_rules = nullptr);

// ---- The whole puzzle (extension) ----

// Pictures whose longer side exceeds this are scaled down once, by an integer factor
// (box average), before anything is read.
inline constexpr int ocr_reading_side_limit = 1280;
// The picture scaled down by the smallest integer factor that brings its longer side
// within limit; empty pixels when it already fits.
NONET_EXPORT OcrPicture ocr_scaled_down(OcrPictureView const& picture, int limit = ocr_reading_side_limit);
// The two detectors' tests on the grid whose outer corners are quad (picture
// coordinates), warped square; regions zeroed first.
NONET_EXPORT OcrPictureRules ocr_rules_in_frame(OcrPictureView const& picture, OcrQuad const& quad, int* regions,
                                                bool& measured);
struct OcrPuzzleReading {
  int digits[81] = {};
  int groups[81] = {};   // drawn regions, or the 3x3 boxes
  bool regions_drawn = false;  // regions found that are not the boxes
  bool diagonals = false;
};
// Digits, regions and diagonal mark of a photo; the grid is located once and the
// readings are judged under the picture's own rules. False for unusable arguments.
NONET_EXPORT bool ocr_read_puzzle(unsigned char const* pixels, int width, int height, int bpp, OcrPuzzleReading& out,
                                  OcrPatchSink* sink = nullptr);
