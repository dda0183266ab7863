// The solver driver: the technique ladder, the recursion that applies easier
// techniques to exhaustion before a harder one is tried, the dispatcher and the
// solver statistics.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "model/puzzle.h"
#include "solver/chain_walks.h"
#include "solver/elimination_pass.h"
#include "solver/failure_memo.h"
#include "solver/peer_sets.h"
#include "solver/restrictions.h"
#include "solver/suffix_cache.h"

namespace {

// Set when the running solve took its end from the suffix cache (one solve at a
// time per thread).
thread_local bool finished_from_cache = false;
thread_local bool solved_from_cache = false;

// Values that simplify() dispatches to a technique.
bool has_technique(int m) {
  switch (m) {
    case HIDDEN_SINGLES:
    case CELL_RESTRICTION:
    case MULTIPLE_DIGITS:
    case DOUBLE_RESTRICTION:
    case ALMOST_LOCKED_SETS:
    case INACTIVE_FISH:
    case X_WING:
    case SWORDFISH:
    case JELLYFISH:
    case X_CHAINS:
    case XY_CHAINS:
    case XY_XYZ_WINGS:
    case LARGE_FISH:
    case FRANKEN_FISH:
    case FINNED_FISH:
    case FINNED_FISH_ALT:
    case SHORT_X_CHAINS:
    case FORCING_NET:
    case BRUTE_FORCE:
    case W_WING:
      return true;
    default:
      return false;
  }
}

// A value without a technique is a programming error of the caller.
[[noreturn]] void reject_method(int m) {
  std::fprintf(stderr, "simplify: no technique for method %d\n", m);
  std::exit(5);
}

}  // namespace

METHOD_TYPE Puzzle::predecessor(METHOD_TYPE m) {
  switch (m) {
    case ALMOST_LOCKED_SETS: return XY_CHAINS;
    case X_WING: return DOUBLE_RESTRICTION;
    case SWORDFISH: return X_WING;
    case JELLYFISH: return W_WING;
    case X_CHAINS: return JELLYFISH;
    case XY_CHAINS: return X_CHAINS;
    case XY_XYZ_WINGS: return SHORT_X_CHAINS;
    case FRANKEN_FISH: return ALMOST_LOCKED_SETS;
    case FINNED_FISH:
    case FINNED_FISH_ALT:
    case FORCING_NET: return FRANKEN_FISH;
    case SHORT_X_CHAINS: return SWORDFISH;
    case BRUTE_FORCE: return FORCING_NET;
    case W_WING: return XY_XYZ_WINGS;
    default: return static_cast<METHOD_TYPE>(m - 1);
  }
}

void Puzzle::solve(METHOD_TYPE hardest) {
  std::memset(method_counts, 0, sizeof method_counts);
  int clues = 0;
  for (auto const& cell : cells) clues += cell.mask & 1;
  method_counts[kSlotClueCount] = clues;
  failure_memo::FailureMemoScope const memo(*this);
  peer_sets::PeerSetsScope const peers(*this);
  bool const cached = suffix_cache::begin_solve(*this, hardest);
  finished_from_cache = false;
  SOLVER_RESULT_CODE r = solve_by_recursion(hardest);
  if (cached) {
    // A solve finished from the cache unwinds as if cancelled.
    if (finished_from_cache) r = solved_from_cache ? SOLVED : UNSOLVED;
    suffix_cache::end_solve(*this, r == SOLVED, r != CANCELLED);
  }
  method_counts[kSlotUnsolved] = (r != SOLVED) ? 1 : 0;
  for (auto& cell : cells) cell.mask &= 1;
}

