// Reading puzzles for the nonet tool, in every form the tool prints and the common
// forms users have, from arguments, files or standard input, streaming:
// - 81 cells on a line: '1'..'9', and '.', '0' or '-' for an empty cell (spaces and
//   '|' ignored), optionally followed by 81 group digits 0..8 (a jigsaw line) and
//   "x" (the diagonals are units); a leading solution count ("0", "1", "2+", as
//   `nonet solve` prints) is skipped;
// - nine lines of nine cells, with or without the frame of `nonet show` and
//   `nonet generate` ("5 3 . | . 7 ."), jigsaw rows with region letters ("5a 3a .b"),
//   up to two header lines before them ("moderate, 25 clues"; a photo's .dat file
//   starts with two: camera and resolution); labelled lines ("digits: 28",
//   "regions: 3x3 boxes") are skipped;
// - JSON Lines: an object with "clues", "puzzle" or "digits" (81 cells), optional
//   "groups" (81 digits) and "x" (true: the diagonals are units);
// - boards in play (extension): any of the cell forms above where a cell may also be
//   "+5" (the player's answer 5) or "[129]" (an empty cell showing pencil marks 1, 2
//   and 9; "[]" shows none), in a line of 81 cells (optionally followed by groups and
//   "x") or nine rows; in JSON, "answers" (81 cells, '.' or '0' for none) and "marks"
//   (81 entries, each a string of digits or a digit mask with bit d for digit d).
//   A file that holds a saved board (the engine's 5232-byte board image, as in a queue
//   record, or the 5184 cell bytes of sudoku_get_puzzle_bytes) is read as one board.
//   Commands that take puzzles read a board's givens as its puzzle.
// Blank lines and lines starting with '#' are skipped.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct ReadPuzzle {
  int clues[81];   // 0 empty, 1..9
  int groups[81];  // valid when has_groups
  bool has_groups = false;
  bool has_board = false;     // answers and marks below are valid (a board in play)
  int8_t answers[81];         // the player's digit 1..9 in a non-given cell, 0 none
  uint16_t marks[81];         // pencil marks an empty cell shows (bit d = digit d), 0 none
  bool x = false;            // the input marks the diagonals as units
  std::string const* origin;  // "" for standard input, else the file name or "argument N"
  long line = 0;              // first line of the puzzle in its input (0 for an argument)
};

// A puzzle as text for commands that print it back: 81 characters ('1'..'9', '.') and
// where it came from ("line 3", "argument 1", "puzzles.txt line 7").
struct PuzzleInput {
  std::string grid;
  std::string source;
};
PuzzleInput text_of(ReadPuzzle const& p);

// "line 12", "puzzles.txt line 3", "argument 2".
std::string source_of(std::string const& origin, long line);
inline std::string source_of(ReadPuzzle const& p) { return source_of(*p.origin, p.line); }

// Every puzzle of a list of inputs in order. Each argument is a puzzle when it reads as
// one, "-" is standard input, anything else a file; no argument reads standard input.
class PuzzleStream {
 public:
  explicit PuzzleStream(std::vector<std::string> arguments);
  ~PuzzleStream();
  PuzzleStream(PuzzleStream const&) = delete;
  PuzzleStream& operator=(PuzzleStream const&) = delete;

  enum Result { kPuzzle, kError, kEnd };
  // kPuzzle fills puzzle; kError sets error to a message naming the line or file
  // ("line 3: expected 81 cells, got 80"), with untrusted text escaped.
  Result next(ReadPuzzle& puzzle, std::string& error);

  // The next puzzle, saying each bad item on standard error (as who, "nonet solve")
  // and setting problems; false at the end.
  bool next_reported(ReadPuzzle& puzzle, char const* who, bool& problems);

  // "standard input", "puzzles.txt", or "the arguments": for "no puzzle in ...".
  std::string description() const;

 private:
  struct Source;
  bool open_next(std::string& error);
  bool open_board_image(std::unique_ptr<Source> source, int fd, std::string& error);
  std::vector<std::string> arguments_;
  std::size_t next_argument_ = 0;
  std::unique_ptr<Source> source_;
  std::vector<std::unique_ptr<Source>> retired_;  // their names stay valid for the puzzles read
};

// One grid given as text: 81 cells ('1'..'9'; '.', '0' or '-' empty; spaces and '|'
// ignored) as 81 characters '1'..'9' and '.'; nothing, with error set, otherwise.
std::optional<std::string> parse_grid_line(std::string const& text, std::string& error);

// 81 group digits 0..8, each used by nine cells; white space is ignored.
bool parse_group_map(std::string const& text, int groups[81], std::string& error);

// A digit repeated in a row, column, group or (with diagonals) diagonal, named
// ("digit 5 twice in row 1 (r1c2, r1c7)"); empty when the givens agree.
std::string repeated_given(int const clues[81], int const* groups, bool diagonals);
