// nonet ocr: the rules a photo shows (drawn regions, marked diagonals) in the
// command's outputs, solving the read puzzle, and the ground truth of rendered
// puzzle pictures (regions and diagonal mark beside the digits).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

struct PhotoPuzzle {
  int digits[81] = {};
  int groups[81] = {};  // drawn regions, or the 3x3 boxes
  bool jigsaw = false;  // regions drawn that are not the boxes
  bool x = false;       // both diagonals marked
};

// The grid as text (region letters per cell when jigsaw) and the rules line.
std::string read_puzzle_text(PhotoPuzzle const& p, std::string const& digits81);
// One line: the 81 digits, then the 81 group digits when jigsaw, then "x" when marked.
std::string read_puzzle_line(PhotoPuzzle const& p, std::string const& digits81);
// "groups" (81 digits), "jigsaw" and "x".
void add_read_puzzle_json(nlohmann::json& j, PhotoPuzzle const& p);

// Solutions of the read puzzle under its own rules: 0 (also for a digit read twice in
// a unit), 1 or 2 (several); -1 for digits or groups out of range. solution receives the first one as 81 digits.
int solve_read_puzzle(PhotoPuzzle const& p, std::string& solution);

// The regions and diagonal mark of a rendered picture's ground truth (lines
// "regions" + nine rows, "diagonals 0|1" after the digit rows); nothing when absent.
struct RulesTruth {
  std::array<int, 81> regions{};
  bool x = false;
};
std::optional<RulesTruth> load_rules_truth(std::string const& dat_path);
// True when two region grids group the cells alike (whatever the numbers).
bool same_regions(int const* a, int const* b);

// The evaluation's score of regions and diagonal marks. Photos without rules in their
// ground truth (the newspaper photos) are classic: boxes, no diagonals.
class RulesScore {
 public:
  void score(std::string const& name, int const* groups, bool x, std::optional<RulesTruth> const& truth,
             bool digits_right);
  // The two detectors on their own (sudoku_ocr_regions, sudoku_ocr_detect_x);
  // regions null when none were found.
  void score_detectors(int const* regions, bool x, std::optional<RulesTruth> const& truth);
  // Prints the shares and up to `names` pictures whose rules were read wrong.
  void print(int names) const;

 private:
  struct Tally {
    int jigsaw = 0, regions_right = 0, classic = 0, false_regions = 0, pictures = 0, mark_right = 0, unmarked = 0,
        false_marks = 0;
    // Returns whether regions (null: none) and x match the truth.
    std::pair<bool, bool> add(int const* regions, bool x, std::optional<RulesTruth> const& truth);
  };
  Tally puzzle_, detectors_;
  int whole_ = 0;
  std::vector<std::string> wrong_;
};
