// The graph picture, the circles and the marks, read back from a virtual X
// server (VARDANE_TEST_DISPLAY); and pictures the platform refuses.
#include <cstdlib>

#include "general_fixture.h"
#include "ui/picture.h"

namespace {

class DrawingTest : public GeneralTest {
 protected:
  void SetUp() override {
    GeneralTest::SetUp();
    const char* name = std::getenv("VARDANE_TEST_DISPLAY");
    if (name == nullptr || !open_display(name)) GTEST_SKIP() << "no test display";
  }
  void TearDown() override {
    close_display();
    GeneralTest::TearDown();
  }
  static std::vector<int> snapshot() {
    std::vector<int> px;
    for (int y = 0; y < picture_height(Picture::graph); ++y)
      for (int x = 0; x < picture_width(Picture::graph); ++x) px.push_back(picture_pixel(Picture::graph, x, y));
    return px;
  }
  static int X(int x) { return x * (1 << big) + 3 * (1 << big) + 1; }
  static int Y(int y) { return y * (1 << big) + 2 * (1 << big) - 1; }
  static int pix(int x, int y) { return picture_pixel(Picture::graph, x, y); }
};

}  // namespace

TEST_F(DrawingTest, GraphPictureGeometryAndLines) {
  big = 2;
  compute_keep("AAAAAAAAAA", "AAAAA");
  EXPECT_EQ(picture_width(Picture::graph), 56);
  EXPECT_EQ(picture_height(Picture::graph), 36);
  EXPECT_EQ(pix(13, 7), 1);  // node (0, 0): start of the diagonal into (1, 1)
  EXPECT_EQ(pix(0, 0), 0);

  big = 3;
  compute_keep("ACGT", "ACGT");  // only the main diagonal
  EXPECT_EQ(picture_width(Picture::graph), 64);
  for (int i = 1; i <= 4; ++i) {
    EXPECT_EQ(pix(X(i), Y(i)), 1);
    EXPECT_EQ(pix(X(i) - 4, Y(i) - 4), 1);   // on the diagonal edge
    EXPECT_EQ(pix(X(i) - 4, Y(i)), 0);       // no horizontal edge
    EXPECT_EQ(pix(X(i), Y(i) - 4), 0);       // no vertical edge
  }

  // Linear gaps, all mismatches: every edge is optimal; the longest of each
  // direction covers the node's row and column back to the border, while
  // the border edges from the origin are not drawn.
  aa = 0.0;
  bb = 1.0;
  compute_keep("AAA", "CC");
  for (int x = X(0); x <= X(3); ++x) EXPECT_EQ(pix(x, Y(2)), 1);
  for (int y = Y(0); y <= Y(2); ++y) EXPECT_EQ(pix(X(3), y), 1);
  EXPECT_EQ(pix(X(0) + 4, Y(0)), 0);
  EXPECT_EQ(pix(X(0), Y(0) + 4), 0);
}

TEST_F(DrawingTest, CirclesAndMarksAreErasedByDrawingAgain) {
  sub = 3.0;
  compute_keep("AB", "AC");
  comp = comp_o = 1;
  const auto plain = snapshot();
  computing = 5;  // the circles stop at an interrupt
  draw_single_opt_alignment();
  const auto circled = snapshot();
  EXPECT_NE(circled, plain);
  const int w = picture_width(Picture::graph);
  for (int k = 1; k <= 2; ++k)  // a ring around each node of the path, drawn exclusive-or
    EXPECT_NE(circled[size_t(Y(k) * w + X(k) - 2)], plain[size_t(Y(k) * w + X(k) - 2)]);
  draw_single_opt_alignment();
  computing = 0;
  EXPECT_EQ(snapshot(), plain);

  // A between mark: its square; the same mark again on its node leaves it;
  // deleting it restores the picture.
  mo_x = 1;
  mo_y = 2;
  ASSERT_EQ(choose_between(), MarkResult::ok);
  const auto marked = snapshot();
  EXPECT_NE(marked, plain);
  for (int y = (2 + 2) * 8 - 12; y < (2 + 2) * 8 + 12; ++y)  // the square: 3 big wide, 8 big high
    for (int x = (1 + 3) * 8 - 3; x < (1 + 3) * 8 + 6; ++x)
      EXPECT_EQ(marked[size_t(y * w + x)], 1 - plain[size_t(y * w + x)]) << x << "," << y;
  ASSERT_EQ(choose_between(), MarkResult::ok);
  EXPECT_EQ(snapshot(), marked);
  mo_x = 1;
  mo_y = 1;
  ASSERT_EQ(choose_left(), MarkResult::ok);
  EXPECT_NE(snapshot(), marked);
  delete_all();
  EXPECT_EQ(snapshot(), plain);
  // a redraw at the same size (code 4) puts the set marks back
  mo_x = 1;
  mo_y = 2;
  ASSERT_EQ(choose_between(), MarkResult::ok);
  computing = 4;
  choose_your_alignment();
  computing = 0;
  EXPECT_EQ(snapshot(), marked);
  EXPECT_EQ(markb_x, 1);
}

// Beyond 32767 pixels a side there is no picture, yet every result is there.
TEST_F(GeneralTest, OversizedPictureIsSkipped) {
  const char* name = std::getenv("VARDANE_TEST_DISPLAY");
  if (name) open_display(name);
  big = 3;
  std::string a(4100, 'A');
  EXPECT_EQ(run(a, "A"), OpResult::computed);
  EXPECT_FALSE(picture_valid(Picture::graph));
  EXPECT_EQ(wert, float(const_cost(4099)));
  EXPECT_EQ(al_seq1.len, 4100);
  EXPECT_EQ(strip(al_seq2), "A");
  EXPECT_GT(gl_opt_edges, 0u);
  mo_x = 2;
  mo_y = 1;
  EXPECT_EQ(choose_between(), MarkResult::out_of_range);  // two gaps cost more than one
  mo_x = 1;
  EXPECT_EQ(choose_between(), MarkResult::ok);  // the other optimal alignment
  EXPECT_TRUE(request_new_alignment());
  EXPECT_EQ(run_new_alignment(), NewAlignmentResult::done);
  EXPECT_EQ(strip(al_seq1), a);
  close_display();
}
