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
#include "ui/picture.h"

namespace {

std::vector<std::string> x_errors;

int record_x_error(Display* d, XErrorEvent* e) {
  char text[128];
  XGetErrorText(d, e->error_code, text, sizeof text);
  x_errors.push_back(std::string(text) + " (request " + std::to_string(e->request_code) + ")");
  return 0;
}

struct ExitCalled {};
void throwing_exit() { throw ExitCalled{}; }

using Pixels = std::set<std::pair<int, int>>;

Pixmap pixmap_of(Picture p) {
  return p == Picture::graph ? thePixmap : p == Picture::output ? the1Pixmap : the2Pixmap;
}

// All set pixels of a picture, read in one request.
Pixels set_pixels(Picture p) {
  Pixels out;
  int w = picture_width(p), h = picture_height(p);
  XImage* img = XGetImage(dpy, pixmap_of(p), 0, 0, w, h, 1, ZPixmap);
  if (!img) {
    ADD_FAILURE() << "XGetImage failed";
    return out;
  }
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
    if (dpy) {
      XSync(dpy, False);
      EXPECT_TRUE(x_errors.empty()) << x_errors.front();
    }
    ui_reset();
    close_display();
  }
  // A fresh cleared picture in normal mode.
  static void fresh(Picture p, int w, int h) {
    ASSERT_TRUE(picture_new(p, w, h));
    normal_color(p);
  }
};

TEST_F(OnDisplay, PixmapsAndSizes) {
  ASSERT_NE(dpy, nullptr);
  ASSERT_NE(gc, nullptr);
  for (Picture p : {Picture::graph, Picture::output, Picture::dot}) {
    EXPECT_TRUE(picture_valid(p));
    EXPECT_EQ(picture_width(p), 1);
    EXPECT_EQ(picture_height(p), 1);
    EXPECT_NE(pixmap_of(p), static_cast<Pixmap>(None));
  }
  EXPECT_TRUE(gcp && gcp1 && gcp2);

  // A new picture is cleared whatever the server handed out.
  ASSERT_TRUE(picture_new(Picture::output, 300, 56));
  EXPECT_EQ(picture_width(Picture::output), 300);
  EXPECT_EQ(picture_height(Picture::output), 56);
  EXPECT_TRUE(set_pixels(Picture::output).empty());
  EXPECT_EQ(picture_pixel(Picture::output, 300, 0), -1);
  EXPECT_EQ(picture_pixel(Picture::output, 0, 56), -1);
  EXPECT_EQ(picture_pixel(Picture::output, -1, 0), -1);

  // Sizes the server cannot hold are refused without an X error; the
  // picture is then invalid, drawing into it does nothing, and a blank
  // stand-in keeps the pixmap id usable for copying.
  const std::pair<int, int> bad[] = {{0, 10}, {10, 0}, {-5, 10}, {32768, 1}, {1, 32768},
                                     {100000, 100000}};
  for (auto [w, h] : bad) {
    EXPECT_FALSE(picture_new(Picture::graph, w, h)) << w << "x" << h;
    EXPECT_FALSE(picture_valid(Picture::graph));
    EXPECT_EQ(picture_width(Picture::graph), 0);
    EXPECT_EQ(picture_height(Picture::graph), 0);
    picture_fill_rect(Picture::graph, 0, 0, 10, 10);
    picture_line(Picture::graph, 0, 0, 5, 5);
    picture_string(Picture::graph, 0, 10, "A", 1);
    EXPECT_EQ(picture_pixel(Picture::graph, 0, 0), -1);
    ASSERT_NE(thePixmap, static_cast<Pixmap>(None));
    XCopyPlane(dpy, thePixmap, the1Pixmap, gcp1, 0, 0, 1, 1, 0, 0, 1);
  }
  EXPECT_TRUE(picture_new(Picture::graph, 32767, 1));
  EXPECT_EQ(picture_width(Picture::graph), 32767);
  picture_line(Picture::graph, 32766, 0, 32766, 0);
  EXPECT_EQ(picture_pixel(Picture::graph, 32766, 0), 1);

  // Replacing a picture again and again frees the old pixmap each time.
  for (int i = 1; i <= 50; ++i) ASSERT_TRUE(picture_new(Picture::dot, i, 2 * i));
  EXPECT_EQ(picture_height(Picture::dot), 100);
}

