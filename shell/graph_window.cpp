// "All optimal alignments & current alignment": the picture of the optimal
// graph that the engines draw, its two scrollbars, and (when the picture
// could not be made at the chosen size) a message of ours instead; the node
// under the mouse and in the two position fields, the marks of "Set your
// mark" and "Get new alignment".
#include <cstring>

#include "engine/common/graph_picture.h"
#include "engine/common/marks.h"
#include "shell/bitmaps.h"
#include "shell/shell.h"
#include "state/state.h"
#include "ui/picture.h"
#include "ui/progress.h"
#include "views/graph_view.h"

namespace {

const MenuDef mark_menu_def = {choose_menu,
                                {{"Choose left"},
                                 {"Choose between"},
                                 {"Choose right"},
                                 {"Delete left"},
                                 {"Delete between"},
                                 {"Delete right"},
                                 {"Delete all"}}};

// The ring cursor's hot spot is its centre.
constexpr int kRingCentre = 7;

// mouse_node_x(ex) is node x for the s = 2^big pixels from X(x) - 4 big - 1
// to X(x) - 4 big + s - 2, mouse_node_y(ey) about as far above Y(y). Taken
// back by 4 big + 1 - s / 2 pixels, a press chooses the node nearest the
// ring's centre at either size.
int pointer_shift() { return 4 * big + 1 - graph_step() / 2; }

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
  mark_button = new MenuButton(choose_frame, 60, 1, 0, "Set your mark", &mark_menu_def);
  new_alignment_button = new Button(choose_frame, 60 + mark_button->w() + 5, 1, 0,
                                    "Get new alignment", new_alignment_proc);
  panel_m1 = new NumberField(choose_frame, 10, 30, "Position in sequence 1:", 0, 0, get_m1_proc);
  panel_m2 = new NumberField(choose_frame, 10, 54, "Position in sequence 2:", 0, 0, get_m2_proc);

  choose_canv = new PictureCanvas(choose_frame, 0, 80, 480, 400, Picture::graph, true, true);
  choose_canv->set_cursor(cursor_bits, kRingCentre, kRingCentre);
  choose_canv->on_repaint(repaint_plot);
  choose_canv->on_mouse(mouse_event_proc);
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

// A press chooses the node under the pointer; its release (or a second
// press of the same button, whose release was missed) ends the press.
// Nothing is chosen on the message that stands in for a missing picture.
void mouse_event_proc(PictureCanvas*, int event, int button, int x, int y) {
  if (computing != 0 || !choose_frame->shown() || x < 1 || y < 1 || event == 2) return;
  if (button == old_but) {
    old_but = 0;
    return;
  }
  if (event != 1 || !picture_valid(Picture::graph)) return;
  old_but = button;
  mo_x = mouse_node_x(x - pointer_shift());
  mo_y = mouse_node_y(y - pointer_shift());
  panel_m1->set_value(mo_x);
  panel_m2->set_value(mo_y);
}

void get_m1_proc(int v) { mo_x = v; }
void get_m2_proc(int v) { mo_y = v; }

void choose_menu(const char* label) {
  struct Item {
    const char* label;
    void (*action)();
  };
  static const Item items[] = {
      {"Choose left", [] { choose_left(); }},     {"Choose between", [] { choose_between(); }},
      {"Choose right", [] { choose_right(); }},   {"Delete left", delete_left},
      {"Delete between", delete_between},         {"Delete right", delete_right},
      {"Delete all", delete_all},
  };
  for (const Item& it : items)
    if (std::strcmp(label, it.label) == 0) return it.action();
}

void new_alignment_proc() { request_new_alignment(); }
