// "Insert/Delete costfunction": the window of the predefined gap cost
// functions, opened from " Costfunctions " → "Edit predefined costfunctions"
// → "Active function" or a function's name. Its status line names the
// function chosen there (func_c); its fields take the pending parameters
// a..d and the pending scores, which "Ok" commits. The fields of both cost
// windows are written here (get_parameters), and the substitution and match
// fields of both windows share their procedures and pending values.
#include <string>

#include "cost/cost.h"
#include "cost/cost_text.h"
#include "cost/own.h"
#include "shell/shell.h"
#include "state/state.h"
#include "ui/notice.h"

namespace {

void cancel_cost() { cost_frame->hide(); }

void repaint_cost_info(Canvas*) { show_cost_info(); }

// Takes a number typed into a field as the pending value, or refuses it
// with "No correct input !" and keeps the pending value.
void take_number(const char* text, double* pending, bool score) {
  double v;
  const String t(text);
  if (score ? cost_score_number(t, &v) : cost_parameter_number(t, &v)) *pending = v;
  else no_float();
}

std::string field_number(double v) { return cost_number_text(v).c_str(); }
std::string field_score(double v) { return v == TABLE_MARKER ? " table" : field_number(v); }

}  // namespace

const MenuDef active_function_menu = {
    cost_menu,
    {{"Active function"}, {func_text[0]}, {func_text[1]}, {func_text[2]}, {func_text[3]},
     {func_text[4]}, {func_text[5]}, {func_text[6]}, {func_text[7]}}};

void build_cost_window() {
  cost_frame = new Frame(Frame::command, 400, 246, "Insert/Delete costfunction");
  cost_frame->position(150, 150);
  mess_canv = new Canvas(cost_frame, 5, 30, 390, 24, repaint_cost_info);
  struct Field {
    TextField** field;
    const char* label;
    TextAction proc;
  };
  const Field fields[] = {{&panel_a, "     Parameter a is ", a_proc},
                          {&panel_b, "     Parameter b is ", b_proc},
                          {&panel_c, "     Parameter c is ", c_proc},
                          {&panel_d, "     Parameter d is ", d_proc},
                          {&panel_s1, "     Substitutions: ", sub_proc},
                          {&panel_ma1, "     Match             : ", match_proc}};
  std::vector<TextField*> column;
  int y = 60;
  for (const Field& f : fields) {
    *f.field = new TextField(cost_frame, 5, y, f.label, 20, f.proc);
    column.push_back(*f.field);
    y += WIDGET_HEIGHT + 3;
  }
  line_up(column);
  new Button(cost_frame, 110, 215, 0, "Ok", parok_proc);
  new Button(cost_frame, 240, 215, 0, "Cancel", cancel_cost);
}

std::string cost_status_line() {
  std::string s = "Costfunction is ";
  if (func_c >= 1 && func_c <= 8) s += func_text[func_c - 1];
  else s += "(empty)";
  return s;
}

void show_cost_info() {
  mess_canv->clear();
  mess_canv->text(95, 17, cost_status_line());
}

void cost_menu(const char* label) {
  func_c = func;
  const std::string l = std::string(label).substr(0, 23);
  for (int i = 0; i < 8; ++i)
    if (l == func_text[i]) func_c = static_cast<signed char>(i + 1);
  show_cost_info();
  get_parameters();
  cost_frame->raise();
}

void get_parameters() {
  panel_a->set_text(field_number(aa));
  panel_b->set_text(field_number(bb));
  panel_c->set_text(field_number(cc));
  panel_d->set_text(field_number(dd));
  for (TextField* f : {panel_s1, panel_s2}) f->set_text(field_score(sub));
  for (TextField* f : {panel_ma1, panel_ma2}) f->set_text(field_score(mat));
  panel_o->set_text(own_func.c_str());
}

void refresh_cost_windows() {
  get_parameters();
  if (cost_frame->shown()) {
    show_cost_info();
    cost_frame->raise();
  }
  if (own_frame->shown()) {
    show_own_info();
    own_frame->raise();
  }
}

void a_proc(const char* text) { take_number(text, &am, false); }
void b_proc(const char* text) { take_number(text, &bm, false); }
void c_proc(const char* text) { take_number(text, &cm, false); }
void d_proc(const char* text) { take_number(text, &dm, false); }
void sub_proc(const char* text) { take_number(text, &subm, true); }
void match_proc(const char* text) { take_number(text, &matm, true); }

void parok_proc() {
  if (computing != 0) return berechnung_laeuft();
  if (aa != am || bb != bm || cc != cm || dd != dm || sub != subm || func != func_c ||
      mat != matm) {
    ms1 = String();
    ms2 = String();
  }
  aa = am;
  bb = bm;
  cc = cm;
  dd = dm;
  sub = subm;
  mat = matm;
  func = func_c;
  sequenz_ausgabe();
  if (own_frame->shown()) {
    get_parameters();
    own_frame->raise();
  }
}
