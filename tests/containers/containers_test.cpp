#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <stdexcept>
#include <vector>

#include "containers/alloc_check.h"
#include "containers/bmatrix.h"
#include "containers/double_l.h"
#include "containers/edge_mat.h"
#include "containers/list.h"
#include "containers/list_float.h"
#include "containers/list_int.h"
#include "containers/matrix.h"
#include "containers/stack_l.h"

namespace {

list* const kBadPointer = reinterpret_cast<list*>(~uintptr_t(0));

TEST(Matrices, SizesGrowthFillRangeAndAssignment) {
  float_matrix f(0, 0);
  list_matrix l(0, 0);
  edge_matrix e(0, 0);
  bit_matrix b(0, 0);
  EXPECT_EQ(f.dim_x(), 1u); EXPECT_EQ(f.dim_y(), 1u);
  EXPECT_EQ(l.dim_x(), 1u); EXPECT_EQ(l.dim_y(), 1u);
  EXPECT_EQ(e.dim_x(), 1u); EXPECT_EQ(e.dim_y(), 1u);
  EXPECT_EQ(b.dim_x(), 1u); EXPECT_EQ(b.dim_y(), 1u);
  EXPECT_EQ(l(0, 0), nullptr);  // pointer cells start null

  // Growth keeps cells at the same (x, y); the fill form sets exactly the new ones.
  float_matrix g(2, 2);
  for (uint32_t y = 0; y < 2; ++y)
    for (uint32_t x = 0; x < 2; ++x) g.set(x, y, float(10 * x + y));
  g.change_dim(3, 3, 7.5f);
  int filled = 0;
  for (uint32_t y = 0; y < 3; ++y)
    for (uint32_t x = 0; x < 3; ++x) {
      if (x < 2 && y < 2) EXPECT_EQ(g(x, y), float(10 * x + y));
      else filled += g(x, y) == 7.5f;
    }
  EXPECT_EQ(filled, 5);
  g.change_dim(5, 1);  // shrink in y, grow in x
  EXPECT_EQ(g(0, 0), 0.0f);
  EXPECT_EQ(g(1, 0), 10.0f);
  EXPECT_EQ(g(2, 0), 7.5f);
  g.change_dim(0, 0);
  EXPECT_EQ(g.dim_x(), 1u);
  EXPECT_EQ(g(0, 0), 0.0f);

  // Out of range: -1 of the element type; set refuses and changes nothing.
  EXPECT_EQ(g(1, 0), -1.0f);
  EXPECT_EQ(g(0, 1), -1.0f);
  EXPECT_EQ(g.set(0, 1, 3.0f), -1);
  EXPECT_EQ(l(1, 0), kBadPointer);
  EXPECT_EQ(l.set(0, 1, nullptr), -1);
  EXPECT_EQ(e(0, 0, 2), -1);
  EXPECT_EQ(e.set(0, 0, 2, 5), -1);
  EXPECT_EQ(e(1, 0, 0), -1);

  // Edge matrix: both values of a cell survive growth; values are signed.
  edge_matrix em(2, 3);
  em = (int16_t)0;
  em.set(1, 2, 0, -32767);
  em.set(1, 2, 1, 1234);
  em.set(0, 1, 1, -5);
  em.change_dim(4, 4);
  EXPECT_EQ(em(1, 2, 0), -32767);
  EXPECT_EQ(em(1, 2, 1), 1234);
  EXPECT_EQ(em(0, 1, 1), -5);
  EXPECT_EQ(em(0, 1, 0), 0);

  // Pointer matrix: growing keeps pointers and leaves the new cells null.
  list rec(3, 1);
  list_matrix lm(1, 1);
  lm.set(0, 0, &rec);
  lm.change_dim(3, 2);
  EXPECT_EQ(lm(0, 0), &rec);
  EXPECT_EQ(lm(2, 1), nullptr);
  lm.change_dim(3, 3, &rec);
  EXPECT_EQ(lm(1, 2), &rec);
  EXPECT_EQ(lm(1, 1), nullptr);

  // Assignment from another object of another size, and to itself.
  float_matrix src(3, 2);
  src = 2.5f;
  src.set(2, 1, -4.0f);
  float_matrix dst(1, 1);
  dst = src;
  EXPECT_EQ(dst.dim_x(), 3u);
  EXPECT_EQ(dst.dim_y(), 2u);
  EXPECT_EQ(dst(2, 1), -4.0f);
  EXPECT_EQ(dst(0, 0), 2.5f);
  float* block = dst.numbers;
  dst = dst;
  EXPECT_EQ(dst.numbers, block);
  EXPECT_EQ(dst(2, 1), -4.0f);
  edge_matrix ec(1, 1);
  ec = em;
  EXPECT_EQ(ec(1, 2, 0), -32767);
}

TEST(Vectors, SignExtensionResizeAndRange) {
  list_int li(0);
  EXPECT_EQ(li.length(), 1);
  li.change_length(5);
  for (int i = 0; i < 5; ++i) li.set((uint16_t)i, (int16_t)(-32767 + i));
  EXPECT_EQ(li[0], -32767);
  EXPECT_EQ(li[4], -32763);
  EXPECT_EQ(li[5], -1);
  EXPECT_EQ(li.set(5, 1), -1);
  li.change_length(3);
  EXPECT_EQ(li.length(), 3);
  EXPECT_EQ(li[2], -32765);
  EXPECT_EQ(li[3], -1);
  li.change_length(65535);
  EXPECT_EQ(li[0], -32767);
  EXPECT_EQ(li[2], -32765);
  EXPECT_EQ(li.set(65534, 7), 0);
  EXPECT_EQ(li[65534], 7);

  list_int other(2);
  other = (int16_t)-3;
  li = other;
  EXPECT_EQ(li.length(), 2);
  EXPECT_EQ(li[1], -3);
  li = li;
  EXPECT_EQ(li[1], -3);

  list_float lf(4);
  for (uint32_t i = 0; i < 4; ++i) lf.set(i, 0.25f * i);
  lf.change_length(2);
  EXPECT_EQ(lf[1], 0.25f);
  EXPECT_EQ(lf[2], -1.0f);
  lf.change_length(10);
  EXPECT_EQ(lf[1], 0.25f);
  lf.change_length(0);
  EXPECT_EQ(lf.length(), 1u);
  EXPECT_EQ(lf[0], 0.0f);
}

// Bit matrix against a plain model; cells that growth leaves undefined are
// not compared until they are written.
TEST(BitMatrix, RandomOperationsMatchModel) {
  std::mt19937 rng(12345);
  uint32_t w = 5, h = 3;
  bit_matrix b(w, h);
  b = 0;
  std::vector<std::vector<int>> model(h + 1, std::vector<int>(w + 1, 0));  // -2 = undefined
  EXPECT_EQ(b(0, 1), -1);
  EXPECT_EQ(b(1, 0), -1);
  EXPECT_EQ(b.set(0, 1, 1), -1);
  EXPECT_EQ(b(w + 1, 1), -1);
  EXPECT_EQ(b(1, h + 1), -1);
  for (int step = 0; step < 20000; ++step) {
    int op = rng() % 100;
    if (op < 60) {
      uint32_t x = rng() % (w + 2), y = rng() % (h + 2);
      int v = rng() % 2;
      int r = b.set(x, y, v ? (int)(rng() % 200) + 1 : 0);
      bool in = x >= 1 && y >= 1 && x <= w && y <= h;
      ASSERT_EQ(r, in ? 0 : -1);
      if (in) model[y][x] = v;
    } else if (op < 97) {
      uint32_t x = rng() % (w + 2), y = rng() % (h + 2);
      bool in = x >= 1 && y >= 1 && x <= w && y <= h;
      int got = b(x, y);
      if (!in) ASSERT_EQ(got, -1);
      else if (model[y][x] != -2) ASSERT_EQ(got, model[y][x]) << x << "," << y;
      else ASSERT_TRUE(got == 0 || got == 1);
    } else if (op < 99) {
      uint32_t nw = 1 + rng() % 20, nh = 1 + rng() % 6;
      b.change_dim(nw, nh);
      std::vector<std::vector<int>> m2(nh + 1, std::vector<int>(nw + 1, -2));
      for (uint32_t y = 1; y <= nh && y <= h; ++y)
        for (uint32_t x = 1; x <= nw && x <= w; ++x) m2[y][x] = model[y][x];
      model.swap(m2);
      w = nw;
      h = nh;
      ASSERT_EQ(b.dim_x(), w);
      ASSERT_EQ(b.dim_y(), h);
    } else {
      int v = rng() % 2;
      b = v;
      for (auto& row : model)
        for (int& c : row) c = v;
    }
  }
  // A non-zero fill sets whole bytes, padding bits included.
  bit_matrix full(9, 2);
  full = 1;
  EXPECT_EQ(full.numbers[0], 0xff);
  EXPECT_EQ(full.numbers[3], 0xff);
  // Same byte layout keeps the block.
  unsigned char* block = full.numbers;
  full.change_dim(16, 2);
  EXPECT_EQ(full.numbers, block);
  EXPECT_EQ(full(16, 2), 1);
  bit_matrix copy(1, 1);
  copy = full;
  EXPECT_EQ(copy.dim_x(), 16u);
  EXPECT_EQ(copy(12, 2), 1);
}

// Two bit lists in one block against a model of the global bit string.
TEST(BitList, RandomOperationsMatchModel) {
  list z(0, 0);
  EXPECT_EQ(z.list1_length(), 1);
  EXPECT_EQ(z.list2_length(), 0);
  EXPECT_EQ(z.get2(0), -1);
  EXPECT_EQ(z.set2(0, 1), -1);
  // A list-1 length above the total cannot make list 2 wrap around.
  list odd(3, 9);
  EXPECT_EQ(odd.list1_length(), 3);
  EXPECT_EQ(odd.list2_length(), 0);
  EXPECT_EQ(odd.get2(100), -1);

  std::mt19937 rng(777);
  uint16_t total = 10, l1 = 4;
  list b(total, l1);
  b = 0;
  std::vector<int> model(total, 0);
  for (int step = 0; step < 20000; ++step) {
    int op = rng() % 100;
    uint16_t i = (uint16_t)(rng() % (total + 2));
    if (op < 30) {
      int v = rng() % 2;
      ASSERT_EQ(b.set1(i, v), i < l1 ? 0 : -1);
      if (i < l1) model[i] = v;
    } else if (op < 60) {
      int v = rng() % 2;
      ASSERT_EQ(b.set2(i, v), i < total - l1 ? 0 : -1);
      if (i < total - l1) model[l1 + i] = v;
    } else if (op < 78) {
      int want = i < l1 ? model[i] : -1;
      if (want == -2) continue;
      ASSERT_EQ(b.get1(i), want);
    } else if (op < 96) {
      int want = i < total - l1 ? model[l1 + i] : -1;
      if (want == -2) continue;
      ASSERT_EQ(b.get2(i), want);
    } else if (op < 98) {
      // Moving the split keeps every global bit; a new total gives a new block.
      uint16_t nt = (rng() % 2) ? total : (uint16_t)(1 + rng() % 40);
      uint16_t n1 = (uint16_t)(1 + rng() % nt);
      b.change_length(nt, n1);
      if (nt != total) model.assign(nt, -2);
      total = nt;
      l1 = n1;
      ASSERT_EQ(b.list1_length(), l1);
      ASSERT_EQ(b.list2_length(), total - l1);
    } else {
      int v = rng() % 2;
      b = v;
      model.assign(total, v);
    }
  }
  list a(3, 2);
  a = 1;
  EXPECT_EQ(a.numbers[0], 0xff);
  list c(20, 5);
  c = a;
  EXPECT_EQ(c.list1_length(), 2);
  EXPECT_EQ(c.list2_length(), 1);
  EXPECT_EQ(c.get2(0), 1);
  c = c;
  EXPECT_EQ(c.get1(1), 1);
}

TEST(Stacks, StackListAndDoubleListContracts) {
  stack_list s(0);
  EXPECT_EQ(s.capacity(), 1);
  EXPECT_EQ(s.top(0), -1);
  EXPECT_EQ(s.pop(), -1);
  stack_list t(8);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(t.push((int16_t)i, (int16_t)-i), 0);
  EXPECT_EQ(t.top(1), -4);
  EXPECT_EQ(t.top(2), -1);
  t.change_length(3);
  EXPECT_EQ(t.get_stack_pointer(), 2);
  EXPECT_EQ(t.top(0), 1);
  EXPECT_EQ(t.push(9, 9), 0);
  EXPECT_EQ(t.push(9, 9), -1);  // full
  EXPECT_EQ(t(2, 0), 9);
  EXPECT_EQ(t(3, 0), -1);
  EXPECT_EQ(t.set_stack_pointer(3), -1);
  EXPECT_EQ(t.set_stack_pointer(0), 0);
  EXPECT_TRUE(t.is_empty());

  double_list d(4);
  EXPECT_TRUE(d.is_empty());
  EXPECT_EQ(d.pop(), -1);
  EXPECT_EQ(d.top(0), -1);
  d.push(5);
  d.push(7);
  d.pop();
  d.push(9);
  EXPECT_EQ(d.top(0), 9);
  EXPECT_EQ(d.top(1), 0);  // link to the 5
  EXPECT_EQ(d(1, 0), 7);   // the popped pair is untouched
  EXPECT_EQ(d.get_free_pointer(), 3);
  EXPECT_EQ(d.top(2), -1);
  EXPECT_EQ(d.set_actual_pointer(DL_EMPTY), 0);
  EXPECT_TRUE(d.is_empty());
  EXPECT_EQ(d(2, 0), 9);
  EXPECT_EQ(d.set_actual_pointer(4), -1);

  // A negative free pointer is accepted but names no slot: pushes refuse.
  double_list neg(4);
  EXPECT_EQ(neg.set_free_pointer(-5), 0);
  EXPECT_EQ(neg.push(1), -1);
  EXPECT_TRUE(neg.is_empty());
  // Capacities beyond the 16-bit signed pointers stop before wrapping.
  double_list big(40000);
  int pushed = 0;
  while (big.push(1) == 0) ++pushed;
  EXPECT_EQ(pushed, 32767);
  EXPECT_GE(big.get_free_pointer(), 0);
  EXPECT_EQ(big.set_actual_pointer(40000 - 1), -1);

  // Shrinking moves pointers that no longer fit; the empty marker stays.
  double_list sh(10);
  for (int i = 0; i < 6; ++i) sh.push((int16_t)i);
  sh.change_length(4);
  EXPECT_EQ(sh.get_free_pointer(), 3);
  EXPECT_EQ(sh.get_actual_pointer(), 3);
  double_list em(10);
  em.change_length(2);
  EXPECT_TRUE(em.is_empty());
}

// Random pushes and pops with one saved state that is restored now and then.
TEST(Stacks, DoubleListRestoresSavedStates) {
  std::mt19937 rng(99);
  const int cap = 300;
  double_list d(cap);
  std::vector<int16_t> model;
  int saved_actual = d.get_actual_pointer(), saved_free = d.get_free_pointer();
  std::vector<int16_t> saved_model;
  for (int step = 0; step < 50000; ++step) {
    int op = rng() % 100;
    if (op < 45) {
      int16_t v = (int16_t)(rng() % 65536 - 32768);
      int free_before = d.get_free_pointer();
      int r = d.push(v);
      ASSERT_EQ(r, free_before < cap ? 0 : -1);
      if (r == 0) model.push_back(v);
    } else if (op < 85) {
      ASSERT_EQ(d.pop(), model.empty() ? -1 : 0);
      if (!model.empty()) model.pop_back();
    } else if (op < 92) {
      saved_actual = d.get_actual_pointer();
      saved_free = d.get_free_pointer();
      saved_model = model;
    } else {
      ASSERT_EQ(d.set_actual_pointer(saved_actual), 0);
      if (saved_free < cap) ASSERT_EQ(d.set_free_pointer(saved_free), 0);
      else ASSERT_EQ(d.set_free_pointer(saved_free), -1);
      model = saved_model;
    }
    ASSERT_EQ(d.is_empty(), model.empty());
    if (!model.empty()) ASSERT_EQ(d.top(0), model.back());
    else ASSERT_EQ(d.top(0), -1);
  }
}

struct AllocFailure : std::runtime_error {
  using std::runtime_error::runtime_error;
};

TEST(AllocCheck, MessageAndHandler) {
  EXPECT_DEATH(vd::alloc_failed("matrix.cpp", 57, "float_matrix::change_dim", "b!=0"),
               "matrix\\.cpp:57: float_matrix::change_dim: Assertion `b!=0' failed\\.");
  // A request that cannot be met goes to the installed handler with the
  // operation and expression.
  static std::string seen;
  vd::set_alloc_failure_handler([](const char* module, int, const char* op, const char* expr) {
    seen = std::string(module) + " " + op + " " + expr;
    throw AllocFailure(seen);
  });
  float_matrix f(1, 1);
  EXPECT_THROW(f.change_dim(0xffffffffu, 0xffffffffu), AllocFailure);
  EXPECT_EQ(seen, "matrix.cpp float_matrix::change_dim b!=0");
  EXPECT_EQ(f.dim_x(), 1u);  // unchanged
  EXPECT_THROW(edge_matrix(0xffffffffu, 0xffffffffu), AllocFailure);
  EXPECT_EQ(seen, "edge_mat.cpp edge_matrix::edge_matrix numbers!=0");
  vd::set_alloc_failure_handler(nullptr);
}

}  // namespace
