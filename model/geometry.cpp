// Board geometry: houses, ring links, house entry points, the neighbour table
// and the line/group overlap map.
#include <cstdlib>
#include <cstring>

#include "model/puzzle.h"

// A new board reads as all zeros (no table, stop flags clear, no deadline) rather
// than as uninitialised memory.
Puzzle::Puzzle() { std::memset(static_cast<void*>(this), 0, sizeof(Puzzle)); }

Puzzle::~Puzzle() { free_are_neighbors_array(); }

Puzzle::Puzzle(Puzzle const& other) {
  std::memcpy(static_cast<void*>(this), static_cast<void const*>(&other), sizeof(Puzzle));
  are_neighbors_array = nullptr;
  if (other.are_neighbors_array) define_are_neighbors_array();
  // Pointer members are rebased onto this board's own cells.
  auto rebase = [&](PUZZLE_CELL* p) -> PUZZLE_CELL* {
    if (p >= other.cells && p < other.cells + 81) return cells + (p - other.cells);
    return p;
  };
  for (auto& dim : ptrs_first_in_dims)
    for (auto& p : dim) p = rebase(p);
  for (auto& p : ordered_ptrs) p = rebase(p);
  for (auto& p : clue_cells) p = rebase(p);
  auto rebase_entry = [&](PUZZLE_CELL** e) -> PUZZLE_CELL** {
    PUZZLE_CELL* const* const begin = other.clue_cells;
    if (e >= begin && e <= begin + 81) return clue_cells + (e - begin);
    return e;
  };
  clue_cells_begin = rebase_entry(clue_cells_begin);
  next_clue_cell = rebase_entry(next_clue_cell);
}

void Puzzle::free_are_neighbors_array() {
  std::free(are_neighbors_array);
  are_neighbors_array = nullptr;
}

void Puzzle::setup(Matrix<int, 9> const& groups) {
  std::memset(static_cast<void*>(cells), 0, sizeof cells);
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) cells[r * 9 + c].house[DIM_GROUP] = groups[r][c];
  rebuild_geometry_from_groups();
}

void Puzzle::setup_with_grp_set() { rebuild_geometry_from_groups(); }

bool Puzzle::groups_form_partition() const {
  int sizes[9] = {0};
  for (auto const& cell : cells) {
    int const g = cell.house[DIM_GROUP];
    if (g < 0 || g > 8) return false;
    ++sizes[g];
  }
  for (int s : sizes)
    if (s != 9) return false;
  return true;
}

void Puzzle::rebuild_geometry_from_groups() {
  bool const valid_groups = groups_form_partition();
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      PUZZLE_CELL& cell = cells[r * 9 + c];
      if (!valid_groups) cell.house[DIM_GROUP] = square_group_map[r][c];
      cell.house[DIM_ROW] = r;
      cell.house[DIM_COL] = c;
      cell.house[DIM_DIAG] = (r == c) ? 0 : -1;
      cell.house[DIM_ANTI_DIAG] = (r + c == 8) ? 0 : -1;
    }
  setup_ptrs_first_in_dims();
  link_rings();
}

void Puzzle::link_rings() {
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      PUZZLE_CELL& cell = cells[r * 9 + c];
      cell.next_in_dim[DIM_ROW] = (c < 8) ? 1 : -8;
      cell.next_in_dim[DIM_COL] = (r < 8) ? 9 : -72;
      cell.next_in_dim[DIM_DIAG] = 0;
      cell.next_in_dim[DIM_ANTI_DIAG] = 0;
    }
  for (int k = 0; k < 9; ++k) {
    cells[k * 9 + k].next_in_dim[DIM_DIAG] = (k < 8) ? 10 : -80;
    cells[k * 9 + (8 - k)].next_in_dim[DIM_ANTI_DIAG] = (k < 8) ? 8 : -64;
  }
  for (int g = 0; g < 9; ++g) {
    PUZZLE_CELL* const first = ptrs_first_in_dims[DIM_GROUP][g];
    if (!first) continue;
    int const start = static_cast<int>(first - cells);
    int prev = start;
    for (int i = start + 1; i < 81; ++i)
      if (cells[i].house[DIM_GROUP] == g) {
        cells[prev].next_in_dim[DIM_GROUP] = i - prev;
        prev = i;
      }
    cells[prev].next_in_dim[DIM_GROUP] = start - prev;
  }
}

