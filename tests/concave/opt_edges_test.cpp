// The edges of the optimal graph as the engine hands them out (for the
// pictures written to files): as many as the marking counted, and, tied
// duplicates aside, exactly the tight edges of the direct recurrences into
// the marked cells.
#include <map>
#include <set>

#include "tests/concave/helpers.h"

namespace {

using Edge = std::vector<int>;  // x0, y0, x1, y1

std::vector<Edge> opt_edges() {
  std::vector<Edge> v;
  for_each_con_opt_edge([&](int x0, int y0, int x1, int y1) { v.push_back({x0, y0, x1, y1}); });
  return v;
}

}  // namespace

TEST_F(Concave, OptimalEdgesAreTheMarkedTightEdges) {
  struct Gap {
    double a, b;
  };
  // Exact values only, so that ties are ties in single precision too; the
  // small alphabet and a = 0.5 make many of them.
  const Gap gaps[] = {{0.5, 1.0}, {1.5, 0.5}, {3.0, 1.0}};
  std::mt19937 g(5);
  NoticeRecorder rec;
  int duplicates_seen = 0;
  for (int round = 0; round < 120; ++round) {
    const int mode = 6 + round % 3;
    reset_all();
    func = 4;  // a + b k
    aa = gaps[size_t(round / 3) % 3].a;
    bb = gaps[size_t(round / 3) % 3].b;
    mat = mode == 8 ? -2.0 : 0.0;
    sub = mode == 8 ? 1.0 : 1.0 + round % 3;
    std::string s1 = random_seq(g, 1 + int(g() % 9), round % 2 ? "AC" : "ACGT");
    std::string s2 = random_seq(g, 1 + int(g() % 9), round % 2 ? "AC" : "ACGT");
    if ((mode == 7 || mode == 8) && s2.size() > s1.size()) std::swap(s1, s2);
    set_seqs(s1, s2);
    Reference ref(s1, s2, mode);
    ASSERT_EQ(run_mode(mode), OpResult::computed);
    ASSERT_TRUE(rec.seen.empty()) << rec.last_line();
    SCOPED_TRACE("mode " + std::to_string(mode) + " " + s1 + " / " + s2);

    const std::vector<Edge> got = opt_edges();
    EXPECT_EQ(got.size(), gl_opt_edges);
    EXPECT_EQ(opt_edges(), got);  // walking the chains leaves them as they were
    std::map<Edge, int> copies;
    for (const Edge& e : got) ++copies[e];
    for (const auto& c : copies) duplicates_seen += c.second - 1;

    // A subalignment start (a cell clamped to 0) has no edges in; elsewhere
    // a marked cell's edges are its tight predecessors in the recurrences.
    auto start = [&](int x, int y) { return mode == 8 && ref.F(x, y) == 0.0f; };
    std::set<Edge> want;
    for (int y = 1; y <= m; ++y)
      for (int x = 1; x <= n; ++x) {
        if (hilfs_gr(uint32_t(x), uint32_t(y)) != 1 || start(x, y)) continue;
        const float v = ref.F(x, y);
        if (ref.F(x - 1, y - 1) + score_of(s1[size_t(x - 1)], s2[size_t(y - 1)]) == v) want.insert({x - 1, y - 1, x, y});
        for (int k = 0; k < y; ++k)
          if (ref.F(x, k) + w_of(y - k) == v) want.insert({x, k, x, y});
        for (int k = 0; k < x; ++k)
          if (ref.F(k, y) + w_of(x - k) == v) want.insert({k, y, x, y});
      }
    std::set<Edge> distinct;
    for (const Edge& e : got)
      if (!start(e[2], e[3])) distinct.insert(e);
    EXPECT_EQ(distinct, want);
    // Every edge joins cells of the optimal graph (or the border).
    for (const Edge& e : got) {
      EXPECT_EQ(hilfs_gr(uint32_t(e[2]), uint32_t(e[3])), 1);
      EXPECT_NE(hilfs_gr(uint32_t(e[0]), uint32_t(e[1])), 0);
    }
  }
  EXPECT_GT(duplicates_seen, 0);  // the inputs reached the chains' tied duplicates
}

TEST_F(Concave, OptimalEdgesOfTheWorkedExample) {
  // A against B with substitution 3 and g(k) = 0.5 + k: the three steps into
  // (1, 1) tie, and both chains hold candidate 0 twice.
  NoticeRecorder rec;
  set_seqs("A", "B");
  sub = 3.0;
  ASSERT_EQ(run_mode(6), OpResult::computed);
  std::multiset<Edge> got;
  for (const Edge& e : opt_edges()) got.insert(e);
  EXPECT_EQ(got, (std::multiset<Edge>{{0, 0, 1, 1}, {1, 0, 1, 1}, {1, 0, 1, 1}, {0, 1, 1, 1}, {0, 1, 1, 1}}));
  EXPECT_EQ(gl_opt_edges, 5u);
  // Through the results' engine, as the batch tool reads them.
  ASSERT_NE(result_engine, nullptr);
  uint64_t through = 0;
  result_engine->opt_edges([&](int, int, int, int) { ++through; });
  EXPECT_EQ(through, 5u);
}
