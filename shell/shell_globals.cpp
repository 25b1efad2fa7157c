// The handles of the window program's windows, and the table of windows.
#include "shell/shell.h"

#include "ui/dispatch.h"

Frame* frame = nullptr;
Frame* info_frame = nullptr;
Frame* choose_frame = nullptr;
Frame* extra_frame = nullptr;
Frame* out_frame = nullptr;
Frame* docu_frame = nullptr;
Frame* cost_frame = nullptr;
Frame* own_frame = nullptr;
Frame* plot_frame = nullptr;
Frame* option_frame = nullptr;

Canvas* summary_canv = nullptr;
PictureCanvas* choose_canv = nullptr;
PictureCanvas* out_canv = nullptr;
Canvas* extra_canv = nullptr;
Canvas* info_canv = nullptr;
Canvas* mess_canv = nullptr;
Canvas* mess1_canv = nullptr;
PictureCanvas* canvas1 = nullptr;

Button* inter_rupt = nullptr;
MenuButton* operation_button = nullptr;
MenuButton* cost_button = nullptr;
MenuButton* infos_button = nullptr;
Button* quit_button = nullptr;
MenuButton* mark_button = nullptr;
Button* new_alignment_button = nullptr;
NumberField* panel_m1 = nullptr;
NumberField* panel_m2 = nullptr;
TextField* panel_a = nullptr;
TextField* panel_b = nullptr;
TextField* panel_c = nullptr;
TextField* panel_d = nullptr;
TextField* panel_s1 = nullptr;
TextField* panel_ma1 = nullptr;
TextField* panel_o = nullptr;
TextField* panel_s2 = nullptr;
TextField* panel_ma2 = nullptr;
Button* options_button = nullptr;
TextField* panel_opt1 = nullptr;
Choice* panel_big = nullptr;
Choice* panel_syn = nullptr;

TextWindow* textsw = nullptr;
TextWindow* docu = nullptr;

const ShellWindow shell_windows[] = {
    {"Vardane: sequence alignment, version 1.0", "main_window.cpp, main_window_io.cpp", &frame},
    {"", "about_window.cpp", &info_frame},
    {"All optimal alignments & current alignment", "graph_window.cpp", &choose_frame},
    {"Alignment information", "alignment_info_window.cpp", &extra_frame},
    {"Alignment output", "output_window.cpp", &out_frame},
    {"Documentation/Dokumentation", "docu_window.cpp", &docu_frame},
    {"Insert/Delete costfunction", "cost_window.cpp", &cost_frame},
    {"Own insert/delete costfunction", "own_cost_window.cpp", &own_frame},
    {"Dot matrix", "dot_window.cpp", &plot_frame},
    {"Options", "options_window.cpp", &option_frame},
};
const int shell_window_count = sizeof shell_windows / sizeof shell_windows[0];

void build_windows() {
  build_main_window();
  build_main_window_io();
  build_about_window();
  build_dot_window();
  build_options_window();
  build_graph_window();
  build_alignment_info_window();
  build_output_window();
  build_docu_window();
  build_cost_window();
  build_own_cost_window();
  get_parameters();
}

void install_window_hooks() {
  install_summary_hooks();
  install_graph_hooks();
}

void shell_reset() {
  install_window_hooks();
  for (int i = 1; i < shell_window_count; ++i) (*shell_windows[i].frame)->hide();
  inter_rupt->hide();
  textsw->clear();
  out_canv->set_view_start(0, 0);
  choose_canv->set_view_start(0, 0);
  choose_canv->set_message({});
  dot_window_reset();
  options_window_reset();
  set_main_window_test(main_frame_shown);
  get_parameters();
}
