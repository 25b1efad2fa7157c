// Shared fixture and independent oracles for the general engine's tests.
#pragma once
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "cost/cost.h"
#include "cost/own.h"
#include "engine/common/graph_picture.h"
#include "engine/common/marks.h"
#include "engine/common/operations.h"
#include "engine/common/results.h"
#include "engine/general/general.h"
#include "state/state.h"
#include "ui/display.h"
#include "ui/notice.h"
#include "ui/progress.h"
#include "tests/support/program_reset.h"

struct ProgramEnd : std::runtime_error {
  ProgramEnd() : std::runtime_error("program end") {}
};

// Resets state, cost model, results, marks and the engine before and after
// every test; notices are recorded, never shown.
class GeneralTest : public ::testing::Test {
 protected:
  NoticeRecorder notices;

  static void reset_all() {
    reset_program();
    set_exit_hook([] { throw ProgramEnd(); });
  }
  void SetUp() override { reset_all(); }
  void TearDown() override {
    reset_all();
    set_exit_hook(nullptr);
  }
};

inline void set_seqs(const std::string& a, const std::string& b) {
  seq1 = String(a.c_str());
  seq2 = String(b.c_str());
  n = int(a.size());
  m = int(b.size());
}
// Code 1 through the operation entry.
inline OpResult run(const std::string& a, const std::string& b) {
  set_seqs(a, b);
  ms1 = String();
  computing = 1;
  return run_general_alignment();
}
// The engine steps of code 1, keeping dist for inspection.
inline void compute_keep(const std::string& a, const std::string& b) {
  set_seqs(a, b);
  dist.change_dim(uint32_t(n) + 1, uint32_t(m) + 1);
  help_l.change_length(uint32_t(n + m + 2));
  fp_err_clear();
  computing = 1;
  wert = min_distance();
  choose_your_alignment();
  make_alignment();
  computing = 0;
}

// A record as the two bit lists that describe it: "list1 bits|list2 bits"
// (list 1: bit 0 the diagonal, bit t >= 1 row y - length + t; list 2: bit t
// column x - length + t; each list spans from the longest optimal gap).
inline std::string record_bits(int x, int y) {
  const PredRecord r = pred_record(x, y);
  const int kz = r.first_vertical() >= 0 ? r.first_vertical() : y;
  const int ks = r.first_horizontal() >= 0 ? r.first_horizontal() : x;
  std::string l1(size_t(y - kz + 1), '0'), l2(size_t(x - ks), '0');
  if (r.diagonal()) l1[0] = '1';
  for (int k = r.first_vertical(); k >= 0; k = r.next_vertical(k)) l1[size_t(k - kz + 1)] = '1';
  for (int k = r.first_horizontal(); k >= 0; k = r.next_horizontal(k)) l2[size_t(k - ks)] = '1';
  return l1 + "|" + l2;
}

// Everything the last min_distance produced, as text: the figures, every
// dist value bit for bit and every record (for comparing kernels and
// thread counts).
inline std::string table_text() {
  std::string t = std::to_string(gesamtkanten) + " " + std::to_string(bytes) + " " + char('0' + sub_t);
  for (int y = 0; y <= m; ++y)
    for (int x = 0; x <= n; ++x) {
      float v = dist(uint32_t(x), uint32_t(y));
      uint32_t u;
      std::memcpy(&u, &v, 4);
      t += " " + std::to_string(u) + (x && y ? ":" + record_bits(x, y) : "");
    }
  return t;
}

// The nodes listed in hilfs_al, in list order.
inline std::vector<std::pair<int, int>> path_nodes() {
  std::vector<std::pair<int, int>> v;
  for (int k = 0; k + 1 < int(hilfs_al.length()) && hilfs_al[uint32_t(k)] != -1; k += 2)
    v.push_back({hilfs_al[uint32_t(k)], hilfs_al[uint32_t(k + 1)]});
  return v;
}

// Exhaustive oracle: every edge path of the grid from the origin, with the
// recurrence's edges (border nodes are reached only from the origin by one
// gap; inner gaps are limited to gl_kl when it is positive). Costs are summed
// forward in single precision, as the engine does along a path.
struct Oracle {
  int N, M, lim;
  std::string s1, s2;
  std::vector<float> g;                // g[k]
  std::vector<float> best;             // minimum forward sum per node
  std::set<std::pair<int, int>> on_opt;  // inner nodes on a tight path to (N, M)
  std::set<std::vector<int>> opt_edges;  // inner edges (x0, y0, x1, y1) on such paths
  uint64_t paths = 0;                  // number of tight paths to (N, M)

