// nonet ocr PHOTO: reads a puzzle from a photo and says when the reading is no proper
// puzzle. Also the evaluation over a folder of photos with ground truth (--eval).
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>

#include "api/engine_api.h"
#include "cli/commands.h"
#include "cli/grid_format.h"
#include "cli/ocr_puzzle.h"
#include "cli/photo_io.h"
#include "cli/photo_reading.h"
#include "cli/tool.h"
#include "ocr/ocr.h"

namespace {

struct OcrOptions {
  std::vector<std::string> inputs;
  std::string format = "text";
  std::string eval_dir;
  std::string subset = "all";
  int worst = 10;
  bool force = false;
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

std::string digits_line(int const* digits) {
  std::string s(81, '.');
  for (int i = 0; i < 81; ++i)
    if (digits[i] >= 1 && digits[i] <= 9) s[i] = static_cast<char>('0' + digits[i]);
  return s;
}

int read_one(OcrOptions const& o) {
  constexpr char kWho[] = "nonet ocr";
  if (o.inputs.size() != 1) {
    tool::say(kWho, o.inputs.empty() ? "no photo given" : "one photo at a time");
    return tool::kExitUsage;
  }
  std::string error;
  auto photo = load_photo(o.inputs[0], error, true);
  if (!photo) {
    tool::say(kWho, error);
    return tool::kExitInputProblem;
  }
  PhotoReading r;
  if (!read_photo(*photo, r, error)) {
    tool::say(kWho, tool::escaped(o.inputs[0]) + ": " + error);
    return tool::kExitInputProblem;
  }
  PhotoPuzzle const& puzzle = r.puzzle;
  std::string const digits = digits_line(puzzle.digits);
  std::string const problem = r.problem();
  bool const print = problem.empty() || o.force || o.format == "json";
  if (!print) {
  } else if (o.format == "line") {
    std::cout << read_puzzle_line(puzzle, digits) << "\n";
    if (o.solve && r.solutions == 1) std::cout << r.solution << "\n";
  } else if (o.format == "json") {
    nlohmann::json j;
    j["file"] = o.inputs[0];
    j["width"] = r.width;
    j["height"] = r.height;
    j["turned"] = r.turned;
    j["located"] = r.located;
    j["box"] = r.located ? nlohmann::json{r.box[0], r.box[1], r.box[2], r.box[3]} : nlohmann::json(nullptr);
    j["digits"] = digits;
    j["count"] = r.count;
    add_read_puzzle_json(j, puzzle);
    j["consistent"] = r.consistent();
    j["solutions"] = r.solutions;
    if (o.solve) j["solution"] = r.solutions == 1 ? nlohmann::json(r.solution) : nlohmann::json(nullptr);
    j["proper"] = problem.empty();
    std::cout << j.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  } else {
    if (r.located)
      std::cout << "box: " << r.box[0] << " " << r.box[1] << " " << r.box[2] << " " << r.box[3] << "\n";
    else
      std::cout << "box: none found\n";
    if (r.turned) std::cout << "turned: " << r.turned << " degrees\n";
    std::cout << "digits: " << r.count << "\n" << read_puzzle_text(puzzle, digits);
    if (o.solve && r.solutions == 1)
      std::cout << "solution:\n" << format_grid_text(r.solution, puzzle.jigsaw ? puzzle.groups : nullptr);
  }
  std::cout.flush();
  if (problem.empty()) return tool::kExitOk;
  tool::say(kWho, tool::escaped(o.inputs[0]) + ": " + problem + (o.force ? "" : " (--force prints the reading)"));
  return o.force ? tool::kExitOk : tool::kExitInputProblem;
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

double cpu_seconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Median CPU time of the whole-puzzle reading per picture size.
void print_times(std::map<std::pair<int, int>, std::vector<double>>& times) {
  std::printf("CPU per picture (median):");
  for (auto& [size, seconds] : times) {
    std::nth_element(seconds.begin(), seconds.begin() + static_cast<long>(seconds.size() / 2), seconds.end());
    std::printf(" %dx%d %.0f ms (%zu)", size.first, size.second, 1000 * seconds[seconds.size() / 2], seconds.size());
  }
  std::printf("\n");
}

int evaluate(OcrOptions const& o) {
  auto const photos = list_photos(o.eval_dir);
  if (photos.empty()) {
    tool::say("nonet ocr", "no photos in " + tool::escaped(o.eval_dir));
    return tool::kExitInputProblem;
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
  std::map<std::pair<int, int>, std::vector<double>> times;
  for (std::size_t i = 0; i < photos.size(); ++i) {
    if (!in_subset(o.subset, i)) continue;
    auto truth = load_ground_truth(ground_truth_path(photos[i]));
    std::string error;
    auto photo = load_photo(photos[i], error);
    if (!truth || !photo) {
      tool::say("nonet ocr", "skipping " + (photo ? tool::escaped(photos[i]) + ": no ground truth" : error));
      continue;
    }
    ReadingLog log;
    OcrPuzzleReading reading;
    double const start = cpu_seconds();
    ocr_read_puzzle(photo->pixels.data(), photo->width, photo->height, photo->bpp, reading, &log);
    times[{photo->width, photo->height}].push_back(cpu_seconds() - start);
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
    tool::say("nonet ocr", "no photo with ground truth in " + tool::escaped(o.eval_dir));
    return tool::kExitInputProblem;
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
  print_times(times);
  std::printf("worst photos:\n");
  for (int k = 0; k < o.worst && k < static_cast<int>(results.size()) && results[k].errors > 0; ++k)
    std::printf("  %-16s %2d wrong cells  %s\n", results[k].name.c_str(), results[k].errors, results[k].stage.c_str());
  return 0;
}

CommandRegistration ocr_command{Command{
    "ocr", "Read a puzzle from a photo (JPEG or PNG), or evaluate the reader on photos with ground truth",
    [](CLI::App& sub) -> std::function<int()> {
      auto o = std::make_shared<OcrOptions>();
      sub.add_option("photo", o->inputs, "Photo to read; its EXIF orientation is honoured, and a poor reading is "
                                         "tried again turned by 90, 180 and 270 degrees");
      tool::add_format_option(sub, o->format, {"text", "line", "json"},
                              "text: box, grid, regions and diagonals; line: 81 digits, then the 81 group digits when "
                              "regions are drawn and x when the diagonals are marked; json: one object {file, width, "
                              "height, turned, located, box, digits, count, groups, jigsaw, x, consistent, "
                              "solutions, proper}, printed even when the reading is no proper puzzle");
      sub.add_flag("--force", o->force, "Print the reading even when it is no proper puzzle (and exit 0)");
      sub.add_flag("--solve", o->solve, "Also print the solution under the rules the photo shows");
      auto* eval = sub.add_option("--eval", o->eval_dir, "Read every photo of DIR against its .dat ground truth");
      sub.add_option("--subset", o->subset, "With --eval: all, test (every 4th photo) or train")
          ->check(CLI::IsMember({"all", "test", "train"}));
      sub.add_option("--worst", o->worst, "With --eval: how many of the worst photos to list")
          ->check(CLI::Range(0, 100000));
      sub.add_flag("--detectors", o->detectors,
                   "With --eval: also score the two detectors alone (sudoku_ocr_regions, sudoku_ocr_detect_x)");
      eval->excludes(sub.get_option("photo"));
      return [o] { return o->eval_dir.empty() ? read_one(*o) : evaluate(*o); };
    }}};

}  // namespace
