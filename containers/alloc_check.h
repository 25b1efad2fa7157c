// Allocation checks shared by every container and by the string class.
//
// A failed allocation is not recoverable: the program ends with an assertion
// message naming the module, the line and the operation, e.g.
//   matrix.cpp:57: float_matrix::change_dim: Assertion `b!=0' failed.
// The batch tool installs its own handler (it must end with its own exit
// status and message instead of dying inside an allocation); the handler
// must not return.
#pragma once
#include <cstddef>

namespace vd {

using alloc_failure_fn = void (*)(const char* module, int line, const char* operation,
                                  const char* expression);

// Installs the handler called on allocation failure; nullptr restores the
// default (message on standard error, then abort()).
void set_alloc_failure_handler(alloc_failure_fn fn);

// Called by the containers and strings when an allocation failed. Never returns.
[[noreturn]] void alloc_failed(const char* module, int line, const char* operation,
                               const char* expression);

}  // namespace vd

// Allocates `new T[count]` without throwing; on failure ends the program via
// vd::alloc_failed with the given expression text ("b!=0", "numbers!=0", ...).
// A count too large for any array is a failure too (array new would throw
// std::bad_array_new_length for it even in its non-throwing form).
#define VD_NEW_ARRAY(T, count, module, operation, expression)                        \
  ([&]() -> T* {                                                                     \
    const unsigned long long n_ = (count);                                           \
    T* p_ = n_ <= (unsigned long long)PTRDIFF_MAX / sizeof(T)                        \
                ? new (std::nothrow) T[(std::size_t)n_]                              \
                : nullptr;                                                           \
    if (p_ == nullptr) ::vd::alloc_failed(module, __LINE__, operation, expression);  \
    return p_;                                                                       \
  }())
#include <cstdint>
#include <new>
