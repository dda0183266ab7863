#include "cli/photo_reading.h"

#include <algorithm>

#include "api/engine_api.h"
#include "cli/photo_orientation.h"
#include "cli/puzzle_input.h"
#include "cli/tool.h"

namespace {

bool read_once(Photo const& photo, int turn, PhotoReading& r) {
  Photo const turned_photo = turn ? turned(photo, turn) : Photo();
  Photo const& p = turn ? turned_photo : photo;
  r = PhotoReading();
  r.turned = 90 * turn;
  r.width = p.width;
  r.height = p.height;
  r.located = sudoku_ocr_locate(p.pixels.data(), p.width, p.height, p.bpp, r.box) == 1;
  PhotoPuzzle& read = r.puzzle;
  int diagonals = 0;
  if (!sudoku_ocr_read_puzzle(p.pixels.data(), p.width, p.height, p.bpp, read.digits, read.groups, &diagonals))
    return false;
  read.x = diagonals == 1;
  int boxes[81];
  for (int c = 0; c < 81; ++c) boxes[c] = 3 * (c / 27) + (c % 9) / 3;
  read.jigsaw = !same_regions(read.groups, boxes);
  for (int d : read.digits) r.count += d != 0;
  r.repeated = repeated_given(read.digits, read.jigsaw ? read.groups : nullptr, read.x);
  if (r.consistent() && r.count > 0) r.solutions = std::max(0, solve_read_puzzle(read, r.solution));
  return true;
}

}  // namespace

std::string PhotoReading::problem() const {
  if (!located && count < 17) return "no grid found";
  if (count < 17) return "read " + std::to_string(count) + " digits, fewer than the 17 a puzzle needs";
  if (!consistent()) return "the digits read are no puzzle: " + repeated;
  if (solutions == 0) return "the digits read have no solution";
  if (solutions >= 2) return "the digits read have more than one solution";
  return "";
}

bool read_photo(Photo const& photo, PhotoReading& reading, std::string& error) {
  if (!read_once(photo, 0, reading)) {
    error = "a picture of " + std::to_string(photo.width) + "x" + std::to_string(photo.height) + " with " +
            std::to_string(photo.bpp) + " bytes per pixel cannot be read: " +
            tool::engine_reason("sides must be at least 27");
    return false;
  }
  if (reading.proper()) return true;
  // Photos taken sideways or upside down (or tagged wrongly) read poorly as they are.
  for (int turn = 1; turn < 4; ++turn) {
    PhotoReading other;
    if (read_once(photo, turn, other) && other.proper()) {
      reading = other;
      return true;
    }
  }
  return true;
}
