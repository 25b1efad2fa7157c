// The block move shared by the two stack classes: their contents (pairs of
// 16-bit values) go into `target` of `len` pairs, the old block is released
// if the object owned it, and the object then owns the new block or not.
#pragma once
#include <cstdint>
#include <cstring>

inline void move_pair_block(int16_t*& numbers, bool& owned, uint16_t capacity, int16_t* target,
                            uint16_t len, bool owns_target) {
  if (target != numbers)
    std::memmove(target, numbers, sizeof(int16_t) * 2 * (len < capacity ? len : capacity));
  if (owned) delete[] numbers;
  numbers = target;
  owned = owns_target;
}
