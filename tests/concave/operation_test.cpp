// The operation as a whole: the concavity warning, faults, limits, long
// paths on a small stack, and alternative alignments through marks.
#include <pthread.h>

#include <set>

#include "tests/concave/helpers.h"

namespace {

const char* kWarning = "Your costfunction seems not to be'const. (>0) + concave' !";

// Path cells of the shown alignment, read from its text: the cell after
// every diagonal column and after every gap run.
std::set<std::pair<int, int>> text_cells() {
  std::string a = al_seq1.c_str(), b = al_seq2.c_str();
  std::set<std::pair<int, int>> cells;
  int x = 0, y = 0;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] == '>') {  // the subalignment marker: no path before it
      cells.clear();
      i += 1;
      continue;
    }
    if (a[i] != '-') ++x;
    if (b[i] != '-') ++y;
    const bool run_goes_on = i + 1 < a.size() && ((a[i] == '-' && a[i + 1] == '-') || (b[i] == '-' && b[i + 1] == '-'));
    if (!run_goes_on) cells.insert({x, y});
  }
  return cells;
}

}  // namespace

TEST_F(Concave, ConcavityWarning) {
  set_seqs("ACGT", "AGT");
  // Each: function, a, answer, expected result, whether the notice comes.
  // a + b k (a > 0) and a logarithm (undefined at 0: w(0) counts as 1) pass;
  // 1 + k*k fails at k = 2 (w(1) + w(3) = 12 > 2.001 w(2)); a + b sqrt(k)
  // with a = 0 is 0 at 0. Stopping leaves no results; going on computes.
  struct Case { signed char f; double a; int answer; OpResult want; bool warned; };
  const Case cases[] = {{4, 0.5, 1, OpResult::computed, false}, {1, 1.0, 1, OpResult::computed, false},
                        {0, 0.0, 1, OpResult::interrupted, true}, {3, 0.0, 0, OpResult::computed, true}};
  own_func = String("1+k*k");
  compress_function();
  for (const Case& c : cases) {
    func = c.f;
    aa = c.a;
    NoticeRecorder rec;
    rec.answer = c.answer;
    EXPECT_EQ(run_mode(6), c.want) << int(c.f);
    EXPECT_EQ(fp_error(), 0);
    ASSERT_EQ(rec.seen.size(), c.warned ? 1u : 0u) << int(c.f);
    EXPECT_EQ(comp != 0, c.want == OpResult::computed);
    if (!c.warned) continue;
    EXPECT_EQ(rec.seen[0].lines, std::vector<std::string>{kWarning});
    ASSERT_EQ(rec.seen[0].buttons.size(), 2u);
    EXPECT_EQ(rec.seen[0].buttons[0].label + "=" + std::to_string(rec.seen[0].buttons[0].value) + rec.seen[0].buttons[1].label +
                  "=" + std::to_string(rec.seen[0].buttons[1].value),
              " Stop computation =1 Go on computing =0");
  }
  EXPECT_EQ(computing, 0);
}

