// Memory planning of the batch tool: what an engine needs for given
// lengths, what this process may use, and the handlers that end the tool
// with exit status 4 when an allocation fails all the same.
#pragma once
#include <cstdint>
#include <string>

constexpr int EXIT_NO_MEMORY = 4;

// Estimated peak bytes of a computation: mode 1 the general engine (distance
// table, edge pointers and one edge record per inner node), modes 6-8 the
// concave engine (distance table, edge records and four candidate stacks).
// With `count`, also the records of counting the optimal alignments, as if
// every node lay on an optimal path; the digits of large counts are not
// known beforehand and come on top.
uint64_t estimate_memory(int mode, int n, int m, bool count = false);

struct MemoryLimit {
  uint64_t bytes = UINT64_MAX;  // what this process may still use; UINT64_MAX = unknown
  std::string what;             // which limit gave the figure
};

// The smallest of: the machine's available memory, the room left below the
// address-space limit (ulimit -v) and below the cgroup memory limit.
MemoryLimit usable_memory();

// "The problem does not fit in memory: ..." with both figures.
std::string memory_message(uint64_t need, const MemoryLimit& lim);
// The message for an allocation that fails although the estimate fitted:
// the estimate was exceeded.
std::string estimate_exceeded_message(uint64_t need, const MemoryLimit& lim);

// Installs the allocation failure handlers (containers, GMP and operator
// new); they print `message`, followed by how much had been allocated when
// the allocation failed, and end the process with EXIT_NO_MEMORY.
void install_memory_handlers(const std::string& message);
