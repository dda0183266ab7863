// Long cross-checks of the completion count: many more seeded random puzzles.
#include "../matrix_crosscheck.h"

TEST(MatrixCrossCheckSweep, RegularMap) { matrix_test::cross_check(MapKind::regular, 30000, 1001); }
TEST(MatrixCrossCheckSweep, DiagonalUnits) { matrix_test::cross_check(MapKind::diagonal, 15000, 2002); }
TEST(MatrixCrossCheckSweep, JigsawMaps) { matrix_test::cross_check(MapKind::jigsaw, 8000, 3003); }
