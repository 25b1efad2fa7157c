// Counting optimal alignments: the sums over runs of predecessors against a
// sum over every predecessor edge on its own, and the tie-heaviest input
// against its recurrence.
#include <functional>

#include "general_fixture.h"

namespace {

// Paths into (n, m), one predecessor edge at a time over the marked nodes.
BigCount edge_by_edge_count() {
  const size_t W = size_t(n) + 1;
  std::vector<BigCount> cnt(W * (size_t(m) + 1));
  for (int x = 0; x <= n; ++x) cnt[size_t(x)] = BigCount(1);
  for (int y = 0; y <= m; ++y) cnt[size_t(y) * W] = BigCount(1);
  for (int y = 1; y <= m; ++y)
    for (int x = 1; x <= n; ++x) {
      if (hilfs_gr(uint32_t(x), uint32_t(y)) != 1) continue;
      const PredRecord r = pred_record(x, y);
      BigCount& c = cnt[size_t(y) * W + size_t(x)];
      if (r.diagonal()) c += cnt[size_t(y - 1) * W + size_t(x - 1)];
      for (int k = r.first_vertical(); k >= 0; k = r.next_vertical(k)) c += cnt[size_t(k) * W + size_t(x)];
      for (int k = r.first_horizontal(); k >= 0; k = r.next_horizontal(k)) c += cnt[size_t(y) * W + size_t(k)];
    }
  return cnt[size_t(m) * W + size_t(n)];
}

std::string decimal(unsigned __int128 v) {
  std::string s;
  do s.insert(s.begin(), char('0' + int(v % 10))); while ((v /= 10) != 0);
  return s;
}

}  // namespace

TEST_F(GeneralTest, CountsOfRunsAgreeWithEdgeByEdgeSums) {
  std::mt19937 g(20261208);
  // Costs with many ties (a gap of k costs k, a substitution two gaps of one),
  // with few, and a concave one; with and without a gap length limit, whose
  // cut splits the runs.
  const std::function<void()> costs[] = {
      [] { aa = 0, bb = 1, sub = 2; },
      [] { aa = 1, bb = 1, sub = 3, mat = -1; },
      [] { func = 1, aa = 1, bb = 2, sub = 3; },
  };
  for (int round = 0; round < 120; ++round) {
    cost_reset();
    costs[round % 3]();
    gl_kl = round % 4 == 1 ? 3 : 0;
    const std::string a = [&] { std::string s; for (int i = 1 + int(g() % 30); i > 0; --i) s += "AC"[g() % 2]; return s; }();
    const std::string b = [&] { std::string s; for (int i = 1 + int(g() % 30); i > 0; --i) s += "ACG"[g() % 3]; return s; }();
    compute_keep(a, b);
    ASSERT_EQ(count_general_paths().to_string(), edge_by_edge_count().to_string()) << a << " / " << b;
  }
}

// A x n against C x n with the gap cost k and substitutions at 2: every path
// is optimal, f(x, y) = f(x-1, y-1) + sum f(k, y) over k < x + sum f(x, k)
// over k < y, with one path into every border node.
TEST_F(GeneralTest, TieHeaviestCountFollowsItsRecurrence) {
  const int N = 34;  // f(34, 34) < 2^127
  std::vector<std::vector<unsigned __int128>> f(N + 1, std::vector<unsigned __int128>(N + 1, 1));
  for (int y = 1; y <= N; ++y)
    for (int x = 1; x <= N; ++x) {
      unsigned __int128 v = f[x - 1][y - 1];
      for (int k = 0; k < x; ++k) v += f[k][y];
      for (int k = 0; k < y; ++k) v += f[x][k];
      f[x][y] = v;
    }
  aa = 0, bb = 1, sub = 2;
  for (int len : {1, 2, 7, N}) {
    ASSERT_EQ(run(std::string(size_t(len), 'A'), std::string(size_t(N), 'C')), OpResult::computed);
    EXPECT_EQ(count_general_paths().to_string(), decimal(f[len][N])) << len;
  }
  EXPECT_EQ(decimal(f[1][1]), "3");
  EXPECT_EQ(decimal(f[N][N]), "907932788136973674396291503417967");
}
