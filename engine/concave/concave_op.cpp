// Operation codes 6, 7, 8: the concave-cost alignment as one callable step.
#include "engine/common/operations.h"
#include "engine/concave/concave.h"

OpResult run_concave_alignment(int) { return OpResult::interrupted; }
