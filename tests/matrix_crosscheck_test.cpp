// The completion count against an independent backtracking counter, and the fast
// search against the step-by-step Vec form, on seeded random puzzles.
#include "matrix_crosscheck.h"
#include "matrix_engine/fast_kernel.h"

TEST(MatrixCrossCheck, RegularMap) { matrix_test::cross_check(MapKind::regular, 1500, 101); }
TEST(MatrixCrossCheck, DiagonalUnits) { matrix_test::cross_check(MapKind::diagonal, 600, 202); }
TEST(MatrixCrossCheck, JigsawMaps) { matrix_test::cross_check(MapKind::jigsaw, 300, 303); }

// The search compiled for any x86-64 (the AVX2 build runs above where the processor has it).
TEST(MatrixCrossCheck, PortableBuild) {
  matrix_engine::detail::use_portable_search(true);
  matrix_test::cross_check(MapKind::regular, 300, 404);
  matrix_test::cross_check(MapKind::jigsaw, 100, 505);
  matrix_engine::detail::use_portable_search(false);
}
