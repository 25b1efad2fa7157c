// The batch tool's ending when an allocation fails although the memory
// guard of the operations let the computation start: exit status 4 with a
// message.
#pragma once
#include <string>

constexpr int EXIT_NO_MEMORY = 4;

// Installs the allocation failure handlers (containers, GMP and operator
// new); they print `message`, followed by how much had been allocated when
// the allocation failed, and end the process with EXIT_NO_MEMORY.
void install_memory_handlers(const std::string& message);
