// Board building, bytes in and out, transforms, and untrusted bytes.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "testing/test_boards.h"

using namespace test_boards;

namespace {

std::vector<unsigned char> bytes_of(SudokuPuzzle* h) {
  std::vector<unsigned char> b(PUZZLE_BYTES);
  sudoku_get_puzzle_bytes(h, b.data());
  return b;
}

std::array<int, 9> identity_map() { return {1, 2, 3, 4, 5, 6, 7, 8, 9}; }

}  // namespace

TEST(Loading, FlagsInCluesMarkTheSameGivens) {
  auto clues = digits_of(kClassicPuzzle);
  auto flags = clues;
  for (auto& v : flags) v = v ? -7 : 0;
  auto sol = digits_of(kClassicSolution);
  auto groups = square_groups();
  int colors[9] = {0};
  SudokuPuzzle* a = sudoku_new();
  SudokuPuzzle* b = sudoku_new();
  ASSERT_EQ(sudoku_build_from_clues(a, 0, 0, 4, clues.data(), sol.data(), groups.data(), colors), 1);
  ASSERT_EQ(sudoku_build_from_clues(b, 0, 0, 4, flags.data(), sol.data(), groups.data(), colors), 1);
  EXPECT_EQ(bytes_of(a), bytes_of(b));
  sudoku_free(a);
  sudoku_free(b);
}

TEST(Loading, InvalidGroupMapIsRefused) {
  auto clues = digits_of(kClassicPuzzle);
  auto sol = digits_of(kClassicSolution);
  int colors[9] = {0};
  SudokuPuzzle* h = new_classic_handle();
  auto const before = bytes_of(h);
  for (int variant = 0; variant < 3; ++variant) {
    auto groups = square_groups();
    if (variant == 0) groups[5] = 9;
    if (variant == 1) groups[5] = -1;
    if (variant == 2) groups[5] = 0;  // group 0 with ten cells, group 1 with eight
    EXPECT_EQ(sudoku_build_from_clues(h, 1, 0, 4, clues.data(), sol.data(), groups.data(), colors), 0);
    EXPECT_EQ(bytes_of(h), before);
  }
  sudoku_free(h);
}

TEST(Loading, BytesRoundTripPlaysIdentically) {
  for (int x = 0; x <= 1; ++x) {
    SudokuPuzzle* a = new_classic_handle(x);
    sudoku_set_user_answer(a, 2, 4, 0, 1);
    SudokuPuzzle* b = sudoku_new();
    auto bytes = bytes_of(a);
    sudoku_set_puzzle_bytes(b, bytes.data());
    sudoku_setup_loaded(b, 0, x);
    EXPECT_EQ(bytes_of(b), bytes);
    for (int i = 0; i < 81; ++i)
      for (int j = 0; j < 81; ++j) ASSERT_EQ(sudoku_are_neighbors(a, i, j), sudoku_are_neighbors(b, i, j));
    auto sol = digits_of(kClassicSolution);
    for (int i = 0; i < 81; ++i)
      if (kClassicPuzzle[i] == '.') {
        sudoku_set_user_answer(a, i, sol[i], 0, 1);
        sudoku_set_user_answer(b, i, sol[i], 0, 1);
      }
    EXPECT_EQ(bytes_of(a), bytes_of(b));
    int ca[10], cb[10];
    EXPECT_EQ(sudoku_get_state(a, ca), 1);
    EXPECT_EQ(sudoku_get_state(b, cb), 1);
    sudoku_free(a);
    sudoku_free(b);
  }
}

TEST(Transform, IdentityRebuildsSameLinks) {
  SudokuPuzzle* h = new_classic_handle();
  auto before = bytes_of(h);
  auto id = identity_map();
  sudoku_transform_puzzle(h, 0, id.data());
  EXPECT_EQ(bytes_of(h), before);
  sudoku_free(h);
}

TEST(Transform, InvalidArgumentsChangeNothing) {
  SudokuPuzzle* h = new_classic_handle();
  auto before = bytes_of(h);
  std::array<int, 9> repeated = {1, 2, 3, 4, 5, 6, 7, 8, 8};
  std::array<int, 9> zero = {0, 2, 3, 4, 5, 6, 7, 8, 9};
  std::array<int, 9> ten = {10, 2, 3, 4, 5, 6, 7, 8, 9};
  auto id = identity_map();
  sudoku_transform_puzzle(h, 1, repeated.data());
  sudoku_transform_puzzle(h, 1, zero.data());
  sudoku_transform_puzzle(h, 1, ten.data());
  sudoku_transform_puzzle(h, 8, id.data());
  sudoku_transform_puzzle(h, 1, nullptr);
  sudoku_transform_puzzle(nullptr, 1, id.data());
  EXPECT_EQ(bytes_of(h), before);
  sudoku_free(h);
}

