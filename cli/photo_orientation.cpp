#include "cli/photo_orientation.h"

#include <cstdint>

namespace {

// Reads 16- and 32-bit values of a TIFF block in its byte order, inside its bounds.
struct Tiff {
  unsigned char const* p;
  std::size_t size;
  bool little;
  bool u16(std::size_t at, unsigned& v) const {
    if (at + 2 > size) return false;
    v = little ? p[at] | p[at + 1] << 8 : p[at] << 8 | p[at + 1];
    return true;
  }
  bool u32(std::size_t at, std::uint32_t& v) const {
    if (at + 4 > size) return false;
    v = little ? std::uint32_t(p[at]) | std::uint32_t(p[at + 1]) << 8 | std::uint32_t(p[at + 2]) << 16 |
                     std::uint32_t(p[at + 3]) << 24
               : std::uint32_t(p[at]) << 24 | std::uint32_t(p[at + 1]) << 16 | std::uint32_t(p[at + 2]) << 8 |
                     std::uint32_t(p[at + 3]);
    return true;
  }
};

int orientation_in_exif(unsigned char const* p, std::size_t size) {
  if (size < 14 || p[0] != 'E' || p[1] != 'x' || p[2] != 'i' || p[3] != 'f' || p[4] || p[5]) return 1;
  Tiff const t{p + 6, size - 6, p[6] == 'I'};
  if (!(p[6] == 'I' && p[7] == 'I') && !(p[6] == 'M' && p[7] == 'M')) return 1;
  std::uint32_t ifd = 0;
  unsigned entries = 0;
  if (!t.u32(4, ifd) || !t.u16(ifd, entries)) return 1;
  for (unsigned k = 0; k < entries; ++k) {
    std::size_t const at = ifd + 2 + 12 * static_cast<std::size_t>(k);
    unsigned tag = 0, type = 0, value = 0;
    if (!t.u16(at, tag) || !t.u16(at + 2, type)) return 1;
    if (tag != 0x0112) continue;
    if (type != 3 || !t.u16(at + 8, value) || value < 1 || value > 8) return 1;
    return static_cast<int>(value);
  }
  return 1;
}

// Pixel (x, y) of the result comes from source pixel map(x, y).
template <class Map>
Photo remapped(Photo const& in, int width, int height, Map map) {
  Photo out;
  out.width = width;
  out.height = height;
  out.bpp = in.bpp;
  out.pixels.resize(static_cast<std::size_t>(width) * height * in.bpp);
  std::size_t const bpp = static_cast<std::size_t>(in.bpp);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      auto [sx, sy] = map(x, y);
      unsigned char const* src = &in.pixels[(static_cast<std::size_t>(sy) * in.width + sx) * bpp];
      unsigned char* dst = &out.pixels[(static_cast<std::size_t>(y) * width + x) * bpp];
      for (std::size_t b = 0; b < bpp; ++b) dst[b] = src[b];
    }
  return out;
}

struct Point {
  int x, y;
};

}  // namespace

int jpeg_exif_orientation(unsigned char const* data, std::size_t size) {
  if (size < 4 || data[0] != 0xFF || data[1] != 0xD8) return 1;
  std::size_t at = 2;
  while (at + 4 <= size && data[at] == 0xFF) {
    unsigned const marker = data[at + 1];
    if (marker == 0xDA || marker == 0xD9) break;  // image data starts: no EXIF block before it
    std::size_t const length = static_cast<std::size_t>(data[at + 2]) << 8 | data[at + 3];
    if (length < 2 || at + 2 + length > size) break;
    if (marker == 0xE1) {
      int const o = orientation_in_exif(data + at + 4, length - 2);
      if (o != 1) return o;
    }
    at += 2 + length;
  }
  return 1;
}

Photo oriented(Photo const& photo, int orientation) {
  int const w = photo.width, h = photo.height;
  switch (orientation) {
    case 2:  // mirrored left to right
      return remapped(photo, w, h, [&](int x, int y) { return Point{w - 1 - x, y}; });
    case 3:
      return turned(photo, 2);
    case 4:  // mirrored top to bottom
      return remapped(photo, w, h, [&](int x, int y) { return Point{x, h - 1 - y}; });
    case 5:  // transposed
      return remapped(photo, h, w, [&](int x, int y) { return Point{y, x}; });
    case 6:
      return turned(photo, 1);
    case 7:  // transposed across the other diagonal
      return remapped(photo, h, w, [&](int x, int y) { return Point{w - 1 - y, h - 1 - x}; });
    case 8:
      return turned(photo, 3);
    default:
      return photo;
  }
}

Photo turned(Photo const& photo, int quarter_turns) {
  int const w = photo.width, h = photo.height;
  switch (((quarter_turns % 4) + 4) % 4) {
    case 1:  // clockwise: the left column becomes the top row
      return remapped(photo, h, w, [&](int x, int y) { return Point{y, h - 1 - x}; });
    case 2:
      return remapped(photo, w, h, [&](int x, int y) { return Point{w - 1 - x, h - 1 - y}; });
    case 3:
      return remapped(photo, h, w, [&](int x, int y) { return Point{w - 1 - y, x}; });
    default:
      return photo;
  }
}
