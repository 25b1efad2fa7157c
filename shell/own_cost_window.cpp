// "Own insert/delete costfunction": the window of the own gap cost formula,
// opened from " Costfunctions " → "Insert own costfunctions". Its status line
// shows the active own formula; its formula field takes the pending formula
// (own_funcm), checked as the cost description reader checks one, and its
// substitution and match fields are those of the predefined-function window
// (cost_window.cpp). "Ok" makes the own formula the active gap cost.
#include <string>

#include "cost/cost.h"
#include "cost/cost_text.h"
#include "cost/own.h"
#include "shell/shell.h"
#include "state/state.h"
#include "ui/notice.h"

namespace {

// The status line shows at most this many characters of the formula.
constexpr int kShownFormula = 30;

void cancel_own() { own_frame->hide(); }

void repaint_own_info(Canvas*) { show_own_info(); }

}  // namespace

void build_own_cost_window() {
  own_frame = new Frame(Frame::command, 400, 166, "Own insert/delete costfunction");
  own_frame->position(180, 180);
  mess1_canv = new Canvas(own_frame, 5, 30, 390, 24, repaint_own_info);
  panel_o = new TextField(own_frame, 5, 60, "  Costfunction (k)= ", 30, owncost_proc);
  panel_o->set_max_chars(80);  // the formula window of a cost description
  panel_s2 = new TextField(own_frame, 5, 85, "  Substitutions:      ", 20, sub_proc);
  panel_ma2 = new TextField(own_frame, 5, 110, "  Match             :      ", 20, match_proc);
  line_up({panel_o, panel_s2, panel_ma2});
  new Button(own_frame, 110, 135, 0, "Ok", ownok_proc);
  new Button(own_frame, 240, 135, 0, "Cancel", cancel_own);
}

std::string own_status_line() {
  std::string s = "Your costfunction is ";
  const std::string f = own_func.c_str();
  if (f.empty()) s += "(empty)";
  else if (f.size() > kShownFormula) s += f.substr(0, kShownFormula) + "...";
  else s += f;
  return s;
}

void show_own_info() {
  mess1_canv->clear();
  mess1_canv->text(10, 17, own_status_line());
}

void syntax_err() {
  CostReadResult r;
  r.notice = CostNotice::syntax_error;
  notice1(cost_notice_text(r).c_str(), " Try again ");
}

// The formula as typed (blanks are not removed), with the check of a cost
// description's own formula.
void owncost_proc(const char* text) {
  const String v(text);
  if (!own_formula_ok(v)) {
    own_funcm = String();
    syntax_err();
    return;
  }
  own_funcm = v;
}

void ownok_proc() {
  if (computing != 0) return berechnung_laeuft();
  if (own_funcm.length() == 0) return;
  if (own_func != own_funcm || func != 0 || sub != subm || mat != matm) {
    ms1 = String();
    ms2 = String();
  }
  own_func = own_funcm;
  sub = subm;
  func = 0;
  mat = matm;
  compress_function();
  show_own_info();
  sequenz_ausgabe();
  if (cost_frame->shown()) {
    get_parameters();
    cost_frame->raise();
  }
}
