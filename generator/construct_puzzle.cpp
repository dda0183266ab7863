// Clue removal and rating: many independent tries, each a random symmetric clue
// set made solvable and thinned while the allowed techniques still solve it; the
// best-rated try wins.
#include <cstdio>
#include <cstring>
#include <ctime>

#include "generator/clue_parameters.h"
#include "generator/try_outcome.h"
#include "generator/uniqueness_probe.h"
#include "model/puzzle.h"
#include "solver/failure_memo.h"
#include "solver/peer_sets.h"
#include "solver/suffix_cache.h"
#include "util/combinations.h"
#include "util/message.h"

using generation::BoardSave;
using generation::entry_for;
using generation::TryOutcome;
using generation::TryTally;

int Puzzle::rate_puzzle() { return rate_puzzle(method_counts); }

int Puzzle::rate_puzzle(int const* counts) {
  CLUE_ATOM const& top = entry_for(*this).top_atom();
  int32_t const* const weights = rating_coefficients[top.rating_set];
  int const n = counts[kSlotClueCount];
  if (n > top.max_clues) return 0;
  // 32-bit two's-complement arithmetic that wraps on overflow.
  uint32_t rating = static_cast<uint32_t>(weights[0]) * static_cast<uint32_t>(40 - n);
  for (int m = 0; m <= 26; ++m) rating += static_cast<uint32_t>(weights[m + 1]) * static_cast<uint32_t>(counts[m]);
  return static_cast<int>(rating);
}

bool Puzzle::at_least_one_technique_for_difficulty(int const* counts) {
  CLUE_PARAMETERS const& entry = entry_for(*this);
  for (int a = 0; a < entry.n_atoms; ++a)
    if (counts[entry.atoms[entry.atom_order[a]].method] != 0) return true;
  return false;
}

bool Puzzle::try_all_parameter_atoms() {
  CLUE_PARAMETERS const& entry = entry_for(*this);
  for (int a = 0; a < entry.n_atoms; ++a) {
    METHOD_TYPE const m = entry.atoms[entry.atom_order[a]].method;
    apply_mask();
    solve(m);
    if (method_counts[kSlotUnsolved] == 0 && method_counts[m] != 0) return true;
  }
  return false;
}

int Puzzle::construct_puzzle(UI_QUALITY /*quality*/, MAP_TYPE /*map*/) {
  define_are_neighbors_array();
  set_n_clues(UI_QUALITY_2);
  set_symmetry();
  if (symmetry != 2) build_sym_pool();
  define_overlap_maps();
  int const result = make_puzzle(UI_QUALITY_2);
  for (auto& cell : cells) cell.mask &= 1;
  free_are_neighbors_array();
  return result;
}

int Puzzle::make_puzzle(UI_QUALITY quality) {
  if (generation_threads >= 2) return make_puzzle_on_threads(quality, generation_threads);
  CLUE_ATOM const& top = entry_for(*this).top_atom();
  int const itries = top.tries[quality];
  TryTally tally;
  int best_rating = 0;
  time_t const start = std::time(nullptr);
  BoardSave best;
  peer_sets::PeerSetsScope const peers(*this);  // the geometry stays for all the tries

  int i = 0;
  for (; i < itries; ++i) {
    if (cancel_is_requested()) break;
    make_solvable_puzzle();
    int const r = remove_clues_returning_rating(std::time(nullptr) + 600, 1);
    if (r > best_rating) {
      best_rating = r;
      best.take(*this);
      if (top.stop_on_exact && method_counts[kSlotClueCount] == n_clues) break;
    } else {
      tally.add_losing_try(TryOutcome::of(*this, r), top.max_clues);
    }
  }
  return generation::finish_tries(*this, best_rating, &best, i, itries, start, cancel_is_requested(), tally);
}

int generation::finish_tries(Puzzle& p, int best_rating, BoardSave const* best, int tries_made, int itries,
                             time_t start, bool stopped, TryTally const& tally) {
  CLUE_ATOM const& top = entry_for(p).top_atom();
  if (best_rating > 0 && best) {
    if (stopped) {
      if (p.difficulty < 7) return -4;
      bool const long_enough = std::time(nullptr) - start >= 595;
      if (!long_enough && best->counts[kSlotClueCount] > p.n_clues + 2) return -4;
    }
    best->give(p);
    engine_message("make_puzzle: itries=%d/%d rating=%d nclues=%d x_wing=%d\n", tries_made, itries,
                 best_rating, p.method_counts[kSlotClueCount], p.method_counts[X_WING]);
    return p.n_clues;
  }

  time_t const report_deadline = start + 1190;
  engine_message("make_puzzle FAILED -3: itries=%d/%d timeout=%s technique=%d difficulty=%d too_many_clues={ ",
               tries_made, itries, std::time(nullptr) > report_deadline ? "yes" : "no", static_cast<int>(top.method),
               static_cast<int>(p.difficulty));
  for (int c = 0; c < 81; ++c)
    if (tally.too_many_clues[c]) engine_message("%d:%d ", c, tally.too_many_clues[c]);
  engine_message("} wrong_technique=%d no_removable=%d min_clues=%d max_allowed=%d\n", tally.wrong_technique,
               tally.no_removable, tally.smallest_seen, top.max_clues);
  engine_message("  technique_totals: by_mult=%d dbl_restr=%d x_wing=%d x_chain=%d xy_chain=%d als=%d\n",
               tally.totals[0], tally.totals[1], tally.totals[3], tally.totals[4], tally.totals[5], tally.totals[2]);
  return -3;
}