void Puzzle::setup_ptrs_first_in_dims() {
  for (int i = 0; i < 9; ++i) {
    ptrs_first_in_dims[DIM_ROW][i] = &cells[i * 9];
    ptrs_first_in_dims[DIM_COL][i] = &cells[i];
    ptrs_first_in_dims[DIM_GROUP][i] = nullptr;
    ptrs_first_in_dims[DIM_DIAG][i] = nullptr;
    ptrs_first_in_dims[DIM_ANTI_DIAG][i] = nullptr;
  }
  for (auto& cell : cells) {
    int const g = cell.house[DIM_GROUP];
    if (g >= 0 && g <= 8 && !ptrs_first_in_dims[DIM_GROUP][g]) ptrs_first_in_dims[DIM_GROUP][g] = &cell;
  }
  ptrs_first_in_dims[DIM_DIAG][0] = &cells[0];
  ptrs_first_in_dims[DIM_ANTI_DIAG][0] = &cells[8];
}

void Puzzle::define_are_neighbors_array() {
  if (!are_neighbors_array) are_neighbors_array = static_cast<unsigned char*>(std::calloc(81 * 81, 1));
  bool const x = adjacency_type == ADJ_X;
  for (int i = 0; i < 81; ++i) {
    PUZZLE_CELL const& a = cells[i];
    int const ar = i / 9, ac = i % 9;
    for (int j = 0; j < 81; ++j) {
      PUZZLE_CELL const& b = cells[j];
      int const br = j / 9, bc = j % 9;
      bool n = ar == br || ac == bc || a.house[DIM_GROUP] == b.house[DIM_GROUP];
      if (!n && x) n = (ar == ac && br == bc) || (ar + ac == 8 && br + bc == 8);
      are_neighbors_array[i * 81 + j] = n ? 1 : 0;
    }
  }
}

void Puzzle::define_overlap_maps() {
  std::memset(line_group_overlap, 0, sizeof line_group_overlap);
  bool const x = adjacency_type == ADJ_X;
  for (int i = 0; i < 81; ++i) {
    int const r = i / 9, c = i % 9, g = cells[i].house[DIM_GROUP];
    if (g < 0 || g > 8) continue;
    line_group_overlap[0][r][g] = true;
    line_group_overlap[1][c][g] = true;
    if (x && r == c) line_group_overlap[2][0][g] = true;
    if (x && r + c == 8) line_group_overlap[3][0][g] = true;
  }
}

int Puzzle::houses_of(PUZZLE_CELL const* cell, int dims_out[5]) const {
  int n = 0;
  dims_out[n++] = DIM_GROUP;
  dims_out[n++] = DIM_ROW;
  dims_out[n++] = DIM_COL;
  if (adjacency_type == ADJ_X) {
    if (cell->house[DIM_DIAG] == 0) dims_out[n++] = DIM_DIAG;
    if (cell->house[DIM_ANTI_DIAG] == 0) dims_out[n++] = DIM_ANTI_DIAG;
  }
  return n;
}

void Puzzle::set_types(MAP_TYPE map, ADJACENCY_TYPE adjacency) {
  map_type = map;
  adjacency_type = adjacency;
}

void Puzzle::set_difficulty(UI_DIFFICULTY d) { difficulty = d; }

void Puzzle::set_color_map(int const colors[9]) {
  for (int g = 0; g < 9; ++g) color_map[g] = colors[g];
}

void Puzzle::store_both_stop_flags(bool v) {
  // The two flags are adjacent bytes of one aligned 16-bit word: one store sets both.
  using FlagPair = uint16_t __attribute__((may_alias));
  __atomic_store_n(reinterpret_cast<FlagPair*>(&cancel_requested), static_cast<uint16_t>(v ? 0x0101 : 0),
                   __ATOMIC_RELAXED);
}

int const square_group_map[9][9] = {
    {0, 0, 0, 1, 1, 1, 2, 2, 2}, {0, 0, 0, 1, 1, 1, 2, 2, 2}, {0, 0, 0, 1, 1, 1, 2, 2, 2},
    {3, 3, 3, 4, 4, 4, 5, 5, 5}, {3, 3, 3, 4, 4, 4, 5, 5, 5}, {3, 3, 3, 4, 4, 4, 5, 5, 5},
    {6, 6, 6, 7, 7, 7, 8, 8, 8}, {6, 6, 6, 7, 7, 7, 8, 8, 8}, {6, 6, 6, 7, 7, 7, 8, 8, 8},
};

// Published for hosts; the engine computes the neighbour relation per board instead.
bool const rows_cols_relation[81][81] = {};
bool const x_relation[81][81] = {};
bool const square_groups_relation[81][81] = {};
