// The distance computation on several threads against one thread, the
// records of nodes with many optimal predecessors against the table they
// come from, and how a computation stops: interrupt, floating-point fault,
// closed main window, records that outgrow their budget.
#include <csignal>
#include <random>

#include "general_fixture.h"

namespace {

std::string random_word(std::mt19937& rng, int len, int letters) {
  std::string s;
  for (int i = 0; i < len; ++i) s += "ACGT"[rng() % unsigned(letters)];
  return s;
}

// Cost settings with many ties (linear costs, where every gap length can
// tie), few, and an own formula.
void apply_cost(int c) {
  cost_reset();
  switch (c % 5) {
    case 0: aa = 0.0; bb = 1.0; break;                       // k: ties everywhere
    case 1: break;                                           // 0.5 + k
    case 2: func = 1; aa = 2.0; bb = 1.0; break;             // 2 + log10(k)
    case 3: func = 3; aa = 1.0; bb = 1.5; sub = 3.0; break;  // 1 + 1.5 sqrt(k)
    default: func = 0; own_func = String("1+k/2"); compress_function(); break;
  }
}

// The graph the last computation left, beyond the table: the marked nodes'
// edge count, the number of optimal paths and the shown alignment.
std::string graph_text() {
  return std::to_string(gl_opt_edges) + " " + count_general_paths().to_string() + " " + al_seq1.c_str() + "/" +
         al_seq2.c_str();
}

}  // namespace

// Every thread count gives the one-thread table, records, figures and graph,
// on random pairs (also shorter than the thread count) with ties, with and
// without a maximal gap length, under the scan kernel and the reference form.
TEST_F(GeneralTest, ThreadsGiveTheResultsOfOneThread) {
  std::mt19937 rng(11);
  for (int round = 0; round < 40; ++round) {
    const int a = 1 + int(rng() % (round < 8 ? 4 : 90)), b = 1 + int(rng() % (round < 8 ? 4 : 90));
    const int letters = round % 3 == 0 ? 2 : 4;
    const std::string s1 = random_word(rng, a, letters), s2 = random_word(rng, b, letters);
    apply_cost(round);
    gl_kl = round % 4 == 3 ? 1 + int(rng() % 6) : round % 7 == 5 ? 200 : 0;
    scan_kernel = round % 5 == 4 ? ScanKernel::reference : ScanKernel::automatic;
    SCOPED_TRACE(s1 + " / " + s2 + " round " + std::to_string(round));
    general_threads = 1;
    compute_keep(s1, s2);
    const std::string one = table_text(), one_graph = graph_text();
    for (int t : {2, 3, 5}) {
      general_threads = t;
      compute_keep(s1, s2);
      ASSERT_EQ(table_text(), one) << t << " threads";
      ASSERT_EQ(graph_text(), one_graph) << t << " threads";
    }
  }
}

// Each record names exactly the predecessors whose candidate equals the
// node's value, one by one and in maximal runs: checked against the final
// table, on pairs where nodes have
// from one to hundreds of optimal predecessors per direction (kept as lists
// and as bit maps, some rows spanning several blocks).
TEST_F(GeneralTest, RecordsNameExactlyTheOptimalPredecessors) {
  std::mt19937 rng(5);
  for (int round = 0; round < 6; ++round) {
    apply_cost(round % 2 == 0 ? 0 : round == 1 ? 1 : 4);
    const int len = round < 4 ? 60 + int(rng() % 60) : 420;
    const std::string s1 = random_word(rng, len, round % 3 == 2 ? 1 : 2);
    const std::string s2 = round >= 4 ? std::string(size_t(len), 'T') : random_word(rng, len - 7, 2);
    general_threads = 1 + round % 3;
    compute_keep(s1, s2);
    SCOPED_TRACE("round " + std::to_string(round));
    std::vector<float> g(size_t(std::max(n, m)) + 1);
    for (int k = 1; k <= std::max(n, m); ++k) g[size_t(k)] = float(gap_cost(k));
    uint64_t many = 0;
    for (int y = 1; y <= m; ++y)
      for (int x = 1; x <= n; ++x) {
        const float v = dist(uint32_t(x), uint32_t(y));
        const PredRecord r = pred_record(x, y);
        std::vector<int> want_v, want_h, got_v, got_h;
        for (int k = 0; k < y; ++k)
          if (dist(uint32_t(x), uint32_t(k)) + g[size_t(y - k)] == v) want_v.push_back(k);
        for (int k = 0; k < x; ++k)
          if (dist(uint32_t(k), uint32_t(y)) + g[size_t(x - k)] == v) want_h.push_back(k);
        for (int k = r.first_vertical(); k >= 0; k = r.next_vertical(k)) got_v.push_back(k);
        for (int k = r.first_horizontal(); k >= 0; k = r.next_horizontal(k)) got_h.push_back(k);
        const float d = dist(uint32_t(x - 1), uint32_t(y - 1)) + pair_score(seq1.Str[x - 1], seq2.Str[y - 1]);
        ASSERT_EQ(got_v, want_v) << x << "," << y;
        ASSERT_EQ(got_h, want_h) << x << "," << y;
        ASSERT_EQ(r.diagonal(), d == v) << x << "," << y;
        // next_* from any coordinate, not only from the last one returned
        if (!want_v.empty()) {
          ASSERT_EQ(r.next_vertical(want_v[0] - 1), want_v[0]);
        }
        if (want_h.size() > 2) {
          ASSERT_EQ(r.next_horizontal(want_h[1] - 1), want_h[1]);
        }
        // The runs cover the same predecessors, each run maximal.
        auto from_runs = [](auto next_run) {
          std::vector<int> ks;
          int last = 0;
          for (int k = next_run(-1, &last); k >= 0; k = next_run(last, &last)) {
            EXPECT_TRUE(ks.empty() || ks.back() + 1 < k) << "runs not maximal at " << k;
            for (int j = k; j <= last; ++j) ks.push_back(j);
          }
          return ks;
        };
        ASSERT_EQ(from_runs([&](int a, int* l) { return r.next_vertical_run(a, l); }), want_v) << x << "," << y;
        ASSERT_EQ(from_runs([&](int a, int* l) { return r.next_horizontal_run(a, l); }), want_h) << x << "," << y;
        many += want_v.size() > 1 || want_h.size() > 1;
      }
    EXPECT_GT(many, 0u);
  }
  EXPECT_GT(dist_gr.chunk_bytes(), 2u << 20);  // the last pair's records took several blocks
}

