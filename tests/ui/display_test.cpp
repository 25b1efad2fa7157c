// The platform layer on a real X server (VARDANE_TEST_DISPLAY, a virtual
// one under ./test.sh); skipped without it. Pixels are read back from the
// server and compared with what the calls must have drawn.
// GoogleTest goes first: Xlib defines macros (None, Bool) that clash with it.
#include <gtest/gtest.h>

#include <X11/Xutil.h>
#include <FL/Fl.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>

#include <chrono>
#include <cstdlib>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ui/display.h"
#include "ui/notice.h"
#include "ui/picture_x.h"

namespace {

std::vector<std::string> x_errors;
int record_x_error(Display*, XErrorEvent* e) {
  x_errors.push_back("X error " + std::to_string(e->error_code) + " in request " +
                     std::to_string(e->request_code));
  return 0;
}

struct ExitCalled {};
void throwing_exit() { throw ExitCalled{}; }

using Pixels = std::set<std::pair<int, int>>;
const Picture all_pictures[] = {Picture::graph, Picture::output, Picture::dot};

Pixmap pixmap_of(Picture p) {
  return p == Picture::graph ? thePixmap : p == Picture::output ? the1Pixmap : the2Pixmap;
}

// All set pixels of a picture, read in one request.
Pixels set_pixels(Picture p) {
  Pixels out;
  int w = picture_width(p), h = picture_height(p);
  XImage* img = XGetImage(dpy, pixmap_of(p), 0, 0, w, h, 1, ZPixmap);
  if (!img) return out;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (XGetPixel(img, x, y) & 1) out.insert({x, y});
  XDestroyImage(img);
  return out;
}

// A virtual server started without -noreset resets when its last client
// leaves and refuses connections meanwhile; give it a moment.
bool open_test_display() {
  for (int attempt = 0; attempt < 40; ++attempt) {
    if (open_display(std::getenv("VARDANE_TEST_DISPLAY"))) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

class OnDisplay : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* name = std::getenv("VARDANE_TEST_DISPLAY");
    if (!name || !*name) GTEST_SKIP() << "VARDANE_TEST_DISPLAY is not set";
    ASSERT_TRUE(open_test_display());
    XSetErrorHandler(record_x_error);
    x_errors.clear();
    set_dispatch_interval_ms(0);
  }
  void TearDown() override {
    if (dpy) XSync(dpy, False);
    EXPECT_TRUE(x_errors.empty()) << x_errors.front();
    ui_reset();
    close_display();
  }
  static void fresh(Picture p, int w, int h) {
    ASSERT_TRUE(picture_new(p, w, h));
    normal_color(p);
  }
};

TEST_F(OnDisplay, PixmapsAndSizes) {
  for (Picture p : all_pictures) EXPECT_EQ(picture_width(p) * picture_height(p), 1);
  EXPECT_TRUE(gc && gcp && gcp1 && gcp2);

  // A new picture is cleared whatever memory the server handed out.
  ASSERT_TRUE(picture_new(Picture::output, 300, 56));
  EXPECT_EQ(picture_height(Picture::output), 56);
  EXPECT_TRUE(set_pixels(Picture::output).empty());
  EXPECT_EQ(picture_pixel(Picture::output, 300, 0), -1);

  // Sizes an X pixmap cannot have are refused without an X error; drawing
  // then does nothing, and a blank stand-in keeps the pixmap id copyable.
  for (auto [w, h] : {std::pair{0, 10}, {-5, 10}, {32768, 1}, {1, 32768}, {100000, 100000}}) {
    EXPECT_FALSE(picture_new(Picture::graph, w, h)) << w << "x" << h;
    EXPECT_FALSE(picture_valid(Picture::graph));
    EXPECT_EQ(picture_width(Picture::graph), 0);
    picture_fill_rect(Picture::graph, 0, 0, 10, 10);
    EXPECT_EQ(picture_pixel(Picture::graph, 0, 0), -1);
    XCopyPlane(dpy, thePixmap, the1Pixmap, gcp1, 0, 0, 1, 1, 0, 0, 1);
  }
  EXPECT_TRUE(picture_new(Picture::graph, 32767, 1));
  picture_line(Picture::graph, 32766, 0, 32766, 0);
  EXPECT_EQ(picture_pixel(Picture::graph, 32766, 0), 1);
}

TEST_F(OnDisplay, DrawingReadBack) {
  fresh(Picture::graph, 40, 30);
  picture_line(Picture::graph, 2, 3, 12, 3);
  picture_line(Picture::graph, 5, 10, 5, 20);
  picture_line(Picture::graph, 20, 0, 29, 9);
  picture_rect(Picture::graph, 30, 20, 5, 3);  // outline of 6 x 4 pixels
  Pixels expect;
  for (int x = 2; x <= 12; ++x) expect.insert({x, 3});
  for (int y = 10; y <= 20; ++y) expect.insert({5, y});
  for (int i = 0; i <= 9; ++i) expect.insert({20 + i, i});
  for (int x = 30; x <= 35; ++x) expect.insert({x, 20}), expect.insert({x, 23});
  for (int y = 20; y <= 23; ++y) expect.insert({30, y}), expect.insert({35, y});
  EXPECT_EQ(set_pixels(Picture::graph), expect);

  // Reverse mode draws zeros: the views clear a picture that way.
  reverse_color(Picture::graph);
  picture_fill_rect(Picture::graph, 0, 0, 40, 30);
  EXPECT_TRUE(set_pixels(Picture::graph).empty());
  normal_color(Picture::graph);

  // Filled rectangles are clipped to the picture, even far beyond the
  // protocol's 16 bits; other shapes that do not fit are left out rather
  // than wrapped around into the picture.
  picture_fill_rect(Picture::graph, -5, -5, 8, 8);
  picture_fill_rect(Picture::graph, 35, 25, 100000, 100000);
  picture_fill_rect(Picture::graph, 70000, 0, 10, 10);
  picture_fill_rect(Picture::graph, 10, 10, -3, 5);
  picture_line(Picture::graph, 0, 15, 65556, 15);
  picture_rect(Picture::graph, 5, 5, -2, 4);
  picture_arc(Picture::graph, 5, 5, 10, 10, 0, 40000);
  picture_string(Picture::graph, 5, 65560, "ACGT", 4);
  expect.clear();
  for (int x = 0; x < 5; ++x)
    for (int y = 0; y < 5; ++y) {
      if (x < 3 && y < 3) expect.insert({x, y});
      expect.insert({x + 35, y + 25});
    }
  EXPECT_EQ(set_pixels(Picture::graph), expect);

  // A full circle: symmetric, inside its bounding box, centre clear.
  fresh(Picture::dot, 40, 40);
  picture_arc(Picture::dot, 10, 10, 12, 12, 0, 23040);
  Pixels ring = set_pixels(Picture::dot);
  EXPECT_GT(ring.size(), 20u);
  for (auto [x, y] : ring) {
    EXPECT_TRUE(x >= 10 && x <= 22 && y >= 10 && y <= 22) << x << "," << y;
    EXPECT_TRUE(ring.count({32 - x, y}) && ring.count({x, 32 - y})) << x << "," << y;
  }
  for (auto pt : {std::pair{16, 10}, {16, 22}, {10, 16}, {22, 16}}) EXPECT_TRUE(ring.count(pt));
  EXPECT_FALSE(ring.count({16, 16}));

  // Letters stand on the baseline right of x; a length beyond the text
  // stops at its end.
  fresh(Picture::output, 300, 56);
  picture_string(Picture::output, 20, 20, "ACGT", 100);
  Pixels text = set_pixels(Picture::output);
  EXPECT_GT(text.size(), 10u);
  for (auto [x, y] : text) EXPECT_TRUE(x >= 20 && x < 80 && y > 5 && y < 25) << x << "," << y;
}

TEST_F(OnDisplay, XorDrawnTwiceErases) {
  fresh(Picture::graph, 64, 48);
  picture_fill_rect(Picture::graph, 0, 0, 30, 48);
  Pixels base = set_pixels(Picture::graph);
  xor_color(Picture::graph);
  for (int round = 0; round < 2; ++round) {
    picture_arc(Picture::graph, 24, 10, 12, 12, 0, 23040);
    picture_fill_rect(Picture::graph, 26, 30, 10, 5);
    if (round == 0) {
      EXPECT_EQ(picture_pixel(Picture::graph, 27, 31), 0);  // was set
      EXPECT_EQ(picture_pixel(Picture::graph, 33, 31), 1);  // was clear
    }
  }
  EXPECT_EQ(set_pixels(Picture::graph), base);
  normal_color(Picture::graph);  // leaves exclusive-or mode
  picture_fill_rect(Picture::graph, 26, 30, 10, 5);
  picture_fill_rect(Picture::graph, 26, 30, 10, 5);
  EXPECT_EQ(picture_pixel(Picture::graph, 27, 31), 1);
}

TEST_F(OnDisplay, DispatchThrottleAndDraining) {
  // A dispatch takes the events of our connection off the queue.
  Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 20, 20, 0, 0, 0);
  XSelectInput(dpy, w, StructureNotifyMask);
  XMapWindow(dpy, w);
  XSync(dpy, False);
  EXPECT_GT(XQLength(dpy), 0);
  long before = dispatch_count();
  for (int i = 0; i < 100; ++i) notify_dispatch();
  EXPECT_EQ(dispatch_count(), before + 100);
  EXPECT_EQ(XPending(dpy), 0);
  XDestroyWindow(dpy, w);

