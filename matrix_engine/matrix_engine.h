// The matrix engine: literal bit vectors, compiled constraint tables, single
// propagation and completion counting on plain clue grids.
#pragma once

#include "matrix_engine/ops.h"
#include "matrix_engine/search.h"
#include "matrix_engine/vec.h"
