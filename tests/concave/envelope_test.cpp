// The column and row minima: hand-worked lists, and invariants after every
// call on random columns against a scan over all candidates.
#include <cstring>

#include "tests/concave/helpers.h"

namespace {

// One column x = 1 of a table with m rows; w given as a table.
void column_setup(int rows, const std::vector<float>& w) {
  n = 1;
  m = rows;
  dist.change_dim(2, uint32_t(rows + 1));
  fu_res.change_length(uint32_t(w.size()));
  for (size_t k = 0; k < w.size(); ++k) fu_res.set(uint32_t(k), w[k]);
  concave_setup();
}
void setD(int t, float v) { dist.set(1, uint32_t(t), v); }
std::vector<int> list_from_top(const double_list& L) {  // stored values, top first
  std::vector<int> out;
  for (int p = L.get_actual_pointer(); p >= 0; p = L(uint16_t(p), 1)) out.push_back(L(uint16_t(p), 0));
  return out;
}

}  // namespace

TEST_F(Concave, HandWorkedColumns) {
  // Target 1: candidate 0 ties with itself and is pushed again, stored as 0,
  // which reads as a head; the next winner's dominance loop pops it with the
  // bottom interval and leaves the initial element below the new group.
  column_setup(3, {0, 2, 3, 4, 5});  // w(k) = 1 + k
  setD(0, 2.0f);
  EXPECT_EQ(Spaltenminimum(1, 1), 4.0f);
  EXPECT_EQ(list_from_top(Ls[1]), (std::vector<int>{0, 0}));
  setD(1, 0.5f);
  EXPECT_EQ(Spaltenminimum(1, 2), 2.5f);
  EXPECT_EQ(list_from_top(Ls[1]), (std::vector<int>{-1, 0}));
  EXPECT_EQ(Ss[1].get_stack_pointer(), 1);
  EXPECT_EQ(Ss[1].top(0), 4);  // the sentinel m + 1 again, naming the new head
  EXPECT_EQ(Ss[1].top(1), 2);

  // Affine costs: every candidate ties, and every tie stays for good.
  column_setup(6, {0, 2, 3, 4, 5, 6, 7, 8});
  for (int t = 0; t <= 6; ++t) {
    if (t > 0) {
      EXPECT_EQ(Spaltenminimum(1, t), 1.0f + t);
    }
    setD(t, float(t));
  }
  EXPECT_EQ(list_from_top(Ls[1]), (std::vector<int>{5, 4, 3, 2, 1, 0, 0}));

  // Strictly concave costs drop a tie at the first target where it falls behind.
  column_setup(4, {0, 2, 3, 3.5f, 3.75f, 3.875f});
  const float D[] = {0, 1, 10}, S[] = {2, 3, 3.5f};
  const std::vector<int> lists[] = {{0, 0}, {1, 0, 0}, {0, 0}};
  for (int t = 1; t <= 3; ++t) {
    setD(t - 1, D[t - 1]);
    EXPECT_EQ(Spaltenminimum(1, t), S[t - 1]);
    EXPECT_EQ(list_from_top(Ls[1]), lists[t - 1]);
  }
}

