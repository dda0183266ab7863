// Queue files of stored puzzles: each puzzle built into a board through the public calls.
#include <memory>

#include "api/engine_api.h"
#include "pool/pool_check.h"
#include "pool/pool_key.h"
#include "queue/queue_data.h"

namespace pool {

namespace {

// Colours 0..3 for the nine groups, neighbouring groups (sharing an edge) apart: the
// checkerboard of the boxes, else the first colouring found by backtracking in group order.
bool colour_groups(int const groups[81], int colours[9], int g = 0) {
  if (g == 9) return true;
  for (int colour = 0; colour < 4; ++colour) {
    bool clash = false;
    for (int c = 0; c < 81 && !clash; ++c) {
      if (groups[c] != g) continue;
      int const r = c / 9, col = c % 9;
      int const around[4] = {r > 0 ? c - 9 : -1, r < 8 ? c + 9 : -1, col > 0 ? c - 1 : -1, col < 8 ? c + 1 : -1};
      for (int n : around) clash = clash || (n >= 0 && groups[n] < g && colours[groups[n]] == colour);
    }
    if (clash) continue;
    colours[g] = colour;
    if (colour_groups(groups, colours, g + 1)) return true;
  }
  return false;
}

}  // namespace

int queue_file_capacity() {
  return static_cast<int>((kQueueFileCapacity - static_cast<long>(kQueueHeaderSize)) / kQueueRecordSize);
}

bool queue_blob(std::vector<PoolPuzzle> const& puzzles, std::vector<unsigned char>& blob, std::string& why) {
  if (puzzles.size() > static_cast<size_t>(queue_file_capacity())) {
    why = "at most " + std::to_string(queue_file_capacity()) + " games in one queue file";
    return false;
  }
  queue_data queue(0, 0, static_cast<unsigned>(puzzles.size()));
  std::unique_ptr<SudokuPuzzle, void (*)(SudokuPuzzle*)> h(sudoku_new(), sudoku_free);
  for (size_t i = 0; i < puzzles.size(); ++i) {
    PoolPuzzle const& p = puzzles[i];
    int clues[81], solution[81], groups[81], colours[9] = {};
    cells_of(p.clues, clues);
    cells_of(p.solution, solution);
    cells_of(p.groups, groups);
    colour_groups(groups, colours);
    int const map = p.kind.jigsaw ? 1 : 0, adjacency = p.kind.x ? 1 : 0;
    if (!sudoku_build_from_clues(h.get(), map, adjacency, p.bucket, clues, solution, groups, colours)) {
      why = "puzzle " + std::to_string(p.id) + ": the groups are not nine groups of nine cells";
      return false;
    }
    PuzzleData record{};
    sudoku_get_puzzle_bytes(h.get(), record.cells);
    sudoku_get_color_map(h.get(), record.color_map);
    record.map_type = static_cast<MAP_TYPE>(map);
    record.adjacency_type = static_cast<ADJACENCY_TYPE>(adjacency);
    record.difficulty = static_cast<UI_DIFFICULTY>(p.bucket);
    queue.set_game(record, static_cast<int>(i));
  }
  size_t length = 0;
  unsigned char const* data = queue.as_data(length);
  blob.assign(data, data + length);
  return true;
}

}  // namespace pool
