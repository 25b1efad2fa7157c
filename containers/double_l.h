// Stack of signed 16-bit values linked inside an array whose pops never
// destroy an element, so that an earlier state is restored by resetting one
// index. Pair i: component 0 the value, component 1 the index of the element
// below it. -32767 is the empty marker and the link of the bottom element.
#pragma once
#include <cstdint>

constexpr int16_t DL_EMPTY = -32767;

class double_list {
 public:
  int16_t* numbers;   // capacity pairs
  uint16_t capacity_;
  int16_t free_;      // next free pair; only pushes advance it
  int16_t actual_;    // index of the top element, DL_EMPTY when empty

  bool owned_ = true;  // false while numbers is a block lent by use_block

  explicit double_list(uint16_t len = 1);
  ~double_list();
  double_list(const double_list&) = delete;
  double_list& operator=(const double_list&) = delete;
  // A negative free pointer (accepted by set_free_pointer, or reached by
  // wrapping past 32767) names no slot: the push is refused.
  int push(int16_t v) {
    if (free_ < 0 || !(free_ < (int)capacity_) || free_ == INT16_MAX) return -1;
    numbers[2 * free_] = v; numbers[2 * free_ + 1] = actual_;
    actual_ = free_; ++free_;
    return 0;
  }
  // A negative pointer other than the empty marker (possible through
  // set_actual_pointer) names no element: pop and top refuse it like empty.
  int pop() { if (actual_ < 0 || actual_ >= (int)capacity_) return -1; actual_ = numbers[2 * actual_ + 1]; return 0; }
  int top(int k) const { return (actual_ < 0 || actual_ >= (int)capacity_ || k < 0 || k > 1) ? -1 : numbers[2 * actual_ + k]; }
  int get_actual_pointer() const { return actual_; }
  int get_free_pointer() const { return free_; }
  // Accepted when below the capacity (signed); values that do not fit the
  // 16-bit pointer are refused rather than wrapped.
  int set_actual_pointer(int p) { if (!(p < (int)capacity_) || p < INT16_MIN || p > INT16_MAX) return -1; actual_ = (int16_t)p; return 0; }
  int set_free_pointer(int p) { if (!(p < (int)capacity_) || p < INT16_MIN || p > INT16_MAX) return -1; free_ = (int16_t)p; return 0; }
  bool is_empty() const { return actual_ == DL_EMPTY; }
  int set(uint16_t i, int k, int16_t v) {
    if (i >= capacity_ || k < 0 || k > 1) return -1;
    numbers[2 * i + k] = v; return 0;
  }
  int operator()(uint16_t i, int k) const { return (i >= capacity_ || k < 0 || k > 1) ? -1 : numbers[2 * i + k]; }
  uint16_t capacity() const { return capacity_; }
  // Resizes into a block of its own (also when the current block was lent).
  void change_length(uint16_t len);
  // Works in the caller's block of len pairs (len > 0) from now on, keeping
  // the first pairs of the current contents that fit; the caller keeps that
  // block alive while this object uses it and frees it afterwards. Lets many
  // objects share one allocation. Refused (-1, nothing changed) for a null
  // block, len 0 or the object's own block.
  int use_block(int16_t* block, uint16_t len);
  double_list& operator=(int16_t v);  // both components of every pair
};
