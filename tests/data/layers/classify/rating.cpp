// A source that may include its PRIVATE dependency.
#include "classify/rating.h"
#include "solver/step.h"
