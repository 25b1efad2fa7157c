// The window program's windows, built once per test program on the test
// display (VARDANE_TEST_DISPLAY; the tests skip without it), with the main
// window shown. Each test starts from the program's start state.
#pragma once
#include <gtest/gtest.h>

#include <FL/Fl.H>
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>
#include <FL/x.H>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "shell/shell.h"
#include "state/state.h"
#include "tests/support/program_reset.h"
#include "tests/support/screenshot.h"
#include "ui/display.h"
#include "ui/notice.h"
#include "ui/selection.h"

namespace shell_test {

inline bool windows_built() {
  static int state = -1;
  if (state < 0) {
    state = 0;
    const char* name = std::getenv("VARDANE_TEST_DISPLAY");
    if (name && *name && open_display(name) && attach_toolkit()) {
      build_windows();
      show_main_window();
      wait_until([] { return frame->xid() != 0; }, 5);
      Fl::flush();
      state = 1;
    }
  }
  return state == 1;
}

// Dispatches events for a while (lets windows map and repaint).
inline void settle(double seconds = 0.15) {
  XSync(fl_display, False);
  wait_until([] { return false; }, seconds);
  XSync(fl_display, False);
}

inline bool viewable(Window w) {
  XWindowAttributes a;
  return w && XGetWindowAttributes(fl_display, w, &a) && a.map_state == IsViewable;
}

// Drawing into a window that is not mapped yet is lost: waits until the
// canvas shows, then repaints it.
inline void repaint_when_viewable(Canvas* c) {
  wait_until([c] { return viewable(c->xid()); }, 5);
  settle(0.05);
  c->redraw();
  XSync(fl_display, False);
}

// Set pixels of the canvas's window in [x0, x1) x [y0, y1); -1 when it
// cannot be read.
inline int ink(Canvas* c, int x0, int x1, int y0, int y1) {
  XImage* img = XGetImage(fl_display, c->xid(), 0, 0, c->width(), c->height(), AllPlanes, ZPixmap);
  if (!img) return -1;
  int k = 0;
  const unsigned long black = BlackPixel(fl_display, DefaultScreen(fl_display));
  for (int y = std::max(0, y0); y < std::min(c->height(), y1); ++y)
    for (int x = std::max(0, x0); x < std::min(c->width(), x1); ++x) k += XGetPixel(img, x, y) == black;
  XDestroyImage(img);
  return k;
}

inline std::string artifacts_dir() {
  std::string d = std::string(VARDANE_BINARY_DIR) + "/test-artifacts";
  mkdir(d.c_str(), 0755);
  return d;
}

// A PNG of the frame as it shows now, for people to look at.
inline void screenshot(Frame* f, const std::string& name) {
  settle();
  if (f->xid()) shot::window_png(fl_display, f->xid(), artifacts_dir() + "/" + name + ".png");
}

inline std::string read_file(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

inline std::string temp_path(const std::string& name) {
  const char* t = std::getenv("TMPDIR");
  return std::string(t && *t ? t : "/tmp") + "/vardane-test-" + std::to_string(getpid()) + "-" + name;
}

inline void write_file(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// Typing into a field and Return; choosing an item of a choice.
inline void enter(Fl_Input* field, const std::string& text) {
  field->value(text.c_str());
  field->do_callback();
}
inline void pick(Choice* c, int index) {
  c->set_value(index);
  c->fl()->do_callback();
}

// How many distance computations ran: set_progress_observer(count_phases)
// counts their progress headers.
inline int distance_phases = 0;
inline void count_phases(const char* text, double) {
  if (text && std::string(text) == "Time to compute distance graph:") ++distance_phases;
}

// The selection as a user makes it: the program holds PRIMARY with the text.
inline void select_text(const std::string& t) { own_primary_selection(t); }

class ShellTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!windows_built()) GTEST_SKIP() << "no test display (VARDANE_TEST_DISPLAY)";
    reset_program();
    set_dispatch_interval_ms(0);
  }
  void TearDown() override {
    if (frame) {
      reset_program();
      settle(0.02);
    }
  }
  // Reads both sequences through the selection and the Get buttons.
  static void read_sequences(const std::string& a, const std::string& b) {
    select_text(a);
    get_seq1();
    select_text(b);
    get_seq2();
  }
  // Chooses an Operation item and runs the loop's pass for it.
  static void choose_operation(const char* item) {
    ASSERT_TRUE(operation_button->choose(item)) << item;
    if (computing >= 1 && computing <= 8) run_operation(computing);
    settle(0.05);
  }
};

}  // namespace shell_test
