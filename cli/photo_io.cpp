#include "cli/photo_io.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

std::optional<Photo> load_photo(std::string const& path, std::string& error) {
  int w = 0, h = 0, n = 0;
  unsigned char* data = stbi_load(path.c_str(), &w, &h, &n, 0);
  if (!data) {
    char const* reason = stbi_failure_reason();
    error = std::string("cannot read picture ") + path + ": " + (reason ? reason : "unknown error");
    return std::nullopt;
  }
  Photo photo;
  photo.width = w;
  photo.height = h;
  photo.bpp = n;
  photo.pixels.assign(data, data + static_cast<std::size_t>(w) * h * n);
  stbi_image_free(data);
  return photo;
}

std::optional<std::array<int, 81>> load_ground_truth(std::string const& path) {
  std::ifstream in(path);
  if (!in) return std::nullopt;
  std::string line;
  if (!std::getline(in, line) || !std::getline(in, line)) return std::nullopt;
  std::array<int, 81> cells{};
  for (int i = 0; i < 81; ++i) {
    int v = -1;
    if (!(in >> v) || v < 0 || v > 9) return std::nullopt;
    cells[i] = v;
  }
  return cells;
}

std::string ground_truth_path(std::string const& photo_path) {
  return std::filesystem::path(photo_path).replace_extension(".dat").string();
}

std::vector<std::string> list_photos(std::string const& dir) {
  std::vector<std::string> out;
  std::error_code ec;
  for (auto const& entry : std::filesystem::directory_iterator(dir, ec)) {
    if (!entry.is_regular_file()) continue;
    std::string ext = entry.path().extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == ".jpg" || ext == ".jpeg" || ext == ".png") out.push_back(entry.path().string());
  }
  std::sort(out.begin(), out.end());
  return out;
}
