// Simple elimination to its fixed point with the peer sets of a scope: the same
// candidates, marks and first-round answer as repeated board rounds, also on
// contradictory boards; and the peer sets themselves.
#include <gtest/gtest.h>

#include <cstring>

#include "solver/elimination_pass.h"
#include "solver/peer_sets.h"
#include "testing/random_puzzles.h"

namespace {

using random_puzzles::Kind;

// Random candidates over a puzzle's clues: many singles (often clashing), a few
// empty cells and a few singles already marked as visited.
void scramble(Puzzle& p) {
  for (auto& cell : p.cells) {
    if (cell.mask & 1) continue;
    uint32_t const roll = arc4random_uniform(100);
    if (roll < 30)
      cell.elim_bits = 2u << arc4random_uniform(9);
    else if (roll < 32)
      cell.elim_bits = 0;
    else if (roll < 60)
      cell.elim_bits = (arc4random_uniform(511) + 1) << 1;
    if (n_candidates(cell.elim_bits) == 1 && arc4random_uniform(10) == 0) cell.mask |= 2;
  }
}

TEST(EliminationFixedPoint, EqualsRepeatedRoundsOnRandomBoards) {
  int contradictory = 0;
  for (Kind kind : {Kind::Regular, Kind::X, Kind::Jigsaw}) {
    sudoku_seed_random(900 + static_cast<int>(kind));
    random_puzzles::Generated const g = random_puzzles::generate(kind);
    Puzzle board;
    random_puzzles::load(board, kind, g);
    for (int trial = 0; trial < 150; ++trial) {
      Puzzle rounds(board);
      rounds.apply_mask();
      if (trial > 0) scramble(rounds);  // trial 0: the puzzle as the solver first sees it
      Puzzle fixed(rounds);
      bool const first = rounds.one_round_of_elimination();
      while (rounds.one_round_of_elimination()) {
      }
      peer_sets::PeerSetsScope const scope(fixed);
      ASSERT_EQ(elimination::to_fixed_point(fixed), first) << "kind " << int(kind) << " trial " << trial;
      ASSERT_EQ(std::memcmp(fixed.cells, rounds.cells, sizeof fixed.cells), 0)
          << "kind " << int(kind) << " trial " << trial;
      // At the fixed point a further call clears nothing and answers so.
      ASSERT_FALSE(elimination::to_fixed_point(fixed));
      ASSERT_EQ(std::memcmp(fixed.cells, rounds.cells, sizeof fixed.cells), 0);
      bool empty = false;
      for (auto const& cell : rounds.cells) empty |= cell.elim_bits == 0;
      contradictory += empty;
    }
  }
  sudoku_seed_random(0);
  // Contradictory boards were met often.
  EXPECT_GT(contradictory, 50);
}

int count(uint64_t const set[2]) { return __builtin_popcountll(set[0]) + __builtin_popcountll(set[1]); }

TEST(PeerSets, AreTheNeighbourTableAndCountAsExpected) {
  struct Case {
    Kind kind;
    int cell;
    int peers;
  };
  // A corner and the centre: on X boards the diagonals add 6 and 12 cells; on the
  // jigsaw layout the centre's group reaches into row 3 (one more peer) and the
  // corner's group takes (3,0) from its own column (one fewer).
  Case const cases[] = {{Kind::Regular, 0, 20}, {Kind::Regular, 40, 20}, {Kind::X, 0, 26}, {Kind::X, 40, 32},
                        {Kind::X, 1, 20},       {Kind::Jigsaw, 40, 21},  {Kind::Jigsaw, 0, 19}};
  for (Case const& c : cases) {
    random_puzzles::Layout const layout = random_puzzles::layout_for(c.kind);
    Puzzle p;
    test_boards::load_generation_board(p, std::string(81, '0').c_str(),
                                       "534678912672195348198342567859761423426853791713924856961537284287419635345286179",
                                       layout.matrix(), c.kind == Kind::X ? ADJ_X : ADJ_NONE);
    peer_sets::PeerSetsScope const scope(p);
    peer_sets::PeerSets const* sets = peer_sets::active_for(p);
    ASSERT_NE(sets, nullptr);
    EXPECT_EQ(count(sets->of[c.cell]), c.peers) << "kind " << int(c.kind) << " cell " << c.cell;
    EXPECT_EQ(sets->n_peers[c.cell], c.peers);
    for (int i = 0; i < 81; ++i)
      for (int j = 0; j < 81; ++j) {
        bool const in_set = (sets->of[i][j >> 6] >> (j & 63)) & 1;
        ASSERT_EQ(in_set, i != j && p.are_neighbors(&p.cells[i], &p.cells[j])) << i << " " << j;
      }
  }
}

}  // namespace
