// The longest sequences the engine accepts: marking and searching walk paths
// of n + m nodes without deep recursion (also under the sanitizers, whose
// frames are larger).
#include "general_fixture.h"

TEST_F(GeneralTest, LongestSequencesMarkAndSearchWithoutRecursion) {
  // Linear gaps and all mismatches: every path is optimal; with the gap
  // length limit 1 the table stays linear in size and the first depth-first
  // walk runs along the whole last row.
  aa = 0.0;
  bb = 1.0;
  gl_kl = 1;
  const int N = GENERAL_MAX_LEN, M = 60;
  EXPECT_EQ(run(std::string(N, 'A'), std::string(M, 'C')), OpResult::computed);
  EXPECT_EQ(wert, float(N + M));
  EXPECT_EQ(gl_opt_edges, 3ull * N * M);  // every inner edge of length 1
  for (int y = 1; y <= M; y += 7)
    for (int x = 1; x <= N; x += 997) ASSERT_EQ(hilfs_gr(uint32_t(x), uint32_t(y)), 1);
  EXPECT_EQ(al_seq1.len, N);  // diagonal first: M substitutions, then the rest deleted
  mo_x = 1;
  mo_y = M;
  ASSERT_EQ(choose_between(), MarkResult::ok);
  ASSERT_TRUE(request_new_alignment());
  ASSERT_EQ(run_new_alignment(), NewAlignmentResult::done);
  EXPECT_EQ(strip(al_seq1), std::string(N, 'A'));
  EXPECT_EQ(strip(al_seq2), std::string(M, 'C'));
  EXPECT_EQ(text_positions(al_seq1.c_str(), al_seq2.c_str()).count({1, M}), 1u);
}
