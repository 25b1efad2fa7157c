#include "cli/memory.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "containers/alloc_check.h"

namespace {

char g_message[1024] = "The problem does not fit in memory: an allocation failed.\n";

[[noreturn]] void out_of_memory() {
  ssize_t r = write(2, g_message, std::strlen(g_message));
  (void)r;
  std::_Exit(EXIT_NO_MEMORY);
}

void container_alloc_failed(const char*, int, const char*, const char*) { out_of_memory(); }

}  // namespace

void install_memory_handlers(const std::string& message) {
  std::snprintf(g_message, sizeof g_message, "%s\n", message.c_str());
  vd::set_alloc_failure_handler(container_alloc_failed);
  std::set_new_handler(out_of_memory);
}
