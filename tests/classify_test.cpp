// Technique-level classification: ladder and name tables, the worked edge cases,
// thresholds per board kind, the completion-count rung, candidate states, and the
// orientation/relabelling property.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "classify_support.h"
#include "model/puzzle.h"

namespace {

using classify_test::Board;
using classify_test::square_board;
using random_puzzles::Kind;

char const* const kClassic = "53..7....6..195....98....6.8...6...34..8.3..17...2...6.6....28....419..5....8..79";
char const* const kClassicSolution = "534678912672195348198342567859761423426853791713924856961537284287419635345286179";
// A published very hard puzzle that the ladder up to the forcing net leaves unsolved.
char const* const kBeyondLogic = "1.......2.9.4...5...6...7...5.9.3.......7.......85..4.7.....6...3...9.8...2.....1";

TEST(ClassifyTables, LadderLabelsAndNames) {
  int const ladder[16] = {0, 1, 2, 3, 4, 7, 8, 25, 12, 51, 9, 10, 11, 5, 17, 26};
  size_t longest = 0;
  for (int p = 0; p < kLadderLength; ++p) {
    EXPECT_EQ(level_ladder[p], ladder[p]);
    EXPECT_EQ(ladder_position(ladder[p]), p);
    std::string const label = level_label(p, false);
    EXPECT_NE(label.find("\xE2\x80\x94"), std::string::npos) << label;  // U+2014
    longest = std::max(longest, label.size());
  }
  EXPECT_EQ(longest, 44u);
  EXPECT_STREQ(level_label(0, true), "Quickie \xE2\x80\x94 Naked Singles only");
  EXPECT_STREQ(level_label(0, false), "Easy \xE2\x80\x94 Naked Singles only");
  EXPECT_STREQ(level_label(-1, false), "Trivial (all given)");
  EXPECT_STREQ(level_label(16, false), "Beyond Hell \xE2\x80\x94 Brute Force");
  EXPECT_STREQ(level_label(17, false), "");
  EXPECT_EQ(ladder_position(6), -1);

  char const* const buckets[10] = {"quickie", "easy",    "moderately_easy", "moderate", "moderately_hard",
                                   "hard",    "vicious", "fiendish",        "hell",     "beyond_hell"};
  for (int i = 0; i < 10; ++i) {
    EXPECT_STREQ(gen_bucket_name(i), buckets[i]);
    EXPECT_EQ(gen_bucket_index(buckets[i]), i);
    EXPECT_EQ(parse_bucket_name(buckets[i]), i);
  }
  for (char const* other : {"unsolvable", "Easy", "", "medium"}) EXPECT_EQ(gen_bucket_index(other), -1) << other;
  EXPECT_EQ(gen_bucket_index(nullptr), -1);
  EXPECT_STREQ(gen_bucket_name(10), "");
  EXPECT_STREQ(gen_bucket_name(-1), "");
  EXPECT_STREQ(gen_map_name(0), "square");
  EXPECT_STREQ(gen_map_name(1), "irregular");
  EXPECT_STREQ(gen_map_name(2), "");
  EXPECT_STREQ(gen_adj_name(0), "regular");
  EXPECT_STREQ(gen_adj_name(1), "x");
  EXPECT_STREQ(gen_adj_name(-1), "");

  struct Alias {
    char const* word;
    int index;
  } const aliases[] = {{"medium", 3},  {"expert", 7}, {"ultimate", 8}, {"bruteforce", 9},
                       {"unsolvable", -1}, {"Medium", -1}, {"hard ", -1}};
  for (Alias const& a : aliases) EXPECT_EQ(parse_bucket_name(a.word), a.index) << a.word;
  EXPECT_EQ(parse_bucket_name(nullptr), -1);
}

TEST(ClassifyTables, HardestMethodAndBucketOfTechnique) {
  struct Case {
    std::initializer_list<int> used;
    int hardest;
  } const cases[] = {
      {{}, 0},
      {{0, 7, 51}, 51},        // position 9 beats 5
      {{12, 13, 26}, 26},      // the XY-wing statistics slot ranks as 12, not above the ladder
      {{0, 12, 13}, 12},       // an XY-wing puzzle is an XY/XYZ-wing puzzle
      {{14}, 12},
      {{8, 19}, 18},           // two-fin statistics rank as finned fish, off the ladder
      {{4, 20, 23}, 5},        // ALS statistics rank as ALS
      {{26, 15}, 15},          // off the ladder ranks above every rung
      {{27, 15}, 15},          // among values off the ladder the lowest wins
      {{9, 51}, 9},
  };
  for (Case const& c : cases) {
    int counts[N_METHOD_COUNTS] = {};
    for (int m : c.used) counts[m] = 1;
    EXPECT_EQ(hardest_method_used(counts), c.hardest);
  }
  int const bucket_of_position[16] = {0, 2, 3, 4, 5, 5, 6, 6, 7, 7, 7, 7, 8, 8, 8, 9};
  for (int p = 0; p < kLadderLength; ++p) EXPECT_EQ(method_type_to_bucket(level_ladder[p]), bucket_of_position[p]);
  EXPECT_EQ(method_type_to_bucket(XY_WING), 7);
  EXPECT_EQ(method_type_to_bucket(FINNED_FISH), 9);
  EXPECT_EQ(method_type_to_bucket(BRUTE_FORCE), 9);
}

TEST(ClassifyTables, AtomTable) {
  struct Row {
    int first, last;
    std::initializer_list<int> levels;
  } const rows[] = {{30, 31, {0}}, {32, 33, {1}}, {34, 35, {2}}, {36, 36, {2, 3}}, {37, 41, {3}},
                    {42, 45, {25}}, {49, 50, {17}}, {51, 51, {51}}, {52, 52, {12}}};
  for (int atom = 28; atom <= 53; ++atom)
    for (int level = 0; level <= 52; ++level) {
      bool expected = false;
      for (Row const& row : rows)
        if (atom >= row.first && atom <= row.last)
          for (int l : row.levels) expected = expected || l == level;
      if (atom >= 46 && atom <= 48) expected = level == 18 || level == 19;
      EXPECT_EQ(atom_fits_level(atom, level), expected) << atom << " " << level;
    }
}

TEST(Classify, CompleteGridContradictionsAndDiagonals) {
  Board const full = square_board(kClassicSolution);
  PuzzleClassifyResult r = classify_test::classify(full);
  EXPECT_EQ(r.level_index, -1);
  EXPECT_STREQ(r.label, "Trivial (all given)");
  EXPECT_STREQ(r.bucket, "quickie");
  EXPECT_TRUE(r.solved && r.has_solution && r.unique);
  EXPECT_EQ(r.n_givens, 81);
  for (int c = 0; c < 81; ++c) EXPECT_EQ(r.method[c], -2);

  Board twice = square_board(kClassic);
  twice.clues[0][2] = 5;  // a second 5 in row 0
  r = classify_test::classify(twice);
  EXPECT_STREQ(r.bucket, "unsolvable");
  EXPECT_STREQ(r.label, "No solution \xE2\x80\x94 the given digits contradict");
  EXPECT_EQ(r.level_index, -1);
  EXPECT_FALSE(r.solved || r.has_solution || r.unique || r.budget_exhausted);
  EXPECT_EQ(r.n_givens, 31);
  EXPECT_EQ(r.value[2], 5);
  EXPECT_TRUE(r.given[2]);

  // Two 1s on the anti-diagonal, in different rows, columns and boxes.
  int anti[9][9] = {};
  anti[0][8] = 1;
  anti[4][4] = 1;
  int boxes[9][9];
  for (int i = 0; i < 81; ++i) boxes[i / 9][i % 9] = square_group_map[i / 9][i % 9];
  EXPECT_FALSE(clues_consistent(ADJ_X, anti, boxes));
  anti[4][4] = 0;
  anti[5][3] = 1;  // row 5, column 3: another box, still on the anti-diagonal
  EXPECT_FALSE(clues_consistent(ADJ_X, anti, boxes));
  EXPECT_TRUE(clues_consistent(ADJ_NONE, anti, boxes));
  r = classify_puzzle(MAP_REGULAR, ADJ_X, anti, boxes, 0);
  EXPECT_STREQ(r.label, "No solution \xE2\x80\x94 the given digits contradict");
  r = classify_puzzle(MAP_REGULAR, ADJ_NONE, anti, boxes, 0);
  EXPECT_TRUE(r.has_solution);
  EXPECT_FALSE(r.unique);
  EXPECT_STREQ(r.bucket, "unsolvable");
}

// Removes clues of a seeded solution while simple elimination still solves the puzzle,
// stopping at `givens` clues; false when the walk stalls above that.
bool naked_singles_puzzle(Board& b, int givens, uint64_t seed) {
  int order[81];
  for (int i = 0; i < 81; ++i) order[i] = i;
  for (int i = 80; i > 0; --i) std::swap(order[i], order[(seed * 2654435761u + static_cast<uint64_t>(i)) % (i + 1)]);
  int n = 81;
  for (int cell : order) {
    if (n == givens) break;
    int const r = cell / 9, c = cell % 9, v = b.clues[r][c];
    b.clues[r][c] = 0;
    Puzzle p;
    setup_puzzle_from_grids(p, b.map, b.adj, b.clues, b.groups);
    p.solve(SIMPLE_ELIMINATION);
    if (p.method_counts[kSlotUnsolved] == 0)
      --n;
    else
      b.clues[r][c] = v;
  }
  return n == givens;
}

TEST(Classify, QuickieThresholdPerBoardKind) {
  struct Case {
    Kind kind;
    int threshold;
  } const cases[] = {{Kind::Regular, 34}, {Kind::X, 32}, {Kind::Jigsaw, 31}};
  for (Case const& c : cases)
    for (int givens : {c.threshold, c.threshold - 1}) {
      Board b = classify_test::random_board(c.kind, 4100 + static_cast<uint64_t>(c.threshold));
      for (int i = 0; i < 81; ++i) b.clues[i / 9][i % 9] = b.solution[i];
      ASSERT_TRUE(naked_singles_puzzle(b, givens, 17));
      PuzzleClassifyResult const r = classify_test::classify(b);
      EXPECT_EQ(r.level_index, 0);
      EXPECT_EQ(r.n_givens, givens);
      EXPECT_STREQ(r.bucket, givens >= c.threshold ? "quickie" : "easy") << c.threshold;
      EXPECT_STREQ(r.label, level_label(0, givens >= c.threshold));
    }
  // Jigsaw with diagonals: 28.
  Board b = classify_test::random_board(Kind::Jigsaw, 4200);
  for (int i = 0; i < 81; ++i) b.clues[i / 9][i % 9] = b.solution[i];
  b.adj = ADJ_NONE;
  ASSERT_TRUE(naked_singles_puzzle(b, 30, 3));
  EXPECT_STREQ(classify_puzzle(MAP_IRREGULAR, ADJ_NONE, b.clues, b.groups, 0).bucket, "easy");
  EXPECT_STREQ(classify_puzzle(static_cast<MAP_TYPE>(5), ADJ_NONE, b.clues, b.groups, 0).bucket, "quickie");
}

TEST(Classify, HiddenSingleRung) {
  // From a naked-singles puzzle, remove clues until simple elimination stalls but
  // hidden singles finish it.
  Board b = classify_test::random_board(Kind::Regular, 77);
  for (int i = 0; i < 81; ++i) b.clues[i / 9][i % 9] = b.solution[i];
  ASSERT_TRUE(naked_singles_puzzle(b, 36, 5));
  bool found = false;
  for (int cell = 0; cell < 81 && !found; ++cell) {
    int const v = b.clues[cell / 9][cell % 9];
    if (!v) continue;
    b.clues[cell / 9][cell % 9] = 0;
    Puzzle p0, p1;
    setup_puzzle_from_grids(p0, b.map, b.adj, b.clues, b.groups);
    p0.solve(SIMPLE_ELIMINATION);
    setup_puzzle_from_grids(p1, b.map, b.adj, b.clues, b.groups);
    p1.solve(HIDDEN_SINGLES);
    found = p0.method_counts[kSlotUnsolved] == 1 && p1.method_counts[kSlotUnsolved] == 0;
    if (!found) b.clues[cell / 9][cell % 9] = v;
  }
  ASSERT_TRUE(found);
  PuzzleClassifyResult const r = classify_test::classify(b);
  EXPECT_EQ(r.level_index, 1);
  EXPECT_STREQ(r.bucket, "moderately_easy");
  EXPECT_STREQ(r.label, "Moderately Easy \xE2\x80\x94 Hidden Singles");
  int at_rung_1 = 0;
  for (int c = 0; c < 81; ++c) {
    if (r.given[c]) continue;
    EXPECT_EQ(r.value[c], b.solution[c]);
    bool const rung_1 = r.method[c] == 1 || r.method[c] == 32 || r.method[c] == 33;
    EXPECT_TRUE(rung_1 || r.method[c] == 0) << r.method[c];
    at_rung_1 += rung_1;
  }
  EXPECT_GT(at_rung_1, 0);
}

TEST(Classify, CompletionCountRungAndBudget) {
  Board const b = square_board(kBeyondLogic);
  int clues[81], groups[81], solution[81];
  for (int i = 0; i < 81; ++i) clues[i] = b.clues[i / 9][i % 9], groups[i] = b.groups[i / 9][i % 9];
  ASSERT_EQ(classify_test::count_independently(clues, groups, false, solution), 1);

  PuzzleClassifyResult const settled = classify_test::classify(b);
  PuzzleClassifyResult const starved = classify_test::classify(b, 1);
  EXPECT_EQ(settled.level_index, 16);
  EXPECT_STREQ(settled.bucket, "beyond_hell");
  EXPECT_STREQ(settled.label, "Beyond Hell \xE2\x80\x94 Brute Force");
  EXPECT_TRUE(settled.solved && settled.unique && settled.has_solution);
  EXPECT_FALSE(settled.budget_exhausted);

  EXPECT_TRUE(starved.budget_exhausted);
  EXPECT_FALSE(starved.solved || starved.unique || starved.has_solution);
  EXPECT_STREQ(starved.bucket, "unsolvable");
  EXPECT_STREQ(starved.label, level_label(starved.level_index, false));
  // Exactly the cells logic left open are filled from the completion.
  int n_searched = 0;
  for (int c = 0; c < 81; ++c) {
    bool const left_open = !starved.given[c] && starved.method[c] == -2;
    EXPECT_EQ(settled.method[c] == BRUTE_FORCE, left_open) << c;
    if (!left_open) {
      EXPECT_EQ(settled.method[c], starved.method[c]);
    }
    if (!settled.given[c]) {
      EXPECT_EQ(settled.value[c], solution[c]);
    }
    n_searched += left_open;
  }
  EXPECT_GT(n_searched, 0);

  int empty[9][9] = {};
  PuzzleClassifyResult const open = classify_puzzle(MAP_REGULAR, ADJ_NONE, empty, b.groups, 0);
  EXPECT_TRUE(open.has_solution);
  EXPECT_FALSE(open.unique || open.solved);
  EXPECT_STREQ(open.bucket, "unsolvable");
  EXPECT_EQ(open.level_index, -1);
}

TEST(Classify, CandidateStateUsesTheRungBelow) {
  Board const b = classify_test::random_board(Kind::Regular, 91);
  struct Case {
    int level;
    METHOD_TYPE solved_with;
  } const cases[] = {{X_WING, DOUBLE_RESTRICTION}, {0, SIMPLE_ELIMINATION}, {-3, SIMPLE_ELIMINATION},
                     {INACTIVE_FISH, FORCING_NET}, {HIDDEN_SINGLES, SIMPLE_ELIMINATION}, {FORCING_NET, FRANKEN_FISH},
                     {W_WING, XY_XYZ_WINGS}};
  for (Case const& c : cases) {
    int out[81];
    ASSERT_EQ(candidate_state_at_level(b.map, b.adj, b.clues, b.groups, static_cast<METHOD_TYPE>(c.level), out), 1);
    Puzzle p;
    setup_puzzle_from_grids(p, b.map, b.adj, b.clues, b.groups);
    p.solve(c.solved_with);
    for (int i = 0; i < 81; ++i) ASSERT_EQ(out[i], static_cast<int>(p.cells[i].elim_bits)) << c.level;
  }
  EXPECT_EQ(candidate_state_at_level(b.map, b.adj, b.clues, b.groups, X_WING, nullptr), 0);
}

TEST(Classify, BadValuesReadAsEmptyAndBadMapsAsBoxes) {
  Board const b = square_board(kClassic);
  Board odd = b;
  int const strays[] = {10, -1, 1 << 30, -2147483647 - 1};
  int k = 0;
  for (int c = 0; c < 81 && k < 4; ++c)
    if (!b.clues[c / 9][c % 9]) odd.clues[c / 9][c % 9] = strays[k++];
  for (int r = 0; r < 9; ++r) odd.groups[8][r] = 40 + r;  // not a partition
  PuzzleClassifyResult const a = classify_test::classify(b), m = classify_test::classify(odd);
  EXPECT_STREQ(a.bucket, m.bucket);
  EXPECT_STREQ(classify_puzzle_for_pool(odd.map, odd.adj, odd.clues, odd.groups, 0), a.bucket);
  EXPECT_EQ(a.n_givens, m.n_givens);
  EXPECT_EQ(0, std::memcmp(a.value, m.value, sizeof a.value));
  EXPECT_EQ(0, std::memcmp(a.method, m.method, sizeof a.method));
  int out_a[81], out_m[81];
  candidate_state_at_level(odd.map, odd.adj, odd.clues, odd.groups, FORCING_NET, out_m);
  candidate_state_at_level(b.map, b.adj, b.clues, b.groups, FORCING_NET, out_a);
  EXPECT_EQ(0, std::memcmp(out_a, out_m, sizeof out_a));
}

TEST(Classify, SameRatingUnderOrientationAndRelabelling) { classify_test::check_orientation_property(4, 300); }

TEST(Classify, BestOrientationKeepsTheEasiest) {
  for (uint64_t seed : {11u, 12u, 13u}) {
    Board const b = classify_test::random_board(Kind::Regular, seed);
    int t = -1;
    PuzzleClassifyResult const best = classify_puzzle_best_orientation(b.map, b.adj, b.clues, b.groups, 0, &t);
    ASSERT_GE(t, 0);
    ASSERT_LT(t, 8);
    int const best_bucket = gen_bucket_index(best.bucket);
    for (int o = 0; o < 8; ++o) {
      Board oriented = b;
      orient_grid(o, b.clues, oriented.clues);
      orient_grid(o, b.groups, oriented.groups);
      PuzzleClassifyResult const r = classify_puzzle_direct(b.map, b.adj, oriented.clues, oriented.groups, 0);
      int const bucket = gen_bucket_index(r.bucket);
      EXPECT_TRUE(bucket > best_bucket || (bucket == best_bucket && r.level_index >= best.level_index));
      if (o == t) {
        EXPECT_EQ(r.level_index, best.level_index);
      }
    }
    for (int c = 0; c < 81; ++c) {
      EXPECT_EQ(best.given[c], b.clues[c / 9][c % 9] != 0);
      if (best.given[c] || best.method[c] != -2) {
        EXPECT_EQ(best.value[c], b.solution[c]);
      }
    }
  }
}

// Every rung continues from where the rungs below left the board stuck; the full
// solve() there must give the same results, rung by rung.
TEST(Classify, StuckRungShortcutMatchesFullSolve) {
  std::vector<Board> boards = {square_board(kBeyondLogic), square_board(kClassic),
                               square_board("8..........36......7..9.2...5...7.......457.....1...3...1....68..85...1..9....4..")};
  for (uint64_t seed = 1; seed <= 6; ++seed)
    boards.push_back(classify_test::random_board(static_cast<Kind>(seed % 3), 500 + seed));
  for (Board const& b : boards) {
    PuzzleClassifyResult const fast = classify_puzzle_direct(b.map, b.adj, b.clues, b.groups, 0);
    classify_use_full_rungs(true);
    PuzzleClassifyResult const full = classify_puzzle_direct(b.map, b.adj, b.clues, b.groups, 0);
    classify_use_full_rungs(false);
    EXPECT_STREQ(fast.bucket, full.bucket);
    EXPECT_EQ(fast.level_index, full.level_index);
    EXPECT_EQ(0, std::memcmp(fast.method, full.method, sizeof fast.method));
    EXPECT_EQ(0, std::memcmp(fast.value, full.value, sizeof fast.value));
  }
}

// The trace names each rung and its atoms; fine atoms carry no mark.
TEST(Classify, DebugTraceLines) {
  Board b = square_board(kClassic);
  std::fflush(stderr);
  char path[] = "/tmp/nonet_classify_traceXXXXXX";
  int const fd = mkstemp(path);
  ASSERT_GE(fd, 0);
  int const saved = dup(2);
  dup2(fd, 2);
  setenv("SUDOKU_CLASSIFY_DEBUG", "1", 1);
  PuzzleClassifyResult const r = classify_puzzle_direct(b.map, b.adj, b.clues, b.groups, 0);
  unsetenv("SUDOKU_CLASSIFY_DEBUG");
  std::fflush(stderr);
  dup2(saved, 2);
  close(saved);
  close(fd);
  FILE* f = std::fopen(path, "r");
  ASSERT_NE(f, nullptr);
  std::vector<std::string> lines;
  char line[512];
  while (std::fgets(line, sizeof line, f)) lines.emplace_back(line);
  std::fclose(f);
  std::remove(path);
  ASSERT_EQ(static_cast<int>(lines.size()), r.level_index + 1);
  EXPECT_EQ(lines[0].rfind("level li=0 L=0 fine_atoms=0:", 0), 0u) << lines[0];
  for (size_t i = 0; i < lines.size(); ++i) {
    char const* expected_start = nullptr;
    std::string const head = "level li=" + std::to_string(i) + " L=" + std::to_string(level_ladder[i]) + " fine_atoms=";
    expected_start = head.c_str();
    EXPECT_EQ(lines[i].rfind(expected_start, 0), 0u) << lines[i];
    EXPECT_EQ(lines[i].back(), '\n');
  }
  if (lines.size() > 1) {
    EXPECT_NE(lines[1].find(" atom3"), std::string::npos) << lines[1];
  }
}

}  // namespace
