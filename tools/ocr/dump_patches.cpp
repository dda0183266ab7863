// ocr_dump_patches: writes the cell patches the recogniser is trained on, read from
// photos with .dat ground truth (tools/ocr/train.sh runs it).
//
// usage: ocr_dump_patches OUT_FILE [--subset all|test|train] PHOTO_OR_FOLDER...
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "cli/photo_io.h"
#include "ocr/ocr.h"

namespace {

// Every cell patch of every reading, and every threshold variant of the adaptive
// cells (class -1: not classified), so the dump does not depend on which one the
// network would keep.
struct TrainingLog : OcrPatchSink {
  struct Entry {
    int reading, cell;
    float patch[ocr_patch_size];
  };
  std::vector<Entry> entries;
  int readings = 0;
  void begin_reading() override { ++readings; }
  void patch(int cell, float const* p, int, float) override {
    Entry e{readings - 1, cell, {}};
    std::copy_n(p, ocr_patch_size, e.patch);
    entries.push_back(e);
  }
  bool wants_threshold_variants() const override { return true; }
  void threshold_variant(int cell, float const* p) override { patch(cell, p, -1, 0.0f); }
};

// Every reading recognition may make of a photo, whatever the network says: the
// plain grey image, its shear when tilted, the negatives of both, and the grid warped from
// each outline finder (the dark and bright forms of ocr_find_quad and
// ocr_radial_quad, as recognition and the rules referee warp it), and the second
// attempt's grid candidates (adaptive cells, each digit cell at every threshold depth
// its retry may use). So the dump does
// not depend on the weight table it helps to train. The training tool keeps only
// readings whose grid was found.
void training_readings(Photo const& photo, OcrPatchSink& sink) {
  OcrImage grey = ocr_to_grey(photo.pixels.data(), photo.width, photo.height, photo.bpp);
  if (grey.empty()) return;
  int const w = photo.width, h = photo.height;
  ocr_normalise_polarity(grey, w, h);
  int digits[81];
  ocr_read_digits(grey.data(), w, h, digits, &sink);
  float const angle = ocr_skew_angle(grey.data(), w, h);
  if (std::fabs(angle) >= 0.9f) {
    OcrImage const sheared = ocr_shear(grey.data(), w, h, angle);
    ocr_read_digits(sheared.data(), w, h, digits, &sink);
    // Recognition's negative is that of the sheared picture when it sheared.
    OcrImage const sheared_negative = ocr_inverted(sheared);
    ocr_read_digits(sheared_negative.data(), w, h, digits, &sink);
  }
  OcrImage const negative = ocr_inverted(grey);
  ocr_read_digits(negative.data(), w, h, digits, &sink);
  int const size = ocr_warp_size(w, h);
  for (int finder = 0; finder < 3; ++finder) {
    OcrQuad quad;
    bool const found = finder == 2 ? ocr_radial_quad(grey.data(), w, h, quad)
                                   : ocr_find_quad(grey.data(), w, h, quad, finder == 0);
    OcrImage warped;
    if (!found || ocr_warp_comb(grey.data(), w, h, quad, size, warped) < 4) continue;
    ocr_read_digits(warped.data(), size, size, digits, &sink);
  }
  // The second attempt recognition makes when the plain readings read badly: every
  // grid candidate it may read (it stops at the first proper puzzle, which depends
  // on the network; the dump reads them all).
  int tried = 0;
  for (OcrGridCandidate const& c : ocr_grid_candidates(grey.data(), w, h)) {
    if (tried == ocr_robust_candidates) break;
    OcrHomography homography{};
    if (!ocr_homography(c.quad, homography)) continue;
    OcrImage warped = ocr_warp(grey.data(), w, h, homography, size);
    if (warped.empty()) continue;
    if (c.bright) ocr_invert(warped);
    if (ocr_comb_score(warped.data(), size, size) < ocr_robust_min_comb) continue;
    ++tried;
    ocr_read_cells_adaptive(warped.data(), size, size, OcrBox{0, 0, size - 1, size - 1}, digits, &sink);
  }
}

// Binary records for the training tools: int32 photo index, reading, cell, true
// class (0..9), then the 576 patch floats, all little-endian.
int dump_patches(std::string const& dump_path, std::string const& subset, std::vector<std::string> const& inputs) {
  std::vector<std::string> photos;
  for (auto const& input : inputs) {
    auto listed = list_photos(input);
    if (listed.empty())
      photos.push_back(input);
    else
      for (std::size_t i = 0; i < listed.size(); ++i)
        if (in_subset(subset, i)) photos.push_back(listed[i]);
  }
  std::ofstream out(dump_path, std::ios::binary);
  if (!out) {
    std::cerr << "ocr_dump_patches: cannot write " << dump_path << "\n";
    return 1;
  }
  long records = 0;
  for (std::size_t i = 0; i < photos.size(); ++i) {
    auto truth = load_ground_truth(ground_truth_path(photos[i]));
    std::string error;
    auto photo = load_photo(photos[i], error);
    if (!truth || !photo) {
      std::cerr << "ocr_dump_patches: skipping " << photos[i] << "\n";
      continue;
    }
    TrainingLog log;
    training_readings(*photo, log);
    for (auto const& e : log.entries) {
      int32_t const head[4] = {static_cast<int32_t>(i), e.reading, e.cell, (*truth)[e.cell]};
      out.write(reinterpret_cast<char const*>(head), sizeof head);
      out.write(reinterpret_cast<char const*>(e.patch), sizeof e.patch);
      ++records;
    }
  }
  std::cerr << "ocr_dump_patches: " << records << " patches from " << photos.size() << " photos\n";
  return out ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  std::string subset = "all";
  std::vector<std::string> inputs;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--subset") == 0 && i + 1 < argc) {
      subset = argv[++i];
      if (subset != "all" && subset != "test" && subset != "train") {
        std::cerr << "ocr_dump_patches: --subset takes all, test or train\n";
        return 2;
      }
    } else {
      inputs.push_back(argv[i]);
    }
  }
  if (argc < 3 || inputs.empty()) {
    std::cerr << "usage: ocr_dump_patches OUT_FILE [--subset all|test|train] PHOTO_OR_FOLDER...\n";
    return 2;
  }
  return dump_patches(argv[1], subset, inputs);
}
