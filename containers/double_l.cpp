#include "containers/double_l.h"

#include <cstring>

#include "containers/alloc_check.h"

double_list::double_list(uint16_t len) : capacity_(len == 0 ? 1 : len), free_(0), actual_(DL_EMPTY) {
  numbers = VD_NEW_ARRAY(int16_t, 2 * (uint32_t)capacity_, "double_l.cpp", "double_list::double_list",
                         "numbers!=0");
}

double_list::~double_list() { delete[] numbers; }

void double_list::change_length(uint16_t len) {
  if (len == capacity_) return;
  if (len == 0) len = 1;
  if (len == capacity_) return;
  int16_t* b =
      VD_NEW_ARRAY(int16_t, 2 * (uint32_t)len, "double_l.cpp", "double_list::change_length", "b!=0");
  std::memcpy(b, numbers, sizeof(int16_t) * 2 * (len < capacity_ ? len : capacity_));
  delete[] numbers;
  numbers = b;
  capacity_ = len;
  // Pointers are compared signed: the empty marker (negative) never moves.
  if (!(free_ < (int)capacity_)) free_ = (int16_t)(capacity_ - 1);
  if (!(actual_ < (int)capacity_)) actual_ = (int16_t)(capacity_ - 1);
}

double_list& double_list::operator=(int16_t v) {
  for (uint32_t i = 0; i < 2 * (uint32_t)capacity_; ++i) numbers[i] = v;
  return *this;
}
