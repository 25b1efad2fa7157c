// The platform layer without a display: what the engines and the batch tool
// rely on.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "state/state.h"
#include "ui/display.h"
#include "ui/notice.h"
#include "ui/picture.h"
#include "ui/progress.h"

namespace {

struct ExitCalled {};
void throwing_exit() { throw ExitCalled{}; }
bool window_gone() { return false; }

// What the progress routines drew on the summary strip.
struct Strip {
  std::vector<std::vector<int>> fills, lines;
  std::vector<std::string> texts;
  int clears = 0;
};
Strip strip;

struct Seen {
  std::string text;
  bool header;
  double fraction;
};
std::vector<Seen> observed;

WindowHooks recording_hooks() {
  WindowHooks h;
  h.summary_clear = [] { ++strip.clears; };
  h.summary_draw = [](int x, int y, const char* t) {
    strip.texts.push_back(std::to_string(x) + "," + std::to_string(y) + " " + t);
  };
  h.summary_fill = [](int x, int y, int w, int hh) { strip.fills.push_back({x, y, w, hh}); };
  h.summary_line = [](int x1, int y1, int x2, int y2) { strip.lines.push_back({x1, y1, x2, y2}); };
  return h;
}

class Headless : public ::testing::Test {
 protected:
  void SetUp() override {
    close_display();
    strip = Strip();
    observed.clear();
  }
  void TearDown() override {
    ui_reset();
    state_reset();
  }
};

TEST_F(Headless, DispatchWindowTestAndProgramEnd) {
  ASSERT_EQ(dpy, nullptr);
  set_dispatch_interval_ms(0);
  long before = dispatch_count();
  for (int i = 0; i < 1000; ++i) notify_dispatch();
  EXPECT_EQ(dispatch_count(), before);
  flush_display();  // nothing to flush, must not touch a display

  EXPECT_TRUE(main_window_shown());
  set_main_window_test(window_gone);
  EXPECT_FALSE(main_window_shown());

  // With the main window gone, the progress routines end the program; the
  // bar of show_time is not drawn any more, that of show_ntime is.
  m = 4;
  progress_reset();
  set_window_hooks(recording_hooks());
  set_exit_hook(throwing_exit);
  EXPECT_THROW(show_time(200), ExitCalled);
  EXPECT_TRUE(strip.fills.empty());
  EXPECT_THROW(show_ntime(200), ExitCalled);
  EXPECT_EQ(strip.fills.size(), 1u);
  EXPECT_THROW(alles_aus(), ExitCalled);

  set_main_window_test(nullptr);
  EXPECT_TRUE(main_window_shown());
  EXPECT_NO_THROW(show_time(400));
  EXPECT_NO_THROW(show_ntime(400));
}

TEST_F(Headless, ProgressBar) {
  set_window_hooks(recording_hooks());
  set_progress_observer([](const char* t, double f) {
    observed.push_back({t ? t : "", t != nullptr, f});
  });

  show_break_it("compute distance graph");
  ASSERT_EQ(strip.texts.size(), 1u);
  EXPECT_EQ(strip.texts[0], "10,20 Time to compute distance graph:");
  EXPECT_EQ(strip.clears, 1);
  // The empty frame: two horizontal and two vertical lines around 140..340 x 30..50.
  std::vector<std::vector<int>> frame = {
      {140, 30, 340, 30}, {140, 50, 340, 50}, {140, 30, 140, 50}, {340, 30, 340, 50}};
  EXPECT_EQ(strip.lines, frame);
  ASSERT_EQ(observed.size(), 1u);
  EXPECT_TRUE(observed[0].header);
  EXPECT_EQ(observed[0].text, "Time to compute distance graph:");
  EXPECT_EQ(observed[0].fraction, 0.0);

  // For m = 4 one row done (200 * 1) reaches x = 190; every report fills
  // from the left end, which stays at 140.
  m = 4;
  progress_reset();
  EXPECT_EQ(ber, 0);
  EXPECT_EQ(ber1, 140);
  show_time(200);
  EXPECT_EQ(ber, 190);
  EXPECT_EQ(ber1, 140);
  show_ntime(600);
  EXPECT_EQ(ber, 290);
  std::vector<std::vector<int>> fills = {{140, 30, 50, 20}, {140, 30, 150, 20}};
  EXPECT_EQ(strip.fills, fills);
  ASSERT_EQ(observed.size(), 3u);
  EXPECT_FALSE(observed[1].header);
  EXPECT_DOUBLE_EQ(observed[1].fraction, 0.25);
  EXPECT_DOUBLE_EQ(observed[2].fraction, 0.75);

  // Nothing done yet: no fill, the observer still hears of it.
  show_time(0);
  EXPECT_EQ(ber, 140);
  EXPECT_EQ(strip.fills.size(), 2u);
  EXPECT_DOUBLE_EQ(observed.back().fraction, 0.0);

  // Reports beyond the phase stop at the frame's right edge; m = 0 does
  // not divide by zero.
  for (int mm : {0, 1, 3, 7, 1000}) {
    m = mm;
    for (unsigned v : {0u, 1u, 199u, 200u, 201u, 1399u, 200000u, UINT_MAX}) {
      show_time(v);
      unsigned long long rows = mm > 0 ? mm : 1;
      unsigned long long expect = 140 + std::min<unsigned long long>(200, v / rows);
      EXPECT_EQ(ber, static_cast<int>(expect)) << "m=" << mm << " v=" << v;
      EXPECT_LE(strip.fills.back()[0] + strip.fills.back()[2], 340);
      EXPECT_GE(observed.back().fraction, 0.0);
      EXPECT_LE(observed.back().fraction, 1.0);
    }
  }

  // A null header text still draws the frame and "Time to :".
  show_break_it(nullptr);
  EXPECT_EQ(strip.texts.back(), "10,20 Time to :");

  summary_message(10, 20, "Plotting optimal alignment, please wait one moment ...");
  EXPECT_EQ(strip.texts.back(), "10,20 Plotting optimal alignment, please wait one moment ...");

  // Without hooks and observer the same calls only keep the arithmetic.
  ui_reset();
  size_t drawn = strip.fills.size(), heard = observed.size();
  m = 4;
  show_break_it("plot dot-matrix");
  show_ntime(400);
  EXPECT_EQ(ber, 240);
  EXPECT_EQ(strip.fills.size(), drawn);
  EXPECT_EQ(observed.size(), heard);
}

TEST_F(Headless, Notices) {
  {
    NoticeRecorder rec;
    berechnung_laeuft();
    fp_err_message();
    minus_inside();
    alignment_output_error();
    ASSERT_EQ(rec.seen.size(), 4u);
    auto expect = [&](size_t i, std::vector<std::string> lines, std::string button) {
      EXPECT_EQ(rec.seen[i].lines, lines) << i;
      ASSERT_EQ(rec.seen[i].buttons.size(), 1u) << i;
      EXPECT_EQ(rec.seen[i].buttons[0].label, button) << i;
      EXPECT_EQ(rec.seen[i].buttons[0].value, 1) << i;
    };
    expect(0, {"Not possible while computing !"}, " Sorry ");
    expect(1, {"Mathematical error during computation !"}, "Check costfunction");
    expect(2, {"Sequence contains char '-' or '>' !"}, " Delete it ");
    expect(3, {"Fatal error:", "Alignment couldn't be constructed !?"}, " Wrong marks ");
    EXPECT_EQ(rec.last_line(), "Fatal error:");

    // Two buttons: the recorder answers with the first one's value unless
    // told otherwise; the order of the buttons is kept.
    NoticeRequest quit{{"Do you really want to quit ?"}, {{" Yes ", 1}, {" No  ", 0}}};
    EXPECT_EQ(notice(quit), 1);
    EXPECT_EQ(rec.seen.back().buttons[1].label, " No  ");
    rec.answer = 0;
    EXPECT_EQ(notice(quit), 0);

    // A nested recorder takes the notices and gives the outer one back.
    {
      NoticeRecorder inner;
      EXPECT_EQ(notice1("There are not enough inputs !?", " Ok ", 7), 7);
      EXPECT_EQ(inner.seen.size(), 1u);
    }
    EXPECT_EQ(rec.seen.size(), 6u);
    notice2("Do you really want to", "interrupt this computation (loses data) ?", "Yes");
    EXPECT_EQ(rec.seen.size(), 7u);
    EXPECT_EQ(rec.seen.back().lines[1], "interrupt this computation (loses data) ?");
  }

  // No responder and no display: the lines go to standard error, the first
  // button answers; no button at all answers 0.
  testing::internal::CaptureStderr();
  int v = notice({{"Do you really want to", "interrupt this computation (loses data) ?"},
                  {{"Yes", 1}, {"No", 0}}});
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_EQ(v, 1);
  EXPECT_EQ(err, "Do you really want to\ninterrupt this computation (loses data) ?\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(notice({{"No correct input !"}, {}}), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "No correct input !\n");
}

TEST_F(Headless, PicturesAreSkipped) {
  for (Picture p : {Picture::graph, Picture::output, Picture::dot}) {
    EXPECT_FALSE(picture_new(p, 300, 56));
    EXPECT_FALSE(picture_valid(p));
    EXPECT_EQ(picture_width(p), 0);
    normal_color(p);
    reverse_color(p);
    xor_color(p);
    picture_fill_rect(p, 0, 0, 10, 10);
    picture_line(p, 0, 0, 10, 10);
    picture_rect(p, 0, 0, 10, 10);
    picture_arc(p, 0, 0, 10, 10, 0, 23040);
    picture_string(p, 20, 20, "ACGT", 4);
    EXPECT_EQ(picture_pixel(p, 0, 0), -1);
  }
  EXPECT_EQ(thePixmap, static_cast<Pixmap>(None));
  EXPECT_EQ(gcp, nullptr);
}

}  // namespace
