// Vector of signed 16-bit values, 0-based. The length is 32-bit: the node
// path of an alignment needs (n + m + 3) * 2 entries, beyond 16 bits for the
// concave engine's longest sequences. Out-of-range reads give
// -1, writes return -1. A length of 0 is taken as 1.
#pragma once
#include <cstdint>

class list_int {
 public:
  int16_t* numbers;  // owned block
  uint32_t length_;

  explicit list_int(uint32_t len);
  ~list_int();
  list_int(const list_int&) = delete;
  list_int& operator=(const list_int& o);
  list_int& operator=(int16_t v);
  void change_length(uint32_t len);
  int set(uint32_t i, int16_t v) {
    if (i >= length_) return -1;
    numbers[i] = v;
    return 0;
  }
  int operator[](uint32_t i) const { return i < length_ ? numbers[i] : -1; }
  uint32_t length() const { return length_; }
};
