// Figures of the window program on an X display ($DISPLAY): start-up of
// `vardane` until its main window is mapped, the general engine at
// n = m = 2000 with the window open (real dispatch, rate-limited) against
// headless, one repaint of the graph window at n = m = 2000 "big", the
// redraw at the other size (operation 4), the small dot matrix (operation
// 2) and "Get new alignment" on a graph with many ties (operation 5), all at
// n = m = 2000, and how soon an interrupt acts after "Yes". Prints its
// figures, never fails.
//
//   bench_window [path-to-vardane]     default: vardane beside this program
#include <FL/Fl.H>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "cost/cost.h"
#include "engine/common/graph_picture.h"
#include "engine/common/marks.h"
#include "engine/common/operations.h"
#include "engine/common/results.h"
#include "engine/general/general.h"
#include "shell/shell.h"
#include "state/state.h"
#include "ui/display.h"
#include "ui/notice.h"
#include "ui/progress.h"
#include "bench/bench_util.h"

namespace {

std::string random_dna(int len, std::mt19937& rng) {
  std::string s;
  for (int i = 0; i < len; ++i) s += "ACGT"[rng() % 4];
  return s;
}

// Seconds from the start of `vardane` until its main window is mapped.
double startup(const std::string& app) {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return -1;
  XSelectInput(d, DefaultRootWindow(d), SubstructureNotifyMask);
  XSync(d, False);
  const double t0 = now();
  pid_t p = fork();
  if (p == 0) {
    execl(app.c_str(), app.c_str(), static_cast<char*>(nullptr));
    _exit(127);
  }
  double t = -1;
  while (now() - t0 < 10 && t < 0) {
    while (XPending(d)) {
      XEvent e;
      XNextEvent(d, &e);
      if (e.type != MapNotify) continue;
      char* name = nullptr;
      if (XFetchName(d, e.xmap.window, &name) && name &&
          std::strncmp(name, "Vardane:", 8) == 0)
        t = now() - t0;
      if (name) XFree(name);
    }
    usleep(200);
  }
  kill(p, SIGTERM);
  waitpid(p, nullptr, 0);
  XCloseDisplay(d);
  return t;
}

// The engine's own part of operation 1, the distance computation: from its
// progress header to the message of the marking that follows it, taken from
// the summary strip's drawing hook (called with and without a display).
double distance_start = 0, distance_end = 0;
void (*summary_draw_before)(int, int, const char*) = nullptr;
void timing_draw(int x, int y, const char* t) {
  if (std::strncmp(t, "Time to compute distance graph", 30) == 0) distance_start = now();
  if (std::strncmp(t, "Calculating all optimal solutions", 33) == 0) distance_end = now();
  if (summary_draw_before) summary_draw_before(x, y, t);
}
void time_distance_phase() {
  WindowHooks h = window_hooks();
  if (h.summary_draw == timing_draw) return;
  summary_draw_before = h.summary_draw;
  h.summary_draw = timing_draw;
  set_window_hooks(h);
}

// Operation 1 on the current sequences: the whole operation's seconds, and
// the distance computation's in *distance.
double run_general(double* distance = nullptr) {
  ms1 = String();
  ms2 = String();
  computing = 1;
  time_distance_phase();
  distance_start = distance_end = 0;
  const double t0 = now();
  run_operation(1);
  if (distance) *distance = distance_end - distance_start;
  return now() - t0;
}

// One pass of the loop for `code`, until the server has done its part.
double timed_operation(int code) {
  computing = code;
  const double t0 = now();
  run_operation(code);
  XSync(dpy, False);
  return now() - t0;
}

// Operation 4 back and forth between the two sizes; ends at the size it began with.
std::vector<double> redraws() {
  std::vector<double> t;
  for (int i = 0; i < 6; ++i) {
    big = big == 3 ? 2 : 3;
    t.push_back(timed_operation(4));
  }
  return t;
}

// Operation 5 with a between mark on the node of the optimal graph off the
// shown path nearest to each of `count` points along the diagonal (left and
// right mark at the ends); counts the requests that found no path.
std::vector<double> new_alignments(int count, const NoticeRecorder& rec, int* failed) {
  std::vector<double> t;
  *failed = 0;
  for (int k = 1; k <= count; ++k) {
    std::set<std::pair<int, int>> path;
    for (uint32_t i = 0; i + 1 < hilfs_al.length() && hilfs_al[i] != -1; i += 2)
      path.insert({hilfs_al[i], hilfs_al[i + 1]});
    const int cx = n * k / (count + 1), cy = m * k / (count + 1);
    int bx = -1, by = -1;
    for (int r = 0; r < n && bx < 0; ++r)
      for (int y = std::max(1, cy - r); y <= std::min(m, cy + r) && bx < 0; ++y)
        for (int x = std::max(1, cx - r); x <= std::min(n, cx + r); ++x)
          if (hilfs_gr(uint32_t(x), uint32_t(y)) == 1 && !path.count({x, y})) {
            bx = x, by = y;
            break;
          }
    if (bx < 0) break;
    delete_all();
    mo_x = bx, mo_y = by;
    choose_between();
    if (!request_new_alignment()) break;
    const size_t notices_before = rec.seen.size();
    const double s = now();
    run_operation(5);
    XSync(dpy, False);
    t.push_back(now() - s);
    if (rec.seen.size() != notices_before) ++*failed;
  }
  return t;
}

double interrupt_at = 0;
void press_interrupt(void*) { stop_computing(); }

}  // namespace

