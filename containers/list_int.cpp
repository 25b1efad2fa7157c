#include "containers/list_int.h"

#include <cstring>

#include "containers/alloc_check.h"

list_int::list_int(uint32_t len) : length_(len == 0 ? 1 : len) {
  numbers = VD_NEW_ARRAY(int16_t, length_, "list_int.cpp", "list_int::list_int", "numbers!=0");
}

list_int::~list_int() { delete[] numbers; }

list_int& list_int::operator=(const list_int& o) {
  if (this == &o) return *this;
  if (length_ != o.length_) {
    int16_t* b = VD_NEW_ARRAY(int16_t, o.length_, "list_int.cpp", "list_int::operator=", "numbers!=0");
    delete[] numbers;
    numbers = b;
    length_ = o.length_;
  }
  std::memcpy(numbers, o.numbers, sizeof(int16_t) * length_);
  return *this;
}

list_int& list_int::operator=(int16_t v) {
  for (uint32_t i = 0; i < length_; ++i) numbers[i] = v;
  return *this;
}

void list_int::change_length(uint32_t len) {
  if (len == length_) return;
  if (len == 0) len = 1;
  if (len == length_) return;
  int16_t* b = VD_NEW_ARRAY(int16_t, len, "list_int.cpp", "list_int::change_length", "b!=0");
  std::memcpy(b, numbers, sizeof(int16_t) * (len < length_ ? len : length_));
  delete[] numbers;
  numbers = b;
  length_ = len;
}
