// Progress header and bar in the input summary strip.
//
// The bar's frame spans x = 140..340, y = 30..50: 200 pixels for a whole
// phase. Callers report 200 times the rows done, so the bar's right end is
// 140 + v / rows, rows being what the phase announced with progress_reset.
#include "ui/progress.h"

#include <string>

#include "ui/display.h"

int ber = 0, ber1 = 140;

namespace {

constexpr int bar_left = 140;
constexpr int bar_width = 200;
constexpr int bar_top = 30;
constexpr int bar_height = 20;

int phase_rows = 1;
ProgressObserver observer = nullptr;
WindowHooks hooks;

// Moves the bar to the reported value and fills it from its left end.
// A report beyond the whole phase (a caller counting rows of the longer
// sequence, say) stops at the frame's right edge instead of drawing past it,
// and a phase of 0 rows cannot divide by zero.
void advance_bar(unsigned v) {
  unsigned long long rows = static_cast<unsigned long long>(phase_rows);
  unsigned long long step = v / rows;
  if (step > static_cast<unsigned long long>(bar_width)) step = bar_width;
  ber = bar_left + static_cast<int>(step);
  if (ber > ber1) {
    if (hooks.summary_fill) hooks.summary_fill(ber1, bar_top, ber - ber1, bar_height);
    flush_display();
  }
  if (observer) {
    double f = static_cast<double>(v) / (static_cast<double>(bar_width) * static_cast<double>(rows));
    observer(nullptr, f < 1.0 ? f : 1.0);
  }
}

}  // namespace

void show_break_it(const char* text) {
  std::string header = "Time to ";
  if (text) header += text;
  header += ":";
  if (hooks.summary_clear) hooks.summary_clear();
  if (hooks.summary_draw) hooks.summary_draw(10, 20, header.c_str());
  if (hooks.summary_line) {
    const int right = bar_left + bar_width, bottom = bar_top + bar_height;
    hooks.summary_line(bar_left, bar_top, right, bar_top);
    hooks.summary_line(bar_left, bottom, right, bottom);
    hooks.summary_line(bar_left, bar_top, bar_left, bottom);
    hooks.summary_line(right, bar_top, right, bottom);
  }
  flush_display();
  if (observer) observer(header.c_str(), 0.0);
}

void show_time(unsigned v) {
  if (!main_window_shown()) alles_aus();
  advance_bar(v);
}

void show_ntime(unsigned v) {
  advance_bar(v);
  notify_dispatch();
  if (!main_window_shown()) alles_aus();
}

void progress_reset(int rows) {
  ber = 0;
  ber1 = bar_left;
  phase_rows = rows > 0 ? rows : 1;
}

void summary_message(int x, int y, const char* text) {
  if (hooks.summary_clear) hooks.summary_clear();
  if (hooks.summary_draw) hooks.summary_draw(x, y, text ? text : "");
  flush_display();
}

void set_progress_observer(ProgressObserver o) { observer = o; }

void set_window_hooks(const WindowHooks& h) { hooks = h; }

const WindowHooks& window_hooks() { return hooks; }
