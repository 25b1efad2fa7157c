// "Alignment output": the current alignment with its runs of equal letters
// boxed, its scrollbar (which the graph window follows when the output
// synchronisation is on), "Insert alignment into text", and the main
// window's "Alignment" button.
#include "engine/common/results.h"
#include "shell/bitmaps.h"
#include "shell/shell.h"
#include "state/state.h"
#include "ui/notice.h"
#include "views/output_view.h"
#include "views/texts.h"

namespace {

// The part of the picture the output pixmap holds: [tile_x0, tile_x0 + tile_w).
int tile_x0 = 0, tile_w = 0;
bool tile_valid = false;

void exit_output() { out_frame->hide(); }

void make_tile(int view_x) {
  int x0, w;
  output_tile_for(view_x, out_canv->width(), &x0, &w);
  tile_valid = draw_output_tile(x0, w);
  tile_x0 = x0;
  tile_w = w;
  out_canv->set_origin(x0, 0);
}

}  // namespace

void build_output_window() {
  out_frame = new Frame(Frame::command, 500, 150, "Alignment output");
  out_frame->position(20, 520);
  new Button(out_frame, 5, 1, 0, "Exit", exit_output);
  new Button(out_frame, 60, 1, 0, "Insert alignment into text", get_results);
  out_canv = new PictureCanvas(out_frame, 0, 25, 500, 125, Picture::output, true, false);
  out_canv->set_cursor(cursor2_bits, 1, 1);
  out_canv->on_repaint(repaint_out);
  out_canv->follow_frame(out_frame, true, true);
}

void repaint_out(PictureCanvas* c) {
  const int sx = c->clamped_x();
  if (!tile_valid || sx < tile_x0 || sx + c->width() > tile_x0 + tile_w) make_tile(sx);
  c->copy_picture();
  // The graph follows an alignment of the results, not the sequences that
  // "Alignment" shows as read.
  if (syn && show_flag) {
    int gx, gy;
    graph_view_for_output(c->view_x(), &gx, &gy);
    choose_canv->set_view_start(gx, gy);
    choose_canv->redraw();
  }
}

void show_alignment() {
  out_canv->set_scroll_size(output_picture_width(al_seq1.length()), OUTPUT_PICTURE_HEIGHT);
  make_tile(out_canv->clamped_x());
  if (show_flag) show_infos();
  out_frame->raise();
  out_canv->redraw();
}

void alignment() {
  if (n == 0 || m == 0) return keine_eingabe();
  if (computing != 0) return berechnung_laeuft();
  al_seq1 = seq1;
  al_seq2 = seq2;
  show_flag = 0;
  show_alignment();
}

// Inserted as one piece, so that a text window too full for it is left as it was.
void get_results() { textsw->insert(alignment_text().c_str()); }
