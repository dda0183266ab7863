// Reading a puzzle from a photo: the exported entry points.
#include <new>

#include "api/engine_api.h"
#include "ocr/ocr.h"

namespace {

bool usable(unsigned char const* pixels, int width, int height, int bpp) {
  return pixels && width >= ocr_min_side && height >= ocr_min_side && bpp >= 1 && bpp <= 4 &&
         ocr_picture_bytes(width, height, bpp) != 0;
}

}  // namespace

extern "C" int sudoku_ocr_locate(unsigned char const* pixels, int width, int height, int bpp, int* box) {
  if (!box || !usable(pixels, width, height, bpp)) return 0;
  try {
    OcrImage const grey = ocr_to_grey(pixels, width, height, bpp);
    int l = 0, t = 0, r = 0, b = 0;
    if (grey.empty() || !ocr_locate_grid(grey.data(), width, height, &l, &t, &r, &b)) return 0;
    box[0] = l;
    box[1] = t;
    box[2] = r;
    box[3] = b;
    return 1;
  } catch (std::bad_alloc const&) {
    return 0;  // a picture too large for memory: nothing found, nothing written
  }
}

extern "C" int sudoku_ocr_recognize(unsigned char const* pixels, int width, int height, int bpp,
                                               int* digits) {
  if (!digits || !usable(pixels, width, height, bpp)) return 0;
  int read[81];
  try {
    if (!ocr_recognize(pixels, width, height, bpp, read)) return 0;
  } catch (std::bad_alloc const&) {
    return 0;
  }
  for (int i = 0; i < 81; ++i) digits[i] = read[i];
  return 1;
}
