#include "containers/matrix.h"

#include <cstring>

#include "containers/alloc_check.h"

namespace {

// Copies the overlapping region of two row-major blocks cell by cell.
template <typename T>
void copy_overlap(T* dst, uint32_t dx, uint32_t dy, const T* src, uint32_t sx, uint32_t sy) {
  uint32_t w = dx < sx ? dx : sx;
  uint32_t h = dy < sy ? dy : sy;
  for (uint32_t y = 0; y < h; ++y)
    for (uint32_t x = 0; x < w; ++x) dst[(uint64_t)y * dx + x] = src[(uint64_t)y * sx + x];
}

template <typename T>
void fill_outside(T* dst, uint32_t dx, uint32_t dy, uint32_t keep_x, uint32_t keep_y, T fill) {
  for (uint32_t y = 0; y < dy; ++y)
    for (uint32_t x = 0; x < dx; ++x)
      if (x >= keep_x || y >= keep_y) dst[(uint64_t)y * dx + x] = fill;
}

inline uint32_t at_least_one(uint32_t v) { return v == 0 ? 1 : v; }

}  // namespace

// ---------------------------------------------------------------- list_matrix

list_matrix::list_matrix(uint32_t x, uint32_t y) : dim_x_(at_least_one(x)), dim_y_(at_least_one(y)) {
  numbers = VD_NEW_ARRAY(list*, (uint64_t)dim_x_ * dim_y_, "matrix.cpp", "list_matrix::list_matrix",
                         "numbers!=0");
  // Cells start null so that a caller releasing the records never meets garbage.
  *this = static_cast<list*>(nullptr);
}

list_matrix::~list_matrix() { delete[] numbers; }

list_matrix& list_matrix::operator=(const list_matrix& o) {
  if (this == &o) return *this;
  if (dim_x_ != o.dim_x_ || dim_y_ != o.dim_y_) {
    list** b = VD_NEW_ARRAY(list*, (uint64_t)o.dim_x_ * o.dim_y_, "matrix.cpp", "list_matrix::operator=",
                            "numbers!=0");
    delete[] numbers;
    numbers = b;
    dim_x_ = o.dim_x_;
    dim_y_ = o.dim_y_;
  }
  std::memcpy(numbers, o.numbers, sizeof(list*) * (uint64_t)dim_x_ * dim_y_);
  return *this;
}

list_matrix& list_matrix::operator=(list* v) {
  uint64_t total = (uint64_t)dim_x_ * dim_y_;
  for (uint64_t i = 0; i < total; ++i) numbers[i] = v;
  return *this;
}

void list_matrix::change_dim(uint32_t x, uint32_t y) {
  if (x == dim_x_ && y == dim_y_) return;
  x = at_least_one(x);
  y = at_least_one(y);
  if (x == dim_x_ && y == dim_y_) return;
  list** b = VD_NEW_ARRAY(list*, (uint64_t)x * y, "matrix.cpp", "list_matrix::change_dim", "b!=0");
  copy_overlap(b, x, y, numbers, dim_x_, dim_y_);
  fill_outside(b, x, y, dim_x_ < x ? dim_x_ : x, dim_y_ < y ? dim_y_ : y, static_cast<list*>(nullptr));
  delete[] numbers;
  numbers = b;
  dim_x_ = x;
  dim_y_ = y;
}

void list_matrix::change_dim(uint32_t x, uint32_t y, list* fill) {
  if (x == dim_x_ && y == dim_y_) return;
  x = at_least_one(x);
  y = at_least_one(y);
  if (x == dim_x_ && y == dim_y_) return;
  list** b = VD_NEW_ARRAY(list*, (uint64_t)x * y, "matrix.cpp", "list_matrix::change_dim", "b!=0");
  copy_overlap(b, x, y, numbers, dim_x_, dim_y_);
  fill_outside(b, x, y, dim_x_ < x ? dim_x_ : x, dim_y_ < y ? dim_y_ : y, fill);
  delete[] numbers;
  numbers = b;
  dim_x_ = x;
  dim_y_ = y;
}

// --------------------------------------------------------------- float_matrix

float_matrix::float_matrix(uint32_t x, uint32_t y) : dim_x_(at_least_one(x)), dim_y_(at_least_one(y)) {
  numbers = VD_NEW_ARRAY(float, (uint64_t)dim_x_ * dim_y_, "matrix.cpp", "float_matrix::float_matrix",
                         "numbers!=0");
}

float_matrix::~float_matrix() { delete[] numbers; }

float_matrix& float_matrix::operator=(const float_matrix& o) {
  if (this == &o) return *this;
  if (dim_x_ != o.dim_x_ || dim_y_ != o.dim_y_) {
    float* b = VD_NEW_ARRAY(float, (uint64_t)o.dim_x_ * o.dim_y_, "matrix.cpp", "float_matrix::operator=",
                            "numbers!=0");
    delete[] numbers;
    numbers = b;
    dim_x_ = o.dim_x_;
    dim_y_ = o.dim_y_;
  }
  std::memcpy(numbers, o.numbers, sizeof(float) * (uint64_t)dim_x_ * dim_y_);
  return *this;
}

float_matrix& float_matrix::operator=(float v) {
  uint64_t total = (uint64_t)dim_x_ * dim_y_;
  for (uint64_t i = 0; i < total; ++i) numbers[i] = v;
  return *this;
}

void float_matrix::change_dim(uint32_t x, uint32_t y) {
  if (x == dim_x_ && y == dim_y_) return;
  x = at_least_one(x);
  y = at_least_one(y);
  if (x == dim_x_ && y == dim_y_) return;
  float* b = VD_NEW_ARRAY(float, (uint64_t)x * y, "matrix.cpp", "float_matrix::change_dim", "b!=0");
  copy_overlap(b, x, y, numbers, dim_x_, dim_y_);
  delete[] numbers;
  numbers = b;
  dim_x_ = x;
  dim_y_ = y;
}

void float_matrix::change_dim(uint32_t x, uint32_t y, float fill) {
  if (x == dim_x_ && y == dim_y_) return;
  x = at_least_one(x);
  y = at_least_one(y);
  if (x == dim_x_ && y == dim_y_) return;
  float* b = VD_NEW_ARRAY(float, (uint64_t)x * y, "matrix.cpp", "float_matrix::change_dim", "b!=0");
  copy_overlap(b, x, y, numbers, dim_x_, dim_y_);
  fill_outside(b, x, y, dim_x_ < x ? dim_x_ : x, dim_y_ < y ? dim_y_ : y, fill);
  delete[] numbers;
  numbers = b;
  dim_x_ = x;
  dim_y_ = y;
}
