// The dot matrix's geometry without a display: the style "automatic"
// chooses, the picture sizes, and the tiles of pictures beyond one pixmap.
#include <gtest/gtest.h>

#include "state/state.h"
#include "tests/support/program_reset.h"
#include "views/dot_view.h"

namespace {

DotPlot plot_of(int len1, int len2, bool small) {
  DotPlot p;
  p.s1.assign(static_cast<size_t>(len1), 'A');
  p.s2.assign(static_cast<size_t>(len2), 'C');
  p.small = small;
  p.rows = len2;
  return p;
}

TEST(DotView, StylesAndSizes) {
  EXPECT_FALSE(dot_small_style(2, 250, 150));  // 400 together: big
  EXPECT_TRUE(dot_small_style(2, 251, 150));
  EXPECT_TRUE(dot_small_style(1, 1, 1));
  EXPECT_FALSE(dot_small_style(0, 5000, 5000));
  EXPECT_EQ(dot_picture_width(plot_of(124, 1, true)), 300);
  EXPECT_EQ(dot_picture_width(plot_of(125, 1, true)), 300);
  EXPECT_EQ(dot_picture_width(plot_of(126, 1, true)), 302);
  EXPECT_EQ(dot_picture_height(plot_of(1, 50, true)), 150);
  EXPECT_EQ(dot_picture_width(plot_of(250, 150, false)), 2050);
  EXPECT_EQ(dot_picture_height(plot_of(250, 150, false)), 1850);
  // The largest sequences the program reads give sides beyond 32767 pixels
  // without overflowing.
  EXPECT_EQ(dot_picture_width(plot_of(100000, 1, false)), 800050);

  reset_program();
  seq1 = String("ACGT");
  seq2 = String("AC");
  plot_flag = 0;
  const DotPlot p = dot_plot_of_inputs();
  EXPECT_EQ(p.s1, "ACGT");
  EXPECT_EQ(p.rows, 2);
  EXPECT_FALSE(p.small);
  reset_program();
}

TEST(DotView, TilesOfLargePictures) {
  // Fits: the whole picture, wherever the view is.
  const DotPlot fits = plot_of(16358, 10, true);  // 32766 pixels wide
  DotTile t = dot_tile_for(fits, 20000, 0, 300, 200);
  EXPECT_EQ(t.x0, 0);
  EXPECT_EQ(t.w, 32766);
  EXPECT_EQ(t.h, 70);
  // Beyond: a part around the view, within the picture, covering the view.
  const DotPlot wide = plot_of(20000, 17000, true);  // 40050 x 34050
  for (int vx : {0, 5000, 39750, 40050}) {
    const int vy = vx * 34050 / 40050;
    t = dot_tile_for(wide, vx, vy, 300, 250);
    EXPECT_GE(t.x0, 0);
    EXPECT_LE(long(t.x0) + t.w, 40050L);
    EXPECT_LE(long(t.y0) + t.h, 34050L);
    EXPECT_LE(t.w, 32767);
    EXPECT_LE(t.h, 32767);
    if (vx + 300 <= 40050) {
      EXPECT_TRUE(dot_tile_covers(t, vx, vy, 300, 250)) << vx;
    }
    EXPECT_FALSE(dot_tile_covers(t, t.x0 + t.w, vy, 300, 250));
  }
  EXPECT_FALSE(dot_tile_covers(DotTile(), 0, 0, 1, 1));
}

}  // namespace
