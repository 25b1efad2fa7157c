// The main window, upper half: the frame, the top row of buttons and menus,
// the input summary strip with the progress bar, and the callbacks of the
// top row (Operation, Costfunctions, Infos, quit, interrupt).
#include <cstring>
#include <string>

#include "cost/cost_text.h"
#include "shell/bitmaps.h"
#include "shell/shell.h"
#include "state/state.h"
#include "ui/dispatch.h"
#include "ui/notice.h"
#include "ui/progress.h"
#include "views/summary.h"

namespace {

const MenuDef cost_menu_def = {
    kosten, {{"Put actual cost into text"}, {"Put sequence alphabet into text"},
             {"Insert own costfunctions"}, {"Edit predefined costfunctions", &active_function_menu}}};
const MenuDef operation_menu_def = {operation,
                                     {{"Global optimal alignment"},
                                      {"Concave: global optimal alignment"},
                                      {"Concave: short in long sequence"},
                                      {"Concave: optimal subalignment"},
                                      {"Dot matrix", &dot_menu_def}}};
const MenuDef infos_menu_def = {hilfe, {{"Info"}, {"Documentation", &documentation_menu}}};

void summary_repaint(Canvas*) { sequenz_ausgabe(); }

// The progress header and bar of the engines, on the summary strip.
void hook_clear() { summary_canv->clear(); }
void hook_draw(int x, int y, const char* t) { summary_canv->text(x, y, t); }
void hook_fill(int x, int y, int w, int h) { summary_canv->fill_rect(x, y, w, h); }
void hook_line(int x1, int y1, int x2, int y2) { summary_canv->line(x1, y1, x2, y2); }

bool same(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

}  // namespace

void install_summary_hooks() {
  WindowHooks h = window_hooks();
  h.summary_clear = hook_clear;
  h.summary_draw = hook_draw;
  h.summary_fill = hook_fill;
  h.summary_line = hook_line;
  set_window_hooks(h);
}

void build_main_window() {
  frame = new Frame(Frame::base, 660, 460, shell_windows[0].title);
  frame->position(20, 20);
  frame->min_size(650, 450);
  frame->set_icon(icon_bits, "Vardane");
  frame->on_close(beenden);  // the window manager's close asks the quit question

  // The top row, left to right.
  int x = 2;
  quit_button = new Button(frame, x, 1, 0, " Quit program ", beenden);
  x += quit_button->w() + 4;
  cost_button = new MenuButton(frame, x, 1, 0, " Costfunctions ", &cost_menu_def);
  x += cost_button->w() + 4;
  operation_button = new MenuButton(frame, x, 1, 0, " Operation ", &operation_menu_def);
  x += operation_button->w() + 4;
  options_button = new Button(frame, x, 1, 0, " Options ", einstellung);
  x += options_button->w() + 4;
  infos_button = new MenuButton(frame, x, 1, 0, " Infos ", &infos_menu_def);
  x += infos_button->w() + 35;
  inter_rupt = new Button(frame, x, 1, 0, "I.n.t.e.r.r.u.p.t", stop_computing);
  inter_rupt->hide();

  summary_canv = new Canvas(frame, 0, 25, 660, 80, summary_repaint);
  summary_canv->set_cursor(cursor2_bits, 1, 1);
  summary_canv->follow_frame(frame, true, false);
  summary_canv->on_resize(summary_repaint);
  install_summary_hooks();
}

void show_main_window() { frame->show(); }

void sequenz_ausgabe() {
  if (computing != 0 || !summary_canv) return;
  summary_canv->clear();
  SummaryPicture p = summary_picture(textsw ? textsw->file_name() : "", frame->width());
  for (const SummaryText& t : p.texts)
    summary_canv->text(t.x, t.y, t.text.substr(0, 2000));  // the window clips far earlier
  for (const SummaryLine& l : p.lines) summary_canv->line(l.x1, l.y1, l.x2, l.y2);
  flush_display();
}

void text_change() { sequenz_ausgabe(); }

void keine_eingabe() { notice1("There are not enough inputs !?", " Ok "); }
void not_implemented() { notice1("Not implemented !", " Sorry "); }

void operation(const char* label) {
  if (computing != 0) return berechnung_laeuft();
  if (n == 0 || m == 0) return keine_eingabe();
  if (same(label, "Global optimal alignment")) computing = 1;
  else if (same(label, "Concave: global optimal alignment")) computing = 6;
  else if (same(label, "Concave: short in long sequence")) computing = 7;
  else if (same(label, "Concave: optimal subalignment")) computing = 8;
  else if (same(label, "Dot matrix")) plot_flag = 2, computing = 2;
  else not_implemented();
}

void kosten(const char* label) {
  if (same(label, "Put actual cost into text")) {
    textsw->insert(cost_description_text().c_str());
  } else if (same(label, "Put sequence alphabet into text")) {
    textsw->insert(sequence_alphabet_text().c_str());
  } else if (same(label, "Insert own costfunctions")) {
    show_own_info();
    get_parameters();
    own_frame->raise();
  } else {
    not_implemented();
  }
}

void hilfe(const char* label) {
  if (same(label, "Info")) info_frame->raise();
  else not_implemented();
}

void beenden() {
  if (notice({{"Do you really want to quit ?"}, {{" Yes ", 1}, {" No  ", 0}}}) == 1) {
    computing = 0;
    finished = 1;
  }
}

void stop_computing() {
  if (notice({{"Do you really want to", "interrupt this computation (loses data) ?"},
              {{"Yes", 1}, {"No", 0}}}) == 1)
    computing = 0;
}