int main(int argc, char** argv) {
  std::string app = argc > 1 ? argv[1] : std::string(argv[0]).substr(0, std::string(argv[0]).rfind('/') + 1) + "vardane";
  std::vector<double> starts;
  for (int i = 0; i < 5; ++i) starts.push_back(startup(app));
  std::printf("start-up to main window mapped: median %.3f s (of 5; %s)\n", median(starts), app.c_str());

  if (!open_display() || !attach_toolkit()) {
    std::printf("no display: the window figures need one\n");
    return 0;
  }
  NoticeRecorder rec;
  build_windows();
  show_main_window();
  for (int i = 0; i < 50; ++i) Fl::wait(0.01);

  std::mt19937 rng(1);
  const std::string a = random_dna(2000, rng), b = random_dna(2000, rng);
  seq1 = String(a.c_str());
  seq2 = String(b.c_str());
  n = m = 2000;
  std::vector<double> with_window, headless, dist_window, dist_headless;
  for (int rep = 0; rep < 5; ++rep) {
    double d = 0;
    with_window.push_back(run_general(&d));
    dist_window.push_back(d);
    close_display();  // headless: dispatch does nothing, nothing is drawn
    headless.push_back(run_general(&d));
    dist_headless.push_back(d);
    open_display();
  }
  const double dw = median(dist_window), dh = median(dist_headless);
  std::printf("general engine n = m = 2000, distance computation: window open %.3f s, headless %.3f s, %+.1f %%\n",
              dw, dh, 100.0 * (dw - dh) / dh);
  const double ww = median(with_window), hl = median(headless);
  std::printf("  whole operation 1 (the window also draws the graph): window open %.3f s, headless %.3f s, %+.1f %%\n",
              ww, hl, 100.0 * (ww - hl) / hl);

  // The graph of the last run (big): one repaint at several scroll positions.
  run_general();
  std::vector<double> repaints;
  for (int i = 0; i < 40; ++i) {
    choose_canv->set_view_start((i * 397) % 16000, (i * 211) % 16000);
    XSync(dpy, False);
    const double t0 = now();
    choose_canv->redraw();
    XSync(dpy, False);
    repaints.push_back(now() - t0);
  }
  std::printf("graph window repaint at n = m = 2000, big (%dx%d canvas): median %.2f ms\n",
              choose_canv->width(), choose_canv->height(), 1000 * median(repaints));

  // The same results at the other size and back (operation 4).
  std::vector<double> r4 = redraws();
  std::printf("redraw at the other size (operation 4), n = m = 2000, random DNA: median %.3f s, max %.3f s\n",
              median(r4), *std::max_element(r4.begin(), r4.end()));

  // The dot matrix, small style (operation 2).
  std::vector<double> dots;
  plot_flag = 1;
  for (int i = 0; i < 5; ++i) dots.push_back(timed_operation(2));
  std::printf("dot matrix, small, n = m = 2000: median %.3f s, max %.3f s\n", median(dots),
              *std::max_element(dots.begin(), dots.end()));

  // A graph with many ties: random sequences over two letters, gaps without
  // an opening cost (a = 0), so that a mismatch ties with a gap pair.
  std::string p, q;
  for (int i = 0; i < 2000; ++i) p += "AC"[rng() % 2], q += "AC"[rng() % 2];
  seq1 = String(p.c_str());
  seq2 = String(q.c_str());
  aa = 0.0;
  for (int code : {1, 6}) {
    if (code == 6) aa = 0.5;  // the concave engine needs an opening cost above 0
    ms1 = String();
    const double tc = timed_operation(code);
    int failed = 0;
    std::vector<double> r5 = new_alignments(9, rec, &failed);
    std::vector<double> r4d = redraws();
    std::printf("%s engine, two letters, a = %g: computed in %.2f s, %llu optimal edges;\n"
                "  Get new alignment (operation 5): median %.3f s, max %.3f s (%zu requests, %d without a path);\n"
                "  redraw at the other size (operation 4): median %.3f s, max %.3f s\n",
                code == 1 ? "general" : "concave", aa, tc, static_cast<unsigned long long>(gl_opt_edges),
                median(r5), r5.empty() ? 0 : *std::max_element(r5.begin(), r5.end()), r5.size(), failed,
                median(r4d), *std::max_element(r4d.begin(), r4d.end()));
  }
  cost_reset();

  // The interrupt: from the answer "Yes" until the operation has returned.
  rec.answer = 1;
  const std::string c = random_dna(4000, rng), e = random_dna(4000, rng);
  seq1 = String(c.c_str());
  seq2 = String(e.c_str());
  n = m = 4000;
  std::vector<double> latency;
  set_notice_responder([](const NoticeRequest&) {
    interrupt_at = now();
    return 1;
  });
  for (double delay : {0.3, 0.8, 1.5}) {
    Fl::add_timeout(delay, press_interrupt);
    interrupt_at = 0;
    run_general();
    if (interrupt_at > 0) latency.push_back(now() - interrupt_at);
  }
  set_notice_responder(nullptr);
  std::printf("interrupt acts after \"Yes\": median %.1f ms, max %.1f ms (n = m = 4000, 3 runs)\n",
              1000 * median(latency), 1000 * *std::max_element(latency.begin(), latency.end()));
  return 0;
}
