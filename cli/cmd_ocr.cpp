// nonet ocr PHOTO: reads a puzzle from a photo. Also the evaluation over a folder of
// photos with ground truth (--eval) and the patch dump the recogniser is trained on
// (--dump-patches).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <memory>
#include <nlohmann/json.hpp>

#include "api/engine_api.h"
#include "cli/commands.h"
#include "cli/grid_format.h"
#include "cli/ocr_puzzle.h"
#include "cli/photo_io.h"
#include "ocr/ocr.h"

namespace {

struct OcrOptions {
  std::vector<std::string> inputs;
  std::string format = "text";
  std::string eval_dir;
  std::string dump_path;
  std::string subset = "all";
  int worst = 10;
  bool solve = false;
  bool detectors = false;
};

// Every cell patch of every reading of one recognition.
struct ReadingLog : OcrPatchSink {
  struct Entry {
    int reading, cell, cls;
    float confidence;
    float patch[ocr_patch_size];
  };
  struct Rejection {
    int reading, cell, verdict;
  };
  std::vector<Entry> entries;
  std::vector<Rejection> rejections;
  int readings = 0;
  void begin_reading() override { ++readings; }
  void rejected(int cell, int verdict) override { rejections.push_back({readings - 1, cell, verdict}); }
  void patch(int cell, float const* p, int cls, float confidence) override {
    Entry e{readings - 1, cell, cls, confidence, {}};
    std::copy_n(p, ocr_patch_size, e.patch);
    entries.push_back(e);
  }
};

// The dump's log: also every threshold variant of the adaptive cells (class -1: not
// classified), so the dump does not depend on which one the network would keep.
struct TrainingLog : ReadingLog {
  bool wants_threshold_variants() const override { return true; }
  void threshold_variant(int cell, float const* p) override { patch(cell, p, -1, 0.0f); }
};

// Photos of a folder in sorted order; "test" keeps every 4th (index 0, 4, 8, ...),
// "train" the others.
bool in_subset(std::string const& subset, std::size_t index) {
  if (subset == "test") return index % 4 == 0;
  if (subset == "train") return index % 4 != 0;
  return true;
}

std::string digits_line(int const* digits) {
  std::string s(81, '.');
  for (int i = 0; i < 81; ++i)
    if (digits[i] >= 1 && digits[i] <= 9) s[i] = static_cast<char>('0' + digits[i]);
  return s;
}

std::array<int, 81> boxes() {
  std::array<int, 81> b{};
  for (int c = 0; c < 81; ++c) b[static_cast<std::size_t>(c)] = 3 * (c / 27) + (c % 9) / 3;
  return b;
}

// --solve: a reading without exactly one solution is a problem found in the input.
int report_solutions(std::string const& photo, int solutions) {
  if (solutions == 1) return 0;
  char const* what = solutions == 0 ? "has no solution" : solutions == 2 ? "has several solutions" : "could not be solved";
  std::cerr << "nonet ocr: " << photo << ": the reading " << what << "\n";
  return 1;
}

int read_one(OcrOptions const& o) {
  if (o.inputs.size() != 1) {
    std::cerr << "nonet ocr: expected one photo\n";
    return 2;
  }
  std::string error;
  auto photo = load_photo(o.inputs[0], error);
  if (!photo) {
    std::cerr << "nonet ocr: " << error << "\n";
    return 1;
  }
  int box[4] = {0, 0, 0, 0};
  ReadPuzzle puzzle;
  int* const digits = puzzle.digits;
  bool const located = sudoku_ocr_locate(photo->pixels.data(), photo->width, photo->height, photo->bpp, box) == 1;
  int diagonals = 0;
  if (!sudoku_ocr_read_puzzle(photo->pixels.data(), photo->width, photo->height, photo->bpp, digits, puzzle.groups,
                              &diagonals)) {
    std::cerr << "nonet ocr: picture of " << photo->width << "x" << photo->height << " with " << photo->bpp
              << " bytes per pixel cannot be read (sides must be at least 27)\n";
    return 1;
  }
  puzzle.x = diagonals == 1;
  puzzle.jigsaw = !same_regions(puzzle.groups, boxes().data());
  int count = 0;
  for (int i = 0; i < 81; ++i) count += digits[i] != 0;
  std::string solution;
  int const solutions = o.solve ? solve_read_puzzle(puzzle, solution) : 1;
  if (o.format == "line") {
    std::cout << read_puzzle_line(puzzle, digits_line(digits)) << "\n";
    if (solutions == 1 && o.solve) std::cout << solution << "\n";
  } else if (o.format == "json") {
    nlohmann::json j;
    j["width"] = photo->width;
    j["height"] = photo->height;
    j["box"] = located ? nlohmann::json{box[0], box[1], box[2], box[3]} : nlohmann::json(nullptr);
    j["digits"] = std::vector<int>(digits, digits + 81);
    j["count"] = count;
    add_read_puzzle_json(j, puzzle);
    if (o.solve) {
      j["solutions"] = solutions;
      j["solution"] = solutions == 1 ? nlohmann::json(solution) : nlohmann::json(nullptr);
    }
    std::cout << j.dump() << "\n";
  } else {
    if (located)
      std::cout << "box: " << box[0] << " " << box[1] << " " << box[2] << " " << box[3] << "\n";
    else
      std::cout << "box: none found\n";
    std::cout << "digits: " << count << "\n" << read_puzzle_text(puzzle, digits_line(digits));
    if (solutions == 1 && o.solve) std::cout << "solution:\n" << format_grid_text(solution, puzzle.jigsaw ? puzzle.groups : nullptr);
  }
  return o.solve ? report_solutions(o.inputs[0], solutions) : 0;
}

char const* const verdict_names[] = {"digit", "no ink", "too small", "too short", "too wide", "too sparse",
                                      "ambiguous"};

// Where the errors of one photo come from, judged on the reading that gave the
// result: "grid" when most given digits are lost or wrong (the grid was misplaced),
// else per wrong cell "cells" (a digit's window failed a shape rule, by rule) or
// "network" (a patch was classified wrong, or below the confidence limit).
struct StageCount {
  int grid = 0, network = 0, rejected[7] = {};
};

std::string failing_stage(ReadingLog const& log, int const* digits, std::array<int, 81> const& truth,
                          StageCount& totals) {
  int reading = -1;
  for (int r = 0; r < log.readings && reading < 0; ++r) {
    int derived[81] = {};
    for (auto const& e : log.entries)
      if (e.reading == r) derived[e.cell] = ocr_accepted_digit(e.cls, e.confidence);
    if (std::equal(derived, derived + 81, digits)) reading = r;
  }
  int given = 0, errors = 0, network = 0, rejected[7] = {};
  (void)reading;
  for (int i = 0; i < 81; ++i) {
    given += truth[i] != 0;
    if (digits[i] == truth[i]) continue;
    ++errors;
    int verdict = -1;
    for (auto const& r : log.rejections)
      if (r.reading == reading && r.cell == i) verdict = r.verdict;
    if (truth[i] != 0 && digits[i] == 0 && verdict >= 0)
      ++rejected[verdict];
    else
      ++network;
  }
  int patches = 0, on_digits = 0;
  for (auto const& e : log.entries)
    if (e.reading == reading) {
      ++patches;
      on_digits += truth[e.cell] != 0;
    }
  if (given > 0 && errors * 2 > given && on_digits * 2 < patches) {
    ++totals.grid;
    return "grid misplaced";
  }
  std::string s;
  totals.network += network;
  if (network) s += "network " + std::to_string(network);
  for (int v = 1; v < 7; ++v) {
    totals.rejected[v] += rejected[v];
    if (rejected[v]) s += std::string(s.empty() ? "" : ", ") + "cells " + verdict_names[v] + " " + std::to_string(rejected[v]);
  }
  return s;
}

int evaluate(OcrOptions const& o) {
  auto const photos = list_photos(o.eval_dir);
  if (photos.empty()) {
    std::cerr << "nonet ocr: no photos in " << o.eval_dir << "\n";
    return 1;
  }
  struct Result {
    std::string name;
    int errors;
    std::string stage;
  };
  std::vector<Result> results;
  StageCount totals;
  RulesScore rules;
  long cells = 0, correct = 0;
  int clean = 0, read = 0;
  for (std::size_t i = 0; i < photos.size(); ++i) {
    if (!in_subset(o.subset, i)) continue;
    auto truth = load_ground_truth(ground_truth_path(photos[i]));
    std::string error;
    auto photo = load_photo(photos[i], error);
    if (!truth || !photo) {
      std::cerr << "nonet ocr: skipping " << photos[i] << (photo ? ": no ground truth" : ": " + error) << "\n";
      continue;
    }
    ReadingLog log;
    OcrPuzzleReading reading;
    ocr_read_puzzle(photo->pixels.data(), photo->width, photo->height, photo->bpp, reading, &log);
    int const* digits = reading.digits;
    int errors = 0;
    for (int c = 0; c < 81; ++c) errors += digits[c] != (*truth)[c];
    std::string const photo_name = photos[i].substr(photos[i].find_last_of('/') + 1);
    auto const rules_truth = load_rules_truth(ground_truth_path(photos[i]));
    rules.score(photo_name, reading.groups, reading.diagonals, rules_truth, errors == 0);
    if (o.detectors) {
      int regions[81];
      bool const drawn = ocr_detect_regions(photo->pixels.data(), photo->width, photo->height, photo->bpp, regions);
      rules.score_detectors(drawn ? regions : nullptr,
                            ocr_detect_x(photo->pixels.data(), photo->width, photo->height, photo->bpp), rules_truth);
    }
    ++read;
    cells += 81;
    correct += 81 - errors;
    clean += errors == 0;
    std::string const name = photos[i].substr(photos[i].find_last_of('/') + 1);
    results.push_back({name, errors, errors ? failing_stage(log, digits, *truth, totals) : ""});
  }
  if (read == 0) {
    std::cerr << "nonet ocr: no photo with ground truth in " << o.eval_dir << "\n";
    return 1;
  }
  std::printf("photos: %d (%s)\n", read, o.subset.c_str());
  std::printf("cell accuracy: %.3f%% (%ld of %ld)\n", 100.0 * correct / cells, correct, cells);
  std::printf("photos read without error: %.1f%% (%d of %d); with an error: %.1f%%\n", 100.0 * clean / read, clean,
              read, 100.0 * (read - clean) / read);
  std::stable_sort(results.begin(), results.end(), [](Result const& a, Result const& b) { return a.errors > b.errors; });
  std::printf("failing stage: grid misplaced on %d photos; wrong cells elsewhere: network %d", totals.grid,
              totals.network);
  for (int v = 1; v < 7; ++v)
    if (totals.rejected[v]) std::printf(", cells %s %d", verdict_names[v], totals.rejected[v]);
  std::printf("\n");
  rules.print(o.worst);
  std::printf("worst photos:\n");
  for (int k = 0; k < o.worst && k < static_cast<int>(results.size()) && results[k].errors > 0; ++k)
    std::printf("  %-16s %2d wrong cells  %s\n", results[k].name.c_str(), results[k].errors, results[k].stage.c_str());
  return 0;
}

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
int dump_patches(OcrOptions const& o) {
  std::vector<std::string> photos;
  for (auto const& input : o.inputs) {
    auto listed = list_photos(input);
    if (listed.empty())
      photos.push_back(input);
    else
      for (std::size_t i = 0; i < listed.size(); ++i)
        if (in_subset(o.subset, i)) photos.push_back(listed[i]);
  }
  std::ofstream out(o.dump_path, std::ios::binary);
  if (!out) {
    std::cerr << "nonet ocr: cannot write " << o.dump_path << "\n";
    return 1;
  }
  long records = 0;
  for (std::size_t i = 0; i < photos.size(); ++i) {
    auto truth = load_ground_truth(ground_truth_path(photos[i]));
    std::string error;
    auto photo = load_photo(photos[i], error);
    if (!truth || !photo) {
      std::cerr << "nonet ocr: skipping " << photos[i] << "\n";
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
  std::cerr << "nonet ocr: " << records << " patches from " << photos.size() << " photos\n";
  return out ? 0 : 1;
}

CommandRegistration ocr_command{Command{
    "ocr", "Read a puzzle from a photo (JPEG or PNG); evaluate or dump training patches",
    [](CLI::App& sub) -> std::function<int()> {
      auto o = std::make_shared<OcrOptions>();
      sub.add_option("photo", o->inputs, "Photo to read (with --dump-patches: photos or folders)");
      sub.add_option("--format", o->format, "Output: text (box, grid, regions, diagonals), line (81 digits, the groups when drawn, x when marked) or json")
          ->check(CLI::IsMember({"text", "line", "json"}));
      sub.add_option("--eval", o->eval_dir, "Read every photo of DIR against its .dat ground truth");
      sub.add_option("--subset", o->subset, "With --eval or --dump-patches: all, test (every 4th photo) or train")
          ->check(CLI::IsMember({"all", "test", "train"}));
      sub.add_option("--worst", o->worst, "With --eval: how many of the worst photos to list");
      sub.add_flag("--detectors", o->detectors, "With --eval: also score sudoku_ocr_regions and sudoku_ocr_detect_x alone");
      sub.add_flag("--solve", o->solve, "Also solve the read puzzle under its own rules (exit 1 unless exactly one solution)");
      sub.add_option("--dump-patches", o->dump_path, "Write the cell patches of the photos (with .dat) to FILE");
      return [o] {
        if (!o->eval_dir.empty()) return evaluate(*o);
        if (!o->dump_path.empty()) return dump_patches(*o);
        return read_one(*o);
      };
    }}};

}  // namespace
