// Display connection, event dispatch, main-window test and program end.
#include "ui/display.h"

#include <FL/Fl.H>
#include <FL/x.H>
#include <time.h>

#include <cstdio>
#include <cstdlib>

#include "ui/picture.h"
#include "ui/progress.h"

Display* dpy = nullptr;
GC gc = nullptr;

namespace {

constexpr long long default_interval_ns = 5'000'000;  // 5 ms between real dispatches

long long interval_ns = default_interval_ns;
long long last_dispatch_ns = 0;
bool dispatched_before = false;
long real_dispatches = 0;

bool (*main_window_test)() = nullptr;
void (*exit_hook)() = nullptr;

// The connection FLTK was given. FLTK keeps state tied to it (atoms, its
// message window, the input method, fonts), so once handed over it is never
// closed: close_display only lets go of it and open_display takes it back.
Display* toolkit_connection = nullptr;

// A coarse monotonic clock: read from the vDSO, no system call, resolution of
// a timer tick (1 to 4 ms), which is all the throttle needs.
long long coarse_now_ns() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC_COARSE, &t);
  return static_cast<long long>(t.tv_sec) * 1'000'000'000LL + t.tv_nsec;
}

// Xlib's default error handler ends the process. A stray request error must
// not cost the user the results on screen, so it is reported and ignored.
int report_x_error(Display* d, XErrorEvent* e) {
  char text[256];
  XGetErrorText(d, e->error_code, text, sizeof text);
  std::fprintf(stderr, "X error: %s (request %d, resource 0x%lx)\n", text,
               static_cast<int>(e->request_code), e->resourceid);
  return 0;
}

// Installs report_x_error unless somebody (a test, the toolkit) already put a
// handler of their own in place.
void install_x_error_handler() {
  XErrorHandler current = XSetErrorHandler(nullptr);  // now Xlib's default
  XErrorHandler xlib_default = XSetErrorHandler(current);
  if (current == xlib_default) XSetErrorHandler(report_x_error);
}

void drain_xlib_events() {
  XEvent ev;
  while (XPending(dpy) > 0) XNextEvent(dpy, &ev);
}

void dispatch_now() {
  ++real_dispatches;
  Fl::check();
  // Events of a connection FLTK does not read would pile up in Xlib's queue.
  if (dpy && dpy != fl_display) drain_xlib_events();
}

}  // namespace

bool open_display(const char* name) {
  if (dpy) return true;
  if (toolkit_connection) {
    dpy = toolkit_connection;
  } else {
    dpy = XOpenDisplay(name);
    if (!dpy) return false;
  }
  install_x_error_handler();
  gc = DefaultGC(dpy, DefaultScreen(dpy));
  pictures_create();
  return true;
}

void close_display() {
  if (!dpy) return;
  pictures_free();
  if (dpy == toolkit_connection) {
    XFlush(dpy);
  } else {
    XCloseDisplay(dpy);
  }
  dpy = nullptr;
  gc = nullptr;
}

bool attach_toolkit() {
  if (!dpy) return false;
  if (fl_display == dpy) return true;
  if (fl_display) return false;  // FLTK already runs on a connection of its own
  fl_open_display(dpy);
  toolkit_connection = dpy;
  return true;
}

void notify_dispatch() {
  if (!dpy) return;
  long long now = coarse_now_ns();
  if (dispatched_before && now - last_dispatch_ns < interval_ns) return;
  dispatched_before = true;
  last_dispatch_ns = now;
  dispatch_now();
}

void set_dispatch_interval_ms(int ms) {
  interval_ns = ms > 0 ? static_cast<long long>(ms) * 1'000'000LL : 0;
}

long dispatch_count() { return real_dispatches; }

bool main_window_shown() { return main_window_test ? main_window_test() : true; }

void set_main_window_test(bool (*shown)()) { main_window_test = shown; }

void alles_aus() {
  pictures_free();
  if (dpy) XFlush(dpy);
  if (exit_hook) {
    exit_hook();
    // A hook must leave by throwing or jumping; returning here would carry on
    // inside an engine that believes the program has ended.
    std::fputs("alles_aus: the exit hook returned\n", stderr);
    std::abort();
  }
  std::exit(0);
}

void set_exit_hook(void (*hook)()) { exit_hook = hook; }

void flush_display() {
  if (dpy) XFlush(dpy);
}

void ui_reset() {
  interval_ns = default_interval_ns;
  dispatched_before = false;
  last_dispatch_ns = 0;
  main_window_test = nullptr;
  exit_hook = nullptr;
  set_progress_observer(nullptr);
  set_window_hooks(WindowHooks());
  progress_reset(1);
}
