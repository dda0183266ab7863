// Clue budgets, symmetry, the symmetric clue pool and the initial clue sets.
#include "generator/clue_parameters.h"
#include "model/puzzle.h"
#include "util/combinations.h"
#include "util/random.h"

namespace {

CLUE_PARAMETERS const& entry_for(Puzzle const& p) {
  return clue_parameters[p.difficulty][p.map_type][p.adjacency_type];
}

}  // namespace

void Puzzle::set_n_clues(UI_QUALITY quality) {
  CLUE_ATOM const& top = entry_for(*this).top_atom();
  int const span = top.max_clues - top.min_clues;
  if (quality == UI_QUALITY_0 && difficulty > 3) {
    n_clues = top.max_clues;
    return;
  }
  uint32_t const r = arc4random_uniform(static_cast<uint32_t>(top.clue_cdf[span]) + 1);
  int i = 0;
  while (i < span && static_cast<int>(r) > top.clue_cdf[i]) ++i;
  n_clues = top.min_clues + i;
  if (quality == UI_QUALITY_1 && difficulty > 3 && n_clues <= top.min_clues + 1) n_clues += 2;
}

void Puzzle::set_symmetry() {
  uint32_t const r = arc4random_uniform(8);
  symmetry = r == 0 ? 2 : (r == 1 ? 0 : 1);
}

void Puzzle::build_sym_pool() {
  n_sym_pool = 0;
  for (int i = 0; i < 81; ++i) {
    PUZZLE_CELL* const partner = symmetry == 0 ? p_mir_sym_cell(&cells[i]) : p_rot_sym_cell(&cells[i]);
    if (partner - cells > i) sym_pool[n_sym_pool++] = i;
  }
}

PUZZLE_CELL* Puzzle::p_mir_sym_cell(PUZZLE_CELL* cell) {
  int const i = static_cast<int>(cell - cells);
  return &cells[(i / 9) * 9 + (8 - i % 9)];
}

PUZZLE_CELL* Puzzle::p_rot_sym_cell(PUZZLE_CELL* cell) { return &cells[80 - (cell - cells)]; }

PUZZLE_CELL* Puzzle::p_sym_cell(PUZZLE_CELL* cell) {
  return symmetry == 0 ? p_mir_sym_cell(cell) : p_rot_sym_cell(cell);
}

void Puzzle::set_center() {
  if (symmetry == 2 || (n_clues & 1) == 0) return;
  PUZZLE_CELL* const centre = symmetry == 1 ? &cells[40] : &cells[static_cast<int>(arc4random_uniform(9)) * 9 + 4];
  centre->mask = 1;
  centre->elim_bits = static_cast<uint32_t>(centre->solution);
}

void Puzzle::init_mask() {
  for (auto& cell : cells) {
    cell.mask = 0;
    cell.elim_bits = ALL_DIGITS;
  }
  set_center();
}

void Puzzle::set_initial_clues(int n) {
  bool const symmetric = symmetry != 2;
  int const size = symmetric ? n_sym_pool : 81;
  int const half = symmetric ? n / 2 : n;
  n_initial_clues = half;
  int order[81];
  do {
    init_mask();
    for (auto& entry : clue_cells) entry = nullptr;
    initialize_comb(size, order);
    random_combination(size, size, order);
    for (int i = 0; i < size; ++i) {
      PUZZLE_CELL* const cell = &cells[symmetric ? sym_pool[order[i]] : order[i]];
      clue_cells[i] = cell;
      if (i < half) {
        cell->mask = 1;
        if (symmetric) p_sym_cell(cell)->mask = 1;
      }
    }
  } while (long_run_of_clues());
  clue_cells_begin = &clue_cells[0];
  next_clue_cell = &clue_cells[half];
}

bool Puzzle::long_run_of_clues() {
  int dims[5] = {DIM_GROUP, DIM_ROW, DIM_COL, DIM_DIAG, DIM_ANTI_DIAG};
  int const n_dims = adjacency_type == ADJ_X ? 5 : 3;
  for (int k = 0; k < n_dims; ++k) {
    int const houses = dims[k] >= DIM_DIAG ? 1 : 9;
    for (int h = 0; h < houses; ++h) {
      PUZZLE_CELL* const first = ptrs_first_in_dims[dims[k]][h];
      int clues = 0;
      PUZZLE_CELL* c = first;
      do {
        clues += c->mask & 1;
        c = next_in(c, dims[k]);
      } while (c != first);
      if (clues > 7) return true;
    }
  }
  return false;
}

int Puzzle::count_mask() {
  int n = 0;
  for (auto const& cell : cells) n += cell.mask & 1;
  return n;
}

bool Puzzle::some_elim_bits_is_zero() {
  for (auto const& cell : cells)
    if (cell.elim_bits == 0) return true;
  return false;
}

int Puzzle::add_elim_bits() {
  uint32_t sum = 0;
  for (auto const& cell : cells) sum += cell.elim_bits;
  return static_cast<int>(sum);
}

void Puzzle::destroy_solution_if_no_mask() {
  for (auto& cell : cells)
    if (cell.mask == 0) cell.solution = 1;
}
