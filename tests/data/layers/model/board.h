// A model header that reaches up into the solver.
#pragma once
#include "solver/step.h"
