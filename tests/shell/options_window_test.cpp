// "Options": the items show the active values, the piece length's input
// rules, "Ok" with and without changes (the redraw at the other size, the
// recomputation after a new piece length), "Cancel", and the graph following
// the output window at both sizes.
#include "tests/shell/shell_fixture.h"

#include <X11/Xutil.h>

#include <random>

#include "engine/common/graph_picture.h"
#include "engine/common/marks.h"
#include "engine/common/results.h"
#include "ui/picture.h"
#include "ui/picture_x.h"
#include "ui/progress.h"

namespace shell_test {
namespace {

using Lines = std::vector<std::string>;

// The graph picture, read back.
std::vector<unsigned char> graph_bits() {
  const int w = picture_width(Picture::graph), h = picture_height(Picture::graph);
  std::vector<unsigned char> v;
  XImage* img = XGetImage(fl_display, thePixmap, 0, 0, w, h, 1, ZPixmap);
  if (!img) return v;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) v.push_back(XGetPixel(img, x, y) & 1);
  XDestroyImage(img);
  return v;
}

// A left and a right mark on the shown path (set as the menu sets them).
void set_marks(int lx, int ly, int rx, int ry) {
  mo_x = lx, mo_y = ly;
  ASSERT_EQ(choose_left(), MarkResult::ok);
  mo_x = rx, mo_y = ry;
  ASSERT_EQ(choose_right(), MarkResult::ok);
}

TEST_F(ShellTest, OptionsShowTheActiveValues) {
  NoticeRecorder rec;
  gl_kl = 12;
  big = 2;
  syn = 0;
  options_button->press();
  EXPECT_TRUE(option_frame->shown());
  EXPECT_EQ(panel_opt1->text(), "12");
  EXPECT_EQ(panel_big->value(), 1);
  EXPECT_EQ(panel_syn->value(), 0);
  EXPECT_EQ(gl_klm, 12);
  gl_kl = 0;
  big = 3;
  syn = 1;
  einstellung();
  EXPECT_EQ(panel_opt1->text(), "0");
  EXPECT_EQ(panel_big->value(), 0);
  EXPECT_EQ(panel_syn->value(), 1);
  screenshot(option_frame, "options_window");

  // The piece length: a whole number, not negative; anything else is refused.
  for (const char* bad : {"-3", "2.5", "", "abc", "12 ", "99999999999999999999", "2147483648"}) {
    enter(panel_opt1->fl(), bad);
    EXPECT_EQ(rec.last_line(), "No correct input !") << bad;
    EXPECT_EQ(rec.seen.back().buttons[0].label, " Try again ");
    EXPECT_EQ(gl_klm, 0) << bad;
  }
  rec.seen.clear();
  enter(panel_opt1->fl(), " 12");
  EXPECT_EQ(gl_klm, 12);
  enter(panel_opt1->fl(), "0");
  EXPECT_EQ(gl_klm, 0);
  pick(panel_big, 1);
  EXPECT_EQ(bigm, 2);
  pick(panel_syn, 0);
  EXPECT_EQ(synm, 0);
  EXPECT_TRUE(rec.seen.empty());
  // Pending only: nothing active yet; "Cancel" drops them.
  EXPECT_EQ(big, 3);
  EXPECT_EQ(syn, 1);
  option_frame->request_close();  // as "Cancel" and the window manager's close do
  EXPECT_FALSE(option_frame->shown());
  EXPECT_EQ(bigm, 3);
  EXPECT_EQ(synm, 1);
  einstellung();
  option_ok_proc();
  EXPECT_EQ(computing, 0);
  EXPECT_EQ(big, 3);
  EXPECT_EQ(syn, 1);
  EXPECT_FALSE(option_frame->shown());
}

TEST_F(ShellTest, OptionsOkWithAndWithoutChanges) {
  NoticeRecorder rec;
  distance_phases = 0;
  set_progress_observer(count_phases);
  read_sequences("ACGTTGCATGCAACGTAGCTAGCTAGGCTAACG", "ACGTGCATGCTACGTAGCAGCTAGGCTACG");
  choose_operation("Global optimal alignment");
  ASSERT_EQ(distance_phases, 1);
  // Ok without changes: no operation, the results stay cached.
  einstellung();
  option_ok_proc();
  EXPECT_EQ(computing, 0);
  choose_operation("Global optimal alignment");
  EXPECT_EQ(distance_phases, 1);

  // A new piece length, typed and Ok'ed without Return: the next request
  // computes again, with the limit.
  einstellung();
  panel_opt1->set_text("3");
  option_ok_proc();
  EXPECT_EQ(gl_kl, 3);
  EXPECT_EQ(computing, 0);
  EXPECT_STREQ(ms1.c_str(), "");
  choose_operation("Global optimal alignment");
  EXPECT_EQ(distance_phases, 2);
  // A wrong text at Ok: the notice, the window stays, nothing changes.
  einstellung();
  panel_opt1->set_text("x");
  pick(panel_big, 1);
  option_ok_proc();
  EXPECT_EQ(rec.last_line(), "No correct input !");
  EXPECT_TRUE(option_frame->shown());
  EXPECT_EQ(big, 3);
  EXPECT_EQ(gl_kl, 3);
  // Nor while an operation runs.
  rec.seen.clear();
  panel_opt1->set_text("3");
  computing = 1;
  option_ok_proc();
  EXPECT_EQ(rec.last_line(), "Not possible while computing !");
  EXPECT_EQ(big, 3);
  computing = 0;
  rec.seen.clear();

  // The other size: operation 4 draws the graph, the circles and the marks
  // again at the new size, without computing; the picture equals the one a
  // computation at that size with the same marks draws.
  set_marks(2, 2, n - 1, m - 1);
  ASSERT_EQ(markl_x, 2);
  ASSERT_EQ(markr_x, n - 1);
  option_ok_proc();
  EXPECT_EQ(big, 2);
  ASSERT_EQ(computing, 4);
  run_operation(4);
  EXPECT_EQ(computing, 0);
  EXPECT_EQ(distance_phases, 2);
  EXPECT_TRUE(choose_frame->shown());
  EXPECT_EQ(picture_width(Picture::graph), (n + 4) * 4);
  EXPECT_EQ(picture_height(Picture::graph), (m + 4) * 4);
  EXPECT_EQ(choose_canv->scroll_width(), (n + 7) * 4);
  EXPECT_EQ(markl_x, 2);
  EXPECT_EQ(markr_x, n - 1);
  const std::vector<unsigned char> redrawn = graph_bits();
  screenshot(choose_frame, "graph_window_small_after_options");
  ms1 = String();
  choose_operation("Global optimal alignment");
  EXPECT_EQ(distance_phases, 3);
  set_marks(2, 2, n - 1, m - 1);
  EXPECT_TRUE(graph_bits() == redrawn);
  EXPECT_TRUE(rec.seen.empty()) << rec.last_line();

  // Without results for the sequences read nothing can be redrawn: the
  // graph window, drawn at the old size, goes.
  select_text("ACGT");
  get_seq1();
  einstellung();
  pick(panel_big, 0);
  option_ok_proc();
  ASSERT_EQ(computing, 4);
  run_operation(4);
  EXPECT_EQ(computing, 0);
  EXPECT_EQ(big, 3);
  EXPECT_FALSE(choose_frame->shown());
}

// Where the synchronisation puts the graph for the output's view start:
// the node reached after the first visible column's predecessors, scaled
// (and, near the end, as far as the graph's scrollbars go).
std::pair<int, int> node_of_column(int c) {
  int x = 0, y = 0;
  for (int i = 0; i < c; ++i) {
    x += al_seq1.c_str()[i] != '-';
    y += al_seq2.c_str()[i] != '-';
  }
  return {std::min(x << big, choose_canv->scroll_width() - choose_canv->width()),
          std::min(y << big, choose_canv->scroll_height() - choose_canv->height())};
}

TEST_F(ShellTest, GraphFollowsTheOutput) {
  NoticeRecorder rec;
  std::mt19937 g(11);
  std::string a, b;
  for (int i = 0; i < 300; ++i) a += "ACGT"[g() % 4];
  for (int i = 0; i < 240; ++i) b += "ACGT"[g() % 4];
  read_sequences(a, b);
  choose_operation("Global optimal alignment");
  for (int size : {3, 2}) {
    if (size == 2) {
      einstellung();
      pick(panel_big, 1);
      option_ok_proc();
      run_operation(4);
    }
    SCOPED_TRACE(size);
    for (int column : {0, 37, 150, 222, 290}) {
      out_canv->set_view_start(10 * column + 3, 0);
      out_canv->redraw();
      const int shown = out_canv->view_x() / 10;  // the output stops at its end too
      EXPECT_EQ(shown, std::min(column, (out_canv->scroll_width() - out_canv->width()) / 10));
      EXPECT_EQ(std::make_pair(choose_canv->view_x(), choose_canv->view_y()), node_of_column(shown));
    }
  }
  // Off: scrolling the output leaves the graph where it is.
  einstellung();
  pick(panel_syn, 0);
  option_ok_proc();
  EXPECT_EQ(syn, 0);
  const int gx = choose_canv->view_x(), gy = choose_canv->view_y();
  out_canv->set_view_start(10 * 12, 0);
  out_canv->redraw();
  EXPECT_EQ(choose_canv->view_x(), gx);
  EXPECT_EQ(choose_canv->view_y(), gy);
  // On again: it follows at once.
  einstellung();
  pick(panel_syn, 1);
  option_ok_proc();
  const std::pair<int, int> at12 = node_of_column(12);
  EXPECT_EQ(std::make_pair(choose_canv->view_x(), choose_canv->view_y()), at12);
  // Not the sequences as read ("Alignment"): they are no alignment of the graph.
  alignment();
  out_canv->set_view_start(10 * 40, 0);
  out_canv->redraw();
  EXPECT_EQ(std::make_pair(choose_canv->view_x(), choose_canv->view_y()), at12);
  EXPECT_TRUE(rec.seen.empty());
}

}  // namespace
}  // namespace shell_test
