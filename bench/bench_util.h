// Small helpers the benchmark programs share: a clock and a median.
#pragma once
#include <algorithm>
#include <chrono>
#include <vector>

inline double now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The median of the figures (the upper one of an even count); 0 for none.
inline double median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}