  // With an interval, a stream of calls dispatches at most once per
  // interval (the clock ticks coarsely: allow a tick of slack).
  set_dispatch_interval_ms(50);
  before = dispatch_count();
  auto start = std::chrono::steady_clock::now();
  auto elapsed = [&] { return std::chrono::steady_clock::now() - start; };
  long calls = 0;
  while (elapsed() < std::chrono::milliseconds(300)) notify_dispatch(), ++calls;
  double ms = std::chrono::duration<double, std::milli>(elapsed()).count();
  long real = dispatch_count() - before;
  EXPECT_GE(real, 2);
  EXPECT_LE(real, static_cast<long>(ms / 40) + 2) << calls << " calls in " << ms << " ms";
}

// Answers the notice window from its own event loop: first a window close
// (what Escape does; it must not answer), then a press on `to_press`.
std::vector<std::string> labels;
std::vector<int> button_x;
bool open_after_close = false;
const char* to_press = nullptr;

void answer_notice(void*) {
  Fl_Window* w = Fl::modal();
  if (!w) return Fl::repeat_timeout(0.02, answer_notice);
  for (int i = 0; i < w->children(); ++i) {
    labels.push_back(w->child(i)->label() ? w->child(i)->label() : "");
    if (dynamic_cast<Fl_Button*>(w->child(i))) button_x.push_back(w->child(i)->x());
  }
  w->do_callback();
  open_after_close = w->shown();
  for (int i = 0; i < w->children(); ++i)
    if (dynamic_cast<Fl_Button*>(w->child(i)) && labels[i] == to_press) w->child(i)->do_callback();
}

