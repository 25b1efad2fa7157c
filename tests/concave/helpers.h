// Shared pieces of the concave engine tests: the fixture that restores the
// globals, a straightforward O(n^2 m) implementation of the recurrences, and
// rescoring of extracted alignments.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "cost/cost.h"
#include "cost/own.h"
#include "engine/common/graph_picture.h"
#include "engine/common/marks.h"
#include "engine/common/operations.h"
#include "engine/common/results.h"
#include "engine/concave/concave.h"
#include "state/state.h"
#include "ui/display.h"
#include "ui/notice.h"
#include "tests/support/program_reset.h"

inline void reset_all() { reset_program(); }

class Concave : public ::testing::Test {
 protected:
  void SetUp() override { reset_all(); }
  void TearDown() override { reset_all(); }
};

inline void set_seqs(const std::string& a, const std::string& b) {
  seq1 = String(a.c_str()), seq2 = String(b.c_str()), n = int(a.size()), m = int(b.size());
}

inline std::string random_seq(std::mt19937& g, int len, const char* alpha = "ACGT") {
  std::string s;
  int k = int(std::char_traits<char>::length(alpha));
  for (int i = 0; i < len; ++i) s.push_back(alpha[g() % unsigned(k)]);
  return s;
}

// Runs one concave computation of the given mode on the current sequences.
inline OpResult run_mode(int mode) {
  ms1 = ms2 = String();
  computing = mode;
  return run_concave_alignment(mode);
}

inline float w_of(int k) { return float(gap_cost(k)); }

inline float score_of(char a, char b) {
  bool fill;
  return pair_score_peek(a, b, &fill);
}

// The recurrences computed directly over all gap lengths. fwd = forward
// table D, bwd = cheapest completion from a cell to an end of the mode.
struct Reference {
  int n, m, mode;
  std::vector<float> fwd, bwd;
  float opt;
  float& F(int x, int y) { return fwd[size_t(y) * (n + 1) + x]; }
  float& B(int x, int y) { return bwd[size_t(y) * (n + 1) + x]; }

  Reference(const std::string& s1, const std::string& s2, int md)
      : n(int(s1.size())), m(int(s2.size())), mode(md) {
    fwd.assign(size_t(n + 1) * (m + 1), 0.0f);
    bwd.assign(size_t(n + 1) * (m + 1), 0.0f);
    for (int x = 1; x <= n; ++x) F(x, 0) = mode == 6 ? w_of(x) : 0.0f;
    for (int y = 1; y <= m; ++y) F(0, y) = mode == 8 ? 0.0f : w_of(y);
    for (int y = 1; y <= m; ++y)
      for (int x = 1; x <= n; ++x) {
        float best = F(x - 1, y - 1) + score_of(s1[x - 1], s2[y - 1]);
        for (int k = 0; k < y; ++k) best = std::min(best, F(x, k) + w_of(y - k));
        for (int k = 0; k < x; ++k) best = std::min(best, F(k, y) + w_of(x - k));
        if (mode == 8) best = std::min(best, 0.0f);
        F(x, y) = best;
      }
    opt = mode == 6 ? F(n, m) : mode == 7 ? F(1, m) : 0.0f;
    for (int y = 1; y <= m; ++y)
      for (int x = 1; x <= n; ++x)
        if (mode == 8 || (mode == 7 && y == m)) opt = std::min(opt, F(x, y));
    // Completions (only inner cells are asked for).
    const float inf = 1e30f;
    for (int y = m; y >= 1; --y)
      for (int x = n; x >= 1; --x) {
        float best = mode == 8 || (mode == 7 && y == m) || (x == n && y == m) ? 0.0f : inf;
        if (x < n && y < m) best = std::min(best, B(x + 1, y + 1) + score_of(s1[x], s2[y]));
        for (int k = y + 1; k <= m; ++k) best = std::min(best, B(x, k) + w_of(k - y));
        for (int k = x + 1; k <= n; ++k) best = std::min(best, B(k, y) + w_of(k - x));
        B(x, y) = best;
      }
  }
};

// Cost of the extracted path, step by step from its start, in single
// precision (the order in which the sweep added the costs). The path is
// hilfs_al: the start cells of the steps from the end backwards.
inline float rescore_path(int mode) {
  std::vector<std::pair<int, int>> pts;
  for (int i = 0; hilfs_al[uint32_t(i)] != -1; i += 2)
    pts.push_back({hilfs_al[uint32_t(i)], hilfs_al[uint32_t(i + 1)]});
  if (pts.empty()) return 0.0f;
  std::reverse(pts.begin(), pts.end());
  // A path that ends at the origin does not list it.
  const auto f = pts[0];
  if (f.first > 0 && f.second > 0 && edge_m(uint32_t(f.first), uint32_t(f.second), 0) != 32766)
    pts.insert(pts.begin(), {0, 0});
  const char* s1 = seq1.c_str();
  const char* s2 = seq2.c_str();
  auto [x, y] = pts[0];
  float v = 0.0f;
  if (mode == 6) v = x > 0 ? w_of(x) : (y > 0 ? w_of(y) : 0.0f);
  if (mode == 7) v = y > 0 && x == 0 ? w_of(y) : 0.0f;
  for (size_t i = 1; i < pts.size(); ++i) {
    auto [a, b] = pts[i];
    if (a == x + 1 && b == y + 1)
      v = v + score_of(s1[a - 1], s2[b - 1]);
    else if (a == x)
      v = v + w_of(b - y);
    else
      v = v + w_of(a - x);
    x = a;
    y = b;
  }
  return v;
}

// Cost of the alignment text: pair scores plus w(run) for every maximal gap
// run, free overhangs at the ends (mode 7: of sequence 1; mode 8: of both).
inline float rescore_text(int mode) {
  std::string a = al_seq1.c_str(), b = al_seq2.c_str();
  size_t lo = 0, hi = a.size();
  auto free_col = [&](size_t i) {
    if (mode == 7) return b[i] == '-';
    if (mode == 8) return a[i] == '-' || b[i] == '-' || a[i] == '>' || b[i] == '>';
    return false;
  };
  while (lo < hi && free_col(lo)) ++lo;
  while (hi > lo && free_col(hi - 1)) --hi;
  float v = 0.0f;
  size_t i = lo;
  while (i < hi) {
    if (a[i] != '-' && b[i] != '-') {
      v = v + score_of(a[i], b[i]);
      ++i;
      continue;
    }
    const bool in1 = a[i] == '-';
    size_t j = i;
    while (j < hi && (in1 ? a[j] == '-' : b[j] == '-')) ++j;
    v = v + w_of(int(j - i));
    i = j;
  }
  return v;
}