TEST_F(OnDisplay, DrawingReadBack) {
  fresh(Picture::graph, 40, 30);
  picture_line(Picture::graph, 2, 3, 12, 3);
  picture_line(Picture::graph, 5, 10, 5, 20);
  picture_line(Picture::graph, 20, 0, 29, 9);
  Pixels expect;
  for (int x = 2; x <= 12; ++x) expect.insert({x, 3});
  for (int y = 10; y <= 20; ++y) expect.insert({5, y});
  for (int i = 0; i <= 9; ++i) expect.insert({20 + i, i});
  EXPECT_EQ(set_pixels(Picture::graph), expect);
  EXPECT_EQ(picture_pixel(Picture::graph, 25, 5), 1);
  EXPECT_EQ(picture_pixel(Picture::graph, 25, 6), 0);

  // Reverse mode draws zeros: clearing a whole picture as the views do.
  reverse_color(Picture::graph);
  picture_fill_rect(Picture::graph, 0, 0, 40, 30);
  EXPECT_TRUE(set_pixels(Picture::graph).empty());
  normal_color(Picture::graph);

  // A rectangle outline covers w + 1 by h + 1 pixels, its inside stays clear.
  picture_rect(Picture::graph, 18, 5, 19, 50 - 30);
  expect.clear();
  for (int x = 18; x <= 37; ++x) expect.insert({x, 5}), expect.insert({x, 25});
  for (int y = 5; y <= 25; ++y) expect.insert({18, y}), expect.insert({37, y});
  EXPECT_EQ(set_pixels(Picture::graph), expect);

  // Filled rectangles are clipped to the picture, also far outside the
  // 16-bit range that would otherwise wrap around.
  fresh(Picture::graph, 40, 30);
  picture_fill_rect(Picture::graph, -5, -5, 8, 8);
  picture_fill_rect(Picture::graph, 35, 25, 100000, 100000);
  picture_fill_rect(Picture::graph, 70000, 0, 10, 10);
  picture_fill_rect(Picture::graph, 10, 10, 0, 5);
  picture_fill_rect(Picture::graph, 10, 10, -3, 5);
  expect.clear();
  for (int x = 0; x < 3; ++x)
    for (int y = 0; y < 3; ++y) expect.insert({x, y});
  for (int x = 35; x < 40; ++x)
    for (int y = 25; y < 30; ++y) expect.insert({x, y});
  EXPECT_EQ(set_pixels(Picture::graph), expect);

  // Shapes whose coordinates do not fit the protocol are left out instead
  // of landing, wrapped, somewhere inside the picture.
  Pixels before = set_pixels(Picture::graph);
  picture_line(Picture::graph, 0, 15, 65556, 15);
  picture_line(Picture::graph, 10, -40000, 10, 20);
  picture_rect(Picture::graph, 5, 5, -2, 4);
  picture_rect(Picture::graph, 5, 5, 70000, 4);
  picture_arc(Picture::graph, 5, 5, 10, 10, 0, 40000);
  picture_string(Picture::graph, 5, 65560, "ACGT", 4);
  EXPECT_EQ(set_pixels(Picture::graph), before);

  // A full circle: symmetric points on it are set, its centre is not, and
  // nothing falls outside its bounding box.
  fresh(Picture::dot, 40, 40);
  picture_arc(Picture::dot, 10, 10, 12, 12, 0, 23040);
  Pixels ring = set_pixels(Picture::dot);
  EXPECT_GT(ring.size(), 20u);
  for (auto [x, y] : ring) {
    EXPECT_TRUE(x >= 10 && x <= 22 && y >= 10 && y <= 22) << x << "," << y;
    EXPECT_TRUE(ring.count({32 - x, y}) && ring.count({x, 32 - y})) << x << "," << y;
  }
  for (auto pt : {std::pair{16, 10}, {16, 22}, {10, 16}, {22, 16}}) EXPECT_TRUE(ring.count(pt));
  EXPECT_EQ(picture_pixel(Picture::dot, 16, 16), 0);

  // Letters land on the baseline and to the right of x; a length beyond
  // the text stops at its end.
  fresh(Picture::output, 300, 56);
  picture_string(Picture::output, 20, 20, "ACGT", 100);
  Pixels text = set_pixels(Picture::output);
  EXPECT_GT(text.size(), 10u);
  for (auto [x, y] : text) EXPECT_TRUE(x >= 20 && x < 80 && y > 5 && y < 25) << x << "," << y;
  picture_string(Picture::output, 20, 40, nullptr, 4);
  picture_string(Picture::output, 20, 40, "A", 0);
  EXPECT_EQ(set_pixels(Picture::output), text);
}

