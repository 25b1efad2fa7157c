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
  EXPECT_EQ(f.dim_x() * f.dim_y() * l.dim_x() * l.dim_y() * e.dim_x() * e.dim_y() * b.dim_x() * b.dim_y(), 1u);
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
  EXPECT_EQ(g(1, 0), 10.0f);
  EXPECT_EQ(g(2, 0), 7.5f);
  g.change_dim(0, 0);
  EXPECT_EQ(g(0, 0), 0.0f);

  // Out of range: -1 of the element type; set refuses.
  EXPECT_EQ(g(1, 0), -1.0f);
  EXPECT_EQ(g.set(0, 1, 3.0f), -1);
  EXPECT_EQ(l(1, 0), kBadPointer);
  EXPECT_EQ(l.set(0, 1, nullptr), -1);
  EXPECT_EQ(e.set(0, 0, 2, 5), -1);

  // Edge matrix: both values of a cell survive growth; values are signed.
  edge_matrix em(2, 3);
  em = (int16_t)0;
  em.set(1, 2, 0, -32767);
  em.set(1, 2, 1, 1234);
  em.set(0, 1, 1, -5);
  em.change_dim(4, 4);
  EXPECT_TRUE(em(1, 2, 0) == -32767 && em(1, 2, 1) == 1234 && em(0, 1, 1) == -5);

  // Pointer matrix: growing keeps pointers and leaves the new cells null.
  list rec(3, 1);
  l.set(0, 0, &rec);
  l.change_dim(3, 2);
  EXPECT_TRUE(l(0, 0) == &rec && l(2, 1) == nullptr);

  // Assignment from another object of another size, and to itself.
  g = 2.5f;
  float_matrix dst(3, 7);
  dst = g;
  dst = dst;
  EXPECT_TRUE(dst.dim_x() == 1 && dst.dim_y() == 1 && dst(0, 0) == 2.5f);
}

TEST(Vectors, SignExtensionResizeAndRange) {
  list_int li(0);
  EXPECT_EQ(li.length(), 1);
  li.change_length(5);
  for (int i = 0; i < 5; ++i) li.set((uint16_t)i, (int16_t)(-32767 + i));
  EXPECT_EQ(li[5], -1);
  li.change_length(3);  // shrinking keeps the first elements, growing all of them
  li.change_length(65535);
  EXPECT_EQ(li[0], -32767);
  EXPECT_EQ(li[2], -32765);
  EXPECT_EQ(li.set(65534, 7), 0);
  list_int other(2);
  other = (int16_t)-3;
  li = other;
  li = li;
  EXPECT_EQ(li.length(), 2);
  EXPECT_EQ(li[1], -3);

  list_float lf(4);
  for (uint32_t i = 0; i < 4; ++i) lf.set(i, 0.25f * i);
  lf.change_length(2);
  lf.change_length(10);
  EXPECT_EQ(lf[1], 0.25f);
  EXPECT_EQ(lf[10], -1.0f);
}

// Bit matrix against a plain model; cells that growth leaves undefined are
// not compared until they are written.
TEST(BitMatrix, RandomOperationsMatchModel) {
  std::mt19937 rng(12345);
  uint32_t w = 5, h = 3;
  bit_matrix b(w, h);
  b = 0;
  std::vector<std::vector<int>> model(h + 1, std::vector<int>(w + 1, 0));  // -2 = undefined
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
      int want = in ? model[y][x] : -1;
      if (want != -2) {
        ASSERT_EQ(got, want) << x << "," << y;
      }
    } else if (op < 99) {
      uint32_t nw = 1 + rng() % 20, nh = 1 + rng() % 6;
      b.change_dim(nw, nh);
      std::vector<std::vector<int>> m2(nh + 1, std::vector<int>(nw + 1, -2));
      for (uint32_t y = 1; y <= nh && y <= h; ++y)
        for (uint32_t x = 1; x <= nw && x <= w; ++x) m2[y][x] = model[y][x];
      model.swap(m2);
      w = nw;
      h = nh;
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
  EXPECT_TRUE(full.numbers[0] == 0xff && full.numbers[3] == 0xff);
  full.change_dim(16, 2);  // same byte layout: the block and its bits stay
  EXPECT_EQ(full(16, 2), 1);
}

// Two bit lists in one block against a model of the global bit string.
TEST(BitList, RandomOperationsMatchModel) {
  list z(0, 0);
  EXPECT_TRUE(z.list1_length() == 1 && z.list2_length() == 0);
  list odd(3, 9);  // a list-1 length above the total cannot make list 2 wrap around
  EXPECT_TRUE(odd.list1_length() == 3 && odd.list2_length() == 0 && odd.get2(100) == -1);

  std::mt19937 rng(777);
  int total = 10, l1 = 4;
  list b((uint16_t)total, (uint16_t)l1);
  b = 0;
  std::vector<int> model(total, 0);  // -2 = undefined
  for (int step = 0; step < 20000; ++step) {
    int op = rng() % 100, second = rng() % 2;
    int i = rng() % (total + 2);
    int len = second ? total - l1 : l1, at = second ? l1 + i : i;
    if (op < 55) {
      int v = rng() % 2;
      ASSERT_EQ(second ? b.set2((uint16_t)i, v) : b.set1((uint16_t)i, v), i < len ? 0 : -1);
      if (i < len) model[at] = v;
    } else if (op < 96) {
      int want = i < len ? model[at] : -1;
      if (want != -2) {
        ASSERT_EQ(second ? b.get2((uint16_t)i) : b.get1((uint16_t)i), want);
      }
    } else if (op < 98) {
      // Moving the split keeps every global bit; a new total gives a new block.
      int nt = (rng() % 2) ? total : 1 + rng() % 40;
      l1 = 1 + rng() % nt;
      b.change_length((uint16_t)nt, (uint16_t)l1);
      if (nt != total) model.assign(nt, -2);
      total = nt;
      ASSERT_TRUE(b.list1_length() == l1 && b.list2_length() == total - l1);
    } else {
      b = second;
      model.assign(total, second);
    }
  }
  list a(3, 2);
  a = 1;
  EXPECT_EQ(a.numbers[0], 0xff);  // whole bytes
  b = a;
  b = b;
  EXPECT_TRUE(b.list2_length() == 1 && b.get2(0) == 1);
}

