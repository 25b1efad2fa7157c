#include "containers/bmatrix.h"

#include <cstring>

#include "containers/alloc_check.h"

const unsigned char bit_value[8] = {1, 2, 4, 8, 16, 32, 64, 128};

namespace {
inline uint32_t row_bytes(uint32_t x) { return ((x - 1) >> 3) + 1; }
}  // namespace

bit_matrix::bit_matrix(uint32_t x, uint32_t y) : dim_x_(x == 0 ? 1 : x), dim_y_(y == 0 ? 1 : y) {
  numbers = VD_NEW_ARRAY(unsigned char, (uint64_t)row_bytes(dim_x_) * dim_y_, "bmatrix.cpp",
                         "bit_matrix::bit_matrix", "numbers!=0");
}

bit_matrix::~bit_matrix() { delete[] numbers; }

bit_matrix& bit_matrix::operator=(const bit_matrix& o) {
  if (this == &o) return *this;
  uint64_t bytes = (uint64_t)o.bytes_per_row() * o.dim_y_;
  if (dim_x_ != o.dim_x_ || dim_y_ != o.dim_y_) {
    unsigned char* b =
        VD_NEW_ARRAY(unsigned char, bytes, "bmatrix.cpp", "bit_matrix::operator=", "numbers!=0");
    delete[] numbers;
    numbers = b;
    dim_x_ = o.dim_x_;
    dim_y_ = o.dim_y_;
  }
  std::memcpy(numbers, o.numbers, bytes);
  return *this;
}

bit_matrix& bit_matrix::operator=(int v) {
  std::memset(numbers, v ? 0xff : 0, (uint64_t)bytes_per_row() * dim_y_);
  return *this;
}

void bit_matrix::change_dim(uint32_t x, uint32_t y) {
  if (x == 0) x = 1;
  if (y == 0) y = 1;
  // Same byte layout: the block stays, only the sizes change.
  if (row_bytes(x) == bytes_per_row() && y == dim_y_) {
    dim_x_ = x;
    return;
  }
  uint32_t new_row = row_bytes(x);
  unsigned char* b =
      VD_NEW_ARRAY(unsigned char, (uint64_t)new_row * y, "bmatrix.cpp", "bit_matrix::change_dim", "b!=0");
  uint32_t rows = y < dim_y_ ? y : dim_y_;
  uint32_t keep = row_bytes(x < dim_x_ ? x : dim_x_);
  uint32_t old_row = bytes_per_row();
  for (uint32_t r = 0; r < rows; ++r)
    std::memcpy(b + (uint64_t)r * new_row, numbers + (uint64_t)r * old_row, keep);
  delete[] numbers;
  numbers = b;
  dim_x_ = x;
  dim_y_ = y;
}
