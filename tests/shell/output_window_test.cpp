// "Alignment output": the picture's size and boxes, the tiles of a long
// alignment, the "Alignment" button, and the inserted blocks compared with
// what the batch tool prints for the same inputs.
#include "tests/shell/shell_fixture.h"

#include <X11/Xutil.h>

#include <random>

#include "engine/common/results.h"
#include "ui/picture.h"
#include "views/output_view.h"
#include "views/texts.h"

namespace shell_test {
namespace {

using Lines = std::vector<std::string>;

TEST_F(ShellTest, OutputPictureBoxesAndSize) {
  NoticeRecorder rec;
  read_sequences("ACGT", "ACTT");
  choose_operation("Global optimal alignment");
  EXPECT_EQ(picture_width(Picture::output), 300);
  EXPECT_EQ(picture_height(Picture::output), 56);
  EXPECT_EQ(out_canv->scroll_width(), 300);
  // Two boxes: columns 0-1 (x 18..37) and column 3 (x 48..57); none around column 2.
  for (int x = 18; x <= 37; ++x) EXPECT_EQ(picture_pixel(Picture::output, x, 5), 1) << x;
  for (int x = 38; x <= 47; ++x) EXPECT_EQ(picture_pixel(Picture::output, x, 5), 0) << x;
  for (int x = 48; x <= 57; ++x) EXPECT_EQ(picture_pixel(Picture::output, x, 55), 1) << x;
  for (int y = 5; y <= 55; ++y) EXPECT_EQ(picture_pixel(Picture::output, 18, y), 1) << y;
  // The window shows the picture from its left edge.
  repaint_when_viewable(out_canv);
  EXPECT_GT(ink(out_canv, 20, 30, 8, 21), 5);
  EXPECT_EQ(ink(out_canv, 60, 300, 0, 56), 0);

  // "Alignment" shows the sequences as read, without boxes, and leaves the
  // information window as it was.
  extra_frame->hide();
  read_sequences("ACGTACGTACGTACGTACGTACGTACGTAC", "AC");
  alignment();
  EXPECT_STREQ(al_seq1.c_str(), "ACGTACGTACGTACGTACGTACGTACGTAC");
  EXPECT_EQ(show_flag, 0);
  EXPECT_EQ(picture_width(Picture::output), 360);
  EXPECT_EQ(picture_pixel(Picture::output, 18, 5), 0);
  EXPECT_FALSE(extra_frame->shown());
  EXPECT_TRUE(rec.seen.empty());
  select_text("");
  get_seq2();
  alignment();
  EXPECT_EQ(rec.last_line(), "There are not enough inputs !?");
  read_sequences("AC", "AC");
  computing = 1;
  alignment();
  computing = 0;
  EXPECT_EQ(rec.last_line(), "Not possible while computing !");
}

TEST_F(ShellTest, LongAlignmentScrollsToItsLastColumn) {
  // 4000 columns: 40060 pixels, more than one pixmap may have.
  std::mt19937 g(7);
  std::string a;
  for (int i = 0; i < 4000; ++i) a += "ACGT"[g() % 4];
  read_sequences(a, a.substr(0, 3));
  choose_operation("Concave: global optimal alignment");
  const int len = al_seq1.length();
  ASSERT_EQ(len, 4000);
  const int total = output_picture_width(len);
  EXPECT_EQ(out_canv->scroll_width(), total);
  EXPECT_LE(picture_width(Picture::output), OUTPUT_TILE_MAX);

  out_canv->set_view_start(1 << 30, 0);  // far past the end: clamped
  repaint_when_viewable(out_canv);
  const int w = out_canv->width();
  EXPECT_EQ(out_canv->view_x(), total - w);
  // The last column's letters stand 50 pixels from the right edge, then margin.
  EXPECT_GT(ink(out_canv, w - 50, w - 40, 8, 45), 10);
  EXPECT_EQ(ink(out_canv, w - 38, w, 0, 56), 0);
  screenshot(out_frame, "output_window_long_end");

  // Back at the start the first letters show again.
  out_canv->set_view_start(0, 0);
  repaint_when_viewable(out_canv);
  EXPECT_GT(ink(out_canv, 20, 30, 8, 45), 10);
  EXPECT_EQ(ink(out_canv, 0, 17, 0, 56), 0);
}

std::string run_tool(const std::string& args) {
  const char* tool = std::getenv("VARDANE_ALIGN");
  std::string cmd = std::string(tool ? tool : "") + " " + args;
  FILE* p = popen(cmd.c_str(), "r");
  if (!p) return "";
  std::string out;
  char buf[4096];
  size_t k;
  while ((k = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, k);
  pclose(p);
  return out;
}

TEST_F(ShellTest, InsertedBlocksMatchTheBatchTool) {
  const char* tool = std::getenv("VARDANE_ALIGN");
  if (!tool || access(tool, X_OK) != 0) GTEST_SKIP() << "vardane-align is not built";
  NoticeRecorder rec;
  const std::string dir = VARDANE_SOURCE_DIR;
  const std::string s1 = read_file(dir + "/examples/demo1.txt");
  const std::string s2 = read_file(dir + "/examples/demo2.txt");
  const std::string cost = "cost=a+b*k, a=3, b=1, match=-2";
  struct Mode {
    const char* item;
    const char* option;
  };
  for (const Mode& mode : {Mode{"Global optimal alignment", "global"},
                           Mode{"Concave: global optimal alignment", "concave"},
                           Mode{"Concave: short in long sequence", "short-in-long"},
                           Mode{"Concave: optimal subalignment", "subalignment"}}) {
    select_text(cost);
    get_cost();
    read_sequences(s1, s2);
    choose_operation(mode.item);
    textsw->clear();
    get_results();
    get_infos();
    const std::string expect = run_tool("-m " + std::string(mode.option) + " -c '" + cost + "' " +
                                        dir + "/examples/demo1.txt " + dir + "/examples/demo2.txt");
    ASSERT_FALSE(expect.empty());
    EXPECT_EQ(textsw->text(), expect) << mode.item;
  }
  EXPECT_TRUE(rec.seen.empty());
  // Twice inserts twice.
  textsw->clear();
  get_results();
  get_results();
  const std::string once = alignment_text().c_str();
  EXPECT_EQ(textsw->text(), once + once);
}

}  // namespace
}  // namespace shell_test
