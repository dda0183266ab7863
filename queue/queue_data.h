// queue_data: one contiguous blob of pre-generated boards (solutions, puzzles,
// games) behind an 80-byte text header "SQD0.002%4d%4d%4d".
#pragma once

#include <cstddef>

#include "model/types.h"
#include "util/export.h"

constexpr size_t kQueueHeaderSize = 80;
constexpr size_t kQueueRecordSize = sizeof(PuzzleData);  // 5232
constexpr int kQueueFileCapacity = 0x200000;             // inflated size limit of a queue file

class NONET_EXPORT queue_data {
 public:
  queue_data(unsigned n_solutions, unsigned n_puzzles, unsigned n_games);
  ~queue_data();
  queue_data(queue_data const&) = delete;
  queue_data& operator=(queue_data const&) = delete;

  void generate_header();
  // i must lie in 0..count-1 of its section.
  void set_solution(PuzzleData const& record, int i);
  void set_puzzle(PuzzleData const& record, int i);
  void set_game(PuzzleData const& record, int i);

  unsigned char* as_data(size_t& length);
  void get_data(void*& solutions, size_t& solutions_len, void*& puzzles, size_t& puzzles_len, void*& games,
                size_t& games_len);
  unsigned char* data_array();
  size_t data_length() const;
  size_t total_length() const;

  // True when blob starts with the magic and three valid count fields (needs 20 readable bytes).
  static bool parse_header(void const* blob, unsigned& n_solutions, unsigned& n_puzzles, unsigned& n_games);
  // A new heap object holding a copy of the blob's records; null on any mismatch.
  static queue_data* from_data(void const* blob, size_t length);

  unsigned char* data;
  unsigned n_solutions;
  unsigned n_puzzles;
  unsigned n_games;

 private:
  unsigned char* record_slot(size_t index);
};

// Reads <group-maps directory>/<name>.z and loads the blob in it; null on failure.
NONET_EXPORT queue_data* queue_data_from_zipped_file(char const* name);

extern "C" {
NONET_EXPORT extern int const desiredSolutionQueueSize[2][2];
NONET_EXPORT extern int const desiredPuzzleQueueSize[2][2][10];
NONET_EXPORT extern int const desiredGameAlbumSize[2][2][10];
}
