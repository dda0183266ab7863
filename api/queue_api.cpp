// Queue blobs for the host: load, count and fetch games, and the stock depth table.
#include <cstring>

#include "api/engine_api.h"
#include "api/last_error.h"
#include "queue/queue_data.h"

namespace {
queue_data* as_queue(SudokuQueue* q) { return reinterpret_cast<queue_data*>(q); }
}  // namespace

extern "C" {

SudokuQueue* sudoku_queue_load(void const* data, long long length) {
  clear_last_error();
  if (!data || length < 0) {
    set_last_error(SUDOKU_ERROR_INVALID_ARGUMENT, "sudoku_queue_load needs a blob and a length of 0 or more");
    return nullptr;
  }
  queue_data* q = queue_data::from_data(data, static_cast<size_t>(length));
  if (!q)
    set_last_error(SUDOKU_ERROR_BAD_QUEUE,
                   "not a queue blob: the \"SQD0.002\" header or the length does not match its counts");
  return reinterpret_cast<SudokuQueue*>(q);
}

void sudoku_queue_free(SudokuQueue* q) { delete as_queue(q); }

int sudoku_queue_game_count(SudokuQueue* q) { return q ? static_cast<int>(as_queue(q)->n_games) : 0; }

int sudoku_queue_get_game(SudokuQueue* q, int index, void* cells_out, int colour_map_out[9], int* map_kind_out,
                          int* adjacency_out, int* difficulty_out) {
  clear_last_error();
  if (!q || index < 0 || static_cast<unsigned>(index) >= as_queue(q)->n_games) {
    set_last_error(SUDOKU_ERROR_INVALID_ARGUMENT, "no such game: the queue is null or the index is out of range");
    return 0;
  }
  void *solutions, *puzzles, *games;
  size_t solutions_len, puzzles_len, games_len;
  as_queue(q)->get_data(solutions, solutions_len, puzzles, puzzles_len, games, games_len);
  PuzzleData record;
  std::memcpy(&record, static_cast<unsigned char*>(games) + kQueueRecordSize * static_cast<size_t>(index),
              kQueueRecordSize);
  std::memcpy(cells_out, record.cells, PUZZLE_BYTES);
  std::memcpy(colour_map_out, record.color_map, sizeof record.color_map);
  *map_kind_out = record.map_type;
  *adjacency_out = record.adjacency_type;
  *difficulty_out = record.difficulty;
  return 1;
}

int sudoku_desired_queue_depth(unsigned a, unsigned b, unsigned c) {
  if (a <= 1 && b <= 1 && c <= 9) return desiredPuzzleQueueSize[a][b][c];
  return 3;
}

}  // extern "C"
