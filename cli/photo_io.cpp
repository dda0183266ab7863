#include "cli/photo_io.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/photo_orientation.h"
#include "cli/tool.h"

#define STB_IMAGE_IMPLEMENTATION
#include <stb/stb_image.h>

std::optional<Photo> load_photo(std::string const& path, std::string& error, bool upright) {
  std::string const name = tool::escaped(path);
  std::error_code ec;
  auto const status = std::filesystem::status(path, ec);
  if (ec || !std::filesystem::exists(status)) {
    error = name + ": " + (ec ? ec.message() : std::string(std::strerror(ENOENT)));
    return std::nullopt;
  }
  if (!std::filesystem::is_regular_file(status)) {
    error = name + (std::filesystem::is_directory(status) ? ": is a directory" : ": not a regular file");
    return std::nullopt;
  }
  std::ifstream file(path, std::ios::binary);
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  if (!file.good() && !file.eof()) {
    error = name + ": cannot read";
    return std::nullopt;
  }
  int w = 0, h = 0, n = 0;
  unsigned char* data = bytes.size() > static_cast<std::size_t>(INT32_MAX)
                            ? nullptr
                            : stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()), &w, &h, &n, 0);
  if (!data) {
    char const* reason = stbi_failure_reason();
    error = name + ": not a picture nonet can read (" + (reason ? reason : "unknown error") + ")";
    return std::nullopt;
  }
  Photo photo;
  photo.width = w;
  photo.height = h;
  photo.bpp = n;
  photo.pixels.assign(data, data + static_cast<std::size_t>(w) * h * n);
  stbi_image_free(data);
  if (upright) return oriented(photo, jpeg_exif_orientation(bytes.data(), bytes.size()));
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

bool in_subset(std::string const& subset, std::size_t index) {
  if (subset == "test") return index % 4 == 0;
  if (subset == "train") return index % 4 != 0;
  return true;
}
