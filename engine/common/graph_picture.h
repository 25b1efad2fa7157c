// The picture of the optimal graph: its coordinate frame, shared by both
// engines' drawers, the marks and the graph window; the creation of the
// picture; the circles of the shown path; the marks' squares and letters.
//
// With s = 2^big pixels per graph step, the picture is (n + 4)s x (m + 4)s
// pixels, the canvas scrolls over (n + 7)s x (m + 7)s, and node (x, y) sits
// at (x s + 3 s + 1, y s + 2 s - 1).
#pragma once
#include "state/state.h"

inline int graph_step() { return 1 << big; }
inline int node_px(int x) { return (x << big) + (3 << big) + 1; }
inline int node_py(int y) { return (y << big) + (2 << big) - 1; }
inline long graph_picture_width(int nn) { return long(nn + 4) << big; }
inline long graph_picture_height(int mm) { return long(mm + 4) << big; }

// The node under a pointer at (ex, ey) of the graph canvas (scroll position
// included), clamped to 0..n and 0..m.
int mouse_node_x(int ex);
int mouse_node_y(int ey);

// Replaces the graph picture by an empty one of the size above for the
// current n, m and big, tells the window its scroll size and the bounds of
// the position fields, and returns whether the picture exists (false when
// headless or beyond the X limit of 32767 pixels a side: every result stays
// complete, only the picture is skipped).
bool graph_picture_new();

// Draws (and, drawn again, erases: exclusive-or) the circle of every node of
// the shown path hilfs_al; dispatches after each node and stops at an
// interrupt.
void draw_single_opt_alignment();

// "Plotting optimal alignment, please wait one moment ..." in the input
// summary, then the circles of the shown path (after a computation and for
// the redraw at a new size).
void plot_single_opt_alignment();

// Marks: the filled square at node (x, y), the letter of the left ("L",
// below the node) and right ("R", above it) mark; exclusive-or is set by the
// caller.
void draw_mark_square(int x, int y);
void draw_mark_letter(const char* s, int x, int y, bool left);

// Draws the marks that are still set again on a new picture (their old
// drawing went with the old picture).
void redraw_marks();
