// The picture of the "Dot matrix" window: sequence 1 from left to right,
// sequence 2 from top to bottom, every pair of equal letters marked. Two
// styles: "small", a 2 x 2 dot per pair (2 pixels per letter), and "big", a
// grid with the letters of both sequences and a '*' per pair (8 pixels per
// letter of sequence 1, 12 per letter of sequence 2).
//
// An X pixmap side may not pass 32767 pixels: the big style reaches that
// beyond 4089 letters of sequence 1 or 2726 of sequence 2, the small style
// beyond 16358 letters. The window then keeps only a part (a tile) of the
// picture around its view and draws the next part when it scrolls there; it
// shows the same picture either way.
#pragma once
#include <string>

// What a plot shows: the sequences and the style as they were when it was
// requested (reading a new sequence later does not change the picture).
struct DotPlot {
  std::string s1, s2;
  bool small = true;
  int rows = 0;  // rows (letters of s2) drawn; fewer than s2 has after an interrupt
};

// The picture's geometry in pixels, for letter i of s1 and letter j of s2
// (both from 1). Small: the title "Sequence1 >, Sequence2 v" at (20, 12)
// and the dot of a pair filling the 2 x 2 square from (dot_small_x(i),
// dot_small_y(j)). Big (text at its baseline): letter i of s1 at
// (dot_big_x(i), 12), letter j of s2 at (10, dot_big_y(j)), the '*' of a
// pair at (dot_big_x(i) + 1, dot_big_y(j) + 1); the grid: the frame lines
// y = 14 and x = 26, a line x = dot_big_x(i) + 7 right of every column and
// a line y = dot_big_y(j) + 2 below every row.
inline long dot_small_x(long i) { return 2 * i + 20; }
inline long dot_small_y(long j) { return 2 * j + 15; }
inline long dot_big_x(long i) { return 8 * i + 20; }
inline long dot_big_y(long j) { return 12 * j + 12; }

// The style of plot_flag (0 big, 1 small, 2 automatic: small when the two
// lengths add up to more than 400).
bool dot_small_style(int plot_flag, int n, int m);
// seq1, seq2 and the style plot_flag asks for, all rows.
DotPlot dot_plot_of_inputs();

long dot_picture_width(const DotPlot& p);
long dot_picture_height(const DotPlot& p);

struct DotTile {
  int x0 = 0, y0 = 0, w = 0, h = 0;  // picture pixels [x0, x0 + w) x [y0, y0 + h)
};
// The tile the window needs to show [vx, vx + cw) x [vy, vy + ch): the whole
// picture when it fits in one pixmap, else a part around the view.
DotTile dot_tile_for(const DotPlot& p, int vx, int vy, int cw, int ch);
bool dot_tile_covers(const DotTile& t, int vx, int vy, int cw, int ch);

// Draws the tile into a new dot matrix pixmap (its pixel (0, 0) is picture
// pixel (x0, y0)); rows beyond p.rows stay empty. With `progress` the
// progress bar advances after every row of the tile (show_ntime, which
// dispatches events), and the drawing stops after the row during which
// computing became 0 (an interrupt): p.rows then counts the rows drawn.
// False when no pixmap could be made (headless).
bool draw_dot_tile(DotPlot& p, const DotTile& t, bool progress);
