// Classification of a clue grid: the solver climbs the ladder one rung at a time,
// every cell remembers the rung that solved it, and the completion counter settles
// what logic leaves open.
#include "classify/classify.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "classify/canonical.h"
#include "classify/grids.h"
#include "matrix_engine/matrix_engine.h"
#include "model/puzzle.h"

namespace {

constexpr int kBruteForceLevel = kLadderLength;  // level index of a puzzle settled by the completion count

// The single digit of a candidate mask, 0 when it holds none or several.
int single_digit(uint32_t elim_bits) { return digit_of_bit(elim_bits & ALL_DIGITS); }

int quickie_threshold(MAP_TYPE map, ADJACENCY_TYPE adj) {
  if (map == MAP_REGULAR) return adj == ADJ_NONE ? 34 : adj == ADJ_X ? 32 : 28;
  if (map == MAP_IRREGULAR) return adj == ADJ_NONE ? 31 : 28;
  return 28;
}

char const* bucket_of(PuzzleClassifyResult const& r, MAP_TYPE map, ADJACENCY_TYPE adj) {
  if (!(r.solved && r.unique)) return "unsolvable";
  if (r.level_index <= 0) return gen_bucket_name(r.n_givens >= quickie_threshold(map, adj) ? 0 : 1);
  if (r.level_index >= kBruteForceLevel) return gen_bucket_name(9);
  return gen_bucket_name(method_type_to_bucket(level_ladder[r.level_index]));
}

// One rung: solve(level) on the candidates left by the rungs below. When those rungs
// left the board stuck (every easier technique fails and every single is propagated),
// solve() would first re-run all of them without effect; starting with the rung's own
// technique gives the same candidates and the same statistics.
thread_local bool full_rungs = false;

void climb_rung(Puzzle& p, METHOD_TYPE level, bool stuck_below) {
  if (!stuck_below || level == SIMPLE_ELIMINATION || full_rungs) {
    p.solve(level);
    return;
  }
  std::memset(p.method_counts, 0, sizeof p.method_counts);
  for (auto const& cell : p.cells) p.method_counts[kSlotClueCount] += cell.mask & 1;
  SOLVER_RESULT_CODE r = UNSOLVED;
  if (p.simplify(level)) {
    ++p.method_counts[level];
    r = p.puzzle_is_solved() ? SOLVED : UNSOLVED;
    while (r != SOLVED) {
      SOLVER_RESULT_CODE const below = p.solve_by_recursion(Puzzle::predecessor(level));
      if (below == SOLVED) {
        r = SOLVED;
        break;
      }
      if (!p.simplify(level)) break;
      ++p.method_counts[level];
      if (p.puzzle_is_solved()) r = SOLVED;
    }
  }
  p.method_counts[kSlotUnsolved] = r != SOLVED ? 1 : 0;
  for (auto& cell : p.cells) cell.mask &= 1;
}

// Fine atoms of a rung and the debug trace line.
struct RungAtoms {
  int n_fine = 0;
  int first_fine = -1;
  int n_xchain = 0;
  int best_xchain = -1;
};

RungAtoms read_atoms(int const* counts, int rung, METHOD_TYPE level) {
  RungAtoms a;
  int best_xchain_count = 0;
  for (int slot = kSlotFirstAtom; slot <= kSlotLastAtom; ++slot) {
    if (counts[slot] <= 0 || !atom_fits_level(slot, level)) continue;
    if (a.n_fine++ == 0) a.first_fine = slot;
    if (slot >= kSlotThreeLinkSameLine && slot <= kSlotThreeLinkOtherHouse) {
      ++a.n_xchain;
      if (counts[slot] > best_xchain_count) best_xchain_count = counts[slot], a.best_xchain = slot;
    }
  }
  if (std::getenv("SUDOKU_CLASSIFY_DEBUG")) {
    std::fprintf(stderr, "level li=%d L=%d fine_atoms=%d:", rung, static_cast<int>(level), a.n_fine);
    for (int slot = kSlotFirstAtom; slot <= kSlotLastAtom; ++slot)
      if (counts[slot] > 0)
        std::fprintf(stderr, " atom%d(+%d)%s", slot, counts[slot], atom_fits_level(slot, level) ? "" : "[cascade]");
    std::fputs("\n", stderr);
  }
  return a;
}

void start_result(PuzzleClassifyResult& r, int const clues[9][9]) {
  std::memset(&r, 0, sizeof r);
  r.level_index = -1;
  for (int c = 0; c < 81; ++c) {
    int const v = clues[c / 9][c % 9];
    r.given[c] = v != 0;
    r.value[c] = v;
    r.method[c] = -2;
    r.n_givens += v != 0;
  }
}

// Climbs the ladder; returns true when every cell became known.
bool solve_by_ladder(Puzzle& p, PuzzleClassifyResult& r) {
  bool known_before[81];
  for (int c = 0; c < 81; ++c) known_before[c] = r.given[c];
  for (int rung = 0; rung < kLadderLength; ++rung) {
    METHOD_TYPE const level = level_ladder[rung];
    climb_rung(p, level, rung > 0);
    bool all_known = true;
    for (int c = 0; c < 81; ++c) {
      int const d = single_digit(p.cells[c].elim_bits);
      bool const known = r.given[c] || d != 0;
      all_known = all_known && known;
      if (known && !known_before[c] && r.method[c] == -2) {
        r.method[c] = level;
        r.value[c] = d;
        r.level_index = rung;
      }
      known_before[c] = known;
    }
    RungAtoms const atoms = read_atoms(p.method_counts, rung, level);
    int refined = -1;
    if (atoms.n_fine == 1)
      refined = atoms.first_fine;
    else if (level == SHORT_X_CHAINS && atoms.n_xchain > 0)
      refined = atoms.best_xchain;
    if (refined >= 0)
      for (int& m : r.method)
        if (m == level) m = refined;
    if (all_known) return true;
  }
  return false;
}

// Settles an unfinished puzzle with the completion counter.
void settle_by_count(MAP_TYPE, ADJACENCY_TYPE adj, int const clues[9][9], int const grp[9][9], long budget,
                     PuzzleClassifyResult& r) {
  using namespace matrix_engine;
  std::shared_ptr<Ops const> const ops = compile_shared(adj == ADJ_X, grp);
  Vec cand, placed;
  cand.fill_all();
  for (int c = 0; c < 81; ++c)
    if (clues[c / 9][c % 9]) placed.set(lit(c, clues[c / 9][c % 9]));
  long long nodes = budget >= 1 ? budget : (1LL << 62);
  int out[2][81] = {};
  int const n = count_completions_collect(*ops, cand, placed, 2, out, 0, nodes);
  if (n < 0) {
    r.budget_exhausted = true;
    return;
  }
  r.has_solution = n >= 1;
  r.unique = n == 1;
  if (n != 1) return;
  for (int c = 0; c < 81; ++c)
    if (!r.given[c] && r.method[c] == -2) {
      r.value[c] = out[0][c];
      r.method[c] = BRUTE_FORCE;
    }
  r.level_index = kBruteForceLevel;
  r.solved = true;
}

void finish_names(PuzzleClassifyResult& r, MAP_TYPE map, ADJACENCY_TYPE adj) {
  r.bucket = bucket_of(r, map, adj);
  r.label = level_label(r.level_index, r.bucket[0] == 'q');
}

PuzzleClassifyResult contradiction_result(ClassifyGrids const& g) {
  PuzzleClassifyResult r;
  start_result(r, g.clues);
  r.bucket = "unsolvable";
  r.label = "No solution — the given digits contradict";
  return r;
}

PuzzleClassifyResult classify_sanitised(MAP_TYPE map, ADJACENCY_TYPE adj, ClassifyGrids const& g, long budget) {
  PuzzleClassifyResult r;
  start_result(r, g.clues);
  {
    Puzzle p;
    setup_puzzle_from_grids(p, map, adj, g.clues, g.groups);
    r.solved = solve_by_ladder(p, r);
  }
  if (r.solved)
    r.has_solution = r.unique = true;
  else
    settle_by_count(map, adj, g.clues, g.groups, budget, r);
  finish_names(r, map, adj);
  return r;
}

// Per-cell results of an oriented classification back in the caller's orientation,
// with digit_map (oriented digit -> caller's digit) when not null.
void map_back(PuzzleClassifyResult& r, int t, int const* digit_map) {
  PuzzleClassifyResult const oriented = r;
  for (int row = 0; row < 9; ++row)
    for (int col = 0; col < 9; ++col) {
      int tr, tc;
      orient_cell(t, row, col, &tr, &tc);
      int const from = 9 * tr + tc, to = 9 * row + col;
      r.given[to] = oriented.given[from];
      r.method[to] = oriented.method[from];
      int const v = oriented.value[from];
      r.value[to] = (digit_map && v >= 1 && v <= 9) ? digit_map[v] : v;
    }
}

}  // namespace

