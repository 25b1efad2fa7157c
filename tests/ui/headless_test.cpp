// The platform layer without a display: what the engines and the batch tool
// rely on.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "ui/display.h"
#include "ui/notice.h"
#include "ui/picture.h"
#include "ui/progress.h"

namespace {

struct ExitCalled {};
void throwing_exit() { throw ExitCalled{}; }
bool window_gone() { return false; }

// What the progress routines drew on the summary strip and told the observer.
std::vector<std::vector<int>> fills, lines;
std::vector<std::string> texts;
std::vector<std::pair<std::string, double>> observed;

void install_recorders() {
  WindowHooks h;
  h.summary_draw = [](int x, int y, const char* t) {
    texts.push_back(std::to_string(x) + "," + std::to_string(y) + " " + t);
  };
  h.summary_fill = [](int x, int y, int w, int hh) { fills.push_back({x, y, w, hh}); };
  h.summary_line = [](int x1, int y1, int x2, int y2) { lines.push_back({x1, y1, x2, y2}); };
  set_window_hooks(h);
  set_progress_observer([](const char* t, double f) { observed.push_back({t ? t : "-", f}); });
}

class Headless : public ::testing::Test {
 protected:
  void SetUp() override {
    close_display();
    fills.clear(), lines.clear(), texts.clear(), observed.clear();
  }
  void TearDown() override {
    ui_reset();
  }
};

TEST_F(Headless, DispatchWindowTestAndProgramEnd) {
  set_dispatch_interval_ms(0);
  long before = dispatch_count();
  for (int i = 0; i < 1000; ++i) notify_dispatch();
  EXPECT_EQ(dispatch_count(), before);
  EXPECT_TRUE(main_window_shown());

  // With the main window gone the progress routines end the program:
  // show_time before drawing, show_ntime after.
  progress_reset(4);
  install_recorders();
  set_main_window_test(window_gone);
  set_exit_hook(throwing_exit);
  EXPECT_THROW(show_time(200), ExitCalled);
  EXPECT_TRUE(fills.empty());
  EXPECT_THROW(show_ntime(200), ExitCalled);
  EXPECT_EQ(fills.size(), 1u);
  EXPECT_THROW(alles_aus(), ExitCalled);
  set_main_window_test(nullptr);
  EXPECT_NO_THROW(show_ntime(400));
}

TEST_F(Headless, ProgressBar) {
  install_recorders();
  show_break_it("compute distance graph");
  EXPECT_EQ(texts, std::vector<std::string>{"10,20 Time to compute distance graph:"});
  std::vector<std::vector<int>> frame = {
      {140, 30, 340, 30}, {140, 50, 340, 50}, {140, 30, 140, 50}, {340, 30, 340, 50}};
  EXPECT_EQ(lines, frame);

  // For 4 rows one row done (200 * 1) reaches x = 190; every report fills
  // from the left end, which stays at 140.
  progress_reset(4);
  show_time(200);
  EXPECT_EQ(ber, 190);
  show_ntime(600);
  EXPECT_EQ(ber, 290);
  EXPECT_EQ(ber1, 140);
  show_time(0);  // nothing to fill
  std::vector<std::vector<int>> filled = {{140, 30, 50, 20}, {140, 30, 150, 20}};
  EXPECT_EQ(fills, filled);
  std::vector<std::pair<std::string, double>> heard = {
      {"Time to compute distance graph:", 0.0}, {"-", 0.25}, {"-", 0.75}, {"-", 0.0}};
  EXPECT_EQ(observed, heard);

  // Reports beyond the phase stop at the frame's right edge, and a phase of
  // 0 rows does not divide by zero.
  for (int mm : {0, 1, 3, 1000}) {
    progress_reset(mm);
    for (unsigned v : {1u, 199u, 201u, 1399u, 200000u, UINT_MAX}) {
      show_time(v);
      unsigned long long rows = mm > 0 ? mm : 1;
      EXPECT_EQ(ber, 140 + static_cast<int>(std::min<unsigned long long>(200, v / rows)))
          << "rows=" << mm << " v=" << v;
      EXPECT_LE(fills.back()[0] + fills.back()[2], 340);
      EXPECT_LE(observed.back().second, 1.0);
    }
  }
}

TEST_F(Headless, Notices) {
  {
    NoticeRecorder rec;
    berechnung_laeuft();
    fp_err_message();
    alignment_output_error();
    std::vector<std::pair<std::vector<std::string>, std::string>> expect = {
        {{"Not possible while computing !"}, " Sorry "},
        {{"Mathematical error during computation !"}, "Check costfunction"},
        {{"Fatal error:", "Alignment couldn't be constructed !?"}, " Wrong marks "}};
    ASSERT_EQ(rec.seen.size(), expect.size());
    for (size_t i = 0; i < expect.size(); ++i) {
      EXPECT_EQ(rec.seen[i].lines, expect[i].first);
      ASSERT_EQ(rec.seen[i].buttons.size(), 1u);
      EXPECT_EQ(rec.seen[i].buttons[0].label, expect[i].second);
      EXPECT_EQ(rec.seen[i].buttons[0].value, 1);
    }
    EXPECT_EQ(rec.seen[0].id, NoticeId::not_while_computing);
    EXPECT_EQ(rec.seen[1].id, NoticeId::math_error);
    EXPECT_EQ(rec.seen[2].id, NoticeId::alignment_not_built);

    // The recorder answers with the first button unless told otherwise;
    // a nested recorder gives the outer one back when it goes.
    NoticeRequest quit{{"Do you really want to quit ?"}, {{" Yes ", 1}, {" No  ", 0}}};
    EXPECT_EQ(notice(quit), 1);
    rec.answer = 0;
    EXPECT_EQ(notice(quit), 0);
    {
      NoticeRecorder inner;
      EXPECT_EQ(notice1("There are not enough inputs !?", " Ok ", 7), 7);
    }
    EXPECT_EQ(rec.seen.size(), 5u);
    notice1("No correct input !", " Try again ");
    EXPECT_EQ(rec.last_line(), "No correct input !");
  }

  // No responder and no display: the lines go to standard error and the
  // first button answers; no button at all answers 0.
  testing::internal::CaptureStderr();
  EXPECT_EQ(notice({{"Do you really want to", "interrupt this computation (loses data) ?"},
                    {{"Yes", 1}, {"No", 0}}}),
            1);
  EXPECT_EQ(notice({{"No correct input !"}, {}}), 0);
  EXPECT_EQ(testing::internal::GetCapturedStderr(),
            "Do you really want to\ninterrupt this computation (loses data) ?\n"
            "No correct input !\n");
}

TEST_F(Headless, PicturesAreSkipped) {
  for (Picture p : {Picture::graph, Picture::output, Picture::dot}) {
    EXPECT_FALSE(picture_new(p, 300, 56));
    EXPECT_FALSE(picture_valid(p));
    xor_color(p);
    picture_fill_rect(p, 0, 0, 10, 10);
    picture_arc(p, 0, 0, 10, 10, 0, 23040);
    picture_string(p, 20, 20, "ACGT", 4);
    EXPECT_EQ(picture_pixel(p, 0, 0), -1);
  }
}

}  // namespace
