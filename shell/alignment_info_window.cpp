// "Alignment information": the figures of the last computation, and
// "Insert infos into text".
#include <string>
#include <vector>

#include "shell/bitmaps.h"
#include "shell/shell.h"
#include "views/texts.h"

namespace {

// The lines as last drawn: a repaint shows them again (the "Alignment"
// button leaves the window with the figures it had).
std::vector<std::string> shown_lines;
const int line_y[] = {20, 40, 56, 76, 92, 112, 132};

void exit_infos() { extra_frame->hide(); }

void repaint_infos(Canvas* c) {
  c->clear();
  for (size_t i = 0; i < shown_lines.size() && i < 7; ++i) c->text(10, line_y[i], shown_lines[i]);
}

}  // namespace

void build_alignment_info_window() {
  extra_frame = new Frame(Frame::command, 400, 200, "Alignment information");
  extra_frame->position(540, 520);
  new Button(extra_frame, 5, 1, 0, "Exit", exit_infos);
  new Button(extra_frame, 60, 1, 0, "Insert infos into text", get_infos);
  extra_canv = new Canvas(extra_frame, 0, 25, 400, 175, repaint_infos);
  extra_canv->set_cursor(cursor2_bits, 1, 1);
  extra_canv->follow_frame(extra_frame, true, true);
}

void show_infos() {
  shown_lines = info_window_lines();
  extra_frame->raise();
  extra_canv->redraw();
}

void get_infos() { textsw->insert(infos_text().c_str()); }
