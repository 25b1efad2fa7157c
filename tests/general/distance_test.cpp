// Distance table, edge records, extraction and operation code 1.
#include <cstring>
#include <random>

#include "general_fixture.h"

namespace {

// Snapshot of everything min_distance produces, for comparing kernels.
struct Table {
  std::vector<float> d;
  std::vector<std::vector<int>> rec;  // per inner node: lengths and set bits
  uint64_t edges, mem;
  char subt;
  bool operator==(const Table& o) const {
    return d.size() == o.d.size() && std::memcmp(d.data(), o.d.data(), d.size() * sizeof(float)) == 0 &&
           rec == o.rec && edges == o.edges && mem == o.mem && subt == o.subt;
  }
};

Table compute_table(ScanKernel k) {
  scan_kernel = k;
  release_general_graph();
  dist_gr.change_dim(uint32_t(n) + 1, uint32_t(m) + 1);
  dist_gr = nullptr;
  dist.change_dim(uint32_t(n) + 1, uint32_t(m) + 1);
  help_l.change_length(uint16_t(n + m + 2));
  computing = 1;
  min_distance();
  computing = 0;
  Table t;
  t.d.assign(dist.numbers, dist.numbers + size_t(n + 1) * (m + 1));
  for (int y = 1; y <= m; ++y)
    for (int x = 1; x <= n; ++x) {
      list* r = edge_record(x, y);
      std::vector<int> v{r->list1_length(), r->list2_length()};
      for (int b = 0; b < r->list1_length(); ++b) v.push_back(r->get1(uint16_t(b)));
      for (int b = 0; b < r->list2_length(); ++b) v.push_back(r->get2(uint16_t(b)));
      t.rec.push_back(v);
    }
  t.edges = gesamtkanten;
  t.mem = bytes;
  t.subt = sub_t;
  return t;
}

}  // namespace

TEST_F(GeneralTest, WorkedExamplesOfOneNode) {
  // A/B with sub 3: all three candidates of (1, 1) cost 3.
  sub = 3.0;
  compute_keep("A", "B");
  list* r = edge_record(1, 1);
  ASSERT_NE(r, nullptr);
  EXPECT_EQ(r->list1_length(), 2);
  EXPECT_EQ(r->list2_length(), 1);
  EXPECT_EQ(r->get1(0), 1);
  EXPECT_EQ(r->get1(1), 1);
  EXPECT_EQ(r->get2(0), 1);
  EXPECT_EQ(gesamtkanten, 5u);
  EXPECT_EQ(dist(1, 1), 3.0f);
  EXPECT_EQ(gl_opt_edges, 3u);
  EXPECT_STREQ(al_seq1.c_str(), "A");
  EXPECT_STREQ(al_seq2.c_str(), "B");
  EXPECT_EQ(gl_sub, 1u);
  EXPECT_EQ(gl_ins + gl_del, 0u);
  EXPECT_EQ(path_nodes(), (std::vector<std::pair<int, int>>{{1, 1}}));
  EXPECT_EQ(count_general_paths().to_string(), "3");

  // sub 10: the insertion is preferred, the deletion runs along the border.
  sub = 10.0;
  compute_keep("A", "B");
  EXPECT_STREQ(al_seq1.c_str(), "A-");
  EXPECT_STREQ(al_seq2.c_str(), "-B");
  EXPECT_EQ(gl_ins, 1u);
  EXPECT_EQ(gl_del, 1u);
  EXPECT_EQ(gl_sub, 0u);
  EXPECT_EQ(path_nodes(), (std::vector<std::pair<int, int>>{{1, 1}, {1, 0}}));
  EXPECT_EQ(gl_opt_edges, 2u);
}

