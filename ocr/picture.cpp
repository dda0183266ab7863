// Picture format, grey conversion, polarity and the debug switch.
#include <cstdint>
#include <cstdlib>

#include "ocr/ocr.h"

// Read once at load; never written afterwards.
bool const ocr_debug = std::getenv("OCR_DEBUG") != nullptr;

std::size_t ocr_picture_bytes(int width, int height, int bpp) {
  if (width <= 0 || height <= 0 || bpp < 1 || bpp > 4) return 0;
  std::size_t pixels = 0, bytes = 0;
  if (__builtin_mul_overflow(static_cast<std::size_t>(width), static_cast<std::size_t>(height), &pixels)) return 0;
  if (__builtin_mul_overflow(pixels, static_cast<std::size_t>(bpp), &bytes)) return 0;
  if (bytes > static_cast<std::size_t>(PTRDIFF_MAX)) return 0;
  return bytes;
}

OcrImage ocr_to_grey(unsigned char const* pixels, int width, int height, int bpp) {
  std::size_t const bytes = ocr_picture_bytes(width, height, bpp);
  if (!pixels || bytes == 0) return {};
  std::size_t const count = bytes / static_cast<std::size_t>(bpp);
  OcrImage grey(count);
  if (bpp >= 3) {
    for (std::size_t i = 0; i < count; ++i) {
      unsigned char const* p = pixels + i * static_cast<std::size_t>(bpp);
      grey[i] = static_cast<unsigned char>((299u * p[0] + 587u * p[1] + 114u * p[2]) / 1000u);
    }
  } else {
    for (std::size_t i = 0; i < count; ++i) grey[i] = pixels[i * static_cast<std::size_t>(bpp)];
  }
  return grey;
}

std::size_t ocr_count_below(unsigned char const* grey, int width, int height, int threshold) {
  std::size_t const count = ocr_picture_bytes(width, height, 1);
  if (!grey || count == 0) return 0;
  // Sixteen bytes at a time (vector compares), then the rest.
  std::size_t below = 0, i = 0;
  for (; i + 16 <= count; i += 16) {
    unsigned block = 0;
    for (std::size_t k = 0; k < 16; ++k) block += grey[i + k] < threshold;
    below += block;
  }
  for (; i < count; ++i) below += grey[i] < threshold;
  return below;
}

void ocr_invert(OcrImage& image) {
  for (auto& v : image) v = static_cast<unsigned char>(255 - v);
}

OcrImage ocr_inverted(OcrImage const& image) {
  OcrImage out(image);
  ocr_invert(out);
  return out;
}

bool ocr_normalise_polarity(OcrImage& grey, int width, int height) {
  std::size_t const count = ocr_picture_bytes(width, height, 1);
  if (count == 0 || grey.size() < count) return false;
  if (ocr_count_below(grey.data(), width, height, 128) * 2 <= count) return false;
  ocr_invert(grey);
  return true;
}

int ocr_warp_size(int width, int height) {
  long long const s = (static_cast<long long>(width) + height) / 2;
  return static_cast<int>(s < 180 ? 180 : (s > 1200 ? 1200 : s));
}
