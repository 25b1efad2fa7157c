// How much memory this process may still allocate: the machine's available
// memory, the room left below the address-space limit (ulimit -v) and below
// the cgroup memory limit, whichever is smallest.
#pragma once
#include <cstdint>
#include <string>

struct MemoryLimit {
  uint64_t bytes = UINT64_MAX;  // what this process may still use; UINT64_MAX = unknown
  std::string what;             // which limit gave the figure
};

MemoryLimit usable_memory();
