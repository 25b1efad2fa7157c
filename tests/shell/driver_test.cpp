// The main loop's operations through the menus: results shown, the cache,
// the exchange of the sequences in the concave modes, refusals, the
// floating-point fault, the memory guard and the interrupt.
#include "tests/shell/shell_fixture.h"

#include <sys/resource.h>

#include <random>

#include "cost/cost.h"
#include "engine/common/results.h"
#include "ui/progress.h"
#include "views/summary.h"

namespace shell_test {
namespace {

using Lines = std::vector<std::string>;

std::string random_dna(int len, unsigned seed) {
  std::mt19937 g(seed);
  std::string s;
  for (int i = 0; i < len; ++i) s += "ACGT"[g() % 4];
  return s;
}

TEST_F(ShellTest, ResultsAndCache) {
  NoticeRecorder rec;
  distance_phases = 0;
  set_progress_observer(count_phases);
  read_sequences("ACGT", "ACTT");
  choose_operation("Global optimal alignment");
  EXPECT_TRUE(rec.seen.empty());
  EXPECT_EQ(distance_phases, 1);
  EXPECT_STREQ(al_seq1.c_str(), "ACGT");
  EXPECT_STREQ(al_seq2.c_str(), "ACTT");
  EXPECT_EQ(computing, 0);
  EXPECT_NE(comp, 0);
  EXPECT_FALSE(inter_rupt->visible());
  EXPECT_TRUE(out_frame->shown());
  EXPECT_TRUE(choose_frame->shown());
  EXPECT_TRUE(extra_frame->shown());
  screenshot(frame, "main_window_after_global");
  screenshot(choose_frame, "graph_window");
  screenshot(out_frame, "output_window");
  screenshot(extra_frame, "alignment_information_window");

  // The same request again only shows the windows again.
  out_frame->hide();
  choose_frame->hide();
  choose_operation("Global optimal alignment");
  EXPECT_EQ(distance_phases, 1);
  EXPECT_TRUE(out_frame->shown());
  EXPECT_TRUE(choose_frame->shown());
  // Another mode on the same sequences computes; so does a new Get.
  choose_operation("Concave: global optimal alignment");
  EXPECT_EQ(distance_phases, 2);
  choose_operation("Concave: global optimal alignment");
  EXPECT_EQ(distance_phases, 2);
  select_text("ACTT");
  get_seq2();
  choose_operation("Concave: global optimal alignment");
  EXPECT_EQ(distance_phases, 3);
  EXPECT_TRUE(rec.seen.empty());
}

TEST_F(ShellTest, ConcaveModesExchangeTheSequences) {
  NoticeRecorder rec;
  read_sequences("AB", "ABCD");
  choose_operation("Concave: optimal subalignment");
  EXPECT_STREQ(seq1.c_str(), "ABCD");
  EXPECT_STREQ(seq2.c_str(), "AB");
  EXPECT_EQ(n, 4);
  EXPECT_EQ(summary_sequence_line(1), "Sequence1: (4) ABCD");
  EXPECT_EQ(summary_sequence_line(2), "Sequence2: (2) AB");
  read_sequences("AC", "TTACTT");
  choose_operation("Concave: short in long sequence");
  EXPECT_STREQ(seq1.c_str(), "TTACTT");
  EXPECT_TRUE(out_frame->shown());
  EXPECT_STREQ(al_seq1.c_str(), "TTACTT");
  EXPECT_STREQ(al_seq2.c_str(), "--AC--");
}

TEST_F(ShellTest, RefusalsAndFaults) {
  NoticeRecorder rec;
  read_sequences("A-C", "ACG");
  choose_operation("Global optimal alignment");
  ASSERT_EQ(rec.seen.size(), 1u);
  EXPECT_EQ(rec.seen[0].lines, Lines{"Sequence contains char '-' or '>' !"});
  EXPECT_EQ(rec.seen[0].buttons[0].label, " Delete it ");
  EXPECT_FALSE(out_frame->shown());
  EXPECT_EQ(computing, 0);
  EXPECT_FALSE(inter_rupt->visible());

  // A gap cost that cannot be evaluated: the notice, and no result window.
  rec.seen.clear();
  read_sequences("ACGT", "AGT");
  select_text("cost=log(k-1)");
  get_cost();
  EXPECT_TRUE(rec.seen.empty());
  choose_operation("Global optimal alignment");
  ASSERT_EQ(rec.seen.size(), 1u);
  EXPECT_EQ(rec.seen[0].lines, Lines{"Mathematical error during computation !"});
  EXPECT_EQ(rec.seen[0].buttons[0].label, "Check costfunction");
  EXPECT_FALSE(out_frame->shown());
  EXPECT_FALSE(choose_frame->shown());
  EXPECT_EQ(comp, 0);

  // An incomplete substitution table is reported after the results.
  rec.seen.clear();
  select_text("A:\n0");
  get_substitution();
  select_text("cost=a+b*k");
  get_cost();
  read_sequences("AC", "AC");
  choose_operation("Global optimal alignment");
  ASSERT_EQ(rec.seen.size(), 1u);
  EXPECT_EQ(rec.seen[0].lines, Lines{"Your subst.-table was incomplete !"});
  EXPECT_TRUE(out_frame->shown());
}

TEST_F(ShellTest, MemoryGuardKeepsResultsAndText) {
  NoticeRecorder rec;
  read_sequences("ACGT", "ACTT");
  choose_operation("Global optimal alignment");
  textsw->set_text("my unsaved work");
  // A problem that cannot fit under an address-space limit just above what
  // the process uses now.
  const std::string big(16000, 'A');
  read_sequences(big, big);
  rlimit old;
  ASSERT_EQ(getrlimit(RLIMIT_AS, &old), 0);
  std::ifstream status("/proc/self/status");
  std::string line;
  unsigned long long vm_kb = 0;
  while (std::getline(status, line))
    if (line.rfind("VmSize:", 0) == 0) vm_kb = std::stoull(line.substr(7));
  rlimit tight = old;
  tight.rlim_cur = (vm_kb << 10) + (64ull << 20);
  ASSERT_EQ(setrlimit(RLIMIT_AS, &tight), 0);
  choose_operation("Global optimal alignment");
  setrlimit(RLIMIT_AS, &old);
  ASSERT_EQ(rec.seen.size(), 1u);
  EXPECT_EQ(rec.seen[0].id, NoticeId::no_memory);
  EXPECT_EQ(rec.seen[0].lines[0], "The problem does not fit in memory:");
  EXPECT_EQ(textsw->text(), "my unsaved work");
  EXPECT_STREQ(al_seq1.c_str(), "ACGT");  // the shown results stay
  EXPECT_FALSE(inter_rupt->visible());
}

// Presses the interrupt button from inside the computation's dispatch.
bool button_seen = false;
void press_interrupt(void*) {
  button_seen = inter_rupt->visible();
  inter_rupt->press();
}

TEST_F(ShellTest, InterruptStopsAndInvalidates) {
  NoticeRecorder rec;
  rec.answer = 1;  // "Yes"
  const std::string a = random_dna(2000, 1), b = random_dna(2000, 2);
  read_sequences(a, b);
  button_seen = false;
  Fl::add_timeout(0.05, press_interrupt);
  choose_operation("Global optimal alignment");
  Fl::remove_timeout(press_interrupt);
  EXPECT_TRUE(button_seen);
  ASSERT_EQ(rec.seen.size(), 1u);
  EXPECT_EQ(rec.seen[0].lines,
            (Lines{"Do you really want to", "interrupt this computation (loses data) ?"}));
  EXPECT_EQ(computing, 0);
  EXPECT_EQ(comp, 0);
  EXPECT_STREQ(ms1.c_str(), "");
  EXPECT_FALSE(inter_rupt->visible());
  EXPECT_FALSE(out_frame->shown());
  // The next request computes again.
  distance_phases = 0;
  set_progress_observer(count_phases);
  read_sequences("ACGT", "AGT");
  choose_operation("Global optimal alignment");
  EXPECT_EQ(distance_phases, 1);
  EXPECT_TRUE(out_frame->shown());
}

}  // namespace
}  // namespace shell_test
