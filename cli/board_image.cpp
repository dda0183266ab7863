#include "cli/board_image.h"

#include <cstring>

#include "model/types.h"

std::size_t board_image_size() { return sizeof(PuzzleData); }
std::size_t cell_bytes_size() { return sizeof(PUZZLE_CELL) * 81; }

bool is_board_image(unsigned char const* bytes, std::size_t size) {
  return (size == board_image_size() || size == cell_bytes_size()) && std::memchr(bytes, 0, size) != nullptr;
}

bool read_board_image(unsigned char const* bytes, std::size_t size, ReadPuzzle& out, std::string& why) {
  if (size != board_image_size() && size != cell_bytes_size()) {
    why = "a board image has " + std::to_string(board_image_size()) + " or " + std::to_string(cell_bytes_size()) +
          " bytes, not " + std::to_string(size);
    return false;
  }
  PuzzleData image{};
  std::memcpy(&image, bytes, size);
  out.x = size == board_image_size() ? image.adjacency_type == ADJ_X : false;
  out.has_board = true;
  std::string map(81, '0');
  for (int c = 0; c < 81; ++c) {
    PUZZLE_CELL const& cell = image.cells[c];
    auto const cell_name = "r" + std::to_string(c / 9 + 1) + "c" + std::to_string(c % 9 + 1);
    int const group = cell.house[DIM_GROUP];
    bool const given = (cell.mask & 1) != 0;
    if (group < 0 || group > 8 || cell.solution < (given ? 1 : 0) || cell.solution > 9 || cell.user_answer < 0 ||
        cell.user_answer > 9) {
      why = "cell " + cell_name + " of the board image is out of range";
      return false;
    }
    map[static_cast<std::size_t>(c)] = static_cast<char>('0' + group);
    out.clues[c] = given ? cell.solution : 0;
    out.answers[c] = static_cast<int8_t>(given ? 0 : cell.user_answer);
    bool const shows_marks = !given && cell.user_answer == 0 && cell.small_mode;
    out.marks[c] = static_cast<uint16_t>(shows_marks ? cell.elim_bits & ALL_DIGITS : 0);
  }
  if (!parse_group_map(map, out.groups, why)) {
    why = "groups of the board image: " + why;
    return false;
  }
  out.has_groups = true;
  return true;
}