TEST_F(Concave, FaultsAndLimitsLeaveNoUsableResults) {
  NoticeRecorder rec;
  set_seqs("ACGTACGTAC", "AGTTC");
  ASSERT_EQ(run_mode(6), OpResult::computed);
  ASSERT_NE(comp, 0);
  // A fault while tabulating: no results, nothing cached, the flag stays.
  func = 7, cc = -5.0;  // a + b sqrt(c + d k) with c = -5 faults for k < 5
  EXPECT_EQ(run_mode(6), OpResult::fp_error);
  EXPECT_EQ(rec.last_line(), "Mathematical error during computation !");
  EXPECT_EQ(comp, 0);
  EXPECT_EQ(ms1.length(), 0);
  EXPECT_NE(fp_error(), 0);
  // The same request again computes again instead of showing stale results.
  rec.seen.clear();
  computing = 6;
  EXPECT_EQ(run_concave_alignment(6), OpResult::fp_error);
  EXPECT_EQ(rec.seen.size(), 1u);

  // An infinite optimum (sums beyond single precision) is reported alike:
  // every global alignment here has two gap runs or substitutions at 2e38.
  cost_reset();
  fp_err_clear();
  rec.seen.clear();
  aa = 2e38, bb = 0, sub = 2e38;
  set_seqs("ACGTAC", "AGT");
  EXPECT_EQ(run_mode(6), OpResult::fp_error);
  EXPECT_EQ(rec.last_line(), "Mathematical error during computation !");
  fp_err_clear();
  cost_reset();
  aa = 3, bb = 0, mat = -3e38;
  set_seqs("ACGTAC", "ACGTAC");
  EXPECT_EQ(run_mode(8), OpResult::fp_error);  // -inf
  fp_err_clear();

  // w(L + 1) only serves the concavity test: a fault there is none of the
  // computation (log10(7 - k) is defined up to the longest gap, k = 6).
  cost_reset();
  rec.seen.clear();
  set_seqs("ACGTAC", "AGT");
  func = 5, aa = 5, bb = 1, cc = 7, dd = -1;
  ASSERT_EQ(run_mode(6), OpResult::computed);
  EXPECT_TRUE(rec.seen.empty() && fp_error() == 0);
  EXPECT_NEAR(wert, 9.60206, 1e-5);  // as the general engine finds it
  cc = 6;  // w(6) = 5 + log10(0): the longest gap faults
  EXPECT_EQ(run_mode(6), OpResult::fp_error);
  fp_err_clear();

  // Forbidden characters and lengths beyond the 16-bit lists are refused.
  cost_reset();
  fp_err_clear();
  set_seqs("AC-GT", "ACGT");
  EXPECT_EQ(run_mode(6), OpResult::refused_chars);
  EXPECT_EQ(rec.last_line(), "Sequence contains char '-' or '>' !");
  set_seqs(std::string(32765, 'A'), "A");
  EXPECT_EQ(run_mode(7), OpResult::too_long);
  EXPECT_EQ(rec.seen.back().lines,
            (std::vector<std::string>{"Sequence too long for this operation !", "(at most 32764 letters each)"}));
  EXPECT_EQ(comp, 0);

  // The longest accepted sequence works, with its alignment complete.
  rec.seen.clear();
  set_seqs(std::string(32764, 'A'), "C");
  ASSERT_EQ(run_mode(6), OpResult::computed);
  EXPECT_TRUE(rec.seen.empty());
  EXPECT_EQ(al_seq1.length(), 32764);
  EXPECT_EQ(rescore_text(6), wert);
  EXPECT_EQ(rescore_path(6), wert);
}

namespace {

// w(k) = k: every split of a gap ties, so the optimal graph holds paths of
// thousands of single steps, and marking and the search go that deep.
void* deep_body(void* ok) {
  func = 4, aa = 0.0, sub = 100.0;
  set_seqs(std::string(4000, 'A'), "B");
  NoticeRecorder rec;
  rec.answer = 0;  // go on at the warning (w(0) = 0)
  if (run_mode(6) != OpResult::computed || gl_opt_edges <= 4000u) return nullptr;
  markl_x = markl_y = 0, markr_x = n, markr_y = m, markb_x = 3, markb_y = 1;
  computing = 5;
  *static_cast<bool*>(ok) = run_new_alignment() == NewAlignmentResult::done && wert == 4001.0f &&
                            rescore_text(6) == wert && al_seq1.length() == n + 1;
  return nullptr;
}

}  // namespace

TEST_F(Concave, LongPathsNeedNoDeepStack) {
  pthread_attr_t attr;
  pthread_attr_init(&attr);
  pthread_attr_setstacksize(&attr, 256 * 1024);
  bool ok = false;
  pthread_t th;
  ASSERT_EQ(pthread_create(&th, &attr, deep_body, &ok), 0);
  pthread_join(th, nullptr);
  pthread_attr_destroy(&attr);
  EXPECT_TRUE(ok);
}

