// The main loop and the operations it runs when a callback has stored an
// operation code in `computing`.
#include <FL/Fl.H>

#include <climits>

#include "cost/cost.h"
#include "engine/common/marks.h"
#include "engine/common/operations.h"
#include "engine/concave/concave.h"
#include "engine/general/general.h"
#include "shell/shell.h"
#include "state/state.h"
#include "ui/display.h"
#include "ui/progress.h"

namespace {

// The results of a finished (or cached) computation: the graph, the
// alignment output and the figures.
void show_results() {
  inter_rupt->hide();
  if (fp_error() == 0 && comp != 0) {
    show_flag = 1;
    raise_graph_window();
    show_alignment();
  }
}

// Codes 1, 6, 7, 8: the operations of the engines, with the interrupt
// button shown while they run and the results shown after.
void run_alignment(int code) {
  inter_rupt->show();
  const OpResult r = code == 1 ? run_general_alignment() : run_concave_alignment(code);
  inter_rupt->hide();
  sequenz_ausgabe();
  if (finished) return;
  if (r == OpResult::computed || r == OpResult::cached) show_results();
}

// Code 2: the dot matrix; its window comes up unless interrupted.
void run_dot_matrix() {
  if (check_inputs(INT_MAX) != OpResult::computed) return;  // '-' or '>' in a sequence
  inter_rupt->show();
  show_break_it("plot dot-matrix");
  plot_matrix();
  const int code = computing;
  computing = 0;
  inter_rupt->hide();
  sequenz_ausgabe();
  flush_display();
  if (code != 0) raise_dot_window();
}

// Code 4: the graph, its circles and the marks again at the new size.
void run_redraw_operation() {
  inter_rupt->show();
  const RedrawResult r = run_redraw();
  inter_rupt->hide();
  sequenz_ausgabe();
  if (r == RedrawResult::done) {
    raise_graph_window();
    if (syn) out_canv->redraw();  // the graph follows the output at its new scale
  } else {
    // Interrupted, or no results for the sequences read: what the window
    // shows is at the old size and cannot be drawn at the new one.
    hide_graph_window();
  }
}

// Code 5: another optimal alignment through the marks.
void run_new_alignment_operation() {
  const int shown_flag = show_flag;
  inter_rupt->show();
  const NewAlignmentResult r = run_new_alignment();
  inter_rupt->hide();
  sequenz_ausgabe();
  switch (r) {
    case NewAlignmentResult::done:
      show_alignment();
      raise_graph_window();
      break;
    case NewAlignmentResult::no_path:
    case NewAlignmentResult::interrupted_second:
    case NewAlignmentResult::not_valid:
      show_flag = shown_flag;  // nothing changed: the output stays as it is
      break;
    case NewAlignmentResult::interrupted_first:
    case NewAlignmentResult::interrupted_splice:
    case NewAlignmentResult::rebuild_failed:
      hide_graph_window();  // the results are lost (comp = 0, ms1 empty)
      break;
  }
}

}  // namespace

bool main_frame_shown() { return frame && frame->shown(); }

void run_operation(int code) {
  switch (code) {
    case 1:
    case 6:
    case 7:
    case 8:
      run_alignment(code);
      break;
    case 2:
      run_dot_matrix();
      break;
    case 4:
      run_redraw_operation();
      break;
    case 5:
      run_new_alignment_operation();
      break;
    default:  // 3: clearing in progress; nothing to run
      break;
  }
}

void run_driver() {
  set_main_window_test(main_frame_shown);
  while (!finished) {
    Fl::wait(1.0);
    if (!main_frame_shown()) break;
    if (computing >= 1 && computing <= 8) run_operation(computing);
  }
  clear_memory();
  alles_aus();
}