TEST_F(GeneralTest, WorkedExampleTables) {
  compute_keep("AAB", "B");
  EXPECT_EQ(wert, 2.5f);
  EXPECT_STREQ(al_seq1.c_str(), "AAB");
  EXPECT_STREQ(al_seq2.c_str(), "--B");
  EXPECT_EQ(gl_sub, 1u);
  EXPECT_EQ(gl_del, 1u);
  EXPECT_EQ(gl_ins, 0u);
  EXPECT_EQ(path_nodes(), (std::vector<std::pair<int, int>>{{3, 1}, {2, 0}}));
  EXPECT_EQ(help_l[1], 1);
  EXPECT_EQ(help_l[2], 0);
  EXPECT_EQ(help_l[3], 0);
  for (int p = 0; p < 3; ++p) {
    EXPECT_EQ(hilfs_h[uint16_t(p)], p);
    EXPECT_EQ(hilfs_w[uint16_t(p)], 0);
  }
  // Equal sequences: the main diagonal has only its diagonal edge.
  compute_keep("ACGTTGCA", "ACGTTGCA");
  EXPECT_EQ(wert, 0.0f);
  for (int i = 1; i <= 8; ++i) {
    list* r = edge_record(i, i);
    EXPECT_EQ(r->list1_length(), 1);
    EXPECT_EQ(r->list2_length(), 0);
    EXPECT_EQ(r->get1(0), 1);
  }
  EXPECT_EQ(gl_opt_edges, 8u);
  EXPECT_EQ(help_l[8], 8);
}

TEST_F(GeneralTest, GapLengthLimitAndIncompleteTable) {
  gl_kl = 1;
  compute_keep("AAAAA", "CC");
  EXPECT_EQ(dist(5, 0), float(const_cost(5)));
  for (int y = 1; y <= 2; ++y)
    for (int x = 1; x <= 5; ++x) {
      list* r = edge_record(x, y);
      EXPECT_LE(r->list1_length(), 2);
      EXPECT_LE(r->list2_length(), 1);
    }
  gl_kl = 0;

  // A table that gives only the pairs of A and C: a used 5000 entry sets sub_t.
  sub = mat = TABLE_MARKER;
  su = FILL_VALUE;
  su.set(0, 0, 0.0f);
  su.set(2, 2, 0.0f);
  su.set(0, 2, 1.0f);
  su.set(2, 0, 1.0f);
  compute_keep("AC", "CA");
  EXPECT_EQ(sub_t, 0);
  compute_keep("AG", "CA");
  EXPECT_EQ(sub_t, 1);
  // mat numeric: equal letters score it whatever the diagonal holds; 5000 typed counts too
  mat = 5000.0;
  set_seqs("A", "A");
  EXPECT_EQ(compute_table(ScanKernel::automatic).subt, 1);
  EXPECT_EQ(compute_table(ScanKernel::reference).subt, 1);
}

// Every kernel gives the reference table bit for bit: values, records,
// figures; on lengths around the vector widths, with ties and without.
TEST_F(GeneralTest, ScanKernelsAgreeWithReference) {
  std::mt19937 rng(7);
  const char* alpha = "ACGT";
  std::vector<ScanKernel> kernels{ScanKernel::scalar, ScanKernel::avx2, ScanKernel::avx512};
  int compared = 0;
  for (int round = 0; round < 36; ++round) {
    int a = 1 + int(rng() % 70), b = 1 + int(rng() % 70);
    std::string s1, s2;
    for (int i = 0; i < a; ++i) s1 += alpha[rng() % (round % 3 == 0 ? 2 : 4)];
    for (int i = 0; i < b; ++i) s2 += alpha[rng() % (round % 3 == 0 ? 2 : 4)];
    set_seqs(s1, s2);
    cost_reset();
    func = (signed char)(round % 4 == 1 ? 1 : round % 4 == 2 ? 3 : 4);
    if (round % 5 == 0) { aa = 0.0; bb = 1.0; }  // linear gaps: ties everywhere
    gl_kl = round % 6 == 3 ? 1 + int(rng() % 5) : 0;
    Table ref = compute_table(ScanKernel::reference);
    for (ScanKernel k : kernels) {
      if (!scan_kernel_supported(k)) continue;
      EXPECT_TRUE(compute_table(k) == ref) << "round " << round << " kernel " << int(k);
      ++compared;
    }
  }
  EXPECT_GT(compared, 36);
}

