// Matrix of pairs of signed 16-bit values (the concave engine's edge
// records). Index (x, y, k), 0-based, k in {0, 1}; value (x, y, k) lives at
// (y * dim_x + x) * 2 + k. Out-of-range reads give -1, writes return -1.
#pragma once
#include <cstdint>

class edge_matrix {
 public:
  int16_t* numbers;  // 2 * dim_x * dim_y values, owned block
  uint32_t dim_x_, dim_y_;

  edge_matrix(uint32_t x, uint32_t y);
  ~edge_matrix();
  edge_matrix(const edge_matrix&) = delete;
  edge_matrix& operator=(const edge_matrix& o);
  edge_matrix& operator=(int16_t v);
  void change_dim(uint32_t x, uint32_t y);
  int set(uint32_t x, uint32_t y, uint32_t k, int16_t v) {
    if (x >= dim_x_ || y >= dim_y_ || k > 1) return -1;
    numbers[((uint64_t)y * dim_x_ + x) * 2 + k] = v;
    return 0;
  }
  int operator()(uint32_t x, uint32_t y, uint32_t k) const {
    if (x >= dim_x_ || y >= dim_y_ || k > 1) return -1;
    return numbers[((uint64_t)y * dim_x_ + x) * 2 + k];
  }
  uint32_t dim_x() const { return dim_x_; }
  uint32_t dim_y() const { return dim_y_; }
};