TEST_F(Concave, EnvelopeInvariantsOnRandomColumns) {
  std::mt19937 g(7);
  // Concave cost tables with exactly representable values: affine, capped
  // affine, and a staircase of halving steps.
  const int rows = 60;
  std::vector<std::vector<float>> tables;
  for (int v = 0; v < 3; ++v) {
    std::vector<float> w(rows + 3, 0.0f);
    for (int k = 1; k < rows + 3; ++k) {
      if (v == 0) w[k] = 2.0f + 0.5f * k;
      if (v == 1) w[k] = 3.0f + float(std::min(k, 6));
      if (v == 2) w[k] = 1.0f + 8.0f * (1.0f - std::ldexp(1.0f, -std::min(k, 10)));
    }
    tables.push_back(w);
  }
  for (int round = 0; round < 300; ++round) {
    const auto& w = tables[size_t(round) % tables.size()];
    column_setup(rows, w);
    std::vector<float> D(rows + 1);
    D[0] = float(g() % 8);
    setD(0, D[0]);
    for (int t = 1; t <= rows; ++t) {
      float brute = 1e30f;
      for (int k = 0; k < t; ++k) brute = std::min(brute, D[size_t(k)] + w[size_t(t - k)]);
      const float got = Spaltenminimum(1, t);
      ASSERT_EQ(got, brute) << "round " << round << " target " << t;
      // The list is never empty and its top is an optimal candidate.
      const double_list& L = Ls[1];
      ASSERT_GE(L.get_actual_pointer(), 0);
      const int top = std::abs(L.top(0));
      ASSERT_LT(top, t);
      ASSERT_EQ(D[size_t(top)] + w[size_t(t - top)], brute);
      // Interval ends never decrease downwards; the bottom is the sentinel;
      // every interval names a head.
      const stack_list& S = Ss[1];
      ASSERT_GE(S.get_stack_pointer(), 1);
      ASSERT_EQ(S(0, 0), rows + 1);
      for (int i = 0; i + 1 < S.get_stack_pointer(); ++i) ASSERT_GE(S(uint16_t(i), 0), S(uint16_t(i + 1), 0));
      ASSERT_GE(S.top(0), t);
      for (int i = 0; i < S.get_stack_pointer(); ++i) ASSERT_LE(L(uint16_t(S(uint16_t(i), 1)), 0), 0);
      // Random values with many ties; sometimes a clear winner.
      D[size_t(t)] = g() % 4 == 0 ? float(g() % 3) : float(4 + g() % 12);
      setD(t, D[size_t(t)]);
    }
  }
}

namespace {

// The state of a list and a stack: pointers, the used pairs, the stack.
std::vector<int> snapshot(const double_list& L, const stack_list& S) {
  std::vector<int> v{L.get_actual_pointer(), L.get_free_pointer(), S.get_stack_pointer()};
  for (int i = 0; i < L.get_free_pointer(); ++i) {
    v.push_back(L(uint16_t(i), 0));
    v.push_back(L(uint16_t(i), 1));
  }
  for (int i = 0; i < S.get_stack_pointer(); ++i) {
    v.push_back(S(uint16_t(i), 0));
    v.push_back(S(uint16_t(i), 1));
  }
  return v;
}

// Sweeps the current pair in `mode`, then takes the plain minima cell by
// cell on fresh structures: both must leave the same lists and stacks. The
// largest stack length the sweep left goes to *deepest.
void sweep_leaves_plain_minima(int mode, int* deepest) {
  computing = mode;
  dist.change_dim(uint32_t(n + 1), uint32_t(m + 1));
  concave_setup();
  concave_distance();
  ASSERT_TRUE(concave_complete());
  std::vector<std::vector<int>> cols, rows;
  for (int x = 1; x <= n; ++x) cols.push_back(snapshot(Ls[x], Ss[x]));
  for (int y = 1; y <= m; ++y) rows.push_back(snapshot(Lz[y], Sz[y]));
  for (int x = 1; x <= n; ++x) *deepest = std::max(*deepest, int(Ss[x].capacity()));
  for (int y = 1; y <= m; ++y) *deepest = std::max(*deepest, int(Sz[y].capacity()));
  concave_setup();
  for (int y = 1; y <= m; ++y)
    for (int x = 1; x <= n; ++x) {
      const float s = Spaltenminimum(x, y), z = Zeilenminimum(x, y);
      ASSERT_GE(std::min(s, z), dist(uint32_t(x), uint32_t(y)));
    }
  for (int x = 1; x <= n; ++x) ASSERT_EQ(snapshot(Ls[x], Ss[x]), cols[size_t(x - 1)]) << "column " << x;
  for (int y = 1; y <= m; ++y) ASSERT_EQ(snapshot(Lz[y], Sz[y]), rows[size_t(y - 1)]) << "row " << y;
}

}  // namespace

