// Bounded array stack of pairs of signed 16-bit values (the concave engine's
// interval stacks). Capacity and stack pointer are 16-bit unsigned; results
// are 0 or -1 instead of failures.
#pragma once
#include <cstdint>

class stack_list {
 public:
  int16_t* numbers;   // capacity pairs; pair i = numbers[2i], numbers[2i+1]
  uint16_t capacity_;
  uint16_t sp_;       // number of pairs on the stack

  bool owned_ = true;  // false while numbers is a block lent by use_block

  explicit stack_list(uint16_t len = 1);
  ~stack_list();
  stack_list(const stack_list&) = delete;
  stack_list& operator=(const stack_list&) = delete;
  int push(int16_t a, int16_t b) {
    if (sp_ >= capacity_) return -1;
    numbers[2 * sp_] = a; numbers[2 * sp_ + 1] = b; ++sp_;
    return 0;
  }
  int pop() { if (sp_ == 0) return -1; --sp_; return 0; }
  int top(int k) const { return (sp_ == 0 || k < 0 || k > 1) ? -1 : numbers[2 * (sp_ - 1) + k]; }
  int set(uint16_t i, int k, int16_t v) {
    if (i >= capacity_ || k < 0 || k > 1) return -1;
    numbers[2 * i + k] = v; return 0;
  }
  int operator()(uint16_t i, int k) const { return (i >= capacity_ || k < 0 || k > 1) ? -1 : numbers[2 * i + k]; }
  int set_stack_pointer(uint16_t p) { if (p >= capacity_) return -1; sp_ = p; return 0; }
  uint16_t get_stack_pointer() const { return sp_; }
  bool is_empty() const { return sp_ == 0; }
  uint16_t capacity() const { return capacity_; }
  // Resizes into a block of its own (also when the current block was lent).
  void change_length(uint16_t len);
  // Works in the caller's block of len pairs (len > 0) from now on, keeping
  // the first pairs of the current contents that fit; the caller keeps that
  // block alive while this object uses it and frees it afterwards. Lets many
  // objects share one allocation. Refused (-1, nothing changed) for a null
  // block, len 0 or the object's own block.
  int use_block(int16_t* block, uint16_t len);
  stack_list& operator=(int16_t v);  // both components of every pair
};
