#include "queue/queue_data.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "util/zipped_file.h"

int const desiredSolutionQueueSize[2][2] = {{2, 2}, {12, 12}};
int const desiredPuzzleQueueSize[2][2][10] = {
    {{3, 3, 3, 3, 4, 5, 6, 7, 9, 11}, {3, 3, 3, 3, 4, 5, 6, 7, 9, 11}},
    {{3, 3, 3, 3, 4, 6, 7, 8, 10, 12}, {3, 3, 3, 3, 4, 6, 7, 8, 10, 12}},
};
int const desiredGameAlbumSize[2][2][10] = {
    {{2, 2, 2, 2, 2, 2, 2, 2, 2, 2}, {2, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
    {{2, 2, 2, 2, 2, 2, 2, 2, 2, 2}, {2, 2, 2, 2, 2, 2, 2, 2, 2, 2}},
};

namespace {

constexpr char kMagic[] = "SQD0.002";

// Reads one four-character count field: spaces and digits only, converted as strtoul does.
bool parse_count_field(unsigned char const* field, unsigned& value) {
  char text[5];
  for (int i = 0; i < 4; ++i) {
    unsigned char const ch = field[i];
    if (ch != ' ' && (ch < '0' || ch > '9')) return false;
    text[i] = static_cast<char>(ch);
  }
  text[4] = '\0';
  value = static_cast<unsigned>(std::strtoul(text, nullptr, 10));
  return true;
}

}  // namespace

queue_data::queue_data(unsigned solutions, unsigned puzzles, unsigned games)
    : data(nullptr), n_solutions(solutions), n_puzzles(puzzles), n_games(games) {
  data = static_cast<unsigned char*>(std::malloc(total_length()));
  if (data) generate_header();
}

queue_data::~queue_data() { std::free(data); }

void queue_data::generate_header() {
  char header[kQueueHeaderSize + 16] = {};
  std::snprintf(header, sizeof header, "SQD0.002%4d%4d%4d", static_cast<int>(n_solutions), static_cast<int>(n_puzzles),
                static_cast<int>(n_games));
  std::memcpy(data, header, kQueueHeaderSize);
}

unsigned char* queue_data::record_slot(size_t index) { return data + kQueueHeaderSize + kQueueRecordSize * index; }

void queue_data::set_solution(PuzzleData const& record, int i) {
  std::memcpy(record_slot(static_cast<size_t>(i)), &record, kQueueRecordSize);
}

void queue_data::set_puzzle(PuzzleData const& record, int i) {
  std::memcpy(record_slot(n_solutions + static_cast<size_t>(i)), &record, kQueueRecordSize);
}

void queue_data::set_game(PuzzleData const& record, int i) {
  std::memcpy(record_slot(static_cast<size_t>(n_solutions) + n_puzzles + static_cast<size_t>(i)), &record,
              kQueueRecordSize);
}

unsigned char* queue_data::as_data(size_t& length) {
  length = total_length();
  return data;
}

void queue_data::get_data(void*& solutions, size_t& solutions_len, void*& puzzles, size_t& puzzles_len, void*& games,
                          size_t& games_len) {
  solutions = record_slot(0);
  solutions_len = kQueueRecordSize * n_solutions;
  puzzles = record_slot(n_solutions);
  puzzles_len = kQueueRecordSize * n_puzzles;
  games = record_slot(static_cast<size_t>(n_solutions) + n_puzzles);
  games_len = kQueueRecordSize * n_games;
}

unsigned char* queue_data::data_array() { return data + kQueueHeaderSize; }

size_t queue_data::data_length() const {
  return kQueueRecordSize * (static_cast<size_t>(n_solutions) + n_puzzles + n_games);
}

size_t queue_data::total_length() const { return data_length() + kQueueHeaderSize; }

bool queue_data::parse_header(void const* blob, unsigned& solutions, unsigned& puzzles, unsigned& games) {
  auto const* bytes = static_cast<unsigned char const*>(blob);
  if (std::memcmp(bytes, kMagic, 8) != 0) return false;
  return parse_count_field(bytes + 8, solutions) && parse_count_field(bytes + 12, puzzles) &&
         parse_count_field(bytes + 16, games);
}

queue_data* queue_data::from_data(void const* blob, size_t length) {
  // A blob shorter than its header cannot be read at all.
  if (!blob || length < kQueueHeaderSize) return nullptr;
  unsigned solutions = 0, puzzles = 0, games = 0;
  if (!parse_header(blob, solutions, puzzles, games)) return nullptr;
  // Counts are at most 9999 each, so the expected length cannot overflow; check it before allocating.
  size_t const expected = kQueueHeaderSize + kQueueRecordSize * (static_cast<size_t>(solutions) + puzzles + games);
  if (length != expected) return nullptr;
  auto* queue = new queue_data(solutions, puzzles, games);
  if (!queue->data) {
    delete queue;
    return nullptr;
  }
  std::memcpy(queue->data_array(), static_cast<unsigned char const*>(blob) + kQueueHeaderSize, queue->data_length());
  return queue;
}

queue_data* queue_data_from_zipped_file(char const* name) {
  size_t length = 0;
  unsigned char const* contents = get_zipped_file_contents(get_full_filename(name, "z"), length, kQueueFileCapacity);
  if (!contents) return nullptr;
  queue_data* queue = queue_data::from_data(contents, length);
  std::free(const_cast<unsigned char*>(contents));
  return queue;
}