// An interrupt, a floating-point fault and a closed main window are seen by
// the calling thread at its 20-cell polls; every other thread stops at its
// next cell, so no row runs on beyond the cells the calling thread allows.
TEST_F(GeneralTest, EveryThreadStopsWithTheCallingThread) {
  std::mt19937 rng(3);
  // 200 rows: the first row's progress report already moves the bar.
  const std::string s1 = random_word(rng, 300, 4), s2 = random_word(rng, 200, 4);
  auto computed_cells = [] {
    int c = 0;
    for (int y = 1; y <= m; ++y)
      for (int x = 1; x <= n; ++x) c += pred_record(x, y).exists();
    return c;
  };
  for (int t : {2, 3}) {
    general_threads = t;
    // The interrupt comes with the first row's progress report.
    WindowHooks h;
    h.summary_fill = [](int, int, int, int) { computing = 0; };
    set_window_hooks(h);
    compute_keep(s1, s2);
    EXPECT_GT(computed_cells(), 0);
    EXPECT_LE(computed_cells(), 20 * t) << t << " threads";
    // The same for a floating-point fault, through the operation.
    h.summary_fill = [](int, int, int, int) { fp_err_hand(SIGFPE); };
    set_window_hooks(h);
    EXPECT_EQ(run(s1, s2), OpResult::fp_error);
    EXPECT_LE(computed_cells(), 20 * t) << t << " threads";
    set_window_hooks(WindowHooks());
    fp_err_clear();
    fp_err_handler();
    // A closed main window ends the program; no thread outlives it.
    static int calls;
    calls = 0;
    set_main_window_test([] { return ++calls < 3; });
    EXPECT_THROW(run(s1, s2), ProgramEnd);
    set_main_window_test(nullptr);
    EXPECT_EQ(run("ACGT", "AGT"), OpResult::computed);
    EXPECT_EQ(wert, 1.5f);
  }
}

// Records that outgrow the budget stop the computation on every thread and
// report what the whole graph would need, more than the budget.
TEST_F(GeneralTest, RecordsBeyondTheBudgetStopTheComputation) {
  aa = 0.0;
  bb = 1.0;  // all mismatches under g(k) = k: every predecessor of every node is optimal
  for (int t : {1, 2}) {
    general_threads = t;
    set_seqs(std::string(400, 'A'), std::string(400, 'C'));
    dist.change_dim(uint32_t(n) + 1, uint32_t(m) + 1);
    dist_gr.set_budget(1u << 20);
    computing = 1;
    min_distance();
    EXPECT_GT(general_outgrown_need(), uint64_t(1u << 20)) << t << " threads";
    EXPECT_FALSE(pred_record(n, m).exists());
    EXPECT_LE(dist_gr.chunk_bytes(), 1u << 20);
    dist_gr.set_budget(UINT64_MAX);
    min_distance();
    EXPECT_EQ(general_outgrown_need(), 0u);
    EXPECT_EQ(dist(uint32_t(n), uint32_t(m)), 800.0f);
  }
}
