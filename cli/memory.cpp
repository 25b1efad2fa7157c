#include "cli/memory.h"

#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>

#include "containers/alloc_check.h"

namespace {

char g_message[1024] = "The problem does not fit in memory.";

// Bytes the process holds: what the allocator has handed out (also blocks
// not yet touched), or, where the allocator is replaced (the sanitizer
// build), the resident set. Reads no more than a small stack buffer.
uint64_t allocated_bytes() {
  struct mallinfo2 mi = mallinfo2();
  uint64_t b = uint64_t(mi.uordblks) + uint64_t(mi.hblkhd);
  if (b >= (1u << 20)) return b;
  char buf[4096];
  int fd = open("/proc/self/status", O_RDONLY);
  if (fd < 0) return b;
  ssize_t len = read(fd, buf, sizeof buf - 1);
  close(fd);
  if (len <= 0) return b;
  buf[len] = 0;
  const char* p = std::strstr(buf, "VmRSS:");
  return p ? std::strtoull(p + 6, nullptr, 10) * 1024 : b;
}

[[noreturn]] void out_of_memory() {
  char buf[1200];
  int len = std::snprintf(buf, sizeof buf, "%s An allocation failed after about %llu MBytes had been allocated.\n",
                          g_message, static_cast<unsigned long long>(allocated_bytes() >> 20));
  if (len > 0) {
    ssize_t r = write(2, buf, std::min(size_t(len), sizeof buf - 1));
    (void)r;
  }
  std::_Exit(EXIT_NO_MEMORY);
}

void container_alloc_failed(const char*, int, const char*, const char*) { out_of_memory(); }

}  // namespace

void install_memory_handlers(const std::string& message) {
  std::snprintf(g_message, sizeof g_message, "%s", message.c_str());
  vd::set_alloc_failure_handler(container_alloc_failed);
  std::set_new_handler(out_of_memory);
}
