// The Info window (Infos → "Info"): the program's name and version and the
// credits of the project.
#include "shell/bitmaps.h"
#include "shell/shell.h"

namespace {

void exit_info() { info_frame->hide(); }

}  // namespace

void build_about_window() {
  info_frame = new Frame(Frame::command, 363, 320, nullptr);
  info_frame->position(150, 120);
  new Button(info_frame, 5, 1, 0, "Exit", exit_info);
  info_canv = new Canvas(info_frame, 0, 25, 363, 295, info_proc);
  info_canv->set_cursor(cursor2_bits, 1, 1);
}

void info_proc(Canvas* c) {
  c->clear();
  c->text(106, 40, "Vardane, VERSION 1.0");
  c->arc(91, 50, 12, 12, 0, 23040);
  c->arc(92, 51, 10, 10, 0, 23040);
  c->rect(20, 20, 320, 255);
  c->text(90, 60, " c  the Vardane project");
  c->text(148, 95, "Theorie:");
  c->text(62, 110, "optimal alignments under general");
  c->text(78, 125, "and concave gap costs, all of");
  c->text(75, 140, "them kept in one compact graph");
  c->text(106, 155, "of optimal paths;");
  c->text(94, 175, "exact float distances");
  c->text(78, 210, "Processing and programming:");
  c->text(58, 225, "the Vardane project: engines,");
  c->text(72, 240, "window program and batch tool");
  c->text(74, 255, "in C++17, FLTK and Xlib");
}
