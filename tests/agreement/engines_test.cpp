// Where the two engines' domains meet: gap costs that are a positive
// constant plus a concave function are in both, and there the concave
// engine's global mode and the general engine must give the same optimum
// and, where every sum is exact, the same number of optimal alignments.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "cost/cost.h"
#include "engine/common/results.h"
#include "engine/concave/concave.h"
#include "engine/general/general.h"
#include "state/state.h"
#include "tests/support/program_reset.h"
#include "ui/notice.h"

namespace {

class Engines : public ::testing::Test {
 protected:
  void SetUp() override { reset_program(); }
  void TearDown() override { reset_program(); }
};

std::string random_seq(std::mt19937& g, int len, const char* alpha) {
  std::string s;
  const unsigned k = unsigned(std::char_traits<char>::length(alpha));
  for (int i = 0; i < len; ++i) s.push_back(alpha[g() % k]);
  return s;
}

struct Gap {
  signed char f;
  double a, b, c, d;
  bool exact;  // every sum exactly representable: results compare exactly
};

}  // namespace

TEST_F(Engines, GlobalModesAgree) {
  const Gap gaps[] = {
      {4, 1.5, 0.5, 1, 1, true},   // a + b k
      {4, 3.0, 1.0, 1, 1, true},
      {8, 0.5, 2.0, 1, 0.5, true},  // a + b (c + d k)
      {5, 1.0, 3.0, 2, 1, false},  // a + b log10(c + d k)
      {3, 2.0, 1.5, 1, 1, false},  // a + b sqrt(k)
  };
  std::mt19937 g(23);
  NoticeRecorder rec;
  for (int round = 0; round < 60; ++round) {
    reset_program();
    const Gap& gp = gaps[size_t(round) % (sizeof gaps / sizeof gaps[0])];
    func = gp.f, aa = gp.a, bb = gp.b, cc = gp.c, dd = gp.d;
    sub = 1.0 + round % 4;
    mat = round % 2 ? 0.0 : -0.5;
    const std::string s1 = random_seq(g, 1 + int(g() % 12), round % 5 ? "ACGT" : "AC");
    const std::string s2 = random_seq(g, 1 + int(g() % 12), "ACGT");
    seq1 = String(s1.c_str()), seq2 = String(s2.c_str());
    n = int(s1.size()), m = int(s2.size());
    SCOPED_TRACE(s1 + " / " + s2 + " round " + std::to_string(round));

    computing = 6;
    ASSERT_EQ(run_concave_alignment(6), OpResult::computed);
    const float concave = wert;
    const std::string concave_count = count_con_paths().to_string();
    computing = 1;
    ASSERT_EQ(run_general_alignment(), OpResult::computed);
    ASSERT_TRUE(rec.seen.empty()) << rec.last_line();
    if (gp.exact) {
      EXPECT_EQ(concave, wert);
      // Exact sums tie exactly alike in both engines: the same graph.
      EXPECT_EQ(concave_count, count_general_paths().to_string());
    } else {
      EXPECT_NEAR(concave, wert, 1e-5 * std::max(1.0f, std::fabs(wert)));
    }
  }
}

// Counts where both engines meet: exact linear costs with many ties (a = 0
// makes w(0) = 0 and the concavity warning, answered "go on").
TEST_F(Engines, CountsAgree) {
  std::mt19937 g(5);
  NoticeRecorder rec;
  rec.answer = 0;
  for (int round = 0; round < 60; ++round) {
    reset_program();
    aa = round % 3 == 0 ? 0.0 : 1.0, bb = 1.0, sub = 2.0 + round % 2;
    const std::string s1 = random_seq(g, 1 + int(g() % 30), "AC"), s2 = random_seq(g, 1 + int(g() % 30), "AC");
    seq1 = String(s1.c_str()), seq2 = String(s2.c_str());
    n = int(s1.size()), m = int(s2.size());
    computing = 6;
    ASSERT_EQ(run_concave_alignment(6), OpResult::computed);
    const std::string concave = count_con_paths().to_string();
    computing = 1;
    ASSERT_EQ(run_general_alignment(), OpResult::computed);
    ASSERT_EQ(concave, count_general_paths().to_string()) << s1 << " / " << s2 << " a=" << aa;
  }
}