TEST_F(OnDisplay, NoticeWindow) {
  to_press = " No  ";
  Fl::add_timeout(0.05, answer_notice);
  EXPECT_EQ(notice({{"Do you really want to quit ?"}, {{" Yes ", 1}, {" No  ", 0}}}), 0);
  EXPECT_TRUE(open_after_close);
  EXPECT_EQ(labels, (std::vector<std::string>{"Do you really want to quit ?", " Yes ", " No  "}));
  ASSERT_EQ(button_x.size(), 2u);
  EXPECT_LT(button_x[0], button_x[1]);

  // '@' and '&' show as themselves, not as FLTK markup.
  labels.clear(), button_x.clear();
  to_press = "&&Go";
  Fl::add_timeout(0.05, answer_notice);
  EXPECT_EQ(notice({{"Fatal error:", "mail@host"}, {{"Stay", 4}, {"&Go", 9}}}), 9);
  EXPECT_EQ(labels, (std::vector<std::string>{"Fatal error:", "mail@@host", "Stay", "&&Go"}));

  NoticeRecorder rec;  // a responder still comes first
  EXPECT_EQ(notice1("There are not enough inputs !?", " Ok "), 1);
  EXPECT_EQ(rec.seen.size(), 1u);
}

TEST_F(OnDisplay, ProgramEndAndReopen) {
  fresh(Picture::output, 100, 20);
  set_exit_hook(throwing_exit);
  EXPECT_THROW(alles_aus(), ExitCalled);
  for (Picture p : all_pictures) {  // pixmaps and GCs are gone, drawing is harmless
    EXPECT_EQ(pixmap_of(p), static_cast<Pixmap>(None));
    EXPECT_FALSE(picture_new(p, 10, 10));
    picture_line(p, 0, 0, 5, 5);
  }
  EXPECT_EQ(gcp1, nullptr);
  XSync(dpy, False);
  close_display();
  EXPECT_EQ(dpy, nullptr);
  ASSERT_TRUE(open_test_display());
  fresh(Picture::output, 30, 10);
  picture_line(Picture::output, 0, 0, 29, 0);
  EXPECT_EQ(set_pixels(Picture::output).size(), 30u);
}

}  // namespace