void Puzzle::make_solvable_puzzle() {
  CLUE_ATOM const& top = entry_for(*this).top_atom();
  failure_memo::FailureMemoScope const memo(*this);  // one memo over all the solves of this clue set
  suffix_cache::SuffixCacheScope const cache(*this);
  peer_sets::PeerSetsScope const peers(*this);
  int const start = symmetry == 2 ? 40 : 40 + (n_clues & 1);
  // Every try starts from about 40 random clues, is made solvable and is then thinned
  // by clue removal. (A try that stood or fell with exactly n_clues random clues
  // would almost never have a unique solution at 18 to 27 clues, so the harder
  // difficulties would fail.)
  set_initial_clues(start);
  count_mask();
  apply_mask();
  solve(top.method);
  // The pool holds 81 cells without symmetry, else the symmetric half.
  PUZZLE_CELL** const pool_end = clue_cells_begin + (symmetry == 2 ? 81 : n_sym_pool);
  while (method_counts[kSlotUnsolved] && next_clue_cell < pool_end) {
    add_a_clue_or_two();
    solve(top.method);
  }
}

void Puzzle::add_a_clue_or_two() {
  PUZZLE_CELL* const cell = *next_clue_cell;
  cell->elim_bits = static_cast<uint32_t>(cell->solution);
  cell->mask = 1;
  if (symmetry != 2) {
    PUZZLE_CELL* const partner = p_sym_cell(cell);
    partner->elim_bits = static_cast<uint32_t>(partner->solution);
    partner->mask = 1;
  }
  ++next_clue_cell;
}

int Puzzle::remove_clues_returning_rating(time_t deadline, int passes) {
  if (method_counts[kSlotClueCount] <= n_clues) {
    if (method_counts[kSlotUnsolved] || !at_least_one_technique_for_difficulty(method_counts) || rate_puzzle() < 1) return 0;
    return rate_puzzle(method_counts);
  }
  failure_memo::FailureMemoScope const memo(*this);  // one memo over all the solves of the removals
  suffix_cache::SuffixCacheScope const cache(*this);
  peer_sets::PeerSetsScope const peers(*this);
  BoardSave working, kept;
  std::memset(working.counts, 0, sizeof working.counts);
  int best_rating = 0;
  bool improved = false;
  int order[81];
  initialize_comb(n_initial_clues, order);
  bool const symmetric = symmetry != 2;
  UniquenessProbe probe(*this);
  // A solved board has one solution, and every removal below is either kept (the board
  // is solved again) or undone, so that holds before each removal.
  bool const one_solution_before = method_counts[kSlotUnsolved] == 0;

  for (int pass = 0; pass < passes; ++pass) {
    if (pass > 0) random_combination(n_initial_clues, n_initial_clues, order);
    bool removed = false;
    for (int j = 0; j < n_initial_clues; ++j) {
      if (method_counts[kSlotClueCount] <= n_clues) break;
      if (std::time(nullptr) > deadline) return 0;
      PUZZLE_CELL* const cell = clue_cells[order[j]];
      PUZZLE_CELL* const partner = symmetric ? p_sym_cell(cell) : nullptr;
      cell->mask = 0;
      --method_counts[kSlotClueCount];
      if (partner) {
        partner->mask = 0;
        --method_counts[kSlotClueCount];
      }
      apply_mask();
      bool const second_solution =
          one_solution_before
              ? probe.has_second_solution_after_removing(*this, static_cast<int>(cell - cells),
                                                         partner ? static_cast<int>(partner - cells) : -1)
              : probe.has_second_solution(*this);
      if (second_solution) {
        // The solver would report this clue set unsolved; its technique counts, which
        // only the failure diagnostics read, stay empty.
        int const clues = method_counts[kSlotClueCount];
        std::memset(method_counts, 0, sizeof method_counts);
        method_counts[kSlotClueCount] = clues;
        method_counts[kSlotUnsolved] = 1;
      } else {
        solve(entry_for(*this).top_atom().method);
      }
      if (method_counts[kSlotUnsolved]) {
        cell->mask = 1;
        ++method_counts[kSlotClueCount];
        if (partner) {
          partner->mask = 1;
          ++method_counts[kSlotClueCount];
        }
        continue;
      }
      removed = true;
      if (at_least_one_technique_for_difficulty(method_counts) && rate_puzzle() > 0)
        working.take(*this);
      else if (!at_least_one_technique_for_difficulty(working.counts))
        working.take(*this);
    }
    if (removed && at_least_one_technique_for_difficulty(working.counts)) {
      int const r = rate_puzzle(working.counts);
      if (r > best_rating) {
        best_rating = r;
        kept = working;
        improved = true;
      }
    }
  }
  if (improved) kept.give(*this);
  return best_rating;
}