SOLVER_RESULT_CODE Puzzle::solve_by_recursion(METHOD_TYPE m) {
  if (cancel_is_requested()) return CANCELLED;
  if (m == SIMPLE_ELIMINATION) {
    if (!elimination::to_fixed_point(*this)) return NO_PROGRESS;
    ++method_counts[SIMPLE_ELIMINATION];
    return puzzle_is_solved() ? SOLVED : UNSOLVED;
  }
  // Checked before descending: a value below the ladder would otherwise recurse without end.
  if (!has_technique(m)) reject_method(m);
  for (;;) {
    SOLVER_RESULT_CODE const r = solve_by_recursion(predecessor(m));
    if (r == SOLVED || r == CANCELLED) return r;
    if (m == BRUTE_FORCE) {
      // Brute force only counts solutions and leaves the board as it was, so as a
      // ladder step it never makes progress; its slot records a unique solution.
      if (simplify(m)) ++method_counts[BRUTE_FORCE];
      return r;
    }
    if (m == suffix_cache::kRung && suffix_cache::finish_from_cache(*this, &solved_from_cache)) {
      finished_from_cache = true;
      return CANCELLED;
    }
    if (!simplify(m)) return r;
    ++method_counts[m];
    if (puzzle_is_solved()) return SOLVED;
  }
}

bool Puzzle::simplify(METHOD_TYPE m) {
  switch (m) {
    case HIDDEN_SINGLES:
    case CELL_RESTRICTION:
      return simplify_once_by_cells(m);
    case MULTIPLE_DIGITS:
      return simplify_once_over_dim(m);
    case DOUBLE_RESTRICTION:
      return restrictions::double_restriction_once(*this);
    case ALMOST_LOCKED_SETS:
      return simplify_almost_locked_sets();
    case INACTIVE_FISH:
    case X_WING:
    case SWORDFISH:
    case JELLYFISH:
    case LARGE_FISH:
    case FRANKEN_FISH:
      return simplify_once_fish_methods(m);
    case X_CHAINS:
      return simplify_x_chain_vexor(-1);
    case XY_CHAINS: {
      chain_walks::XyChainSearchScope const house_counts(*this);
      CHAIN_NODE nodes[81];
      std::memset(nodes, 0, sizeof nodes);
      find_possible_nodes(nodes);
      for (int i = 0; i < 80; ++i) {
        if (nodes[i].n_dims == 0) continue;
        cells[i].user_answer = 1;
        for (int j = i + 1; j < 81; ++j) {
          if (nodes[j].n_dims == 0 || !are_neighbors(&cells[i], &cells[j]) ||
              (cells[i].elim_bits & cells[j].elim_bits) == 0)
            continue;
          cells[j].user_answer = 1;
          if (do_xy_chain(nodes[i], nodes[j]) || do_xy_chain(nodes[j], nodes[i])) {
            cells[j].user_answer = 0;
            cells[i].user_answer = 0;
            return true;
          }
          cells[j].user_answer = 0;
        }
        cells[i].user_answer = 0;
      }
      return false;
    }
    case XY_XYZ_WINGS:
      return simplify_XY_XYZ_wing();
    case FINNED_FISH:
    case FINNED_FISH_ALT:
      return simplify_fins_rows_cols();
    case SHORT_X_CHAINS:
      return simplify_x_chain_vexor(4);
    case FORCING_NET:
      return simplify_cell_forcing_net();
    case BRUTE_FORCE:
      return solve_by_brute_force(nullptr, 0);
    case W_WING:
      return simplify_w_wing();
    default:
      reject_method(m);
  }
}

// ---- members with fixed trivial bodies (no technique of the ladder reaches them) ----

bool mutant_chains(unsigned) { return false; }
bool turbot_chains(unsigned) { return false; }
bool Puzzle::als3(PUZZLE_CELL*, PUZZLE_CELL*, PUZZLE_CELL*) { return false; }
bool Puzzle::simplify_once_mutant_fish_for_digit(unsigned, int, int, int (*)[9]) { return false; }
bool Puzzle::simplify_using_chains_for_cell_and_digit(PUZZLE_CELL*, unsigned, CHAINS_PATTERN) { return false; }
void Puzzle::check_elim_bits_over_dims() {}
void Puzzle::yield() {}
