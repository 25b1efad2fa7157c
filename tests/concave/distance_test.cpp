// The distance in its three modes against a direct implementation of the
// recurrences; the properties of the
// marked graph and of the extracted alignment; worked examples.
#include <cmath>

#include "tests/concave/helpers.h"

namespace {

struct GapCase {
  signed char f;
  double a, b, c, d;
  bool exact;  // every value exactly representable: results compare exactly
};

void use_gap(const GapCase& gc) {
  func = gc.f;
  aa = gc.a;
  bb = gc.b;
  cc = gc.c;
  dd = gc.d;
}

bool close(float got, float want, bool exact) {
  if (exact) return got == want;
  return std::fabs(got - want) <= 1e-5f * std::max(1.0f, std::fabs(want));
}

const GapCase kGaps[] = {
    {4, 1.5, 0.5, 1, 1, true},    // a + b k
    {4, 3.0, 1.0, 1, 1, true},
    {8, 0.5, 2.0, 1, 0.5, true},  // a + b (c + d k)
    {5, 1.0, 3.0, 2, 1, false},   // a + b log10(c + d k)
    {3, 2.0, 1.5, 1, 1, false},   // a + b sqrt(k)
};

}  // namespace

TEST_F(Concave, ModesAgreeWithDirectRecurrences) {
  std::mt19937 g(11);
  NoticeRecorder rec;
  for (int round = 0; round < 90; ++round) {
    const GapCase& gc = kGaps[size_t(round) % (sizeof kGaps / sizeof kGaps[0])];
    const int mode = 6 + round % 3;
    reset_all();
    use_gap(gc);
    mat = mode == 8 ? -2.0 : (round % 2 ? 0.0 : -0.5);
    sub = mode == 8 ? 1.5 : 1.0 + (round % 4);
    const int la = 1 + int(g() % 14), lb = 1 + int(g() % 14);
    std::string s1 = random_seq(g, la, round % 5 == 0 ? "AC" : "ACGT"), s2 = random_seq(g, lb);
    if ((mode == 7 || mode == 8) && lb > la) std::swap(s1, s2);
    set_seqs(s1, s2);
    Reference ref(s1, s2, mode);
    ASSERT_EQ(run_mode(mode), OpResult::computed) << round;
    ASSERT_TRUE(rec.seen.empty()) << rec.last_line();
    SCOPED_TRACE("round " + std::to_string(round) + " mode " + std::to_string(mode) + " " + s1 + " / " + s2);
    EXPECT_TRUE(close(wert, ref.opt, gc.exact)) << wert << " vs " << ref.opt;
    for (int y = 0; y <= m; ++y)
      for (int x = 0; x <= n; ++x)
        ASSERT_TRUE(close(dist(uint32_t(x), uint32_t(y)), ref.F(x, y), gc.exact)) << x << "," << y;

    // The extracted path replays the sweep's additions: exactly wert.
    EXPECT_EQ(rescore_path(mode), wert);
    // The text decomposes into the same steps when two gaps never beat one.
    if (2 * w_of(1) > w_of(2)) {
      EXPECT_EQ(rescore_text(mode), wert);
    }
    EXPECT_EQ(al_seq1.length(), al_seq2.length());

    // Every marked cell lies on an optimal path.
    uint64_t marked = 0;
    for (int y = 1; y <= m; ++y)
      for (int x = 1; x <= n; ++x)
        if (hilfs_gr(uint32_t(x), uint32_t(y)) == 1) {
          ++marked;
          ASSERT_TRUE(close(ref.F(x, y) + ref.B(x, y), ref.opt, gc.exact)) << "marked " << x << "," << y;
        }
    EXPECT_GT(marked, 0u);
    EXPECT_FALSE(count_con_paths().is_zero());
  }
}

