#include "model/matrix.h"

// One exported instantiation for library users.
template class Matrix<int, 9>;
