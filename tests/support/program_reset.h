// One reset of the whole program for tests: every module that the test
// program links goes back to its start state, from the top layer down.
// CMake builds each test program with VARDANE_TEST_<MODULE>=1 for the modules
// it links, so a program never calls into a module it does not link.
#pragma once

#if VARDANE_TEST_SHELL
#include "shell/shell.h"
#endif
#if VARDANE_TEST_CONCAVE
#include "engine/concave/concave.h"
#endif
#if VARDANE_TEST_GENERAL
#include "engine/general/general.h"
#endif
#if VARDANE_TEST_COMMON
#include "engine/common/marks.h"
#include "engine/common/operations.h"
#include "engine/common/results.h"
#endif
#if VARDANE_TEST_COST
#include "cost/cost.h"
#endif
#if VARDANE_TEST_UI
#include "ui/display.h"
#endif
#if VARDANE_TEST_STATE
#include "state/state.h"
#endif

inline void reset_program() {
#if VARDANE_TEST_CONCAVE
  concave_reset();
#endif
#if VARDANE_TEST_GENERAL
  general_reset();
#endif
#if VARDANE_TEST_COMMON
  marks_reset();
  results_reset();
  memory_guard = true;
#endif
#if VARDANE_TEST_COST
  cost_reset();
  fp_err_clear();
#endif
#if VARDANE_TEST_UI
  ui_reset();
#endif
#if VARDANE_TEST_STATE
  state_reset();
#endif
#if VARDANE_TEST_SHELL
  // Last: the shell hands its hooks to ui again after ui's reset.
  if (frame) shell_reset();
#endif
}
