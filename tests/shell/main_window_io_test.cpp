// The Get/Put buttons of the main window's left column, reading from the
// selection (ours or another program's) and writing at the insertion point.
#include "tests/shell/shell_fixture.h"

#include "cost/cost.h"
#include "cost/own.h"
#include "views/summary.h"

namespace shell_test {
namespace {

using Lines = std::vector<std::string>;

TEST_F(ShellTest, ReadingSequences) {
  NoticeRecorder rec;
  read_sequences("ac gt\nAC", "A-C>G");
  EXPECT_STREQ(seq1.c_str(), "ACGTAC");
  EXPECT_EQ(n, 6);
  EXPECT_STREQ(seq2.c_str(), "A-C>G");  // read back from aligned text: accepted
  EXPECT_EQ(m, 5);
  EXPECT_TRUE(rec.seen.empty());

  // A tab, a digit, or '{' (which becomes '[') is refused: the sequence is gone.
  for (const char* bad : {"AC\tGT", "AC1GT", "AC{"}) {
    select_text("GG");
    get_seq1();
    select_text(bad);
    get_seq1();
    EXPECT_EQ(n, 0) << bad;
    EXPECT_STREQ(seq1.c_str(), "");
    ASSERT_FALSE(rec.seen.empty());
    EXPECT_EQ(rec.seen.back().lines, Lines{"Sequence contains illegal chars !"});
    EXPECT_EQ(rec.seen.back().buttons[0].label, " Check it ");
    EXPECT_EQ(summary_sequence_line(1), "Sequence1: (empty) ");
  }

  // While computing, nothing changes.
  select_text("TTT");
  computing = 6;
  get_seq2();
  computing = 0;
  EXPECT_STREQ(seq2.c_str(), "A-C>G");
  EXPECT_EQ(rec.last_line(), "Not possible while computing !");

  // A read empties the cache copies.
  ms1 = String("X");
  ms2 = String("Y");
  get_seq1();
  EXPECT_STREQ(ms1.c_str(), "");
  EXPECT_STREQ(ms2.c_str(), "");
}

TEST_F(ShellTest, SelectionOfAnotherProgram) {
  if (std::system("command -v xclip >/dev/null 2>&1") != 0) GTEST_SKIP() << "xclip missing";
  // xclip holds PRIMARY (taking it from us) and serves one request.
  own_primary_selection("zz");
  settle(0.05);
  static Window ours;
  ours = XGetSelectionOwner(fl_display, XA_PRIMARY);
  const std::string cmd = "printf 'gat\\ntaca' | DISPLAY=" +
                          std::string(std::getenv("VARDANE_TEST_DISPLAY")) +
                          " xclip -selection primary -loops 1 -quiet >/dev/null 2>&1 &";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  ASSERT_TRUE(wait_until(
      [] {
        Window w = XGetSelectionOwner(fl_display, XA_PRIMARY);
        return w != None && w != ours;
      },
      5));
  get_seq1();
  EXPECT_STREQ(seq1.c_str(), "GATTACA");
  EXPECT_EQ(n, 7);
}

TEST_F(ShellTest, PuttingSequencesAndTables) {
  NoticeRecorder rec;
  read_sequences("gattaca", "cat");
  textsw->set_text("<>");
  textsw->set_insertion_point(1);
  put_seq1();
  put_seq2();
  EXPECT_EQ(textsw->text(), "<GATTACACAT>");
  EXPECT_EQ(textsw->insertion_point(), 11);
  // Putting works while computing, too.
  computing = 1;
  put_seq2();
  computing = 0;
  EXPECT_EQ(textsw->text(), "<GATTACACATCAT>");

  textsw->set_text("");
  put_substitution();  // no table read yet: nothing
  ASSERT_TRUE(cost_button->choose("Put sequence alphabet into text"));
  EXPECT_EQ(textsw->text(), "\n A C G T\n");
  textsw->set_text("");
  ASSERT_TRUE(cost_button->choose("Put actual cost into text"));
  EXPECT_EQ(textsw->text(), "\ncost=a+b*k, a=0.5, b=1\nsubst.= 2, match= 0\n");
  const int once = textsw->length();
  put_cost();
  EXPECT_EQ(textsw->length(), 2 * once);

  select_text("A, C, G, T:\n\n0 2 1 2\n0 2 1\n0 2\n0");
  get_substitution();
  EXPECT_TRUE(rec.seen.empty());
  EXPECT_EQ(sub, TABLE_MARKER);
  // The summary's preview: the first two lines when the second is shorter;
  // drawing it normalised the table text for good (doubled line feeds single).
  EXPECT_EQ(summary_cost_line(),
            "Costfunction is a+b*k   (a=0.5, b=1, subst.= match= table [A, C, G, T: 0 2 1 2 ...])");
  textsw->set_text("");
  put_substitution();
  EXPECT_EQ(textsw->text(), "A, C, G, T:\n0 2 1 2\n0 2 1\n0 2\n0");
}

TEST_F(ShellTest, CostAndTableNotices) {
  NoticeRecorder rec;
  struct Case {
    const char* text;
    Lines lines;
    const char* button;
  };
  const Case cases[] = {
      {"cost=A+B*K", {"There's a syntax error !"}, " Try again "},
      {"a=x, b=y", {"There are 2 mistakes !"}, " Try again "},
      {"a=x", {"There is one mistake !"}, " Try again "},
      {"cost = a+b*k", {"There was nothing (correct) to get ?!"}, " Sorry "},
      {"A B A:\n0", {"Error in subst.-table: headline !"}, " Check it "},
      {"A B:\n0 1", {"Error in subst.-table: data line(s) !"}, " Check it "},
      {"A:\n0 1", {"Error in subst.-table: too long !"}, " Check it "},
  };
  for (const Case& c : cases) {
    select_text(c.text);
    if (c.lines[0].rfind("Error in subst", 0) == 0) get_substitution();
    else get_cost();
    ASSERT_FALSE(rec.seen.empty()) << c.text;
    EXPECT_EQ(rec.seen.back().lines, c.lines) << c.text;
    EXPECT_EQ(rec.seen.back().buttons[0].label, c.button) << c.text;
    rec.seen.clear();
  }
  // A good description changes the model and the strip, without a notice.
  select_text("cost=a+b*log(c+d*k); c=2, d=0.5");
  get_cost();
  EXPECT_TRUE(rec.seen.empty());
  EXPECT_EQ(func, 5);
  EXPECT_EQ(summary_cost_line(),
            "Costfunction is a+b*log(c+d*k)   (a=0.5, b=1, c=2, d=0.5, subst.=2, match=0)");
  select_text("cost=2+sqrt( k ), subst.=3");
  get_cost();
  EXPECT_EQ(summary_cost_line(), "Costfunction is 2+sqrt(k)   (subst.=3, match=0)");
  computing = 8;
  get_cost();
  get_substitution();
  computing = 0;
  ASSERT_EQ(rec.seen.size(), 2u);
  EXPECT_EQ(rec.seen[0].lines, Lines{"Not possible while computing !"});
  EXPECT_EQ(rec.seen[1].lines, Lines{"Not possible while computing !"});
}

TEST_F(ShellTest, TextWindowLimitHoldsForTheButtons) {
  NoticeRecorder rec;
  read_sequences("ACGT", "AC");
  textsw->set_text(std::string(TEXT_LIMIT - 3, 'x'));
  textsw->set_insertion_point(0);
  put_seq1();  // 4 more: refused, the text stays
  EXPECT_EQ(textsw->length(), TEXT_LIMIT - 3);
  ASSERT_FALSE(rec.seen.empty());
  EXPECT_EQ(rec.seen.back().id, NoticeId::text_full);
  EXPECT_EQ(rec.seen.back().lines[0], "The text window holds at most 100000 characters:");
  put_seq2();
  EXPECT_EQ(textsw->length(), TEXT_LIMIT - 1);
}

}  // namespace
}  // namespace shell_test