TEST_F(GeneralTest, OperationCodeOne) {
  EXPECT_EQ(run("ACGT", "AGT"), OpResult::computed);
  EXPECT_EQ(computing, 0);
  EXPECT_NE(comp, 0);
  EXPECT_EQ(comp_o, 1);
  EXPECT_TRUE(ms1 == seq1 && ms2 == seq2);
  EXPECT_EQ(dist.dim_x(), 1u);
  EXPECT_EQ(wert, 1.5f);
  // unchanged inputs: cached
  computing = 1;
  EXPECT_EQ(run_general_alignment(), OpResult::cached);
  EXPECT_EQ(computing, 0);

  // one empty sequence: a single gap along the border
  EXPECT_EQ(run("", "ACG"), OpResult::computed);
  EXPECT_EQ(wert, 3.5f);
  EXPECT_STREQ(al_seq1.c_str(), "---");
  EXPECT_EQ(gl_ins, 1u);
  EXPECT_EQ(path_nodes(), (std::vector<std::pair<int, int>>{{0, 3}}));
  EXPECT_EQ(count_general_paths().to_string(), "1");
  // letters outside A..Z score by the rule without reading outside the table
  EXPECT_EQ(run("ac1", "AC"), OpResult::computed);
  EXPECT_EQ(wert, 5.5f);

  EXPECT_EQ(run("AC-G", "AG"), OpResult::refused_chars);
  EXPECT_EQ(notices.last_line(), "Sequence contains char '-' or '>' !");
  EXPECT_EQ(comp, 0);
  EXPECT_EQ(run("AC", "A>G"), OpResult::refused_chars);

  // Too long: refused before anything is cleared.
  EXPECT_EQ(run("ACGT", "AGT"), OpResult::computed);
  EXPECT_EQ(run(std::string(16001, 'A'), "A"), OpResult::too_long);
  EXPECT_EQ(notices.last_line(), "Sequence too long for this operation !");
  EXPECT_EQ(comp, 0);
  EXPECT_NE(edge_record(4, 3), nullptr);

  // A floating-point fault leaves incomplete results that nothing may use.
  func = 7;
  cc = -5.0;
  size_t before = notices.seen.size();
  EXPECT_EQ(run("ACGT", "AGT"), OpResult::fp_error);
  ASSERT_GT(notices.seen.size(), before);
  EXPECT_EQ(notices.seen[before].lines[0], "Mathematical error during computation !");
  EXPECT_EQ(comp, 0);
  EXPECT_EQ(ms1.len, 0);
  mo_x = 1; mo_y = 1;
  markb_x = 2; markb_y = 1;
  computing = 5;
  EXPECT_EQ(run_new_alignment(), NewAlignmentResult::not_valid);
  // the same request computes (and reports) again
  computing = 1;
  EXPECT_EQ(run_general_alignment(), OpResult::fp_error);

  // An incomplete table warns after the result.
  cost_reset();
  sub = TABLE_MARKER;
  su = FILL_VALUE;
  EXPECT_EQ(run("AC", "CA"), OpResult::computed);
  EXPECT_EQ(notices.last_line(), "Your subst.-table was incomplete !");
}

TEST_F(GeneralTest, InterruptAndClosedWindow) {
  // An interrupt (computing = 0 from a dispatch) stops the loop and the
  // results are discarded.
  static int calls;
  calls = 0;
  set_main_window_test([] { return ++calls < 50; });
  EXPECT_THROW(run("ACGTACGTACGTACGTACGTACGTACGTACGT", "ACGTTTACGACGATCGATCGACTAGCATGC"), ProgramEnd);
  set_main_window_test(nullptr);

  WindowHooks h;
  static int rows;
  rows = 0;
  h.summary_fill = [](int, int, int, int) {
    if (++rows == 3) computing = 0;
  };
  set_window_hooks(h);
  EXPECT_EQ(run("ACGTACGTACGTACGTACGTACGTACGTACGT", "ACGTTTACGACGATCGATCGACTAGCATGC"),
            OpResult::interrupted);
  EXPECT_EQ(comp, 0);
  EXPECT_EQ(ms1.len, 0);
  EXPECT_EQ(ms2.len, 0);
}