TEST_F(Concave, AlternativeAlignmentsThroughMarks) {
  std::mt19937 g(3);
  int tried = 0;
  for (int round = 0; round < 40; ++round) {
    reset_all();
    const int mode = round % 3 == 2 ? 8 : 6 + round % 2;
    aa = 1.0, bb = 0.5, sub = 1.0, mat = mode == 8 ? -1.0 : 0.0;
    std::string s1 = random_seq(g, 6 + int(g() % 10), "AC"), s2 = random_seq(g, 4 + int(g() % 6), "AC");
    if (mode != 6 && s2.size() > s1.size()) std::swap(s1, s2);
    set_seqs(s1, s2);
    NoticeRecorder rec;
    ASSERT_EQ(run_mode(mode), OpResult::computed);
    const float best = wert;
    const std::string old1 = al_seq1.c_str(), old2 = al_seq2.c_str();
    const auto shown = text_cells();

    // A marked cell off the shown path as the between mark; the ends of the
    // shown alignment as the other marks.
    int bx = -1, by = -1;
    for (int y = 1; y <= m && bx < 0; ++y)
      for (int x = 1; x <= n; ++x)
        if (hilfs_gr(uint32_t(x), uint32_t(y)) == 1 && !shown.count({x, y}) && bx < 0) bx = x, by = y;
    if (bx < 0) continue;
    ++tried;
    markl_x = markl_y = 0, markb_x = bx, markb_y = by;
    markr_x = mode == 8 ? l_i : (mode == 7 ? merk_l1 : n), markr_y = mode == 8 ? l_j : m;
    if (!shown.count({markr_x, markr_y})) continue;
    computing = 5;
    const auto res = run_new_alignment();
    SCOPED_TRACE("round " + std::to_string(round) + " " + s1 + " / " + s2 + " mark " + std::to_string(bx) +
                 "," + std::to_string(by));
    if (res == NewAlignmentResult::no_path) {
      // Only possible when the between mark lies behind the shown end.
      EXPECT_NE(mode, 6);
      EXPECT_STREQ(al_seq1.c_str(), old1.c_str());
      EXPECT_STREQ(al_seq2.c_str(), old2.c_str());
      continue;
    }
    ASSERT_EQ(res, NewAlignmentResult::done) << rec.last_line();
    EXPECT_TRUE(text_cells().count({bx, by})) << al_seq1.c_str() << " / " << al_seq2.c_str();
    EXPECT_EQ(rescore_text(mode), best) << al_seq1.c_str() << " / " << al_seq2.c_str();
  }
  EXPECT_GT(tried, 10);
}

// "Get new alignment" with only a between mark: in the subalignment mode
// the missing right mark goes to the end of the shown stretch (the lower
// right node seldom ends a best one), and the new alignment through the
// between mark is found.
TEST_F(Concave, SubalignmentRightMarkDefaultsToTheShownEnd) {
  std::mt19937 g(8);
  int found = 0;
  for (int round = 0; round < 150; ++round) {
    reset_all();
    aa = 1.0, bb = 0.5, sub = 1.0, mat = -1.0;
    std::string s1 = random_seq(g, 8 + int(g() % 8), "AC"), s2 = random_seq(g, 5 + int(g() % 5), "AC");
    set_seqs(s1, s2 + "GGGG");  // the lower right node ends no best stretch
    NoticeRecorder rec;
    ASSERT_EQ(run_mode(8), OpResult::computed);
    const auto shown = text_cells();
    int bx = -1, by = -1;
    for (int y = 1; y <= m && bx < 0; ++y)
      for (int x = 1; x <= n; ++x)
        if (hilfs_gr(uint32_t(x), uint32_t(y)) == 1 && !shown.count({x, y}) && bx < 0 && x <= l_i && y <= l_j)
          bx = x, by = y;
    if (bx < 0) continue;
    markb_x = bx, markb_y = by;
    ASSERT_TRUE(request_new_alignment());
    EXPECT_EQ(markr_x, l_i);
    EXPECT_EQ(markr_y, l_j);
    const float best = wert;
    const auto res = run_new_alignment();
    SCOPED_TRACE(s1 + " / " + s2 + " between " + std::to_string(bx) + "," + std::to_string(by));
    if (res == NewAlignmentResult::no_path) continue;  // the between node leads to another end
    ASSERT_EQ(res, NewAlignmentResult::done) << rec.last_line();
    EXPECT_TRUE(text_cells().count({bx, by}));
    EXPECT_EQ(rescore_text(8), best);
    ++found;
  }
  EXPECT_GT(found, 5);
}

