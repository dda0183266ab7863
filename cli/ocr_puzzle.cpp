#include "cli/ocr_puzzle.h"

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "cli/grid_format.h"
#include "api/engine_api.h"

std::string read_puzzle_text(PhotoPuzzle const& p, std::string const& digits81) {
  std::string out = format_grid_text(digits81, p.jigsaw ? p.groups : nullptr);
  out += std::string("regions: ") + (p.jigsaw ? "drawn (letters)" : "3x3 boxes") + "\n";
  out += std::string("diagonals: ") + (p.x ? "marked" : "none") + "\n";
  return out;
}

std::string read_puzzle_line(PhotoPuzzle const& p, std::string const& digits81) {
  std::string out = digits81;
  if (p.jigsaw) {
    out += ' ';
    for (int g : p.groups) out += static_cast<char>('0' + g);
  }
  if (p.x) out += " x";
  return out;
}

void add_read_puzzle_json(nlohmann::json& j, PhotoPuzzle const& p) {
  std::string groups;
  for (int g : p.groups) groups += static_cast<char>('0' + g);
  j["groups"] = groups;
  j["jigsaw"] = p.jigsaw;
  j["x"] = p.x;
}

int solve_read_puzzle(PhotoPuzzle const& p, std::string& solution) {
  int found[81];
  int const n = sudoku_count_solutions(p.digits, p.groups, p.x ? 1 : 0, 2, found);
  if (n < 0) return -1;
  solution.clear();
  if (n >= 1)
    for (int c = 0; c < 81; ++c) solution += static_cast<char>('0' + found[c]);
  return n;
}

std::optional<RulesTruth> load_rules_truth(std::string const& dat_path) {
  std::ifstream in(dat_path);
  std::string line;
  RulesTruth truth;
  bool regions = false, diagonals = false;
  while (std::getline(in, line)) {
    if (line == "regions") {
      for (int i = 0; i < 81; ++i)
        if (!(in >> truth.regions[static_cast<std::size_t>(i)]) || truth.regions[static_cast<std::size_t>(i)] < 0 ||
            truth.regions[static_cast<std::size_t>(i)] > 8)
          return std::nullopt;
      regions = true;
    } else if (line.rfind("diagonals ", 0) == 0) {
      truth.x = line.substr(10) == "1";
      diagonals = true;
    }
  }
  if (!regions || !diagonals) return std::nullopt;
  return truth;
}

bool same_regions(int const* a, int const* b) {
  int a_to_b[9], b_to_a[9];
  std::fill_n(a_to_b, 9, -1);
  std::fill_n(b_to_a, 9, -1);
  for (int c = 0; c < 81; ++c) {
    int const x = a[c], y = b[c];
    if (x < 0 || x > 8 || y < 0 || y > 8) return false;
    if (a_to_b[x] < 0 && b_to_a[y] < 0) a_to_b[x] = y, b_to_a[y] = x;
    if (a_to_b[x] != y || b_to_a[y] != x) return false;
  }
  return true;
}

std::pair<bool, bool> RulesScore::Tally::add(int const* regions, bool x, std::optional<RulesTruth> const& truth) {
  RulesTruth t;
  for (int c = 0; c < 81; ++c) t.regions[static_cast<std::size_t>(c)] = 3 * (c / 27) + (c % 9) / 3;
  std::array<int, 81> const boxes = t.regions;
  if (truth) t = *truth;
  bool const is_jigsaw = !same_regions(t.regions.data(), boxes.data());
  // No regions found counts as the boxes for a classic picture.
  bool const right = same_regions(t.regions.data(), regions ? regions : boxes.data());
  ++pictures;
  if (is_jigsaw) {
    ++jigsaw;
    regions_right += right ? 1 : 0;
  } else {
    ++classic;
    false_regions += right ? 0 : 1;
  }
  mark_right += x == t.x ? 1 : 0;
  if (!t.x) {
    ++unmarked;
    false_marks += x ? 1 : 0;
  }
  return {right, x == t.x};
}

void RulesScore::score(std::string const& name, int const* groups, bool x, std::optional<RulesTruth> const& truth,
                       bool digits_right) {
  auto const [regions_right, mark_right] = puzzle_.add(groups, x, truth);
  whole_ += digits_right && regions_right && mark_right;
  if (!regions_right || !mark_right)
    wrong_.push_back(name + (regions_right ? "" : " regions") + (mark_right ? "" : x ? " marked" : " unmarked"));
}

void RulesScore::score_detectors(int const* regions, bool x, std::optional<RulesTruth> const& truth) {
  detectors_.add(regions, x, truth);
}

void RulesScore::print(int names) const {
  auto const share = [](int a, int b) { return b ? 100.0 * a / b : 0.0; };
  for (auto const* t : {&puzzle_, &detectors_}) {
    if (t->pictures == 0) continue;
    std::printf("%s", t == &puzzle_ ? "" : "the two detectors alone: ");
    std::printf("regions right: %.1f%% (%d of %d jigsaw pictures); other regions than the boxes on %d of %d classic\n",
                share(t->regions_right, t->jigsaw), t->regions_right, t->jigsaw, t->false_regions, t->classic);
    std::printf("%sdiagonal mark right: %.1f%% (%d of %d); marked on %d of %d unmarked\n",
                t == &puzzle_ ? "" : "the two detectors alone: ", share(t->mark_right, t->pictures), t->mark_right,
                t->pictures, t->false_marks, t->unmarked);
  }
  std::printf("whole puzzle right (digits, regions, mark): %.1f%% (%d of %d)\n", share(whole_, puzzle_.pictures),
              whole_, puzzle_.pictures);
  for (int k = 0; k < names && k < static_cast<int>(wrong_.size()); ++k)
    std::printf("  rules wrong: %s\n", wrong_[static_cast<std::size_t>(k)].c_str());
}
