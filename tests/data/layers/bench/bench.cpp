// A benchmark that borrows a test helper.
#include "tests/helper.h"
