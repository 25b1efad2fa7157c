// The engine against exhaustive enumeration of all edge paths on every pair
// of short sequences, for several gap cost functions.
#include "general_fixture.h"

namespace {

struct CostSetting {
  const char* name;
  void (*apply)();
  bool text_rescores;  // concave with 2 g(1) > g(2): maximal gap runs are single edges
};

const CostSetting settings[] = {
    {"affine", [] {}, true},
    {"linear ties", [] { aa = 0.0; bb = 1.0; sub = 2.0; }, false},
    {"log", [] { func = 1; aa = 1.0; bb = 2.0; sub = 3.0; }, true},
    {"sqrt", [] { func = 3; aa = 1.0; bb = 1.0; sub = 2.5; }, true},
    {"1+k*k", [] { func = 0; own_func = String("1+k*k"); compress_function(); sub = 3.0; }, false},
};

}  // namespace

// For each pair: every dist value and wert are the exhaustive minimum, the marked nodes are exactly
// the nodes of optimal paths, the optimal edges are counted once each (and
// are the edges handed out for the pictures), the number of optimal paths is
// exact, and the extracted alignment rescored along its path gives wert
// exactly.
TEST_F(GeneralTest, AgreesWithExhaustiveEnumeration) {
  const std::vector<std::string> sets[] = {all_words("AC", 4), all_words("ACG", 3),
                                           {"ACGCA", "CCAGA", "AGGCAC", "CACCGA", "GAACG"}};
  for (const CostSetting& cs : settings) {
    for (int limit : {0, 2}) {
      for (int variant = 0; variant < 3; ++variant) {
        const auto& w = sets[variant];
        if (variant == 2 && limit) continue;
        for (size_t ia = 0; ia < w.size(); ++ia) {
          for (size_t ib = 0; ib < w.size(); ++ib) {
            if (limit && (ia + ib) % 3) continue;
            cost_reset();
            cs.apply();
            gl_kl = limit;
            const std::string &a = w[ia], &b = w[ib];
            compute_keep(a, b);
            Oracle o(a, b, limit);
            SCOPED_TRACE(std::string(cs.name) + " " + a + "/" + b + " limit " + std::to_string(limit));
            for (int y = 0; y <= o.M; ++y)
              for (int x = 0; x <= o.N; ++x) ASSERT_EQ(dist(uint32_t(x), uint32_t(y)), o.at(x, y));
            ASSERT_EQ(wert, o.at(o.N, o.M));
            for (int y = 1; y <= o.M; ++y)
              for (int x = 1; x <= o.N; ++x)
                ASSERT_EQ(hilfs_gr(uint32_t(x), uint32_t(y)) == 1, o.on_opt.count({x, y}) == 1) << x << "," << y;
            ASSERT_EQ(gl_opt_edges, o.opt_edges.size());
            std::vector<std::vector<int>> edges;  // as the pictures get them: each once
            for_each_general_opt_edge([&](int x0, int y0, int x1, int y1) { edges.push_back({x0, y0, x1, y1}); });
            ASSERT_EQ(edges.size(), gl_opt_edges);
            ASSERT_EQ(std::set<std::vector<int>>(edges.begin(), edges.end()), o.opt_edges);
            ASSERT_EQ(count_general_paths().to_string(), std::to_string(o.paths));
            ASSERT_EQ(rescore_path(o, path_nodes()), wert);
            ASSERT_EQ(strip(al_seq1), a);
            ASSERT_EQ(strip(al_seq2), b);
            if (cs.text_rescores && limit == 0) {
              ASSERT_EQ(rescore_text(al_seq1.c_str(), al_seq2.c_str()), wert);
            }
          }
        }
      }
    }
  }
  // the own formula is really in force
  EXPECT_EQ(ownfunction(3), 10.0);
}
