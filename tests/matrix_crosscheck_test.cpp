// The completion count against an independent backtracking counter, and the fast
// search against the step-by-step Vec form, on seeded random puzzles.
#include "matrix_crosscheck.h"

TEST(MatrixCrossCheck, RegularMap) { matrix_test::cross_check(MapKind::regular, 1500, 101); }
TEST(MatrixCrossCheck, DiagonalUnits) { matrix_test::cross_check(MapKind::diagonal, 600, 202); }
TEST(MatrixCrossCheck, JigsawMaps) { matrix_test::cross_check(MapKind::jigsaw, 300, 303); }
