#include "cli/progress_bar.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "ui/progress.h"

namespace {

using Clock = std::chrono::steady_clock;
Clock::time_point g_start, g_last;
bool g_tty = false;
bool g_drawn = false;
std::string g_header;
double g_fraction = 0;

void draw() {
  auto now = Clock::now();
  if (now - g_start < std::chrono::seconds(1)) return;
  if (g_drawn && now - g_last < std::chrono::milliseconds(100)) return;
  g_last = now;
  g_drawn = true;
  const int width = 30;
  double f = g_fraction < 0 ? 0 : g_fraction > 1 ? 1 : g_fraction;
  int filled = static_cast<int>(f * width + 0.5);
  std::string bar(filled, '#');
  bar.append(width - filled, ' ');
  std::fprintf(stderr, "\r\033[K%s [%s] %3d%%", g_header.c_str(), bar.c_str(),
               static_cast<int>(f * 100 + 0.5));
  std::fflush(stderr);
}

void observe(const char* text, double fraction) {
  if (text != nullptr) {
    g_header = text;  // "Time to ...:" as the window shows it
    g_fraction = 0;
  } else {
    g_fraction = fraction;
  }
  draw();
}

}  // namespace

void progress_bar_start() {
  g_tty = isatty(2) != 0;
  g_start = Clock::now();
  g_drawn = false;
  g_header = "Computing:";
  g_fraction = 0;
  if (g_tty) set_progress_observer(observe);
}

void progress_bar_finish() {
  set_progress_observer(nullptr);
  if (g_drawn) {
    std::fprintf(stderr, "\r\033[K");
    std::fflush(stderr);
  }
  g_drawn = false;
}
