#include "matrix_engine/vec.h"

namespace matrix_engine {

int lit(int cell, int digit) { return 9 * cell + digit - 1; }

unsigned cell9(Vec const& v, int cell) { return cell9_inline(v, cell); }

}  // namespace matrix_engine
