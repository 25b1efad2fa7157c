// The two cost windows, "Insert/Delete costfunction" and "Own
// insert/delete costfunction": their place in " Costfunctions ", fields,
// status lines, pending values, "Ok" and "Cancel", every notice by its real
// trigger, and how they follow each other and the cost model read from the
// text.
#include "tests/shell/shell_fixture.h"

#include "tests/shell/frame_items.h"

#include "cost/cost.h"
#include "cost/own.h"
#include "views/summary.h"

namespace shell_test {
namespace {

using Lines = std::vector<std::string>;

std::vector<TextField*> cost_fields() {
  return {panel_a, panel_b, panel_c, panel_d, panel_s1, panel_ma1};
}

void read_cost(const std::string& t) {
  select_text(t);
  get_cost();
}

TEST_F(ShellTest, CostWindowsLayoutAndMenu) {
  EXPECT_EQ(cost_button->item_labels(),
            (Lines{"Put actual cost into text", "Put sequence alphabet into text",
                   "Insert own costfunctions", "Edit predefined costfunctions", "Active function",
                   "a+b*log(k)", "a+b*ln(k)", "a+b*sqrt(k)", "a+b*k", "a+b*log(c+d*k)",
                   "a+b*ln(c+d*k)", "a+b*sqrt(c+d*k)", "a+b*(c+d*k)"}));
  EXPECT_STREQ(cost_frame->title(), "Insert/Delete costfunction");
  EXPECT_EQ(cost_frame->kind(), Frame::command);
  EXPECT_EQ(cost_frame->width() * 1000 + cost_frame->height(), 400246);
  EXPECT_STREQ(own_frame->title(), "Own insert/delete costfunction");
  EXPECT_EQ(own_frame->width() * 1000 + own_frame->height(), 400166);

  // The fields in order, their inputs in one column inside the window.
  const char* labels[] = {"     Parameter a is ",  "     Parameter b is ", "     Parameter c is ",
                          "     Parameter d is ",  "     Substitutions: ",
                          "     Match             : "};
  int y = 54;  // below the status line
  for (int i = 0; i < 6; ++i) {
    Fl_Input* in = cost_fields()[i]->fl();
    EXPECT_STREQ(in->label(), labels[i]);
    EXPECT_EQ(in->x(), panel_a->fl()->x());
    EXPECT_GE(in->y(), y);
    y = in->y() + in->h();
    EXPECT_LE(in->x() + in->w(), 400);
    EXPECT_EQ(in->maximum_size(), 20);
  }
  EXPECT_LE(y, 215);
  Fl_Widget* ok = frame_button(cost_frame, "Ok");
  Fl_Widget* cancel = frame_button(cost_frame, "Cancel");
  ASSERT_TRUE(ok && cancel);
  EXPECT_EQ(ok->x() * 1000 + ok->y(), 110215);
  EXPECT_EQ(cancel->x() * 1000 + cancel->y(), 240215);
  EXPECT_LE(ok->y() + ok->h(), 246);

  EXPECT_STREQ(panel_o->fl()->label(), "  Costfunction (k)= ");
  EXPECT_STREQ(panel_s2->fl()->label(), "  Substitutions:      ");
  EXPECT_STREQ(panel_ma2->fl()->label(), "  Match             :      ");
  EXPECT_EQ(panel_o->fl()->maximum_size(), 80);  // shows 30, holds 80
  EXPECT_GT(panel_o->fl()->w(), panel_s2->fl()->w());
  EXPECT_EQ(panel_o->fl()->x(), panel_ma2->fl()->x());
  EXPECT_LE(panel_o->fl()->x() + panel_o->fl()->w(), 400);
  EXPECT_LE(panel_ma2->fl()->y() + panel_ma2->fl()->h(), 135);
  ok = frame_button(own_frame, "Ok");
  cancel = frame_button(own_frame, "Cancel");
  ASSERT_TRUE(ok && cancel);
  EXPECT_EQ(ok->x() * 1000 + ok->y(), 110135);
  EXPECT_EQ(cancel->x() * 1000 + cancel->y(), 240135);
}

TEST_F(ShellTest, PredefinedFunctionWindow) {
  NoticeRecorder rec;
  ms1 = "ACGT", ms2 = "AGT";
  ASSERT_TRUE(cost_button->choose("a+b*sqrt(c+d*k)"));
  EXPECT_TRUE(cost_frame->shown());
  EXPECT_EQ(func * 10 + func_c, 47);  // chosen, not yet active
  EXPECT_EQ(cost_status_line(), "Costfunction is a+b*sqrt(c+d*k)");
  const Lines shown = {"0.5", "1", "1", "1", "2", "0"};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(cost_fields()[i]->text(), shown[i]) << i;
  // The status line is drawn at (95, 17).
  repaint_when_viewable(mess_canv);
  EXPECT_EQ(ink(mess_canv, 0, 90, 0, 24), 0);
  EXPECT_GT(ink(mess_canv, 95, 300, 5, 20), 50);
  enter(panel_a->fl(), "3");
  EXPECT_EQ(aa * 10 + am, 5 + 3);  // pending only
  screenshot(cost_frame, "cost_window");

  // "Ok" commits: function 7 with a = 3; the cached results are void.
  press(cost_frame, "Ok");
  EXPECT_EQ(func, 7);
  EXPECT_EQ(aa, 3);
  EXPECT_EQ(ms1.length() + ms2.length(), 0);
  EXPECT_EQ(summary_cost_line(),
            "Costfunction is a+b*sqrt(c+d*k)   (a=3, b=1, c=1, d=1, subst.=2, match=0)");
  // "Ok" without a change keeps them, so that nothing is recomputed.
  ms1 = "ACGT", ms2 = "AGT";
  press(cost_frame, "Ok");
  EXPECT_STREQ(ms1.c_str(), "ACGT");
  EXPECT_TRUE(rec.seen.empty());

  // What the reader refuses, a field refuses: "No correct input !", and the
  // pending value stays.
  struct Bad {
    TextField* field;
    const char* text;
  };
  const Bad bad[] = {{panel_b, "1,5"},  {panel_c, "2 "},      {panel_d, "x"},
                     {panel_a, "1e999"}, {panel_s1, "-4999"}, {panel_s1, "1e39"},
                     {panel_ma1, "1e-46"}, {panel_ma1, ""}};
  for (const Bad& b : bad) {
    const size_t before = rec.seen.size();
    enter(b.field->fl(), b.text);
    ASSERT_EQ(rec.seen.size(), before + 1) << b.text;
    EXPECT_EQ(rec.seen.back().lines, Lines{"No correct input !"});
    EXPECT_EQ(rec.seen.back().buttons[0].label, " Try again ");
  }
  EXPECT_EQ(am * 1000 + bm * 100 + cm * 10 + dm, 3111);
  EXPECT_EQ(subm * 10 + matm, 20);
  enter(panel_a->fl(), "-4999");  // a parameter may be -4999
  enter(panel_ma1->fl(), " -0.5");
  EXPECT_EQ(am, -4999);
  EXPECT_EQ(matm, -0.5);
  EXPECT_EQ(rec.seen.size(), std::size(bad));

  // "Ok" while an operation runs commits nothing.
  computing = 1;
  press(cost_frame, "Ok");
  computing = 0;
  EXPECT_EQ(rec.last_line(), "Not possible while computing !");
  EXPECT_EQ(rec.seen.back().buttons[0].label, " Sorry ");
  EXPECT_EQ(aa * 10 + mat, 30);
}

TEST_F(ShellTest, PendingValuesOutliveCancel) {
  NoticeRecorder rec;
  ASSERT_TRUE(cost_button->choose("a+b*log(k)"));
  enter(panel_b->fl(), "9");
  enter(panel_s1->fl(), "4");
  press(cost_frame, "Cancel");
  EXPECT_FALSE(cost_frame->shown());
  EXPECT_EQ(func * 10 + bb * 100 + sub, 40 + 100 + 2);  // nothing committed

  // Opened again, the window shows the active values, but the pending ones
  // are still there: the next "Ok" commits them.
  ASSERT_TRUE(cost_button->choose("Active function"));
  EXPECT_EQ(func_c, 4);
  EXPECT_EQ(cost_status_line(), "Costfunction is a+b*k");
  EXPECT_EQ(panel_b->text(), "1");
  EXPECT_EQ(panel_s1->text(), "2");
  press(cost_frame, "Ok");
  EXPECT_EQ(func * 10 + bb * 100 + sub, 40 + 900 + 4);

  // The own window's "Cancel" keeps its pending formula likewise.
  ASSERT_TRUE(cost_button->choose("Insert own costfunctions"));
  enter(panel_o->fl(), "1+k");
  press(own_frame, "Cancel");
  EXPECT_FALSE(own_frame->shown());
  EXPECT_EQ(func, 4);
  ASSERT_TRUE(cost_button->choose("Insert own costfunctions"));
  EXPECT_EQ(panel_o->text(), "");
  press(own_frame, "Ok");
  EXPECT_EQ(func, 0);
  EXPECT_STREQ(own_func.c_str(), "1+k");
  EXPECT_TRUE(rec.seen.empty());
}

TEST_F(ShellTest, OwnFunctionWindow) {
  NoticeRecorder rec;
  ASSERT_TRUE(cost_button->choose("Insert own costfunctions"));
  EXPECT_TRUE(own_frame->shown());
  EXPECT_EQ(own_status_line(), "Your costfunction is (empty)");
  EXPECT_EQ(panel_o->text(), "");
  EXPECT_EQ(panel_s2->text() + panel_ma2->text(), "20");

  // A formula the check refuses: "There's a syntax error !", and "Ok" then
  // does nothing at all.
  ms1 = "ACGT", ms2 = "AGT";
  for (const char* bad : {"2 + k", "2k", "k&2", "sqrtk", "A+B*K", "(1", ""}) {
    const size_t before = rec.seen.size();
    enter(panel_o->fl(), bad);
    ASSERT_EQ(rec.seen.size(), before + 1) << bad;
    EXPECT_EQ(rec.seen.back().lines, Lines{"There's a syntax error !"});
    EXPECT_EQ(rec.seen.back().buttons[0].label, " Try again ");
    EXPECT_EQ(own_funcm.length(), 0);
    press(own_frame, "Ok");
    EXPECT_EQ(func, 4);
    EXPECT_STREQ(ms1.c_str(), "ACGT");
  }

  // An accepted one becomes active with "Ok".
  const size_t notices = rec.seen.size();
  enter(panel_o->fl(), "2+k");
  EXPECT_EQ(func, 4);
  press(own_frame, "Ok");
  EXPECT_EQ(rec.seen.size(), notices);
  EXPECT_EQ(func, 0);
  EXPECT_STREQ(own_func.c_str(), "2+k");
  EXPECT_EQ(ms1.length() + ms2.length(), 0);
  EXPECT_EQ(gap_cost(3), 5);
  EXPECT_EQ(own_status_line(), "Your costfunction is 2+k");
  EXPECT_EQ(summary_cost_line(), "Costfunction is 2+k   (subst.=2, match=0)");
  repaint_when_viewable(mess1_canv);
  EXPECT_GT(ink(mess1_canv, 10, 250, 5, 20), 50);
  ms1 = "ACGT", ms2 = "AGT";
  press(own_frame, "Ok");  // unchanged: the results stay valid
  EXPECT_STREQ(ms1.c_str(), "ACGT");

  // The status line shows the first 30 characters of a longer formula; the
  // field holds 80.
  const std::string f35 = "1+k+k+k+k+k+k+k+k+k+k+k+k+k+k+k+k+k";  // 35 characters
  ASSERT_EQ(f35.size(), 35u);
  enter(panel_o->fl(), f35);
  press(own_frame, "Ok");
  EXPECT_EQ(own_status_line(), "Your costfunction is " + f35.substr(0, 30) + "...");
  screenshot(own_frame, "own_cost_window");
  std::string f80 = "10";
  while (f80.size() < 80) f80 += "+k";
  enter(panel_o->fl(), f80);
  press(own_frame, "Ok");
  EXPECT_EQ(own_func.length(), 80);
  EXPECT_EQ(gap_cost(2), 10 + 39 * 2);

  computing = 7;
  enter(panel_o->fl(), "3+k");
  press(own_frame, "Ok");
  computing = 0;
  EXPECT_EQ(rec.last_line(), "Not possible while computing !");
  EXPECT_EQ(own_func.length(), 80);

  // "Active function" while the own formula is active: no predefined
  // function is chosen, and "Ok" keeps the formula while it commits a to d.
  ASSERT_TRUE(cost_button->choose("Active function"));
  EXPECT_EQ(cost_status_line(), "Costfunction is (empty)");
  enter(panel_c->fl(), "7");
  press(cost_frame, "Ok");
  EXPECT_EQ(func, 0);
  EXPECT_EQ(cc, 7);
  EXPECT_EQ(own_func.length(), 80);
}

TEST_F(ShellTest, ScoresBesideASubstitutionTable) {
  NoticeRecorder rec;
  ASSERT_TRUE(cost_button->choose("a+b*k"));
  ASSERT_TRUE(cost_button->choose("Insert own costfunctions"));
  select_text("A C G T: 0 1 1 1  0 1 1  0 1  0");
  get_substitution();
  for (TextField* f : {panel_s1, panel_ma1, panel_s2, panel_ma2}) EXPECT_EQ(f->text(), " table");
  // A number in the own window's substitution field and its "Ok": different
  // letters score it, equal letters still use the table.
  enter(panel_o->fl(), "1+k");
  enter(panel_s2->fl(), "2");
  press(own_frame, "Ok");
  EXPECT_EQ(sub, 2);
  EXPECT_EQ(mat, TABLE_MARKER);
  EXPECT_EQ(pair_score('A', 'C'), 2.0f);
  EXPECT_EQ(pair_score('G', 'G'), 0.0f);
  EXPECT_EQ(panel_s1->text(), "2");  // the other window follows
  EXPECT_EQ(panel_ma1->text(), " table");

  // The same through the predefined-function window, for the match score.
  select_text("A C G T: 5 1 1 1  5 1 1  5 1  5");
  get_substitution();
  ASSERT_TRUE(cost_button->choose("a+b*k"));
  enter(panel_ma1->fl(), "-1");
  press(cost_frame, "Ok");
  EXPECT_EQ(sub, TABLE_MARKER);
  EXPECT_EQ(pair_score('A', 'A'), -1.0f);
  EXPECT_EQ(pair_score('A', 'T'), 1.0f);
  EXPECT_EQ(panel_ma2->text(), "-1");
  EXPECT_TRUE(rec.seen.empty());
}

TEST_F(ShellTest, CostWindowsFollowTheText) {
  NoticeRecorder rec;
  ASSERT_TRUE(cost_button->choose("a+b*k"));
  ASSERT_TRUE(cost_button->choose("Insert own costfunctions"));
  for (TextField* f : {panel_a, panel_s2, panel_o}) f->set_text("typed");

  // A cost description read from the text sets active and pending values,
  // and both open windows show them.
  read_cost("cost=a+b*ln(k), a=7, subst.=3");
  EXPECT_TRUE(cost_frame->shown() && own_frame->shown());
  EXPECT_EQ(panel_a->text() + panel_s1->text() + panel_s2->text() + panel_o->text(), "733");
  EXPECT_EQ(func * 10 + func_c, 22);
  EXPECT_EQ(cost_status_line(), "Costfunction is a+b*ln(k)");
  read_cost("cost=1+sqrt(k)");
  EXPECT_EQ(panel_o->text(), "1+sqrt(k)");
  EXPECT_EQ(own_status_line(), "Your costfunction is 1+sqrt(k)");
  EXPECT_EQ(func * 10 + func_c, 2);  // the window keeps its chosen function

  // Mistakes: the values read before them stay read, and the windows show them.
  read_cost("a=2, b=x");
  EXPECT_EQ(rec.last_line(), "There is one mistake !");
  EXPECT_EQ(panel_a->text(), "2");
  // A rejected formula reads nothing, and the windows are left as they are.
  panel_a->set_text("typed");
  read_cost("cost=2 k, a=5");
  EXPECT_EQ(rec.last_line(), "There's a syntax error !");
  EXPECT_EQ(panel_a->text(), "typed");
  read_cost("nothing here");
  EXPECT_EQ(rec.last_line(), "There was nothing (correct) to get ?!");
  EXPECT_EQ(panel_a->text(), "2");

  // A table read from the text: both windows show " table"; a failed read
  // changes nothing.
  panel_s1->set_text("typed");
  select_text("A C: 1 2");
  get_substitution();
  EXPECT_EQ(rec.last_line(), "Error in subst.-table: data line(s) !");
  EXPECT_EQ(panel_s1->text(), "typed");
  select_text("A C: 1 2 3");
  get_substitution();
  EXPECT_EQ(panel_s1->text() + panel_ma2->text(), " table table");

  // Each window's "Ok" refreshes the other one's fields.
  panel_s2->set_text("typed");
  press(cost_frame, "Ok");
  EXPECT_EQ(func, 2);
  EXPECT_EQ(panel_s2->text(), " table");
  panel_a->set_text("typed");
  press(own_frame, "Ok");
  EXPECT_EQ(func, 0);
  EXPECT_STREQ(own_func.c_str(), "1+sqrt(k)");
  EXPECT_EQ(panel_a->text(), "2");
  EXPECT_EQ(rec.seen.size(), 4u);
}

}  // namespace
}  // namespace shell_test