TEST_F(Concave, SubalignmentEndsAndStarts) {
  mat = -1.0, sub = 1.0, aa = 1.0;
  // Two best subalignments: CCCC ends at (4, 8), GGGG at (8, 4). The last in
  // sweep order is the shown one; the other is marked all the same.
  set_seqs("CCCCGGGG", "GGGGCCCC");
  ASSERT_EQ(run_mode(8), OpResult::computed);
  EXPECT_EQ(wert, -4.0f);
  EXPECT_EQ(l_i, 4);
  EXPECT_EQ(l_j, 8);
  for (int k = 1; k <= 4; ++k) {
    EXPECT_EQ(hilfs_gr(uint32_t(k), uint32_t(4 + k)), 1);
    EXPECT_EQ(hilfs_gr(uint32_t(4 + k), uint32_t(k)), 1);
  }
  EXPECT_EQ(count_con_paths().to_string(), "2");
  // A left mark on the other one (off the shown path) starts the new
  // alignment there: the path before it is searched back to a start, and
  // nothing of the shown path is kept.
  markl_x = 5, markl_y = 1, markb_x = 6, markb_y = 2, markr_x = 8, markr_y = 4, computing = 5;
  ASSERT_EQ(run_new_alignment(), NewAlignmentResult::done);
  EXPECT_STREQ((al_seq1 + " " + al_seq2).c_str(), "CCCCGGGG ----GGGG");
  ASSERT_EQ(run_mode(8), OpResult::computed);

  // A search reaching the start of a subalignment succeeds only when its
  // target lies on the border; an inner target it did not pass is missed.
  set_seqs("CCCAAAAAGGG", "CCCTGGG");
  ASSERT_EQ(run_mode(8), OpResult::computed);
  ASSERT_EQ(l_i, 11);
  ASSERT_EQ(edge_m(8, 4, 0), 32766);
  for (int target = 0; target < 2; ++target) {
    hilfs_neu.change_length(uint32_t((n + m + 3) * 2));
    hilfs_rek.change_dim(uint32_t(n), uint32_t(m));
    hilfs_rek = 0;
    gl_zae = -1, found_flag = 0, wo_x = wo_y = target, computing = 5;
    comp_con_new_align(11, 7);
    computing = 0;
    EXPECT_EQ(found_flag, target == 0 ? 1 : 0);
    if (target == 0) {  // start cell first, then the cells up to the search's start
      EXPECT_EQ(gl_zae, 7);
      EXPECT_EQ(hilfs_neu[0] * 1000 + hilfs_neu[1] * 100 + hilfs_neu[6] * 10 + hilfs_neu[7], 8000 + 400 + 117);
    }
  }

  // Short in long: a new path to another optimal end ends there.
  mat = 0.0, sub = 2.0, aa = 0.5;
  set_seqs("ACGAC", "AC");
  ASSERT_EQ(run_mode(7), OpResult::computed);
  ASSERT_EQ(merk_l1, 5);
  markl_x = markl_y = 0, markb_x = markb_y = 1, markr_x = markr_y = 2, computing = 5;
  ASSERT_EQ(run_new_alignment(), NewAlignmentResult::done);
  EXPECT_STREQ((al_seq1 + " " + al_seq2).c_str(), "ACGAC AC---");
  EXPECT_EQ(merk_l1, 2);

  // The memory figure needs more than 32 bits at the largest lengths.
  EXPECT_EQ(concave_bytes(32764, 32764), 32765ull * 32765ull * 8ull + 32764ull * 32764ull * 4ull);
  EXPECT_GT(concave_bytes(32764, 32764), 0xFFFFFFFFull);
}
