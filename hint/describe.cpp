// Putting a step into words: the pattern's cells and houses, the stable name and
// one English line ("X-Wing on 4 in rows 2 and 7, columns 3 and 8: 4 leaves r5c3
// and r5c8").
#include <algorithm>
#include <cstring>

#include "hint/step.h"

namespace hint {

namespace {

using pattern_note::Pattern;

void set_name(SudokuHint& out, char const* name) {
  std::size_t const n = std::min(std::strlen(name), sizeof out.name - 1);
  std::memcpy(out.name, name, n);
  out.name[n] = '\0';
}

void add_cell(SudokuHint& out, int cell) {
  for (int i = 0; i < out.n_pattern; ++i)
    if (out.pattern[i] == cell) return;
  if (out.n_pattern < SUDOKU_HINT_MAX_PATTERN) out.pattern[out.n_pattern++] = cell;
}

void add_house(SudokuHint& out, int code) {
  if (out.n_houses < SUDOKU_HINT_MAX_HOUSES) out.houses[out.n_houses++] = code;
}

// True when cell lies in the house with the given code.
bool in_house(PUZZLE_CELL const& cell, int code) { return cell.house[code / 9] == code % 9; }

int lowest_digit(uint32_t bits) { return bits ? __builtin_ctz(bits) : 0; }

// The cells of a house, walked from its first cell.
template <class F>
void for_house(Puzzle const& board, int code, F f) {
  PUZZLE_CELL const* const first = board.ptrs_first_in_dims[code / 9][code % 9];
  if (!first) return;
  PUZZLE_CELL const* cell = first;
  int n = 0;
  do {
    f(static_cast<int>(cell - board.cells));
    cell = Puzzle::next_in(cell, code / 9);
  } while (cell != first && ++n < 9);
}

// Houses by kind: "rows 2 and 7", "columns 3, 5 and 8 plus box 4".
void house_set(Text& t, int const* codes, int n, bool irregular) {
  static char const* const kOne[5] = {nullptr, "row ", "column ", "", ""};
  static char const* const kMany[5] = {nullptr, "rows ", "columns ", "", ""};
  bool first_kind = true;
  for (int dim : {DIM_ROW, DIM_COL, DIM_GROUP, DIM_DIAG, DIM_ANTI_DIAG}) {
    int idx[9];
    int k = 0;
    for (int i = 0; i < n; ++i)
      if (codes[i] / 9 == dim && k < 9) idx[k++] = codes[i];
    if (k == 0) continue;
    if (!first_kind) t << " plus ";
    first_kind = false;
    if (dim >= DIM_DIAG) {
      t.house(idx[0], irregular);
      continue;
    }
    if (dim == DIM_GROUP)
      t << (k == 1 ? (irregular ? "region " : "box ") : (irregular ? "regions " : "boxes "));
    else
      t << (k == 1 ? kOne[dim] : kMany[dim]);
    for (int i = 0; i < k; ++i) t << (i == 0 ? "" : (i == k - 1 ? " and " : ", ")) << idx[i] % 9 + 1;
  }
}

// Candidates of a cell before the step: "{3,7}".
void candidate_set(Text& t, PUZZLE_CELL const& cell) {
  t << "{";
  bool first = true;
  for (int d = 1; d <= 9; ++d)
    if (cell.elim_bits & (1u << d)) {
      t << (first ? "" : ",") << d;
      first = false;
    }
  t << "}";
}

// ": r3c5 is 7" or ": 4 leaves r5c3 and r5c8; 7 leaves r1c1".
void effect(Text& t, SudokuHint const& out) {
  t << ": ";
  for (int i = 0; i < out.n_placements; ++i) {
    if (i) t << "; ";
    t.cell(out.placements[i][0]);
    t << " is " << out.placements[i][1];
  }
  bool first = out.n_placements == 0;
  for (int d = 1; d <= 9; ++d) {
    int cells[SUDOKU_HINT_MAX_ELIMINATIONS];
    int n = 0;
    for (int i = 0; i < out.n_eliminations; ++i)
      if (out.eliminations[i][1] == d) cells[n++] = out.eliminations[i][0];
    if (n == 0) continue;
    t << (first ? "" : "; ") << d << " leaves ";
    t.cells(cells, n);
    first = false;
  }
}

// The pattern's cells in the order the technique noted them, or reversed (chains
// note theirs from the end).
void copy_cells(SudokuHint& out, Pattern const& p, bool reversed) {
  for (int i = 0; i < p.n_cells; ++i) add_cell(out, p.cells[reversed ? p.n_cells - 1 - i : i]);
}

void naked_single(SudokuHint& out, Text& t) {
  set_name(out, "naked_single");
  add_cell(out, out.placements[0][0]);
  t << "Naked single: " << out.placements[0][1] << " is the only candidate left in ";
  t.cell(out.placements[0][0]);
}

void hidden_single(StepContext const& ctx, SudokuHint& out, Text& t) {
  int const cell = out.placements[0][0];
  uint32_t const bit = 1u << out.placements[0][1];
  set_name(out, "hidden_single");
  add_cell(out, cell);
  int dims[5];
  int const n = ctx.board.houses_of(&ctx.board.cells[cell], dims);
  for (int k = 0; k < n; ++k) {
    int const code = dims[k] * 9 + ctx.board.cells[cell].house[dims[k]];
    bool alone = true;
    for_house(ctx.board, code, [&](int j) { alone &= j == cell || !(ctx.before[j].elim_bits & bit); });
    if (!alone) continue;
    add_house(out, code);
    t << "Hidden single: ";
    t.cell(cell);
    t << " is the only place for " << out.placements[0][1] << " in ";
    t.house(code, ctx.board.map_type == MAP_IRREGULAR);
    return;
  }
  t << "Hidden single";
}

void locked_candidates(StepContext const& ctx, SudokuHint& out, Text& t) {
  Pattern const& p = ctx.pattern;
  bool const irregular = ctx.board.map_type == MAP_IRREGULAR;
  int const d = lowest_digit(p.digits);
  set_name(out, "locked_candidates");
  if (p.n_houses < 2) {
    t << "Locked candidates";
    return;
  }
  add_house(out, p.houses[0]);
  add_house(out, p.houses[1]);
  for_house(ctx.board, p.houses[0], [&](int j) {
    if (ctx.before[j].elim_bits & (1u << d)) add_cell(out, j);
  });
  t << "Locked candidates: in ";
  t.house(p.houses[0], irregular);
  t << ", " << d << " lies only in ";
  t.house(p.houses[1], irregular);
  t << " (";
  t.cells(out.pattern, out.n_pattern);
  t << ")";
}

void subset(StepContext const& ctx, SudokuHint& out, Text& t) {
  static char const* const kSizes[] = {"", "", "pair", "triple", "quad"};
  Pattern const& p = ctx.pattern;
  bool const irregular = ctx.board.map_type == MAP_IRREGULAR;
  int const code = p.n_houses ? p.houses[0] : 0;
  // The noted cells hold the chosen digits only (hidden); the other unsolved cells
  // of the house hold the rest only (naked). The smaller set is shown.
  int hidden[9], naked[9];
  int n_hidden = 0, n_naked = 0;
  uint32_t naked_digits = 0;
  for_house(ctx.board, code, [&](int j) {
    if (n_candidates(ctx.before[j].elim_bits) < 2) return;
    bool noted = false;
    for (int i = 0; i < p.n_cells; ++i) noted |= p.cells[i] == j;
    if (noted) {
      hidden[n_hidden++] = j;
    } else {
      naked[n_naked++] = j;
      naked_digits |= ctx.before[j].elim_bits;
    }
  });
  bool const show_hidden = n_hidden <= n_naked || n_naked == 0;
  int const* const shown = show_hidden ? hidden : naked;
  int const n_shown = show_hidden ? n_hidden : n_naked;
  uint32_t const digits = show_hidden ? p.digits : naked_digits;
  char name[SUDOKU_HINT_NAME_SIZE];
  std::strcpy(name, show_hidden ? "hidden_" : "naked_");
  std::strcat(name, n_shown <= 4 ? kSizes[n_shown] : "subset");
  set_name(out, name);
  for (int i = 0; i < n_shown; ++i) add_cell(out, shown[i]);
  add_house(out, code);
  out.digits = static_cast<int32_t>(digits);
  t << (show_hidden ? "Hidden " : "Naked ") << (n_shown <= 4 ? kSizes[n_shown] : "subset") << " ";
  t.digits(digits);
  t << " in ";
  t.house(code, irregular);
  t << " (";
  t.cells(shown, n_shown);
  t << ")";
}

// Cells of a house set that hold the digit before the step.
void cells_with_digit(StepContext const& ctx, SudokuHint& out, int const* codes, int n, int d) {
  for (int j = 0; j < 81; ++j) {
    if (!(ctx.before[j].elim_bits & (1u << d)) || n_candidates(ctx.before[j].elim_bits) < 2) continue;
    for (int i = 0; i < n; ++i)
      if (in_house(ctx.board.cells[j], codes[i])) {
        add_cell(out, j);
        break;
      }
  }
}

void double_restriction(StepContext const& ctx, SudokuHint& out, Text& t) {
  Pattern const& p = ctx.pattern;
  int const d = lowest_digit(p.digits);
  set_name(out, "double_restriction");
  for (int i = 0; i < p.n_houses; ++i) add_house(out, p.houses[i]);
  // The pattern: the digit where the two lines cross the two groups.
  for (int j = 0; j < 81 && p.n_houses == 4; ++j) {
    PUZZLE_CELL const& cell = ctx.board.cells[j];
    if ((ctx.before[j].elim_bits & (1u << d)) && (in_house(cell, p.houses[0]) || in_house(cell, p.houses[1])) &&
        (in_house(cell, p.houses[2]) || in_house(cell, p.houses[3])))
      add_cell(out, j);
  }
  t << "Double restriction on " << d << " in ";
  house_set(t, p.houses, p.n_houses, ctx.board.map_type == MAP_IRREGULAR);
}

void fish(StepContext const& ctx, SudokuHint& out, Text& t, char const* name, char const* title) {
  Pattern const& p = ctx.pattern;
  bool const irregular = ctx.board.map_type == MAP_IRREGULAR;
  int const d = lowest_digit(p.digits);
  set_name(out, name);
  for (int i = 0; i < p.n_houses; ++i) add_house(out, p.houses[i]);
  out.n_base_houses = p.n_base_houses;
  cells_with_digit(ctx, out, p.houses, p.n_base_houses, d);
  t << title << " on " << d << " in ";
  house_set(t, p.houses, p.n_base_houses, irregular);
  t << ", ";
  house_set(t, p.houses + p.n_base_houses, p.n_houses - p.n_base_houses, irregular);
}

void x_chain(StepContext const& ctx, SudokuHint& out, Text& t, bool short_chain) {
  Pattern const& p = ctx.pattern;
  set_name(out, short_chain ? "short_x_chain" : "x_chain");
  copy_cells(out, p, true);
  t << (short_chain ? "Short X-chain on " : "X-chain on ") << lowest_digit(p.digits) << ": ";
  // Links alternate strong (=, the only two places in a house) and weak (-).
  for (int i = 0; i < out.n_pattern; ++i) {
    if (i) t << (i % 2 ? " = " : " - ");
    t.cell(out.pattern[i]);
  }
}

void xy_chain(StepContext const& ctx, SudokuHint& out, Text& t) {
  set_name(out, "xy_chain");
  copy_cells(out, ctx.pattern, true);
  t << "XY-chain: ";
  for (int i = 0; i < out.n_pattern; ++i) {
    if (i) t << " - ";
    t.cell(out.pattern[i]);
    candidate_set(t, ctx.before[out.pattern[i]]);
  }
}

void wing(StepContext const& ctx, SudokuHint& out, Text& t) {
  Pattern const& p = ctx.pattern;
  bool const xyz = out.method == XYZ_WING;
  set_name(out, xyz ? "xyz_wing" : "xy_wing");
  copy_cells(out, p, false);
  t << (xyz ? "XYZ-wing: pivot " : "XY-wing: pivot ");
  for (int i = 0; i < out.n_pattern; ++i) {
    if (i == 1) t << ", pincers ";
    if (i == 2) t << " and ";
    t.cell(out.pattern[i]);
    t << " ";
    candidate_set(t, ctx.before[out.pattern[i]]);
  }
}

void w_wing(StepContext const& ctx, SudokuHint& out, Text& t) {
  Pattern const& p = ctx.pattern;
  set_name(out, "w_wing");
  copy_cells(out, p, false);
  if (p.n_cells < 4 || p.n_houses < 1) {
    t << "W-wing";
    return;
  }
  add_house(out, p.houses[0]);
  t << "W-wing: ";
  t.cells(p.cells, 2);
  t << " hold ";
  candidate_set(t, ctx.before[p.cells[0]]);
  t << ", joined by the only " << lowest_digit(p.digits) << "s of ";
  t.house(p.houses[0], ctx.board.map_type == MAP_IRREGULAR);
  t << " (";
  t.cells(p.cells + 2, 2);
  t << ")";
  out.digits = static_cast<int32_t>(ctx.before[p.cells[0]].elim_bits & ALL_DIGITS);
}

void almost_locked_set(StepContext const& ctx, SudokuHint& out, Text& t) {
  set_name(out, "almost_locked_set");
  copy_cells(out, ctx.pattern, false);
  t << "Almost locked sets: ";
  for (int i = 0; i < out.n_pattern; ++i) {
    if (i) t << (i == out.n_pattern - 1 ? " and " : ", ");
    t.cell(out.pattern[i]);
    candidate_set(t, ctx.before[out.pattern[i]]);
  }
}

void forcing_net(SudokuHint& out, Text& t) {
  set_name(out, "forcing_net");
  uint32_t bits = 0;
  for (int i = 0; i < out.n_eliminations; ++i) bits |= 1u << out.eliminations[i][1];
  int const cell = out.n_eliminations ? out.eliminations[0][0] : 0;
  add_cell(out, cell);
  out.digits = static_cast<int32_t>(bits);
  t << "Forcing net: in ";
  t.cell(cell);
  t << ", ";
  t.digits(bits);
  t << (n_candidates(bits) > 1 ? " each lead" : " leads") << " by singles to a contradiction";
}

void brute_force(SudokuHint& out, Text& t) {
  set_name(out, "brute_force");
  add_cell(out, out.placements[0][0]);
  t << "Brute force: no technique of the ladder applies; the solution has " << out.placements[0][1] << " in ";
  t.cell(out.placements[0][0]);
}

}  // namespace

void describe_step(StepContext const& ctx, SudokuHint& out) {
  Text t(out.text, sizeof out.text);
  if (out.digits == 0) out.digits = static_cast<int32_t>(ctx.pattern.digits);
  switch (out.method) {
    case SIMPLE_ELIMINATION: naked_single(out, t); break;
    case HIDDEN_SINGLES: hidden_single(ctx, out, t); break;
    case CELL_RESTRICTION: locked_candidates(ctx, out, t); break;
    case MULTIPLE_DIGITS: subset(ctx, out, t); break;
    case DOUBLE_RESTRICTION: double_restriction(ctx, out, t); break;
    case X_WING: fish(ctx, out, t, "x_wing", "X-Wing"); break;
    case SWORDFISH: fish(ctx, out, t, "swordfish", "Swordfish"); break;
    case JELLYFISH: fish(ctx, out, t, "jellyfish", "Jellyfish"); break;
    case FRANKEN_FISH: fish(ctx, out, t, "franken_fish", "Franken fish"); break;
    case SHORT_X_CHAINS: x_chain(ctx, out, t, true); break;
    case X_CHAINS: x_chain(ctx, out, t, false); break;
    case XY_CHAINS: xy_chain(ctx, out, t); break;
    case XY_WING:
    case XYZ_WING: wing(ctx, out, t); break;
    case W_WING: w_wing(ctx, out, t); break;
    case ALMOST_LOCKED_SETS: almost_locked_set(ctx, out, t); break;
    case FORCING_NET: forcing_net(out, t); break;
    default: brute_force(out, t); break;
  }
  effect(t, out);
}

}  // namespace hint
