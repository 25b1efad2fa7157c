// Vector of single-precision floats, 0-based, 32-bit length. Out-of-range
// reads give -1.0f, writes return -1. A length of 0 is taken as 1.
#pragma once
#include <cstdint>

class list_float {
 public:
  float* numbers;  // owned block
  uint32_t length_;

  explicit list_float(uint32_t len);
  ~list_float();
  list_float(const list_float&) = delete;
  list_float& operator=(const list_float& o);
  list_float& operator=(float v);
  void change_length(uint32_t len);
  int set(uint32_t i, float v) {
    if (i >= length_) return -1;
    numbers[i] = v;
    return 0;
  }
  float operator[](uint32_t i) const { return i < length_ ? numbers[i] : -1.0f; }
  uint32_t length() const { return length_; }
};
