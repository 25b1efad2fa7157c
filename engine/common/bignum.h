// Unsigned integers of any size, for counting optimal alignments (their
// number grows exponentially with the sequence lengths).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

class BigCount {
 public:
  BigCount() = default;
  explicit BigCount(uint64_t v) {
    while (v) { limbs_.push_back(uint32_t(v)); v >>= 32; }
  }
  bool is_zero() const { return limbs_.empty(); }
  BigCount& operator+=(const BigCount& o) {
    if (o.limbs_.size() > limbs_.size()) limbs_.resize(o.limbs_.size(), 0);
    uint64_t carry = 0;
    for (size_t i = 0; i < limbs_.size(); ++i) {
      uint64_t s = uint64_t(limbs_[i]) + (i < o.limbs_.size() ? o.limbs_[i] : 0) + carry;
      limbs_[i] = uint32_t(s);
      carry = s >> 32;
      if (!carry && i >= o.limbs_.size()) break;
    }
    if (carry) limbs_.push_back(uint32_t(carry));
    return *this;
  }
  bool operator==(const BigCount& o) const { return limbs_ == o.limbs_; }
  bool operator!=(const BigCount& o) const { return limbs_ != o.limbs_; }
  // Decimal text ("0" for zero).
  std::string to_string() const {
    if (limbs_.empty()) return "0";
    std::vector<uint32_t> v(limbs_);
    std::string out;
    while (!v.empty()) {
      uint64_t rem = 0;
      for (size_t i = v.size(); i-- > 0;) {
        uint64_t cur = (rem << 32) | v[i];
        v[i] = uint32_t(cur / 1000000000u);
        rem = cur % 1000000000u;
      }
      while (!v.empty() && v.back() == 0) v.pop_back();
      for (int d = 0; d < 9; ++d) {
        out.push_back(char('0' + rem % 10));
        rem /= 10;
        if (v.empty() && rem == 0) break;
      }
    }
    while (out.size() > 1 && out.back() == '0') out.pop_back();
    return std::string(out.rbegin(), out.rend());
  }

 private:
  std::vector<uint32_t> limbs_;  // little-endian base 2^32
};
