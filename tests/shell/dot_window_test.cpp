// "Dot matrix": the styles and their sizes, the automatic choice at its
// boundary, every dot against the sequences, the window raised or not, the
// interrupt, refusals, and pictures beyond the 32767 pixels of a pixmap.
#include "tests/shell/shell_fixture.h"

#include <X11/Xutil.h>

#include <random>

#include "ui/picture.h"
#include "ui/picture_x.h"
#include "ui/progress.h"

namespace shell_test {
namespace {

using Lines = std::vector<std::string>;

std::string random_text(int len, unsigned seed, const char* alphabet = "ACGT") {
  std::mt19937 g(seed);
  std::string s;
  const size_t k = std::char_traits<char>::length(alphabet);
  for (int i = 0; i < len; ++i) s += alphabet[g() % k];
  return s;
}

// Chooses the style from the Dot matrix menu and runs the loop's pass.
void plot(const char* style) {
  ASSERT_TRUE(operation_button->choose(style)) << style;
  ASSERT_EQ(computing, 2);
  run_operation(2);
}

// The whole dot matrix pixmap, read back.
struct Bits {
  XImage* img;
  Bits() {
    img = XGetImage(fl_display, the2Pixmap, 0, 0, picture_width(Picture::dot),
                    picture_height(Picture::dot), 1, ZPixmap);
  }
  ~Bits() {
    if (img) XDestroyImage(img);
  }
  bool at(int x, int y) const { return XGetPixel(img, x, y) & 1; }
  int ink(int x0, int y0, int x1, int y1) const {  // set pixels in [x0, x1) x [y0, y1)
    int k = 0;
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) k += at(x, y);
    return k;
  }
};

// Every small dot (i, j) is set exactly when the letters are equal, as 2 x 2
// pixels; with `origin` the picture pixel of the pixmap's corner (a tile).
void expect_small_dots(const std::string& a, const std::string& b, int rows, int ox = 0,
                       int oy = 0) {
  Bits p;
  ASSERT_NE(p.img, nullptr);
  int wrong = 0, dots = 0;
  const int w = picture_width(Picture::dot), h = picture_height(Picture::dot);
  for (int y = std::max(17, oy); y < oy + h; ++y)
    for (int x = ox; x < ox + w; ++x) {
      const int i = (x - 20) / 2, j = (y - 15) / 2;
      const bool want = x >= 22 && i <= int(a.size()) && j >= 1 && j <= rows && a[i - 1] == b[j - 1];
      dots += want;
      wrong += want != p.at(x - ox, y - oy);
    }
  EXPECT_EQ(wrong, 0);
  EXPECT_GT(dots, 0);
}

std::vector<std::string> headers;
void note_header(const char* text, double) {
  if (text) headers.push_back(text);
}

TEST_F(ShellTest, DotMatrixStylesAndSizes) {
  NoticeRecorder rec;
  EXPECT_EQ(operation_button->item_labels().size(), 8u);
  read_sequences(random_text(100, 1), random_text(50, 2));
  headers.clear();
  set_progress_observer(note_header);
  plot("small");
  EXPECT_EQ(headers, Lines{"Time to plot dot-matrix:"});
  EXPECT_EQ(picture_width(Picture::dot), 300);
  EXPECT_EQ(picture_height(Picture::dot), 150);
  EXPECT_EQ(canvas1->scroll_width(), 300);
  EXPECT_TRUE(plot_frame->shown());
  EXPECT_EQ(computing, 0);
  EXPECT_FALSE(inter_rupt->visible());
  expect_small_dots(seq1.c_str(), seq2.c_str(), m);
  screenshot(plot_frame, "dot_matrix_small");

  // "automatic": up to 400 letters together the big style, beyond the small one.
  read_sequences(random_text(250, 3), random_text(150, 4));
  plot("automatic");
  EXPECT_EQ(picture_width(Picture::dot), 2050);
  EXPECT_EQ(picture_height(Picture::dot), 1850);
  read_sequences(random_text(251, 3), random_text(150, 4));
  plot("automatic");
  EXPECT_EQ(picture_width(Picture::dot), 552);
  EXPECT_EQ(picture_height(Picture::dot), 350);
  expect_small_dots(seq1.c_str(), seq2.c_str(), m);
  // " Operation " → "Dot matrix" itself asks for the automatic style.
  plot_flag = 0;
  operation("Dot matrix");
  EXPECT_EQ(plot_flag, 2);
  EXPECT_EQ(computing, 2);
  run_operation(2);
  EXPECT_EQ(picture_width(Picture::dot), 552);

  // Big: a '*' in the cell of every equal pair and nowhere else, the grid,
  // and the letters of both sequences along the top and the left.
  const std::string a = "ACGTTGCAAC", b = "CAGTA";
  read_sequences(a, b);
  plot("big");
  EXPECT_EQ(picture_width(Picture::dot), 8 * 10 + 50);
  EXPECT_EQ(picture_height(Picture::dot), 12 * 5 + 50);
  Bits p;
  ASSERT_NE(p.img, nullptr);
  for (int j = 1; j <= 5; ++j)
    for (int i = 1; i <= 10; ++i) {
      const int star = p.ink(8 * i + 21, 12 * j + 3, 8 * i + 27, 12 * j + 14);
      if (a[i - 1] == b[j - 1]) EXPECT_GT(star, 3) << i << "," << j;
      else EXPECT_EQ(star, 0) << i << "," << j;
      EXPECT_TRUE(p.at(8 * i + 27, 12 * j + 8));   // vertical grid line
      EXPECT_TRUE(p.at(8 * i + 24, 12 * j + 14));  // horizontal grid line
    }
  EXPECT_GT(p.ink(28, 2, 8 * 10 + 28, 13), 20);   // the letters of sequence 1
  EXPECT_GT(p.ink(10, 16, 17, 12 * 5 + 14), 10);  // those of sequence 2
  EXPECT_TRUE(rec.seen.empty());
  screenshot(plot_frame, "dot_matrix_big");
}

// Presses the interrupt button once the first row is drawn.
void interrupt_plot(void*) {
  if (computing == 2 && ber >= 140 && inter_rupt->visible()) inter_rupt->press();
}

TEST_F(ShellTest, DotMatrixInterruptAndRefusals) {
  NoticeRecorder rec;
  rec.answer = 1;
  // The style items do not ask for two sequences: an empty one gives a
  // matrix without dots.
  select_text("ACGT");
  get_seq1();
  plot("small");
  EXPECT_TRUE(rec.seen.empty());
  EXPECT_EQ(picture_width(Picture::dot), 300);
  EXPECT_EQ(picture_height(Picture::dot), 50);
  {
    Bits p;
    EXPECT_EQ(p.ink(0, 17, 300, 50), 0);
  }

  plot_frame->hide();
  read_sequences(random_text(3000, 5), random_text(3000, 6));
  Fl::add_check(interrupt_plot);
  plot("small");
  Fl::remove_check(interrupt_plot);
  ASSERT_EQ(rec.seen.size(), 1u);
  EXPECT_EQ(rec.seen[0].lines, (Lines{"Do you really want to", "interrupt this computation (loses data) ?"}));
  EXPECT_FALSE(plot_frame->shown());  // not raised
  EXPECT_EQ(computing, 0);
  EXPECT_FALSE(inter_rupt->visible());
  // The rows drawn so far stay; the rest is empty.
  {
    Bits p;
    ASSERT_NE(p.img, nullptr);
    EXPECT_GT(p.ink(22, 17, 6022, 19), 100);
    EXPECT_EQ(p.ink(0, 2 * 3000 + 15, 6050, 2 * 3000 + 17), 0);
  }

  // A '-' or '>' in a sequence refuses the plot.
  rec.seen.clear();
  read_sequences("AC-GT", "ACGT");
  plot("automatic");
  ASSERT_EQ(rec.seen.size(), 1u);
  EXPECT_EQ(rec.seen[0].lines, Lines{"Sequence contains char '-' or '>' !"});
  EXPECT_EQ(rec.seen[0].buttons[0].label, " Delete it ");
  EXPECT_FALSE(plot_frame->shown());
  EXPECT_EQ(computing, 0);

  // Not while another operation runs.
  rec.seen.clear();
  computing = 1;
  EXPECT_TRUE(operation_button->choose("big"));
  EXPECT_EQ(computing, 1);
  EXPECT_EQ(rec.last_line(), "Not possible while computing !");
  computing = 0;
}

// Beyond 32767 pixels a side the pixmap holds a tile around the view; the
// window shows the same picture wherever it is scrolled.
TEST_F(ShellTest, DotMatrixBeyondOnePixmap) {
  NoticeRecorder rec;
  struct Case {
    const char* style;
    int n1, n2;
    long w, h;
  };
  for (const Case& c : {Case{"small", 20000, 40, 40050, 130}, Case{"big", 4100, 3, 32850, 86},
                        Case{"big", 12, 3000, 146, 36050}, Case{"small", 17000, 17000, 34050, 34050}}) {
    SCOPED_TRACE(std::string(c.style) + " " + std::to_string(c.n1) + " x " + std::to_string(c.n2));
    read_sequences(random_text(c.n1, 7), random_text(c.n2, 8));
    plot(c.style);
    EXPECT_TRUE(rec.seen.empty());
    ASSERT_TRUE(picture_valid(Picture::dot));
    EXPECT_EQ(canvas1->scroll_width(), c.w);
    EXPECT_EQ(canvas1->scroll_height(), c.h);
    EXPECT_LE(picture_width(Picture::dot), 32767);
    EXPECT_LE(picture_height(Picture::dot), 32767);
    ASSERT_TRUE(plot_frame->shown());
    // Far right and bottom, then back at the start: the window holds what a
    // picture of the whole would show there.
    for (int k = 0; k < 2; ++k) {
      canvas1->set_view_start(k == 0 ? 1 << 30 : 0, k == 0 ? 1 << 30 : 0);
      repaint_when_viewable(canvas1);
      const int sx = canvas1->clamped_x(), sy = canvas1->clamped_y();
      EXPECT_EQ(sx, k == 0 ? std::max<long>(0, c.w - canvas1->width()) : 0);
      if (std::string(c.style) == "small") {
        expect_small_dots(seq1.c_str(), seq2.c_str(), m, canvas1->origin_x(), canvas1->origin_y());
        XImage* win = XGetImage(fl_display, canvas1->xid(), 0, 0, canvas1->width(), canvas1->height(),
                                AllPlanes, ZPixmap);
        ASSERT_NE(win, nullptr);
        Bits p;
        int wrong = 0;
        const unsigned long black = BlackPixel(fl_display, DefaultScreen(fl_display));
        for (int y = 0; y < canvas1->height() && sy + y < c.h; ++y)
          for (int x = 0; x < canvas1->width() && sx + x < c.w; ++x)
            wrong += p.at(sx + x - canvas1->origin_x(), sy + y - canvas1->origin_y()) !=
                     (XGetPixel(win, x, y) == black);
        XDestroyImage(win);
        EXPECT_EQ(wrong, 0);
      }
    }
  }
  screenshot(plot_frame, "dot_matrix_beyond_one_pixmap");
}

}  // namespace
}  // namespace shell_test