TEST(Stacks, StackListAndDoubleListContracts) {
  stack_list t(8);
  EXPECT_EQ(t.pop(), -1);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(t.push((int16_t)i, (int16_t)-i), 0);
  EXPECT_EQ(t.top(1), -4);
  EXPECT_EQ(t.top(2), -1);
  t.change_length(3);
  EXPECT_EQ(t.get_stack_pointer(), 2);
  EXPECT_EQ(t.top(0), 1);
  EXPECT_EQ(t.push(9, 9), 0);
  EXPECT_EQ(t.push(9, 9), -1);  // full
  EXPECT_EQ(t(3, 0), -1);
  EXPECT_EQ(t.set_stack_pointer(3), -1);

  double_list d(4);
  EXPECT_TRUE(d.is_empty() && d.pop() == -1 && d.top(0) == -1);
  d.push(5);
  d.push(7);
  d.pop();
  d.push(9);
  EXPECT_EQ(d.top(0), 9);
  EXPECT_EQ(d.top(1), 0);  // link to the 5
  EXPECT_EQ(d(1, 0), 7);   // the popped pair is untouched
  EXPECT_EQ(d.get_free_pointer(), 3);
  EXPECT_EQ(d.set_actual_pointer(DL_EMPTY), 0);
  EXPECT_TRUE(d.is_empty());
  EXPECT_EQ(d(2, 0), 9);

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
  EXPECT_EQ(big.set_actual_pointer(40000 - 1), -1);

  // Shrinking moves pointers that no longer fit; the empty marker stays.
  big.change_length(4);
  EXPECT_TRUE(big.get_free_pointer() == 3 && big.get_actual_pointer() == 3);
  neg.change_length(2);
  EXPECT_TRUE(neg.is_empty());
}

// Objects working in one shared block: contents carried over, neighbours
// untouched, the block never freed by them (the sanitizer build would report a
// double free), and a resize moves the object into a block of its own.
TEST(Stacks, LentBlocks) {
  std::vector<int16_t> block(2 * 12, 111);
  stack_list s(4);
  s.push(1, -1);
  s.push(2, -2);
  EXPECT_EQ(s.use_block(nullptr, 4), -1);
  EXPECT_EQ(s.use_block(block.data(), 0), -1);
  EXPECT_EQ(s.use_block(s.numbers, 4), -1);  // its own block
  EXPECT_EQ(s.use_block(block.data(), 6), 0);
  EXPECT_TRUE(s.numbers == block.data() && s.capacity() == 6 && s.get_stack_pointer() == 2);
  EXPECT_TRUE(s(0, 0) == 1 && s.top(1) == -2);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(s.push(int16_t(10 + i), 0), 0);
  EXPECT_EQ(s.push(99, 99), -1);  // full at the lent capacity

  double_list d(3);
  d.push(7);
  EXPECT_EQ(d.use_block(block.data() + 12, 6), 0);
  EXPECT_TRUE(d.get_free_pointer() == 1 && d.top(0) == 7 && d.top(1) == DL_EMPTY);
  int pushed = 0;
  while (d.push(int16_t(pushed)) == 0) ++pushed;
  EXPECT_EQ(pushed, 5);
  EXPECT_EQ(block[2 * 5], 13);     // the stack's last pair survives the list's pushes
  EXPECT_EQ(block[2 * 11], 4);     // the list's last pair
  EXPECT_EQ(s.top(0), 13);

  // A second lending of the same block keeps what fits; a shorter one moves
  // the pointers that no longer fit like a shrink does.
  EXPECT_EQ(d.use_block(block.data() + 12, 3), 0);
  EXPECT_TRUE(d.capacity() == 3 && d.get_free_pointer() == 2 && d.get_actual_pointer() == 2);

  // A resize copies out; later writes leave the lent block alone.
  s.change_length(6);
  EXPECT_TRUE(s.numbers != block.data() && s.capacity() == 6 && s.top(0) == 13);
  s.set(0, 0, 42);
  EXPECT_EQ(block[0], 1);
  d.change_length(3);
  EXPECT_TRUE(d.numbers != block.data() + 12 && d(0, 0) == 7);
  d = int16_t(5);
  EXPECT_EQ(block[12], 7);

  // Lent again after owning: the own block is freed (the sanitizer build
  // reports a leak otherwise) and the contents carried over.
  EXPECT_EQ(s.use_block(block.data(), 2), 0);
  EXPECT_TRUE(s.get_stack_pointer() == 1 && block[0] == 42);
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
      ASSERT_EQ(d.set_free_pointer(saved_free), saved_free < cap ? 0 : -1);
      model = saved_model;
    }
    ASSERT_EQ(d.is_empty(), model.empty());
    ASSERT_EQ(d.top(0), model.empty() ? -1 : model.back());
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
