// Two bit lists in one block: the edge record of one node of the general
// distance graph. Global bit b is bit b % 8 of byte b / 8; list 1 bit i is
// global bit i, list 2 bit i is global bit list1_length + i. The block holds
// ((total - 1) / 8) + 1 bytes, total = list1_length + list2_length.
// list2_length may be 0; list1_length is at least 1. Out-of-range reads give
// -1, writes return -1.
#pragma once
#include <cstdint>

class list {
 public:
  unsigned char* numbers;  // owned block
  uint16_t list1_length_, list2_length_;

  list(uint16_t total, uint16_t l1);
  ~list();
  list(const list&) = delete;
  list& operator=(const list& o);
  list& operator=(int v);  // non-zero sets every bit of the block, 0 clears
  void change_length(uint16_t total, uint16_t l1);
  int set1(uint16_t i, int v) { return i < list1_length_ ? put(i, v) : -1; }
  int set2(uint16_t i, int v) { return i < list2_length_ ? put((uint32_t)list1_length_ + i, v) : -1; }
  int get1(uint16_t i) const { return i < list1_length_ ? bit(i) : -1; }
  int get2(uint16_t i) const { return i < list2_length_ ? bit((uint32_t)list1_length_ + i) : -1; }
  uint16_t list1_length() const { return list1_length_; }
  uint16_t list2_length() const { return list2_length_; }
  uint32_t block_bytes() const { return (((uint32_t)list1_length_ + list2_length_ - 1) >> 3) + 1; }

 private:
  int bit(uint32_t b) const { return (numbers[b >> 3] >> (b & 7)) & 1; }
  int put(uint32_t b, int v) {
    if (v) numbers[b >> 3] |= (unsigned char)(1u << (b & 7));
    else numbers[b >> 3] &= (unsigned char)~(1u << (b & 7));
    return 0;
  }
};
