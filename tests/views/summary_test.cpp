// The texts of the input summary and the output picture's geometry, without
// a display.
#include <gtest/gtest.h>

#include "cost/cost.h"
#include "cost/cost_text.h"
#include "cost/own.h"
#include "engine/common/results.h"
#include "state/state.h"
#include "tests/support/program_reset.h"
#include "views/graph_view.h"
#include "views/output_view.h"
#include "views/summary.h"

namespace {

class Summary : public ::testing::Test {
 protected:
  void SetUp() override { reset_program(); }
  void TearDown() override { reset_program(); }
};

TEST_F(Summary, FileAndSequenceLines) {
  EXPECT_EQ(summary_file_line(""), "Filename  : ");
  EXPECT_EQ(summary_file_line("/home/u/demo.txt"), "Filename  : /home/u/demo.txt");
  EXPECT_EQ(summary_sequence_line(1), "Sequence1: (empty) ");
  seq1 = String("ACGTAC");
  n = 6;
  seq2 = String(std::string(123456, 'A').c_str());
  m = 123456;
  EXPECT_EQ(summary_sequence_line(1), "Sequence1: (6) ACGTAC");
  EXPECT_EQ(summary_sequence_line(2).substr(0, 26), "Sequence2: (1.2346e+05) AA");
  SummaryPicture p = summary_picture("x", 660);
  ASSERT_EQ(p.texts.size(), 4u);
  EXPECT_EQ(p.texts[0].y, 14);
  EXPECT_EQ(p.texts[1].y, 32);
  EXPECT_EQ(p.texts[2].y, 50);
  EXPECT_EQ(p.texts[3].y, 73);
  ASSERT_EQ(p.lines.size(), 2u);
  EXPECT_EQ(p.lines[0].y1, 18);
  EXPECT_EQ(p.lines[1].x2, 660);
}

TEST_F(Summary, CostLines) {
  EXPECT_EQ(summary_cost_line(), "Costfunction is a+b*k   (a=0.5, b=1, subst.=2, match=0)");
  func = 8;
  cc = 2.5;
  EXPECT_EQ(summary_cost_line(),
            "Costfunction is a+b*(c+d*k)   (a=0.5, b=1, c=2.5, d=1, subst.=2, match=0)");
  func = 0;
  own_func = String("2+k^2");
  sub = 1.234567;
  EXPECT_EQ(summary_cost_line(), "Costfunction is 2+k^2   (subst.=1.2346, match=0)");
  mat = TABLE_MARKER;
  EXPECT_EQ(summary_cost_line(), "Costfunction is 2+k^2   (subst.=1.2346, match= table)");

  // A table: its preview instead of the scores, and no second ", match=".
  ASSERT_EQ(read_substitution_table(String("A C:\r\n\r\n0 1\n0")), TableError::none);
  mat = -1;
  EXPECT_EQ(summary_cost_line(), "Costfunction is 2+k^2   (subst.= table [A C:...], match=-1)");
  // normalised for good, in one pass: four line feeds become two
  EXPECT_STREQ(subst.c_str(), "A C:\n\n0 1\n0,");
  mat = TABLE_MARKER;
  // The second line shorter than the first: both lines, separated by blanks.
  ASSERT_EQ(read_substitution_table(String("A, C, G:\n0 1 2\n0 1\n0")), TableError::none);
  EXPECT_EQ(table_preview(), " match= table [A, C, G: 0 1 2 ...]");
}

TEST_F(Summary, OutputPictureGeometry) {
  EXPECT_EQ(output_picture_width(5), 300);
  EXPECT_EQ(output_picture_width(24), 300);
  EXPECT_EQ(output_picture_width(30), 360);
  // ACGT over ACTT: runs of 2 and 1 equal columns.
  al_seq1 = String("ACGT");
  al_seq2 = String("ACTT");
  help_l.change_length(8);
  for (int i = 0; i < 8; ++i) help_l.set(uint32_t(i), int16_t(0));
  help_l.set(4, int16_t(2));  // columns 0-1, counted from the right end
  help_l.set(3, int16_t(1));
  help_l.set(1, int16_t(1));  // column 3
  EXPECT_TRUE(output_boxes().empty());  // show_flag 0: no boxes
  show_flag = 1;
  std::vector<OutputBox> b = output_boxes();
  ASSERT_EQ(b.size(), 2u);
  EXPECT_EQ(b[0].x, 18);
  EXPECT_EQ(b[0].w, 19);
  EXPECT_EQ(b[1].x, 48);
  EXPECT_EQ(b[1].w, 9);
  EXPECT_EQ(b[1].y, 5);
  EXPECT_EQ(b[1].h, 50);

  // Tiles: the whole picture when it fits, else a part around the view
  // that never passes the end.
  int x0, w;
  output_tile_for(0, 500, &x0, &w);
  EXPECT_EQ(x0, 0);
  EXPECT_EQ(w, 300);
  al_seq1 = String(std::string(5000, 'A').c_str());
  const int total = output_picture_width(5000);
  for (int view : {0, 20000, total - 500}) {
    output_tile_for(view, 500, &x0, &w);
    EXPECT_LE(w, OUTPUT_TILE_MAX);
    EXPECT_LE(x0, view);
    EXPECT_GE(x0 + w, view + 500);
    EXPECT_LE(x0 + w, total);
  }
}

TEST_F(Summary, GraphFollowsTheOutput) {
  // The first visible column's node: columns with a gap in one sequence move
  // only the other coordinate.
  al_seq1 = String("AC-GT");
  hilfs_w.change_length(5);
  hilfs_h.change_length(5);
  // counted from the right end: gaps of sequence 1 (hilfs_w) and 2 (hilfs_h) so far
  const int w[5] = {0, 0, 1, 1, 1}, h[5] = {0, 0, 0, 0, 0};
  for (int i = 0; i < 5; ++i) hilfs_w.set(uint32_t(i), int16_t(w[i])), hilfs_h.set(uint32_t(i), int16_t(h[i]));
  int gx, gy;
  graph_view_for_output(30, &gx, &gy);  // column 3
  EXPECT_EQ(gx, (3 - (1 - 0)) << 3);
  EXPECT_EQ(gy, 3 << 3);
  big = 2;
  graph_view_for_output(30, &gx, &gy);
  EXPECT_EQ(gx, 2 << 2);
  graph_view_for_output(100000, &gx, &gy);  // past the end: the last column
  EXPECT_EQ(gy, 4 << 2);

  n = 10;
  m = 5;
  big = 3;
  EXPECT_TRUE(graph_picture_fits(n, m, 3));
  n = 4100;
  EXPECT_FALSE(graph_picture_fits(n, m, 3));
  EXPECT_TRUE(graph_picture_fits(n, m, 2));
  bool small = false;
  for (const std::string& l : graph_missing_lines()) small |= l.find("\"small\"") != std::string::npos;
  EXPECT_TRUE(small);
  n = 9000;
  for (const std::string& l : graph_missing_lines()) EXPECT_EQ(l.find("\"small\""), std::string::npos);
}

}  // namespace
