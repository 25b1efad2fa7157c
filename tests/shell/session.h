// What the user-like runs share: a virtual X server of their own (and
// perhaps openbox) per run, the program `vardane` started on it, and xdotool
// driving it as a user does; the runs skip when a tool is missing.
#pragma once
#include "tests/shell/shell_fixture.h"  // first: gtest before the X headers

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <FL/fl_draw.H>

#include <algorithm>
#include <chrono>
#include <thread>

namespace shell_test {

using namespace std::chrono_literals;

inline std::string app_path() { return std::string(VARDANE_BINARY_DIR) + "/vardane"; }

inline bool have(const char* tool) {
  return std::system((std::string("command -v ") + tool + " >/dev/null 2>&1").c_str()) == 0;
}

// A virtual X server (and perhaps a window manager) for one run.
class Session {
 public:
  explicit Session(bool with_wm) {
    // A display number no other session of this process or of a parallel
    // test has taken.
    static int sessions = 0;
    const int first = 200 + (getpid() * 7 + 41 * sessions++) % 600;
    for (int d = first; d < first + 200 && display_.empty(); d += 3) {
      if (access(("/tmp/.X11-unix/X" + std::to_string(d)).c_str(), F_OK) == 0) continue;
      if (access(("/tmp/.X" + std::to_string(d) + "-lock").c_str(), F_OK) == 0) continue;
      const std::string name = ":" + std::to_string(d);
      xvfb_ = spawn({"Xvfb", name, "-screen", "0", "1280x1024x24", "-nolisten", "tcp"}, false);
      for (int i = 0; i < 100 && !dpy_; ++i) {
        std::this_thread::sleep_for(50ms);
        if (waitpid(xvfb_, nullptr, WNOHANG) == xvfb_) {  // the number was taken
          xvfb_ = -1;
          break;
        }
        dpy_ = XOpenDisplay(name.c_str());
      }
      if (dpy_) display_ = name;
      else if (xvfb_ > 0) stop(xvfb_);
    }
    if (dpy_ && with_wm) {
      wm_ = spawn({"openbox", "--sm-disable"}, true);
      for (int i = 0; i < 300 && !wm_running(); ++i) std::this_thread::sleep_for(50ms);
      wm_ready_ = wm_running() && wm_manages_new_windows();
    }
    with_wm_ = with_wm;
  }
  ~Session() {
    if (app_ > 0) stop(app_);
    if (wm_ > 0) stop(wm_);
    if (dpy_) XCloseDisplay(dpy_);
    if (xvfb_ > 0) stop(xvfb_);
  }
  // The server runs and, when one was asked for, the window manager has
  // taken a window into its frame.
  bool ok() const { return dpy_ != nullptr && (!with_wm_ || wm_ready_); }
  bool wm_running() {
    Atom a = XInternAtom(dpy_, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type;
    int format;
    unsigned long n = 0, after;
    unsigned char* data = nullptr;
    XGetWindowProperty(dpy_, DefaultRootWindow(dpy_), a, 0, 1, False, AnyPropertyType, &type,
                       &format, &n, &after, &data);
    if (data) XFree(data);
    return n > 0;
  }
  // The window manager announces itself before it handles map requests, and
  // a map request that reaches it during its start-up can be lost, leaving
  // the window unmapped for good (seen with two sessions starting at once).
  // So a probe window is mapped, and mapped again every second, until the
  // manager has taken it into a frame of its own; only then does the
  // program start.
  bool wm_manages_new_windows() {
    const Window root = DefaultRootWindow(dpy_);
    XSetWindowAttributes a{};
    a.override_redirect = False;
    const Window probe = XCreateWindow(dpy_, root, 0, 0, 10, 10, 0, CopyFromParent, InputOutput,
                                       CopyFromParent, CWOverrideRedirect, &a);
    bool managed = false;
    for (int i = 0; i < 300 && !managed; ++i) {
      if (i % 20 == 0) {
        XUnmapWindow(dpy_, probe);
        XMapWindow(dpy_, probe);
        XFlush(dpy_);
      }
      std::this_thread::sleep_for(50ms);
      Window r, parent, *children = nullptr;
      unsigned int nc = 0;
      if (XQueryTree(dpy_, probe, &r, &parent, &children, &nc)) {
        managed = parent != root;
        if (children) XFree(children);
      }
    }
    XDestroyWindow(dpy_, probe);
    XSync(dpy_, False);
    return managed;
  }
  Display* dpy() { return dpy_; }

  // The program's standard error goes to `log` (kept with the screenshots).
  void start_app(const std::string& file, const std::string& log) {
    app_ = spawn({app_path(), file}, true, log);
  }
  // When something did not show: the whole screen and the windows there.
  void diagnose(const std::string& tag) {
    shot::window_png(dpy_, DefaultRootWindow(dpy_), artifacts_dir() + "/" + tag + "_screen.png");
    write_file(artifacts_dir() + "/" + tag + "_windows.txt", run("xwininfo -root -tree 2>&1"));
  }
  // Waits for the program to end; its exit status, or -1.
  int wait_app(double seconds) {
    for (double t = 0; t < seconds; t += 0.05) {
      int st;
      if (waitpid(app_, &st, WNOHANG) == app_) {
        app_ = -1;
        return WIFEXITED(st) ? WEXITSTATUS(st) : -1;
      }
      std::this_thread::sleep_for(50ms);
    }
    return -1;
  }
  pid_t app() const { return app_; }

  // A command on this display; its standard output.
  std::string run(const std::string& cmd) {
    std::string full = "DISPLAY=" + display_ + " " + cmd;
    FILE* p = popen(full.c_str(), "r");
    std::string out;
    char buf[4096];
    size_t k;
    while (p && (k = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, k);
    if (p) pclose(p);
    return out;
  }
  void xdo(const std::string& args) { run("xdotool " + args); }

  // The visible window with exactly this title, or 0 after `seconds`.
  Window find(const std::string& title, double seconds = 40) {
    for (double t = 0; t < seconds; t += 0.1) {
      std::string out = run("xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null");
      if (!out.empty()) return std::stoul(out);
      std::this_thread::sleep_for(100ms);
    }
    return 0;
  }
  bool visible(const std::string& title) { return find(title, 0.05) != 0; }
  // A visible window of the program that is none of `known` (a notice).
  Window other_window(const std::vector<Window>& known, double seconds = 10) {
    for (double t = 0; t < seconds; t += 0.1) {
      std::string out = run("xdotool search --onlyvisible --pid " + std::to_string(app_) + " 2>/dev/null");
      std::stringstream s(out);
      unsigned long w;
      while (s >> w)
        if (std::find(known.begin(), known.end(), w) == known.end() && size(w).first > 1 &&
            top_level(w))
          return w;
      std::this_thread::sleep_for(100ms);
    }
    return 0;
  }
  // A window of its own on the screen (subwindows carry no class hint).
  bool top_level(Window w) {
    XClassHint h{};
    if (!XGetClassHint(dpy_, w, &h)) return false;
    XFree(h.res_name);
    XFree(h.res_class);
    return true;
  }
  std::pair<int, int> origin(Window w) {
    Window child;
    int x = 0, y = 0;
    XTranslateCoordinates(dpy_, w, DefaultRootWindow(dpy_), 0, 0, &x, &y, &child);
    return {x, y};
  }
  std::pair<int, int> size(Window w) {
    XWindowAttributes a;
    if (!XGetWindowAttributes(dpy_, w, &a)) return {0, 0};
    return {a.width, a.height};
  }
  void click(Window w, int x, int y) {
    auto [ox, oy] = origin(w);
    xdo("mousemove " + std::to_string(ox + x) + " " + std::to_string(oy + y) + " sleep 0.1 click 1 sleep 0.2");
  }
  void drag(Window w, int x1, int x2, int y) {
    auto [ox, oy] = origin(w);
    const std::string Y = std::to_string(oy + y);
    xdo("mousemove " + std::to_string(ox + x1) + " " + Y + " sleep 0.1 mousedown 1 sleep 0.1 mousemove " +
        std::to_string(ox + (x1 + x2) / 2) + " " + Y + " sleep 0.1 mousemove " + std::to_string(ox + x2) +
        " " + Y + " sleep 0.1 mouseup 1 sleep 0.2");
  }
  std::string primary() { return run("xclip -o -selection primary 2>/dev/null"); }
  // What a window manager sends when its close button is pressed.
  void wm_close(Window w) {
    XEvent e{};
    e.xclient.type = ClientMessage;
    e.xclient.window = w;
    e.xclient.message_type = XInternAtom(dpy_, "WM_PROTOCOLS", False);
    e.xclient.format = 32;
    e.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy_, "WM_DELETE_WINDOW", False));
    e.xclient.data.l[1] = CurrentTime;
    XSendEvent(dpy_, w, False, NoEventMask, &e);
    XFlush(dpy_);
  }
  void screenshot(Window w, const std::string& name) {
    XSync(dpy_, False);
    shot::window_png(dpy_, w, artifacts_dir() + "/" + name + ".png");
  }
  // CPU seconds the program used so far.
  double cpu_seconds() {
    std::ifstream f("/proc/" + std::to_string(app_) + "/stat");
    std::string s((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    size_t p = s.rfind(')');
    if (p == std::string::npos) return 0;
    std::stringstream rest(s.substr(p + 2));
    std::string field;
    double ut = 0, st = 0;
    for (int i = 3; i <= 15 && rest >> field; ++i) {
      if (i == 14) ut = std::stod(field);
      if (i == 15) st = std::stod(field);
    }
    return (ut + st) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }

 private:
  pid_t spawn(const std::vector<std::string>& argv, bool on_display, const std::string& log = "") {
    pid_t p = fork();
    if (p == 0) {
      setpgid(0, 0);
      if (on_display) setenv("DISPLAY", display_.c_str(), 1);
      int null = open("/dev/null", O_WRONLY);
      if (null >= 0) dup2(null, 1);
      if (!log.empty()) {
        int err = open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (err >= 0) dup2(err, 2);
      }
      std::vector<char*> a;
      for (const std::string& s : argv) a.push_back(const_cast<char*>(s.c_str()));
      a.push_back(nullptr);
      execvp(a[0], a.data());
      _exit(127);
    }
    return p;
  }
  static void stop(pid_t p) {
    kill(-p, SIGTERM);
    kill(p, SIGTERM);
    for (int i = 0; i < 40; ++i) {
      if (waitpid(p, nullptr, WNOHANG) == p) return;
      std::this_thread::sleep_for(50ms);
    }
    kill(-p, SIGKILL);
    kill(p, SIGKILL);
    waitpid(p, nullptr, 0);
  }
  std::string display_;
  Display* dpy_ = nullptr;
  pid_t xvfb_ = -1, wm_ = -1, app_ = -1;
  bool wm_ready_ = false, with_wm_ = false;
};

// Where the text window shows line `k` (from 0), measured with the fonts
// of the test's own server (the same fonts as the run's).
inline int text_line_y(int k) {
  fl_font(FL_COURIER, WIDGET_FONT_SIZE + 1);
  const int lh = fl_height();
  return 110 + 3 + lh * k + lh / 2;
}

// A drag past the end of a line takes its line feed along.
inline std::string trimmed(std::string s) {
  while (!s.empty() && s.back() == '\n') s.pop_back();
  return s;
}

// The runs' fixture: skips without Xvfb, xdotool, xclip or the program.
class UserRunTest : public ShellTest {
 protected:
  void SetUp() override {
    ShellTest::SetUp();
    if (IsSkipped()) return;
    for (const char* t : {"Xvfb", "xdotool", "xclip"})
      if (!have(t)) GTEST_SKIP() << t << " is missing";
    if (access(app_path().c_str(), X_OK) != 0) GTEST_SKIP() << "vardane is not built";
  }
};

}  // namespace shell_test
