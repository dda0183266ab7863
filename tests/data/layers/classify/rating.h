// A header that shows its users a PRIVATE dependency.
#pragma once
#include "model/board.h"
#include "solver/step.h"
