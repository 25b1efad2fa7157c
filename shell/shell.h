// The window program: every handle of its windows, a line each, the table
// of its windows, and the entry points of the window files.
//
// Window title                                  file                        frame
// (the main window) "Vardane: ..."              main_window.cpp,            frame
//                                               main_window_io.cpp
// "" (the Info window, without a title)         about_window.cpp            info_frame
// "All optimal alignments & current alignment"  graph_window.cpp            choose_frame
// "Alignment information"                       alignment_info_window.cpp   extra_frame
// "Alignment output"                            output_window.cpp           out_frame
// "Documentation/Dokumentation"                 docu_window.cpp             docu_frame
// "Insert/Delete costfunction"                  cost_window.cpp             cost_frame
// "Own insert/delete costfunction"              own_cost_window.cpp         own_frame
// "Dot matrix"                                  dot_window.cpp              plot_frame
// "Options"                                     options_window.cpp          option_frame
//
// driver.cpp holds the main loop and the operations; main.cpp is main().
#pragma once
#include <string>

#include "ui/text_window.h"
#include "ui/widgets.h"

// Frames
extern Frame* frame;          // the main window
extern Frame* info_frame;     // the Info window (Infos → "Info")
extern Frame* choose_frame;   // "All optimal alignments & current alignment"
extern Frame* extra_frame;    // "Alignment information"
extern Frame* out_frame;      // "Alignment output"
extern Frame* docu_frame;     // "Documentation/Dokumentation"
extern Frame* cost_frame;     // "Insert/Delete costfunction" (predefined gap cost functions)
extern Frame* own_frame;      // "Own insert/delete costfunction" (own gap cost formula)
extern Frame* plot_frame;     // "Dot matrix"
extern Frame* option_frame;   // "Options"

// Canvases
extern Canvas* summary_canv;       // the input summary strip of the main window (its X window: xwin)
extern PictureCanvas* choose_canv; // the graph; its scrollbars are hcf_scrollbar and vcf_scrollbar
extern PictureCanvas* out_canv;    // the alignment output; its scrollbar is hao_scrollbar
extern Canvas* extra_canv;         // the alignment information
extern Canvas* info_canv;          // the Info window's credits
extern Canvas* mess_canv;          // the status line of cost_frame
extern Canvas* mess1_canv;         // the status line of own_frame
extern PictureCanvas* canvas1;     // the dot matrix; its scrollbars are hpl_scrollbar and vpl_scrollbar

// Panel items
extern Button* inter_rupt;              // "I.n.t.e.r.r.u.p.t", shown while an operation runs
extern MenuButton* operation_button;    // " Operation "
extern MenuButton* cost_button;         // " Costfunctions "
extern MenuButton* infos_button;        // " Infos "
extern Button* quit_button;             // " Quit program "
extern MenuButton* mark_button;         // "Set your mark" (graph window)
extern Button* new_alignment_button;    // "Get new alignment" (graph window)
extern NumberField* panel_m1;           // "Position in sequence 1:" (graph window)
extern NumberField* panel_m2;           // "Position in sequence 2:" (graph window)
extern TextField* panel_a;              // "     Parameter a is " (cost_frame), and b, c, d
extern TextField* panel_b;
extern TextField* panel_c;
extern TextField* panel_d;
extern TextField* panel_s1;             // "     Substitutions: " (cost_frame)
extern TextField* panel_ma1;            // "     Match             : " (cost_frame)
extern TextField* panel_o;              // "  Costfunction (k)= " (own_frame)
extern TextField* panel_s2;             // "  Substitutions:      " (own_frame)
extern TextField* panel_ma2;            // "  Match             :      " (own_frame)
extern Button* options_button;          // " Options "
extern TextField* panel_opt1;           // the piece length (Options)
extern Choice* panel_big;               // the size of the graph: "big", "small" (Options)
extern Choice* panel_syn;               // the output synchronisation: "off", "on" (Options)

// Text window
extern TextWindow* textsw;    // the main text window, at most TEXT_LIMIT characters
constexpr int TEXT_LIMIT = 100000;
extern TextWindow* docu;      // the documentation text (read-only), at most DOCU_LIMIT characters
constexpr int DOCU_LIMIT = 20000;

// The table of windows: title, file, frame.
struct ShellWindow {
  const char* title;
  const char* file;
  Frame** frame;
};
extern const ShellWindow shell_windows[];
extern const int shell_window_count;

// Builds every window (hidden, the main window too), in the start-up order.
// Needs an open display with the toolkit attached.
void build_windows();
// Resets what the windows hold (text, file name, pictures' views) and hides
// the pop-ups; tests call it between cases.
void shell_reset();

