// Distance table, edge records, extraction and operation code 1.
#include <random>

#include "general_fixture.h"

namespace {

// Everything min_distance produces under kernel k (see table_text).
std::string compute_table(ScanKernel k) {
  scan_kernel = k;
  compute_keep(seq1.c_str(), seq2.c_str());
  return table_text();
}

// The shown alignment, its counters and its listed path in one line.
std::string shown() {
  std::string s = std::string(al_seq1.c_str()) + "/" + al_seq2.c_str() + " sub " + std::to_string(gl_sub) +
                  " ins " + std::to_string(gl_ins) + " del " + std::to_string(gl_del) + " path";
  for (auto& p : path_nodes()) s += " " + std::to_string(p.first) + "," + std::to_string(p.second);
  return s;
}

}  // namespace

TEST_F(GeneralTest, WorkedExamples) {
  sub = 3.0;  // all three candidates of (1, 1) cost 3
  compute_keep("A", "B");
  EXPECT_EQ(record_bits(1, 1), "11|1");
  EXPECT_EQ(gesamtkanten, 5u);
  EXPECT_EQ(wert, 3.0f);
  EXPECT_EQ(gl_opt_edges, 3u);
  EXPECT_EQ(shown(), "A/B sub 1 ins 0 del 0 path 1,1");
  EXPECT_EQ(count_general_paths().to_string(), "3");

  sub = 10.0;  // the insertion is preferred, the deletion runs along the border
  compute_keep("A", "B");
  EXPECT_EQ(shown(), "A-/-B sub 0 ins 1 del 1 path 1,1 1,0");
  EXPECT_EQ(gl_opt_edges, 2u);

  sub = 2.0;
  compute_keep("AAB", "B");
  EXPECT_EQ(wert, 2.5f);
  EXPECT_EQ(shown(), "AAB/--B sub 1 ins 0 del 1 path 3,1 2,0");
  EXPECT_EQ(std::vector<int>({help_l[1], help_l[2], help_l[3], hilfs_h[0], hilfs_h[1], hilfs_h[2], hilfs_w[0],
                              hilfs_w[1], hilfs_w[2]}),
            std::vector<int>({1, 0, 0, 0, 1, 2, 0, 0, 0}));

  compute_keep("ACGTTGCA", "ACGTTGCA");  // the main diagonal has only its diagonal edge
  EXPECT_EQ(wert, 0.0f);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(record_bits(i, i), "1|");
  EXPECT_EQ(help_l[8], 8);

  gl_kl = 1;  // inner gaps of length 1 only; the border keeps whole gaps
  aa = 0.0;    // linear gaps: every edge ties
  compute_keep("AAAAA", "CC");
  EXPECT_EQ(dist(5, 0), 5.0f);
  EXPECT_EQ(record_bits(5, 2), "11|1");
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
  mat = 5000.0;  // a typed match score of 5000 counts too
  compute_keep("A", "A");
  EXPECT_EQ(sub_t, 1);
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
    std::string ref = compute_table(ScanKernel::reference);
    for (ScanKernel k : kernels) {
      if (!scan_kernel_supported(k)) continue;
      EXPECT_EQ(compute_table(k), ref) << "round " << round << " kernel " << int(k);
      ++compared;
    }
  }
  EXPECT_GT(compared, 36);
}

TEST_F(GeneralTest, OperationCodeOne) {
  EXPECT_EQ(run("ACGT", "AGT"), OpResult::computed);
  EXPECT_TRUE(computing == 0 && comp != 0 && comp_o == 1 && ms1 == seq1 && ms2 == seq2);
  EXPECT_EQ(wert, 1.5f);
  computing = 1;  // unchanged inputs: cached
  EXPECT_EQ(run_general_alignment(), OpResult::cached);
  EXPECT_EQ(computing, 0);

  EXPECT_EQ(run("", "ACG"), OpResult::computed);  // one gap along the border
  EXPECT_EQ(shown(), "---/ACG sub 0 ins 1 del 0 path 0,3");
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
  EXPECT_TRUE(pred_record(4, 3).exists());

  // A floating-point fault leaves incomplete results that nothing may use.
  func = 7;
  cc = -5.0;
  EXPECT_EQ(run("ACGT", "AGT"), OpResult::fp_error);
  EXPECT_EQ(notices.last_line(), "Mathematical error during computation !");
  EXPECT_TRUE(comp == 0 && ms1.len == 0);
  markb_x = 2;
  markb_y = 1;
  computing = 5;
  EXPECT_EQ(run_new_alignment(), NewAlignmentResult::not_valid);
  // the same request computes (and reports) again
  computing = 1;
  EXPECT_EQ(run_general_alignment(), OpResult::fp_error);

  // Sums beyond single precision: an infinite optimum is a mathematical
  // error too; sums that overflow off the optimal paths do no harm.
  cost_reset();
  aa = 3e38, bb = 0, sub = 3e38;
  EXPECT_EQ(run("ACGTAC", "AGT"), OpResult::fp_error);
  EXPECT_EQ(notices.last_line(), "Mathematical error during computation !");
  EXPECT_TRUE(comp == 0 && ms1.len == 0);
  fp_err_clear();
  EXPECT_EQ(run("AB", "AB"), OpResult::computed);  // the diagonal into (2, 1) is 6e38
  EXPECT_EQ(wert, 0.0f);
  mat = -3e38, sub = 0;
  EXPECT_EQ(run("AAA", "AA"), OpResult::fp_error);  // -inf

  // An incomplete table warns after the result.
  cost_reset();
  sub = TABLE_MARKER;
  su = FILL_VALUE;
  EXPECT_EQ(run("AC", "CA"), OpResult::computed);
  EXPECT_EQ(notices.last_line(), "Your subst.-table was incomplete !");
}

// A closed main window ends the program; an interrupt (computing = 0 during
// a progress report) stops the computation and discards its results.
TEST_F(GeneralTest, InterruptAndClosedWindow) {
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
  EXPECT_TRUE(comp == 0 && ms1.len == 0 && ms2.len == 0);
}

// The same on rows longer than a chunk of the scan (128 candidates) and on
// several bands of rows, where the band's cells take their minima together
// and the ties are collected chunk by chunk; with ties everywhere (linear
// costs, two letters) and few (a logarithmic cost), on one and two threads.
TEST_F(GeneralTest, KernelsAgreeOnLongRows) {
  std::mt19937 rng(29);
  for (int round = 0; round < 4; ++round) {
    std::string s1, s2;
    const int letters = round % 2 ? 4 : 2;
    for (int i = 0; i < 300 + round * 7; ++i) s1 += "ACGT"[rng() % unsigned(letters)];
    for (int i = 0; i < 290 - round * 11; ++i) s2 += "ACGT"[rng() % unsigned(letters)];
    set_seqs(s1, s2);
    cost_reset();
    if (round < 2) {
      aa = 0.0;  // g(k) = k: every gap length can tie
      bb = 1.0;
    } else {
      func = 1;  // 2 + log10(k)
      aa = 2.0;
    }
    general_threads = 1;
    const std::string ref = compute_table(ScanKernel::reference);
    for (ScanKernel k : {ScanKernel::automatic, ScanKernel::avx2, ScanKernel::scalar}) {
      if (!scan_kernel_supported(k)) continue;
      for (int t : {1, 2}) {
        general_threads = t;
        EXPECT_EQ(compute_table(k), ref) << "round " << round << " kernel " << int(k) << " threads " << t;
      }
    }
  }
}