  Oracle(const std::string& a, const std::string& b, int gap_limit) : N(int(a.size())), M(int(b.size())),
      lim(gap_limit), s1(a), s2(b) {
    int L = N > M ? N : M;
    g.assign(size_t(L) + 1, 0.0f);
    for (int k = 1; k <= L; ++k) g[k] = float(cf[int(func)](k));
    best.assign(size_t(N + 1) * (M + 1), 1e30f);
    best[0] = 0.0f;
    std::vector<std::pair<int, int>> stack;
    explore(0, 0, 0.0f, false, stack);
    stack.clear();
    explore(0, 0, 0.0f, true, stack);
  }
  float& at(int x, int y) { return best[size_t(y) * (N + 1) + x]; }
  float pair(int x, int y) const {
    return s1[x - 1] == s2[y - 1] ? float(mat) : float(sub);
  }
  template <class F>
  void successors(int x, int y, F f) const {
    if (x == 0 && y == 0) {
      for (int k = 1; k <= N; ++k) f(k, 0, g[k]);
      for (int k = 1; k <= M; ++k) f(0, k, g[k]);
    }
    if (x < N && y < M) f(x + 1, y + 1, pair(x + 1, y + 1));
    if (y >= 1)
      for (int k = 1; x + k <= N && (lim <= 0 || k <= lim); ++k) f(x + k, y, g[k]);
    if (x >= 1)
      for (int k = 1; y + k <= M && (lim <= 0 || k <= lim); ++k) f(x, y + k, g[k]);
  }
  // Pass 1 records the minimum of every prefix; pass 2 follows only tight
  // prefixes and collects the paths that end in (N, M).
  void explore(int x, int y, float s, bool tight_pass, std::vector<std::pair<int, int>>& st) {
    if (!tight_pass) {
      if (s < at(x, y)) at(x, y) = s;
    } else if (s != at(x, y)) {
      return;
    }
    st.push_back({x, y});
    if (tight_pass && x == N && y == M) {
      ++paths;
      for (size_t i = 0; i < st.size(); ++i) {
        if (st[i].first >= 1 && st[i].second >= 1) {
          on_opt.insert(st[i]);
          opt_edges.insert({st[i - 1].first, st[i - 1].second, st[i].first, st[i].second});
        }
      }
    }
    successors(x, y, [&](int nx, int ny, float c) { explore(nx, ny, s + c, tight_pass, st); });
    st.pop_back();
  }
  // Cost of the edge (x0, y0) -> (x1, y1), or NaN when there is no such edge.
  float edge_cost(int x0, int y0, int x1, int y1) const {
    float c = std::numeric_limits<float>::quiet_NaN();
    successors(x0, y0, [&](int nx, int ny, float cc) {
      if (nx == x1 && ny == y1) c = cc;
    });
    return c;
  }
};

// Forward single-precision cost of the path through the node set `nodes`
// (any order; the origin is implied), or NaN when consecutive nodes are not
// joined by an edge of the recurrence.
inline float rescore_path(const Oracle& o, std::vector<std::pair<int, int>> nodes) {
  std::sort(nodes.begin(), nodes.end(),
            [](auto& a, auto& b) { return a.first + a.second < b.first + b.second; });
  float s = 0.0f;
  int px = 0, py = 0;
  for (auto& nd : nodes) {
    float c = o.edge_cost(px, py, nd.first, nd.second);
    if (c != c) return c;
    s = s + c;
    px = nd.first;
    py = nd.second;
  }
  if (px != o.N || py != o.M) return std::numeric_limits<float>::quiet_NaN();
  return s;
}

// Cost of the alignment text with g per maximal gap run (forward sum).
inline float rescore_text(const std::string& a1, const std::string& a2) {
  float s = 0.0f;
  size_t i = 0;
  while (i < a1.size()) {
    if (a1[i] != '-' && a2[i] != '-') {
      s = s + (a1[i] == a2[i] ? float(mat) : float(sub));
      ++i;
      continue;
    }
    bool del = a2[i] == '-';
    size_t j = i;
    while (j < a1.size() && (del ? a2[j] == '-' : a1[j] == '-')) ++j;
    s = s + float(cf[int(func)](int(j - i)));
    i = j;
  }
  return s;
}

// Grid positions (letters consumed) after every column of the alignment text.
inline std::set<std::pair<int, int>> text_positions(const std::string& a1, const std::string& a2) {
  std::set<std::pair<int, int>> pos;
  int x = 0, y = 0;
  for (size_t i = 0; i < a1.size(); ++i) {
    if (a1[i] != '-') ++x;
    if (a2[i] != '-') ++y;
    pos.insert({x, y});
  }
  return pos;
}

// Every word over `alpha` of length minlen .. maxlen.
inline std::vector<std::string> all_words(const std::string& alpha, int maxlen, int minlen = 1) {
  std::vector<std::string> out, cur{""};
  for (int len = 1; len <= maxlen; ++len) {
    std::vector<std::string> next;
    for (auto& w : cur)
      for (char c : alpha) next.push_back(w + c);
    if (len >= minlen) out.insert(out.end(), next.begin(), next.end());
    cur = next;
  }
  return out;
}

inline std::string strip(const String& s) {
  std::string r;
  for (int i = 0; i < s.len; ++i)
    if (s.Str[i] != '-') r += s.Str[i];
  return r;
}