// The sweep keeps the values it reads most in its own records; the lists and
// stacks it leaves must be those of the plain minima on the same table.
TEST_F(Concave, SweepLeavesTheListsOfThePlainMinima) {
  std::mt19937 g(21);
  const signed char funcs[] = {4, 1, 3, 4};
  for (int round = 0; round < 12; ++round) {
    reset_all();
    func = funcs[round % 4];
    aa = round % 4 == 3 ? 0.3 : 2.0;  // 0.3 + k rounds: no linear shortcut
    sub = 1.0 + round % 2;
    const int mode = 6 + round % 3;  // the modes differ in their borders
    if (mode == 8) mat = -1.0;
    std::string s1 = random_seq(g, 30 + int(g() % 30)), s2 = random_seq(g, 30 + int(g() % 30));
    if (mode != 6 && s2.size() > s1.size()) std::swap(s1, s2);
    set_seqs(s1, s2);
    int deepest = 0;
    sweep_leaves_plain_minima(mode, &deepest);
  }
}

namespace {

// Everything a concave computation leaves for the graph, the traceback and
// the figures.
struct SweepResult {
  float value;
  std::vector<float> D;
  std::vector<int> edges, lists;
  int li, lj;
  bool operator==(const SweepResult& o) const {
    // Bitwise on D: -0 and 0 or differently rounded values must not pass.
    return std::memcmp(&value, &o.value, sizeof value) == 0 && D.size() == o.D.size() &&
           std::memcmp(D.data(), o.D.data(), D.size() * sizeof(float)) == 0 && edges == o.edges &&
           lists == o.lists && li == o.li && lj == o.lj;
  }
};

SweepResult sweep_once(int mode, bool shortcut, bool* used) {
  con_linear_path = shortcut;
  computing = mode;
  dist.change_dim(uint32_t(n + 1), uint32_t(m + 1));
  concave_setup();
  SweepResult r;
  r.value = concave_distance();
  *used = concave_linear_used();
  EXPECT_TRUE(concave_complete());
  for (int y = 0; y <= m; ++y)
    for (int x = 0; x <= n; ++x) {
      r.D.push_back(dist(uint32_t(x), uint32_t(y)));
      r.edges.push_back(edge_m(uint32_t(x), uint32_t(y), 0));
      r.edges.push_back(edge_m(uint32_t(x), uint32_t(y), 1));
    }
  for (int x = 0; x <= n; ++x) {
    const auto v = snapshot(Ls[x], Ss[x]);
    r.lists.insert(r.lists.end(), v.begin(), v.end());
  }
  for (int y = 0; y <= m; ++y) {
    const auto v = snapshot(Lz[y], Sz[y]);
    r.lists.insert(r.lists.end(), v.begin(), v.end());
  }
  r.li = l_i;
  r.lj = l_j;
  return r;
}

// The sweep of the current pair in `mode` leaves the same with the linear
// shortcut as with the binary search, and takes the shortcut.
void linear_leaves_what_search_leaves(int mode) {
  bool fast = false, slow = true;
  const SweepResult a = sweep_once(mode, true, &fast);
  const SweepResult b = sweep_once(mode, false, &slow);
  EXPECT_TRUE(fast);
  EXPECT_FALSE(slow);
  ASSERT_TRUE(a == b);
}

}  // namespace

