// Decoding photos (JPEG, PNG and the other formats stb_image knows) and reading the
// ground truth files that come with the evaluation photos.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

struct Photo {
  int width = 0, height = 0, bpp = 0;
  std::vector<unsigned char> pixels;
};

// Decodes a picture file; on failure returns nothing and sets error (naming the file,
// escaped). With upright, a JPEG's EXIF orientation is applied as viewers apply it;
// without, the pixels are as stored (the ground truth files describe stored pixels).
std::optional<Photo> load_photo(std::string const& path, std::string& error, bool upright = false);

// A .dat ground truth: two header lines (camera, resolution), then nine rows of nine
// digits (0 = empty). Returns nothing when the file is missing or malformed.
std::optional<std::array<int, 81>> load_ground_truth(std::string const& path);

// The .dat file beside a photo: the same name with its extension replaced.
std::string ground_truth_path(std::string const& photo_path);

// Photos of a folder in sorted order: "test" keeps every 4th (index 0, 4, 8, ...),
// "train" the others, "all" every one.
bool in_subset(std::string const& subset, std::size_t index);

// Picture files of a folder (.jpg, .jpeg, .png), sorted by name.
std::vector<std::string> list_photos(std::string const& dir);