// Hands the drawing hooks of the summary strip and the graph window to ui.
void install_window_hooks();

// main_window.cpp
void build_main_window();
void install_summary_hooks();
void show_main_window();
void sequenz_ausgabe();            // draws the input summary (nothing while computing)
void operation(const char* label); // the Operation menu
void kosten(const char* label);    // the Costfunctions menu
void hilfe(const char* label);     // the Infos menu
void beenden();                    // " Quit program "
void stop_computing();             // "I.n.t.e.r.r.u.p.t"
void keine_eingabe();              // "There are not enough inputs !?"
void not_implemented();            // "Not implemented !"
void text_change();                // the text window changed

// main_window_io.cpp
void build_main_window_io();
void get_seq1();
void get_seq2();
void put_seq1();
void put_seq2();
void get_cost();
void put_cost();
void get_substitution();
void put_substitution();
void input_error();                // "Sequence contains illegal chars !"

// output_window.cpp
void build_output_window();
void show_alignment();             // draws the output (and the information when show_flag), raises it
void alignment();                  // the "Alignment" button
void get_results();                // "Insert alignment into text"
void repaint_out(PictureCanvas* c);

// graph_window.cpp
void build_graph_window();
void install_graph_hooks();
void repaint_plot(PictureCanvas* c);
void raise_graph_window();
void hide_graph_window();

// graph_window.cpp: the node under the mouse, the marks and "Get new alignment"
void mouse_event_proc(PictureCanvas* c, int event, int button, int x, int y);
void get_m1_proc(int v);           // "Position in sequence 1:" (Return)
void get_m2_proc(int v);           // "Position in sequence 2:" (Return)
void choose_menu(const char* label);  // "Set your mark"
void new_alignment_proc();         // "Get new alignment"

// dot_window.cpp
void build_dot_window();
void dot_menu(const char* label);  // the Dot matrix menu under " Operation "
extern const MenuDef dot_menu_def;
void plot_matrix();                // draws the dot matrix of seq1 and seq2 (operation 2)
void repaint_dot(PictureCanvas* c);
void raise_dot_window();
void dot_window_reset();

// options_window.cpp: the pending values of the Options window, active
// (gl_kl, big, syn) only after "Ok"
extern int gl_klm;                 // piece length
extern int bigm;                   // graph size: 3 big, 2 small
extern int synm;                   // synchronisation: 1 on, 0 off
void build_options_window();
void einstellung();                // " Options ": the items from the active values, the window shown
void gap_length_proc(const char* text);
void alignment_size_proc(int index);
void sync_proc(int index);
void option_ok_proc();
void options_window_reset();

// alignment_info_window.cpp
void build_alignment_info_window();
void show_infos();                 // draws the figures and shows the window
void get_infos();                  // "Insert infos into text"

// about_window.cpp
void build_about_window();
void info_proc(Canvas* c);

// cost_window.cpp
extern const MenuDef active_function_menu;  // "Active function" and the eight names of func_text
void build_cost_window();
void cost_menu(const char* label);  // chooses the function of the window (func_c) and shows it
void get_parameters();              // writes the active values into every field of both cost windows
void show_cost_info();              // draws the status line
std::string cost_status_line();     // "Costfunction is " + name of func_c, or "(empty)"
// After the cost model changed from elsewhere (Get costfunct., Get
// subst.table): get_parameters, and an open cost window is drawn and shown again.
void refresh_cost_windows();
void a_proc(const char* text);      // the fields; sub_proc and match_proc serve both windows
void b_proc(const char* text);
void c_proc(const char* text);
void d_proc(const char* text);
void sub_proc(const char* text);
void match_proc(const char* text);
void parok_proc();                  // "Ok": commits a..d, the scores and the function

// own_cost_window.cpp
void build_own_cost_window();
void owncost_proc(const char* text);
void ownok_proc();                  // "Ok": the own formula and the scores become active
void show_own_info();               // draws the status line
std::string own_status_line();      // "Your costfunction is " + the formula (its first 30
                                    // characters and "..." when longer), or "(empty)"
void syntax_err();                  // "There's a syntax error !"

// docu_window.cpp
extern const MenuDef documentation_menu;  // "Deutsch", "English"
void build_docu_window();
void help_menu(const char* label);  // shows the manual of that language from its start

// driver.cpp
void run_operation(int code);      // one pass of the loop found `code` in computing
void run_driver();                 // the main loop; ends the program
bool main_frame_shown();

// rescue.cpp: when an allocation fails all the same, the text window's
// content is written to this file before the program ends.
void install_rescue_handler();
const char* rescue_path();
[[noreturn]] void rescue_and_exit();
