// The pictures under tests/data/ocr for the photo tests, decoded by stb_image (whose
// implementation ocr_recognize_test.cpp compiles).
#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <string>
#include <vector>

#include <stb/stb_image.h>

namespace ocr_photos {

struct Photo {
  int width = 0, height = 0, bpp = 0;
  std::vector<unsigned char> pixels;
};

inline std::string data_path(std::string const& name) {
  return std::string(NONET_SOURCE_DIR) + "/tests/data/ocr/" + name;
}

inline Photo load_photo(std::string const& name) {
  Photo p;
  unsigned char* data = stbi_load(data_path(name).c_str(), &p.width, &p.height, &p.bpp, 0);
  EXPECT_NE(data, nullptr) << name;
  if (data) {
    p.pixels.assign(data, data + static_cast<std::size_t>(p.width) * p.height * p.bpp);
    stbi_image_free(data);
  }
  return p;
}

}  // namespace ocr_photos
