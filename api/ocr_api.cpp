// Reading a puzzle from a photo: the exported entry points.
#include <algorithm>
#include <new>

#include "api/engine_api.h"
#include "api/last_error.h"
#include "ocr/ocr.h"

namespace {

// Starts an image call: clears the last error and checks the picture arguments (and the output
// pointer), recording why they are unusable.
bool usable(unsigned char const* pixels, int width, int height, int bpp, void const* out) {
  clear_last_error();
  bool const ok = out && pixels && width >= ocr_min_side && height >= ocr_min_side && bpp >= 1 && bpp <= 4 &&
                  ocr_picture_bytes(width, height, bpp) != 0;
  if (!ok)
    set_last_error(SUDOKU_ERROR_BAD_PICTURE,
                   "unusable picture: a null pointer, a side below 27 pixels or bytes per pixel outside 1..4");
  return ok;
}

int out_of_memory() {
  set_last_error(SUDOKU_ERROR_OUT_OF_MEMORY, "the picture is too large for the memory available");
  return 0;
}

}  // namespace

extern "C" int sudoku_ocr_locate(unsigned char const* pixels, int width, int height, int bpp, int* box) {
  if (!usable(pixels, width, height, bpp, box)) return 0;
  try {
    OcrImage const grey = ocr_to_grey(pixels, width, height, bpp);
    int l = 0, t = 0, r = 0, b = 0;
    if (grey.empty() || !ocr_locate_grid(grey.data(), width, height, &l, &t, &r, &b)) {
      set_last_error(SUDOKU_ERROR_NO_GRID, "no grid was found in the picture");
      return 0;
    }
    box[0] = l;
    box[1] = t;
    box[2] = r;
    box[3] = b;
    return 1;
  } catch (std::bad_alloc const&) {
    return out_of_memory();  // nothing found, nothing written
  }
}

extern "C" int sudoku_ocr_recognize(unsigned char const* pixels, int width, int height, int bpp,
                                               int* digits) {
  if (!usable(pixels, width, height, bpp, digits)) return 0;
  int read[81];
  try {
    if (!ocr_recognize(pixels, width, height, bpp, read)) {
      set_last_error(SUDOKU_ERROR_BAD_PICTURE, "the picture could not be read");
      return 0;
    }
  } catch (std::bad_alloc const&) {
    return out_of_memory();
  }
  for (int i = 0; i < 81; ++i) digits[i] = read[i];
  return 1;
}

extern "C" int sudoku_ocr_regions(unsigned char const* pixels, int width, int height, int bpp, int* regions) {
  if (!usable(pixels, width, height, bpp, regions)) return 0;
  int found[81] = {};
  bool drawn = false;
  try {
    drawn = ocr_detect_regions(pixels, width, height, bpp, found);
  } catch (std::bad_alloc const&) {
    drawn = false;
  }
  for (int i = 0; i < 81; ++i) regions[i] = drawn ? found[i] : 0;
  return drawn ? 1 : 0;
}

extern "C" int sudoku_ocr_detect_x(unsigned char const* pixels, int width, int height, int bpp) {
  if (!usable(pixels, width, height, bpp, pixels)) return 0;
  try {
    return ocr_detect_x(pixels, width, height, bpp) ? 1 : 0;
  } catch (std::bad_alloc const&) {
    return 0;
  }
}

extern "C" int sudoku_ocr_read_puzzle(unsigned char const* pixels, int width, int height, int bpp, int digits[81],
                                      int groups[81], int* diagonals) {
  if (!usable(pixels, width, height, bpp, digits && groups && diagonals ? digits : nullptr)) return 0;
  OcrPuzzleReading reading;
  try {
    if (!ocr_read_puzzle(pixels, width, height, bpp, reading)) return 0;
  } catch (std::bad_alloc const&) {
    return 0;
  }
  std::copy_n(reading.digits, 81, digits);
  std::copy_n(reading.groups, 81, groups);
  *diagonals = reading.diagonals ? 1 : 0;
  return 1;
}
