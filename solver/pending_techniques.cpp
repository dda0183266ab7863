// Placeholders for the wing, chain, almost-locked-set and forcing-net techniques
// so that the ladder links before those techniques land. This file is replaced
// (deleted) when solver/wings_chains*.cpp and solver/als_forcing*.cpp arrive.
#include "model/puzzle.h"

bool Puzzle::simplify_XY_wing(PUZZLE_CELL*) { return false; }
bool Puzzle::simplify_XYZ_wing(PUZZLE_CELL*) { return false; }
bool Puzzle::simplify_w_wing() { return false; }
bool Puzzle::simplify_x_chain_vexor(int) { return false; }
void Puzzle::find_possible_nodes(CHAIN_NODE*) {}
bool Puzzle::do_xy_chain(CHAIN_NODE const&, CHAIN_NODE const&) { return false; }
bool Puzzle::simplify_almost_locked_sets() { return false; }
bool Puzzle::simplify_cell_forcing_net() { return false; }
