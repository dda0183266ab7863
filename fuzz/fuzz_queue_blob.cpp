// Fuzzes queue blobs: the input, in a buffer of exactly its size, is loaded through the C
// interface; a loaded queue must have the exact length of its counts and give every game.
#include <cstdlib>
#include <cstring>
#include <memory>

#include "api/engine_api.h"
#include "queue/queue_data.h"

extern "C" int LLVMFuzzerTestOneInput(uint8_t const* data, size_t size) {
  std::unique_ptr<unsigned char[]> exact(new unsigned char[size ? size : 1]);
  if (size) std::memcpy(exact.get(), data, size);
  SudokuQueue* q = sudoku_queue_load(exact.get(), static_cast<long long>(size));
  if (!q) return 0;
  auto* queue = reinterpret_cast<queue_data*>(q);
  if (queue->total_length() != size) std::abort();
  int const games = sudoku_queue_game_count(q);
  unsigned char cells[5184];
  int colours[9], kind, adjacency, difficulty;
  for (int i = -1; i <= games; ++i) {
    int const got = sudoku_queue_get_game(q, i, cells, colours, &kind, &adjacency, &difficulty);
    if (got != (i >= 0 && i < games ? 1 : 0)) std::abort();
  }
  sudoku_queue_free(q);
  return 0;
}
