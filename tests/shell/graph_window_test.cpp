// The graph window: the picture copied into the canvas, scrolling, and the
// message that stands in for a picture too large for a pixmap.
#include "tests/shell/shell_fixture.h"

#include <X11/Xutil.h>

#include "engine/common/results.h"
#include "ui/picture.h"
#include "ui/picture_x.h"

namespace shell_test {
namespace {

TEST_F(ShellTest, GraphCanvasShowsThePicture) {
  NoticeRecorder rec;
  read_sequences("ACGTTGCATGCAACGTAGCTAGCTAGGCTAACGACGTTGCATGCAACGTAGCTAGCTAGGCTAACG",
                 "ACGTGCATGCTACGTAGCAGCTAGGCTACGACGTGCATGCTACGTAGCAGCTAGGCTACG");
  choose_operation("Global optimal alignment");
  ASSERT_TRUE(choose_frame->shown());
  EXPECT_EQ(choose_canv->scroll_width(), (n + 7) * 8);
  EXPECT_EQ(choose_canv->scroll_height(), (m + 7) * 8);
  EXPECT_TRUE(choose_canv->message().empty());
  // Scrolled somewhere inside: the window holds exactly that part of the picture.
  for (auto [vx, vy] : {std::pair{0, 0}, {100, 60}, {100000, 100000}}) {
    choose_canv->set_view_start(vx, vy);
    repaint_when_viewable(choose_canv);
    const int sx = choose_canv->clamped_x(), sy = choose_canv->clamped_y();
    const int w = choose_canv->width(), h = choose_canv->height();
    XImage* win = XGetImage(fl_display, choose_canv->xid(), 0, 0, w, h, AllPlanes, ZPixmap);
    XImage* pic = XGetImage(fl_display, thePixmap, 0, 0, picture_width(Picture::graph),
                            picture_height(Picture::graph), 1, ZPixmap);
    ASSERT_TRUE(win && pic);
    int wrong = 0, set = 0;
    const unsigned long black = BlackPixel(fl_display, DefaultScreen(fl_display));
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        const int px = sx + x, py = sy + y;
        const bool inside = px < picture_width(Picture::graph) && py < picture_height(Picture::graph);
        const bool want = inside && (XGetPixel(pic, px, py) & 1);
        set += want;
        wrong += want != (XGetPixel(win, x, y) == black);
      }
    XDestroyImage(win);
    XDestroyImage(pic);
    EXPECT_EQ(wrong, 0) << vx << "," << vy;
    EXPECT_GT(set, 0) << vx << "," << vy;
  }
  // Far right and bottom the view stops at the scroll size.
  EXPECT_EQ(choose_canv->clamped_x(), (n + 7) * 8 - choose_canv->width());
}

TEST_F(ShellTest, GraphTooLargeForAPixmap) {
  NoticeRecorder rec;
  // 4100 columns at 8 pixels: 32832 pixels, more than a pixmap side may be.
  read_sequences(std::string(4100, 'A'), "AAAAA");
  choose_operation("Global optimal alignment");
  EXPECT_TRUE(rec.seen.empty());
  EXPECT_FALSE(picture_valid(Picture::graph));
  ASSERT_TRUE(choose_frame->shown());
  settle();
  const std::vector<std::string>& msg = choose_canv->message();
  ASSERT_FALSE(msg.empty());
  bool says_small = false;
  for (const std::string& l : msg) says_small |= l.find("\"small\"") != std::string::npos;
  EXPECT_TRUE(says_small);
  screenshot(choose_frame, "graph_window_too_large");
  // Every other result is complete.
  EXPECT_EQ(al_seq1.length(), 4100);
  EXPECT_TRUE(out_frame->shown());
  EXPECT_TRUE(extra_frame->shown());
  EXPECT_GT(gl_opt_edges, 0u);
}

}  // namespace
}  // namespace shell_test