TEST_F(Concave, WorkedExamples) {
  NoticeRecorder rec;
  // n = m = 1: min(score, w(1) + w(1)); here all three steps tie.
  set_seqs("A", "B");
  sub = 3.0;
  ASSERT_EQ(run_mode(6), OpResult::computed);
  EXPECT_EQ(wert, 3.0f);
  EXPECT_EQ(gl_opt_edges, 5u);  // both chains hold candidate 0 twice (target 1)
  EXPECT_EQ(count_con_paths().to_string(), "3");
  EXPECT_STREQ((al_seq1 + al_seq2).c_str(), "AB");
  EXPECT_EQ(gl_sub, 1u);
  EXPECT_EQ(bytes, 4u * 8u + 1u * 4u);
  sub = 10.0;
  ASSERT_EQ(run_mode(6), OpResult::computed);
  EXPECT_EQ(wert, 3.0f);
  EXPECT_STREQ((al_seq1 + al_seq2).c_str(), "A--B");  // the insertion is preferred
  EXPECT_EQ(gl_ins + gl_del, 2u);

  // Short in long: the value of the first best x, the alignment of the last;
  // the rest of the long sequence costs nothing and counts no gap.
  reset_all();
  set_seqs("ACGAC", "AC");
  ASSERT_EQ(run_mode(7), OpResult::computed);
  EXPECT_EQ(wert, 0.0f);
  EXPECT_EQ(merk_l1, 5);
  EXPECT_STREQ((al_seq1 + al_seq2).c_str(), "ACGAC---AC");
  EXPECT_EQ(gl_del + gl_ins, 0u);
  EXPECT_EQ(count_con_paths().to_string(), "2");

  // Subalignment: the start of sequence 2, "->-", the start of sequence 1,
  // the subalignment, the rest of sequence 1.
  reset_all();
  mat = -1.0;
  sub = 1.0;
  aa = 1.0;
  set_seqs("GGGACGTGG", "CCACGT");
  ASSERT_EQ(run_mode(8), OpResult::computed);
  EXPECT_EQ(wert, -4.0f);
  EXPECT_EQ(l_i * 100 + l_j, 706);
  EXPECT_STREQ((al_seq1 + " " + al_seq2).c_str(), "--->-GGGACGTGG CC->----ACGT--");

  // No negative cell: 0, and the end cell is the last one.
  reset_all();
  set_seqs("ACGT", "TTT");
  ASSERT_EQ(run_mode(8), OpResult::computed);
  EXPECT_EQ(wert, 0.0f);
  EXPECT_EQ(l_i * 100 + l_j, 403);

  // Modes 7 and 8 put the longer sequence first, and it stays there.
  reset_all();
  set_seqs("AB", "ABCD");
  ASSERT_EQ(run_mode(8), OpResult::computed);
  EXPECT_STREQ(seq1.c_str(), "ABCD");
  EXPECT_EQ(n, 4);
  EXPECT_STREQ(ms2.c_str(), "AB");
  // Empty sequences compute without harm.
  for (int mode = 6; mode <= 8; ++mode) {
    set_seqs("ACG", "");
    ASSERT_EQ(run_mode(mode), OpResult::computed);
    EXPECT_EQ(wert, mode == 6 ? 3.5f : 0.0f);
    EXPECT_EQ(al_seq1.length(), 3);
    EXPECT_EQ(count_con_paths().to_string(), "1");
    set_seqs("", "");
    ASSERT_EQ(run_mode(mode), OpResult::computed);
    EXPECT_EQ(wert, 0.0f);
  }
  set_seqs("AB", "ABCD");
  ASSERT_EQ(run_mode(8), OpResult::computed);
  // The same request again is served from the results.
  computing = 8;
  EXPECT_EQ(run_concave_alignment(8), OpResult::cached);
  EXPECT_TRUE(rec.seen.empty());
}

// The count on the tie-heaviest input, where the chains of tied
// predecessors are as long as the rows and columns.
TEST_F(Concave, CountOfTheTieHeaviestInput) {
  NoticeRecorder rec;
  rec.answer = 0;  // go on past the warning of w(0) = 0
  aa = 0, bb = 1, sub = 2;
  set_seqs(std::string(34, 'A'), std::string(34, 'C'));
  ASSERT_EQ(run_mode(6), OpResult::computed);
  // f(34, 34) of f(x, y) = f(x-1, y-1) + sum f(k, y), k < x, + sum f(x, k), k < y
  EXPECT_EQ(count_con_paths().to_string(), "907932788136973674396291503417967");
}
