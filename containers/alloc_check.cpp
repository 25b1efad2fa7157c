#include "containers/alloc_check.h"

#include <cstdio>
#include <cstdlib>

namespace vd {

namespace {
alloc_failure_fn g_handler = nullptr;
}

void set_alloc_failure_handler(alloc_failure_fn fn) { g_handler = fn; }

void alloc_failed(const char* module, int line, const char* operation, const char* expression) {
  if (g_handler != nullptr) g_handler(module, line, operation, expression);
  // The default, and the fallback for a handler that returned against its contract.
  std::fprintf(stderr, "%s:%d: %s: Assertion `%s' failed.\n", module, line, operation, expression);
  std::fflush(stderr);
  std::abort();
}

}  // namespace vd
