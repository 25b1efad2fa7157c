#include "containers/stack_l.h"

#include <cstring>

#include "containers/alloc_check.h"
#include "containers/pair_block.h"

stack_list::stack_list(uint16_t len) : capacity_(len == 0 ? 1 : len), sp_(0) {
  numbers = VD_NEW_ARRAY(int16_t, 2 * (uint32_t)capacity_, "stack_l.cpp", "stack_list::stack_list",
                         "numbers!=0");
}

stack_list::~stack_list() {
  if (owned_) delete[] numbers;
}

void stack_list::change_length(uint16_t len) {
  if (len == 0) len = 1;
  if (len == capacity_ && owned_) return;
  int16_t* b = VD_NEW_ARRAY(int16_t, 2 * (uint32_t)len, "stack_l.cpp", "stack_list::change_length", "b!=0");
  move_pair_block(numbers, owned_, capacity_, b, len, true);
  const bool shrunk = len < capacity_;
  capacity_ = len;
  if (shrunk && sp_ >= capacity_) sp_ = (uint16_t)(capacity_ - 1);
}

int stack_list::use_block(int16_t* block, uint16_t len) {
  // The object's own block cannot be lent to it.
  if (block == nullptr || len == 0 || (owned_ && block == numbers)) return -1;
  move_pair_block(numbers, owned_, capacity_, block, len, false);
  const bool shrunk = len < capacity_;
  capacity_ = len;
  if (shrunk && sp_ >= capacity_) sp_ = (uint16_t)(capacity_ - 1);
  return 0;
}

stack_list& stack_list::operator=(int16_t v) {
  for (uint32_t i = 0; i < 2 * (uint32_t)capacity_; ++i) numbers[i] = v;
  return *this;
}
