// The main window: inventory, the top row's callbacks and their notices, the
// input summary, and the quit question on the window manager's close.
#include "tests/shell/shell_fixture.h"

#include <FL/Fl_Window.H>
#include <X11/Xutil.h>

#include <map>
#include <set>

#include "cost/cost.h"
#include "views/summary.h"

namespace shell_test {
namespace {

using Lines = std::vector<std::string>;

TEST_F(ShellTest, WindowsTitlesSizesAndIcon) {
  // Each window of the table, its title and size; only the main window at start.
  const std::map<std::string, std::pair<int, int>> sizes = {
      {"Vardane: sequence alignment, version 1.0", {660, 460}},
      {"", {363, 320}},
      {"All optimal alignments & current alignment", {480, 480}},
      {"Alignment information", {400, 200}},
      {"Alignment output", {500, 150}},
      {"Dot matrix", {350, 300}},
      {"Options", {400, 180}},
      {"Documentation/Dokumentation", {584, 400}},
      {"Insert/Delete costfunction", {400, 246}},
      {"Own insert/delete costfunction", {400, 166}},
  };
  ASSERT_EQ(shell_window_count, 10);
  std::set<std::string> seen;
  for (int i = 0; i < shell_window_count; ++i) {
    Frame* f = *shell_windows[i].frame;
    ASSERT_NE(f, nullptr);
    EXPECT_STREQ(f->title(), shell_windows[i].title);
    seen.insert(f->title());
    if (sizes.count(f->title())) {
      EXPECT_EQ(f->width(), sizes.at(f->title()).first) << f->title();
      EXPECT_EQ(f->height(), sizes.at(f->title()).second) << f->title();
    }
    EXPECT_EQ(f->shown(), i == 0) << f->title();
  }
  for (const auto& [title, size] : sizes) EXPECT_TRUE(seen.count(title)) << title;
  EXPECT_STREQ(shell_windows[0].title, "Vardane: sequence alignment, version 1.0");
  EXPECT_EQ(frame->kind(), Frame::base);
  EXPECT_EQ(out_frame->kind(), Frame::command);

  // The icon: a 64 x 64 bitmap and the label "Vardane".
  XWMHints* h = XGetWMHints(fl_display, frame->xid());
  ASSERT_NE(h, nullptr);
  ASSERT_TRUE(h->flags & IconPixmapHint);
  Window root;
  int x, y;
  unsigned w, hh, bw, depth;
  XGetGeometry(fl_display, h->icon_pixmap, &root, &x, &y, &w, &hh, &bw, &depth);
  EXPECT_EQ(w, 64u);
  EXPECT_EQ(hh, 64u);
  EXPECT_EQ(depth, 1u);
  XFree(h);
  char* icon_name = nullptr;
  ASSERT_TRUE(XGetIconName(fl_display, frame->xid(), &icon_name));
  EXPECT_STREQ(icon_name, "Vardane");
  XFree(icon_name);
  XSizeHints hints;
  long supplied;
  ASSERT_TRUE(XGetWMNormalHints(fl_display, frame->xid(), &hints, &supplied));
  EXPECT_EQ(hints.min_width, 650);
  EXPECT_EQ(hints.min_height, 450);
}

TEST_F(ShellTest, TopRowAndMenus) {
  // Left to right: quit, two menus, " Options ", " Infos ", then the hidden
  // interrupt button 35 pixels further.
  EXPECT_STREQ(quit_button->label(), " Quit program ");
  EXPECT_STREQ(options_button->label(), " Options ");
  EXPECT_LT(quit_button->x(), cost_button->x());
  EXPECT_LT(cost_button->x(), operation_button->x());
  EXPECT_LT(operation_button->x(), options_button->x());
  EXPECT_LT(options_button->x(), infos_button->x());
  EXPECT_EQ(inter_rupt->x(), infos_button->x() + infos_button->w() + 35);
  EXPECT_STREQ(inter_rupt->label(), "I.n.t.e.r.r.u.p.t");
  EXPECT_FALSE(inter_rupt->visible());
  EXPECT_EQ(operation_button->item_labels(),
            (Lines{"Global optimal alignment", "Concave: global optimal alignment",
                   "Concave: short in long sequence", "Concave: optimal subalignment",
                   "Dot matrix", "automatic", "small", "big"}));
  EXPECT_EQ(cost_button->item_labels().size(), 13u);  // the cost windows' tests name them
  EXPECT_EQ(infos_button->item_labels(), (Lines{"Info", "Documentation", "Deutsch", "English"}));
  screenshot(frame, "main_window");
}

TEST_F(ShellTest, OperationMenuNotices) {
  NoticeRecorder rec;
  choose_operation("Global optimal alignment");  // no sequence read
  select_text("ACGT");
  get_seq1();
  choose_operation("Concave: optimal subalignment");  // only one
  ASSERT_EQ(rec.seen.size(), 2u);
  for (const NoticeRequest& r : rec.seen) {
    EXPECT_EQ(r.lines, Lines{"There are not enough inputs !?"});
    EXPECT_EQ(r.buttons[0].label, " Ok ");
  }
  EXPECT_EQ(computing, 0);

  select_text("ACGA");
  get_seq2();
  operation("Dot-matrix");  // a label this menu does not hold
  EXPECT_EQ(rec.last_line(), "Not implemented !");
  EXPECT_EQ(rec.seen.back().buttons[0].label, " Sorry ");
  EXPECT_EQ(computing, 0);

  // While an operation runs, nothing else may start.
  computing = 1;
  operation("Concave: global optimal alignment");
  EXPECT_EQ(computing, 1);
  EXPECT_EQ(rec.last_line(), "Not possible while computing !");
  computing = 0;
  const int codes[] = {1, 6, 7, 8, 2};
  int k = 0;
  for (const std::string& item : operation_button->item_labels()) {
    if (k == 5) break;  // the Dot matrix menu's own items: tests/shell/dot_window_test.cpp
    plot_flag = 0;
    operation(item.c_str());
    EXPECT_EQ(computing, codes[k++]) << item;
    computing = 0;
  }
  EXPECT_EQ(plot_flag, 2);  // "Dot matrix" itself asks for the automatic style
}

TEST_F(ShellTest, QuitAndInterruptQuestions) {
  NoticeRecorder rec;
  rec.answer = 0;  // " No  "
  quit_button->press();
  ASSERT_EQ(rec.seen.size(), 1u);
  EXPECT_EQ(rec.seen[0].lines, Lines{"Do you really want to quit ?"});
  ASSERT_EQ(rec.seen[0].buttons.size(), 2u);
  EXPECT_EQ(rec.seen[0].buttons[0].label, " Yes ");
  EXPECT_EQ(rec.seen[0].buttons[1].label, " No  ");
  EXPECT_EQ(finished, 0);

  // The window manager's close button asks the same, and the window stays.
  frame->request_close();
  EXPECT_EQ(rec.seen.size(), 2u);
  EXPECT_EQ(rec.last_line(), "Do you really want to quit ?");
  EXPECT_TRUE(frame->shown());
  EXPECT_EQ(finished, 0);
  // Escape does not close the main window at all.
  Fl::e_keysym = FL_Escape;
  Fl::handle(FL_SHORTCUT, frame->fl());
  EXPECT_EQ(rec.seen.size(), 2u);
  EXPECT_TRUE(frame->shown());

  rec.answer = 1;
  computing = 6;
  frame->request_close();
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(computing, 0);
  finished = 0;

  rec.answer = 0;
  computing = 1;
  inter_rupt->press();
  EXPECT_EQ(rec.seen.back().lines,
            (Lines{"Do you really want to", "interrupt this computation (loses data) ?"}));
  EXPECT_EQ(rec.seen.back().buttons[0].label, "Yes");
  EXPECT_EQ(rec.seen.back().buttons[1].label, "No");
  EXPECT_EQ(computing, 1);
  rec.answer = 1;
  inter_rupt->press();
  EXPECT_EQ(computing, 0);
}

TEST_F(ShellTest, InfoWindowAndPopupClose) {
  ASSERT_TRUE(infos_button->choose("Info"));
  settle();
  EXPECT_TRUE(info_frame->shown());
  screenshot(info_frame, "info_window");
  // The window manager's close button takes a pop-up down, as "Exit" does.
  info_frame->request_close();
  settle(0.05);
  EXPECT_FALSE(info_frame->shown());
  EXPECT_TRUE(frame->shown());
}

TEST_F(ShellTest, SummaryStripShowsInputs) {
  select_text("ac gt\nAC");
  get_seq1();
  EXPECT_EQ(summary_sequence_line(1), "Sequence1: (6) ACGTAC");
  EXPECT_EQ(summary_sequence_line(2), "Sequence2: (empty) ");
  const std::string path = temp_path("summary.txt");
  write_file(path, "GATTACA\n");
  ASSERT_TRUE(textsw->load(path));
  EXPECT_EQ(textsw->file_name(), path);
  EXPECT_EQ(summary_file_line(textsw->file_name()), "Filename  : " + path);
  // The strip is drawn: its file line has ink where the text stands.
  repaint_when_viewable(summary_canv);
  XImage* img = XGetImage(fl_display, summary_canv->xid(), 0, 0, 300, 80, AllPlanes, ZPixmap);
  ASSERT_NE(img, nullptr);
  int ink_file = 0, ink_line = 0;
  for (int x = 10; x < 300; ++x) {
    for (int y = 4; y < 16; ++y) ink_file += XGetPixel(img, x, y) == BlackPixel(fl_display, 0);
    ink_line += XGetPixel(img, x, 18) == BlackPixel(fl_display, 0);
  }
  XDestroyImage(img);
  EXPECT_GT(ink_file, 50);
  EXPECT_EQ(ink_line, 290);
  std::remove(path.c_str());
}

}  // namespace
}  // namespace shell_test

namespace shell_test {
namespace {

TEST_F(ShellTest, XErrorsAreReportedAndSurvived) {
  // A request on a window that does not exist: reported on standard error,
  // and the program goes on.
  testing::internal::CaptureStderr();
  XMapWindow(fl_display, 0x7fffff1);
  XSync(fl_display, False);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("BadWindow"), std::string::npos) << err;
  select_text("ACGT");
  get_seq1();
  EXPECT_EQ(n, 4);
  EXPECT_TRUE(frame->shown());
}

}  // namespace
}  // namespace shell_test
