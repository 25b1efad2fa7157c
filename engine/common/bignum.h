// Unsigned integers of any size, for counting optimal alignments (their
// number grows exponentially with the sequence lengths), over GMP's mpz_t:
// additions run on 64-bit limbs in GMP's tuned kernels, and a zero holds no
// memory at all.
#pragma once
#include <gmp.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "containers/alloc_check.h"

class BigCount {
 public:
  BigCount() { mpz_init(v_); }
  explicit BigCount(uint64_t v) {
    static_assert(sizeof(unsigned long) >= sizeof(uint64_t), "a count start fits one limb");
    mpz_init_set_ui(v_, static_cast<unsigned long>(v));
  }
  BigCount(const BigCount& o) { mpz_init_set(v_, o.v_); }
  BigCount(BigCount&& o) noexcept {
    mpz_init(v_);
    mpz_swap(v_, o.v_);
  }
  BigCount& operator=(const BigCount& o) {
    mpz_set(v_, o.v_);
    return *this;
  }
  BigCount& operator=(BigCount&& o) noexcept {
    mpz_swap(v_, o.v_);
    return *this;
  }
  ~BigCount() { mpz_clear(v_); }

  bool is_zero() const { return mpz_sgn(v_) == 0; }
  BigCount& operator+=(const BigCount& o) {
    mpz_add(v_, v_, o.v_);
    return *this;
  }
  BigCount& operator+=(uint64_t o) {
    mpz_add_ui(v_, v_, static_cast<unsigned long>(o));
    return *this;
  }
  // The caller keeps the value from going below 0 (a prefix sum minus an
  // earlier prefix sum of the same run).
  BigCount& operator-=(const BigCount& o) {
    mpz_sub(v_, v_, o.v_);
    return *this;
  }
  bool operator==(const BigCount& o) const { return mpz_cmp(v_, o.v_) == 0; }
  bool operator!=(const BigCount& o) const { return mpz_cmp(v_, o.v_) != 0; }
  // Decimal text ("0" for zero).
  std::string to_string() const {
    std::string s(mpz_sizeinbase(v_, 10) + 2, '\0');
    mpz_get_str(&s[0], 10, v_);
    s.resize(std::char_traits<char>::length(s.c_str()));
    return s;
  }

  // Makes GMP allocate through functions that end the program like every
  // other failed allocation (the containers' handler, which the batch tool
  // replaces by its exit status 4) instead of GMP's own abort. Call before
  // counting; repeated calls do nothing.
  static void use_checked_allocation() {
    static const bool done = (mp_set_memory_functions(checked_alloc, checked_realloc, checked_free), true);
    (void)done;
  }

 private:
  static void* checked_alloc(size_t bytes) {
    void* p = std::malloc(bytes);
    if (p == nullptr) vd::alloc_failed("bignum.h", __LINE__, "BigCount", "limbs!=0");
    return p;
  }
  static void* checked_realloc(void* old, size_t, size_t bytes) {
    void* p = std::realloc(old, bytes);
    if (p == nullptr) vd::alloc_failed("bignum.h", __LINE__, "BigCount", "limbs!=0");
    return p;
  }
  static void checked_free(void* p, size_t) { std::free(p); }

  mpz_t v_;
};

// The nodes of one column or one row of an optimal graph that paths are
// counted into, in increasing position, with the running sum of their path
// counts: the paths into a run of consecutive predecessors are then the
// difference of two sums instead of one addition per predecessor.
struct CountLine {
  std::vector<int> pos;
  std::vector<BigCount> prefix;  // prefix[i] = paths into pos[0..i]

  void clear() {
    pos.clear();
    prefix.clear();
  }
  // Appends a node after every one held (p above the last position).
  void add(int p, const BigCount& paths) {
    pos.push_back(p);
    if (prefix.empty()) {
      prefix.push_back(paths);
    } else {
      BigCount s(prefix.back());
      s += paths;
      prefix.push_back(std::move(s));
    }
  }
  // c += the paths into the held nodes at positions k1..k2.
  void add_range(int k1, int k2, BigCount& c) const {
    const size_t i1 = size_t(std::lower_bound(pos.begin(), pos.end(), k1) - pos.begin());
    const size_t e2 = size_t(std::upper_bound(pos.begin(), pos.end(), k2) - pos.begin());
    if (i1 >= e2) return;
    c += prefix[e2 - 1];
    if (i1 > 0) c -= prefix[i1 - 1];
  }
};
