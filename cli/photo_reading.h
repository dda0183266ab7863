// Reading a puzzle from a photo and judging the reading under the rules the photo
// shows: a proper puzzle has at least 17 digits, no digit twice in a unit and one
// solution.
// A poor reading is tried again on the photo turned by 90, 180 and 270 degrees.
#pragma once

#include <string>

#include "cli/ocr_puzzle.h"
#include "cli/photo_io.h"

struct PhotoReading {
  bool located = false;        // the grid's outer lines were found (recognition has other ways too)
  int box[4] = {0, 0, 0, 0};  // left, top, right, bottom in the photo as read (turned)
  PhotoPuzzle puzzle;  // digits, and the rules the photo shows (drawn regions, marked diagonals)
  int count = 0;
  std::string repeated;  // empty when no unit holds a digit twice
  int solutions = 0;     // 0, 1 or 2 (two or more), under the rules the photo shows
  std::string solution;  // 81 digits when there is one
  int turned = 0;        // degrees clockwise the photo was turned for this reading
  int width = 0, height = 0;  // of the photo as read

  bool consistent() const { return repeated.empty(); }
  bool proper() const { return count >= 17 && consistent() && solutions == 1; }
  // Why the reading is no proper puzzle; empty when it is one.
  std::string problem() const;
};

// Reads the photo; false (with error set) when the picture cannot be read at all
// (a side below 27 pixels, an unknown pixel layout).
bool read_photo(Photo const& photo, PhotoReading& reading, std::string& error);
