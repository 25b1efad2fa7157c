// "All optimal alignments & current alignment": the picture of the optimal
// graph that the engines draw, its two scrollbars, and (when the picture
// could not be made at the chosen size) a message of ours instead. Its
// panel items for the marks are in place; the marks and the mouse are not
// wired yet, so they are inactive.
#include "shell/bitmaps.h"
#include "shell/shell.h"
#include "state/state.h"
#include "ui/picture.h"
#include "ui/progress.h"
#include "views/graph_view.h"

namespace {

const MenuSpec mark_menu_spec = {nullptr, {}};

void exit_graph() { choose_frame->hide(); }

// What the engines tell the window while they draw.
void graph_scroll_size(int w, int h) { choose_canv->set_scroll_size(w, h); }
void mark_field_bounds(int maxx, int maxy) {
  panel_m1->set_range(0, maxx);
  panel_m2->set_range(0, maxy);
}
void show_graph_pixmap() { choose_canv->redraw(); }

}  // namespace

void build_graph_window() {
  choose_frame = new Frame(Frame::command, 480, 480, "All optimal alignments & current alignment");
  choose_frame->position(700, 20);
  new Button(choose_frame, 5, 1, 0, "Exit", exit_graph);
  mark_button = new MenuButton(choose_frame, 60, 1, 0, "Set your mark", &mark_menu_spec);
  new_alignment_button = new Button(choose_frame, 60 + mark_button->w() + 5, 1, 0,
                                    "Get new alignment", nullptr);
  panel_m1 = new NumberField(choose_frame, 10, 30, "Position in sequence 1:", 0, 0, nullptr);
  panel_m2 = new NumberField(choose_frame, 10, 54, "Position in sequence 2:", 0, 0, nullptr);
  mark_button->activate(false);
  new_alignment_button->activate(false);
  panel_m1->activate(false);
  panel_m2->activate(false);

  choose_canv = new PictureCanvas(choose_frame, 0, 80, 480, 400, Picture::graph, true, true);
  choose_canv->set_cursor(cursor_bits, 7, 7);
  choose_canv->on_repaint(repaint_plot);
  choose_canv->follow_frame(choose_frame, true, true);

  install_graph_hooks();
}

void install_graph_hooks() {
  WindowHooks h = window_hooks();
  h.graph_scroll_size = graph_scroll_size;
  h.mark_field_bounds = mark_field_bounds;
  h.show_graph_pixmap = show_graph_pixmap;
  set_window_hooks(h);
}

void repaint_plot(PictureCanvas* c) {
  if (!picture_valid(Picture::graph) && n > 0 && m > 0) c->set_message(graph_missing_lines());
  else c->set_message({});
  c->copy_picture();
}

void raise_graph_window() {
  choose_frame->raise();
  choose_canv->redraw();
}

void hide_graph_window() { choose_frame->hide(); }