// Linear costs on exactly representable values let the sweep decide its
// crossings with two probes; it must leave exactly what the binary search
// leaves, in every mode, with either sequence the longer one (the sentinel
// of candidate 0 then reads past the cost table in the columns or the rows).
TEST_F(Concave, LinearShortcutLeavesWhatTheSearchLeaves) {
  NoticeRecorder rec;
  std::mt19937 g(5);
  struct Lin { double a, b, sub, mat; };
  const Lin exact[] = {{9, 1, 2, 0}, {0.5, 1, 2, 0}, {1.5, 0.5, 1, -0.5}, {2, 0.25, 1.5, 0}, {3, 0, 2, -1}};
  for (int round = 0; round < 150; ++round) {
    reset_all();
    const Lin& c = exact[size_t(round) % (sizeof exact / sizeof exact[0])];
    const int mode = 6 + round % 3;
    func = 4;
    aa = c.a;
    bb = c.b;
    sub = c.sub;
    mat = mode == 8 ? -1.0 : c.mat;
    const int la = 1 + int(g() % 70), lb = 1 + int(g() % 70);
    std::string s1 = random_seq(g, la, round % 4 == 0 ? "AC" : "ACGT"), s2 = random_seq(g, lb);
    if (mode != 6 && lb > la) std::swap(s1, s2);
    set_seqs(s1, s2);
    SCOPED_TRACE("round " + std::to_string(round) + " mode " + std::to_string(mode) + " " + s1 + " / " + s2);
    linear_leaves_what_search_leaves(mode);
  }

  // Costs whose sums round, or that are not linear, or whose values leave
  // the range of exact sums, keep the binary search.
  struct Case { signed char f; double a, b, sub; std::string s1, s2; };
  const std::string big(300, 'A'), big2(300, 'C');
  const Case general[] = {
      {4, 0.3, 1.1, 2, "ACGTTGCA", "ACTTGA"},       // 0.3 and 1.1 round
      {1, 2, 1, 2, "ACGTTGCA", "ACTTGA"},           // logarithm
      {3, 2, 1.5, 2, "ACGTTGCA", "ACTTGA"},         // square root
      {4, 1e7, 1, 2, "ACGTTGCA", "ACTTGA"},         // sums beyond 2^24
      {4, 64, 1.0 / 1024, 2, big, big2},            // steps of 2^-10, sums near 2^15
      {4, 0.5, 1, 2, "ACGT-A", "ACTA"},             // a character outside the table
  };
  for (const Case& c : general) {
    reset_all();
    func = c.f;
    aa = c.a;
    bb = c.b;
    sub = c.sub;
    set_seqs(c.s1, c.s2);
    bool used = true;
    sweep_once(6, true, &used);
    EXPECT_FALSE(used) << int(c.f) << " " << c.a << " " << c.b;
  }
  // The same lengths with exact steps do take the shortcut.
  reset_all();
  aa = 64;
  bb = 1.0 / 8;
  set_seqs(big, big2);
  bool used = false;
  sweep_once(6, true, &used);
  EXPECT_TRUE(used);
}

// The same on longer pairs, with either sequence the longer one and both of
// one length (where the sentinel of candidate 0 reads past the cost table in
// the rows, in the columns, or in both).
TEST_F(Concave, LinearShortcutOnLongerPairs) {
  NoticeRecorder rec;
  std::mt19937 g(17);
  const int lengths[][2] = {{400, 400}, {300, 520}, {520, 300}, {1, 300}, {300, 1}, {257, 256}};
  int round = 0;
  for (const auto& len : lengths) {
    for (int mode = 6; mode <= 8; ++mode, ++round) {
      reset_all();
      func = 4;
      aa = round % 3 == 0 ? 2.0 : round % 3 == 1 ? 0.5 : 9.0;
      bb = 1.0;
      sub = 2.0;
      mat = mode == 8 ? -1.0 : 0.0;
      std::string s1 = random_seq(g, len[0]), s2 = random_seq(g, len[1]);
      if (mode != 6 && s2.size() > s1.size()) std::swap(s1, s2);
      set_seqs(s1, s2);
      SCOPED_TRACE("round " + std::to_string(round) + " mode " + std::to_string(mode));
      linear_leaves_what_search_leaves(mode);
    }
  }
}

// Stacks start in small blocks and grow when an envelope needs more
// intervals (strictly concave costs on a sequence and a mutated copy): the
// sweep and the plain minima grow them alike and leave the same lists and
// stacks.
TEST_F(Concave, DeepStacksGrowAlike) {
  std::mt19937 g(8);
  int deepest = 0;
  for (int round = 0; round < 2; ++round) {
    reset_all();
    func = 3;  // a + b sqrt(k)
    aa = 1.0;
    bb = 3.0 + round;
    const std::string a = random_seq(g, 1000);
    std::string b;
    for (char c : a) {
      const unsigned r = g() % 100;
      if (r < 8) b += "ACGT"[g() % 4];
      else if (r < 10) continue;
      else if (r < 12) b += std::string(1, c) + "ACGT"[g() % 4];
      else b += c;
    }
    set_seqs(a, b);
    sweep_leaves_plain_minima(6, &deepest);
  }
  EXPECT_GT(deepest, 8);  // some stack outgrew its first block
}
