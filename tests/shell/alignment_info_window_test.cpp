// "Alignment information": the seven lines drawn, the window kept by the
// "Alignment" button, and "Insert infos into text".
#include "tests/shell/shell_fixture.h"

#include <X11/Xutil.h>

#include "views/texts.h"

namespace shell_test {
namespace {

std::vector<unsigned long> pixels(Canvas* c) {
  std::vector<unsigned long> out;
  XImage* img = XGetImage(fl_display, c->xid(), 0, 0, c->width(), c->height(), AllPlanes, ZPixmap);
  if (!img) return out;
  for (int y = 0; y < c->height(); ++y)
    for (int x = 0; x < c->width(); ++x) out.push_back(XGetPixel(img, x, y));
  XDestroyImage(img);
  return out;
}

TEST_F(ShellTest, InformationLinesAndInsert) {
  NoticeRecorder rec;
  read_sequences("ACGTTGCA", "ACTTGA");
  choose_operation("Concave: optimal subalignment");
  ASSERT_TRUE(extra_frame->shown());
  repaint_when_viewable(extra_canv);
  // Ink on each of the seven baselines' rows, none below the last.
  const int baselines[] = {20, 40, 56, 76, 92, 112, 132};
  const std::vector<unsigned long> px = pixels(extra_canv);
  const unsigned long black = BlackPixel(fl_display, DefaultScreen(fl_display));
  const int w = extra_canv->width();
  for (int b : baselines) {
    int k = 0;
    for (int y = b - 9; y <= b; ++y)
      for (int x = 10; x < w; ++x) k += px[static_cast<size_t>(y * w + x)] == black;
    EXPECT_GT(k, 20) << "line at " << b;
  }
  EXPECT_EQ(info_window_lines().back(), "('subalignments, concave cost')");

  // "Alignment" leaves the figures as they are.
  alignment();
  settle();
  extra_canv->redraw();
  settle();
  EXPECT_EQ(pixels(extra_canv), px);

  textsw->clear();
  get_infos();
  get_infos();
  const std::string block = infos_text().c_str();
  EXPECT_EQ(textsw->text(), block + block);
  EXPECT_EQ(block.substr(block.size() - 33), "('subalignments, concave cost')\n\n");
  EXPECT_TRUE(rec.seen.empty());
}

}  // namespace
}  // namespace shell_test
