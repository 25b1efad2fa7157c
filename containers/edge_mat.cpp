#include "containers/edge_mat.h"

#include <cstring>

#include "containers/alloc_check.h"

namespace {
// Values of an x by y table; saturates (an impossible request) instead of wrapping.
inline uint64_t values_of(uint32_t x, uint32_t y) {
  uint64_t cells = (uint64_t)x * y;
  return cells > UINT64_MAX / 2 ? UINT64_MAX : cells * 2;
}
}  // namespace

edge_matrix::edge_matrix(uint32_t x, uint32_t y) : dim_x_(x == 0 ? 1 : x), dim_y_(y == 0 ? 1 : y) {
  numbers = VD_NEW_ARRAY(int16_t, values_of(dim_x_, dim_y_), "edge_mat.cpp", "edge_matrix::edge_matrix",
                         "numbers!=0");
}

edge_matrix::~edge_matrix() { delete[] numbers; }

edge_matrix& edge_matrix::operator=(const edge_matrix& o) {
  if (this == &o) return *this;
  if (dim_x_ != o.dim_x_ || dim_y_ != o.dim_y_) {
    int16_t* b = VD_NEW_ARRAY(int16_t, values_of(o.dim_x_, o.dim_y_), "edge_mat.cpp",
                              "edge_matrix::operator=", "numbers!=0");
    delete[] numbers;
    numbers = b;
    dim_x_ = o.dim_x_;
    dim_y_ = o.dim_y_;
  }
  std::memcpy(numbers, o.numbers, sizeof(int16_t) * 2 * (uint64_t)dim_x_ * dim_y_);
  return *this;
}

edge_matrix& edge_matrix::operator=(int16_t v) {
  uint64_t total = (uint64_t)dim_x_ * dim_y_ * 2;
  for (uint64_t i = 0; i < total; ++i) numbers[i] = v;
  return *this;
}

void edge_matrix::change_dim(uint32_t x, uint32_t y) {
  if (x == dim_x_ && y == dim_y_) return;
  if (x == 0) x = 1;
  if (y == 0) y = 1;
  if (x == dim_x_ && y == dim_y_) return;
  int16_t* b = VD_NEW_ARRAY(int16_t, values_of(x, y), "edge_mat.cpp", "edge_matrix::change_dim", "b!=0");
  uint32_t w = x < dim_x_ ? x : dim_x_;
  uint32_t h = y < dim_y_ ? y : dim_y_;
  for (uint32_t r = 0; r < h; ++r)
    std::memcpy(b + (uint64_t)r * x * 2, numbers + (uint64_t)r * dim_x_ * 2, sizeof(int16_t) * 2 * w);
  delete[] numbers;
  numbers = b;
  dim_x_ = x;
  dim_y_ = y;
}
