#include "containers/list_float.h"

#include <cstring>

#include "containers/alloc_check.h"

list_float::list_float(uint32_t len) : length_(len == 0 ? 1 : len) {
  numbers = VD_NEW_ARRAY(float, length_, "list_float.cpp", "list_float::list_float", "numbers!=0");
}

list_float::~list_float() { delete[] numbers; }

list_float& list_float::operator=(const list_float& o) {
  if (this == &o) return *this;
  if (length_ != o.length_) {
    float* b = VD_NEW_ARRAY(float, o.length_, "list_float.cpp", "list_float::operator=", "numbers!=0");
    delete[] numbers;
    numbers = b;
    length_ = o.length_;
  }
  std::memcpy(numbers, o.numbers, sizeof(float) * length_);
  return *this;
}

list_float& list_float::operator=(float v) {
  for (uint32_t i = 0; i < length_; ++i) numbers[i] = v;
  return *this;
}

void list_float::change_length(uint32_t len) {
  if (len == length_) return;
  if (len == 0) len = 1;
  if (len == length_) return;
  float* b = VD_NEW_ARRAY(float, len, "list_float.cpp", "list_float::change_length", "b!=0");
  std::memcpy(b, numbers, sizeof(float) * (len < length_ ? len : length_));
  delete[] numbers;
  numbers = b;
  length_ = len;
}
