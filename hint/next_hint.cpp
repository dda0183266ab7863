// Finding the next hint: a wrong answer or a missing mark first, then the
// easiest rung of the ladder that makes progress on a scratch copy of the
// position, brute force (from the solution) last. Every step is checked against
// the solution before it is reported: a technique that would remove a true
// candidate is passed over, so a hint never misleads.
#include <cstdio>
#include <cstring>

#include "hint/hint.h"
#include "hint/ladder.h"
#include "hint/position.h"
#include "hint/step.h"
#include "solver/scratch_board.h"

namespace hint {

namespace {

void clear(SudokuHint& out) {
  std::memset(&out, 0, sizeof out);
  out.level = out.method = -1;
}

// A placed answer that is not the solution's digit, then an empty cell whose
// shown marks lack its digit.
bool find_wrong_cell(Puzzle const& board, Position const& pos, SudokuHint& out) {
  for (int i = 0; i < 81; ++i) {
    int const answer = board.cells[i].user_answer;
    if (pos.given[i] || answer == 0 || answer == pos.solution[i]) continue;
    out.kind = SUDOKU_HINT_WRONG_ANSWER;
    out.pattern[out.n_pattern++] = i;
    out.digits = static_cast<int32_t>(bit_of_digit(answer));
    std::strcpy(out.name, "wrong_answer");
    Text t(out.text, sizeof out.text);
    t << "Wrong answer: ";
    t.cell(i);
    t << " holds " << answer << ", which is not its digit";
    return true;
  }
  for (int i = 0; i < 81; ++i) {
    if (!pos.marks_shown[i] || (pos.marks[i] & bit_of_digit(pos.solution[i]))) continue;
    out.kind = SUDOKU_HINT_WRONG_MARK;
    out.pattern[out.n_pattern++] = i;
    out.digits = static_cast<int32_t>(bit_of_digit(pos.solution[i]));
    std::strcpy(out.name, "wrong_mark");
    Text t(out.text, sizeof out.text);
    t << "Missing mark: the pencil marks of ";
    t.cell(i);
    t << " lack " << pos.solution[i] << ", its digit";
    return true;
  }
  return false;
}

void place(SudokuHint& out, int cell, int digit) {
  out.placements[out.n_placements][0] = cell;
  out.placements[out.n_placements][1] = digit;
  ++out.n_placements;
}

// The effect of one technique call: the digit a hidden single placed, or the
// candidates removed. False when it touched a true candidate.
bool collect_effect(PUZZLE_CELL const* before, Puzzle const& after, SudokuHint& out) {
  for (int i = 0; i < 81; ++i) {
    uint32_t const now = after.cells[i].elim_bits & ALL_DIGITS;
    uint32_t const removed = before[i].elim_bits & ~now & ALL_DIGITS;
    if (!removed) continue;
    if (removed & static_cast<uint32_t>(after.cells[i].solution)) return false;
    if (out.method == HIDDEN_SINGLES && n_candidates(now) == 1) {
      if (out.n_placements < SUDOKU_HINT_MAX_PLACEMENTS) place(out, i, __builtin_ctz(now));
      continue;
    }
    for (int d = 1; d <= 9; ++d)
      if ((removed & (1u << d)) && out.n_eliminations < SUDOKU_HINT_MAX_ELIMINATIONS) {
        out.eliminations[out.n_eliminations][0] = i;
        out.eliminations[out.n_eliminations][1] = d;
        ++out.n_eliminations;
      }
  }
  return true;
}

// Keeps the eliminations that keep(cell, digit) accepts (a subset of a sound
// step is sound): one hint shows one locked-candidates claim and one forcing-net cell.
template <class Keep>
void keep_eliminations(SudokuHint& out, Keep keep) {
  int n = 0;
  for (int i = 0; i < out.n_eliminations; ++i)
    if (keep(out.eliminations[i][0], out.eliminations[i][1])) {
      out.eliminations[n][0] = out.eliminations[i][0];
      out.eliminations[n][1] = out.eliminations[i][1];
      ++n;
    }
  out.n_eliminations = n;
}

void trim(Puzzle const& board, pattern_note::Pattern const& pattern, SudokuHint& out) {
  if (out.method == CELL_RESTRICTION && pattern.n_houses >= 2 && pattern.digits) {
    int const d = __builtin_ctz(pattern.digits);
    int const confined = pattern.houses[0], cleared = pattern.houses[1];
    keep_eliminations(out, [&](int cell, int digit) {
      PUZZLE_CELL const& c = board.cells[cell];
      return digit == d && c.house[cleared / 9] == cleared % 9 && c.house[confined / 9] != confined % 9;
    });
  } else if (out.method == FORCING_NET && out.n_eliminations > 0) {
    int const first = out.eliminations[0][0];
    keep_eliminations(out, [&](int cell, int) { return cell == first; });
  }
}

// A step that places one digit: a naked single, or brute force from the solution.
void single_step(Puzzle const& s, int method, int cell, int digit, SudokuHint& out) {
  out.kind = SUDOKU_HINT_STEP;
  out.level = out.method = method;
  place(out, cell, digit);
  pattern_note::Pattern none;
  none.clear();
  describe_step(StepContext{s, s.cells, none}, out);
}

}  // namespace

bool run_technique(Puzzle& s, METHOD_TYPE m, SudokuHint& out) {
  clear(out);
  PUZZLE_CELL before[81];
  std::memcpy(before, s.cells, sizeof before);
  pattern_note::Pattern pattern;
  bool found;
  {
    pattern_note::Scope const scope(pattern);
    found = s.simplify(m);
  }
  if (found) {
    out.kind = SUDOKU_HINT_STEP;
    out.level = out.method = m;
    if (m == XY_XYZ_WINGS && pattern.n_cells > 0)
      out.method = n_candidates(before[pattern.cells[0]].elim_bits) == 3 ? XYZ_WING : XY_WING;
    if (!collect_effect(before, s, out)) {
      std::fprintf(stderr, "sudoku_hint: technique %d removed a true candidate; passed over\n", m);
      found = false;
    } else {
      trim(s, pattern, out);
      found = out.n_placements + out.n_eliminations > 0;
    }
    if (found) describe_step(StepContext{s, before, pattern}, out);
  }
  std::memcpy(s.cells, before, sizeof before);
  if (!found) clear(out);
  return found;
}

int next_hint(Puzzle const& board, SudokuHint& out) {
  clear(out);
  Position pos;
  if (!read_position(board, pos)) return -1;
  if (find_wrong_cell(board, pos, out)) return 1;
  bool all_placed = true;
  for (int i = 0; i < 81; ++i) all_placed &= pos.placed[i] != 0;
  if (all_placed) {
    out.kind = SUDOKU_HINT_NONE;
    std::strcpy(out.name, "none");
    std::strcpy(out.text, "Solved: every cell is placed");
    return 0;
  }

  ScratchBoard scratch(board);
  Puzzle& s = scratch.board;
  load_candidates(pos, s);

  // Naked single: an empty cell left with one candidate.
  for (int i = 0; i < 81; ++i)
    if (!pos.placed[i] && n_candidates(s.cells[i].elim_bits) == 1 &&
        s.cells[i].elim_bits == bit_of_digit(pos.solution[i])) {
      single_step(s, SIMPLE_ELIMINATION, i, pos.solution[i], out);
      return 1;
    }
  for (int rung = 1; rung < kLadderLength; ++rung)
    if (run_technique(s, level_ladder[rung], out)) return 1;

  // Brute force: the solution's digit for the empty cell with the fewest candidates.
  int best = -1;
  for (int i = 0; i < 81; ++i)
    if (!pos.placed[i] && (best < 0 || n_candidates(s.cells[i].elim_bits) < n_candidates(s.cells[best].elim_bits)))
      best = i;
  single_step(s, BRUTE_FORCE, best, pos.solution[best], out);
  return 1;
}

}  // namespace hint
