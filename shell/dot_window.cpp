// "Dot matrix": every pair of equal letters of the two sequences, in the
// style chosen from the Dot matrix menu under " Operation " (automatic,
// small, big), with two scrollbars. The driver draws it for operation 2
// (plot_matrix); a picture too large for one pixmap is kept in tiles around
// the view.
#include "shell/bitmaps.h"
#include "shell/shell.h"
#include "state/state.h"
#include "ui/notice.h"
#include "ui/picture.h"
#include "views/dot_view.h"

#include <cstring>

const MenuDef dot_menu_def = {dot_menu, {{"automatic"}, {"small"}, {"big"}}};

namespace {

DotPlot plot;      // what the window shows
DotTile tile;      // the part of it the pixmap holds
bool tile_valid = false;

void exit_dot() { plot_frame->hide(); }

}  // namespace

void build_dot_window() {
  plot_frame = new Frame(Frame::command, 350, 300, "Dot matrix");
  plot_frame->position(700, 520);
  new Button(plot_frame, 5, 1, 0, "Exit", exit_dot);
  canvas1 = new PictureCanvas(plot_frame, 0, 25, 350, 275, Picture::dot, true, true);
  canvas1->set_cursor(cursor2_bits, 1, 1);
  canvas1->on_repaint(repaint_dot);
  canvas1->follow_frame(plot_frame, true, true);
}

void dot_menu(const char* label) {
  if (computing != 0) return berechnung_laeuft();
  if (std::strcmp(label, "big") == 0) plot_flag = 0;
  else if (std::strcmp(label, "small") == 0) plot_flag = 1;
  else if (std::strcmp(label, "automatic") == 0) plot_flag = 2;
  else return;
  computing = 2;
}

void plot_matrix() {
  plot = dot_plot_of_inputs();
  canvas1->set_scroll_size(static_cast<int>(dot_picture_width(plot)),
                           static_cast<int>(dot_picture_height(plot)));
  tile = dot_tile_for(plot, canvas1->clamped_x(), canvas1->clamped_y(), canvas1->width(),
                      canvas1->height());
  tile_valid = draw_dot_tile(plot, tile, true);
  canvas1->set_origin(tile.x0, tile.y0);
}

void repaint_dot(PictureCanvas* c) {
  const int sx = c->clamped_x(), sy = c->clamped_y();
  if (tile_valid && !dot_tile_covers(tile, sx, sy, c->width(), c->height())) {
    tile = dot_tile_for(plot, sx, sy, c->width(), c->height());
    tile_valid = draw_dot_tile(plot, tile, false);
    c->set_origin(tile.x0, tile.y0);
  }
  c->copy_picture();
}

void raise_dot_window() {
  plot_frame->raise();
  canvas1->redraw();
}

void dot_window_reset() {
  plot = DotPlot();
  tile = DotTile();
  tile_valid = false;
  canvas1->set_origin(0, 0);
  canvas1->set_view_start(0, 0);
  canvas1->set_scroll_size(1, 1);
}