void classify_use_full_rungs(bool on) { full_rungs = on; }

bool group_map_is_partition(int const grp[9][9]) {
  int sizes[9] = {};
  for (int c = 0; c < 81; ++c) {
    int const g = grp[c / 9][c % 9];
    if (g < 0 || g > 8) return false;
    ++sizes[g];
  }
  for (int s : sizes)
    if (s != 9) return false;
  return true;
}

bool clues_consistent(ADJACENCY_TYPE adj, int const clues[9][9], int const grp[9][9]) {
  int row_seen[9][10] = {}, col_seen[9][10] = {}, group_seen[9][10] = {}, diag_seen[2][10] = {};
  for (int r = 0; r < 9; ++r)
    for (int c = 0; c < 9; ++c) {
      int const v = clues[r][c];
      if (v < 1 || v > 9) continue;
      if (++row_seen[r][v] > 1 || ++col_seen[c][v] > 1) return false;
      int const g = grp[r][c];
      if (g >= 0 && g <= 8 && ++group_seen[g][v] > 1) return false;
      if (adj == ADJ_X) {
        if (r == c && ++diag_seen[0][v] > 1) return false;
        if (r + c == 8 && ++diag_seen[1][v] > 1) return false;
      }
    }
  return true;
}

void setup_puzzle_from_grids(Puzzle& p, MAP_TYPE map, ADJACENCY_TYPE adj, int const clues[9][9],
                             int const grp[9][9]) {
  p.free_are_neighbors_array();
  std::memset(static_cast<void*>(&p), 0, sizeof(Puzzle));
  p.map_type = map;
  p.adjacency_type = adj;
  p.difficulty = UI_FIENDISH;
  Matrix<int, 9> groups;
  std::memcpy(groups.data(), grp, sizeof(int) * 81);
  p.setup(groups);  // a map that is not a partition becomes the boxes
  for (int c = 0; c < 81; ++c) {
    uint32_t const bit = bit_of_digit(clues[c / 9][c % 9]);  // values outside 1..9 stay empty
    if (!bit) continue;
    p.cells[c].mask = 1;
    p.cells[c].solution = static_cast<int32_t>(bit);
  }
  p.apply_mask();
  p.define_are_neighbors_array();
  p.define_overlap_maps();
}

