// The picture of the "Alignment output" window: the two aligned sequences,
// letter p of each in a 10-pixel cell, with every run of equal columns boxed
// when the alignment belongs to a computation. The picture is 10 L + 60
// pixels wide (at least 300) and 56 high. An X pixmap side may not pass
// 32767 pixels (about 3270 columns), so the window keeps only a part (a
// tile) of a longer picture and draws the next part when it scrolls there:
// the window shows the same picture either way.
#pragma once
#include <vector>

constexpr int OUTPUT_PICTURE_HEIGHT = 56;
constexpr int OUTPUT_TILE_MAX = 32767;

int output_picture_width(int columns);

struct OutputBox {
  int x, y, w, h;  // an outline as XDrawRectangle draws it: x .. x + w, y .. y + h
};
// The boxes of the runs of equal letters of al_seq1/al_seq2 (from help_l),
// left to right; none when show_flag is 0.
std::vector<OutputBox> output_boxes();

// The tile the window needs to show columns [view_x, view_x + canvas_w):
// the whole picture when it fits in one pixmap, else a part around the view.
void output_tile_for(int view_x, int canvas_w, int* x0, int* w);

// Draws the picture's part [x0, x0 + w) into a new output pixmap of w x 56
// (its pixel 0 is picture pixel x0). False when no pixmap could be made
// (headless): every result stays as it is.
bool draw_output_tile(int x0, int w);

// Synchronisation: the graph view start (pixels) that shows at its upper
// left the node of the output's first visible column, for the output view
// start `view_x`.
void graph_view_for_output(int view_x, int* gx, int* gy);