TEST_F(OnDisplay, XorDrawnTwiceErases) {
  fresh(Picture::graph, 64, 48);
  picture_fill_rect(Picture::graph, 0, 0, 30, 48);
  picture_line(Picture::graph, 0, 40, 63, 40);
  Pixels base = set_pixels(Picture::graph);

  // The circles of the shown path and the marks are drawn once to appear
  // and once more to disappear, over set and clear pixels alike.
  xor_color(Picture::graph);
  picture_arc(Picture::graph, 24, 10, 12, 12, 0, 23040);
  picture_fill_rect(Picture::graph, 26, 30, 10, 5);
  picture_line(Picture::graph, 20, 0, 40, 20);
  Pixels drawn = set_pixels(Picture::graph);
  EXPECT_NE(drawn, base);
  EXPECT_EQ(picture_pixel(Picture::graph, 27, 31), 0);  // was set, inverted
  EXPECT_EQ(picture_pixel(Picture::graph, 33, 31), 1);  // was clear, inverted
  picture_line(Picture::graph, 20, 0, 40, 20);
  picture_fill_rect(Picture::graph, 26, 30, 10, 5);
  picture_arc(Picture::graph, 24, 10, 12, 12, 0, 23040);
  EXPECT_EQ(set_pixels(Picture::graph), base);

  // normal_color leaves exclusive-or mode again.
  normal_color(Picture::graph);
  picture_fill_rect(Picture::graph, 26, 30, 10, 5);
  picture_fill_rect(Picture::graph, 26, 30, 10, 5);
  EXPECT_EQ(picture_pixel(Picture::graph, 27, 31), 1);
  EXPECT_EQ(picture_pixel(Picture::graph, 33, 31), 1);
}

TEST_F(OnDisplay, DispatchThrottleAndDraining) {
  // Events of our own connection are read off the queue by a dispatch.
  Window w = XCreateSimpleWindow(dpy, DefaultRootWindow(dpy), 0, 0, 20, 20, 0, 0, 0);
  XSelectInput(dpy, w, StructureNotifyMask);
  XMapWindow(dpy, w);
  XSync(dpy, False);
  EXPECT_GT(XQLength(dpy), 0);
  long before = dispatch_count();
  notify_dispatch();
  EXPECT_EQ(dispatch_count(), before + 1);
  EXPECT_EQ(XPending(dpy), 0);
  XDestroyWindow(dpy, w);

  before = dispatch_count();
  for (int i = 0; i < 100; ++i) notify_dispatch();
  EXPECT_EQ(dispatch_count(), before + 100);

  // With an interval, a stream of calls dispatches at most once per
  // interval (the clock ticks coarsely, so allow one tick of slack).
  set_dispatch_interval_ms(50);
  before = dispatch_count();
  auto start = std::chrono::steady_clock::now();
  long calls = 0;
  while (std::chrono::steady_clock::now() - start < std::chrono::milliseconds(300)) {
    notify_dispatch();
    ++calls;
  }
  double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                  .count();
  long real = dispatch_count() - before;
  EXPECT_GE(real, 2);
  EXPECT_LE(real, static_cast<long>(ms / 40) + 2) << calls << " calls in " << ms << " ms";
  EXPECT_GT(calls, 100 * real);
}

