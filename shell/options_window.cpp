// "Options": the global maximal piece length of inserts and deletes, the
// size of the graph and the synchronisation of the output with the graph.
// What the user chooses is pending (gl_klm, bigm, synm) until "Ok" makes it
// active (gl_kl, big, syn); "Cancel" drops it.
#include <FL/Fl_Choice.H>
#include <FL/Fl_Input.H>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "shell/shell.h"
#include "state/state.h"
#include "text/strings.h"
#include "ui/notice.h"

int gl_klm = 0;
int bigm = 3;
int synm = 1;

namespace {

std::string number_text(int v) {
  String s;
  s.with_double(v, 10);
  return s.c_str();
}

// The items show the active values, and nothing is pending.
void items_from_active() {
  gl_klm = gl_kl;
  bigm = big;
  synm = syn;
  panel_opt1->set_text(number_text(gl_kl));
  panel_big->set_value(big == 3 ? 0 : 1);
  panel_syn->set_value(syn == 1 ? 1 : 0);
}

// The piece length as typed: a whole number, not negative, and not beyond
// what an int holds.
bool take_gap_length(const char* text) {
  const String s(text);
  errno = 0;
  const long long v = s.is_integer() == 0 ? std::strtoll(text, nullptr, 10) : -1;
  if (v < 0 || v > INT_MAX || errno == ERANGE) {
    no_float();
    return false;
  }
  gl_klm = static_cast<int>(v);
  return true;
}

void cancel_options() {
  items_from_active();
  option_frame->hide();
}

}  // namespace

void build_options_window() {
  option_frame = new Frame(Frame::command, 400, 180, "Options");
  option_frame->position(240, 200);
  panel_opt1 = new TextField(option_frame, 5, 22, "  Global max. del./ins. piece-length : ", 6,
                             gap_length_proc);
  panel_big = new Choice(option_frame, 5, 50, "  Size of alignment output                    : ",
                         {"big", "small"}, alignment_size_proc);
  panel_syn = new Choice(option_frame, 5, 80, "  Alignment output synchronisation   : ",
                         {"off", "on"}, sync_proc);
  // The three boxes in one column, each label left of its box.
  Fl_Widget* boxes[] = {panel_opt1->fl(), panel_big->fl(), panel_syn->fl()};
  int column = 0;
  for (Fl_Widget* w : boxes) column = std::max(column, w->x());
  for (Fl_Widget* w : boxes) w->position(column, w->y());
  new Button(option_frame, 110, 135, 0, "Ok", option_ok_proc);
  new Button(option_frame, 240, 135, 0, "Cancel", cancel_options);
  option_frame->on_close(cancel_options);
  items_from_active();
}

void einstellung() {
  items_from_active();
  option_frame->raise();
}

void gap_length_proc(const char* text) { take_gap_length(text); }

void alignment_size_proc(int index) { bigm = index == 1 ? 2 : 3; }

void sync_proc(int index) { synm = index == 1 ? 1 : 0; }

void option_ok_proc() {
  if (computing != 0) return berechnung_laeuft();
  // A piece length typed without Return counts as entered.
  const std::string typed = panel_opt1->text();
  if (typed != number_text(gl_klm) && !take_gap_length(typed.c_str())) return;
  if (gl_kl != gl_klm) {  // the results no longer hold for the options: the next request computes
    ms1 = String();
    ms2 = String();
  }
  gl_kl = gl_klm;
  if (bigm != big) computing = 4;  // the driver draws the graph again at the new size
  big = bigm;
  const bool sync_on = syn == 0 && synm == 1;
  syn = synm;
  items_from_active();
  option_frame->hide();
  if (sync_on) out_canv->redraw();  // the graph follows the output from now on
}

void options_window_reset() {
  items_from_active();
}
