// The graph picture of concave results, read back from a virtual X server
// (VARDANE_TEST_DISPLAY): a redraw at code 4 draws the same picture as the
// computation, also when the computation could not draw.
#include <cstdlib>

#include "tests/concave/helpers.h"
#include "ui/picture.h"

namespace {

std::vector<int> picture_now() {
  std::vector<int> px;
  for (int y = 0; y < picture_height(Picture::graph); ++y)
    for (int x = 0; x < picture_width(Picture::graph); ++x) px.push_back(picture_pixel(Picture::graph, x, y));
  return px;
}

// What the driver does for code 4.
void redraw() {
  con_vorz = -con_vorz;
  computing = 4;
  choose_con_alignment();
  draw_single_opt_alignment();
  computing = 0;
}

}  // namespace

TEST_F(Concave, RedrawShowsTheSamePicture) {
  const char* name = std::getenv("VARDANE_TEST_DISPLAY");
  if (name == nullptr) GTEST_SKIP() << "no test display";
  big = 2;
  aa = 1.0;
  sub = 1.0;  // integer costs: many tied gaps
  std::mt19937 g(9);
  for (int round = 0; round < 12; ++round) {
    const bool full = round % 3 == 0;  // reading pixels back is slow: check a third fully
    set_seqs(random_seq(g, 6 + int(g() % 5), "AC"), random_seq(g, 4 + int(g() % 4), "AC"));
    SCOPED_TRACE(std::string(seq1.c_str()) + " / " + seq2.c_str());
    if (!open_display(name)) GTEST_SKIP() << "no test display";
    ASSERT_EQ(run_mode(6), OpResult::computed);
    const auto first = picture_now();
    ASSERT_FALSE(first.empty());
    if (full) {
      redraw();
      EXPECT_EQ(picture_now(), first);
    }
    close_display();

    // Computed without a picture: the first redraw must still draw every edge.
    ASSERT_EQ(run_mode(6), OpResult::computed);
    ASSERT_TRUE(open_display(name));
    redraw();
    EXPECT_EQ(picture_now(), first);
    if (full) {
      redraw();
      EXPECT_EQ(picture_now(), first);
    }
    close_display();
  }
}
