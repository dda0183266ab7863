// Hidden singles, cell restrictions and double restrictions read what houses and
// line-group crossings hold; on many random boards they must change the board and
// the technique counts exactly as the plain searches that walk a house per cell and
// digit (written out here with the board's unchanged single-step members).
#include <gtest/gtest.h>

#include <cstring>

#include "solver/restrictions.h"
#include "testing/random_puzzles.h"

namespace {

using random_puzzles::Kind;

// Random candidates: open cells keep a random half of their digits, some become singles.
void thin(Puzzle& p) {
  for (auto& cell : p.cells) {
    if (cell.mask & 1) continue;
    uint32_t const roll = arc4random_uniform(100);
    if (roll < 10)
      cell.elim_bits = 2u << arc4random_uniform(9);
    else if (roll < 80)
      cell.elim_bits &= ((arc4random_uniform(511) + 1) << 1) | static_cast<uint32_t>(cell.solution);
  }
}

bool plain_restriction_for_dim(Puzzle& p, PUZZLE_CELL* cell, DIMENSION dim) {
  uint32_t const digits = cell->elim_bits;
  bool any = false;
  for (int d = 1; d <= 9; ++d) {
    uint32_t const bit = 1u << d;
    if (!(digits & bit)) continue;
    if (p.restriction_for_cell_dims_and_digit(cell, bit, dim, DIM_GROUP)) {
      ++p.method_counts[kSlotLineToGroup];
      any = true;
    }
    if (p.restriction_for_cell_dims_and_digit(cell, bit, DIM_GROUP, dim)) {
      ++p.method_counts[kSlotGroupToLine];
      any = true;
    }
  }
  return any;
}

bool plain_cell_restriction(Puzzle& p) {
  for (auto& cell : p.cells) {
    if (n_candidates(cell.elim_bits) == 1) continue;
    for (int dim = DIM_ROW; dim <= DIM_COL; ++dim)
      if (plain_restriction_for_dim(p, &cell, static_cast<DIMENSION>(dim))) return true;
    if (p.adjacency_type != ADJ_X) continue;
    for (int dim = DIM_DIAG; dim <= DIM_ANTI_DIAG; ++dim)
      if (cell.house[dim] == 0 && plain_restriction_for_dim(p, &cell, static_cast<DIMENSION>(dim))) return true;
  }
  return false;
}

bool plain_hidden_single(Puzzle& p) {
  for (auto& cell : p.cells)
    if (n_candidates(cell.elim_bits) != 1 && p.simplify_cell_using_digits(&cell)) return true;
  return false;
}

bool plain_double_restriction(Puzzle& p) {
  for (int dim = DIM_ROW; dim <= DIM_COL; ++dim) {
    DIMENSION const d = static_cast<DIMENSION>(dim);
    for (int l1 = 0; l1 < 8; ++l1)
      for (int g1 = 0; g1 < 8; ++g1)
        for (int l2 = l1 + 1; l2 < 9; ++l2)
          for (int g2 = g1 + 1; g2 < 9; ++g2)
            if (p.line_and_group_overlap(d, l1, g1) && p.line_and_group_overlap(d, l2, g1) &&
                p.line_and_group_overlap(d, l1, g2) && p.line_and_group_overlap(d, l2, g2) &&
                p.double_restriction_for_lines_and_groups(d, l1, l2, g1, g2))
              return true;
  }
  return false;
}

TEST(HouseMasks, RungsMatchThePlainSearchesOnRandomBoards) {
  struct Rung {
    char const* name;
    bool (*plain)(Puzzle&);
    bool (*fast)(Puzzle&);
  };
  Rung const rungs[] = {
      {"hidden singles", plain_hidden_single, [](Puzzle& p) { return p.simplify_once_by_cells(HIDDEN_SINGLES); }},
      {"cell restriction", plain_cell_restriction,
       [](Puzzle& p) { return p.simplify_once_by_cells(CELL_RESTRICTION); }},
      {"double restriction", plain_double_restriction, restrictions::double_restriction_once},
  };
  int found[3] = {};
  for (Kind kind : {Kind::Regular, Kind::X, Kind::Jigsaw}) {
    sudoku_seed_random(700 + static_cast<int>(kind));
    random_puzzles::Generated const g = random_puzzles::generate(kind);
    Puzzle board;
    random_puzzles::load(board, kind, g);
    for (int trial = 0; trial < 60; ++trial) {
      board.apply_mask();
      thin(board);
      for (int r = 0; r < 3; ++r) {
        Puzzle plain(board), fast(board);
        // Each rung is applied until it finds nothing, so later finds meet changed boards.
        for (int step = 0; step < 40; ++step) {
          bool const a = rungs[r].plain(plain);
          ASSERT_EQ(rungs[r].fast(fast), a) << rungs[r].name << " kind " << int(kind) << " trial " << trial;
          ASSERT_EQ(std::memcmp(plain.cells, fast.cells, sizeof plain.cells), 0) << rungs[r].name;
          ASSERT_EQ(std::memcmp(plain.method_counts, fast.method_counts, sizeof plain.method_counts), 0)
              << rungs[r].name;
          if (!a) break;
          ++found[r];
        }
      }
    }
  }
  sudoku_seed_random(0);
  for (int r = 0; r < 3; ++r) EXPECT_GT(found[r], 20) << rungs[r].name;
}

}  // namespace