// Answers the notice window from inside its own event loop, the way a user
// would: first an Escape / window close (which must not answer), then a
// press on the button labelled `press`.
struct WindowSeen {
  std::vector<std::string> lines, buttons;
  std::vector<int> button_x;
  bool shown_after_close = false;
  int tries = 0;
};
WindowSeen seen_window;
const char* to_press = nullptr;

void press_button(void*) {
  Fl_Window* w = Fl::modal();
  if (!w) {
    if (++seen_window.tries > 200) {
      std::fputs("notice window never appeared\n", stderr);
      std::_Exit(2);
    }
    Fl::repeat_timeout(0.02, press_button);
    return;
  }
  for (int i = 0; i < w->children(); ++i) {
    Fl_Widget* c = w->child(i);
    auto* b = dynamic_cast<Fl_Button*>(c);
    if (!b) continue;
    seen_window.buttons.push_back(b->label());
    seen_window.button_x.push_back(b->x());
  }
  for (int i = 0; i < w->children(); ++i) {
    Fl_Widget* c = w->child(i);
    if (!dynamic_cast<Fl_Button*>(c) && c->label()) seen_window.lines.push_back(c->label());
  }
  w->do_callback();  // what Escape and the window manager's close do
  seen_window.shown_after_close = w->shown();
  for (int i = 0; i < w->children(); ++i) {
    auto* b = dynamic_cast<Fl_Button*>(w->child(i));
    if (b && std::string(b->label()) == to_press) b->do_callback();
  }
}

TEST_F(OnDisplay, NoticeWindow) {
  seen_window = WindowSeen();
  to_press = " No  ";
  Fl::add_timeout(0.05, press_button);
  int v = notice({{"Do you really want to quit ?"}, {{" Yes ", 1}, {" No  ", 0}}});
  EXPECT_EQ(v, 0);
  EXPECT_TRUE(seen_window.shown_after_close);
  EXPECT_EQ(seen_window.lines, std::vector<std::string>{"Do you really want to quit ?"});
  EXPECT_EQ(seen_window.buttons, (std::vector<std::string>{" Yes ", " No  "}));
  ASSERT_EQ(seen_window.button_x.size(), 2u);
  EXPECT_LT(seen_window.button_x[0], seen_window.button_x[1]);

  // Two lines; '@' and '&' show as themselves rather than as FLTK markup.
  seen_window = WindowSeen();
  to_press = "&&Go";
  Fl::add_timeout(0.05, press_button);
  v = notice({{"Fatal error:", "mail@host"}, {{"Stay", 4}, {"&Go", 9}}});
  EXPECT_EQ(v, 9);
  EXPECT_EQ(seen_window.lines, (std::vector<std::string>{"Fatal error:", "mail@@host"}));

  // A responder still takes precedence over the window.
  NoticeRecorder rec;
  rec.answer = 5;
  EXPECT_EQ(notice1("There are not enough inputs !?", " Ok "), 5);
  EXPECT_EQ(rec.last_line(), "There are not enough inputs !?");
}

TEST_F(OnDisplay, ProgramEndAndReopen) {
  fresh(Picture::output, 100, 20);
  set_exit_hook(throwing_exit);
  EXPECT_THROW(alles_aus(), ExitCalled);
  // Pixmaps and GCs are gone; drawing afterwards is harmless.
  for (Picture p : {Picture::graph, Picture::output, Picture::dot}) {
    EXPECT_FALSE(picture_valid(p));
    EXPECT_EQ(pixmap_of(p), static_cast<Pixmap>(None));
    EXPECT_FALSE(picture_new(p, 10, 10));
    normal_color(p);
    picture_line(p, 0, 0, 5, 5);
  }
  EXPECT_EQ(gcp1, nullptr);
  XSync(dpy, False);

  close_display();
  EXPECT_EQ(dpy, nullptr);
  EXPECT_EQ(gc, nullptr);
  close_display();
  ASSERT_TRUE(open_test_display());
  EXPECT_TRUE(open_display(nullptr));  // already open
  fresh(Picture::output, 30, 10);
  picture_line(Picture::output, 0, 0, 29, 0);
  EXPECT_EQ(set_pixels(Picture::output).size(), 30u);
}

}  // namespace
