#include "containers/list.h"

#include <cstring>

#include "containers/alloc_check.h"

namespace {
inline uint32_t bytes_for(uint32_t total) { return ((total - 1) >> 3) + 1; }
}  // namespace

// A list-1 length above the total would make list 2 negative (its 16-bit
// length would wrap and reach far past the block): list 1 is cut to the total.
list::list(uint16_t total, uint16_t l1) {
  if (total == 0) total = 1;
  if (l1 == 0) l1 = 1;
  if (l1 > total) l1 = total;
  list1_length_ = l1;
  list2_length_ = (uint16_t)(total - l1);
  numbers = VD_NEW_ARRAY(unsigned char, bytes_for(total), "list.cpp", "list::list", "numbers!=0");
}

list::~list() { delete[] numbers; }

list& list::operator=(const list& o) {
  if (this == &o) return *this;
  uint32_t bytes = o.block_bytes();
  if (block_bytes() != bytes) {
    unsigned char* b = VD_NEW_ARRAY(unsigned char, bytes, "list.cpp", "list::operator=", "numbers!=0");
    delete[] numbers;
    numbers = b;
  }
  list1_length_ = o.list1_length_;
  list2_length_ = o.list2_length_;
  std::memcpy(numbers, o.numbers, bytes);
  return *this;
}

list& list::operator=(int v) {
  std::memset(numbers, v ? 0xff : 0, block_bytes());
  return *this;
}

void list::change_length(uint16_t total, uint16_t l1) {
  if (total == 0) total = 1;
  if (l1 == 0) l1 = 1;
  if (l1 > total) l1 = total;
  if ((uint32_t)total != (uint32_t)list1_length_ + list2_length_) {
    unsigned char* b = VD_NEW_ARRAY(unsigned char, bytes_for(total), "list.cpp", "list::change_length",
                                    "numbers!=0");
    delete[] numbers;
    numbers = b;
  }
  list1_length_ = l1;
  list2_length_ = (uint16_t)(total - l1);
}
