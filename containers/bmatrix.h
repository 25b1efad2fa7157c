// Bit matrix, 1-based: 1 <= x <= dim_x, 1 <= y <= dim_y. Rows of
// ((dim_x - 1) / 8) + 1 bytes; bit (x, y) is bit (x - 1) % 8 of byte
// (y - 1) * bytes_per_row + (x - 1) / 8. Reads outside give -1 (which callers
// testing for non-zero read as set: the border of the alignment grid);
// writes outside return -1 and change nothing.
#pragma once
#include <cstdint>

extern const unsigned char bit_value[8];  // 1, 2, 4, ..., 128

class bit_matrix {
 public:
  unsigned char* numbers;  // owned block
  uint32_t dim_x_, dim_y_;

  bit_matrix(uint32_t x, uint32_t y);
  ~bit_matrix();
  bit_matrix(const bit_matrix&) = delete;
  bit_matrix& operator=(const bit_matrix& o);
  bit_matrix& operator=(int v);  // non-zero sets every bit of the block, 0 clears
  void change_dim(uint32_t x, uint32_t y);
  uint32_t bytes_per_row() const { return ((dim_x_ - 1) >> 3) + 1; }
  int set(uint32_t x, uint32_t y, int v) {
    if (x == 0 || y == 0 || x > dim_x_ || y > dim_y_) return -1;
    unsigned char* b = numbers + (uint64_t)(y - 1) * bytes_per_row() + ((x - 1) >> 3);
    if (v) *b |= bit_value[(x - 1) & 7]; else *b &= (unsigned char)~bit_value[(x - 1) & 7];
    return 0;
  }
  int operator()(uint32_t x, uint32_t y) const {
    if (x == 0 || y == 0 || x > dim_x_ || y > dim_y_) return -1;
    return (numbers[(uint64_t)(y - 1) * bytes_per_row() + ((x - 1) >> 3)] >> ((x - 1) & 7)) & 1;
  }
  uint32_t dim_x() const { return dim_x_; }
  uint32_t dim_y() const { return dim_y_; }
};