TEST(Transform, QuarterTurnFourTimesAndDiagonalReflection) {
  SudokuPuzzle* h = new_classic_handle();
  sudoku_set_user_answer(h, 2, 4, 0, 1);
  auto before = bytes_of(h);
  auto id = identity_map();
  for (int k = 0; k < 4; ++k) {
    sudoku_transform_puzzle(h, 6, id.data());
    sudoku_setup_loaded(h, 0, 0);
  }
  EXPECT_EQ(bytes_of(h), before);

  int v0[9], v72[9];
  sudoku_get_cell(h, 8, v0);
  sudoku_transform_puzzle(h, 4, id.data());
  sudoku_setup_loaded(h, 0, 0);
  sudoku_get_cell(h, 72, v72);  // (0, 8) went to (8, 0)
  EXPECT_EQ(v72[0], v0[0]);
  EXPECT_EQ(v72[7], 8);
  EXPECT_EQ(v72[8], 0);
  sudoku_free(h);
}

TEST(Transform, EveryTransformWithInverseRestoresBoard) {
  // Inverse of each transform: 6 and 7 undo each other; the rest are involutions.
  int const inverse[8] = {0, 1, 2, 3, 4, 5, 7, 6};
  std::mt19937 rng(5);
  for (unsigned t = 0; t < 8; ++t) {
    SudokuPuzzle* h = new_classic_handle(1);
    sudoku_digit_assistant_all(h);
    sudoku_set_user_answer(h, 2, 4, 0, 1);
    auto before = bytes_of(h);
    std::array<int, 9> perm = identity_map();
    std::shuffle(perm.begin(), perm.end(), rng);
    std::array<int, 9> inv{};
    for (int d = 0; d < 9; ++d) inv[perm[d] - 1] = d + 1;
    sudoku_transform_puzzle(h, t, perm.data());
    sudoku_setup_loaded(h, 0, 1);
    if (t != 0) {
      EXPECT_NE(bytes_of(h), before);
    }
    sudoku_transform_puzzle(h, static_cast<unsigned>(inverse[t]), inv.data());
    sudoku_setup_loaded(h, 0, 1);
    EXPECT_EQ(bytes_of(h), before) << "transform " << t;
    sudoku_free(h);
  }
}

TEST(UntrustedBytes, RandomAndAdversarialRecordsStayInsideTheBoard) {
  std::mt19937 rng(11);
  std::vector<unsigned char> bytes(PUZZLE_BYTES);
  auto id = identity_map();
  std::array<int, 9> rot = {2, 3, 4, 5, 6, 7, 8, 9, 1};
  for (int round = 0; round < 300; ++round) {
    for (auto& b : bytes) b = static_cast<unsigned char>(rng());
    auto* cells = reinterpret_cast<PUZZLE_CELL*>(bytes.data());
    if (round % 3 == 1) {
      // Adversarial: huge links and group numbers, digits just outside their ranges.
      for (int i = 0; i < 81; ++i) {
        cells[i].house[0] = (i % 2) ? 1000000 : -5;
        for (int& link : cells[i].next_in_dim) link = (i % 3) ? 100000 : -81;
        cells[i].solution = (i % 4) ? 10 : -1;
        cells[i].user_answer = (i % 5) ? 40 : 9;
        cells[i].mask = i % 2;
      }
    } else if (round % 3 == 2) {
      // Plausible records with one group number gone bad.
      for (int i = 0; i < 81; ++i) {
        cells[i].house[0] = square_group_map[i / 9][i % 9];
        cells[i].solution = 1 + (i % 9);
        cells[i].user_answer = static_cast<int>(rng() % 12);
        cells[i].mask = static_cast<int>(rng() % 2);
      }
      cells[rng() % 81].house[0] = static_cast<int>(rng() % 20) - 5;
    }
    SudokuPuzzle* h = sudoku_new();
    sudoku_set_puzzle_bytes(h, bytes.data());
    int const x = round % 2;
    sudoku_setup_loaded(h, 1, x);
    int counts[10], out[10], view[9];
    sudoku_get_state(h, counts);
    sudoku_distance(h);
    sudoku_maxed_digits(h, out);
    sudoku_digit_assistant_all(h);
    for (int i = 0; i < 81; i += 7) {
      sudoku_get_cell(h, i, view);
      sudoku_set_user_answer(h, i, static_cast<int>(rng() % 10), static_cast<int>(rng() % 10), 1);
      sudoku_toggle_elim_bit(h, i, static_cast<int>(rng() % 10));
      sudoku_toggle_small_mode(h, i);
      sudoku_same_group_right(h, i);
      sudoku_same_group_below(h, i);
      sudoku_are_neighbors(h, i, 80 - i);
    }
    sudoku_digit_assistant_update(h);
    sudoku_digit_assistant_hide(h);
    sudoku_transform_puzzle(h, static_cast<unsigned>(round % 8), round % 2 ? rot.data() : id.data());
    sudoku_setup_loaded(h, 0, x);
    sudoku_digit_assistant_all(h);
    sudoku_restart(h);
    // After set-up every house is a proper ring of nine cells.
    Puzzle* p = reinterpret_cast<Puzzle*>(h);
    EXPECT_TRUE(p->groups_form_partition());
    for (int g = 0; g < 9; ++g) {
      int n = 0;
      PUZZLE_CELL* first = p->ptrs_first_in_dims[DIM_GROUP][g];
      PUZZLE_CELL* c = first;
      do {
        ++n;
        c = Puzzle::next_in(c, DIM_GROUP);
      } while (c != first && n < 20);
      EXPECT_EQ(n, 9);
    }
    sudoku_free(h);
  }
}
