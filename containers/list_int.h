// Vector of signed 16-bit values, 0-based, 16-bit length (this bounds every
// per-sequence vector and so the sequence lengths). Out-of-range reads give
// -1, writes return -1. A length of 0 is taken as 1.
#pragma once
#include <cstdint>

class list_int {
 public:
  int16_t* numbers;  // owned block
  uint16_t length_;

  explicit list_int(uint16_t len);
  ~list_int();
  list_int(const list_int&) = delete;
  list_int& operator=(const list_int& o);
  list_int& operator=(int16_t v);
  void change_length(uint16_t len);
  int set(uint16_t i, int16_t v) {
    if (i >= length_) return -1;
    numbers[i] = v;
    return 0;
  }
  int operator[](uint16_t i) const { return i < length_ ? numbers[i] : -1; }
  uint16_t length() const { return length_; }
};
