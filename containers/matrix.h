// Matrices of pointers to edge records and of single-precision floats.
// 0-based (x, y) with 32-bit unsigned indices; cell (x, y) lives at
// y * dim_x + x. Out-of-range reads give -1 converted to the element type
// (all bits set for the pointer matrix, -1.0f for floats); out-of-range
// writes return -1 and change nothing. Sizes of 0 are taken as 1.
#pragma once
#include <cstdint>

class list;

class list_matrix {
 public:
  list** numbers;   // dim_x * dim_y pointers, owned block (the records are not owned);
                    // cells start null, and cells added by growth are null unless filled
  uint32_t dim_x_, dim_y_;

  list_matrix(uint32_t x, uint32_t y);
  ~list_matrix();
  list_matrix(const list_matrix&) = delete;
  list_matrix& operator=(const list_matrix& o);
  list_matrix& operator=(list* v);            // every cell takes v
  void change_dim(uint32_t x, uint32_t y);
  void change_dim(uint32_t x, uint32_t y, list* fill);
  int set(uint32_t x, uint32_t y, list* v) {
    if (x >= dim_x_ || y >= dim_y_) return -1;
    numbers[(uint64_t)y * dim_x_ + x] = v;
    return 0;
  }
  list* operator()(uint32_t x, uint32_t y) const {
    if (x >= dim_x_ || y >= dim_y_) return reinterpret_cast<list*>(~uintptr_t(0));
    return numbers[(uint64_t)y * dim_x_ + x];
  }
  uint32_t dim_x() const { return dim_x_; }
  uint32_t dim_y() const { return dim_y_; }
};

class float_matrix {
 public:
  float* numbers;   // dim_x * dim_y floats, owned block
  uint32_t dim_x_, dim_y_;

  float_matrix(uint32_t x, uint32_t y);
  ~float_matrix();
  float_matrix(const float_matrix&) = delete;
  float_matrix& operator=(const float_matrix& o);
  float_matrix& operator=(float v);
  void change_dim(uint32_t x, uint32_t y);
  void change_dim(uint32_t x, uint32_t y, float fill);
  int set(uint32_t x, uint32_t y, float v) {
    if (x >= dim_x_ || y >= dim_y_) return -1;
    numbers[(uint64_t)y * dim_x_ + x] = v;
    return 0;
  }
  float operator()(uint32_t x, uint32_t y) const {
    if (x >= dim_x_ || y >= dim_y_) return -1.0f;
    return numbers[(uint64_t)y * dim_x_ + x];
  }
  uint32_t dim_x() const { return dim_x_; }
  uint32_t dim_y() const { return dim_y_; }
  // Unchecked row pointer for hot loops: &cell(0, y).
  float* row(uint32_t y) { return numbers + (uint64_t)y * dim_x_; }
  const float* row(uint32_t y) const { return numbers + (uint64_t)y * dim_x_; }
};