PuzzleClassifyResult classify_puzzle_direct(MAP_TYPE map, ADJACENCY_TYPE adj, int const clues[9][9],
                                            int const grp[9][9], long budget) {
  return classify_sanitised(map, adj, ClassifyGrids(clues, grp), budget);
}

PuzzleClassifyResult classify_puzzle(MAP_TYPE map, ADJACENCY_TYPE adj, int const clues[9][9], int const grp[9][9],
                                     long budget) {
  ClassifyGrids const g(clues, grp);
  if (!clues_consistent(adj, g.clues, g.groups)) return contradiction_result(g);
  ClassifyGrids canonical;
  int digit_map[10];
  int const t = canonicalize(g.clues, g.groups, canonical.clues, canonical.groups, digit_map);
  PuzzleClassifyResult r = classify_sanitised(map, adj, canonical, budget);
  map_back(r, t, digit_map);
  return r;
}

PuzzleClassifyResult classify_puzzle_best_orientation(MAP_TYPE map, ADJACENCY_TYPE adj, int const clues[9][9],
                                                      int const grp[9][9], long budget, int* orientation) {
  ClassifyGrids const g(clues, grp);
  if (orientation) *orientation = 0;
  if (!clues_consistent(adj, g.clues, g.groups)) return contradiction_result(g);
  PuzzleClassifyResult best{};
  int best_t = -1;
  for (int t = 0; t < 8; ++t) {
    ClassifyGrids oriented;
    orient_grid(t, g.clues, oriented.clues);
    orient_grid(t, g.groups, oriented.groups);
    PuzzleClassifyResult const r = classify_sanitised(map, adj, oriented, budget);
    if (!r.has_solution || !r.unique || r.budget_exhausted) continue;
    int const bucket = gen_bucket_index(r.bucket);
    int const best_bucket = best_t < 0 ? 0 : gen_bucket_index(best.bucket);
    if (best_t < 0 || bucket < best_bucket || (bucket == best_bucket && r.level_index < best.level_index)) {
      best = r;
      best_t = t;
    }
  }
  if (best_t < 0) return classify_puzzle(map, adj, g.clues, g.groups, budget);
  map_back(best, best_t, nullptr);
  if (orientation) *orientation = best_t;
  return best;
}

char const* classify_puzzle_for_pool(MAP_TYPE map, ADJACENCY_TYPE adj, int const clues[9][9], int const grp[9][9],
                                     long budget) {
  return classify_puzzle(map, adj, clues, grp, budget).bucket;
}

int candidate_state_at_level(MAP_TYPE map, ADJACENCY_TYPE adj, int const clues[9][9], int const grp[9][9],
                             METHOD_TYPE level, int* out) {
  if (!out) return 0;
  ClassifyGrids const g(clues, grp);
  METHOD_TYPE solve_level = SIMPLE_ELIMINATION;
  if (level >= 1) {
    int const p = ladder_position(level);
    solve_level = p >= 1 ? level_ladder[p - 1] : p < 0 ? FORCING_NET : SIMPLE_ELIMINATION;
  }
  Puzzle p;
  setup_puzzle_from_grids(p, map, adj, g.clues, g.groups);
  p.solve(solve_level);
  for (int c = 0; c < 81; ++c) out[c] = static_cast<int>(p.cells[c].elim_bits);
  return 1;
}
