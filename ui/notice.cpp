// Blocking notices and the program's standard notices.
#include "ui/notice.h"

#include <FL/Fl.H>
#include <FL/Fl_Box.H>
#include <FL/Fl_Button.H>
#include <FL/Fl_Window.H>
#include <FL/fl_draw.H>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <utility>

#include "ui/display.h"
#include "ui/widgets.h"

namespace {

NoticeResponder responder;

int first_value(const NoticeRequest& r) { return r.buttons.empty() ? 0 : r.buttons[0].value; }

struct PressState {
  bool pressed = false;
  int value = 0;
};

struct ButtonData {
  PressState* state;
  int value;
};

void button_pressed(Fl_Widget*, void* data) {
  auto* b = static_cast<ButtonData*>(data);
  b->state->value = b->value;
  b->state->pressed = true;
}

// Escape and the window manager's close do not answer a notice: only a
// button does, as with the notices the users know.
void ignore_close(Fl_Widget*, void*) {}

int notice_window(const NoticeRequest& r) {
  attach_toolkit();
  flush_display();

  std::vector<NoticeButton> buttons = r.buttons;
  if (buttons.empty()) buttons.push_back({" Ok ", 0});

  const int margin = 20, line_h = 24, button_h = 30, gap = 12, pad = 24;
  fl_font(FL_HELVETICA, FL_NORMAL_SIZE);
  int text_w = 0;
  for (const std::string& l : r.lines) {
    int w = 0, h = 0;
    std::string shown = literal_label(l, false);
    fl_measure(shown.c_str(), w, h);
    text_w = std::max(text_w, w);
  }
  std::vector<int> button_w;
  int buttons_w = 0;
  for (const NoticeButton& b : buttons) {
    int w = 0, h = 0;
    std::string shown = literal_label(b.label, true);
    fl_measure(shown.c_str(), w, h);
    button_w.push_back(std::max(w + pad, 60));
    buttons_w += button_w.back();
  }
  buttons_w += gap * static_cast<int>(buttons.size() - 1);

  int win_w = std::max(std::max(text_w, buttons_w) + 2 * margin, 240);
  int lines_h = line_h * static_cast<int>(r.lines.size());
  int win_h = margin + lines_h + (r.lines.empty() ? 0 : gap) + button_h + margin;

  PressState state;
  std::vector<ButtonData> data(buttons.size());
  Fl_Window win(win_w, win_h);
  win.callback(ignore_close);
  int y = margin;
  for (const std::string& l : r.lines) {
    auto* box = new Fl_Box(margin, y, win_w - 2 * margin, line_h);
    box->copy_label(literal_label(l, false).c_str());
    box->align(FL_ALIGN_INSIDE | FL_ALIGN_CENTER);
    y += line_h;
  }
  if (!r.lines.empty()) y += gap;
  int x = (win_w - buttons_w) / 2;
  for (size_t i = 0; i < buttons.size(); ++i) {
    auto* b = new Fl_Button(x, y, button_w[i], button_h);
    b->copy_label(literal_label(buttons[i].label, true).c_str());
    data[i] = {&state, buttons[i].value};
    b->callback(button_pressed, &data[i]);
    x += button_w[i] + gap;
  }
  win.end();
  win.set_modal();
  win.position((Fl::w() - win_w) / 2, (Fl::h() - win_h) / 2);
  win.show();
  // A bounded wait: an answer given from a timeout (no event follows it)
  // must end the loop too.
  while (!state.pressed) {
    if (!win.shown()) win.show();
    Fl::wait(0.1);
  }
  win.hide();
  Fl::check();
  return state.value;
}

}  // namespace

int notice(const NoticeRequest& r) {
  if (responder) return responder(r);
  if (!dpy) {
    for (const std::string& l : r.lines) std::fprintf(stderr, "%s\n", l.c_str());
    return first_value(r);
  }
  return notice_window(r);
}

int notice1(const std::string& line, const std::string& button, int value, NoticeId id) {
  return notice({{line}, {{button, value}}, id});
}

int notice2(const std::string& line1, const std::string& line2, const std::string& button,
            int value, NoticeId id) {
  return notice({{line1, line2}, {{button, value}}, id});
}

NoticeResponder set_notice_responder(NoticeResponder r) {
  NoticeResponder old = std::move(responder);
  responder = std::move(r);
  return old;
}

NoticeRecorder::NoticeRecorder() {
  previous = set_notice_responder([this](const NoticeRequest& r) {
    seen.push_back(r);
    return answer >= 0 ? answer : first_value(r);
  });
}

NoticeRecorder::~NoticeRecorder() { set_notice_responder(std::move(previous)); }

std::string NoticeRecorder::last_line() const {
  if (seen.empty() || seen.back().lines.empty()) return "";
  return seen.back().lines.front();
}

void berechnung_laeuft() {
  notice1("Not possible while computing !", " Sorry ", 1, NoticeId::not_while_computing);
}

void fp_err_message() {
  notice1("Mathematical error during computation !", "Check costfunction", 1, NoticeId::math_error);
}

void alignment_output_error() {
  notice2("Fatal error:", "Alignment couldn't be constructed !?", " Wrong marks ", 1,
          NoticeId::alignment_not_built);
}

void no_float() { notice1("No correct input !", " Try again "); }
